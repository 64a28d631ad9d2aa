// How soon the window closes while it reads pictures ahead: the read under way must stop at
// its next block, through libjpeg or through Qt's reader alike.

#include "mainwindow.h"
#include "picture.h"
#include "testdata.h"

#include <QDir>
#include <QLinearGradient>
#include <QPainter>
#include <benchmark/benchmark.h>
#include <chrono>
#include <memory>
#include <unistd.h>

QString writePngCollection(const QString &root)
{
    // A PNG has no crop: Qt's reader decodes all of it, the longest read there is.
    QImage image(6000, 4000, QImage::Format_RGB32);
    QPainter painter(&image);
    QLinearGradient shade(0, 0, image.width(), image.height());
    shade.setColorAt(0, Qt::darkCyan);
    shade.setColorAt(1, Qt::yellow);
    painter.fillRect(image.rect(), shade);
    painter.end();
    const QString source = root + QStringLiteral("/6000x4000.png"),
                  collection = root + QStringLiteral("/png");
    if (!image.save(source, "PNG"))
        return {};
    for (const char *folder : bench::kFolders) {
        const QString dir = collection + u'/' + QLatin1String(folder);
        for (int n = 1; n <= kNumbers; ++n) {
            const QString base = dir + u'/' + QString::number(n);
            // Named as the collection names its pictures; read by what it holds.
            if (!QDir().mkpath(dir)
                || ::link(QFile::encodeName(source),
                          QFile::encodeName(base + QStringLiteral(".jpg")))
                    != 0
                || !testdata::writeBytes(base + QStringLiteral(".txt"),
                                         testdata::descriptionBytes(QLatin1String(folder), n)))
                return {};
        }
    }
    return collection;
}

void closeWhileReading(benchmark::State &state, const QString &collection)
{
    for ([[maybe_unused]] auto _ : state) {
        auto form = std::make_unique<MainWindow>();
        form->start(collection);
        // The first frame, then a moment: the pages' pictures are being read by then.
        pause(kReadAheadMs / 10);
        const auto start = std::chrono::steady_clock::now();
        form.reset();
        state.SetIterationTime(
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    }
}
