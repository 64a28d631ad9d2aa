#include "testdata.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>

namespace testdata {

QImage textured(QSize size, quint32 seed)
{
    QRandomGenerator random(seed);
    QImage image(size, QImage::Format_RGB32);
    for (int y = 0; y < size.height(); ++y) {
        auto *line = reinterpret_cast<QRgb *>(image.scanLine(y));
        for (int x = 0; x < size.width(); ++x)
            line[x] = qRgb((x * 2 + y) & 255, (y * 3) & 255, (x & 127) + int(random.bounded(64)));
    }
    return image;
}

bool writeBytes(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

QByteArray readBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QByteArray descriptionBytes(const QString &folder, int number)
{
    return QStringLiteral("Description %1\r\nof %2\r\n").arg(number).arg(folder).toLatin1();
}

void makeCollection(const QString &root, int count, int topics)
{
    for (int topic = 0; topic < topics; ++topic) {
        const QString folder = folderName(QString::fromLatin1(kTopics.at(topic).caption));
        QDir(root).mkpath(folder);
        for (int n = 1; n <= count; ++n) {
            const QString base = root + u'/' + folder + u'/' + QString::number(n);
            textured(QSize(121 + n, 90), quint32(n)).save(base + QStringLiteral(".jpg"));
            writeBytes(base + QStringLiteral(".txt"), descriptionBytes(folder, n));
        }
    }
}

} // namespace testdata
