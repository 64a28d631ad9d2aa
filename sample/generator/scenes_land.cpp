// Settlements, plants and shores: scenes seen from the ground.

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

const std::array<QColor, 4> walls = {QColor(246, 242, 232), QColor(240, 234, 218),
                                     QColor(244, 238, 226), QColor(236, 226, 206)};
const std::array<QColor, 4> roofs = {QColor(178, 64, 44), QColor(192, 86, 54), QColor(160, 56, 40),
                                     QColor(200, 100, 62)};
const std::array<QColor, 5> trims = {QColor(60, 84, 110), QColor(50, 110, 92), QColor(118, 58, 48),
                                     QColor(70, 72, 76), QColor(40, 100, 140)};

template<typename T, std::size_t N>
const T &pickFrom(const std::array<T, N> &list, QRandomGenerator &rng)
{
    return list[std::size_t(rng.bounded(int(N)))];
}

House randomHouse(QRandomGenerator &rng, const QPointF &base, double scale)
{
    House h;
    h.base = base;
    h.width = uniform(rng, 34, 56) * scale;
    h.floors = chance(rng, 0.35) ? 2 : 1;
    h.height = (h.floors == 2 ? uniform(rng, 30, 36) : uniform(rng, 18, 24)) * scale;
    h.depth = uniform(rng, 14, 20) * scale;
    h.roofHeight = uniform(rng, 9, 13) * scale;
    h.windows = h.width > 44 * scale ? 3 : 2;
    h.wall = pickFrom(walls, rng);
    h.roof = pickFrom(roofs, rng);
    h.trim = pickFrom(trims, rng);
    return h;
}

QColor grassTexture(const ValueNoise &n, int x, int y, const QColor &base)
{
    QColor c = scaled(base, 0.82 + 0.3 * n.fbm(x / 40.0, y / 22.0, 4));
    c = scaled(c, 0.92 + 0.16 * n.fbm(x / 4.0, y / 2.5, 2));
    return c;
}

void drawBush(QPainter &p, const QPointF &c, double r, const QColor &leaf, QRandomGenerator &rng)
{
    softEllipse(p, c + QPointF(r * 0.4, r * 0.7), r * 1.3, r * 0.45, QColor(20, 30, 10, 110));
    for (int i = 0; i < 7; ++i) {
        const QPointF q =
            c + QPointF(uniform(rng, -r * 0.6, r * 0.6), uniform(rng, -r * 0.5, r * 0.3));
        const double rr = r * uniform(rng, 0.45, 0.7);
        QRadialGradient g(q + QPointF(-rr * 0.4, -rr * 0.5), rr * 1.4);
        g.setColorAt(0.0, scaled(leaf, 1.3));
        g.setColorAt(1.0, scaled(leaf, 0.65));
        p.setPen(Qt::NoPen);
        p.setBrush(g);
        p.drawEllipse(q, rr, rr * 0.9);
    }
}

void drawCypress(QPainter &p, const QPointF &base, double height, const QColor &leaf)
{
    QPainterPath t;
    t.moveTo(base + QPointF(-height * 0.1, 0));
    t.cubicTo(base + QPointF(-height * 0.16, -height * 0.5),
              base + QPointF(-height * 0.04, -height * 0.9), base + QPointF(0, -height));
    t.cubicTo(base + QPointF(height * 0.04, -height * 0.9),
              base + QPointF(height * 0.16, -height * 0.5), base + QPointF(height * 0.1, 0));
    t.closeSubpath();
    QLinearGradient g(base + QPointF(-height * 0.12, 0), base + QPointF(height * 0.12, 0));
    g.setColorAt(0.0, scaled(leaf, 1.25));
    g.setColorAt(1.0, scaled(leaf, 0.6));
    p.fillPath(t, g);
}

void drawSheep(QPainter &p, const QPointF &c, double size, bool facingLeft)
{
    p.save();
    p.translate(c);
    if (facingLeft)
        p.scale(-1, 1);
    p.scale(size / 10.0, size / 10.0);
    softEllipse(p, QPointF(0, 4.5), 7, 1.6, QColor(0, 0, 0, 90));
    p.setPen(QPen(QColor(40, 36, 34), 1.1));
    p.drawLine(QPointF(-3, 2), QPointF(-3, 4.5));
    p.drawLine(QPointF(3, 2), QPointF(3, 4.5));
    QRadialGradient wool(QPointF(-1, -2), 7);
    wool.setColorAt(0.0, QColor(250, 248, 240));
    wool.setColorAt(1.0, QColor(200, 196, 186));
    p.setPen(Qt::NoPen);
    p.setBrush(wool);
    p.drawEllipse(QPointF(0, 0), 6, 3.6);
    p.setBrush(QColor(44, 40, 38));
    p.drawEllipse(QPointF(6, -1.2), 1.9, 1.4);
    p.restore();
}

// An angular, half-buried stone, lit from the upper left.
void drawBoulder(QPainter &p, const QPointF &c, double r, QRandomGenerator &rng,
                 const QColor &light, const QColor &dark)
{
    QPolygonF outline;
    const int corners = 9;
    for (int i = 0; i < corners; ++i) {
        const double a = std::numbers::pi + i * std::numbers::pi / (corners - 1);
        const double rr = r * uniform(rng, 0.75, 1.05);
        outline << c + QPointF(std::cos(a) * rr * 1.25, std::sin(a) * rr * 0.85);
    }
    softEllipse(p, c + QPointF(r * 0.3, 1), r * 1.5, r * 0.25, QColor(20, 20, 10, 120));
    QLinearGradient g(c + QPointF(-r, -r), c + QPointF(r * 0.8, r * 0.2));
    g.setColorAt(0.0, light);
    g.setColorAt(1.0, dark);
    p.setPen(QPen(scaled(dark, 0.7), 0.6));
    p.setBrush(g);
    p.drawPolygon(outline);
    // One facet line gives the stone a second face.
    p.setPen(QPen(withAlpha(scaled(dark, 0.8), 140), 0.8));
    p.drawLine(outline[3], c + QPointF(uniform(rng, -r * 0.2, r * 0.3), 0));
}

void drawQuay(QPainter &p, const QRectF &r, QRandomGenerator &rng)
{
    QLinearGradient g(r.topLeft(), r.bottomLeft());
    g.setColorAt(0.0, QColor(190, 184, 168));
    g.setColorAt(0.2, QColor(160, 152, 138));
    g.setColorAt(1.0, QColor(104, 98, 90));
    p.fillRect(r, g);
    p.setPen(QPen(QColor(90, 84, 76, 150), 0.8));
    const double course = r.height() / 3.0;
    for (int row = 0; row < 3; ++row) {
        const double y = r.top() + row * course;
        p.drawLine(QPointF(r.left(), y), QPointF(r.right(), y));
        for (double x = r.left() + uniform(rng, 0, 10); x < r.right(); x += uniform(rng, 9, 16))
            p.drawLine(QPointF(x, y), QPointF(x, y + course));
    }
    // Weed and wet stone at the waterline.
    p.fillRect(QRectF(r.left(), r.bottom() - 2.5, r.width(), 2.5), QColor(60, 70, 50, 200));
}

// ---- settlements ---------------------------------------------------------------------------

