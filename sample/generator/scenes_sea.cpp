// Birds, fish and marine life: the animals, mostly painted from simple paths placed with a
// transform, on skies, seas and seabeds from the shared passes.

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

// ---- birds ---------------------------------------------------------------------------------

// A gannet seen from below as it glides past, flying to the left; span is the wingspan.
void drawGannet(QPainter &p, const QPointF &centre, double span, double tilt)
{
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    p.translate(centre);
    p.rotate(tilt);
    p.scale(span, span);

    // Long narrow wings, the arm reaching slightly forward and the hand swept back from
    // the wrist: the shape that tells a gannet from a gull at any distance.
    const auto wing = [](double side, double reach) {
        QPainterPath wp;
        wp.moveTo(-0.06, side * 0.02);
        wp.cubicTo(-0.075, side * reach * 0.2, -0.08, side * reach * 0.4, -0.07,
                   side * reach * 0.48);
        wp.cubicTo(-0.04, side * reach * 0.7, 0.02, side * reach * 0.9, 0.07, side * reach);
        wp.cubicTo(0.035, side * reach * 0.8, 0.0, side * reach * 0.6, -0.01, side * reach * 0.48);
        wp.cubicTo(0.0, side * reach * 0.3, 0.03, side * reach * 0.12, 0.05, side * 0.02);
        wp.closeSubpath();
        return wp;
    };
    const QColor white(250, 250, 246);
    const QColor shade(196, 204, 216);
    const QColor black(30, 30, 34);
    // Far wing foreshortened, near wing at full length.
    for (const auto &[side, reach] : {std::pair{-1.0, 0.4}, std::pair{1.0, 0.5}}) {
        const QPainterPath wp = wing(side, reach);
        QLinearGradient g(QPointF(-0.08, 0), QPointF(0.06, 0));
        g.setColorAt(0.0, white);
        g.setColorAt(1.0, side < 0 ? scaled(shade, 0.9) : shade);
        p.fillPath(wp, g);
        QPainterPath tip;
        tip.addRect(QRectF(-0.2, side > 0 ? reach * 0.62 : -reach * 1.05, 0.4, reach * 0.43));
        p.fillPath(wp.intersected(tip), black);
    }
    QPainterPath body;
    body.moveTo(-0.34, 0.006);
    body.cubicTo(-0.3, -0.02, -0.26, -0.035, -0.2, -0.035);
    body.cubicTo(-0.05, -0.05, 0.1, -0.04, 0.17, -0.02);
    body.lineTo(0.3, 0.0);
    body.lineTo(0.17, 0.022);
    body.cubicTo(0.1, 0.045, -0.05, 0.05, -0.2, 0.035);
    body.cubicTo(-0.26, 0.03, -0.3, 0.02, -0.34, 0.006);
    body.closeSubpath();
    QLinearGradient bg(QPointF(0, -0.05), QPointF(0, 0.05));
    bg.setColorAt(0.0, white);
    bg.setColorAt(1.0, shade);
    p.fillPath(body, bg);
    // The buff-yellow head, the pale bill and the dark eye.
    QPainterPath head;
    head.addEllipse(QPointF(-0.235, 0.0), 0.05, 0.036);
    QRadialGradient hg(QPointF(-0.25, -0.01), 0.06);
    hg.setColorAt(0.0, QColor(246, 226, 160));
    hg.setColorAt(1.0, QColor(226, 200, 130));
    p.fillPath(head, hg);
    QPainterPath bill;
    bill.moveTo(-0.27, -0.01);
    bill.lineTo(-0.38, 0.006);
    bill.lineTo(-0.27, 0.016);
    bill.closeSubpath();
    p.fillPath(bill, QColor(170, 184, 196));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(20, 20, 24));
    p.drawEllipse(QPointF(-0.255, -0.006), 0.006, 0.006);
    p.restore();
}

void birdGannet(QImage &image, QRandomGenerator &rng)
{
    const double w = image.width();
    const double h = image.height();
    const int horizon = int(h * 0.72);
    const ValueNoise n(rng.generate());
    paintSky(image, horizon, {QColor(70, 124, 196), QColor(210, 224, 236), 0.4}, n);
    paintSea(image, QRect(0, horizon, image.width(), image.height() - horizon), horizon,
             {QColor(110, 150, 180), QColor(24, 70, 110)}, n, rng);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    for (int i = 0; i < 5; ++i)
        drawGannet(p, QPointF(uniform(rng, w * 0.6, w * 0.95), uniform(rng, h * 0.1, h * 0.5)),
                   uniform(rng, 30, 60), uniform(rng, -20, 20));
    drawGannet(p, QPointF(w * 0.42, h * 0.42), w * 0.66, -18);
    p.end();
    addGrain(image, n, 2.5);
}

// A puffin standing side on, facing right unless mirrored; height in pixels.
void drawPuffin(QPainter &p, const QPointF &feet, double height, bool facingLeft)
{
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    p.translate(feet);
    if (facingLeft)
        p.scale(-1, 1);
    p.scale(height / 100.0, height / 100.0);
    softEllipse(p, QPointF(0, 0), 24, 4, QColor(0, 0, 0, 90));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(240, 110, 40));
    p.drawEllipse(QPointF(-4, -2), 9, 3);
    p.drawEllipse(QPointF(8, -2), 9, 3);
    QPainterPath body;
    body.addEllipse(QPointF(0, -34), 22, 32);
    QLinearGradient back(QPointF(-22, 0), QPointF(22, 0));
    back.setColorAt(0.0, QColor(40, 40, 46));
    back.setColorAt(1.0, QColor(16, 16, 20));
    p.fillPath(body, back);
    QPainterPath belly;
    belly.addEllipse(QPointF(8, -30), 14, 26);
    p.fillPath(belly.intersected(body), QColor(246, 244, 238));
    p.setBrush(QColor(20, 20, 24));
    p.drawEllipse(QPointF(4, -74), 16, 15);
    p.setBrush(QColor(226, 226, 220));
    p.drawEllipse(QPointF(8, -74), 11, 10);
    p.setBrush(QColor(20, 20, 24));
    p.drawEllipse(QPointF(10, -76), 2.2, 2.2);
    // The striped bill.
    QPainterPath bill;
    bill.moveTo(16, -82);
    bill.quadTo(32, -78, 34, -68);
    bill.lineTo(16, -66);
    bill.closeSubpath();
    p.fillPath(bill, QColor(236, 90, 40));
    QPainterPath base;
    base.addRect(QRectF(14, -84, 6, 20));
    p.fillPath(bill.intersected(base), QColor(90, 100, 110));
    QPainterPath stripe;
    stripe.addRect(QRectF(23, -84, 2.5, 20));
    p.fillPath(bill.intersected(stripe), QColor(250, 210, 80));
    p.restore();
}

