#include "paint.h"

#include <QLinearGradient>
#include <QRadialGradient>
#include <algorithm>
#include <cmath>
#include <vector>

namespace tarvel::sample {

double clamp01(double v)
{
    return std::clamp(v, 0.0, 1.0);
}

double smoothstep(double edge0, double edge1, double x)
{
    const double t = clamp01((x - edge0) / (edge1 - edge0));
    return t * t * (3.0 - 2.0 * t);
}

double lerp(double a, double b, double t)
{
    return a + (b - a) * t;
}

int channel(double v)
{
    return static_cast<int>(std::lround(std::clamp(v, 0.0, 255.0)));
}

QColor mix(const QColor &a, const QColor &b, double t)
{
    return QColor(channel(lerp(a.red(), b.red(), t)), channel(lerp(a.green(), b.green(), t)),
                  channel(lerp(a.blue(), b.blue(), t)), channel(lerp(a.alpha(), b.alpha(), t)));
}

QColor scaled(const QColor &c, double factor)
{
    return QColor(channel(c.red() * factor), channel(c.green() * factor),
                  channel(c.blue() * factor), c.alpha());
}

QColor withAlpha(QColor c, int alpha)
{
    c.setAlpha(std::clamp(alpha, 0, 255));
    return c;
}

QRgb mixRgb(QRgb a, QRgb b, double t)
{
    return qRgb(channel(lerp(qRed(a), qRed(b), t)), channel(lerp(qGreen(a), qGreen(b), t)),
                channel(lerp(qBlue(a), qBlue(b), t)));
}

double uniform(QRandomGenerator &rng, double low, double high)
{
    return low + rng.generateDouble() * (high - low);
}

int between(QRandomGenerator &rng, int low, int highInclusive)
{
    return rng.bounded(low, highInclusive + 1);
}

bool chance(QRandomGenerator &rng, double probability)
{
    return rng.generateDouble() < probability;
}

QImage pathMask(const QSize &size, const QPainterPath &path)
{
    QImage mask(size, QImage::Format_Grayscale8);
    mask.fill(0);
    QPainter p(&mask);
    p.setRenderHint(QPainter::Antialiasing);
    p.fillPath(path, Qt::white);
    return mask;
}

void paintStrata(QImage &image, const QPainterPath &path, const ValueNoise &noise, double tilt,
                 double bedHeight, double lightLeft, double lightRight)
{
    static const QColor beds[] = {
        QColor(178, 142, 102), QColor(150, 120, 92),  QColor(194, 168, 128), QColor(122, 104, 92),
        QColor(166, 130, 98),  QColor(204, 184, 146), QColor(134, 112, 96),  QColor(186, 150, 110)};
    const QRectF box = path.boundingRect();
    shadeInside(image, path, [&](int x, int y, QRgb) {
        const double warp = (noise.fbm(x / 70.0, y / 70.0, 4) - 0.5) * bedHeight * 2.2;
        const double s = (y + x * tilt + warp) / bedHeight;
        const double bed = std::floor(s);
        const double within = s - bed;
        const auto index = static_cast<std::size_t>(std::abs(noise.grain(int(bed), 11)) * 7.99);
        QColor c = beds[index];
        // Soft beds weather back under hard ones: a dark crease at the top of each.
        c = scaled(c, 0.72 + 0.3 * smoothstep(0.0, 0.18, within) - 0.06 * within);
        const double joints = noise.ridged(x / 9.0, y / 70.0, 3);
        c = scaled(c, 1.0 - 0.35 * smoothstep(0.82, 0.97, joints));
        const double facets = noise.fbm(x / 26.0 + 30.0, y / 18.0, 4);
        const double across = clamp01((x - box.left()) / std::max(1.0, box.width()));
        c = scaled(c, lerp(lightLeft, lightRight, across) * (0.8 + 0.4 * facets));
        c = scaled(c, 0.9 + 0.2 * noise.fbm(x / 3.0, y / 3.0, 2));
        return c.rgb();
    });
}

void paintSky(QImage &image, int horizonY, const SkyStyle &style, const ValueNoise &noise)
{
    const double horizon = std::max(1, horizonY);
    const double scale = style.cloudScale;
    const double threshold = 1.0 - 0.5 * style.cloudCover - 0.22;
    forEachPixel(image, QRect(0, 0, image.width(), horizonY), [&](int x, int y, QRgb &px) {
        const double t = y / horizon;
        QColor c = mix(style.zenith, style.horizon, std::pow(t, 0.85));
        if (style.cloudCover > 0.0) {
            // Squash the noise more near the horizon: clouds further away are seen edge-on.
            const double squash = 1.25 - 0.85 * t;
            const double nx = x / (230.0 * scale);
            const double ny = y / (70.0 * scale * squash);
            const double n = noise.fbm(nx, ny, 5);
            double density = smoothstep(threshold, threshold + 0.2, n);
            density *= 1.0 - 0.55 * smoothstep(0.75, 1.0, t);
            if (density > 0.0) {
                // Lit from above: brighter where the cloud thins out upwards.
                const double below = noise.fbm(nx, ny + 0.09, 5);
                const double lit = clamp01(0.55 + (below - n) * 9.0);
                const QColor cloud = mix(style.cloudShade, style.cloudLight, lit);
                c = mix(c, cloud, density * 0.93);
            }
        }
        px = c.rgb();
    });
}

void paintSea(QImage &image, const QRect &area, int horizonY, const SeaStyle &style,
              const ValueNoise &noise, QRandomGenerator &rng)
{
    const double depth = std::max(1, area.bottom() - horizonY);
    const double centre = image.width() / 2.0;
    const double width = image.width();
    const auto waveAt = [&](double x, double y) {
        const double t = std::max(0.004, (y - horizonY + 1) / depth);
        const double distance = 1.0 / t;
        const double u = (x - centre) / width * distance * 7.0;
        const double v = distance * 2.2;
        return noise.fbm(u * 0.55, v * 2.6, 4);
    };
    forEachPixel(image, area, [&](int x, int y, QRgb &px) {
        const double t = std::max(0.004, (y - horizonY + 1) / depth);
        const double distance = 1.0 / t;
        const double u = (x - centre) / width * distance * 7.0;
        const double v = distance * 2.2;
        const double w = waveAt(x, y);
        const double swell = noise.fbm(u * 0.12 + 40.0, v * 0.5, 3);
        const double strength = smoothstep(0.0, 0.18, t) * style.choppiness;
        QColor c = mix(style.far, style.near, std::pow(t, 0.6));
        const double light = 1.0 + ((w - 0.5) * 0.55 + (swell - 0.5) * 0.35) * strength;
        c = scaled(c, light);
        const double crest = smoothstep(0.66, 0.8, w) * strength * 0.55;
        c = mix(c, style.crest, crest);
        // A pale band where the sea meets the sky keeps the horizon from looking cut out.
        c = mix(c, style.crest, 0.25 * (1.0 - smoothstep(0.0, 0.06, t)));
        px = c.rgb();
    });

    // Sun glints only on the wave crests, so they follow the waves instead of lying on
    // the water in rows.
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    const int glints = static_cast<int>(area.width() * area.height() / 90.0 * style.sparkle);
    for (int i = 0; i < glints; ++i) {
        const double t = std::pow(rng.generateDouble(), 0.8);
        const double y = horizonY + 2 + t * (depth - 2);
        const double x = uniform(rng, area.left(), area.right());
        if (y < area.top() || waveAt(x, y) < 0.62)
            continue;
        const double len = 1.0 + t * uniform(rng, 2.0, 9.0);
        const int alpha = static_cast<int>(uniform(rng, 30, 120) * (0.4 + 0.6 * t));
        p.setPen(Qt::NoPen);
        p.setBrush(withAlpha(style.crest, alpha));
        p.drawEllipse(QPointF(x, y), len / 2, 0.3 + t * 0.9);
    }
}

void reflectInto(QImage &image, int waterline, int bottom, const QColor &tint, double tintAmount,
                 const ValueNoise &noise, double rippleAmplitude)
{
    const double range = std::max(1, bottom - waterline);
    const int w = image.width();
    for (int y = waterline; y <= bottom && y < image.height(); ++y) {
        const double d = (y - waterline) / range;
        auto *line = reinterpret_cast<QRgb *>(image.scanLine(y));
        for (int x = 0; x < w; ++x) {
            const double wobble = (noise.fbm(x / 28.0, y / 2.5, 3) - 0.5) * 2.0;
            const int sx =
                std::clamp(static_cast<int>(x + wobble * rippleAmplitude * (0.4 + d)), 0, w - 1);
            const int sy =
                std::clamp(static_cast<int>(waterline - 1 - (y - waterline) * 1.05 + wobble * 1.5),
                           0, waterline - 1);
            const QRgb src = reinterpret_cast<const QRgb *>(image.constScanLine(sy))[sx];
            const double ripple = 0.9 + 0.2 * noise.at(x / 45.0, y / 1.6);
            QRgb c = mixRgb(src, tint.rgb(), std::min(1.0, tintAmount + d * 0.25));
            c = qRgb(channel(qRed(c) * ripple * 0.92), channel(qGreen(c) * ripple * 0.94),
                     channel(qBlue(c) * ripple * 0.97));
            line[x] = c;
        }
    }
}

void addGrain(QImage &image, const ValueNoise &noise, double amplitude)
{
    forEachPixel(image, image.rect(), [&](int x, int y, QRgb &px) {
        const double g = noise.grain(x, y) * amplitude;
        px = qRgb(channel(qRed(px) + g), channel(qGreen(px) + g), channel(qBlue(px) + g));
    });
}

void addVignette(QImage &image, double strength)
{
    const double cx = image.width() / 2.0;
    const double cy = image.height() / 2.0;
    forEachPixel(image, image.rect(), [&](int x, int y, QRgb &px) {
        const double dx = (x - cx) / cx;
        const double dy = (y - cy) / cy;
        const double f = 1.0 - strength * smoothstep(0.35, 1.5, dx * dx + dy * dy);
        px = qRgb(channel(qRed(px) * f), channel(qGreen(px) * f), channel(qBlue(px) * f));
    });
}

QPainterPath ridgePath(double x0, double x1, double baseY, double amplitude, double wavelength,
                       const ValueNoise &noise, double offset, double bottom)
{
    QPainterPath path;
    path.moveTo(x0, bottom);
    for (double x = x0; x <= x1 + 2.0; x += 2.0) {
        const double n = noise.fbm((x + offset) / wavelength, offset * 0.013, 5);
        path.lineTo(x, baseY - amplitude * (n - 0.5) * 2.0);
    }
    path.lineTo(x1 + 2.0, bottom);
    path.closeSubpath();
    return path;
}

void fillVertical(QPainter &p, const QPainterPath &path, const QColor &top, const QColor &bottom)
{
    const QRectF r = path.boundingRect();
    QLinearGradient g(r.topLeft(), r.bottomLeft());
    g.setColorAt(0.0, top);
    g.setColorAt(1.0, bottom);
    p.fillPath(path, g);
}

void softEllipse(QPainter &p, const QPointF &centre, double rx, double ry, const QColor &color)
{
    if (rx <= 0.0 || ry <= 0.0)
        return;
    p.save();
    p.translate(centre);
    p.scale(1.0, ry / rx);
    QRadialGradient g(QPointF(0, 0), rx);
    g.setColorAt(0.0, color);
    g.setColorAt(0.55, withAlpha(color, color.alpha() / 2));
    g.setColorAt(1.0, withAlpha(color, 0));
    p.setPen(Qt::NoPen);
    p.setBrush(g);
    p.drawEllipse(QPointF(0, 0), rx, rx);
    p.restore();
}

void sunGlow(QPainter &p, const QPointF &centre, double radius, const QColor &core,
             const QColor &halo)
{
    QRadialGradient g(centre, radius);
    g.setColorAt(0.0, core);
    g.setColorAt(0.09, core);
    g.setColorAt(0.13, withAlpha(halo, 200));
    g.setColorAt(0.35, withAlpha(halo, 70));
    g.setColorAt(1.0, withAlpha(halo, 0));
    p.setPen(Qt::NoPen);
    p.setBrush(g);
    p.drawEllipse(centre, radius, radius);
}

namespace {

QPointF along(const QPointF &a, const QPointF &b, double t)
{
    return a + (b - a) * t;
}

void drawWindow(QPainter &p, const QRectF &r, const QColor &frame, bool lit)
{
    const QColor glass = lit ? QColor(255, 214, 130) : QColor(48, 62, 82);
    QLinearGradient g(r.topLeft(), r.bottomRight());
    g.setColorAt(0.0, lit ? QColor(255, 236, 170) : QColor(92, 112, 136));
    g.setColorAt(1.0, glass);
    p.setPen(QPen(frame, std::max(0.6, r.width() * 0.12)));
    p.setBrush(g);
    p.drawRect(r);
    if (r.width() > 5.0) {
        p.setPen(QPen(withAlpha(frame, 200), std::max(0.5, r.width() * 0.07)));
        p.drawLine(QPointF(r.center().x(), r.top()), QPointF(r.center().x(), r.bottom()));
        p.drawLine(QPointF(r.left(), r.center().y()), QPointF(r.right(), r.center().y()));
    }
}

} // namespace

void drawHouse(QPainter &p, const House &h)
{
    const double bx = h.base.x();
    const double by = h.base.y();
    const double w = h.width;
    const double hh = h.height;
    const double dx = h.depth * 0.62;
    const double dy = -h.depth * 0.38;
    const QPointF eaveL(bx, by - hh);
    const QPointF eaveR(bx + w, by - hh);
    const QPointF ridgeL(bx + dx * 0.5, by + dy * 0.5 - hh - h.roofHeight);
    const QPointF ridgeR(bx + w + dx * 0.5, by + dy * 0.5 - hh - h.roofHeight);
    const QPointF backTop(bx + w + dx, by + dy - hh);

    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    softEllipse(p, QPointF(bx + w * 0.6 + dx * 0.5, by + 1.0), w * 0.8 + dx, h.depth * 0.3 + 3.0,
                QColor(20, 30, 20, 90));

    QPainterPath side;
    side.moveTo(bx + w, by);
    side.lineTo(bx + w + dx, by + dy);
    side.lineTo(backTop);
    side.lineTo(ridgeR);
    side.lineTo(eaveR);
    side.closeSubpath();
    p.setPen(Qt::NoPen);
    p.fillPath(side, mix(scaled(h.wall, 0.74 * h.light), QColor(80, 100, 135), 0.14));

    QLinearGradient wallShade(eaveL, QPointF(bx, by));
    wallShade.setColorAt(0.0, scaled(h.wall, 0.93 * h.light));
    wallShade.setColorAt(0.25, scaled(h.wall, 1.0 * h.light));
    wallShade.setColorAt(1.0, scaled(h.wall, 0.9 * h.light));
    p.fillRect(QRectF(bx, by - hh, w, hh), wallShade);

    QPainterPath roof;
    roof.moveTo(eaveL + QPointF(-1.5, 1.2));
    roof.lineTo(eaveR + QPointF(1.0, 1.2));
    roof.lineTo(ridgeR + QPointF(0.5, 0));
    roof.lineTo(ridgeL + QPointF(-1.5, 0));
    roof.closeSubpath();
    QLinearGradient roofShade(eaveL, ridgeL);
    roofShade.setColorAt(0.0, scaled(h.roof, 0.78 * h.light));
    roofShade.setColorAt(1.0, scaled(h.roof, 1.08 * h.light));
    p.fillPath(roof, roofShade);

    // Tile courses and joints; at the sizes used here they read as texture, not detail.
    p.save();
    p.setClipPath(roof);
    const double slope = std::hypot(ridgeL.x() - eaveL.x(), ridgeL.y() - eaveL.y());
    const int courses = std::max(2, static_cast<int>(slope / 2.6));
    p.setPen(QPen(scaled(h.roof, 0.6 * h.light), 0.6));
    for (int i = 1; i < courses; ++i) {
        const double t = static_cast<double>(i) / courses;
        p.drawLine(along(eaveL, ridgeL, t) + QPointF(-2, 0),
                   along(eaveR, ridgeR, t) + QPointF(2, 0));
    }
    p.setPen(QPen(withAlpha(scaled(h.roof, 0.55 * h.light), 110), 0.5));
    for (double x = 0; x < w + 2.0; x += 3.2)
        p.drawLine(QPointF(bx + x, by - hh + 1.0), QPointF(bx + x + dx * 0.5, ridgeL.y()));
    p.restore();

    // Verge tiles along the gable and the eave shadow on the wall.
    p.setPen(
        QPen(scaled(h.roof, 0.7 * h.light), std::max(1.2, w * 0.035), Qt::SolidLine, Qt::RoundCap));
    p.drawLine(ridgeR, backTop + QPointF(1.0, 0.8));
    p.setPen(Qt::NoPen);
    QLinearGradient eaveShadow(QPointF(bx, by - hh), QPointF(bx, by - hh + 4.0));
    eaveShadow.setColorAt(0.0, QColor(0, 0, 0, 70));
    eaveShadow.setColorAt(1.0, QColor(0, 0, 0, 0));
    p.fillRect(QRectF(bx, by - hh + 1.0, w, 4.0), eaveShadow);

    const double chimneyX = ridgeL.x() + w * 0.18;
    const QRectF chimney(chimneyX, ridgeL.y() - h.roofHeight * 0.45, std::max(2.0, w * 0.08),
                         h.roofHeight * 0.45 + 2.0);
    p.fillRect(chimney, scaled(h.wall, 0.95 * h.light));
    p.fillRect(QRectF(chimney.right() - chimney.width() * 0.35, chimney.top(),
                      chimney.width() * 0.35, chimney.height()),
               scaled(h.wall, 0.75 * h.light));

    const double floorH = hh / h.floors;
    const double winW = std::min(w / (h.windows * 2.4 + 0.6), floorH * 0.42);
    const double winH = winW * 1.3;
    const QColor frame = scaled(h.wall, 0.97 * h.light);
    for (int f = 0; f < h.floors; ++f) {
        const double floorTop = by - hh + f * floorH;
        const double cy = floorTop + floorH * 0.45;
        const bool ground = f == h.floors - 1;
        for (int i = 0; i < h.windows; ++i) {
            const double cx = bx + w * (i + 0.5) / h.windows;
            if (ground && h.door && i == h.windows / 2) {
                const double doorW = winW * 1.15;
                const double doorH = floorH * 0.68;
                const QRectF door(cx - doorW / 2, by - doorH, doorW, doorH);
                p.setPen(QPen(frame, std::max(0.5, doorW * 0.1)));
                p.setBrush(scaled(h.trim, 0.9 * h.light));
                p.drawRect(door);
                continue;
            }
            const bool lit = h.litWindows && ((i + f) % 3 != 1);
            QRectF r(cx - winW / 2, cy - winH / 2, winW, winH);
            // Shutters on the wider houses: the trim colour is what tells them apart.
            if (winW > 4.0) {
                p.fillRect(QRectF(r.left() - winW * 0.45, r.top(), winW * 0.42, winH),
                           scaled(h.trim, h.light));
                p.fillRect(QRectF(r.right() + winW * 0.03, r.top(), winW * 0.42, winH),
                           scaled(h.trim, h.light));
            }
            drawWindow(p, r, frame, lit);
        }
    }
    p.restore();
}

void drawTownHouse(QPainter &p, const TownHouse &h, QRandomGenerator &rng)
{
    const QRectF f = h.front;
    p.save();
    p.setRenderHint(QPainter::Antialiasing);

    QLinearGradient wall(f.topLeft(), f.bottomLeft());
    wall.setColorAt(0.0, scaled(h.wall, 1.02 * h.light));
    wall.setColorAt(1.0, scaled(h.wall, 0.86 * h.light));
    p.fillRect(f, wall);

    if (h.gable) {
        QPainterPath gable;
        gable.moveTo(f.topLeft());
        gable.lineTo(f.center().x(), f.top() - h.roofHeight);
        gable.lineTo(f.topRight());
        gable.closeSubpath();
        p.fillPath(gable, scaled(h.wall, 1.02 * h.light));
        p.setPen(QPen(scaled(h.roof, h.light), 3.0, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
        p.setBrush(Qt::NoBrush);
        p.drawPolyline(QPolygonF({f.topLeft() + QPointF(-1, 1),
                                  QPointF(f.center().x(), f.top() - h.roofHeight),
                                  f.topRight() + QPointF(1, 1)}));
        const double r = std::min(f.width() * 0.08, h.roofHeight * 0.22);
        if (r > 1.0) {
            p.setPen(Qt::NoPen);
            p.setBrush(h.litShare > 0 ? QColor(70, 70, 60) : QColor(60, 72, 90));
            p.drawEllipse(QPointF(f.center().x(), f.top() - h.roofHeight * 0.38), r, r);
        }
    } else {
        QPainterPath roof;
        roof.moveTo(f.left() - 1.0, f.top());
        roof.lineTo(f.left() + h.roofHeight * 0.5, f.top() - h.roofHeight * 0.6);
        roof.lineTo(f.right() - h.roofHeight * 0.5, f.top() - h.roofHeight * 0.6);
        roof.lineTo(f.right() + 1.0, f.top());
        roof.closeSubpath();
        fillVertical(p, roof, scaled(h.roof, 1.05 * h.light), scaled(h.roof, 0.8 * h.light));
        p.fillRect(QRectF(f.left() - 1.0, f.top() - 1.5, f.width() + 2.0, 2.5),
                   scaled(h.wall, 0.8 * h.light));
    }

    const double floorH = f.height() / h.floors;
    const double colW = f.width() / h.columns;
    const double winW = std::min(colW * 0.5, floorH * 0.42);
    const double winH = winW * 1.5;
    const QColor frame = mix(scaled(h.wall, h.light), QColor(255, 255, 255), 0.5);
    for (int fl = 0; fl < h.floors; ++fl) {
        const double top = f.top() + fl * floorH;
        if (fl > 0) {
            p.fillRect(QRectF(f.left(), top - 0.6, f.width(), 1.2),
                       withAlpha(scaled(h.wall, 0.75 * h.light), 160));
        }
        const bool ground = fl == h.floors - 1;
        for (int c = 0; c < h.columns; ++c) {
            const double cx = f.left() + colW * (c + 0.5);
            if (ground && c == 0) {
                const double dw = std::min(colW * 0.55, winW * 1.3);
                const QRectF door(cx - dw / 2, f.bottom() - floorH * 0.72, dw, floorH * 0.72);
                p.setPen(QPen(frame, 0.8));
                p.setBrush(scaled(QColor(70, 50, 40), h.light));
                p.drawRect(door);
                continue;
            }
            const bool lit = h.litShare > 0.0 && chance(rng, h.litShare);
            drawWindow(p, QRectF(cx - winW / 2, top + floorH * 0.5 - winH / 2, winW, winH), frame,
                       lit);
        }
    }
    // A dark seam down the right edge keeps neighbouring fronts from merging.
    QLinearGradient seam(QPointF(f.right() - 2.5, 0), QPointF(f.right(), 0));
    seam.setColorAt(0.0, QColor(0, 0, 0, 0));
    seam.setColorAt(1.0, QColor(0, 0, 0, 70));
    p.fillRect(QRectF(f.right() - 2.5, f.top(), 2.5, f.height()), seam);
    p.restore();
}

QPainterPath flyingBird(const QPointF &centre, double span, double flap, double tilt)
{
    const double hw = span / 2.0;
    const double tipY = -flap * span * 0.2;
    QPainterPath b;
    b.moveTo(0, 0);
    b.cubicTo(-hw * 0.25, -span * 0.11 + tipY * 0.3, -hw * 0.62, tipY * 0.7 - span * 0.06, -hw,
              tipY);
    b.cubicTo(-hw * 0.62, tipY * 0.55 + span * 0.01, -hw * 0.28, span * 0.0, 0, span * 0.06);
    b.cubicTo(hw * 0.28, span * 0.0, hw * 0.62, tipY * 0.55 + span * 0.01, hw, tipY);
    b.cubicTo(hw * 0.62, tipY * 0.7 - span * 0.06, hw * 0.25, -span * 0.11 + tipY * 0.3, 0, 0);
    b.closeSubpath();
    QTransform t;
    t.translate(centre.x(), centre.y());
    t.rotate(tilt);
    return t.map(b);
}

void drawSailboat(QPainter &p, const QPointF &waterline, double size, const QColor &hull,
                  const QColor &sail, bool facingLeft)
{
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    p.translate(waterline);
    if (facingLeft)
        p.scale(-1.0, 1.0);
    p.scale(size / 100.0, size / 100.0);

    QPainterPath h;
    h.moveTo(-48, -10);
    h.lineTo(52, -12);
    h.cubicTo(44, 2, 30, 6, 10, 6);
    h.lineTo(-38, 5);
    h.cubicTo(-44, 2, -47, -4, -48, -10);
    h.closeSubpath();
    fillVertical(p, h, scaled(hull, 1.15), scaled(hull, 0.7));
    p.fillRect(QRectF(-47, -10, 98, 3), QColor(240, 236, 226));

    p.setPen(QPen(QColor(70, 55, 40), 2.2));
    p.drawLine(QPointF(0, -10), QPointF(0, -118));
    QPainterPath main;
    main.moveTo(-3, -114);
    main.cubicTo(-22, -80, -36, -40, -40, -16);
    main.lineTo(-3, -16);
    main.closeSubpath();
    QPainterPath jib;
    jib.moveTo(3, -110);
    jib.cubicTo(20, -80, 36, -44, 44, -16);
    jib.lineTo(3, -16);
    jib.closeSubpath();
    QLinearGradient sg(QPointF(-40, 0), QPointF(0, 0));
    sg.setColorAt(0.0, scaled(sail, 0.82));
    sg.setColorAt(1.0, sail);
    p.setPen(QPen(scaled(sail, 0.7), 0.8));
    p.setBrush(sg);
    p.drawPath(main);
    QLinearGradient jg(QPointF(0, 0), QPointF(44, 0));
    jg.setColorAt(0.0, scaled(sail, 0.95));
    jg.setColorAt(1.0, scaled(sail, 0.78));
    p.setBrush(jg);
    p.drawPath(jib);
    p.restore();
}

void drawFishingBoat(QPainter &p, const QPointF &waterline, double length, const QColor &hull,
                     bool facingLeft)
{
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    p.translate(waterline);
    if (facingLeft)
        p.scale(-1, 1);
    p.scale(length / 100.0, length / 100.0);
    softEllipse(p, QPointF(0, 4), 55, 6, QColor(0, 20, 30, 90));
    QPainterPath h;
    h.moveTo(-50, -18);
    h.lineTo(50, -24);
    h.cubicTo(44, -4, 30, 4, 10, 4);
    h.lineTo(-42, 4);
    h.cubicTo(-48, -2, -50, -10, -50, -18);
    h.closeSubpath();
    fillVertical(p, h, scaled(hull, 1.15), scaled(hull, 0.7));
    p.fillRect(QRectF(-50, -18, 100, 3), QColor(245, 242, 232));
    // Wheelhouse and mast.
    p.fillRect(QRectF(-30, -38, 22, 20), QColor(240, 236, 226));
    p.fillRect(QRectF(-27, -34, 7, 6), QColor(60, 80, 100));
    p.fillRect(QRectF(-18, -34, 7, 6), QColor(60, 80, 100));
    p.fillRect(QRectF(-32, -41, 26, 3.5), scaled(hull, 0.8));
    p.setPen(QPen(QColor(70, 60, 50), 1.6));
    p.drawLine(QPointF(8, -18), QPointF(8, -64));
    p.drawLine(QPointF(8, -60), QPointF(44, -22));
    p.restore();
}

void drawRowingBoat(QPainter &p, const QPointF &centre, double length, const QColor &hull,
                    double angle)
{
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    p.translate(centre);
    p.rotate(angle);
    p.scale(length / 100.0, length / 100.0);
    softEllipse(p, QPointF(4, 10), 56, 8, QColor(0, 0, 0, 70));
    QPainterPath h;
    h.moveTo(-50, -12);
    h.cubicTo(-30, -8, 30, -8, 50, -16);
    h.cubicTo(44, 2, 28, 10, 0, 10);
    h.cubicTo(-28, 10, -44, 4, -50, -12);
    h.closeSubpath();
    fillVertical(p, h, scaled(hull, 1.1), scaled(hull, 0.65));
    p.setPen(QPen(QColor(245, 240, 228), 2.4));
    p.drawLine(QPointF(-48, -10), QPointF(48, -14));
    p.setPen(QPen(scaled(hull, 0.5), 1.0));
    p.setBrush(Qt::NoBrush);
    p.drawPath(h);
    p.restore();
}

void drawGrass(QPainter &p, QRandomGenerator &rng, const QRectF &area, int blades,
               const QColor &dark, const QColor &light, double minHeight, double maxHeight)
{
    struct Blade
    {
        QPointF root;
        double height;
        double lean;
        double shade;
    };
    std::vector<Blade> list;
    list.reserve(blades);
    for (int i = 0; i < blades; ++i) {
        const double depth = std::sqrt(rng.generateDouble());
        const QPointF root(uniform(rng, area.left(), area.right()),
                           area.top() + depth * area.height());
        list.push_back({root, lerp(minHeight, maxHeight, depth) * uniform(rng, 0.6, 1.1),
                        uniform(rng, -0.5, 0.5), rng.generateDouble()});
    }
    std::sort(list.begin(), list.end(),
              [](const Blade &a, const Blade &b) { return a.root.y() < b.root.y(); });
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    for (const Blade &b : list) {
        const QPointF tip = b.root + QPointF(b.lean * b.height, -b.height);
        QPainterPath blade;
        blade.moveTo(b.root + QPointF(-b.height * 0.04, 0));
        blade.quadTo(b.root + QPointF(b.lean * b.height * 0.2, -b.height * 0.6), tip);
        blade.quadTo(b.root + QPointF(b.lean * b.height * 0.2 + b.height * 0.03, -b.height * 0.55),
                     b.root + QPointF(b.height * 0.04, 0));
        blade.closeSubpath();
        p.fillPath(blade, mix(dark, light, b.shade));
    }
    p.restore();
}

} // namespace tarvel::sample