void settlementHarbour(QImage &image, QRandomGenerator &rng)
{
    const double w = image.width();
    const double h = image.height();
    const int horizon = int(h * 0.27);
    const ValueNoise skyNoise(rng.generate());
    const ValueNoise ground(rng.generate());
    paintSky(image, horizon, {QColor(84, 138, 204), QColor(206, 224, 236), 0.45}, skyNoise);
    paintSea(image, QRect(0, horizon, image.width(), image.height() - horizon), horizon,
             {QColor(140, 172, 196), QColor(40, 96, 142)}, ground, rng);

    const double quayY = h * 0.8;
    const auto ridgeY = [&](double x) {
        return lerp(h * 0.5, h * 0.1, x / w) + (ground.fbm(x / 150.0, 2.5, 4) - 0.5) * 60.0;
    };
    QPainterPath hill;
    hill.moveTo(0, quayY + 2);
    for (double x = 0; x <= w + 2; x += 2)
        hill.lineTo(x, ridgeY(x));
    hill.lineTo(w + 2, quayY + 2);
    hill.closeSubpath();
    shadeInside(image, hill, [&](int x, int y, QRgb) {
        const double t = clamp01((y - ridgeY(x)) / (quayY - ridgeY(x)));
        QColor base = mix(QColor(138, 168, 88), QColor(96, 128, 62), t);
        // Bare rock shows through on the upper slope.
        const double rock = smoothstep(0.62, 0.72, ground.fbm(x / 30.0, y / 20.0, 4)) * (1.0 - t);
        base = mix(base, QColor(150, 146, 132), rock);
        return grassTexture(ground, x, y, base).rgb();
    });

    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    // Dry-stone terrace walls follow the hill.
    for (int k = 1; k <= 5; ++k) {
        QPainterPath wall;
        for (double x = 0; x <= w; x += 4) {
            const double y = ridgeY(x) + (quayY - ridgeY(x)) * k / 6.0
                + (ground.at(x / 40.0, k * 3.0) - 0.5) * 8.0;
            if (x == 0)
                wall.moveTo(x, y);
            else
                wall.lineTo(x, y);
        }
        p.setPen(QPen(QColor(70, 80, 50, 120), 2.6));
        p.drawPath(wall.translated(0, 1.2));
        p.setPen(QPen(QColor(196, 190, 172), 1.4));
        p.drawPath(wall);
    }

    const int rows = 5;
    for (int r = 0; r < rows; ++r) {
        const double t = (r + 0.6) / rows;
        const double scale = lerp(0.5, 1.0, t);
        double x = uniform(rng, -20, 10) + w * 0.12 * (1.0 - t);
        while (x < w) {
            House house = randomHouse(rng, QPointF(x, 0), scale);
            const double mid = x + house.width / 2;
            const double top = ridgeY(mid);
            const double y = top + (quayY - 6 - top) * t + uniform(rng, -4, 4);
            house.base.setY(y);
            const bool clearOfRidge =
                y - house.height - house.roofHeight - 6 > ridgeY(x + house.width + house.depth);
            // The village thins out up the hill and away from the harbour on the right.
            const double keep = 0.85 - 0.35 * (1.0 - t) - 0.3 * smoothstep(0.6, 1.0, x / w);
            if (clearOfRidge && chance(rng, keep)) {
                drawHouse(p, house);
            } else if (clearOfRidge && chance(rng, 0.5)) {
                drawBush(p, QPointF(mid, y - 4), 8 * scale, QColor(70, 110, 50), rng);
                if (chance(rng, 0.5))
                    drawCypress(p, QPointF(mid + 12 * scale, y), 36 * scale, QColor(50, 84, 44));
            }
            x += house.width + house.depth * 0.7 + uniform(rng, 8, 34) * scale;
        }
    }
    drawQuay(p, QRectF(-2, quayY, w + 4, 13), rng);
    p.end();

    const int water = int(quayY + 13);
    reflectInto(image, water, image.height() - 1, QColor(34, 86, 118), 0.38, ground, 2.5);
    p.begin(&image);
    p.setRenderHint(QPainter::Antialiasing);
    drawFishingBoat(p, QPointF(w * 0.22, h * 0.93), 80, QColor(40, 90, 140), false);
    drawFishingBoat(p, QPointF(w * 0.62, h * 0.97), 96, QColor(170, 50, 40), true);
    drawRowingBoat(p, QPointF(w * 0.84, h * 0.9), 40, QColor(60, 120, 90));
    p.end();
    addGrain(image, skyNoise, 2.5);
}

void settlementShoreRow(QImage &image, QRandomGenerator &rng)
{
    const double w = image.width();
    const double h = image.height();
    const int horizon = int(h * 0.42);
    const ValueNoise n(rng.generate());
    paintSky(image, int(h * 0.6),
             {QColor(96, 150, 210), QColor(214, 226, 234), 0.55, QColor(255, 255, 255),
              QColor(180, 186, 200), 0.8},
             n);
    const double beachTop = h * 0.68;
    const double seaTop = h * 0.8;
    paintSea(image, QRect(0, int(seaTop), image.width(), image.height() - int(seaTop)),
             horizon - int(h * 0.25),
             {QColor(90, 150, 180), QColor(40, 100, 136), QColor(225, 238, 244), 0.55, 0.4}, n,
             rng);

    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    fillVertical(p, ridgePath(-2, w + 2, h * 0.46, 34, 220, n, 10, beachTop), QColor(124, 150, 150),
                 QColor(110, 140, 120));
    const QPainterPath bank = ridgePath(-2, w + 2, h * 0.56, 14, 160, n, 300, beachTop + 4);
    p.end();
    shadeInside(image, bank, [&](int x, int y, QRgb) {
        return grassTexture(
                   n, x, y,
                   mix(QColor(136, 168, 84), QColor(100, 134, 64), (y - h * 0.5) / (h * 0.2)))
            .rgb();
    });
    p.begin(&image);
    p.setRenderHint(QPainter::Antialiasing);

    double x = uniform(rng, -10, 6);
    while (x < w) {
        House house = randomHouse(rng, QPointF(x, beachTop - 1), 0.95);
        house.floors = chance(rng, 0.5) ? 2 : 1;
        house.height = house.floors == 2 ? uniform(rng, 30, 34) : uniform(rng, 19, 23);
        drawHouse(p, house);
        x += house.width + house.depth * 0.62 + uniform(rng, 2, 14);
    }
    p.end();

    // Shingle: grey and brown stones, wetter and darker towards the water.
    QPainterPath shingle;
    shingle.addRect(QRectF(0, beachTop, w, seaTop - beachTop + 4));
    shadeInside(image, shingle, [&](int px, int py, QRgb) {
        const double t = (py - beachTop) / (seaTop - beachTop);
        const QColor base = mix(QColor(176, 166, 148), QColor(120, 112, 100), t);
        const double stones = n.fbm(px / 2.2, py / 1.6, 2);
        return scaled(base, 0.75 + 0.5 * stones).rgb();
    });
    p.begin(&image);
    p.setRenderHint(QPainter::Antialiasing);
    for (int i = 0; i < 160; ++i) {
        const QPointF c(uniform(rng, 0, w), uniform(rng, beachTop + 3, seaTop));
        const double r = uniform(rng, 1.0, 2.6);
        p.setPen(Qt::NoPen);
        p.setBrush(mix(QColor(210, 204, 190), QColor(110, 104, 96), rng.generateDouble()));
        p.drawEllipse(c, r * 1.3, r);
    }
    drawRowingBoat(p, QPointF(w * 0.2, beachTop + 15), 58, QColor(40, 96, 150), -4);
    drawRowingBoat(p, QPointF(w * 0.52, beachTop + 19), 50, QColor(190, 70, 50), 5);
    drawRowingBoat(p, QPointF(w * 0.8, beachTop + 14), 54, QColor(236, 220, 120), -2);
    // Foam where the small waves run up the stones.
    QPainterPath foam;
    foam.moveTo(-2, seaTop);
    for (double fx = 0; fx <= w + 4; fx += 4)
        foam.lineTo(fx, seaTop + (n.fbm(fx / 30.0, 9.0, 3) - 0.5) * 6.0);
    p.setPen(QPen(QColor(240, 246, 246, 210), 2.4));
    p.setBrush(Qt::NoBrush);
    p.drawPath(foam);
    p.setPen(QPen(QColor(240, 246, 246, 110), 1.4));
    p.drawPath(foam.translated(0, 6));
    p.end();
    addGrain(image, n, 2.5);
}