void birdPuffins(QImage &image, QRandomGenerator &rng)
{
    const double w = image.width();
    const double h = image.height();
    const int horizon = int(h * 0.42);
    const ValueNoise n(rng.generate());
    paintSky(image, horizon, {QColor(96, 146, 206), QColor(220, 230, 236), 0.45}, n);
    paintSea(image, QRect(0, horizon, image.width(), image.height() - horizon), horizon,
             {QColor(120, 160, 186), QColor(36, 90, 130)}, n, rng);
    QPainterPath rock;
    rock.moveTo(-2, h + 2);
    rock.lineTo(-2, h * 0.62);
    rock.cubicTo(w * 0.2, h * 0.5, w * 0.5, h * 0.56, w * 0.7, h * 0.6);
    rock.cubicTo(w * 0.85, h * 0.63, w * 0.95, h * 0.72, w + 2, h * 0.76);
    rock.lineTo(w + 2, h + 2);
    rock.closeSubpath();
    shadeInside(image, rock, [&](int x, int y, QRgb) {
        QColor c = mix(QColor(150, 146, 136), QColor(90, 88, 84), n.fbm(x / 20.0, y / 12.0, 5));
        // Orange and grey lichen blotches.
        c = mix(c, QColor(206, 146, 60),
                0.7 * smoothstep(0.72, 0.78, n.fbm(x / 9.0 + 30.0, y / 9.0, 4)));
        c = mix(c, QColor(200, 204, 190),
                0.5 * smoothstep(0.72, 0.78, n.fbm(x / 6.0 + 80.0, y / 6.0, 3)));
        return scaled(c, 0.9 + 0.2 * n.fbm(x / 2.0, y / 2.0, 2)).rgb();
    });
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    drawGrass(p, rng, QRectF(0, h * 0.56, w * 0.5, h * 0.08), 240, QColor(80, 110, 50),
              QColor(160, 180, 90), 4, 14);
    struct Bird
    {
        double x;
        double size;
        bool left;
    };
    std::vector<Bird> birds;
    birds.reserve(6);
    for (int i = 0; i < 6; ++i)
        birds.push_back({w * (0.08 + i * 0.15) + uniform(rng, -12, 12), uniform(rng, 62, 100),
                         chance(rng, 0.5)});
    std::sort(birds.begin(), birds.end(),
              [](const Bird &a, const Bird &b) { return a.size < b.size; });
    for (const Bird &b : birds) {
        // Stand the bird on the rock's top edge, lower for the bigger, nearer ones.
        double top = h;
        for (double y = h * 0.4; y < h; y += 1.0) {
            if (rock.contains(QPointF(b.x, y))) {
                top = y;
                break;
            }
        }
        drawPuffin(p, QPointF(b.x, top + (b.size - 62) * 1.2 + 6), b.size, b.left);
    }
    p.end();
    addGrain(image, n, 2.5);
}

