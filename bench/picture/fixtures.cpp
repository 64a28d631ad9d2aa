#include "fixtures.h"

#include "collection.h"
#include "topictable.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <cstdio>

namespace bench {

namespace {

bool writePicture(const QString &folder, int number, const PictureCase &c)
{
    const QString base = folder + u'/' + QString::number(number);
    // The same seed for every 6000 x 4000 case: they differ only in how they are stored.
    return testdata::writeJpeg(base + QStringLiteral(".jpg"), c.stored(), quint32(number * 31 + 5),
                               c.progressive, 85, c.orientation)
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
    for (const TopicNames &topic : kTopicNames) {
        const QString folder = folderName(QString::fromUtf8(topic.caption));
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