void drawBellTower(QPainter &p, const QPointF &base, double width, double height)
{
    const QRectF shaft(base.x() - width / 2, base.y() - height, width, height);
    QLinearGradient g(shaft.topLeft(), shaft.topRight());
    g.setColorAt(0.0, QColor(250, 246, 236));
    g.setColorAt(0.7, QColor(236, 230, 218));
    g.setColorAt(1.0, QColor(190, 190, 196));
    p.fillRect(shaft, g);
    // Belfry openings and the cornice under the spire.
    const double ow = width * 0.28;
    for (int i = 0; i < 2; ++i) {
        QPainterPath arch;
        const double ox = shaft.left() + width * (0.16 + i * 0.44);
        const double oy = shaft.top() + height * 0.1;
        arch.moveTo(ox, oy + height * 0.16);
        arch.lineTo(ox, oy + ow * 0.5);
        arch.arcTo(QRectF(ox, oy, ow, ow), 180, -180);
        arch.lineTo(ox + ow, oy + height * 0.16);
        arch.closeSubpath();
        p.fillPath(arch, QColor(50, 54, 62));
    }
    p.fillRect(QRectF(shaft.left() - 2, shaft.top() - 3, width + 4, 4), QColor(226, 220, 206));
    p.fillRect(QRectF(shaft.left() - 1, shaft.top() + height * 0.34, width + 2, 2.5),
               QColor(214, 208, 196));
    QPainterPath spire;
    spire.moveTo(shaft.left() - 2, shaft.top() - 3);
    spire.lineTo(base.x(), shaft.top() - width * 1.2);
    spire.lineTo(shaft.right() + 2, shaft.top() - 3);
    spire.closeSubpath();
    QLinearGradient sg(QPointF(shaft.left(), 0), QPointF(shaft.right(), 0));
    sg.setColorAt(0.0, QColor(200, 90, 60));
    sg.setColorAt(0.5, QColor(180, 70, 46));
    sg.setColorAt(0.51, QColor(130, 50, 36));
    sg.setColorAt(1.0, QColor(120, 46, 34));
    p.fillPath(spire, sg);
    p.setPen(QPen(QColor(60, 60, 60), 1.0));
    p.drawLine(QPointF(base.x(), shaft.top() - width * 1.2),
               QPointF(base.x(), shaft.top() - width * 1.2 - 9));
    p.drawLine(QPointF(base.x() - 4, shaft.top() - width * 1.2 - 6),
               QPointF(base.x() + 4, shaft.top() - width * 1.2 - 6));
}

void settlementSteepVillage(QImage &image, QRandomGenerator &rng)
{
    const double w = image.width();
    const double h = image.height();
    const int horizon = int(h * 0.58);
    const ValueNoise n(rng.generate());
    paintSky(image, horizon, {QColor(70, 126, 200), QColor(196, 218, 234), 0.35}, n);
    paintSea(image, QRect(0, horizon, image.width(), image.height() - horizon), horizon,
             {QColor(130, 166, 192), QColor(36, 92, 140)}, n, rng);

    const double peakX = w * 0.46;
    const auto ridgeY = [&](double x) {
        const double d = std::abs(x - peakX) / w;
        return h * 0.24 + d * d * h * 1.4 + (n.fbm(x / 60.0, 4.0, 3) - 0.5) * 18.0;
    };
    QPainterPath hill;
    hill.moveTo(-2, h + 2);
    for (double x = -2; x <= w + 2; x += 2)
        hill.lineTo(x, ridgeY(x));
    hill.lineTo(w + 2, h + 2);
    hill.closeSubpath();
    shadeInside(image, hill, [&](int x, int y, QRgb) {
        const double t = clamp01((y - ridgeY(x)) / (h * 0.6));
        QColor base = mix(QColor(130, 160, 86), QColor(92, 122, 60), t);
        base = mix(base, QColor(158, 150, 130),
                   smoothstep(0.6, 0.7, n.fbm(x / 24.0, y / 24.0, 4)) * 0.8);
        return grassTexture(n, x, y, base).rgb();
    });

    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    // The church stands on the crown of the hill; the houses climb up to it.
    const double churchBase = ridgeY(peakX) + 26;
    House nave;
    nave.base = QPointF(peakX - 40, churchBase);
    nave.width = 46;
    nave.height = 24;
    nave.depth = 22;
    nave.roofHeight = 14;
    nave.windows = 2;
    nave.door = false;
    nave.trim = QColor(70, 72, 76);
    drawBellTower(p, QPointF(peakX + 22, churchBase + 2), 20, 62);
    drawHouse(p, nave);

    const int rows = 9;
    for (int r = 0; r < rows; ++r) {
        const double y = churchBase + 26 + r * (h - churchBase - 20) / rows;
        const double scale = lerp(0.62, 0.95, double(r) / rows);
        double x = uniform(rng, -30, 0);
        while (x < w) {
            House house = randomHouse(rng, QPointF(x, y + uniform(rng, -3, 3)), scale);
            house.width *= 0.8;
            house.windows = 2;
            const bool onHill =
                house.base.y() - house.height - house.roofHeight > ridgeY(x + house.width / 2) + 4;
            if (onHill && chance(rng, 0.66))
                drawHouse(p, house);
            else if (y - 30 * scale > ridgeY(x + 10) + 2 && chance(rng, 0.6))
                drawCypress(p, QPointF(x + 10, y), 30 * scale, QColor(50, 80, 44));
            x += house.width + house.depth * 0.62 + uniform(rng, 4, 18);
        }
    }
    p.end();
    addGrain(image, n, 2.5);
}

void settlementEvening(QImage &image, QRandomGenerator &rng)
{
    const double w = image.width();
    const double h = image.height();
    const int horizon = int(h * 0.5);
    const ValueNoise n(rng.generate());
    paintSky(image, image.height(),
             {QColor(54, 66, 118), QColor(252, 176, 112), 0.3, QColor(255, 206, 164),
              QColor(150, 112, 134), 1.2},
             n);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    sunGlow(p, QPointF(w * 0.78, horizon - 8), h * 0.55, QColor(255, 240, 200),
            QColor(255, 170, 90));
    fillVertical(p, ridgePath(-2, w + 2, horizon - 18, 30, 200, n, 40, h), QColor(120, 96, 130),
                 QColor(150, 110, 120));
    fillVertical(p, ridgePath(-2, w + 2, horizon + 2, 22, 160, n, 90, h), QColor(84, 80, 96),
                 QColor(90, 84, 90));
    p.end();

    // Fields in bands that widen towards the viewer, lit from the low sun on the right.
    const double fieldsTop = horizon + 12;
    QPainterPath fields = ridgePath(-2, w + 2, fieldsTop, 8, 240, n, 160, h + 2);
    const std::array<QColor, 4> crops = {QColor(110, 130, 56), QColor(170, 150, 70),
                                         QColor(90, 116, 52), QColor(150, 120, 70)};
    shadeInside(image, fields, [&](int x, int y, QRgb) {
        const double t = (y - fieldsTop) / (h - fieldsTop);
        const double band =
            std::floor(std::pow(t, 0.6) * 7.0 + (n.fbm(x / 120.0, 5.0, 3) - 0.5) * 0.8);
        QColor c = crops[std::size_t(int(std::abs(band)) % 4)];
        c = scaled(c, 0.8 + 0.35 * n.fbm(x / 30.0, y / 12.0, 3));
        c = mix(c, QColor(255, 170, 100), 0.25 * smoothstep(0.0, 1.0, x / w));
        return scaled(c, 0.75 + 0.2 * t).rgb();
    });

    p.begin(&image);
    p.setRenderHint(QPainter::Antialiasing);
    const double groundY = h * 0.7;
    for (int i = 0; i < 7; ++i) {
        const double x = w * 0.1 + i * w * 0.11 + uniform(rng, -8, 8);
        const double y = groundY + uniform(rng, -12, 14);
        drawBush(p, QPointF(x + uniform(rng, -20, 20), y - 20), uniform(rng, 9, 14),
                 QColor(60, 76, 40), rng);
    }
    std::vector<House> houses;
    double x = w * 0.12;
    for (int i = 0; i < 6; ++i) {
        House house =
            randomHouse(rng, QPointF(x, groundY + uniform(rng, -8, 10) + (i % 2) * 10), 0.9);
        house.light = 0.8;
        house.litWindows = true;
        house.roof = scaled(house.roof, 0.95);
        houses.push_back(house);
        x += house.width + house.depth + uniform(rng, 8, 30);
    }
    std::sort(houses.begin(), houses.end(),
              [](const House &a, const House &b) { return a.base.y() < b.base.y(); });
    for (const House &house : houses)
        drawHouse(p, house);
    // A warm wash from the sun over everything.
    QLinearGradient wash(QPointF(w, 0), QPointF(0, h));
    wash.setColorAt(0.0, QColor(255, 170, 90, 70));
    wash.setColorAt(1.0, QColor(60, 40, 90, 50));
    p.fillRect(image.rect(), wash);
    p.end();
    addGrain(image, n, 2.5);
}