void birdCormorant(QImage &image, QRandomGenerator &rng)
{
    const double w = image.width();
    const double h = image.height();
    const int horizon = int(h * 0.46);
    const ValueNoise n(rng.generate());
    paintSky(image, horizon,
             {QColor(150, 170, 200), QColor(230, 226, 216), 0.5, QColor(250, 248, 244),
              QColor(170, 172, 182)},
             n);
    paintSea(image, QRect(0, horizon, image.width(), image.height() - horizon), horizon,
             {QColor(150, 170, 184), QColor(60, 90, 110), QColor(220, 228, 232), 0.5, 0.3}, n, rng);
    const QRectF post(w * 0.42, h * 0.56, w * 0.16, h * 0.5);
    QPainterPath postPath;
    postPath.addRect(post);
    shadeInside(image, postPath, [&](int x, int y, QRgb) {
        const double across = (x - post.left()) / post.width();
        QColor c = mix(QColor(120, 96, 70), QColor(70, 54, 40), across);
        c = scaled(c, 0.8 + 0.35 * n.fbm(x / 3.0, y / 30.0, 3));
        // Green slime and barnacles low down where the tide covers it.
        c = mix(c, QColor(70, 90, 50), smoothstep(h * 0.82, h * 0.9, y) * 0.8);
        return c.rgb();
    });
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    // Droppings down the post: the bird's favourite perch.
    p.setPen(QPen(QColor(236, 236, 230, 200), 2.0));
    for (int i = 0; i < 6; ++i) {
        const double x = uniform(rng, post.left() + 3, post.right() - 3);
        p.drawLine(QPointF(x, post.top()),
                   QPointF(x + uniform(rng, -2, 2), post.top() + uniform(rng, 10, 50)));
    }
    p.translate(w * 0.5, post.top());
    const QColor dark(34, 38, 36);
    const QColor sheen(64, 84, 70);
    // Wings held out to dry: a covert area with long flight feathers fanned below it.
    for (double side : {-1.0, 1.0}) {
        for (int f = 0; f < 11; ++f) {
            const double t = f / 10.0;
            const QPointF root(side * lerp(16, 112, t), lerp(-56, -84, t * t));
            const double angle = side * lerp(10, 40, t);
            const double len = lerp(34, 44, std::sin(t * std::numbers::pi * 0.8));
            p.save();
            p.translate(root);
            p.rotate(angle);
            QLinearGradient fg(QPointF(0, 0), QPointF(0, len));
            fg.setColorAt(0.0, dark);
            fg.setColorAt(1.0, scaled(dark, 0.8));
            p.setPen(QPen(scaled(sheen, 0.9), 0.6));
            p.setBrush(fg);
            p.drawRoundedRect(QRectF(-6, -4, 12, len), 6, 6);
            p.restore();
        }
        QPainterPath coverts;
        coverts.moveTo(side * 8, -64);
        coverts.cubicTo(side * 40, -94, side * 90, -100, side * 120, -90);
        coverts.cubicTo(side * 100, -74, side * 50, -54, side * 8, -40);
        coverts.closeSubpath();
        QLinearGradient g(QPointF(0, -100), QPointF(0, -40));
        g.setColorAt(0.0, sheen);
        g.setColorAt(1.0, dark);
        p.setPen(Qt::NoPen);
        p.fillPath(coverts, g);
        // Scalloped feather edges on the coverts.
        p.setPen(QPen(withAlpha(scaled(sheen, 1.4), 90), 0.8));
        p.setBrush(Qt::NoBrush);
        for (int k = 0; k < 14; ++k) {
            const QPointF at(side * lerp(20, 110, k / 13.0), lerp(-66, -88, k / 13.0) + 8);
            p.drawArc(QRectF(at.x() - 5, at.y() - 4, 10, 8), 200 * 16, 140 * 16);
        }
    }
    QPainterPath body;
    body.moveTo(-14, -4);
    body.cubicTo(-20, -30, -16, -62, 0, -70);
    body.cubicTo(16, -62, 20, -30, 14, -4);
    body.closeSubpath();
    p.fillPath(body, dark);
    QPainterPath neck;
    neck.moveTo(-5, -66);
    neck.cubicTo(-8, -90, 6, -104, 16, -108);
    neck.lineTo(20, -100);
    neck.cubicTo(10, -96, 4, -86, 6, -66);
    neck.closeSubpath();
    p.fillPath(neck, dark);
    p.setPen(Qt::NoPen);
    p.setBrush(dark);
    p.drawEllipse(QPointF(18, -106), 8, 6);
    QPainterPath beak;
    beak.moveTo(24, -108);
    beak.lineTo(42, -104);
    beak.quadTo(44, -101, 41, -101);
    beak.lineTo(24, -102);
    beak.closeSubpath();
    p.fillPath(beak, QColor(60, 60, 56));
    p.setBrush(QColor(220, 180, 80));
    p.drawEllipse(QPointF(25, -104), 3, 2.5);
    p.setBrush(QColor(80, 160, 120));
    p.drawEllipse(QPointF(20, -108), 1.6, 1.6);
    // Feet gripping the top of the post.
    p.setPen(QPen(dark, 3.0, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(-6, -6), QPointF(-10, 2));
    p.drawLine(QPointF(6, -6), QPointF(10, 2));
    p.end();
    addGrain(image, n, 2.5);
}

void birdSunsetFlock(QImage &image, QRandomGenerator &rng)
{
    const double w = image.width();
    const double h = image.height();
    const int horizon = int(h * 0.64);
    const ValueNoise n(rng.generate());
    paintSky(image, horizon,
             {QColor(60, 60, 120), QColor(250, 160, 90), 0.35, QColor(255, 200, 150),
              QColor(150, 90, 120), 1.3},
             n);
    paintSea(image, QRect(0, horizon, image.width(), image.height() - horizon), horizon,
             {QColor(220, 140, 100), QColor(40, 40, 80), QColor(255, 210, 150), 1.0, 0.2}, n, rng);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    const QPointF sun(w * 0.62, horizon - h * 0.08);
    sunGlow(p, sun, h * 0.7, QColor(255, 244, 210), QColor(255, 170, 80));
    // The sun's road: glints crowd into a band under it.
    for (int i = 0; i < 900; ++i) {
        const double t = std::pow(rng.generateDouble(), 1.4);
        const double y = horizon + 2 + t * (h - horizon);
        const double spread = 10 + t * 120;
        const double x = sun.x() + uniform(rng, -1, 1) * uniform(rng, 0, 1) * spread;
        const double len = 2 + t * uniform(rng, 4, 16);
        p.setPen(QPen(QColor(255, 220, 160, int(uniform(rng, 60, 200))), 0.6 + t * 1.2));
        p.drawLine(QPointF(x - len / 2, y), QPointF(x + len / 2, y));
    }
    fillVertical(p, ridgePath(-2, w * 0.3, horizon - 14, 10, 70, n, 3, horizon + 1),
                 QColor(60, 40, 70), QColor(70, 50, 70));
    // A loose skein heading home, the leaders higher.
    const QPointF lead(w * 0.28, h * 0.22);
    for (int i = 0; i < 22; ++i) {
        const double k = i / 2.0;
        const double side = i % 2 == 0 ? 1.0 : -1.0;
        const QPointF at = lead
            + QPointF(k * 22 + uniform(rng, -5, 5), side * k * 9 + k * 8 + uniform(rng, -5, 5));
        const double span = 26 - k * 0.9 + uniform(rng, -3, 3);
        p.fillPath(flyingBird(at, span, uniform(rng, -0.6, 0.9), uniform(rng, -10, 10)),
                   QColor(30, 24, 40));
    }
    p.end();
    addGrain(image, n, 2.5);
}

// ---- underwater ----------------------------------------------------------------------------

// Water from the bright surface down to the deep, with shafts of light and drifting motes;
// floorY, if inside the picture, starts a sandy bottom with light rippling over it.
void underwater(QImage &image, QRandomGenerator &rng, const ValueNoise &n, const QColor &surface,
                const QColor &deep, double floorY, const QColor &sand)
{
    const double h = image.height();
    const double w = image.width();
    forEachPixel(image, image.rect(), [&](int x, int y, QRgb &px) {
        const double t = y / h;
        QColor c = mix(surface, deep, std::pow(t, 0.8));
        c = scaled(c, 0.94 + 0.12 * n.fbm(x / 90.0, y / 60.0, 3));
        if (y > floorY) {
            const double d = clamp01((y - floorY) / (h - floorY + 1));
            QColor s = mix(scaled(sand, 0.75), sand, d);
            s = scaled(s, 0.9 + 0.2 * n.fbm(x / 3.0, y / 2.0, 2));
            // Caustics: the surface waves focus the light into a net on the sand.
            const double net = n.ridged(x / 38.0, y / 16.0, 3);
            s = mix(s, QColor(255, 255, 236), 0.45 * smoothstep(0.78, 0.95, net) * (0.4 + 0.6 * d));
            // Sand fades into the blue with distance.
            c = mix(c, s, smoothstep(0.0, 0.35, d));
        }
        px = c.rgb();
    });
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    for (int i = 0; i < 7; ++i) {
        const double x = uniform(rng, -w * 0.2, w);
        const double spread = uniform(rng, 20, 60);
        QPolygonF ray({QPointF(x, 0), QPointF(x + spread, 0),
                       QPointF(x + spread * 2.5 + h * 0.35, h), QPointF(x + h * 0.35, h)});
        QLinearGradient g(QPointF(0, 0), QPointF(0, h));
        g.setColorAt(0.0, QColor(255, 255, 255, 50));
        g.setColorAt(1.0, QColor(255, 255, 255, 0));
        p.setPen(Qt::NoPen);
        p.setBrush(g);
        p.drawPolygon(ray);
    }
    for (int i = 0; i < 120; ++i) {
        const QPointF c(uniform(rng, 0, w), uniform(rng, 0, h));
        p.setBrush(QColor(230, 240, 240, int(uniform(rng, 30, 120))));
        const double r = uniform(rng, 0.4, 1.4);
        p.drawEllipse(c, r, r);
    }
}

struct FishStyle
{
    QColor back;
    QColor belly;
    QColor fin;
    double depth = 0.26; // body height as a share of the length
    bool bars = false;   // dark wavy bars on the back, as on a mackerel
    bool spots = false;
    QColor spot = QColor(230, 120, 40);
};

// A fish side on, facing right before the transform; length in pixels.
void drawFish(QPainter &p, const QPointF &centre, double length, double angle, bool facingLeft,
              const FishStyle &s, QRandomGenerator &rng)
{
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    p.translate(centre);
    p.rotate(angle);
    if (facingLeft)
        p.scale(-1, 1);
    p.scale(length, length);
    const double d = s.depth;

    QPainterPath body;
    body.moveTo(0.5, 0.01);
    body.cubicTo(0.44, -d * 0.75, 0.1, -d * 0.72, -0.3, -d * 0.22);
    body.lineTo(-0.38, -0.045);
    body.lineTo(-0.38, 0.045);
    body.lineTo(-0.3, d * 0.2);
    body.cubicTo(0.1, d * 0.7, 0.42, d * 0.6, 0.5, 0.01);
    body.closeSubpath();
    QPainterPath tail;
    tail.moveTo(-0.36, -0.03);
    tail.cubicTo(-0.44, -0.08, -0.5, -d * 0.6, -0.56, -d * 0.75);
    tail.quadTo(-0.5, 0, -0.56, d * 0.75);
    tail.cubicTo(-0.5, d * 0.6, -0.44, 0.08, -0.36, 0.03);
    tail.closeSubpath();
    QPainterPath dorsal;
    dorsal.moveTo(0.12, -d * 0.66);
    dorsal.cubicTo(0.08, -d * 1.0, 0.0, -d * 0.98, -0.06, -d * 0.56);
    dorsal.closeSubpath();
    QPainterPath second;
    second.moveTo(-0.14, -d * 0.42);
    second.lineTo(-0.19, -d * 0.6);
    second.lineTo(-0.24, -d * 0.3);
    second.closeSubpath();
    QPainterPath anal;
    anal.moveTo(-0.1, d * 0.44);
    anal.lineTo(-0.17, d * 0.62);
    anal.lineTo(-0.23, d * 0.3);
    anal.closeSubpath();
    QPainterPath pectoral;
    pectoral.moveTo(0.26, d * 0.12);
    pectoral.cubicTo(0.2, d * 0.3, 0.1, d * 0.45, 0.06, d * 0.42);
    pectoral.cubicTo(0.12, d * 0.28, 0.18, d * 0.15, 0.26, d * 0.08);
    pectoral.closeSubpath();

    QLinearGradient fin(QPointF(0, -d), QPointF(0, d));
    fin.setColorAt(0.0, withAlpha(s.fin, 230));
    fin.setColorAt(1.0, withAlpha(scaled(s.fin, 0.8), 200));
    for (const QPainterPath *f : {&tail, &dorsal, &second, &anal})
        p.fillPath(*f, fin);
    // Fin rays.
    QPen ray(withAlpha(scaled(s.fin, 0.6), 160), 0.004);
    p.setPen(ray);
    for (int i = 0; i < 7; ++i) {
        const double t = (i + 0.5) / 7.0;
        p.drawLine(QPointF(-0.37, 0), QPointF(-0.55, lerp(-d * 0.7, d * 0.7, t)));
    }

    QLinearGradient g(QPointF(0, -d * 0.6), QPointF(0, d * 0.6));
    g.setColorAt(0.0, scaled(s.back, 0.8));
    g.setColorAt(0.35, s.back);
    g.setColorAt(0.55, mix(s.back, s.belly, 0.7));
    g.setColorAt(1.0, s.belly);
    p.fillPath(body, g);

    p.save();
    p.setClipPath(body);
    if (s.bars) {
        p.setPen(QPen(scaled(s.back, 0.4), 0.014));
        for (double x = -0.3; x < 0.36; x += 0.045) {
            QPainterPath bar;
            bar.moveTo(x, -d * 0.8);
            bar.cubicTo(x + 0.03, -d * 0.5, x - 0.03, -d * 0.3, x + 0.01, -d * 0.06);
            p.drawPath(bar);
        }
    }
    if (s.spots) {
        p.setPen(Qt::NoPen);
        p.setBrush(s.spot);
        for (int i = 0; i < 14; ++i)
            p.drawEllipse(QPointF(uniform(rng, -0.3, 0.3), uniform(rng, -d * 0.4, d * 0.3)), 0.018,
                          0.018);
    }
    // Scales: overlapping arcs in offset rows, catching the light.
    p.setPen(QPen(QColor(255, 255, 255, 46), 0.004));
    p.setBrush(Qt::NoBrush);
    const double step = 0.028;
    int row = 0;
    for (double y = -d * 0.7; y < d * 0.7; y += step * 0.7, ++row) {
        for (double x = -0.34 + (row % 2) * step * 0.5; x < 0.3; x += step)
            p.drawArc(QRectF(x - step / 2, y - step / 2, step, step), -90 * 16, 180 * 16);
    }
    // The lateral line and a soft highlight along the flank.
    p.setPen(QPen(withAlpha(scaled(s.back, 0.5), 140), 0.006));
    QPainterPath lateral;
    lateral.moveTo(0.3, -d * 0.2);
    lateral.quadTo(0.0, -d * 0.32, -0.36, -0.01);
    p.drawPath(lateral);
    QLinearGradient shine(QPointF(0, -d * 0.3), QPointF(0, d * 0.1));
    shine.setColorAt(0.0, QColor(255, 255, 255, 0));
    shine.setColorAt(0.5, QColor(255, 255, 255, 50));
    shine.setColorAt(1.0, QColor(255, 255, 255, 0));
    p.fillRect(QRectF(-0.4, -d * 0.3, 0.9, d * 0.4), shine);
    p.restore();

    p.fillPath(pectoral, withAlpha(scaled(s.fin, 1.1), 200));
    // Gill cover, eye and mouth.
    p.setPen(QPen(withAlpha(scaled(s.back, 0.5), 150), 0.007));
    p.setBrush(Qt::NoBrush);
    QPainterPath gill;
    gill.moveTo(0.3, -d * 0.45);
    gill.quadTo(0.24, 0.0, 0.3, d * 0.42);
    p.drawPath(gill);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(240, 236, 210));
    p.drawEllipse(QPointF(0.4, -d * 0.16), 0.034, 0.034);
    p.setBrush(QColor(10, 10, 14));
    p.drawEllipse(QPointF(0.405, -d * 0.16), 0.021, 0.021);
    p.setBrush(QColor(255, 255, 255, 220));
    p.drawEllipse(QPointF(0.397, -d * 0.175), 0.007, 0.007);
    p.setPen(QPen(withAlpha(scaled(s.back, 0.4), 180), 0.006));
    p.drawLine(QPointF(0.5, 0.01), QPointF(0.44, 0.03));
    p.restore();
}

