// Maps and aerial views. The charts come from a height field: a few broad bumps where the
// islands should be, roughened by noise, with everything below zero counted as sea.

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

struct Island
{
    QPointF centre;
    double rx;
    double ry;
    double angle; // degrees
    double height;
};

struct HeightField
{
    int width = 0;
    int height = 0;
    std::vector<double> h;

    double at(int x, int y) const
    {
        x = std::clamp(x, 0, width - 1);
        y = std::clamp(y, 0, height - 1);
        return h[std::size_t(y) * std::size_t(width) + std::size_t(x)];
    }
    QPointF gradient(int x, int y) const
    {
        return QPointF((at(x + 1, y) - at(x - 1, y)) * 0.5, (at(x, y + 1) - at(x, y - 1)) * 0.5);
    }
    // Distance in pixels from (x, y) to the contour where the field equals level.
    double distanceTo(int x, int y, double level) const
    {
        const QPointF g = gradient(x, y);
        const double slope = std::max(1e-4, std::sqrt(g.x() * g.x() + g.y() * g.y()));
        return std::abs(at(x, y) - level) / slope;
    }
};

HeightField buildTerrain(int width, int height, const std::vector<Island> &islands,
                         const ValueNoise &noise, double roughness)
{
    HeightField field{width, height, std::vector<double>(std::size_t(width) * std::size_t(height))};
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            double v = -0.42;
            for (const Island &i : islands) {
                const double a = i.angle * std::numbers::pi / 180.0;
                const double dx = x - i.centre.x();
                const double dy = y - i.centre.y();
                const double u = (dx * std::cos(a) + dy * std::sin(a)) / i.rx;
                const double w = (-dx * std::sin(a) + dy * std::cos(a)) / i.ry;
                v += i.height * std::exp(-(u * u + w * w));
            }
            v += (noise.fbm(x / 95.0, y / 95.0, 6) - 0.5) * roughness;
            field.h[std::size_t(y) * std::size_t(width) + std::size_t(x)] = v;
        }
    }
    return field;
}

const std::array<QColor, 5> depthColors = {QColor(190, 226, 232), QColor(150, 204, 222),
                                           QColor(112, 174, 207), QColor(82, 142, 188),
                                           QColor(60, 112, 162)};
const std::array<double, 4> depthSteps = {0.05, 0.13, 0.24, 0.38};

void shadeChart(QImage &image, const HeightField &f, const ValueNoise &noise)
{
    const QColor lowland(168, 190, 118);
    const QColor upland(142, 160, 96);
    const QColor moor(176, 158, 118);
    const QColor summit(222, 214, 194);
    const QColor sand(230, 214, 168);
    const QColor coast(62, 52, 42);
    forEachPixel(image, image.rect(), [&](int x, int y, QRgb &px) {
        const double h = f.at(x, y);
        const double coastDistance = f.distanceTo(x, y, 0.0);
        QColor c;
        if (h < 0.0) {
            const double depth = -h;
            std::size_t band = 0;
            while (band < depthSteps.size() && depth > depthSteps[band])
                ++band;
            c = depthColors[band];
            // Dashed depth contours along the band edges, as on a printed chart.
            for (double step : depthSteps) {
                const double d = f.distanceTo(x, y, -step);
                if (d < 1.2)
                    c = mix(c, QColor(70, 110, 150), 0.35 * (1.0 - d / 1.2));
            }
            c = mix(c, QColor(236, 246, 246), 0.5 * (1.0 - smoothstep(1.0, 5.0, coastDistance)));
            c = scaled(c, 0.97 + 0.06 * noise.fbm(x / 30.0, y / 30.0, 3));
        } else {
            if (h < 0.12)
                c = mix(lowland, upland, h / 0.12);
            else if (h < 0.3)
                c = mix(upland, moor, (h - 0.12) / 0.18);
            else
                c = mix(moor, summit, clamp01((h - 0.3) / 0.25));
            // Hill shading with the light from the north-west, as map makers have it.
            const QPointF g = f.gradient(x, y);
            const double nx = -g.x() * 90.0;
            const double ny = -g.y() * 90.0;
            const double len = std::sqrt(nx * nx + ny * ny + 1.0);
            const double lambert = (nx * -0.6 + ny * -0.6 + 0.55) / len;
            c = scaled(c, 0.72 + 0.42 * lambert);
            c = scaled(c, 0.93 + 0.14 * noise.fbm(x / 9.0, y / 9.0, 3));
            c = mix(c, sand, 0.8 * (1.0 - smoothstep(1.5, 3.5, coastDistance)));
        }
        c = mix(c, coast, 0.85 * (1.0 - smoothstep(0.35, 1.25, coastDistance)));
        px = c.rgb();
    });
}