void settlementFarmstead(QImage &image, QRandomGenerator &rng)
{
    const double w = image.width();
    const double h = image.height();
    const int horizon = int(h * 0.45);
    const ValueNoise n(rng.generate());
    paintSky(image, horizon + 30, {QColor(80, 140, 210), QColor(210, 226, 238), 0.5}, n);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    fillVertical(p, ridgePath(-2, w + 2, horizon - 10, 26, 180, n, 20, h), QColor(120, 150, 130),
                 QColor(120, 150, 110));
    p.end();
    const QPainterPath pasture = ridgePath(-2, w + 2, horizon + 14, 18, 220, n, 70, h + 2);
    shadeInside(image, pasture, [&](int x, int y, QRgb) {
        const double t = (y - horizon) / (h - horizon);
        return grassTexture(n, x, y, mix(QColor(150, 176, 92), QColor(92, 130, 58), t)).rgb();
    });

    p.begin(&image);
    p.setRenderHint(QPainter::Antialiasing);
    // Dry-stone walls: one along the slope, one running away from the viewer. Built up
    // stone by stone so they read as walls, not lines.
    QPainterPath along;
    along.moveTo(-4, h * 0.78);
    along.cubicTo(w * 0.3, h * 0.74, w * 0.6, h * 0.8, w + 4, h * 0.72);
    QPainterPath away;
    away.moveTo(w * 0.78, h + 6);
    away.cubicTo(w * 0.74, h * 0.85, w * 0.8, h * 0.7, w * 0.9, h * 0.58);
    for (const QPainterPath *wall : {&along, &away}) {
        for (int i = 0; i <= 900; ++i) {
            const QPointF at = wall->pointAtPercent(i / 900.0);
            const double size = lerp(1.2, 4.2, clamp01((at.y() - h * 0.55) / (h * 0.45)));
            for (int layer = 0; layer < 3; ++layer) {
                const QPointF stone = at
                    + QPointF(uniform(rng, -1, 1), -layer * size * 1.1 + uniform(rng, -0.5, 0.5));
                p.setPen(QPen(QColor(70, 70, 60, 160), 0.5));
                p.setBrush(mix(QColor(196, 192, 178), QColor(120, 116, 106), rng.generateDouble()));
                if (chance(rng, 0.25))
                    p.drawEllipse(stone, size * uniform(rng, 0.8, 1.3), size * 0.65);
            }
        }
    }
    House barn;
    barn.base = QPointF(w * 0.52, h * 0.62);
    barn.width = 70;
    barn.height = 24;
    barn.depth = 26;
    barn.roofHeight = 15;
    barn.wall = QColor(176, 170, 158);
    barn.roof = QColor(170, 72, 50);
    barn.windows = 2;
    barn.trim = QColor(110, 60, 44);
    House house;
    house.base = QPointF(w * 0.3, h * 0.66);
    house.width = 56;
    house.height = 32;
    house.floors = 2;
    house.depth = 20;
    house.roofHeight = 13;
    house.roof = QColor(90, 94, 104);
    house.windows = 3;
    house.trim = QColor(40, 100, 140);
    drawHouse(p, barn);
    drawBush(p, QPointF(w * 0.27, h * 0.62), 12, QColor(70, 104, 48), rng);
    drawHouse(p, house);
    for (int i = 0; i < 9; ++i) {
        const double y = uniform(rng, h * 0.7, h * 0.95);
        drawSheep(p, QPointF(uniform(rng, w * 0.05, w * 0.95), y),
                  lerp(7, 14, (y - h * 0.7) / (h * 0.25)), chance(rng, 0.5));
    }
    p.end();
    addGrain(image, n, 2.5);
}

// ---- plants --------------------------------------------------------------------------------

void drawFlower(QPainter &p, const QPointF &c, double r, const QColor &petal, int petals,
                double turn)
{
    p.save();
    p.translate(c);
    p.rotate(turn);
    p.setPen(Qt::NoPen);
    for (int i = 0; i < petals; ++i) {
        p.save();
        p.rotate(i * 360.0 / petals);
        QRadialGradient g(QPointF(0, -r * 0.55), r * 0.6);
        g.setColorAt(0.0, scaled(petal, 1.08));
        g.setColorAt(1.0, scaled(petal, 0.82));
        p.setBrush(g);
        p.drawEllipse(QPointF(0, -r * 0.55), r * 0.32, r * 0.55);
        p.restore();
    }
    p.setBrush(QColor(236, 180, 40));
    p.drawEllipse(QPointF(0, 0), r * 0.22, r * 0.22);
    p.restore();
}

void plantMeadow(QImage &image, QRandomGenerator &rng)
{
    const double w = image.width();
    const double h = image.height();
    const int horizon = int(h * 0.42);
    const ValueNoise n(rng.generate());
    paintSky(image, horizon + 20, {QColor(90, 148, 214), QColor(216, 230, 240), 0.4}, n);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    fillVertical(p, ridgePath(-2, w + 2, horizon - 6, 22, 200, n, 30, h), QColor(126, 156, 150),
                 QColor(120, 150, 120));
    // A line of trees along the far edge of the meadow.
    for (double x = -10; x < w + 10; x += uniform(rng, 8, 16))
        drawBush(p, QPointF(x, horizon + 6 + uniform(rng, -3, 3)), uniform(rng, 7, 13),
                 QColor(70, 100, 60), rng);
    p.end();
    QPainterPath meadow;
    meadow.addRect(QRectF(0, horizon + 8, w, h));
    shadeInside(image, meadow, [&](int x, int y, QRgb) {
        const double t = (y - horizon) / (h - horizon);
        return grassTexture(n, x, y, mix(QColor(150, 178, 86), QColor(70, 112, 44), t)).rgb();
    });
    p.begin(&image);
    p.setRenderHint(QPainter::Antialiasing);
    drawGrass(p, rng, QRectF(0, horizon + 10, w, h - horizon), 2600, QColor(56, 96, 36),
              QColor(170, 196, 100), 4, 46);
    const std::array<QColor, 4> petals = {QColor(250, 250, 244), QColor(246, 214, 60),
                                          QColor(226, 120, 170), QColor(130, 140, 230)};
    for (int i = 0; i < 170; ++i) {
        const double t = std::pow(rng.generateDouble(), 0.7);
        const QPointF c(uniform(rng, 0, w), horizon + 14 + t * (h - horizon - 14));
        const double r = lerp(1.5, 11.0, t * t);
        const QColor petal = petals[std::size_t(rng.bounded(4))];
        if (r > 4.0) {
            p.setPen(QPen(QColor(70, 110, 50), r * 0.16));
            p.drawLine(c, c + QPointF(uniform(rng, -4, 4), r * 3.0));
        }
        drawFlower(p, c, r, petal, petal == petals[0] ? 9 : 5, uniform(rng, 0, 90));
    }
    p.end();
    addGrain(image, n, 2.5);
}

QPainterPath leafShape(const QPointF &base, const QPointF &tip, double width)
{
    const QPointF axis = tip - base;
    const QPointF side(-axis.y(), axis.x());
    const double len = std::hypot(axis.x(), axis.y());
    const QPointF s = side / len * width;
    QPainterPath leaf;
    leaf.moveTo(base);
    leaf.cubicTo(base + axis * 0.25 + s * 1.1, base + axis * 0.7 + s * 0.9, tip);
    leaf.cubicTo(base + axis * 0.7 - s * 0.9, base + axis * 0.25 - s * 1.1, base);
    leaf.closeSubpath();
    return leaf;
}

