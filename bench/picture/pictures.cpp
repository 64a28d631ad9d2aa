#include "picture.h"
#include "testdata.h"

#include <QBuffer>
#include <QDir>
#include <QImageWriter>
#include <QLinearGradient>
#include <QPainter>
#include <QRandomGenerator>
#include <cstdio>
#include <span>
#include <unistd.h>

namespace {

// The orientation as a camera records it: an APP1 Exif segment right after the start marker,
// holding a little-endian TIFF whose one tag (0x0112, SHORT, one value) is the orientation.
QByteArray withOrientation(const QByteArray &jpeg, int orientation)
{
    QByteArray segment("\xFF\xE1\0\x22"
                       "Exif\0\0II*\0\x08\0\0\0"
                       "\x01\0\x12\x01\x03\0\x01\0\0\0\x01\0\0\0\0\0\0\0",
                       36);
    segment[28] = char(orientation);
    return QByteArray(jpeg).insert(2, segment);
}

// Smooth shading, edges and grain, so that the pictures compress, and cost to decode, like
// photographs; a flat or merely patterned picture would hide most of the decoding cost.
QImage photoLike(QSize size, quint32 seed)
{
    QRandomGenerator random(seed);
    QImage image(size, QImage::Format_RGB32);
    QPainter painter(&image);
    QLinearGradient sky(0, 0, 0, size.height());
    sky.setColorAt(0, QColor::fromHsv(random.bounded(360), 120, 230));
    sky.setColorAt(1, QColor::fromHsv(random.bounded(360), 160, 90));
    painter.fillRect(image.rect(), sky);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    for (int i = 0; i < 40 + size.width() * size.height() / 40000; ++i) {
        const int w = 4 + random.bounded(size.width() / 6);
        const int h = 4 + random.bounded(size.height() / 6);
        painter.setBrush(QColor::fromHsv(random.bounded(360), random.bounded(256),
                                         random.bounded(256), 90 + random.bounded(160)));
        painter.drawEllipse(random.bounded(size.width()) - w / 2,
                            random.bounded(size.height()) - h / 2, w, h);
    }
    painter.end();
    // The rows lie end to end, four bytes to a pixel.
    for (QRgb &pixel : std::span(reinterpret_cast<QRgb *>(image.bits()), image.sizeInBytes() / 4)) {
        const int d = int(random.generate() & 0xF) - 8;
        const auto grain = [d](int v) { return std::clamp(v + d, 0, 255); };
        pixel = qRgb(grain(qRed(pixel)), grain(qGreen(pixel)), grain(qBlue(pixel)));
    }
    return image;
}

// Two pictures of the case, linked in turn under every number of every topic: each step
// lands on a picture of the case, and no two steps in a row on the same file.
bool writeCollection(const PictureCase &c, const QString &root)
{
    QStringList sources;
    for (quint32 seed : {36u, 67u}) {
        QBuffer jpeg;
        jpeg.open(QIODevice::WriteOnly);
        QImageWriter writer(&jpeg, "jpeg");
        writer.setQuality(85);
        writer.setProgressiveScanWrite(c.progressive);
        // Orientations 5 to 8 are stored on their side.
        if (!writer.write(photoLike(c.orientation >= 5 ? c.size.transposed() : c.size, seed)))
            return false;
        const QByteArray bytes =
            c.orientation == 1 ? jpeg.data() : withOrientation(jpeg.data(), c.orientation);
        sources << root + QStringLiteral("/%1-%2.jpg").arg(c.id).arg(seed);
        if (!testdata::writeBytes(sources.back(), bytes))
            return false;
    }
    for (const char *folder : bench::kFolders) {
        const QString dir = c.collection + u'/' + QLatin1String(folder);
        for (int n = 1; n <= kNumbers; ++n) {
            const QString base = dir + u'/' + QString::number(n),
                          jpg = base + QStringLiteral(".jpg");
            const QString &source = sources[(n - 1) % 2];
            if (!QDir().mkpath(dir)
                || (::link(QFile::encodeName(source), QFile::encodeName(jpg)) != 0
                    && !QFile::copy(source, jpg))
                || !testdata::writeBytes(base + QStringLiteral(".txt"),
                                         testdata::descriptionBytes(QLatin1String(folder), n)))
                return false;
        }
    }
    return true;
}

} // namespace

std::vector<PictureCase> makePictureCases(const QString &root)
{
    // clang-format off
    std::vector<PictureCase> cases = {
        {"1920 x 1080", "1920x1080", {1920, 1080}},
        {"6000 x 4000", "6000x4000", {6000, 4000}},
        {"6000 x 4000 progressive", "6000x4000p", {6000, 4000}, true},
        {"6000 x 4000 stored on its side (Exif orientation 6)", "6000x4000o6", {6000, 4000},
         false, 6},
        {"12000 x 8000", "12000x8000", {12000, 8000}}};
    // clang-format on
    for (PictureCase &c : cases) {
        c.collection = root + u'/' + c.id;
        const bool written = writeCollection(c, root);
        std::fprintf(stderr, "%s the %s pictures, %.1f MB each\n",
                     written ? "wrote" : "CANNOT WRITE", qPrintable(c.name),
                     double(QFile(c.picture()).size()) / 1e6);
        if (!written)
            return {};
    }
    return cases;
}