// Points on land a little inside the coast, where villages sit.
std::vector<QPointF> coastalSites(const HeightField &f, QRandomGenerator &rng, int wanted,
                                  int margin)
{
    std::vector<QPointF> sites;
    for (int attempt = 0; attempt < 4000 && int(sites.size()) < wanted; ++attempt) {
        const int x = between(rng, margin, f.width - margin);
        const int y = between(rng, margin, f.height - margin);
        const double h = f.at(x, y);
        if (h < 0.02 || h > 0.09)
            continue;
        const QPointF p(x, y);
        const bool crowded = std::any_of(sites.begin(), sites.end(), [&](const QPointF &s) {
            return QLineF(s, p).length() < 55.0;
        });
        if (!crowded)
            sites.push_back(p);
    }
    return sites;
}

void drawCompassRose(QPainter &p, const QPointF &c, double r)
{
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    p.translate(c);
    p.setPen(QPen(QColor(60, 70, 90, 200), 0.9));
    p.setBrush(QColor(250, 246, 232, 150));
    p.drawEllipse(QPointF(0, 0), r * 0.78, r * 0.78);
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(QPointF(0, 0), r * 0.7, r * 0.7);
    for (int i = 0; i < 32; ++i) {
        const double a = i * std::numbers::pi / 16.0;
        const double inner = (i % 4 == 0) ? r * 0.62 : r * 0.66;
        p.drawLine(QPointF(std::cos(a) * inner, std::sin(a) * inner),
                   QPointF(std::cos(a) * r * 0.7, std::sin(a) * r * 0.7));
    }
    // Eight points, each split into a light and a dark half so the rose looks raised.
    for (int i = 0; i < 8; ++i) {
        const double a = i * std::numbers::pi / 4.0 - std::numbers::pi / 2.0;
        const double len = (i % 2 == 0) ? r : r * 0.55;
        const double side = (i % 2 == 0) ? r * 0.14 : r * 0.1;
        const QPointF tip(std::cos(a) * len, std::sin(a) * len);
        const QPointF left(std::cos(a - std::numbers::pi / 2) * side,
                           std::sin(a - std::numbers::pi / 2) * side);
        const QPointF right(-left.x(), -left.y());
        p.setPen(QPen(QColor(40, 40, 50), 0.7));
        p.setBrush(i == 0 ? QColor(170, 40, 40) : QColor(40, 44, 60));
        p.drawPolygon(QPolygonF({QPointF(0, 0), left, tip}));
        p.setBrush(QColor(246, 240, 222));
        p.drawPolygon(QPolygonF({QPointF(0, 0), right, tip}));
    }
    p.setBrush(QColor(170, 40, 40));
    p.drawEllipse(QPointF(0, 0), r * 0.06, r * 0.06);
    p.restore();
}

void drawChartFrame(QPainter &p, const QSize &size)
{
    const double m = 9.0;
    const QRectF outer(0.5, 0.5, size.width() - 1.0, size.height() - 1.0);
    const QRectF inner = outer.adjusted(m, m, -m, -m);
    QPainterPath band;
    band.addRect(outer);
    band.addRect(inner);
    p.fillPath(band, QColor(244, 238, 220));
    // Alternating black and white blocks: the minute scale along a chart's border.
    const double step = 18.0;
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(40, 40, 44));
    for (double x = inner.left(), i = 0; x < inner.right(); x += step, ++i) {
        if (int(i) % 2 == 0) {
            p.drawRect(QRectF(x, inner.top() - 3.5, std::min(step, inner.right() - x), 3.5));
            p.drawRect(QRectF(x, inner.bottom(), std::min(step, inner.right() - x), 3.5));
        }
    }
    for (double y = inner.top(), i = 0; y < inner.bottom(); y += step, ++i) {
        if (int(i) % 2 == 1) {
            p.drawRect(QRectF(inner.left() - 3.5, y, 3.5, std::min(step, inner.bottom() - y)));
            p.drawRect(QRectF(inner.right(), y, 3.5, std::min(step, inner.bottom() - y)));
        }
    }
    p.setPen(QPen(QColor(40, 40, 44), 1.0));
    p.setBrush(Qt::NoBrush);
    p.drawRect(inner);
    p.drawRect(inner.adjusted(-3.5, -3.5, 3.5, 3.5));
    p.drawRect(outer.adjusted(1.5, 1.5, -1.5, -1.5));
}