void drawLeaf(QPainter &p, const QPointF &base, const QPointF &tip, double width,
              const QColor &color)
{
    const QPainterPath leaf = leafShape(base, tip, width);
    const QPointF axis = tip - base;
    const QPointF side = QPointF(-axis.y(), axis.x()) / std::hypot(axis.x(), axis.y()) * width;
    softEllipse(p, (base + tip) / 2 + QPointF(6, 8), std::hypot(axis.x(), axis.y()) * 0.5,
                width * 0.9, QColor(0, 0, 0, 80));
    QLinearGradient g(base + axis * 0.5 + side, base + axis * 0.5 - side);
    g.setColorAt(0.0, scaled(color, 1.3));
    g.setColorAt(0.48, scaled(color, 1.05));
    g.setColorAt(0.52, scaled(color, 0.82));
    g.setColorAt(1.0, scaled(color, 0.62));
    p.fillPath(leaf, g);
    p.save();
    p.setClipPath(leaf);
    p.setPen(
        QPen(withAlpha(mix(color, QColor(230, 240, 180), 0.5), 200), std::max(1.0, width * 0.06)));
    p.drawLine(base, tip);
    p.setPen(
        QPen(withAlpha(mix(color, QColor(230, 240, 180), 0.35), 130), std::max(0.6, width * 0.03)));
    for (int i = 1; i < 9; ++i) {
        const double t = i / 9.0;
        const QPointF on = base + axis * t;
        for (int sgn : {-1, 1}) {
            QPainterPath vein;
            vein.moveTo(on);
            vein.quadTo(on + axis * 0.06 + side * 0.5 * sgn, on + axis * 0.14 + side * 1.1 * sgn);
            p.drawPath(vein);
        }
    }
    p.restore();
}

void plantLeaves(QImage &image, QRandomGenerator &rng)
{
    const double w = image.width();
    const double h = image.height();
    const ValueNoise n(rng.generate());
    forEachPixel(image, image.rect(), [&](int x, int y, QRgb &px) {
        const double v = n.fbm(x / 90.0, y / 90.0, 4);
        px = mix(QColor(14, 34, 18), QColor(70, 104, 50), v * 0.9).rgb();
    });
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    // Out-of-focus light through the canopy behind.
    for (int i = 0; i < 26; ++i) {
        const QPointF c(uniform(rng, 0, w), uniform(rng, 0, h));
        const double r = uniform(rng, 8, 26);
        QRadialGradient g(c, r);
        const QColor tint = chance(rng, 0.5) ? QColor(200, 230, 140) : QColor(240, 240, 200);
        g.setColorAt(0.0, withAlpha(tint, 60));
        g.setColorAt(0.85, withAlpha(tint, 45));
        g.setColorAt(1.0, withAlpha(tint, 0));
        p.setPen(Qt::NoPen);
        p.setBrush(g);
        p.drawEllipse(c, r, r);
    }
    const QPointF stemBase(w * 0.1, h * 1.05);
    QPainterPath stem;
    stem.moveTo(stemBase);
    stem.cubicTo(QPointF(w * 0.35, h * 0.7), QPointF(w * 0.55, h * 0.5),
                 QPointF(w * 0.92, h * 0.18));
    p.setPen(QPen(QColor(80, 110, 50), 5.0, Qt::SolidLine, Qt::RoundCap));
    p.setBrush(Qt::NoBrush);
    p.drawPath(stem);
    const std::array<QColor, 3> greens = {QColor(84, 140, 52), QColor(100, 150, 60),
                                          QColor(70, 124, 48)};
    for (int i = 0; i < 7; ++i) {
        const double t = 0.15 + i * 0.12;
        const QPointF at = stem.pointAtPercent(std::min(t, 0.98));
        const double angle = -stem.angleAtPercent(std::min(t, 0.98)) + (i % 2 == 0 ? -62 : 62)
            + uniform(rng, -12, 12);
        const double len = lerp(150, 80, t) * uniform(rng, 0.85, 1.1);
        const double a = angle * std::numbers::pi / 180.0;
        const QPointF tip = at + QPointF(std::cos(a), std::sin(a)) * len;
        drawLeaf(p, at, tip, len * 0.26, greens[std::size_t(i % 3)]);
    }
    // Dew on the leaves.
    for (int i = 0; i < 16; ++i) {
        const QPointF c(uniform(rng, w * 0.15, w * 0.95), uniform(rng, h * 0.1, h * 0.9));
        if (qGray(image.pixel(c.toPoint())) < 70)
            continue;
        const double r = uniform(rng, 1.8, 4.0);
        QRadialGradient g(c + QPointF(-r * 0.3, -r * 0.3), r);
        g.setColorAt(0.0, QColor(255, 255, 255, 230));
        g.setColorAt(0.3, QColor(220, 240, 200, 120));
        g.setColorAt(1.0, QColor(40, 70, 30, 90));
        p.setPen(Qt::NoPen);
        p.setBrush(g);
        p.drawEllipse(c, r, r);
    }
    p.end();
    addVignette(image, 0.35);
    addGrain(image, n, 2.0);
}

void plantFoxglove(QImage &image, QRandomGenerator &rng)
{
    const double w = image.width();
    const double h = image.height();
    const ValueNoise n(rng.generate());
    forEachPixel(image, image.rect(), [&](int x, int y, QRgb &px) {
        const double t = double(y) / h;
        QColor c = mix(QColor(150, 190, 230), QColor(226, 232, 214), smoothstep(0.0, 0.6, t));
        // Soft, out-of-focus greenery in the lower half.
        const double leaves = smoothstep(0.45, 0.8, t + (n.fbm(x / 60.0, y / 60.0, 3) - 0.5) * 0.5);
        c = mix(c, mix(QColor(110, 150, 70), QColor(50, 80, 40), n.fbm(x / 40.0, y / 30.0, 3)),
                leaves);
        px = c.rgb();
    });
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    for (int i = 0; i < 18; ++i) {
        const QPointF c(uniform(rng, 0, w), uniform(rng, h * 0.55, h));
        softEllipse(p, c, uniform(rng, 10, 26), uniform(rng, 10, 26), QColor(190, 220, 140, 50));
    }
    QPainterPath stalk;
    stalk.moveTo(w * 0.5, h + 4);
    stalk.cubicTo(w * 0.52, h * 0.7, w * 0.42, h * 0.4, w * 0.5, h * 0.06);
    p.setPen(QPen(QColor(86, 112, 60), 4.0, Qt::SolidLine, Qt::RoundCap));
    p.setBrush(Qt::NoBrush);
    p.drawPath(stalk);
    // Leaves in a rosette at the foot.
    for (int i = 0; i < 5; ++i) {
        const QPointF base = stalk.pointAtPercent(0.04);
        const double a = (-150 + i * 30 + uniform(rng, -8, 8)) * std::numbers::pi / 180.0;
        drawLeaf(p, base, base + QPointF(std::cos(a) * 120, std::sin(a) * 80), 24,
                 QColor(80, 120, 56));
    }
    // Bells hang from one side of the spike, opening downwards; buds at the top.
    const QColor bell(196, 84, 160);
    for (int i = 0; i < 15; ++i) {
        const double t = 0.36 + i * 0.041;
        const QPointF at = stalk.pointAtPercent(t);
        const double size = lerp(44, 12, (t - 0.36) / 0.62);
        const double side = i % 2 == 0 ? 1.0 : -1.0;
        p.save();
        p.translate(at);
        p.rotate(side * uniform(rng, 10, 28) + 6);
        p.scale(side, 1);
        if (size < 12) {
            p.setPen(Qt::NoPen);
            p.setBrush(mix(bell, QColor(120, 150, 80), 0.5));
            p.drawEllipse(QPointF(size * 0.4, size * 0.3), size * 0.35, size * 0.55);
        } else {
            QPainterPath b;
            b.moveTo(0, -size * 0.1);
            b.cubicTo(size * 0.4, -size * 0.15, size * 0.9, size * 0.3, size * 1.05, size * 0.75);
            b.lineTo(size * 0.25, size * 1.05);
            b.cubicTo(size * 0.2, size * 0.6, 0, size * 0.3, 0, -size * 0.1);
            b.closeSubpath();
            QLinearGradient g(QPointF(0, 0), QPointF(size, size));
            g.setColorAt(0.0, scaled(bell, 1.15));
            g.setColorAt(1.0, scaled(bell, 0.72));
            p.fillPath(b, g);
            // The spotted throat.
            p.setPen(Qt::NoPen);
            p.setBrush(QColor(250, 230, 240));
            QPainterPath mouth;
            mouth.moveTo(size * 1.05, size * 0.75);
            mouth.quadTo(size * 0.75, size * 1.1, size * 0.25, size * 1.05);
            mouth.quadTo(size * 0.6, size * 0.8, size * 1.05, size * 0.75);
            p.drawPath(mouth);
            p.setBrush(QColor(110, 30, 80));
            for (int k = 0; k < 4; ++k)
                p.drawEllipse(QPointF(size * (0.45 + k * 0.13), size * (0.93 - k * 0.04)),
                              size * 0.03, size * 0.03);
        }
        p.restore();
    }
    p.end();
    addGrain(image, n, 2.0);
}

