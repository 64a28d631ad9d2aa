#pragma once

#include <QImage>
#include <QRandomGenerator>

namespace tarvel::sample {

// Each painter fills a whole picture. number is the picture's number inside its topic and
// chooses the scene; rng is seeded from topic and number and supplies the variation.
using ScenePainter = void (*)(QImage &image, int number, QRandomGenerator &rng);

void paintMap(QImage &image, int number, QRandomGenerator &rng);
void paintSettlement(QImage &image, int number, QRandomGenerator &rng);
void paintPlant(QImage &image, int number, QRandomGenerator &rng);
void paintShore(QImage &image, int number, QRandomGenerator &rng);
void paintPelmora(QImage &image, int number, QRandomGenerator &rng);
void paintBird(QImage &image, int number, QRandomGenerator &rng);
void paintFish(QImage &image, int number, QRandomGenerator &rng);
void paintExpedition(QImage &image, int number, QRandomGenerator &rng);
void paintScience(QImage &image, int number, QRandomGenerator &rng);
void paintMarine(QImage &image, int number, QRandomGenerator &rng);

} // namespace tarvel::sample