void drawGraticule(QPainter &p, const QSize &size, int columns, int rows)
{
    p.setPen(QPen(QColor(50, 70, 100, 80), 0.8));
    for (int i = 1; i < columns; ++i) {
        const double x = size.width() * i / double(columns);
        p.drawLine(QPointF(x, 0), QPointF(x, size.height()));
    }
    for (int i = 1; i < rows; ++i) {
        const double y = size.height() * i / double(rows);
        p.drawLine(QPointF(0, y), QPointF(size.width(), y));
    }
}

QPointF seaCorner(const HeightField &f, double radius)
{
    const std::array<QPointF, 4> corners = {QPointF(radius + 26, radius + 26),
                                            QPointF(f.width - radius - 26, radius + 26),
                                            QPointF(radius + 26, f.height - radius - 26),
                                            QPointF(f.width - radius - 26, f.height - radius - 26)};
    QPointF best = corners[0];
    double bestLand = 1e9;
    for (const QPointF &c : corners) {
        double land = 0.0;
        for (int dy = -int(radius); dy <= int(radius); dy += 4)
            for (int dx = -int(radius); dx <= int(radius); dx += 4)
                land += std::max(0.0, f.at(int(c.x()) + dx, int(c.y()) + dy) + 0.08);
        if (land < bestLand) {
            bestLand = land;
            best = c;
        }
    }
    return best;
}

void drawLighthouseMark(QPainter &p, const QPointF &at)
{
    // The magenta flare charts put beside a light.
    QPainterPath flare;
    flare.moveTo(at);
    flare.cubicTo(at + QPointF(4, -6), at + QPointF(12, -14), at + QPointF(15, -18));
    flare.cubicTo(at + QPointF(10, -16), at + QPointF(2, -10), at);
    p.fillPath(flare, QColor(200, 40, 150, 200));
    p.setPen(QPen(QColor(30, 30, 30), 1.0));
    p.setBrush(QColor(30, 30, 30));
    p.drawEllipse(at, 1.8, 1.8);
}

