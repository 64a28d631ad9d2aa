#pragma once

#include "noise.h"

#include <QColor>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QRandomGenerator>

namespace tarvel::sample {

// ---- numbers and colours -------------------------------------------------------------

double clamp01(double v);
double smoothstep(double edge0, double edge1, double x);
double lerp(double a, double b, double t);
int channel(double v);
QColor mix(const QColor &a, const QColor &b, double t);
QColor scaled(const QColor &c, double factor);
QColor withAlpha(QColor c, int alpha);
QRgb mixRgb(QRgb a, QRgb b, double t);

double uniform(QRandomGenerator &rng, double low, double high);
int between(QRandomGenerator &rng, int low, int highInclusive);
bool chance(QRandomGenerator &rng, double probability);

// Runs f(x, y, pixel) over every pixel of a Format_RGB32 image inside area; the per-pixel
// passes are what give skies, water and rock their texture.
template<typename F> void forEachPixel(QImage &image, const QRect &area, F &&f)
{
    const QRect r = area.intersected(image.rect());
    for (int y = r.top(); y <= r.bottom(); ++y) {
        auto *line = reinterpret_cast<QRgb *>(image.scanLine(y));
        for (int x = r.left(); x <= r.right(); ++x)
            f(x, y, line[x]);
    }
}

// Coverage of path as a Grayscale8 image the size of the picture, antialiased.
QImage pathMask(const QSize &size, const QPainterPath &path);

// Replaces the pixels inside path with f(x, y, pixel), blended at the antialiased edge;
// how rock, grass and sand get a texture that QPainter's flat fills do not have.
template<typename F> void shadeInside(QImage &image, const QPainterPath &path, F &&f)
{
    const QImage mask = pathMask(image.size(), path);
    const QRect box = path.boundingRect().toAlignedRect().adjusted(-1, -1, 1, 1);
    forEachPixel(image, box, [&](int x, int y, QRgb &px) {
        const int cover = mask.constScanLine(y)[x];
        if (cover == 0)
            return;
        const QRgb c = f(x, y, px);
        px = cover == 255 ? c : mixRgb(px, c, cover / 255.0);
    });
}

// ---- whole-picture passes ------------------------------------------------------------

struct SkyStyle
{
    QColor zenith;
    QColor horizon;
    double cloudCover = 0.0; // 0 clear .. 1 overcast
    QColor cloudLight = QColor(255, 255, 255);
    QColor cloudShade = QColor(190, 196, 210);
    double cloudScale = 1.0;
};

// Sky from the top of the picture down to horizonY, clouds thinning towards the horizon
// the way they do when seen at a slant.
void paintSky(QImage &image, int horizonY, const SkyStyle &style, const ValueNoise &noise);

struct SeaStyle
{
    QColor far;
    QColor near;
    QColor crest = QColor(235, 244, 250);
    double choppiness = 1.0;
    double sparkle = 0.6;
};

// Sea from horizonY to the bottom of area; the wave texture is sampled on a ground plane
// so the waves shrink and crowd together towards the horizon.
void paintSea(QImage &image, const QRect &area, int horizonY, const SeaStyle &style,
              const ValueNoise &noise, QRandomGenerator &rng);

// Mirrors the part of the picture above waterline into the water below it, rippled and
// tinted, for harbours and calm bays.
void reflectInto(QImage &image, int waterline, int bottom, const QColor &tint, double tintAmount,
                 const ValueNoise &noise, double rippleAmplitude = 3.0);

void addGrain(QImage &image, const ValueNoise &noise, double amplitude);
void addVignette(QImage &image, double strength);

// Layered sedimentary rock inside path: tilted beds of alternating colour, crease lines
// between them, vertical joints and a light that falls off to the right.
void paintStrata(QImage &image, const QPainterPath &path, const ValueNoise &noise, double tilt,
                 double bedHeight, double lightLeft, double lightRight);

// ---- shapes --------------------------------------------------------------------------

// A skyline drawn from 1-D noise between x0 and x1 and closed down to bottom.
QPainterPath ridgePath(double x0, double x1, double baseY, double amplitude, double wavelength,
                       const ValueNoise &noise, double offset, double bottom);

void fillVertical(QPainter &p, const QPainterPath &path, const QColor &top, const QColor &bottom);
void softEllipse(QPainter &p, const QPointF &centre, double rx, double ry, const QColor &color);
void sunGlow(QPainter &p, const QPointF &centre, double radius, const QColor &core,
             const QColor &halo);

struct House
{
    QPointF base; // bottom-left corner of the long front wall
    double width = 40;
    double height = 22;
    double depth = 16; // how far the gable end recedes up and to the right
    double roofHeight = 12;
    QColor wall = QColor(244, 240, 230);
    QColor roof = QColor(178, 64, 44);
    QColor trim = QColor(60, 84, 110);
    int floors = 1;
    int windows = 2;
    bool door = true;
    double light = 1.0; // dims the walls for evening scenes
    bool litWindows = false;
};

void drawHouse(QPainter &p, const House &house);

// A town house seen straight on with its gable towards the viewer, as on a waterfront.
struct TownHouse
{
    QRectF front; // the wall, roof excluded
    QColor wall;
    QColor roof = QColor(150, 60, 45);
    double roofHeight = 14;
    int floors = 3;
    int columns = 2;
    bool gable = true;
    double light = 1.0;
    double litShare = 0.0; // share of windows lit at dusk
};

void drawTownHouse(QPainter &p, const TownHouse &house, QRandomGenerator &rng);

// A bird in flight, wings spread; flap -1..1 lifts or drops the wing tips.
QPainterPath flyingBird(const QPointF &centre, double span, double flap, double tilt);

void drawSailboat(QPainter &p, const QPointF &waterline, double size, const QColor &hull,
                  const QColor &sail, bool facingLeft);
// A small inshore fishing boat with its wheelhouse aft, side on.
void drawFishingBoat(QPainter &p, const QPointF &waterline, double length, const QColor &hull,
                     bool facingLeft);
void drawRowingBoat(QPainter &p, const QPointF &centre, double length, const QColor &hull,
                    double angle = 0.0);

void drawGrass(QPainter &p, QRandomGenerator &rng, const QRectF &area, int blades,
               const QColor &dark, const QColor &light, double minHeight, double maxHeight);

} // namespace tarvel::sample
