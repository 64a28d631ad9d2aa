#include "fixtures.h"

#include "collection.h"
#include "topictable.h"

#include <QBuffer>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QImageWriter>
#include <QLinearGradient>
#include <QPainter>
#include <QRandomGenerator>
#include <cstdio>

namespace bench {

namespace {

// Smooth shading, edges and grain, so that the pictures compress, and cost to decode, like
// photographs.
QImage photoLike(QSize size, quint32 seed)
{
    QRandomGenerator random(seed);
    QImage image(size, QImage::Format_RGB32);
    QPainter painter(&image);
    QLinearGradient sky(0, 0, 0, size.height());
    sky.setColorAt(0, QColor::fromHsv(int(random.bounded(360)), 120, 230));
    sky.setColorAt(1, QColor::fromHsv(int(random.bounded(360)), 160, 90));
    painter.fillRect(image.rect(), sky);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    const int shapes = 40 + size.width() * size.height() / 40000;
    for (int i = 0; i < shapes; ++i) {
        const int w = 4 + int(random.bounded(std::max(8, size.width() / 6)));
        const int h = 4 + int(random.bounded(std::max(8, size.height() / 6)));
        painter.setBrush(QColor::fromHsv(int(random.bounded(360)), int(random.bounded(256)),
                                         int(random.bounded(256)), 90 + int(random.bounded(160))));
        painter.drawEllipse(int(random.bounded(size.width())) - w / 2,
                            int(random.bounded(size.height())) - h / 2, w, h);
    }
    painter.end();
    // Grain: photographs never hold flat colour, and flat colour would hide the decoding cost.
    for (int y = 0; y < size.height(); ++y) {
        auto *line = reinterpret_cast<QRgb *>(image.scanLine(y));
        quint32 bits = random.generate();
        for (int x = 0; x < size.width(); ++x) {
            if ((x & 7) == 0)
                bits = random.generate();
            const int d = int((bits >> ((x & 7) * 4)) & 0xF) - 8;
            const QRgb p = line[x];
            line[x] = qRgb(std::clamp(qRed(p) + d, 0, 255), std::clamp(qGreen(p) + d, 0, 255),
                           std::clamp(qBlue(p) + d, 0, 255));
        }
    }
    return image;
}

bool writePicture(const QString &folder, int number, const PictureCase &c)
{
    const QString base = folder + u'/' + QString::number(number);
    // The same seed for every 6000 x 4000 case: they differ only in how they are stored.
    QBuffer jpeg;
    jpeg.open(QIODevice::WriteOnly);
    QImageWriter writer(&jpeg, "jpeg");
    writer.setQuality(85);
    writer.setProgressiveScanWrite(c.progressive);
    if (!writer.write(photoLike(c.stored(), quint32(number * 31 + 5))))
        return false;
    const QByteArray bytes = c.orientation == 1
        ? jpeg.data()
        : testdata::withExif(jpeg.data(), testdata::orientationTiff(c.orientation));
    return testdata::writeBytes(base + QStringLiteral(".jpg"), bytes)
        && testdata::writeBytes(base + QStringLiteral(".txt"),
                                testdata::descriptionBytes(QStringLiteral("Maps"), number));
}

} // namespace

std::vector<PictureCase> makePictureCases(const QString &root)
{
    std::vector<PictureCase> cases = {
        {QStringLiteral("1920 x 1080"), QStringLiteral("1920x1080"), {1920, 1080}, false, {}},
        {QStringLiteral("6000 x 4000"), QStringLiteral("6000x4000"), {6000, 4000}, false, {}},
        {QStringLiteral("6000 x 4000 progressive"),
         QStringLiteral("6000x4000p"),
         {6000, 4000},
         true,
         {}},
        {QStringLiteral("6000 x 4000 on its side, Exif orientation 6"),
         QStringLiteral("6000x4000o6"),
         {4000, 6000},
         false,
         {},
         6},
        {QStringLiteral("12000 x 8000"), QStringLiteral("12000x8000"), {12000, 8000}, false, {}},
    };
    for (PictureCase &c : cases) {
        QElapsedTimer timer;
        timer.start();
        c.collection = root + u'/' + c.id;
        const QString maps = c.collection + QStringLiteral("/Maps");
        if (!QDir().mkpath(maps) || !writePicture(maps, 1, c) || !writePicture(maps, 2, c)) {
            std::fprintf(stderr, "cannot write the %s pictures in %s\n", qPrintable(c.name),
                         qPrintable(maps));
            return {};
        }
        std::fprintf(stderr, "wrote pictures 1 and 2 of %s (%.1f MB each) in %.1f s\n",
                     qPrintable(c.name), double(QFile(c.picture()).size()) / 1e6,
                     double(timer.elapsed()) / 1000.0);
    }
    return cases;
}

bool makeUniformCollection(const QString &root, const QString &picture)
{
    for (const Topic &topic : kTopics) {
        const QString folder = folderName(QString::fromLatin1(topic.caption));
        const QString dir = root + u'/' + folder;
        if (!QDir().mkpath(dir) || !QFile::copy(picture, dir + QStringLiteral("/1.jpg"))
            || !testdata::writeBytes(dir + QStringLiteral("/1.txt"),
                                     testdata::descriptionBytes(folder, 1)))
            return false;
    }
    return true;
}

void makeSmallCollection(const QString &root)
{
    testdata::makeCollection(root, 1);
}

} // namespace bench