void paintChart(QImage &image, int number, QRandomGenerator &rng)
{
    const double w = image.width();
    const double h = image.height();
    std::vector<Island> islands;
    if (number == 3) {
        // One long narrow island running down the sheet.
        islands.push_back(
            {QPointF(w * 0.5, h * 0.5), w * 0.2, h * 0.34, uniform(rng, -12, 12), 0.75});
        islands.push_back({QPointF(w * 0.28, h * 0.2), 16, 12, 0, 0.5});
        islands.push_back({QPointF(w * 0.7, h * 0.82), 20, 14, 30, 0.5});
    } else if (number == 5) {
        islands.push_back(
            {QPointF(w * 0.42, h * 0.5), w * 0.2, h * 0.22, uniform(rng, -20, 20), 0.78});
        for (int i = 0; i < 6; ++i)
            islands.push_back(
                {QPointF(uniform(rng, w * 0.6, w * 0.9), uniform(rng, h * 0.15, h * 0.85)),
                 uniform(rng, 8, 22), uniform(rng, 8, 18), uniform(rng, 0, 180), 0.48});
    } else {
        // The whole group: the main island and its neighbours strung out south-east.
        islands.push_back({QPointF(w * 0.33, h * 0.4), w * 0.17, h * 0.2, -25, 0.85});
        islands.push_back({QPointF(w * 0.62, h * 0.62), w * 0.08, h * 0.1, 20, 0.62});
        islands.push_back({QPointF(w * 0.8, h * 0.33), w * 0.06, h * 0.07, 60, 0.6});
        islands.push_back({QPointF(w * 0.2, h * 0.78), w * 0.05, h * 0.05, 0, 0.55});
        for (int i = 0; i < 5; ++i)
            islands.push_back(
                {QPointF(uniform(rng, w * 0.1, w * 0.9), uniform(rng, h * 0.1, h * 0.9)),
                 uniform(rng, 6, 14), uniform(rng, 6, 12), 0, 0.46});
    }
    const ValueNoise noise(rng.generate());
    const HeightField field = buildTerrain(image.width(), image.height(), islands, noise, 0.55);
    shadeChart(image, field, noise);

    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    drawGraticule(p, image.size(), number == 3 ? 3 : 5, number == 3 ? 5 : 4);

    const std::vector<QPointF> sites = coastalSites(field, rng, number == 3 ? 3 : 6, 30);
    // The ferry track: the longest gently curved crossing between two villages that stays
    // on water all the way; a track over land would make no sense on a chart.
    QPainterPath route;
    double longest = 0.0;
    for (std::size_t i = 0; i < sites.size(); ++i) {
        for (std::size_t j = i + 1; j < sites.size(); ++j) {
            const QPointF a = sites[i];
            const QPointF b = sites[j];
            const double length = QLineF(a, b).length();
            if (length < 80.0 || length <= longest)
                continue;
            for (double bend : {0.25, -0.25, 0.1, -0.1}) {
                const QPointF control = (a + b) / 2.0 + QPointF(-(b - a).y(), (b - a).x()) * bend;
                QPainterPath candidate;
                candidate.moveTo(a);
                candidate.quadTo(control, b);
                int onLand = 0;
                for (int k = 3; k <= 37; ++k) {
                    const QPointF q = candidate.pointAtPercent(k / 40.0);
                    if (field.at(int(q.x()), int(q.y())) > -0.005)
                        ++onLand;
                }
                if (onLand <= 2) {
                    route = candidate;
                    longest = length;
                    break;
                }
            }
        }
    }
    if (!route.isEmpty()) {
        p.setPen(QPen(QColor(150, 40, 40, 200), 1.3, Qt::DashLine));
        p.setBrush(Qt::NoBrush);
        p.drawPath(route);
    }
    for (const QPointF &s : sites) {
        p.setPen(QPen(QColor(250, 245, 235), 1.0));
        p.setBrush(QColor(120, 30, 30));
        p.drawRect(QRectF(s.x() - 2.5, s.y() - 2.5, 5, 5));
    }
    // A light on a headland: the coastal point furthest from the middle of the sheet.
    QPointF light;
    double far = -1.0;
    for (int attempt = 0; attempt < 3000; ++attempt) {
        const int x = between(rng, 30, image.width() - 30);
        const int y = between(rng, 30, image.height() - 30);
        if (field.at(x, y) < 0.0 || field.at(x, y) > 0.03)
            continue;
        const double d = QLineF(QPointF(x, y), islands[0].centre).length();
        if (d > far) {
            far = d;
            light = QPointF(x, y);
        }
    }
    if (far > 0.0)
        drawLighthouseMark(p, light);

    const double roseRadius = std::min(w, h) * (number == 3 ? 0.17 : 0.13);
    drawCompassRose(p, seaCorner(field, roseRadius), roseRadius);
    drawChartFrame(p, image.size());
    p.end();

    // Old paper shows through the print.
    const ValueNoise paper(rng.generate());
    forEachPixel(image, image.rect(), [&](int x, int y, QRgb &px) {
        const double stain = paper.fbm(x / 120.0, y / 120.0, 4);
        px = mixRgb(px, qRgb(226, 206, 160), 0.1 + 0.12 * smoothstep(0.55, 0.8, stain));
    });
    addGrain(image, paper, 2.5);
}

// ---- aerial views ------------------------------------------------------------------------

struct Field
{
    QPointF seed;
    QColor color;
    double angle;
    double spacing;
    double contrast;
};

struct Patchwork
{
    double cell;
    int columns;
    int rows;
    std::vector<Field> fields;