void plantHeath(QImage &image, QRandomGenerator &rng)
{
    const double w = image.width();
    const double h = image.height();
    const int horizon = int(h * 0.38);
    const ValueNoise n(rng.generate());
    paintSky(image, horizon,
             {QColor(88, 130, 190), QColor(210, 220, 228), 0.6, QColor(255, 255, 255),
              QColor(160, 166, 184)},
             n);
    paintSea(image, QRect(0, horizon, image.width(), int(h * 0.15)), horizon,
             {QColor(120, 150, 176), QColor(70, 110, 150)}, n, rng);
    const double moorTop = horizon + 20;
    const QPainterPath moor = ridgePath(-2, w + 2, moorTop, 22, 240, n, 77, h + 2);
    const ValueNoise clumps(rng.generate());
    shadeInside(image, moor, [&](int x, int y, QRgb) {
        // Sample the texture on the ground plane so the clumps shrink into the distance.
        const double t = clamp01((y - moorTop + 30) / (h - moorTop + 30));
        const double z = 1.0 / (t + 0.06);
        const double u = (x - w / 2) / w * z * 3.0;
        const double v = z * 1.2;
        const double heather = clumps.fbm(u, v, 5);
        QColor c = mix(QColor(146, 138, 92), QColor(112, 116, 66), t);
        c = mix(c, mix(QColor(150, 104, 134), QColor(116, 70, 100), t),
                smoothstep(0.46, 0.6, heather));
        c = mix(c, QColor(96, 82, 58),
                0.4 * smoothstep(0.6, 0.75, clumps.fbm(u * 2.0 + 9.0, v * 2.0, 3)));
        const double fine = n.fbm(x / 2.5, y / 2.0, 2) - 0.5;
        return scaled(c, 1.0 + fine * lerp(0.2, 0.7, t)).rgb();
    });
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    // A sheep track winding off over the moor, narrowing with distance.
    QPainterPath track;
    track.moveTo(w * 0.22, h + 4);
    track.cubicTo(w * 0.5, h * 0.86, w * 0.3, h * 0.68, w * 0.62, h * 0.56);
    for (int i = 0; i <= 300; ++i) {
        const QPointF at = track.pointAtPercent(i / 300.0);
        const double width = lerp(1.5, 12.0, clamp01((at.y() - h * 0.5) / (h * 0.5)));
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(156, 134, 100, 60));
        p.drawEllipse(at, width, width * 0.35);
    }
    struct Item
    {
        QPointF at;
        double size;
        bool rock;
    };
    std::vector<Item> items;
    for (int i = 0; i < 5; ++i) {
        const double t = uniform(rng, 0.2, 1.0);
        items.push_back({QPointF(uniform(rng, 0, w), moorTop + 10 + t * (h - moorTop - 10)),
                         lerp(5, 30, t), true});
    }
    for (int i = 0; i < 16; ++i) {
        const double t = std::sqrt(rng.generateDouble());
        items.push_back({QPointF(uniform(rng, 0, w), moorTop + 8 + t * (h - moorTop - 8)),
                         lerp(5, 36, t), false});
    }
    std::sort(items.begin(), items.end(),
              [](const Item &a, const Item &b) { return a.at.y() < b.at.y(); });
    for (const Item &item : items) {
        if (item.rock) {
            drawBoulder(p, item.at, item.size, rng, QColor(206, 202, 192), QColor(112, 108, 104));
            continue;
        }
        // Gorse: a dark spiny mound peppered with yellow flowers.
        const double r = item.size;
        softEllipse(p, item.at + QPointF(r * 0.2, 0), r * 1.2, r * 0.2, QColor(30, 30, 10, 110));
        for (int k = 0; k < 10; ++k) {
            const QPointF q = item.at
                + QPointF(uniform(rng, -r * 0.7, r * 0.7), -uniform(rng, r * 0.25, r * 1.1));
            const double rr = r * uniform(rng, 0.3, 0.5);
            QRadialGradient g(q + QPointF(-rr * 0.3, -rr * 0.4), rr * 1.3);
            g.setColorAt(0.0, QColor(96, 110, 50));
            g.setColorAt(1.0, QColor(44, 58, 28));
            p.setPen(Qt::NoPen);
            p.setBrush(g);
            p.drawEllipse(q, rr, rr * 0.8);
        }
        const int flowers = int(r * r * 0.14);
        for (int k = 0; k < flowers; ++k) {
            const double a = uniform(rng, 0, 2 * std::numbers::pi);
            const double d = std::sqrt(rng.generateDouble());
            const QPointF q = item.at
                + QPointF(std::cos(a) * d * r * 0.9, -r * 0.75 + std::sin(a) * d * r * 0.55);
            p.setBrush(mix(QColor(250, 216, 60), QColor(220, 170, 30), rng.generateDouble()));
            p.drawEllipse(q, std::max(0.6, r * 0.05), std::max(0.6, r * 0.04));
        }
    }
    p.end();
    addGrain(image, n, 2.5);
}

// ---- shores --------------------------------------------------------------------------------

QPainterPath foamBand(double x0, double x1, double y, double amplitude, const ValueNoise &n,
                      double seed)
{
    QPainterPath band;
    band.moveTo(x0, y);
    for (double x = x0; x <= x1; x += 3)
        band.lineTo(x, y - (n.fbm(x / 18.0, seed, 3)) * amplitude);
    for (double x = x1; x >= x0; x -= 3)
        band.lineTo(x, y + (n.fbm(x / 18.0, seed + 5.0, 3)) * amplitude * 0.6);
    band.closeSubpath();
    return band;
}

