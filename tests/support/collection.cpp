#include "collection.h"

#include "topictable.h"

#include <QBuffer>
#include <QDataStream>
#include <QDir>
#include <QFile>
#include <QImageWriter>
#include <QLinearGradient>
#include <QPainter>
#include <QRandomGenerator>

namespace testdata {

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

bool writeJpeg(const QString &path, QSize size, quint32 seed, bool progressive, int quality,
               int orientation)
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "jpeg");
    writer.setQuality(quality);
    writer.setProgressiveScanWrite(progressive);
    if (!writer.write(photoLike(size, seed)))
        return false;
    return writeBytes(path,
                      orientation == 1 ? buffer.data()
                                       : withExif(buffer.data(), orientationTiff(orientation)));
}

QByteArray orientationTiff(int orientation, bool bigEndian)
{
    QByteArray tiff;
    QDataStream out(&tiff, QIODevice::WriteOnly);
    out.setByteOrder(bigEndian ? QDataStream::BigEndian : QDataStream::LittleEndian);
    out.writeRawData(bigEndian ? "MM" : "II", 2);
    // 42, the offset of the tag list, one tag: orientation, a 16-bit number, one of them, its
    // value padded to four bytes; then no further list.
    out << quint16(42) << quint32(8) << quint16(1) << quint16(0x0112) << quint16(3) << quint32(1)
        << quint16(orientation) << quint16(0) << quint32(0);
    return tiff;
}

QByteArray withExif(const QByteArray &jpeg, const QByteArray &tiff)
{
    const QByteArray payload = QByteArray("Exif\0\0", 6) + tiff;
    const auto length = quint16(payload.size() + 2);
    const char segment[] = {'\xff', '\xe1', char(length >> 8), char(length & 0xff)};
    return jpeg.left(2) + QByteArray(segment, 4) + payload + jpeg.mid(2);
}

bool writeBytes(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

QByteArray descriptionBytes(const QString &folder, int number)
{
    return QStringLiteral("Description %1\r\nof %2\r\n").arg(number).arg(folder).toLatin1();
}

void makeTopic(const QString &root, const QString &folder, int first, int last, QSize size)
{
    QDir(root).mkpath(folder);
    for (int n = first; n <= last; ++n) {
        const QString base = root + u'/' + folder + u'/' + QString::number(n);
        // Each picture gets its own width so that a test can tell them apart by size alone.
        writeJpeg(base + QStringLiteral(".jpg"), size + QSize(n + 1, 0), quint32(n + 7));
        writeBytes(base + QStringLiteral(".txt"), descriptionBytes(folder, n));
    }
}

void makeCollection(const QString &root, int count)
{
    for (const Topic &topic : kTopics)
        makeTopic(root, folderName(QString::fromLatin1(topic.caption)), 1, count);
}

} // namespace testdata