    const Field &at(int c, int r) const
    {
        c = std::clamp(c, 0, columns - 1);
        r = std::clamp(r, 0, rows - 1);
        return fields[std::size_t(r) * std::size_t(columns) + std::size_t(c)];
    }
    // The field under a point and how far the point is from that field's edge.
    const Field &locate(const QPointF &p, double *edgeDistance) const
    {
        const int c = int(p.x() / cell);
        const int r = int(p.y() / cell);
        const Field *nearest = nullptr;
        const Field *second = nullptr;
        double d1 = 1e18;
        double d2 = 1e18;
        for (int dr = -1; dr <= 1; ++dr) {
            for (int dc = -1; dc <= 1; ++dc) {
                const Field &f = at(c + dc, r + dr);
                const double d = QPointF::dotProduct(f.seed - p, f.seed - p);
                if (d < d1) {
                    d2 = d1;
                    second = nearest;
                    d1 = d;
                    nearest = &f;
                } else if (d < d2 && &f != nearest) {
                    d2 = d;
                    second = &f;
                }
            }
        }
        if (edgeDistance) {
            const QPointF between = second ? second->seed - nearest->seed : QPointF(1, 0);
            const double gap = std::sqrt(QPointF::dotProduct(between, between));
            *edgeDistance = second ? (d2 - d1) / (2.0 * std::max(gap, 1e-3)) : 1e9;
        }
        return *nearest;
    }
};

Patchwork buildPatchwork(const QSize &size, double cell, QRandomGenerator &rng)
{
    Patchwork pw{cell, int(size.width() / cell) + 2, int(size.height() / cell) + 2, {}};
    const std::array<QColor, 7> palette = {
        QColor(112, 150, 70),  QColor(90, 130, 60),  QColor(206, 186, 118), QColor(146, 110, 78),
        QColor(184, 192, 116), QColor(128, 160, 84), QColor(160, 128, 90)};
    for (int r = 0; r < pw.rows; ++r) {
        for (int c = 0; c < pw.columns; ++c) {
            const QPointF seed((c + uniform(rng, 0.2, 0.8)) * cell,
                               (r + uniform(rng, 0.2, 0.8)) * cell);
            const QColor color = scaled(palette[std::size_t(rng.bounded(int(palette.size())))],
                                        uniform(rng, 0.92, 1.06));
            pw.fields.push_back({seed, color, uniform(rng, 0, std::numbers::pi),
                                 uniform(rng, 3.0, 6.0), uniform(rng, 0.02, 0.08)});
        }
    }
    return pw;
}

void drawTree(QPainter &p, const QPointF &c, double r, const QColor &leaf)
{
    softEllipse(p, c + QPointF(r * 0.8, r * 0.7), r * 1.2, r * 0.9, QColor(20, 30, 10, 120));
    QRadialGradient g(c + QPointF(-r * 0.35, -r * 0.35), r * 1.3);
    g.setColorAt(0.0, scaled(leaf, 1.35));
    g.setColorAt(1.0, scaled(leaf, 0.7));
    p.setPen(Qt::NoPen);
    p.setBrush(g);
    p.drawEllipse(c, r, r);
}

void drawRoofFromAbove(QPainter &p, const QPointF &c, double length, double width, double angle,
                       const QColor &roof)
{
    p.save();
    p.translate(c);
    p.rotate(angle);
    p.fillRect(QRectF(-length / 2 + 2.5, -width / 2 + 2.5, length, width), QColor(20, 30, 10, 120));
    p.fillRect(QRectF(-length / 2, -width / 2, length, width / 2), scaled(roof, 1.12));
    p.fillRect(QRectF(-length / 2, 0, length, width / 2), scaled(roof, 0.72));
    p.setPen(QPen(scaled(roof, 0.5), 0.8));
    p.setBrush(Qt::NoBrush);
    p.drawRect(QRectF(-length / 2, -width / 2, length, width));
    p.drawLine(QPointF(-length / 2, 0), QPointF(length / 2, 0));
    p.restore();
}