void shoreCliffs(QImage &image, QRandomGenerator &rng)
{
    const double w = image.width();
    const double h = image.height();
    const int horizon = int(h * 0.36);
    const ValueNoise n(rng.generate());
    paintSky(image, horizon, {QColor(76, 128, 196), QColor(206, 220, 232), 0.4}, n);
    paintSea(image, QRect(0, horizon, image.width(), image.height() - horizon), horizon,
             {QColor(120, 158, 186), QColor(30, 90, 120), QColor(240, 246, 248), 1.2}, n, rng);

    const double beachTop = h * 0.8;
    const auto faceX = [&](double y) {
        return w * 0.5 + (y - h * 0.1) * 0.12 + (n.fbm(y / 40.0, 1.5, 4) - 0.5) * 70.0;
    };
    QPainterPath cliff;
    cliff.moveTo(w + 2, h * 0.12);
    cliff.lineTo(faceX(h * 0.12), h * 0.12);
    for (double y = h * 0.12; y <= beachTop + 4; y += 3)
        cliff.lineTo(faceX(y), y);
    cliff.lineTo(w + 2, beachTop + 4);
    cliff.closeSubpath();
    paintStrata(image, cliff, n, -0.08, 13.0, 1.15, 0.7);

    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    // The turf cap overhangs the top of the face.
    QPainterPath turf;
    turf.moveTo(faceX(h * 0.12) - 6, h * 0.125);
    for (double x = faceX(h * 0.12) - 6; x <= w + 2; x += 3)
        turf.lineTo(x, h * 0.12 - 4 + (n.at(x / 25.0, 3.0) - 0.5) * 6);
    turf.lineTo(w + 2, h * 0.15);
    turf.lineTo(faceX(h * 0.12) + 4, h * 0.145);
    turf.closeSubpath();
    fillVertical(p, turf, QColor(120, 150, 70), QColor(70, 96, 44));
    p.end();

    // Sand in the foreground, wet and darker where the waves reach.
    QPainterPath sandEdge;
    sandEdge.moveTo(-2, h * 0.9);
    sandEdge.cubicTo(w * 0.3, h * 0.86, w * 0.55, beachTop, w + 2, beachTop - 2);
    QPainterPath sand = sandEdge;
    sand.lineTo(w + 2, h + 2);
    sand.lineTo(-2, h + 2);
    sand.closeSubpath();
    shadeInside(image, sand, [&](int x, int y, QRgb) {
        const double wet = 1.0 - smoothstep(0.0, 26.0, y - (lerp(h * 0.9, beachTop, x / w)));
        QColor c = mix(QColor(226, 206, 160), QColor(170, 150, 116), wet * 0.8);
        return scaled(c, 0.9 + 0.2 * n.fbm(x / 3.0, y / 3.0, 2)).rgb();
    });

    p.begin(&image);
    p.setRenderHint(QPainter::Antialiasing);
    // Surf along the water's edge, the newest wave brightest.
    for (int k = 0; k < 4; ++k) {
        QPainterPath edge;
        for (double x = -2; x <= w + 2; x += 3) {
            const double y = sandEdge.pointAtPercent(clamp01((x + 2) / (w + 4))).y() - k * 6.0
                + (n.fbm(x / 16.0, 30.0 + k, 3) - 0.5) * 5.0;
            if (x == -2)
                edge.moveTo(x, y);
            else
                edge.lineTo(x, y);
        }
        p.setPen(QPen(QColor(248, 252, 252, 230 - k * 50), 3.0 - k * 0.6));
        p.setBrush(Qt::NoBrush);
        p.drawPath(edge);
    }
    // Scree and fallen blocks at the cliff foot.
    std::vector<QPointF> blocks;
    for (int i = 0; i < 26; ++i) {
        const double y = uniform(rng, beachTop - 14, beachTop + 10);
        blocks.emplace_back(faceX(y) + uniform(rng, -34, 6), y);
    }
    std::sort(blocks.begin(), blocks.end(),
              [](const QPointF &a, const QPointF &b) { return a.y() < b.y(); });
    for (const QPointF &b : blocks)
        drawBoulder(p, b, uniform(rng, 3, 11), rng, QColor(196, 170, 132), QColor(96, 82, 70));
    p.end();
    addGrain(image, n, 2.5);
}

void shoreBeach(QImage &image, QRandomGenerator &rng)
{
    const double w = image.width();
    const double h = image.height();
    const int horizon = int(h * 0.4);
    const ValueNoise n(rng.generate());
    paintSky(image, horizon, {QColor(92, 150, 214), QColor(220, 232, 240), 0.3}, n);
    paintSea(image, QRect(0, horizon, image.width(), image.height() - horizon), horizon,
             {QColor(130, 170, 196), QColor(40, 140, 150), QColor(240, 248, 246), 1.0}, n, rng);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    fillVertical(p, ridgePath(-2, w * 0.35, horizon + 1, 20, 90, n, 5, horizon + 1),
                 QColor(110, 130, 120), QColor(90, 110, 100));
    p.end();

    const auto shoreY = [&](double x) {
        return h * 0.62 + (n.fbm(x / 120.0, 7.0, 3) - 0.5) * 30.0 + x * 0.05;
    };
    QPainterPath sand;
    sand.moveTo(-2, h + 2);
    for (double x = -2; x <= w + 2; x += 3)
        sand.lineTo(x, shoreY(x));
    sand.lineTo(w + 2, h + 2);
    sand.closeSubpath();
    shadeInside(image, sand, [&](int x, int y, QRgb) {
        const double d = y - shoreY(x);
        QColor c = mix(QColor(170, 150, 116), QColor(234, 216, 172), smoothstep(0.0, 60.0, d));
        // Wind ripples on the dry sand.
        const double ripple = std::sin((y + n.fbm(x / 50.0, y / 50.0, 3) * 30.0) / 2.4);
        c = scaled(c, 1.0 + 0.05 * ripple * smoothstep(40.0, 90.0, d));
        // The glassy film of the last wave reflects the sky.
        c = mix(c, QColor(200, 214, 220), 0.35 * (1.0 - smoothstep(0.0, 18.0, d)));
        return scaled(c, 0.92 + 0.16 * n.fbm(x / 2.5, y / 2.5, 2)).rgb();
    });

    p.begin(&image);
    p.setRenderHint(QPainter::Antialiasing);
    for (int k = 0; k < 4; ++k) {
        QPainterPath edge;
        const double off = k * 7.0 - 4.0;
        edge.moveTo(-2, shoreY(-2) + off);
        for (double x = -2; x <= w + 2; x += 3)
            edge.lineTo(x, shoreY(x) + off + (n.fbm(x / 14.0, 20.0 + k, 3) - 0.5) * 6);
        p.setPen(QPen(QColor(250, 252, 252, 230 - k * 50), 2.6 - k * 0.5));
        p.setBrush(Qt::NoBrush);
        p.drawPath(edge);
    }
    // The strand line: dried weed, shells and pebbles left by the high tide.
    const double strand = 70.0;
    for (int i = 0; i < 220; ++i) {
        const double x = uniform(rng, 0, w);
        const double y =
            shoreY(x) + strand + uniform(rng, -6, 6) + (n.at(x / 40.0, 2.0) - 0.5) * 14;
        const double r = uniform(rng, 0.8, 3.2);
        p.setPen(Qt::NoPen);
        if (chance(rng, 0.6)) {
            p.setBrush(mix(QColor(70, 60, 40), QColor(120, 100, 60), rng.generateDouble()));
            p.drawEllipse(QPointF(x, y), r * 2.2, r * 0.7);
        } else {
            p.setBrush(mix(QColor(240, 234, 222), QColor(160, 150, 140), rng.generateDouble()));
            p.drawEllipse(QPointF(x, y), r, r * 0.8);
        }
    }
    p.end();
    addGrain(image, n, 2.5);
}