const FishStyle mackerel{
    QColor(40, 110, 120), QColor(236, 238, 236), QColor(70, 110, 120), 0.24, true, false};
const FishStyle pollack{
    QColor(90, 96, 70), QColor(226, 226, 210), QColor(110, 110, 90), 0.26, false, false};
const FishStyle herring{
    QColor(60, 96, 140), QColor(236, 240, 244), QColor(150, 170, 190), 0.22, false, false};
const FishStyle wrasse{
    QColor(170, 90, 40), QColor(230, 190, 120), QColor(80, 140, 120), 0.32, false, true,
    QColor(60, 150, 140)};

void fishSingle(QImage &image, QRandomGenerator &rng)
{
    const double w = image.width();
    const double h = image.height();
    const ValueNoise n(rng.generate());
    underwater(image, rng, n, QColor(90, 170, 200), QColor(10, 50, 90), h * 0.86,
               QColor(190, 180, 140));
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    drawFish(p, QPointF(w * 0.8, h * 0.25), 60, 5, true, mackerel, rng);
    drawFish(p, QPointF(w * 0.14, h * 0.7), 46, -4, false, mackerel, rng);
    softEllipse(p, QPointF(w * 0.5, h * 0.95), w * 0.3, 10, QColor(0, 20, 40, 80));
    drawFish(p, QPointF(w * 0.5, h * 0.5), w * 0.72, -4, false, mackerel, rng);
    p.end();
    addGrain(image, n, 2.0);
}

void fishSchool(QImage &image, QRandomGenerator &rng)
{
    const double w = image.width();
    const double h = image.height();
    const ValueNoise n(rng.generate());
    underwater(image, rng, n, QColor(80, 160, 196), QColor(10, 40, 80), h * 2.0, QColor(0, 0, 0));
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    // The shoal swims along a curve; the fish further off are smaller and bluer.
    QPainterPath path;
    path.moveTo(-w * 0.1, h * 0.7);
    path.cubicTo(w * 0.3, h * 0.9, w * 0.6, h * 0.1, w * 1.1, h * 0.35);
    struct Member
    {
        QPointF at;
        double size;
        double angle;
        double depth;
    };
    std::vector<Member> shoal;
    for (int i = 0; i < 90; ++i) {
        const double t = uniform(rng, 0.02, 0.98);
        const double depth = rng.generateDouble();
        const QPointF at =
            path.pointAtPercent(t) + QPointF(uniform(rng, -40, 40), uniform(rng, -55, 55));
        shoal.push_back(
            {at, lerp(50, 20, depth), -path.angleAtPercent(t) + uniform(rng, -8, 8), depth});
    }
    std::sort(shoal.begin(), shoal.end(),
              [](const Member &a, const Member &b) { return a.depth > b.depth; });
    for (const Member &m : shoal) {
        FishStyle s = herring;
        s.back = mix(herring.back, QColor(40, 90, 130), m.depth * 0.7);
        s.belly = mix(herring.belly, QColor(90, 150, 180), m.depth * 0.7);
        drawFish(p, m.at, m.size, m.angle, false, s, rng);
    }
    p.end();
    addGrain(image, n, 2.0);
}