void paintAerial(QImage &image, int number, QRandomGenerator &rng)
{
    const double w = image.width();
    const double h = image.height();
    const bool coastal = number == 4;
    const Patchwork pw = buildPatchwork(image.size(), coastal ? 58.0 : 66.0, rng);
    const ValueNoise noise(rng.generate());
    const double coastBase = w * 0.64;
    const auto coastX = [&](double y) {
        return coastBase + (noise.fbm(y / 140.0, 3.7, 4) - 0.5) * 190.0;
    };

    forEachPixel(image, image.rect(), [&](int x, int y, QRgb &px) {
        const double seaDistance = coastal ? x - coastX(y) : -1e9;
        if (seaDistance > 16.0) {
            // Shallows over sand fading to deeper water, with lines of surf near the beach.
            const double d = seaDistance - 16.0;
            QColor c = mix(QColor(110, 196, 196), QColor(36, 92, 140), smoothstep(0.0, 120.0, d));
            c = scaled(c, 0.94 + 0.12 * noise.fbm(x / 22.0, y / 40.0, 3));
            const double surf = std::sin(d / 5.0 - noise.fbm(x / 30.0, y / 30.0, 3) * 6.0);
            c = mix(c, QColor(244, 250, 250),
                    0.7 * smoothstep(0.75, 1.0, surf) * (1.0 - smoothstep(4.0, 38.0, d)));
            px = c.rgb();
            return;
        }
        if (seaDistance > 0.0) {
            const QColor dry(226, 210, 164);
            const QColor wet(196, 180, 138);
            px = scaled(mix(dry, wet, seaDistance / 16.0),
                        0.95 + 0.1 * noise.fbm(x / 4.0, y / 4.0, 2))
                     .rgb();
            return;
        }
        double edge = 0.0;
        const Field &f = pw.locate(QPointF(x, y), &edge);
        const double along = x * std::cos(f.angle) + y * std::sin(f.angle);
        const double furrow = std::sin(along / f.spacing * 2.0 * std::numbers::pi);
        QColor c = scaled(f.color, 1.0 + f.contrast * furrow);
        c = scaled(c, 0.84 + 0.3 * noise.fbm(x / 45.0, y / 45.0, 4));
        c = mix(c, QColor(96, 110, 60),
                0.25 * smoothstep(0.55, 0.8, noise.fbm(x / 14.0 + 50.0, y / 14.0, 3)));
        // Some boundaries are thick hedges, others only a wall or a fence.
        const double hedgeWidth =
            0.5 + 2.4 * smoothstep(0.35, 0.65, noise.at(x / 80.0 + 11.0, y / 80.0));
        const QColor hedge =
            scaled(QColor(54, 80, 40), 0.75 + 0.5 * noise.fbm(x / 2.5, y / 2.5, 2));
        c = mix(c, hedge, 0.92 * (1.0 - smoothstep(hedgeWidth * 0.5, hedgeWidth + 0.8, edge)));
        px = c.rgb();
    });

    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setBrush(Qt::NoBrush);

    QPainterPath road;
    QPointF bridge;
    double bridgeAngle = 0.0;
    double bridgeLength = 0.0;
    if (coastal) {
        road.moveTo(uniform(rng, w * 0.1, w * 0.3), -10);
        road.cubicTo(w * 0.45, h * 0.3, w * 0.3, h * 0.7, coastX(h) - 60.0, h + 10);
    } else {
        QPainterPath river;
        river.moveTo(-10, uniform(rng, h * 0.2, h * 0.4));
        river.cubicTo(w * 0.3, h * 0.1, w * 0.45, h * 0.9, w * 0.7, h * 0.55);
        river.cubicTo(w * 0.82, h * 0.4, w * 0.9, h * 0.7, w + 10, h * 0.8);
        p.setPen(QPen(QColor(52, 82, 40), 14, Qt::SolidLine, Qt::RoundCap));
        p.drawPath(river);
        p.setPen(QPen(QColor(60, 100, 116), 8.5, Qt::SolidLine, Qt::RoundCap));
        p.drawPath(river);
        p.setPen(QPen(QColor(96, 146, 160), 3.5, Qt::SolidLine, Qt::RoundCap));
        p.drawPath(river);
        road.moveTo(w * 0.6, -10);
        road.cubicTo(w * 0.5, h * 0.3, w * 0.2, h * 0.6, w * 0.3, h + 10);
        // Find where the road crosses the river so the bridge sits on the water.
        double closest = 1e9;
        std::vector<QPointF> riverPoints;
        for (int j = 0; j <= 200; ++j)
            riverPoints.push_back(river.pointAtPercent(j / 200.0));
        for (int i = 0; i <= 200; ++i) {
            const QPointF a = road.pointAtPercent(i / 200.0);
            for (const QPointF &r : riverPoints) {
                const double d = QLineF(a, r).length();
                if (d < closest) {
                    closest = d;
                    bridge = a;
                    bridgeAngle = road.angleAtPercent(i / 200.0);
                }
            }
        }
        bridgeLength = closest < 6.0 ? 20.0 : 0.0;
    }
    p.setPen(QPen(QColor(104, 94, 74), 6.5, Qt::SolidLine, Qt::RoundCap));
    p.drawPath(road);
    p.setPen(QPen(QColor(182, 170, 140), 4.5, Qt::SolidLine, Qt::RoundCap));
    p.drawPath(road);
    if (bridgeLength > 0.0) {
        p.save();
        p.translate(bridge);
        p.rotate(-bridgeAngle);
        p.setPen(Qt::NoPen);
        p.fillRect(QRectF(-11, -5.5, 22, 2.0), QColor(30, 34, 30, 120));
        p.fillRect(QRectF(-10, -4.5, 20, 1.6), QColor(210, 204, 190));
        p.fillRect(QRectF(-10, 3.0, 20, 1.6), QColor(210, 204, 190));
        p.fillRect(QRectF(-10, 4.6, 20, 2.0), QColor(30, 34, 30, 120));
        p.restore();
    }

    // The farm stands back from the road behind a short track, its buildings round a yard.
    const double at = coastal ? 0.55 : 0.3;
    const QPointF onRoad = road.pointAtPercent(at);
    const double roadAngle = road.angleAtPercent(at) * std::numbers::pi / 180.0;
    const QPointF normal(std::sin(roadAngle), std::cos(roadAngle));
    const QPointF yard = onRoad + normal * (coastal ? 48.0 : -48.0);
    p.setPen(QPen(QColor(150, 136, 108), 3.0, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(onRoad, yard);
    p.save();
    p.translate(yard);
    p.rotate(-road.angleAtPercent(at));
    p.setPen(QPen(QColor(120, 108, 84, 160), 1.0));
    p.setBrush(QColor(178, 164, 130));
    p.drawRoundedRect(QRectF(-34, -28, 68, 56), 8, 8);
    p.restore();
    // House and barn face each other across the yard, a shed closes the far side.
    const double yardAngle = -road.angleAtPercent(at);
    struct Building
    {
        QPointF offset;
        double length;
        double width;
        double turn;
        QColor roof;
    };
    std::vector<Building> farmBuildings = {
        {QPointF(0, -18), 36, 13, 0, QColor(170, 72, 52)},
        {QPointF(2, 19), 42, 15, 0, QColor(112, 114, 122)},
        {QPointF(-26, 0), 22, 11, 90, QColor(150, 84, 62)},
    };
    if (coastal)
        farmBuildings.push_back({QPointF(27, 2), 18, 10, 90, QColor(164, 70, 50)});
    const double ya = yardAngle * std::numbers::pi / 180.0;
    for (const Building &b : farmBuildings) {
        const QPointF o(b.offset.x() * std::cos(ya) - b.offset.y() * std::sin(ya),
                        b.offset.x() * std::sin(ya) + b.offset.y() * std::cos(ya));
        drawRoofFromAbove(p, yard + o, b.length, b.width, yardAngle + b.turn + uniform(rng, -3, 3),
                          b.roof);
    }

    // Trees stand along the hedges; only try spots the patchwork says are on an edge.
    const int trees = int(w * h / 700.0);
    for (int i = 0; i < trees * 6; ++i) {
        const QPointF spot(uniform(rng, 0, w), uniform(rng, 0, h));
        if (coastal && spot.x() > coastX(spot.y()) - 8.0)
            continue;
        if (QLineF(spot, yard).length() < 40.0)
            continue;
        double edge = 0.0;
        pw.locate(spot, &edge);
        if (edge > 2.0 || !chance(rng, 0.2))
            continue;
        drawTree(p, spot, uniform(rng, 2.5, 5.0), QColor(58, 92, 46));
    }
    // A copse or two.
    for (int k = 0; k < 2; ++k) {
        const QPointF c(uniform(rng, w * 0.05, w * 0.45), uniform(rng, h * 0.2, h * 0.8));
        if (QLineF(c, yard).length() < 60.0)
            continue;
        for (int i = 0; i < 40; ++i)
            drawTree(p, c + QPointF(uniform(rng, -26, 26), uniform(rng, -18, 18)),
                     uniform(rng, 3.5, 6.5), QColor(50, 86, 42));
    }
    p.end();
    addGrain(image, noise, 3.0);
}

} // namespace

void paintMap(QImage &image, int number, QRandomGenerator &rng)
{
    if (number == 2 || number == 4)
        paintAerial(image, number, rng);
    else
        paintChart(image, number, rng);
}

} // namespace tarvel::sample
