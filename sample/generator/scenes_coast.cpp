// Pelmora, expeditions and science: the town, ships and camps, and the instruments the
// island's observers keep.

#include "paint.h"
#include "scenes.h"

#include <QLinearGradient>
#include <QRadialGradient>
#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>
#include <vector>

namespace tarvel::sample {

namespace {

const std::array<QColor, 8> fronts = {
    QColor(236, 196, 120), QColor(226, 150, 130), QColor(150, 186, 206), QColor(246, 240, 226),
    QColor(170, 200, 150), QColor(232, 216, 170), QColor(200, 120, 96),  QColor(214, 222, 228)};

void waterfrontRow(QPainter &p, QRandomGenerator &rng, double baseY, double x0, double x1,
                   double scale, double light, double litShare)
{
    double x = x0;
    while (x < x1) {
        TownHouse h;
        const double width = uniform(rng, 38, 62) * scale;
        h.floors = between(rng, 2, 4);
        const double height = h.floors * uniform(rng, 20, 24) * scale;
        h.front = QRectF(x, baseY - height, width, height);
        h.wall = fronts[std::size_t(rng.bounded(int(fronts.size())))];
        h.roof = chance(rng, 0.7) ? QColor(164, 64, 46) : QColor(96, 98, 108);
        h.roofHeight = uniform(rng, 12, 20) * scale;
        h.columns = width > 50 * scale ? 3 : 2;
        h.gable = chance(rng, 0.55);
        h.light = light;
        h.litShare = litShare;
        drawTownHouse(p, h, rng);
        x += width;
    }
}

void drawLamp(QPainter &p, const QPointF &foot, double height, bool lit)
{
    p.setPen(QPen(QColor(40, 42, 46), std::max(1.0, height * 0.05)));
    p.drawLine(foot, foot - QPointF(0, height));
    p.setPen(Qt::NoPen);
    p.setBrush(lit ? QColor(255, 226, 150) : QColor(60, 64, 70));
    p.drawRect(
        QRectF(foot.x() - height * 0.07, foot.y() - height * 1.1, height * 0.14, height * 0.14));
    if (lit)
        softEllipse(p, foot - QPointF(0, height * 1.03), height * 0.8, height * 0.8,
                    QColor(255, 210, 130, 150));
}

void drawBollards(QPainter &p, double y, double x0, double x1, double step)
{
    p.setPen(Qt::NoPen);
    for (double x = x0; x < x1; x += step) {
        p.setBrush(QColor(40, 40, 44));
        p.drawRoundedRect(QRectF(x, y - 6, 4, 6), 1.5, 1.5);
    }
}

void pelmoraWaterfront(QImage &image, QRandomGenerator &rng, bool dusk)
{
    const double w = image.width();
    const double h = image.height();
    const ValueNoise n(rng.generate());
    if (dusk)
        paintSky(image, int(h * 0.7),
                 {QColor(30, 40, 86), QColor(236, 136, 96), 0.25, QColor(250, 170, 130),
                  QColor(90, 70, 110)},
                 n);
    else
        paintSky(image, int(h * 0.7), {QColor(82, 140, 206), QColor(210, 226, 236), 0.4}, n);

    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    const double light = dusk ? 0.62 : 1.0;
    const QPainterPath hills = ridgePath(-2, w + 2, h * 0.3, 30, 200, n, 12, h);
    fillVertical(p, hills, dusk ? QColor(60, 60, 80) : QColor(110, 150, 90),
                 dusk ? QColor(50, 50, 66) : QColor(90, 126, 70));
    // A row higher up the hill, smaller and hazier, gives the town depth.
    const double quayY = h * 0.66;
    waterfrontRow(p, rng, quayY - 58, -10, w, 0.6, light * 0.85, dusk ? 0.45 : 0.0);
    p.fillRect(QRectF(0, 0, w, quayY),
               QColor(dusk ? 40 : 200, dusk ? 40 : 220, dusk ? 80 : 236, dusk ? 50 : 40));
    waterfrontRow(p, rng, quayY, -6, w, 1.05, light, dusk ? 0.5 : 0.0);

    // The quay: paving in front of the houses and the edge stones over the water.
    p.fillRect(QRectF(0, quayY, w, 10), scaled(QColor(170, 162, 146), light));
    p.fillRect(QRectF(0, quayY + 10, w, 8), scaled(QColor(130, 124, 114), light));
    p.fillRect(QRectF(0, quayY + 16, w, 2), QColor(40, 50, 40));
    drawBollards(p, quayY + 10, 20, w, 70);
    for (double x = 50; x < w; x += 150)
        drawLamp(p, QPointF(x, quayY + 8), 34, dusk);
    p.end();

    const int water = int(quayY + 18);
    reflectInto(image, water, image.height() - 1, dusk ? QColor(20, 30, 60) : QColor(30, 80, 110),
                dusk ? 0.3 : 0.35, n, 3.0);
    p.begin(&image);
    p.setRenderHint(QPainter::Antialiasing);
    if (dusk) {
        // Lights stretch into long wavering streaks on the water.
        for (double x = 50; x < w; x += 150) {
            for (int k = 0; k < 18; ++k) {
                const double y = water + 4 + k * 5.5;
                const double half = uniform(rng, 2, 7);
                p.setPen(QPen(QColor(255, 210, 130, 150 - k * 7), 1.6));
                p.drawLine(QPointF(x - half + uniform(rng, -2, 2), y), QPointF(x + half, y));
            }
        }
    }
    drawFishingBoat(p, QPointF(w * 0.18, h * 0.86), 100,
                    dusk ? QColor(30, 60, 100) : QColor(40, 96, 150), false);
    drawFishingBoat(p, QPointF(w * 0.55, h * 0.93), 120,
                    dusk ? QColor(120, 40, 36) : QColor(190, 60, 44), true);
    drawRowingBoat(p, QPointF(w * 0.84, h * 0.84), 46,
                   dusk ? QColor(120, 120, 80) : QColor(236, 210, 90));
    p.end();
    addGrain(image, n, 2.5);
}

// A town far off: rows of small fronts and roofs rising up the shore, the back rows a
// little hazier.
void distantTown(QPainter &p, QRandomGenerator &rng, double shore, double x0, double x1, int rows)
{
    for (int row = rows - 1; row >= 0; --row) {
        for (double x = x0 + row * 10; x < x1 - row * 20; x += uniform(rng, 5, 9)) {
            const double base = shore - row * 9 + 1;
            const double height = uniform(rng, 6, 11);
            const QColor c =
                scaled(fronts[std::size_t(rng.bounded(int(fronts.size())))], 1.0 - row * 0.06);
            p.fillRect(QRectF(x, base - height, 6.5, height), c);
            p.fillRect(QRectF(x + 1.5, base - height + 3, 1.2, 1.6), QColor(60, 70, 80));
            p.fillRect(QRectF(x + 4, base - height + 3, 1.2, 1.6), QColor(60, 70, 80));
            p.fillRect(QRectF(x - 0.3, base - height - 2, 7, 2.5),
                       chance(rng, 0.75) ? QColor(170, 70, 50) : QColor(100, 100, 110));
        }
    }
}

void drawLighthouse(QPainter &p, const QPointF &base, double height, bool lit)
{
    const double bw = height * 0.24;
    const double tw = height * 0.16;
    QPainterPath tower;
    tower.moveTo(base.x() - bw / 2, base.y());
    tower.lineTo(base.x() - tw / 2, base.y() - height);
    tower.lineTo(base.x() + tw / 2, base.y() - height);
    tower.lineTo(base.x() + bw / 2, base.y());
    tower.closeSubpath();
    QLinearGradient g(QPointF(base.x() - bw / 2, 0), QPointF(base.x() + bw / 2, 0));
    g.setColorAt(0.0, QColor(250, 250, 246));
    g.setColorAt(0.6, QColor(232, 232, 228));
    g.setColorAt(1.0, QColor(170, 174, 184));
    p.fillPath(tower, g);
    // Red bands, clipped to the tapering tower.
    p.save();
    p.setClipPath(tower);
    QLinearGradient r(QPointF(base.x() - bw / 2, 0), QPointF(base.x() + bw / 2, 0));
    r.setColorAt(0.0, QColor(206, 50, 40));
    r.setColorAt(1.0, QColor(130, 30, 30));
    for (int i = 0; i < 2; ++i)
        p.fillRect(
            QRectF(base.x() - bw, base.y() - height * (0.3 + i * 0.38), bw * 2, height * 0.15), r);
    p.restore();
    const double top = base.y() - height;
    p.fillRect(QRectF(base.x() - tw * 0.8, top - 2, tw * 1.6, 3), QColor(40, 40, 44));
    p.fillRect(QRectF(base.x() - tw * 0.4, top - tw * 0.7, tw * 0.8, tw * 0.7 - 2),
               lit ? QColor(255, 236, 170) : QColor(160, 190, 200));
    QPainterPath cap;
    cap.moveTo(base.x() - tw * 0.55, top - tw * 0.7);
    cap.lineTo(base.x(), top - tw * 1.1);
    cap.lineTo(base.x() + tw * 0.55, top - tw * 0.7);
    cap.closeSubpath();
    p.fillPath(cap, QColor(40, 40, 44));
    if (lit)
        softEllipse(p, QPointF(base.x(), top - tw * 0.35), height * 0.5, height * 0.5,
                    QColor(255, 230, 160, 160));
}

void pelmoraHarbourLight(QImage &image, QRandomGenerator &rng)
{
    const double w = image.width();
    const double h = image.height();
    const int horizon = int(h * 0.45);
    const ValueNoise n(rng.generate());
    paintSky(image, horizon, {QColor(90, 146, 210), QColor(220, 230, 236), 0.45}, n);
    paintSea(image, QRect(0, horizon, image.width(), image.height() - horizon), horizon,
             {QColor(140, 176, 196), QColor(36, 100, 140)}, n, rng);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    // The town across the water on the left, under its hill.
    fillVertical(p, ridgePath(-2, w * 0.5, horizon - 30, 16, 110, n, 3, horizon + 1),
                 QColor(120, 150, 110), QColor(110, 140, 100));
    distantTown(p, rng, horizon, 0, w * 0.44, 2);
    // The breakwater sweeps out from the foreground and ends in the harbour light: a paved
    // top and a sloping seaward face of big blocks, both narrowing with distance.
    QPainterPath spine;
    spine.moveTo(-10, h * 0.9);
    spine.cubicTo(w * 0.3, h * 0.76, w * 0.55, h * 0.62, w * 0.76, h * 0.575);
    QPolygonF topNear;
    QPolygonF topFar;
    QPolygonF faceFoot;
    for (int i = 0; i <= 120; ++i) {
        const double t = i / 120.0;
        const QPointF at = spine.pointAtPercent(t);
        const double width = lerp(46, 8, t);
        const double face = lerp(30, 5, t);
        topFar << at - QPointF(0, width * 0.5);
        topNear << at + QPointF(0, width * 0.15);
        faceFoot << at + QPointF(0, width * 0.15 + face);
    }
    QPolygonF top = topFar;
    for (auto it = topNear.crbegin(); it != topNear.crend(); ++it)
        top << *it;
    QPolygonF front = topNear;
    for (auto it = faceFoot.crbegin(); it != faceFoot.crend(); ++it)
        front << *it;
    QPainterPath topPath;
    topPath.addPolygon(top);
    topPath.closeSubpath();
    QPainterPath frontPath;
    frontPath.addPolygon(front);
    frontPath.closeSubpath();
    p.end();
    shadeInside(image, frontPath, [&](int x, int y, QRgb) {
        // Big blocks: a coarse cellular pattern from stepped noise.
        const double cell = n.at(std::floor(x / 14.0) * 3.1, std::floor((y + x * 0.3) / 9.0) * 2.3);
        QColor c = mix(QColor(120, 114, 104), QColor(80, 76, 70), cell);
        c = scaled(c, 0.85 + 0.3 * n.fbm(x / 4.0, y / 4.0, 2));
        return c.rgb();
    });
    shadeInside(image, topPath, [&](int x, int y, QRgb) {
        return scaled(QColor(200, 192, 176), 0.88 + 0.2 * n.fbm(x / 5.0, y / 3.0, 3)).rgb();
    });
    p.begin(&image);
    p.setRenderHint(QPainter::Antialiasing);
    QPainterPath seaSide;
    seaSide.addPolygon(faceFoot);
    p.setBrush(Qt::NoBrush);
    for (int i = 0; i < 70; ++i) {
        const double t = uniform(rng, 0, 1);
        const QPointF at = seaSide.pointAtPercent(t);
        softEllipse(p, at + QPointF(0, 1), uniform(rng, 5, 14) * (1.0 - t * 0.7),
                    uniform(rng, 1.5, 3.5) * (1.0 - t * 0.6), QColor(250, 252, 252, 150));
    }
    drawLighthouse(p, QPointF(w * 0.76, h * 0.575), h * 0.3, false);
    drawSailboat(p, QPointF(w * 0.42, h * 0.55), 40, QColor(240, 240, 236), QColor(250, 246, 236),
                 false);
    drawSailboat(p, QPointF(w * 0.9, h * 0.5), 24, QColor(40, 80, 130), QColor(244, 240, 230),
                 true);
    p.end();
    addGrain(image, n, 2.5);
}

void drawClockFace(QPainter &p, const QPointF &c, double r, double hours, double minutes)
{
    p.setPen(QPen(QColor(60, 50, 40), r * 0.08));
    p.setBrush(QColor(246, 242, 230));
    p.drawEllipse(c, r, r);
    p.setPen(QPen(QColor(40, 36, 32), std::max(0.8, r * 0.06)));
    for (int i = 0; i < 12; ++i) {
        const double a = i * std::numbers::pi / 6;
        p.drawLine(c + QPointF(std::sin(a), -std::cos(a)) * r * 0.72,
                   c + QPointF(std::sin(a), -std::cos(a)) * r * 0.88);
    }
    const double ha = (hours + minutes / 60.0) * std::numbers::pi / 6;
    const double ma = minutes * std::numbers::pi / 30;
    p.setPen(QPen(QColor(30, 26, 22), r * 0.1, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(c, c + QPointF(std::sin(ha), -std::cos(ha)) * r * 0.5);
    p.setPen(QPen(QColor(30, 26, 22), r * 0.06, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(c, c + QPointF(std::sin(ma), -std::cos(ma)) * r * 0.78);
}

void pelmoraClockTower(QImage &image, QRandomGenerator &rng)
{
    const double w = image.width();
    const double h = image.height();
    const ValueNoise n(rng.generate());
    paintSky(image, image.height(), {QColor(60, 116, 196), QColor(190, 214, 236), 0.3}, n);
    const double cx = w * 0.5;
    const double tw = w * 0.3;
    const double towerTop = h * 0.2;
    const double ground = h * 0.97;
    QPainterPath tower;
    tower.addRect(QRectF(cx - tw / 2, towerTop, tw, ground - towerTop));
    // Rough-cut granite blocks.
    shadeInside(image, tower, [&](int x, int y, QRgb) {
        const double course = 11.0;
        const int row = int((y - towerTop) / course);
        const double offset = (row % 2) * 9.0;
        const double bx = std::fmod(x - (cx - tw / 2) + offset, 18.0);
        const double by = std::fmod(y - towerTop, course);
        QColor c = mix(QColor(206, 196, 176), QColor(170, 160, 142), n.fbm(x / 6.0, y / 6.0, 3));
        c = scaled(c, 0.9 + 0.2 * n.grain(row, int((x - (cx - tw / 2) + offset) / 18.0)) * 0.5);
        if (bx < 1.0 || by < 1.0)
            c = scaled(c, 0.72);
        // Shade the right-hand side: the sun is on the left.
        c = scaled(c, lerp(1.05, 0.82, clamp01((x - (cx - tw / 2)) / tw)));
        return c.rgb();
    });
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    // Belfry, cornice and the copper spire gone green.
    const QRectF belfry(cx - tw / 2 - 3, towerTop - 4, tw + 6, 5);
    p.fillRect(belfry, QColor(180, 170, 150));
    for (int i = 0; i < 2; ++i) {
        QPainterPath arch;
        const double ax = cx - tw * 0.36 + i * tw * 0.4;
        const double aw = tw * 0.32;
        const double ay = towerTop + 10;
        arch.moveTo(ax, ay + 40);
        arch.lineTo(ax, ay + aw / 2);
        arch.arcTo(QRectF(ax, ay, aw, aw), 180, -180);
        arch.lineTo(ax + aw, ay + 40);
        arch.closeSubpath();
        p.fillPath(arch, QColor(40, 40, 46));
        p.setPen(QPen(QColor(150, 120, 60), 2.0));
        p.drawArc(QRectF(ax + aw * 0.2, ay + aw * 0.55, aw * 0.6, aw * 0.7), 0, 180 * 16);
    }
    QPainterPath spire;
    spire.moveTo(cx - tw / 2 - 4, towerTop - 4);
    spire.lineTo(cx, towerTop - tw * 1.5);
    spire.lineTo(cx + tw / 2 + 4, towerTop - 4);
    spire.closeSubpath();
    QLinearGradient sg(QPointF(cx - tw / 2, 0), QPointF(cx + tw / 2, 0));
    sg.setColorAt(0.0, QColor(120, 180, 160));
    sg.setColorAt(0.5, QColor(90, 150, 130));
    sg.setColorAt(0.51, QColor(60, 110, 96));
    sg.setColorAt(1.0, QColor(50, 96, 84));
    p.fillPath(spire, sg);
    p.setPen(QPen(QColor(50, 50, 50), 1.2));
    p.drawLine(QPointF(cx, towerTop - tw * 1.5), QPointF(cx, towerTop - tw * 1.5 - 14));
    // The weathercock.
    QPainterPath cock;
    cock.moveTo(cx - 7, towerTop - tw * 1.5 - 12);
    cock.lineTo(cx + 6, towerTop - tw * 1.5 - 14);
    cock.lineTo(cx + 8, towerTop - tw * 1.5 - 19);
    cock.lineTo(cx + 2, towerTop - tw * 1.5 - 16);
    cock.lineTo(cx - 4, towerTop - tw * 1.5 - 19);
    cock.closeSubpath();
    p.fillPath(cock, QColor(50, 50, 50));
    drawClockFace(p, QPointF(cx, towerTop + 78), tw * 0.34, 10, 8);
    // Houses crowd round the foot of the tower.
    waterfrontRow(p, rng, ground + 2, -30, cx - tw / 2, 1.0, 0.95, 0.0);
    waterfrontRow(p, rng, ground + 2, cx + tw / 2, w + 30, 1.0, 0.88, 0.0);
    p.fillRect(QRectF(0, ground, w, h - ground), QColor(150, 140, 126));
    p.end();
    addGrain(image, n, 2.5);
}

void pelmoraFromSea(QImage &image, QRandomGenerator &rng)
{
    const double w = image.width();
    const double h = image.height();
    const int shore = int(h * 0.5);
    const ValueNoise n(rng.generate());
    paintSky(image, shore, {QColor(96, 146, 204), QColor(226, 232, 236), 0.5}, n);
    paintSea(image, QRect(0, shore, image.width(), image.height() - shore), shore - int(h * 0.05),
             {QColor(110, 150, 176), QColor(36, 92, 130)}, n, rng);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    fillVertical(p, ridgePath(-2, w + 2, shore - 46, 26, 160, n, 50, shore + 1),
                 QColor(96, 136, 84), QColor(118, 150, 90));
    // The town is small at this distance: a band of fronts and roofs, the tower in the middle.
    distantTown(p, rng, shore, w * 0.12, w * 0.86, 3);
    p.fillRect(QRectF(w * 0.5 - 3, shore - 50, 6, 32), QColor(214, 204, 186));
    QPainterPath spire;
    spire.moveTo(w * 0.5 - 4, shore - 50);
    spire.lineTo(w * 0.5, shore - 62);
    spire.lineTo(w * 0.5 + 4, shore - 50);
    p.fillPath(spire, QColor(80, 130, 116));
    p.fillRect(QRectF(0, shore - 1, w, 3), QColor(150, 144, 132));
    drawSailboat(p, QPointF(w * 0.3, h * 0.8), 70, QColor(250, 250, 246), QColor(252, 248, 238),
                 true);
    p.end();
    addGrain(image, n, 2.5);
}

// ---- expeditions -------------------------------------------------------------------------

// A three-masted ship seen broadside, bow to the right, waterline at y = 0, 200 units long.
void drawShip(QPainter &p, const QPointF &waterline, double length, bool sailsSet)
{
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    p.translate(waterline);
    const double s = length / 200.0;
    p.scale(s, s);

    const std::array<double, 3> mastX = {-52.0, 6.0, 58.0};
    const std::array<double, 3> mastH = {132.0, 168.0, 154.0};
    QPen rigging(QColor(50, 42, 36, 200), 0.9);
    rigging.setCosmetic(true);

    // Standing rigging first, so the sails sit in front of it.
    p.setPen(rigging);
    for (std::size_t i = 0; i < 3; ++i) {
        const QPointF top(mastX[i], -mastH[i]);
        p.drawLine(top, QPointF(mastX[i] - 22, -24));
        p.drawLine(top, QPointF(mastX[i] + 18, -24));
    }
    p.drawLine(QPointF(mastX[2], -mastH[2]), QPointF(148, -50));
    p.drawLine(QPointF(mastX[1], -mastH[1]), QPointF(mastX[2], -mastH[2] * 0.9));
    p.drawLine(QPointF(mastX[0], -mastH[0]), QPointF(mastX[1], -mastH[1] * 0.88));
    p.drawLine(QPointF(mastX[0], -mastH[0]), QPointF(-98, -34));

    QPen spar(QColor(74, 56, 40), 2.6);
    p.setPen(spar);
    for (std::size_t i = 0; i < 3; ++i)
        p.drawLine(QPointF(mastX[i], -24), QPointF(mastX[i], -mastH[i]));
    p.drawLine(QPointF(92, -32), QPointF(150, -50));

    const QColor canvas(240, 232, 212);
    for (std::size_t i = 0; i < 3; ++i) {
        const double x = mastX[i];
        const double hgt = mastH[i];
        if (i == 0) {
            // Fore-and-aft spanker on the mizzen.
            if (sailsSet) {
                QPainterPath spanker;
                spanker.moveTo(x + 1, -hgt * 0.62);
                spanker.lineTo(x - 40, -hgt * 0.7);
                spanker.quadTo(x - 46, -hgt * 0.4, x - 44, -32);
                spanker.lineTo(x + 1, -32);
                spanker.closeSubpath();
                QLinearGradient g(QPointF(x - 44, 0), QPointF(x, 0));
                g.setColorAt(0.0, scaled(canvas, 0.8));
                g.setColorAt(1.0, canvas);
                p.setPen(QPen(scaled(canvas, 0.7), 0.6));
                p.setBrush(g);
                p.drawPath(spanker);
            }
            p.setPen(spar);
            p.drawLine(QPointF(x, -hgt * 0.62), QPointF(x - 42, -hgt * 0.7));
            p.drawLine(QPointF(x, -32), QPointF(x - 46, -32));
        }
        // Three square sails, each narrower than the one below.
        const std::array<double, 4> levels = {0.2, 0.47, 0.7, 0.9};
        for (std::size_t k = (i == 0 ? 2 : 0); k < 3; ++k) {
            const double yTop = -hgt * levels[k + 1];
            const double yBottom = -hgt * levels[k] - 4;
            const double halfTop = (k == 0 ? 30 : k == 1 ? 25 : 19) * (i == 1 ? 1.1 : 1.0);
            const double halfBottom = halfTop * 1.12;
            if (sailsSet) {
                QPainterPath sail;
                sail.moveTo(x - halfTop, yTop);
                sail.lineTo(x + halfTop, yTop);
                sail.quadTo(x + halfBottom + 6, (yTop + yBottom) / 2, x + halfBottom, yBottom);
                sail.quadTo(x, yBottom + 7, x - halfBottom, yBottom);
                sail.quadTo(x - halfBottom + 4, (yTop + yBottom) / 2, x - halfTop, yTop);
                sail.closeSubpath();
                // The wind fills the sail from astern: lit in the middle, shaded at the leeches.
                QLinearGradient g(QPointF(x - halfBottom, 0), QPointF(x + halfBottom, 0));
                g.setColorAt(0.0, scaled(canvas, 0.74));
                g.setColorAt(0.4, canvas);
                g.setColorAt(0.7, scaled(canvas, 0.95));
                g.setColorAt(1.0, scaled(canvas, 0.7));
                p.setPen(QPen(scaled(canvas, 0.66), 0.6));
                p.setBrush(g);
                p.drawPath(sail);
                p.setPen(QPen(withAlpha(scaled(canvas, 0.75), 150), 0.5));
                for (double sx = -halfTop + 8; sx < halfTop; sx += 8)
                    p.drawLine(QPointF(x + sx, yTop + 1), QPointF(x + sx * 1.08, yBottom + 2));
            }
            p.setPen(spar);
            p.drawLine(QPointF(x - halfTop - 3, yTop), QPointF(x + halfTop + 3, yTop));
            if (!sailsSet) {
                // Furled on the yard.
                p.setPen(QPen(scaled(canvas, 0.92), 4.0, Qt::SolidLine, Qt::RoundCap));
                p.drawLine(QPointF(x - halfTop, yTop + 2.5), QPointF(x + halfTop, yTop + 2.5));
            }
        }
        // Pennant at the masthead.
        QPainterPath pennant;
        const double ty = -hgt;
        pennant.moveTo(x, ty);
        pennant.quadTo(x - 10, ty - 3, x - 22, ty + 1);
        pennant.lineTo(x, ty + 4);
        pennant.closeSubpath();
        p.fillPath(pennant, QColor(190, 40, 40));
    }
    // Headsails from the foremast out to the bowsprit.
    if (sailsSet) {
        for (int k = 0; k < 2; ++k) {
            QPainterPath jib;
            jib.moveTo(mastX[2] + 3, -mastH[2] * (0.62 - k * 0.14));
            jib.quadTo(120 - k * 16, -70 + k * 8, 146 - k * 20, -50 + k * 6);
            jib.lineTo(mastX[2] + 6, -34);
            jib.closeSubpath();
            p.setPen(QPen(scaled(canvas, 0.7), 0.6));
            p.setBrush(scaled(canvas, 0.92 - k * 0.06));
            p.drawPath(jib);
        }
    }

    QPainterPath hull;
    hull.moveTo(-98, -36);
    hull.quadTo(0, -22, 96, -34);
    hull.cubicTo(94, -14, 82, 2, 60, 5);
    hull.lineTo(-78, 5);
    hull.cubicTo(-92, 2, -98, -16, -98, -36);
    hull.closeSubpath();
    QLinearGradient hg(QPointF(0, -34), QPointF(0, 5));
    hg.setColorAt(0.0, QColor(70, 56, 44));
    hg.setColorAt(1.0, QColor(28, 24, 22));
    p.setPen(Qt::NoPen);
    p.setBrush(hg);
    p.drawPath(hull);
    // Painted band with ports, and the copper below the waterline just showing.
    QPainterPath band;
    band.moveTo(-96, -26);
    band.quadTo(0, -13, 94, -25);
    band.lineTo(93, -20);
    band.quadTo(0, -8, -95, -21);
    band.closeSubpath();
    p.setBrush(QColor(220, 196, 120));
    p.drawPath(band);
    p.setBrush(QColor(30, 26, 24));
    for (int i = 0; i < 9; ++i) {
        const double t = (i + 0.5) / 9.0;
        const QPointF at = band.pointAtPercent(t * 0.5);
        p.drawRect(QRectF(at.x() - 2.5, at.y() + 1.2, 5, 3.2));
    }
    // Stern windows.
    p.setBrush(QColor(240, 220, 160));
    p.drawRect(QRectF(-96, -33, 4, 4));
    p.drawRect(QRectF(-90, -32, 4, 4));
    p.restore();
}

void expeditionShip(QImage &image, QRandomGenerator &rng)
{
    const double w = image.width();
    const double h = image.height();
    const int horizon = int(h * 0.6);
    const ValueNoise n(rng.generate());
    paintSky(image, horizon,
             {QColor(70, 120, 190), QColor(216, 224, 230), 0.55, QColor(255, 255, 252),
              QColor(164, 170, 186), 1.2},
             n);
    paintSea(image, QRect(0, horizon, image.width(), image.height() - horizon), horizon,
             {QColor(110, 146, 172), QColor(24, 70, 104), QColor(236, 244, 248), 1.3}, n, rng);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    // A distant island on the horizon.
    fillVertical(p, ridgePath(w * 0.65, w * 0.95, horizon - 8, 10, 60, n, 20, horizon + 1),
                 QColor(120, 140, 150), QColor(130, 150, 160));
    const QPointF at(w * 0.48, h * 0.8);
    softEllipse(p, at + QPointF(0, 6), w * 0.3, 10, QColor(10, 30, 50, 90));
    drawShip(p, at, w * 0.54, true);
    // Bow wave and wake.
    for (int i = 0; i < 50; ++i) {
        const double t = rng.generateDouble();
        const QPointF c = at + QPointF(lerp(w * 0.27, -w * 0.4, t), uniform(rng, 0, 6) + t * 8);
        softEllipse(p, c, uniform(rng, 6, 18) * (1.0 - t * 0.5), uniform(rng, 1.5, 3.5),
                    QColor(250, 252, 252, int(200 * (1.0 - t))));
    }
    p.end();
    addGrain(image, n, 2.5);
}

struct Tent
{
    QPointF front; // foot of the front pole
    double width;
    double height;
    double depth;
    QColor canvas;
};

void drawTent(QPainter &p, const Tent &t, double warmth = 0.0)
{
    const QPointF dir(t.depth * 0.75, -t.depth * 0.3);
    const QPointF apex = t.front - QPointF(0, t.height);
    const QPointF left = t.front - QPointF(t.width / 2, 0);
    const QPointF right = t.front + QPointF(t.width / 2, 0);
    softEllipse(p, t.front + dir * 0.6 + QPointF(8, 2), t.width + t.depth * 0.6, t.height * 0.2,
                QColor(40, 30, 10, 110));
    QPainterPath roof;
    roof.moveTo(apex);
    roof.lineTo(apex + dir);
    roof.lineTo(right + dir);
    roof.lineTo(right);
    roof.closeSubpath();
    QLinearGradient rg(apex, right);
    rg.setColorAt(0.0, scaled(t.canvas, 0.9));
    rg.setColorAt(1.0, scaled(t.canvas, 0.7));
    p.fillPath(roof, rg);
    QPainterPath front;
    front.moveTo(left);
    front.lineTo(apex);
    front.lineTo(right);
    front.closeSubpath();
    p.fillPath(front, mix(t.canvas, QColor(255, 160, 80), warmth));
    QPainterPath door;
    door.moveTo(t.front + QPointF(-t.width * 0.16, 0));
    door.lineTo(apex + QPointF(0, t.height * 0.3));
    door.lineTo(t.front + QPointF(t.width * 0.16, 0));
    door.closeSubpath();
    p.fillPath(door, QColor(60, 50, 36));
    QPen seam(scaled(t.canvas, 0.6), 1.0);
    p.setPen(seam);
    p.drawLine(apex, apex + dir);
    p.setPen(QPen(QColor(80, 70, 56, 180), 0.7));
    p.drawLine(apex, apex + QPointF(-t.width * 0.9, t.height * 0.95));
    p.drawLine(apex + dir, apex + dir + QPointF(t.width * 0.7, t.height * 0.9));
    p.setPen(QPen(QColor(90, 70, 50), 1.4));
    p.drawLine(apex, apex - QPointF(0, 4));
}

void drawCrate(QPainter &p, const QPointF &foot, double size)
{
    const QRectF front(foot.x() - size / 2, foot.y() - size * 0.8, size, size * 0.8);
    const QPointF d(size * 0.3, -size * 0.2);
    QPolygonF top({front.topLeft(), front.topLeft() + d, front.topRight() + d, front.topRight()});
    QPolygonF side(
        {front.topRight(), front.topRight() + d, front.bottomRight() + d, front.bottomRight()});
    p.setPen(QPen(QColor(90, 66, 40), 0.8));
    p.setBrush(QColor(200, 164, 110));
    p.drawPolygon(top);
    p.setBrush(QColor(150, 116, 76));
    p.drawPolygon(side);
    p.setBrush(QColor(180, 140, 90));
    p.drawRect(front);
    p.drawLine(QPointF(front.left(), front.center().y()),
               QPointF(front.right(), front.center().y()));
}

void expeditionCamp(QImage &image, QRandomGenerator &rng)
{
    const double w = image.width();
    const double h = image.height();
    const int horizon = int(h * 0.42);
    const ValueNoise n(rng.generate());
    paintSky(image, horizon, {QColor(100, 150, 206), QColor(226, 230, 228), 0.35}, n);
    paintSea(image, QRect(0, horizon, image.width(), image.height() - horizon), horizon,
             {QColor(130, 166, 190), QColor(40, 120, 140)}, n, rng);
    const auto shoreY = [&](double x) {
        return h * 0.58 + (n.fbm(x / 90.0, 4.0, 3) - 0.5) * 16 - x * 0.03;
    };
    QPainterPath beach;
    beach.moveTo(-2, h + 2);
    for (double x = -2; x <= w + 2; x += 3)
        beach.lineTo(x, shoreY(x));
    beach.lineTo(w + 2, h + 2);
    beach.closeSubpath();
    shadeInside(image, beach, [&](int x, int y, QRgb) {
        const double d = y - shoreY(x);
        QColor c = mix(QColor(184, 168, 130), QColor(232, 216, 176), smoothstep(0.0, 30.0, d));
        return scaled(c, 0.9 + 0.2 * n.fbm(x / 3.0, y / 3.0, 2)).rgb();
    });
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    QPainterPath foam;
    for (double x = -2; x <= w + 2; x += 3) {
        const double y = shoreY(x) - 1 + (n.fbm(x / 12.0, 8.0, 2) - 0.5) * 4;
        if (x == -2)
            foam.moveTo(x, y);
        else
            foam.lineTo(x, y);
    }
    p.setPen(QPen(QColor(250, 252, 252, 220), 2.2));
    p.setBrush(Qt::NoBrush);
    p.drawPath(foam);
    // Dune grass behind the camp on the right.
    QPainterPath dune = ridgePath(w * 0.6, w + 2, h * 0.6, 20, 80, n, 4, h * 0.72);
    fillVertical(p, dune, QColor(220, 204, 160), QColor(206, 190, 146));
    drawGrass(p, rng, QRectF(w * 0.62, h * 0.54, w * 0.4, h * 0.1), 260, QColor(110, 120, 60),
              QColor(180, 180, 110), 6, 16);

    drawRowingBoat(p, QPointF(w * 0.16, h * 0.64), 90, QColor(60, 90, 120), -6);
    std::vector<Tent> tents = {
        {QPointF(w * 0.42, h * 0.74), 64, 44, 70, QColor(226, 214, 176)},
        {QPointF(w * 0.64, h * 0.7), 54, 38, 60, QColor(200, 190, 150)},
        {QPointF(w * 0.78, h * 0.86), 76, 52, 80, QColor(230, 220, 186)},
    };
    std::sort(tents.begin(), tents.end(),
              [](const Tent &a, const Tent &b) { return a.front.y() < b.front.y(); });
    // The flagpole marks the camp for boats coming in.
    p.setPen(QPen(QColor(90, 70, 50), 2.0));
    p.drawLine(QPointF(w * 0.3, h * 0.76), QPointF(w * 0.3, h * 0.4));
    QPainterPath flag;
    flag.moveTo(w * 0.3, h * 0.4);
    flag.cubicTo(w * 0.33, h * 0.39, w * 0.35, h * 0.43, w * 0.38, h * 0.41);
    flag.lineTo(w * 0.38, h * 0.46);
    flag.cubicTo(w * 0.35, h * 0.48, w * 0.33, h * 0.44, w * 0.3, h * 0.45);
    flag.closeSubpath();
    p.fillPath(flag, QColor(30, 90, 160));
    for (const Tent &t : tents)
        drawTent(p, t);
    drawCrate(p, QPointF(w * 0.52, h * 0.84), 22);
    drawCrate(p, QPointF(w * 0.56, h * 0.87), 18);
    drawCrate(p, QPointF(w * 0.5, h * 0.91), 26);
    p.end();
    addGrain(image, n, 2.5);
}

void expeditionAnchorage(QImage &image, QRandomGenerator &rng)
{
    const double w = image.width();
    const double h = image.height();
    const int water = int(h * 0.55);
    const ValueNoise n(rng.generate());
    paintSky(image, water,
             {QColor(120, 150, 200), QColor(238, 220, 196), 0.3, QColor(255, 246, 236),
              QColor(190, 170, 170)},
             n);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    // Hills close round the bay on both sides.
    QPainterPath left;
    left.moveTo(-2, water + 1);
    left.lineTo(-2, h * 0.22);
    for (double x = 0; x <= w * 0.55; x += 3)
        left.lineTo(x,
                    h * 0.22 + std::pow(x / (w * 0.55), 1.6) * (water - h * 0.22)
                        + (n.fbm(x / 40.0, 1.0, 3) - 0.5) * 20);
    left.lineTo(w * 0.55, water + 1);
    left.closeSubpath();
    QPainterPath right;
    right.moveTo(w + 2, water + 1);
    right.lineTo(w + 2, h * 0.34);
    for (double x = w; x >= w * 0.6; x -= 3)
        right.lineTo(x,
                     h * 0.34 + std::pow((w - x) / (w * 0.4), 1.5) * (water - h * 0.34)
                         + (n.fbm(x / 40.0, 5.0, 3) - 0.5) * 14);
    right.lineTo(w * 0.6, water + 1);
    right.closeSubpath();
    fillVertical(p, right, QColor(110, 120, 110), QColor(90, 104, 84));
    fillVertical(p, left, QColor(96, 120, 80), QColor(70, 96, 60));
    drawShip(p, QPointF(w * 0.52, water - 0.5), w * 0.62, false);
    p.end();
    reflectInto(image, water, image.height() - 1, QColor(40, 70, 90), 0.3, n, 2.0);
    p.begin(&image);
    p.setRenderHint(QPainter::Antialiasing);
    drawRowingBoat(p, QPointF(w * 0.3, h * 0.8), 56, QColor(140, 80, 50), 0);
    p.setPen(QPen(QColor(60, 40, 30), 1.2));
    p.drawLine(QPointF(w * 0.26, h * 0.79), QPointF(w * 0.18, h * 0.83));
    p.drawLine(QPointF(w * 0.34, h * 0.79), QPointF(w * 0.42, h * 0.83));
    p.end();
    addGrain(image, n, 2.5);
}

void drawFlames(QPainter &p, const QPointF &base, double size, QRandomGenerator &rng)
{
    const std::array<QColor, 3> colors = {QColor(220, 70, 20), QColor(250, 160, 40),
                                          QColor(255, 236, 150)};
    for (std::size_t layer = 0; layer < 3; ++layer) {
        const double scale = 1.0 - double(layer) * 0.28;
        for (int i = 0; i < 4; ++i) {
            const double x = uniform(rng, -size * 0.35, size * 0.35) * scale;
            const double hgt = size * scale * uniform(rng, 0.7, 1.2);
            QPainterPath tongue;
            tongue.moveTo(base + QPointF(x - size * 0.22 * scale, 0));
            tongue.cubicTo(base + QPointF(x - size * 0.25 * scale, -hgt * 0.5),
                           base + QPointF(x + uniform(rng, -6, 6), -hgt * 0.7),
                           base + QPointF(x + uniform(rng, -4, 4), -hgt));
            tongue.cubicTo(base + QPointF(x + size * 0.1, -hgt * 0.6),
                           base + QPointF(x + size * 0.25 * scale, -hgt * 0.3),
                           base + QPointF(x + size * 0.22 * scale, 0));
            tongue.closeSubpath();
            p.fillPath(tongue, withAlpha(colors[layer], 220));
        }
    }
}

void expeditionNightCamp(QImage &image, QRandomGenerator &rng)
{
    const double w = image.width();
    const double h = image.height();
    const int horizon = int(h * 0.5);
    const ValueNoise n(rng.generate());
    paintSky(image, horizon, {QColor(10, 14, 40), QColor(70, 60, 96), 0.0}, n);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    for (int i = 0; i < 160; ++i) {
        const QPointF s(uniform(rng, 0, w), std::pow(rng.generateDouble(), 1.4) * horizon);
        const double r = uniform(rng, 0.3, 1.2);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(255, 255, 240, int(uniform(rng, 90, 255))));
        p.drawEllipse(s, r, r);
    }
    fillVertical(p, ridgePath(-2, w + 2, horizon - 6, 24, 150, n, 7, h), QColor(24, 24, 40),
                 QColor(20, 20, 30));
    p.end();
    const QPointF fire(w * 0.46, h * 0.8);
    QPainterPath ground;
    ground.addRect(QRectF(0, h * 0.56, w, h * 0.44));
    shadeInside(image, ground, [&](int x, int y, QRgb) {
        const double d = QLineF(QPointF(x, y * 1.6), QPointF(fire.x(), fire.y() * 1.6)).length();
        const double glow = std::exp(-d / 120.0);
        QColor c = mix(QColor(30, 28, 34), QColor(200, 120, 60), glow);
        return scaled(c, 0.85 + 0.3 * n.fbm(x / 4.0, y / 3.0, 2)).rgb();
    });
    p.begin(&image);
    p.setRenderHint(QPainter::Antialiasing);
    drawTent(p, {QPointF(w * 0.22, h * 0.72), 80, 56, 70, QColor(110, 96, 80)}, 0.5);
    drawTent(p, {QPointF(w * 0.74, h * 0.7), 70, 50, 60, QColor(100, 90, 76)}, 0.3);
    // Logs, then the flames and the light they throw.
    p.setPen(QPen(QColor(60, 36, 20), 6.0, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(fire + QPointF(-22, 4), fire + QPointF(20, -2));
    p.drawLine(fire + QPointF(-18, -3), fire + QPointF(22, 5));
    softEllipse(p, fire - QPointF(0, 10), 140, 110, QColor(255, 150, 60, 70));
    drawFlames(p, fire, 40, rng);
    for (int i = 0; i < 30; ++i) {
        const QPointF spark = fire + QPointF(uniform(rng, -30, 30), -uniform(rng, 30, 120));
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(255, 200, 100, int(uniform(rng, 100, 230))));
        p.drawEllipse(spark, 1.0, 1.0);
    }
    p.end();
    addGrain(image, n, 3.0);
}

// ---- science -------------------------------------------------------------------------------

void drawStevensonScreen(QPainter &p, const QPointF &foot, double size)
{
    const double bw = size;
    const double bh = size * 0.75;
    const double legs = size * 0.9;
    const QRectF box(foot.x() - bw / 2, foot.y() - legs - bh, bw, bh);
    const QPointF d(size * 0.35, -size * 0.2);
    p.setPen(QPen(QColor(230, 230, 226), size * 0.06));
    for (double lx :
         {box.left() + 3, box.right() - 3, box.left() + 3 + d.x(), box.right() - 3 + d.x()})
        p.drawLine(QPointF(lx, box.bottom()),
                   QPointF(lx, foot.y() + (lx > box.right() - 2 ? d.y() : 0) * 0.5));
    QPolygonF side({box.topRight(), box.topRight() + d, box.bottomRight() + d, box.bottomRight()});
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(200, 204, 210));
    p.drawPolygon(side);
    p.setBrush(QColor(248, 248, 244));
    p.drawRect(box);
    // Louvres: the slats that let air through but keep the sun out.
    p.setPen(QPen(QColor(170, 174, 180), 1.0));
    for (double y = box.top() + 4; y < box.bottom() - 2; y += 4)
        p.drawLine(QPointF(box.left() + 3, y), QPointF(box.right() - 3, y + 1.5));
    p.drawLine(QPointF(box.center().x(), box.top()), QPointF(box.center().x(), box.bottom()));
    QPolygonF roof({box.topLeft() + QPointF(-3, 0),
                    box.topLeft() + QPointF(d.x() * 0.5, -size * 0.22),
                    box.topRight() + QPointF(d.x() * 0.5 + 3, -size * 0.22),
                    box.topRight() + QPointF(d.x() + 3, d.y()), box.topRight() + QPointF(3, 0)});
    p.setPen(QPen(QColor(180, 180, 176), 0.8));
    p.setBrush(QColor(238, 238, 234));
    p.drawPolygon(roof);
}

void drawAnemometer(QPainter &p, const QPointF &foot, double height)
{
    p.setPen(QPen(QColor(90, 94, 100), 2.2));
    p.drawLine(foot, foot - QPointF(0, height));
    const QPointF hub = foot - QPointF(0, height);
    p.setPen(QPen(QColor(60, 64, 70), 1.4));
    const std::array<double, 3> angles = {20.0, 140.0, 260.0};
    for (double a : angles) {
        const double r = a * std::numbers::pi / 180.0;
        const QPointF arm = hub + QPointF(std::cos(r) * 16, std::sin(r) * 5);
        p.drawLine(hub, arm);
        p.setBrush(QColor(50, 54, 60));
        p.drawEllipse(arm, 4.0, 3.0);
    }
    // The vane on its own pole, pointing into the wind.
    const QPointF vane = foot + QPointF(34, -height * 0.86);
    p.setPen(QPen(QColor(90, 94, 100), 2.0));
    p.drawLine(foot + QPointF(34, 0), vane);
    p.setPen(QPen(QColor(50, 54, 60), 1.6));
    p.drawLine(vane + QPointF(-18, 0), vane + QPointF(16, 0));
    QPolygonF tail({vane + QPointF(12, 0), vane + QPointF(20, -7), vane + QPointF(20, 7)});
    QPolygonF head({vane + QPointF(-22, 0), vane + QPointF(-15, -4), vane + QPointF(-15, 4)});
    p.setBrush(QColor(50, 54, 60));
    p.drawPolygon(tail);
    p.drawPolygon(head);
}

void scienceWeatherStation(QImage &image, QRandomGenerator &rng)
{
    const double w = image.width();
    const double h = image.height();
    const int horizon = int(h * 0.55);
    const ValueNoise n(rng.generate());
    paintSky(image, horizon + 40,
             {QColor(70, 126, 200), QColor(214, 226, 236), 0.5, QColor(255, 255, 255),
              QColor(170, 176, 192)},
             n);
    const QPainterPath hill = ridgePath(-2, w + 2, horizon, 28, 260, n, 31, h + 2);
    shadeInside(image, hill, [&](int x, int y, QRgb) {
        const double t = clamp01((y - horizon + 30) / (h - horizon + 30));
        QColor c = mix(QColor(150, 170, 96), QColor(90, 122, 58), t);
        return scaled(c, 0.84 + 0.3 * n.fbm(x / 30.0, y / 14.0, 4)).rgb();
    });
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    drawGrass(p, rng, QRectF(0, h * 0.75, w, h * 0.25), 700, QColor(70, 100, 44),
              QColor(160, 180, 100), 6, 20);
    // The observers' hut.
    House hut;
    hut.base = QPointF(w * 0.08, h * 0.72);
    hut.width = 70;
    hut.height = 30;
    hut.depth = 30;
    hut.roofHeight = 14;
    hut.roof = QColor(90, 94, 104);
    hut.windows = 2;
    hut.trim = QColor(40, 100, 140);
    drawHouse(p, hut);
    // Fence round the enclosure: posts and two wires.
    const double fenceY = h * 0.84;
    p.setPen(QPen(QColor(110, 90, 60), 2.0));
    for (double x = w * 0.36; x < w; x += 36)
        p.drawLine(QPointF(x, fenceY), QPointF(x, fenceY - 24));
    p.setPen(QPen(QColor(80, 80, 80, 180), 0.8));
    p.drawLine(QPointF(w * 0.36, fenceY - 20), QPointF(w, fenceY - 21));
    p.drawLine(QPointF(w * 0.36, fenceY - 11), QPointF(w, fenceY - 12));
    drawStevensonScreen(p, QPointF(w * 0.55, h * 0.8), 50);
    drawAnemometer(p, QPointF(w * 0.8, h * 0.78), h * 0.52);
    // Rain gauge: a copper funnel on the grass.
    const QRectF gauge(w * 0.68, h * 0.78, 12, 18);
    QLinearGradient cg(gauge.topLeft(), gauge.topRight());
    cg.setColorAt(0.0, QColor(220, 150, 100));
    cg.setColorAt(0.5, QColor(250, 200, 150));
    cg.setColorAt(1.0, QColor(150, 90, 60));
    p.setPen(Qt::NoPen);
    p.setBrush(cg);
    p.drawRect(gauge);
    p.setBrush(QColor(110, 70, 50));
    p.drawEllipse(QPointF(gauge.center().x(), gauge.top()), 6, 2);
    p.end();
    addGrain(image, n, 2.5);
}

void paperTexture(QImage &image, const ValueNoise &n, const QColor &paper)
{
    forEachPixel(image, image.rect(), [&](int x, int y, QRgb &px) {
        QColor c = scaled(
            paper, 0.96 + 0.05 * n.fbm(x / 60.0, y / 60.0, 4) + 0.03 * n.fbm(x / 2.0, y / 2.0, 2));
        px = c.rgb();
    });
}

void scienceTideChart(QImage &image, QRandomGenerator &rng)
{
    const double w = image.width();
    const double h = image.height();
    const ValueNoise n(rng.generate());
    paperTexture(image, n, QColor(250, 246, 232));
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF plot(46, 30, w - 76, h - 70);
    // Millimetre grid with every fifth line heavier.
    int i = 0;
    for (double x = plot.left(); x <= plot.right() + 0.1; x += plot.width() / 60.0, ++i) {
        p.setPen(QPen(i % 5 == 0 ? QColor(120, 170, 160, 170) : QColor(160, 200, 190, 110),
                      i % 5 == 0 ? 0.9 : 0.5));
        p.drawLine(QPointF(x, plot.top()), QPointF(x, plot.bottom()));
    }
    i = 0;
    for (double y = plot.top(); y <= plot.bottom() + 0.1; y += plot.height() / 30.0, ++i) {
        p.setPen(QPen(i % 5 == 0 ? QColor(120, 170, 160, 170) : QColor(160, 200, 190, 110),
                      i % 5 == 0 ? 0.9 : 0.5));
        p.drawLine(QPointF(plot.left(), y), QPointF(plot.right(), y));
    }
    // Three days of tide: the twice-daily lunar tide, beating against the smaller solar
    // one, so the range grows from one day to the next towards springs.
    const double hours = 72.0;
    const auto level = [](double t) {
        const double lunar = std::cos(2 * std::numbers::pi * t / 12.42);
        const double solar = std::cos(2 * std::numbers::pi * t / 12.0 + 2.6);
        return 1.6 * lunar + 0.55 * solar;
    };
    const auto toPoint = [&](double t, double v) {
        return QPointF(plot.left() + t / hours * plot.width(),
                       plot.center().y() - v / 2.6 * plot.height() / 2);
    };
    p.fillRect(QRectF(plot.left(), toPoint(0, 0.1).y(), plot.width(),
                      toPoint(0, -0.1).y() - toPoint(0, 0.1).y()),
               QColor(120, 160, 200, 50));
    QPainterPath predicted;
    for (double t = 0; t <= hours; t += 0.1) {
        if (t == 0)
            predicted.moveTo(toPoint(t, level(t)));
        else
            predicted.lineTo(toPoint(t, level(t)));
    }
    p.setPen(QPen(QColor(30, 50, 110), 1.8));
    p.setBrush(Qt::NoBrush);
    p.drawPath(predicted);
    // Observed heights, read off the harbour staff every hour, ride a little above the
    // prediction on the second day: an onshore wind piling water into the bay.
    p.setPen(QPen(QColor(180, 40, 40), 1.0));
    p.setBrush(QColor(180, 40, 40));
    QPainterPath observed;
    for (int t = 0; t <= 72; ++t) {
        const double surge = 0.35 * std::exp(-std::pow((t - 36.0) / 10.0, 2));
        const QPointF pt = toPoint(t, level(t) + surge + uniform(rng, -0.08, 0.08));
        if (t == 0)
            observed.moveTo(pt);
        else
            observed.lineTo(pt);
        p.drawEllipse(pt, 1.8, 1.8);
    }
    p.setPen(QPen(QColor(180, 40, 40, 150), 0.8, Qt::DashLine));
    p.setBrush(Qt::NoBrush);
    p.drawPath(observed);
    // Axes with ticks for every six hours and every half metre.
    p.setPen(QPen(QColor(40, 40, 50), 1.4));
    p.drawLine(plot.bottomLeft(), plot.bottomRight());
    p.drawLine(plot.bottomLeft(), plot.topLeft());
    for (int t = 0; t <= 72; t += 6)
        p.drawLine(QPointF(toPoint(t, 0).x(), plot.bottom()),
                   QPointF(toPoint(t, 0).x(), plot.bottom() + (t % 24 == 0 ? 8 : 4)));
    for (double v = -2.5; v <= 2.51; v += 0.5)
        p.drawLine(QPointF(plot.left() - 4, toPoint(0, v).y()),
                   QPointF(plot.left(), toPoint(0, v).y()));
    // A pencil tick by each high water, the way the keeper marks them.
    p.setPen(QPen(QColor(90, 90, 90, 200), 1.0));
    for (double t = 0.1; t < hours; t += 0.1) {
        if (level(t) > level(t - 0.1) && level(t) > level(t + 0.1)) {
            const QPointF top = toPoint(t, level(t));
            p.drawLine(top + QPointF(-3, -8), top + QPointF(0, -4));
            p.drawLine(top + QPointF(0, -4), top + QPointF(5, -12));
        }
    }
    p.end();
    addVignette(image, 0.2);
    addGrain(image, n, 2.0);
}

void scienceBarograph(QImage &image, QRandomGenerator &rng)
{
    const double w = image.width();
    const double h = image.height();
    const ValueNoise n(rng.generate());
    // A dim room: the wall behind and the desk the instrument stands on.
    forEachPixel(image, image.rect(), [&](int x, int y, QRgb &px) {
        QColor c;
        if (y < h * 0.72)
            c = scaled(QColor(120, 130, 120),
                       0.7 + 0.25 * n.fbm(x / 80.0, y / 80.0, 3) + 0.2 * (1.0 - double(y) / h));
        else
            c = scaled(QColor(110, 70, 40), 0.8 + 0.3 * n.fbm(x / 120.0, y / 3.0, 4));
        px = c.rgb();
    });
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    // The mahogany case.
    const QRectF base(w * 0.08, h * 0.6, w * 0.84, h * 0.24);
    softEllipse(p, QPointF(base.center().x(), base.bottom() + 4), base.width() * 0.55, 10,
                QColor(0, 0, 0, 120));
    QLinearGradient wood(base.topLeft(), base.bottomLeft());
    wood.setColorAt(0.0, QColor(150, 80, 46));
    wood.setColorAt(1.0, QColor(90, 44, 26));
    p.fillRect(base, wood);
    p.setPen(QPen(QColor(70, 34, 20, 120), 0.8));
    for (int i = 0; i < 14; ++i) {
        const double y = base.top() + 3 + i * base.height() / 14.0;
        QPainterPath grain;
        grain.moveTo(base.left(), y);
        for (double x = base.left(); x <= base.right(); x += 6)
            grain.lineTo(x, y + (n.fbm(x / 50.0, i * 3.0, 3) - 0.5) * 6);
        p.drawPath(grain);
    }
    p.fillRect(QRectF(base.left() - 3, base.top() - 5, base.width() + 6, 6), QColor(120, 62, 36));
    // The drum with its chart, shaded as a cylinder.
    const QRectF drum(w * 0.14, h * 0.18, w * 0.44, h * 0.42);
    QLinearGradient cyl(drum.topLeft(), drum.topRight());
    cyl.setColorAt(0.0, QColor(190, 186, 170));
    cyl.setColorAt(0.35, QColor(250, 248, 236));
    cyl.setColorAt(1.0, QColor(170, 166, 150));
    p.fillRect(drum, cyl);
    p.save();
    p.setClipRect(drum);
    p.setPen(QPen(QColor(110, 140, 170, 140), 0.6));
    for (int i = 0; i <= 14; ++i) {
        const double y = drum.top() + i * drum.height() / 14.0;
        p.drawLine(QPointF(drum.left(), y), QPointF(drum.right(), y));
    }
    // Time lines are arcs, because the pen swings on an arm.
    const double swing = drum.height() * 1.3;
    for (int i = 0; i <= 14; ++i) {
        const double x = drum.left() + i * drum.width() / 14.0;
        p.drawArc(QRectF(x - 2 * swing, drum.center().y() - swing, 2 * swing, 2 * swing), -25 * 16,
                  50 * 16);
    }
    // The week's trace: steady, then a deep fall as a gale comes through, then recovery.
    QPainterPath trace;
    const double cutoff = drum.left() + drum.width() * 0.82;
    for (double x = drum.left(); x <= cutoff; x += 1.0) {
        const double t = (x - drum.left()) / drum.width();
        const double fall = 0.42 * std::exp(-std::pow((t - 0.55) / 0.12, 2));
        const double y = drum.top() + drum.height() * (0.35 + fall + 0.03 * std::sin(t * 40.0))
            + uniform(rng, -0.4, 0.4);
        if (x == drum.left())
            trace.moveTo(x, y);
        else
            trace.lineTo(x, y);
    }
    p.setPen(QPen(QColor(110, 40, 130), 1.4));
    p.setBrush(Qt::NoBrush);
    p.drawPath(trace);
    p.restore();
    p.fillRect(QRectF(drum.left() - 2, drum.top() - 4, drum.width() + 4, 4), QColor(120, 110, 90));
    p.fillRect(QRectF(drum.left() - 2, drum.bottom(), drum.width() + 4, 4), QColor(120, 110, 90));
    // The stack of aneroid capsules and the pen arm reaching to the chart.
    const QPointF stack(w * 0.76, h * 0.58);
    for (int i = 0; i < 7; ++i) {
        const QRectF cap(stack.x() - 30, stack.y() - 10 - i * 9, 60, 10);
        QLinearGradient m(cap.topLeft(), cap.topRight());
        m.setColorAt(0.0, QColor(150, 150, 150));
        m.setColorAt(0.4, QColor(236, 236, 236));
        m.setColorAt(1.0, QColor(110, 110, 112));
        p.setPen(QPen(QColor(90, 90, 92), 0.6));
        p.setBrush(m);
        p.drawRoundedRect(cap, 4, 4);
    }
    const QPointF penTip = trace.currentPosition();
    const QPointF pivot(w * 0.86, h * 0.2);
    p.setPen(QPen(QColor(60, 60, 64), 2.0));
    p.drawLine(pivot, penTip);
    p.drawLine(stack - QPointF(0, 72), pivot + QPointF(0, 20));
    p.setBrush(QColor(60, 60, 64));
    p.drawEllipse(pivot, 4, 4);
    p.setBrush(QColor(110, 40, 130));
    p.drawEllipse(penTip, 2.5, 2.5);
    // Reflection on the glass cover.
    QLinearGradient glare(QPointF(w * 0.2, h * 0.1), QPointF(w * 0.5, h * 0.5));
    glare.setColorAt(0.0, QColor(255, 255, 255, 0));
    glare.setColorAt(0.5, QColor(255, 255, 255, 50));
    glare.setColorAt(1.0, QColor(255, 255, 255, 0));
    p.fillRect(QRectF(w * 0.1, h * 0.1, w * 0.8, h * 0.5), glare);
    p.setPen(QPen(QColor(200, 210, 210, 90), 1.2));
    p.setBrush(Qt::NoBrush);
    p.drawRect(QRectF(w * 0.1, h * 0.1, w * 0.8, h * 0.5));
    p.end();
    addVignette(image, 0.4);
    addGrain(image, n, 2.5);
}

void scienceTideStaff(QImage &image, QRandomGenerator &rng)
{
    const double w = image.width();
    const double h = image.height();
    const ValueNoise n(rng.generate());
    const double waterY = h * 0.64;
    const double weedY = h * 0.42;
    // The harbour wall in dressed granite, green and dark below the high-water line.
    forEachPixel(image, QRect(0, 0, image.width(), int(waterY) + 1), [&](int x, int y, QRgb &px) {
        const double course = 20.0;
        const int row = int(y / course);
        const double bx = std::fmod(x + (row % 2) * 17.0, 34.0);
        const double by = std::fmod(double(y), course);
        QColor c = mix(QColor(190, 184, 170), QColor(140, 134, 124), n.fbm(x / 9.0, y / 9.0, 4));
        c = scaled(c, 0.92 + 0.16 * (n.grain(row, int((x + (row % 2) * 17.0) / 34.0)) * 0.5 + 0.5));
        if (bx < 1.5 || by < 1.5)
            c = scaled(c, 0.66);
        const double wet =
            smoothstep(weedY - 6, weedY + 10, y + (n.fbm(x / 12.0, 3.0, 3) - 0.5) * 10);
        c = mix(c, mix(QColor(70, 84, 50), QColor(40, 50, 40), smoothstep(weedY, waterY, y)),
                wet * 0.85);
        px = c.rgb();
    });
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    // The staff: white board with black marks every ten centimetres and the E-shape on
    // every metre, so the level can be read from a boat.
    const QRectF staff(w * 0.4, h * 0.04, w * 0.2, h * 0.95);
    p.fillRect(staff.translated(3, 3), QColor(0, 0, 0, 60));
    p.fillRect(staff, QColor(246, 246, 240));
    const double step = staff.height() / 40.0;
    for (int i = 0; i < 40; ++i) {
        const double y = staff.top() + i * step;
        if (i % 10 == 0) {
            p.fillRect(QRectF(staff.left() + 2, y, staff.width() * 0.55, step * 0.5),
                       QColor(30, 30, 34));
            p.fillRect(QRectF(staff.left() + 2, y, staff.width() * 0.2, step * 2.5),
                       QColor(30, 30, 34));
        } else if (i % 2 == 0) {
            p.fillRect(QRectF(staff.left() + 2, y, staff.width() * 0.4, step * 0.5),
                       QColor(30, 30, 34));
        }
        if (i % 10 == 5)
            p.fillRect(
                QRectF(staff.right() - staff.width() * 0.35, y, staff.width() * 0.33, step * 0.5),
                QColor(190, 40, 40));
    }
    p.setPen(QPen(QColor(90, 90, 90), 1.0));
    p.setBrush(Qt::NoBrush);
    p.drawRect(staff);
    for (double y = staff.top() + 12; y < staff.bottom(); y += staff.height() / 4)
        p.fillRect(QRectF(staff.center().x() - 3, y, 6, 6), QColor(120, 120, 124));
    p.end();
    reflectInto(image, int(waterY), image.height() - 1, QColor(30, 70, 70), 0.45, n, 4.0);
    p.begin(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(230, 240, 236, 170), 1.2));
    for (int i = 0; i < 5; ++i) {
        const double y = waterY + 1 + i * 2.2;
        p.drawLine(QPointF(staff.left() - 10 - i * 3, y), QPointF(staff.right() + 10 + i * 3, y));
    }
    p.end();
    addGrain(image, n, 2.5);
}

} // namespace

void paintPelmora(QImage &image, int number, QRandomGenerator &rng)
{
    switch (number) {
    case 1:
        pelmoraWaterfront(image, rng, false);
        break;
    case 2:
        pelmoraHarbourLight(image, rng);
        break;
    case 3:
        pelmoraClockTower(image, rng);
        break;
    case 4:
        pelmoraWaterfront(image, rng, true);
        break;
    default:
        pelmoraFromSea(image, rng);
        break;
    }
}

void paintExpedition(QImage &image, int number, QRandomGenerator &rng)
{
    switch (number) {
    case 1:
        expeditionShip(image, rng);
        break;
    case 2:
        expeditionCamp(image, rng);
        break;
    case 3:
        expeditionAnchorage(image, rng);
        break;
    default:
        expeditionNightCamp(image, rng);
        break;
    }
}

void paintScience(QImage &image, int number, QRandomGenerator &rng)
{
    switch (number) {
    case 1:
        scienceWeatherStation(image, rng);
        break;
    case 2:
        scienceTideChart(image, rng);
        break;
    case 3:
        scienceBarograph(image, rng);
        break;
    default:
        scienceTideStaff(image, rng);
        break;
    }
}

} // namespace tarvel::sample
