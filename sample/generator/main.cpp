// Paints the pictures of the bundled sample collection into <out>/<Folder>/<N>.jpg.
// The descriptions are committed text; only the pictures are made here, so the repository
// carries no binary files and every picture can be rebuilt exactly from its seed.

#include "scenes.h"

#include <QBuffer>
#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QImageWriter>
#include <QSize>
#include <QString>
#include <cstdio>
#include <vector>

using namespace tarvel::sample;

namespace {

struct Topic
{
    const char *folder;
    ScenePainter paint;
    std::vector<QSize> sizes; // one entry per picture, numbered from 1
};

const std::vector<Topic> &topics()
{
    static const std::vector<Topic> list = {
        {"Maps", paintMap, {{640, 430}, {600, 400}, {300, 450}, {560, 380}, {620, 420}}},
        {"Sett", paintSettlement, {{640, 420}, {520, 350}, {300, 440}, {600, 400}, {480, 320}}},
        {"Plan", paintPlant, {{600, 400}, {440, 300}, {300, 450}, {580, 390}}},
        {"Shor", paintShore, {{640, 430}, {520, 350}, {600, 400}, {310, 440}}},
        {"Pelm", paintPelmora, {{640, 420}, {560, 380}, {300, 450}, {600, 400}, {480, 320}}},
        {"Bird", paintBird, {{600, 400}, {520, 350}, {300, 440}, {640, 420}}},
        {"Fish", paintFish, {{600, 400}, {560, 380}, {420, 280}, {640, 430}}},
        {"Expe", paintExpedition, {{640, 430}, {560, 380}, {300, 450}, {520, 350}}},
        {"Scie", paintScience, {{600, 400}, {640, 420}, {480, 320}, {300, 440}}},
        {"Mari", paintMarine, {{640, 430}, {300, 450}, {560, 380}, {600, 400}}},
    };
    return list;
}

constexpr qint64 maxFileBytes = qint64(100) * 1024;

// Quality 85 keeps the sky gradients free of banding. The loop only steps down for a
// picture busy enough to pass the size every sample file has to stay under.
QByteArray encodeJpeg(const QImage &image)
{
    QByteArray bytes;
    for (int quality = 85; quality >= 60; quality -= 5) {
        bytes.clear();
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        QImageWriter writer(&buffer, "jpeg");
        writer.setQuality(quality);
        writer.setOptimizedWrite(true);
        if (!writer.write(image)) {
            std::fprintf(stderr, "tarvel-sample-generator: cannot encode JPEG: %s\n",
                         qPrintable(writer.errorString()));
            return {};
        }
        if (bytes.size() < maxFileBytes)
            break;
    }
    return bytes;
}

bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)
        || file.write(bytes) != bytes.size()) {
        std::fprintf(stderr, "tarvel-sample-generator: cannot write %s: %s\n", qPrintable(path),
                     qPrintable(file.errorString()));
        return false;
    }
    return true;
}

} // namespace

int main(int argc, char *argv[])
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: tarvel-sample-generator OUTPUT_FOLDER\n");
        return 2;
    }
    const QDir out(QString::fromLocal8Bit(argv[1]));

    int written = 0;
    for (qsizetype t = 0; t < qsizetype(topics().size()); ++t) {
        const Topic &topic = topics()[std::size_t(t)];
        if (!out.mkpath(QString::fromLatin1(topic.folder))) {
            std::fprintf(stderr, "tarvel-sample-generator: cannot create %s/%s\n",
                         qPrintable(out.path()), topic.folder);
            return 1;
        }
        for (qsizetype i = 0; i < qsizetype(topic.sizes.size()); ++i) {
            const int number = int(i) + 1;
            // Seeds depend on topic and number only, so a picture never changes because
            // another one was added or reordered.
            QRandomGenerator rng(0x7A27E100u + quint32(t) * 97u + quint32(number));
            QImage image(topic.sizes[std::size_t(i)], QImage::Format_RGB32);
            image.fill(Qt::black);
            topic.paint(image, number, rng);

            const QByteArray jpeg = encodeJpeg(image);
            if (jpeg.isEmpty())
                return 1;
            const QString path = out.filePath(
                QStringLiteral("%1/%2.jpg").arg(QLatin1String(topic.folder)).arg(number));
            if (!writeFile(path, jpeg))
                return 1;
            ++written;
        }
    }
    std::printf("tarvel-sample-generator: %d pictures in %s\n", written, qPrintable(out.path()));
    return 0;
}