void shoreArch(QImage &image, QRandomGenerator &rng)
{
    const double w = image.width();
    const double h = image.height();
    const int horizon = int(h * 0.5);
    const ValueNoise n(rng.generate());
    paintSky(image, horizon,
             {QColor(90, 140, 200), QColor(228, 226, 220), 0.5, QColor(255, 252, 246),
              QColor(176, 176, 186)},
             n);
    paintSea(image, QRect(0, horizon, image.width(), image.height() - horizon), horizon,
             {QColor(140, 168, 188), QColor(30, 80, 116)}, n, rng);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    // A headland fading into the haze behind.
    fillVertical(p, ridgePath(w * 0.55, w + 2, horizon - 24, 18, 120, n, 8, horizon + 1),
                 QColor(140, 150, 160), QColor(150, 160, 168));
    p.end();

    const double base = h * 0.78;
    // Trace the arch's outline and push every point in or out a little with noise, so the
    // rock has a weathered edge instead of a drawn one.
    QPainterPath smooth;
    smooth.moveTo(w * 0.2, base);
    smooth.cubicTo(w * 0.23, h * 0.6, w * 0.2, h * 0.4, w * 0.25, h * 0.3);
    smooth.cubicTo(w * 0.3, h * 0.22, w * 0.5, h * 0.2, w * 0.6, h * 0.27);
    smooth.cubicTo(w * 0.66, h * 0.4, w * 0.64, h * 0.6, w * 0.68, base);
    smooth.lineTo(w * 0.55, base);
    smooth.cubicTo(w * 0.54, h * 0.5, w * 0.4, h * 0.44, w * 0.36, base);
    smooth.closeSubpath();
    QPolygonF rough;
    const int samples = 260;
    for (int i = 0; i < samples; ++i) {
        const double t = double(i) / samples;
        const QPointF at = smooth.pointAtPercent(t);
        const double a = smooth.angleAtPercent(t) * std::numbers::pi / 180.0;
        const QPointF normal(std::sin(a), std::cos(a));
        const double push = at.y() >= base - 1 ? 0.0 : (n.fbm(t * 40.0, 3.0, 4) - 0.5) * 16.0;
        rough << at + normal * push;
    }
    QPainterPath arch;
    arch.addPolygon(rough);
    arch.closeSubpath();
    QPainterPath stack;
    stack.moveTo(w * 0.74, base + 6);
    stack.lineTo(w * 0.755, h * 0.42);
    stack.lineTo(w * 0.8, h * 0.4);
    stack.lineTo(w * 0.82, base + 6);
    stack.closeSubpath();
    paintStrata(image, arch, n, 0.05, 10.0, 1.2, 0.7);
    paintStrata(image, stack, n, 0.05, 10.0, 1.2, 0.7);

    p.begin(&image);
    p.setRenderHint(QPainter::Antialiasing);
    QPainterPath turf;
    turf.moveTo(w * 0.26, h * 0.3);
    turf.cubicTo(w * 0.31, h * 0.205, w * 0.5, h * 0.185, w * 0.59, h * 0.26);
    turf.cubicTo(w * 0.5, h * 0.22, w * 0.32, h * 0.235, w * 0.26, h * 0.3);
    p.fillPath(turf.intersected(arch.translated(0, -4)).united(turf.intersected(arch)),
               QColor(110, 140, 70));
    // Spray and foam heaped against the base.
    for (int i = 0; i < 60; ++i) {
        const double x =
            chance(rng, 0.8) ? uniform(rng, w * 0.18, w * 0.7) : uniform(rng, w * 0.72, w * 0.84);
        softEllipse(p, QPointF(x, base + uniform(rng, -2, 8)), uniform(rng, 6, 16),
                    uniform(rng, 2, 5), QColor(250, 252, 252, 120));
    }
    for (int i = 0; i < 7; ++i)
        p.fillPath(
            flyingBird(QPointF(uniform(rng, w * 0.3, w * 0.9), uniform(rng, h * 0.08, h * 0.3)),
                       uniform(rng, 8, 16), uniform(rng, -0.6, 0.8), uniform(rng, -15, 15)),
            QColor(50, 50, 56));
    p.end();
    addGrain(image, n, 2.5);
}

void shoreTallCliff(QImage &image, QRandomGenerator &rng)
{
    const double w = image.width();
    const double h = image.height();
    const int horizon = int(h * 0.3);
    const ValueNoise n(rng.generate());
    paintSky(image, horizon, {QColor(80, 130, 200), QColor(210, 222, 232), 0.35}, n);
    paintSea(image, QRect(0, horizon, image.width(), image.height() - horizon), horizon,
             {QColor(130, 166, 190), QColor(36, 96, 126)}, n, rng);
    const auto faceX = [&](double y) {
        return w * 0.66 - (y / h) * w * 0.08 + (n.fbm(y / 30.0, 3.5, 4) - 0.5) * 40.0;
    };
    QPainterPath cliff;
    cliff.moveTo(-2, h * 0.04);
    for (double y = h * 0.04; y <= h * 0.82; y += 3)
        cliff.lineTo(faceX(y), y);
    cliff.lineTo(-2, h * 0.82);
    cliff.closeSubpath();
    paintStrata(image, cliff, n, 0.18, 11.0, 0.8, 1.15);

    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    QPainterPath turf;
    turf.moveTo(-2, h * 0.06);
    turf.lineTo(faceX(h * 0.04) + 5, h * 0.035);
    turf.lineTo(faceX(h * 0.05), h * 0.065);
    turf.lineTo(-2, h * 0.085);
    turf.closeSubpath();
    p.fillPath(turf, QColor(100, 132, 62));
    p.end();

    // A platform of wave-cut rock with a pool in it at the foot of the cliff.
    QPainterPath shelf;
    shelf.moveTo(-2, h * 0.8);
    shelf.cubicTo(w * 0.4, h * 0.79, w * 0.7, h * 0.82, w + 2, h * 0.86);
    shelf.lineTo(w + 2, h + 2);
    shelf.lineTo(-2, h + 2);
    shelf.closeSubpath();
    shadeInside(image, shelf, [&](int x, int y, QRgb) {
        QColor c = mix(QColor(150, 134, 110), QColor(84, 76, 66), n.fbm(x / 14.0, y / 5.0, 5));
        // Wrack weed in the hollows, barnacles pale on the high spots.
        c = mix(c, QColor(92, 84, 40),
                0.8 * smoothstep(0.58, 0.66, n.fbm(x / 18.0 + 9.0, y / 7.0, 4)));
        c = mix(c, QColor(214, 208, 196), 0.5 * smoothstep(0.7, 0.8, n.fbm(x / 2.0, y / 2.0, 2)));
        c = scaled(c, 0.75 + 0.25 * smoothstep(h * 0.8, h * 0.9, y));
        return c.rgb();
    });
    p.begin(&image);
    p.setRenderHint(QPainter::Antialiasing);
    QPolygonF poolEdge;
    for (int i = 0; i < 48; ++i) {
        const double a = i * 2.0 * std::numbers::pi / 48;
        const double r = 0.85 + 0.3 * n.at(std::cos(a) * 2.0 + 5.0, std::sin(a) * 2.0);
        poolEdge << QPointF(w * 0.42 + std::cos(a) * w * 0.27 * r,
                            h * 0.92 + std::sin(a) * h * 0.04 * r);
    }
    QPainterPath pool;
    pool.addPolygon(poolEdge);
    pool.closeSubpath();
    p.setPen(QPen(QColor(50, 44, 36), 3.0));
    p.setBrush(Qt::NoBrush);
    p.drawPath(pool);
    QLinearGradient g(QPointF(0, h * 0.88), QPointF(0, h * 0.96));
    g.setColorAt(0.0, QColor(170, 204, 224));
    g.setColorAt(1.0, QColor(60, 104, 116));
    p.fillPath(pool, g);
    p.setPen(QPen(QColor(240, 246, 250, 160), 1.2));
    p.drawLine(QPointF(w * 0.3, h * 0.905), QPointF(w * 0.46, h * 0.9));
    p.fillPath(foamBand(faceX(h * 0.82) - 10, w + 2, h * 0.83, 6, n, 3.0),
               QColor(246, 250, 250, 200));
    p.end();
    addGrain(image, n, 2.5);
}

} // namespace

void paintSettlement(QImage &image, int number, QRandomGenerator &rng)
{
    switch (number) {
    case 1:
        settlementHarbour(image, rng);
        break;
    case 2:
        settlementShoreRow(image, rng);
        break;
    case 3:
        settlementSteepVillage(image, rng);
        break;
    case 4:
        settlementEvening(image, rng);
        break;
    default:
        settlementFarmstead(image, rng);
        break;
    }
}

void paintPlant(QImage &image, int number, QRandomGenerator &rng)
{
    switch (number) {
    case 1:
        plantMeadow(image, rng);
        break;
    case 2:
        plantLeaves(image, rng);
        break;
    case 3:
        plantFoxglove(image, rng);
        break;
    default:
        plantHeath(image, rng);
        break;
    }
}

void paintShore(QImage &image, int number, QRandomGenerator &rng)
{
    switch (number) {
    case 1:
        shoreCliffs(image, rng);
        break;
    case 2:
        shoreBeach(image, rng);
        break;
    case 3:
        shoreArch(image, rng);
        break;
    default:
        shoreTallCliff(image, rng);
        break;
    }
}

} // namespace tarvel::sample