void fishFlatfish(QImage &image, QRandomGenerator &rng)
{
    const double w = image.width();
    const double h = image.height();
    const ValueNoise n(rng.generate());
    // Looking straight down on to rippled sand.
    forEachPixel(image, image.rect(), [&](int x, int y, QRgb &px) {
        const double warp = n.fbm(x / 80.0, y / 80.0, 3) * 12.0;
        const double ripple = std::sin((x * 0.3 + y + warp * 3.0) / 6.0);
        QColor c = scaled(QColor(196, 180, 140), 0.9 + 0.08 * ripple);
        c = scaled(c, 0.88 + 0.22 * n.fbm(x / 2.0, y / 2.0, 2));
        const double net = n.ridged(x / 40.0, y / 40.0, 3);
        c = mix(c, QColor(250, 246, 220), 0.35 * smoothstep(0.8, 0.95, net));
        px = mix(c, QColor(60, 110, 130), 0.25).rgb();
    });
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    for (int i = 0; i < 14; ++i) {
        const QPointF c(uniform(rng, 0, w), uniform(rng, 0, h));
        const double r = uniform(rng, 3, 7);
        p.save();
        p.translate(c);
        p.rotate(uniform(rng, 0, 360));
        p.setPen(QPen(QColor(150, 130, 110), 0.6));
        p.setBrush(QColor(236, 226, 210));
        p.drawChord(QRectF(-r, -r, 2 * r, 2 * r), 0, 180 * 16);
        for (int k = 1; k < 5; ++k)
            p.drawLine(QPointF(0, 0), QPointF(std::cos(k * 0.6) * r, -std::sin(k * 0.6) * r));
        p.restore();
    }
    // The plaice: an oval body fringed with fins, eyes on the upper side, orange spots.
    p.save();
    p.translate(w * 0.5, h * 0.52);
    p.rotate(-14);
    softEllipse(p, QPointF(6, 8), w * 0.36, h * 0.3, QColor(40, 30, 10, 90));
    const double bl = w * 0.3;
    const double bh = h * 0.24;
    QPainterPath fringe;
    fringe.addEllipse(QPointF(0, 0), bl * 1.04, bh * 1.22);
    p.fillPath(fringe, QColor(150, 122, 88));
    p.setPen(QPen(QColor(120, 96, 70), 0.8));
    for (int i = 0; i < 60; ++i) {
        const double a = i * 2 * std::numbers::pi / 60;
        p.drawLine(QPointF(std::cos(a) * bl * 0.9, std::sin(a) * bh * 0.9),
                   QPointF(std::cos(a) * bl * 1.03, std::sin(a) * bh * 1.2));
    }
    QPainterPath body;
    body.addEllipse(QPointF(0, 0), bl * 0.92, bh * 0.95);
    QRadialGradient g(QPointF(-bl * 0.2, -bh * 0.3), bl);
    g.setColorAt(0.0, QColor(176, 150, 110));
    g.setColorAt(1.0, QColor(120, 100, 74));
    p.fillPath(body, g);
    QPainterPath tail;
    tail.moveTo(-bl * 0.9, 0);
    tail.lineTo(-bl * 1.28, -bh * 0.45);
    tail.quadTo(-bl * 1.2, 0, -bl * 1.28, bh * 0.45);
    tail.closeSubpath();
    p.fillPath(tail, QColor(140, 114, 82));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(226, 110, 40));
    for (int i = 0; i < 16; ++i) {
        const double a = uniform(rng, 0, 2 * std::numbers::pi);
        const double r = std::sqrt(rng.generateDouble()) * 0.8;
        p.drawEllipse(QPointF(std::cos(a) * bl * r, std::sin(a) * bh * r), 4.0, 3.6);
    }
    // A dusting of sand over the edges: it has just settled.
    for (int i = 0; i < 300; ++i) {
        const double a = uniform(rng, 0, 2 * std::numbers::pi);
        const double r = uniform(rng, 0.75, 1.15);
        p.setBrush(QColor(206, 190, 150, 150));
        p.drawEllipse(QPointF(std::cos(a) * bl * r, std::sin(a) * bh * r * 1.1), 1.6, 1.6);
    }
    p.setBrush(QColor(60, 50, 36));
    p.drawEllipse(QPointF(bl * 0.62, -bh * 0.22), 4.0, 4.0);
    p.drawEllipse(QPointF(bl * 0.7, -bh * 0.02), 3.6, 3.6);
    p.setBrush(QColor(250, 240, 200));
    p.drawEllipse(QPointF(bl * 0.61, -bh * 0.24), 1.2, 1.2);
    p.drawEllipse(QPointF(bl * 0.69, -bh * 0.04), 1.1, 1.1);
    p.restore();
    p.end();
    addGrain(image, n, 2.0);
}

void drawKelp(QPainter &p, const QPointF &holdfast, double height, double sway, const QColor &color)
{
    QPainterPath stipe;
    stipe.moveTo(holdfast);
    const QPointF top = holdfast + QPointF(sway, -height);
    stipe.cubicTo(holdfast + QPointF(sway * 0.1 + 10, -height * 0.3),
                  holdfast + QPointF(sway * 0.8 - 10, -height * 0.7), top);
    // The frond: a long ribbon that widens and ripples.
    QPolygonF left;
    QPolygonF right;
    for (int i = 0; i <= 60; ++i) {
        const double t = i / 60.0;
        const QPointF at = stipe.pointAtPercent(t);
        const double width = 3 + 14 * std::sin(t * std::numbers::pi) * (0.4 + 0.6 * t);
        const double wave = std::sin(t * 22.0 + sway) * 3.0;
        left << at + QPointF(-width + wave, 0);
        right << at + QPointF(width + wave, 0);
    }
    QPolygonF ribbon = left;
    for (auto it = right.crbegin(); it != right.crend(); ++it)
        ribbon << *it;
    QLinearGradient g(holdfast + QPointF(-16, 0), holdfast + QPointF(16, 0));
    g.setColorAt(0.0, scaled(color, 1.2));
    g.setColorAt(1.0, scaled(color, 0.7));
    p.setPen(QPen(scaled(color, 0.6), 0.8));
    p.setBrush(g);
    p.drawPolygon(ribbon);
    p.setPen(QPen(withAlpha(scaled(color, 1.4), 120), 1.0));
    p.setBrush(Qt::NoBrush);
    p.drawPath(stipe);
}

void drawRockMound(QImage &image, const QPainterPath &outline, const ValueNoise &n,
                   const QColor &light, const QColor &dark)
{
    const QRectF box = outline.boundingRect();
    shadeInside(image, outline, [&](int x, int y, QRgb) {
        const double t = clamp01((y - box.top()) / std::max(1.0, box.height()));
        QColor c = mix(light, dark, t * 0.8 + 0.2 * n.fbm(x / 14.0, y / 10.0, 4));
        return scaled(c, 0.85 + 0.3 * n.fbm(x / 3.0, y / 3.0, 2)).rgb();
    });
}

QPainterPath moundPath(const QPointF &foot, double width, double height, const ValueNoise &n,
                       double seed)
{
    QPainterPath path;
    path.moveTo(foot.x() - width / 2, foot.y());
    for (int i = 0; i <= 40; ++i) {
        const double t = i / 40.0;
        const double x = foot.x() - width / 2 + t * width;
        const double y = foot.y()
            - height * std::pow(std::sin(t * std::numbers::pi), 0.7)
                * (0.8 + 0.4 * n.at(t * 6.0, seed));
        path.lineTo(x, y);
    }
    path.closeSubpath();
    return path;
}

void fishKelp(QImage &image, QRandomGenerator &rng)
{
    const double w = image.width();
    const double h = image.height();
    const ValueNoise n(rng.generate());
    underwater(image, rng, n, QColor(80, 160, 150), QColor(10, 50, 60), h * 0.84,
               QColor(150, 150, 120));
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    // Far kelp first, hazy with distance, then the fish, then the near fronds over them.
    for (int i = 0; i < 10; ++i)
        drawKelp(p, QPointF(uniform(rng, 0, w), h * 0.86), uniform(rng, h * 0.5, h * 0.8),
                 uniform(rng, -40, 40), QColor(80, 110, 70));
    p.fillRect(image.rect(), QColor(30, 100, 110, 70));
    p.end();
    for (int i = 0; i < 3; ++i) {
        const QPainterPath mound =
            moundPath(QPointF(uniform(rng, 0, w), h + 2), uniform(rng, 160, 260),
                      uniform(rng, 40, 80), n, i * 7.0);
        drawRockMound(image, mound, n, QColor(120, 120, 100), QColor(50, 56, 50));
    }
    p.begin(&image);
    p.setRenderHint(QPainter::Antialiasing);
    drawFish(p, QPointF(w * 0.3, h * 0.45), 170, -3, false, wrasse, rng);
    drawFish(p, QPointF(w * 0.7, h * 0.3), 200, 6, true, pollack, rng);
    drawFish(p, QPointF(w * 0.62, h * 0.66), 110, -8, false, wrasse, rng);
    for (int i = 0; i < 5; ++i)
        drawKelp(p, QPointF(uniform(rng, 0, w), h + 4), uniform(rng, h * 0.7, h * 1.05),
                 uniform(rng, -60, 60), QColor(120, 120, 50));
    p.end();
    addGrain(image, n, 2.0);
}

// ---- marine life ---------------------------------------------------------------------------

void drawSeaStar(QPainter &p, const QPointF &c, double r, double turn, const QColor &color,
                 QRandomGenerator &rng)
{
    QPainterPath star;
    for (int i = 0; i < 10; ++i) {
        const double a = (turn + i * 36.0) * std::numbers::pi / 180.0;
        const double rr =
            (i % 2 == 0 ? r : r * 0.36) * (i % 2 == 0 ? uniform(rng, 0.88, 1.05) : 1.0);
        const QPointF pt = c + QPointF(std::cos(a) * rr, std::sin(a) * rr);
        if (i == 0)
            star.moveTo(pt);
        else
            star.quadTo(c + QPointF(std::cos(a - 0.3) * rr * 0.9, std::sin(a - 0.3) * rr * 0.9),
                        pt);
    }
    star.closeSubpath();
    softEllipse(p, c + QPointF(r * 0.15, r * 0.2), r * 1.1, r * 0.8, QColor(0, 0, 0, 70));
    QRadialGradient g(c - QPointF(r * 0.2, r * 0.2), r * 1.2);
    g.setColorAt(0.0, scaled(color, 1.25));
    g.setColorAt(1.0, scaled(color, 0.7));
    p.setPen(QPen(scaled(color, 0.55), 0.8));
    p.setBrush(g);
    p.drawPath(star);
    // The knobbly upper surface.
    p.setPen(Qt::NoPen);
    p.setBrush(withAlpha(scaled(color, 1.45), 200));
    for (int arm = 0; arm < 5; ++arm) {
        const double a = (turn + arm * 72.0) * std::numbers::pi / 180.0;
        for (double t = 0.15; t < 0.85; t += 0.14)
            p.drawEllipse(c + QPointF(std::cos(a) * r * t, std::sin(a) * r * t), r * 0.045,
                          r * 0.045);
    }
}

void drawCoral(QPainter &p, const QPointF &base, double length, double angle, int depth,
               const QColor &color, QRandomGenerator &rng)
{
    const double a = angle * std::numbers::pi / 180.0;
    const QPointF tip = base + QPointF(std::sin(a) * length, -std::cos(a) * length);
    p.setPen(
        QPen(scaled(color, 0.75 + depth * 0.06), 2.0 + depth * 1.5, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(base, tip);
    if (depth == 0) {
        p.setPen(Qt::NoPen);
        p.setBrush(scaled(color, 1.25));
        p.drawEllipse(tip, 2.6, 2.6);
        return;
    }
    const int branches = depth > 3 ? 2 : between(rng, 2, 3);
    for (int i = 0; i < branches; ++i)
        drawCoral(p, tip, length * uniform(rng, 0.62, 0.82), angle + uniform(rng, -34, 34),
                  depth - 1, color, rng);
}

void drawBrainCoral(QImage &image, const QPointF &c, double rx, double ry, const ValueNoise &n,
                    const QColor &color)
{
    QPainterPath dome;
    dome.moveTo(c.x() - rx, c.y());
    dome.arcTo(QRectF(c.x() - rx, c.y() - ry, 2 * rx, 2 * ry), 180, -180);
    dome.closeSubpath();
    shadeInside(image, dome, [&](int x, int y, QRgb) {
        const double grooves = n.ridged(x / 9.0, y / 7.0, 2);
        const double shade =
            1.15 - 0.5 * clamp01((y - (c.y() - ry)) / ry) - 0.25 * clamp01((x - c.x()) / rx);
        QColor col = scaled(color, shade * (0.75 + 0.4 * smoothstep(0.6, 0.9, grooves)));
        return col.rgb();
    });
}

void marineCoral(QImage &image, QRandomGenerator &rng)
{
    const double w = image.width();
    const double h = image.height();
    const ValueNoise n(rng.generate());
    underwater(image, rng, n, QColor(70, 170, 210), QColor(20, 80, 130), h * 0.62,
               QColor(230, 216, 170));
    drawBrainCoral(image, QPointF(w * 0.78, h * 0.8), 80, 56, n, QColor(200, 170, 110));
    drawBrainCoral(image, QPointF(w * 0.12, h * 0.74), 54, 40, n, QColor(170, 150, 120));
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    const std::array<QColor, 4> corals = {QColor(240, 120, 120), QColor(250, 170, 90),
                                          QColor(200, 110, 190), QColor(230, 210, 120)};
    // Sea fans behind: a fine net of branches spread flat across the current.
    for (int i = 0; i < 3; ++i) {
        const QPointF base(uniform(rng, w * 0.1, w * 0.9), h * 0.66 + uniform(rng, 0, 12));
        const double r = uniform(rng, 60, 100);
        const QColor fan = i % 2 == 0 ? QColor(180, 80, 140, 200) : QColor(230, 150, 80, 200);
        p.setPen(QPen(fan, 1.0));
        for (int k = 0; k < 40; ++k) {
            const double a = lerp(-1.1, 1.1, k / 39.0) + uniform(rng, -0.04, 0.04);
            QPainterPath rib;
            rib.moveTo(base);
            rib.quadTo(base + QPointF(std::sin(a) * r * 0.4, -r * 0.5),
                       base + QPointF(std::sin(a) * r, -std::cos(a) * r * 0.9));
            p.drawPath(rib);
        }
        for (double rr = 0.3; rr < 1.0; rr += 0.1)
            p.drawArc(
                QRectF(base.x() - r * rr, base.y() - r * rr * 0.9, 2 * r * rr, 2 * r * rr * 0.9),
                25 * 16, 130 * 16);
    }
    for (int i = 0; i < 14; ++i) {
        const QPointF base(uniform(rng, w * 0.02, w * 0.98), uniform(rng, h * 0.68, h * 0.97));
        const double size = lerp(16, 36, (base.y() - h * 0.68) / (h * 0.29));
        drawCoral(p, base, size, uniform(rng, -12, 12), 5, corals[std::size_t(rng.bounded(4))],
                  rng);
    }
    for (int i = 0; i < 4; ++i) {
        const QPointF at(uniform(rng, w * 0.1, w * 0.9), uniform(rng, h * 0.78, h * 0.96));
        drawSeaStar(p, at, uniform(rng, 18, 32), uniform(rng, 0, 72),
                    i % 2 == 0 ? QColor(230, 90, 50) : QColor(200, 60, 90), rng);
    }
    // A few small fish over the reef.
    for (int i = 0; i < 5; ++i)
        drawFish(p, QPointF(uniform(rng, w * 0.1, w * 0.9), uniform(rng, h * 0.2, h * 0.55)),
                 uniform(rng, 24, 40), uniform(rng, -10, 10), chance(rng, 0.5), wrasse, rng);
    p.end();
    addGrain(image, n, 2.0);
}

void drawJellyfish(QPainter &p, const QPointF &c, double r, const QColor &tint,
                   QRandomGenerator &rng)
{
    // Trailing tentacles first so the bell sits over them.
    for (int i = 0; i < 9; ++i) {
        const double x = c.x() + lerp(-r * 0.8, r * 0.8, i / 8.0);
        QPainterPath t;
        t.moveTo(x, c.y());
        const double len = r * uniform(rng, 2.0, 3.6);
        const double phase = uniform(rng, 0, 6);
        for (double s = 0; s <= len; s += 3)
            t.lineTo(x + std::sin(s / (r * 0.35) + phase) * r * 0.15 * (s / len + 0.2), c.y() + s);
        p.setPen(QPen(withAlpha(tint, int(lerp(150, 60, i % 3 / 2.0))), 1.0));
        p.setBrush(Qt::NoBrush);
        p.drawPath(t);
    }
    // Frilly oral arms in the middle.
    for (int k = 0; k < 4; ++k) {
        QPainterPath arm;
        const double x = c.x() + lerp(-r * 0.3, r * 0.3, k / 3.0);
        arm.moveTo(x, c.y());
        arm.cubicTo(x + r * 0.3, c.y() + r * 0.6, x - r * 0.3, c.y() + r * 1.0,
                    x + uniform(rng, -r * 0.2, r * 0.2), c.y() + r * 1.5);
        p.setPen(QPen(withAlpha(scaled(tint, 1.1), 130), r * 0.1, Qt::SolidLine, Qt::RoundCap));
        p.drawPath(arm);
    }
    QPainterPath bell;
    bell.moveTo(c.x() - r, c.y());
    bell.cubicTo(c.x() - r, c.y() - r * 1.15, c.x() + r, c.y() - r * 1.15, c.x() + r, c.y());
    for (int i = 0; i <= 10; ++i) {
        const double x = c.x() + r - i * r * 0.2;
        bell.quadTo(x + r * 0.1, c.y() + r * 0.14, x - r * 0.2 + r * 0.2, c.y());
    }
    bell.closeSubpath();
    QRadialGradient g(c - QPointF(r * 0.2, r * 0.5), r * 1.3);
    g.setColorAt(0.0, withAlpha(QColor(255, 255, 255), 200));
    g.setColorAt(0.3, withAlpha(tint, 150));
    g.setColorAt(1.0, withAlpha(scaled(tint, 0.7), 90));
    p.setPen(QPen(withAlpha(scaled(tint, 1.3), 180), 1.0));
    p.setBrush(g);
    p.drawPath(bell);
    // The four pale gonad rings seen through the bell.
    p.setPen(QPen(withAlpha(QColor(255, 230, 240), 140), r * 0.06));
    p.setBrush(Qt::NoBrush);
    for (int k = 0; k < 4; ++k)
        p.drawEllipse(QPointF(c.x() + lerp(-r * 0.45, r * 0.45, k / 3.0), c.y() - r * 0.35),
                      r * 0.13, r * 0.1);
}

void marineJellyfish(QImage &image, QRandomGenerator &rng)
{
    const double w = image.width();
    const double h = image.height();
    const ValueNoise n(rng.generate());
    underwater(image, rng, n, QColor(40, 120, 170), QColor(4, 20, 50), h * 2.0, QColor(0, 0, 0));
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    drawJellyfish(p, QPointF(w * 0.25, h * 0.62), 22, QColor(200, 170, 230), rng);
    drawJellyfish(p, QPointF(w * 0.78, h * 0.44), 30, QColor(230, 160, 200), rng);
    drawJellyfish(p, QPointF(w * 0.45, h * 0.22), 52, QColor(220, 180, 240), rng);
    p.end();
    addGrain(image, n, 2.0);
}

void drawUrchin(QPainter &p, const QPointF &c, double r, QRandomGenerator &rng)
{
    p.setPen(QPen(QColor(90, 40, 90), 1.0));
    for (int i = 0; i < 70; ++i) {
        const double a = uniform(rng, 0, 2 * std::numbers::pi);
        const double len = r * uniform(rng, 1.2, 1.7);
        p.drawLine(c, c + QPointF(std::cos(a) * len, std::sin(a) * len));
    }
    QRadialGradient g(c - QPointF(r * 0.3, r * 0.3), r);
    g.setColorAt(0.0, QColor(170, 90, 170));
    g.setColorAt(1.0, QColor(70, 30, 70));
    p.setPen(Qt::NoPen);
    p.setBrush(g);
    p.drawEllipse(c, r, r);
}

void drawAnemoneFromAbove(QPainter &p, const QPointF &c, double r, const QColor &color)
{
    p.setPen(QPen(scaled(color, 1.2), r * 0.12, Qt::SolidLine, Qt::RoundCap));
    for (int i = 0; i < 24; ++i) {
        const double a = i * 2 * std::numbers::pi / 24;
        p.drawLine(c + QPointF(std::cos(a), std::sin(a)) * r * 0.4,
                   c + QPointF(std::cos(a + 0.2), std::sin(a + 0.2)) * r);
    }
    QRadialGradient g(c, r * 0.5);
    g.setColorAt(0.0, scaled(color, 0.6));
    g.setColorAt(1.0, color);
    p.setPen(Qt::NoPen);
    p.setBrush(g);
    p.drawEllipse(c, r * 0.45, r * 0.45);
}

void marineRockPool(QImage &image, QRandomGenerator &rng)
{
    const double w = image.width();
    const double h = image.height();
    const ValueNoise n(rng.generate());
    // Looking down into a pool: rock all round, clear water over a pale floor in the middle.
    forEachPixel(image, image.rect(), [&](int x, int y, QRgb &px) {
        const double dx = (x - w * 0.5) / (w * 0.46);
        const double dy = (y - h * 0.52) / (h * 0.42);
        const double edge =
            std::sqrt(dx * dx + dy * dy) + (n.fbm(x / 50.0, y / 50.0, 4) - 0.5) * 0.5;
        QColor rock = mix(QColor(130, 120, 104), QColor(70, 64, 58), n.fbm(x / 16.0, y / 16.0, 4));
        rock = mix(rock, QColor(110, 100, 40),
                   0.7 * smoothstep(0.6, 0.68, n.fbm(x / 20.0 + 40.0, y / 20.0, 3)));
        QColor floor =
            mix(QColor(200, 196, 170), QColor(120, 130, 110), n.fbm(x / 10.0, y / 10.0, 3));
        const double net = n.ridged(x / 30.0, y / 30.0, 3);
        floor = mix(floor, QColor(255, 255, 230), 0.4 * smoothstep(0.8, 0.95, net));
        floor = mix(floor, QColor(60, 140, 150), 0.3 + 0.3 * smoothstep(0.4, 1.0, edge));
        const double inside = 1.0 - smoothstep(0.92, 1.0, edge);
        QColor c = mix(rock, floor, inside);
        // The drop-off at the rim throws a shadow into the water.
        c = scaled(c, 1.0 - 0.35 * inside * smoothstep(0.75, 0.95, edge));
        px = c.rgb();
    });
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    drawSeaStar(p, QPointF(w * 0.36, h * 0.56), 42, 12, QColor(220, 100, 60), rng);
    drawSeaStar(p, QPointF(w * 0.66, h * 0.38), 30, 40, QColor(150, 60, 120), rng);
    drawUrchin(p, QPointF(w * 0.58, h * 0.66), 16, rng);
    drawUrchin(p, QPointF(w * 0.24, h * 0.36), 11, rng);
    drawAnemoneFromAbove(p, QPointF(w * 0.76, h * 0.6), 16, QColor(200, 40, 50));
    drawAnemoneFromAbove(p, QPointF(w * 0.46, h * 0.3), 12, QColor(210, 60, 60));
    drawAnemoneFromAbove(p, QPointF(w * 0.18, h * 0.62), 10, QColor(90, 170, 110));
    // The sky reflected on the surface.
    softEllipse(p, QPointF(w * 0.36, h * 0.34), w * 0.24, h * 0.1, QColor(255, 255, 255, 46));
    p.end();
    addGrain(image, n, 2.0);
}

void drawAnemone(QPainter &p, const QPointF &foot, double height, const QColor &color,
                 QRandomGenerator &rng)
{
    const double width = height * 0.5;
    QPainterPath column;
    column.moveTo(foot + QPointF(-width * 0.55, 0));
    column.cubicTo(foot + QPointF(-width * 0.4, -height * 0.4),
                   foot + QPointF(-width * 0.5, -height * 0.8),
                   foot + QPointF(-width * 0.45, -height));
    column.lineTo(foot + QPointF(width * 0.45, -height));
    column.cubicTo(foot + QPointF(width * 0.5, -height * 0.8),
                   foot + QPointF(width * 0.4, -height * 0.4), foot + QPointF(width * 0.55, 0));
    column.closeSubpath();
    QLinearGradient g(foot + QPointF(-width, 0), foot + QPointF(width, 0));
    g.setColorAt(0.0, scaled(color, 0.7));
    g.setColorAt(0.4, scaled(color, 1.1));
    g.setColorAt(1.0, scaled(color, 0.55));
    p.fillPath(column, g);
    // A crown of tentacles, swaying with the swell.
    const QPointF crown = foot + QPointF(0, -height);
    const double sway = uniform(rng, -0.3, 0.3);
    for (int i = 0; i < 26; ++i) {
        const double t = i / 25.0;
        const double a = lerp(-1.3, 1.3, t) + sway;
        const double len = height * uniform(rng, 0.35, 0.55);
        QPainterPath tentacle;
        const QPointF start = crown + QPointF(lerp(-width * 0.45, width * 0.45, t), 0);
        tentacle.moveTo(start);
        tentacle.quadTo(start + QPointF(std::sin(a) * len * 0.5, -len * 0.6),
                        start + QPointF(std::sin(a) * len, -std::cos(a) * len));
        p.setPen(QPen(mix(scaled(color, 1.2), QColor(255, 240, 230), 0.3 * (i % 2)), height * 0.045,
                      Qt::SolidLine, Qt::RoundCap));
        p.setBrush(Qt::NoBrush);
        p.drawPath(tentacle);
    }
}

void marineAnemones(QImage &image, QRandomGenerator &rng)
{
    const double w = image.width();
    const double h = image.height();
    const ValueNoise n(rng.generate());
    underwater(image, rng, n, QColor(60, 150, 170), QColor(10, 50, 70), h * 0.75,
               QColor(160, 150, 120));
    const QPainterPath big = moundPath(QPointF(w * 0.3, h + 4), w * 0.7, h * 0.42, n, 3.0);
    const QPainterPath small = moundPath(QPointF(w * 0.85, h + 4), w * 0.4, h * 0.28, n, 9.0);
    drawRockMound(image, small, n, QColor(120, 116, 100), QColor(50, 50, 46));
    drawRockMound(image, big, n, QColor(130, 124, 104), QColor(54, 52, 46));
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    const std::array<QColor, 3> colors = {QColor(210, 60, 60), QColor(230, 140, 60),
                                          QColor(120, 180, 120)};
    for (int i = 0; i < 8; ++i) {
        const double x = uniform(rng, w * 0.05, w * 0.62);
        double top = h;
        for (double y = h * 0.4; y < h; y += 1.0) {
            if (big.contains(QPointF(x, y))) {
                top = y;
                break;
            }
        }
        drawAnemone(p, QPointF(x, top + 6), uniform(rng, 28, 54),
                    colors[std::size_t(rng.bounded(3))], rng);
    }
    for (int i = 0; i < 4; ++i)
        drawKelp(p, QPointF(uniform(rng, w * 0.65, w), h * 0.8), uniform(rng, h * 0.4, h * 0.7),
                 uniform(rng, -30, 30), QColor(100, 120, 50));
    drawSeaStar(p, QPointF(w * 0.82, h * 0.8), 22, 20, QColor(230, 120, 50), rng);
    p.end();
    addGrain(image, n, 2.0);
}

} // namespace

void paintBird(QImage &image, int number, QRandomGenerator &rng)
{
    switch (number) {
    case 1:
        birdGannet(image, rng);
        break;
    case 2:
        birdPuffins(image, rng);
        break;
    case 3:
        birdCormorant(image, rng);
        break;
    default:
        birdSunsetFlock(image, rng);
        break;
    }
}

void paintFish(QImage &image, int number, QRandomGenerator &rng)
{
    switch (number) {
    case 1:
        fishSingle(image, rng);
        break;
    case 2:
        fishSchool(image, rng);
        break;
    case 3:
        fishFlatfish(image, rng);
        break;
    default:
        fishKelp(image, rng);
        break;
    }
}

void paintMarine(QImage &image, int number, QRandomGenerator &rng)
{
    switch (number) {
    case 1:
        marineCoral(image, rng);
        break;
    case 2:
        marineJellyfish(image, rng);
        break;
    case 3:
        marineRockPool(image, rng);
        break;
    default:
        marineAnemones(image, rng);
        break;
    }
}

} // namespace tarvel::sample
