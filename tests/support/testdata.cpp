#include "testdata.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QSemaphore>
#include <QThreadPool>

#ifdef __SANITIZE_THREAD__
extern "C" void __tsan_ignore_thread_begin();
extern "C" void __tsan_ignore_thread_end();

// Runs call once on each of the threads of Qt's pool, which are kept for good: every task
// holds its thread until all have begun.
static void onEachPoolThread(void (*call)())
{
    static QSemaphore started, release;
    QThreadPool *pool = QThreadPool::globalInstance();
    pool->setExpiryTimeout(-1);
    const int threads = pool->maxThreadCount();
    for (int i = 0; i < threads; ++i)
        pool->start([call] {
            call();
            started.release();
            release.acquire();
        });
    started.acquire(threads);
    release.release(threads);
}

// Qt's own pool converts and scales large images in slices, behind locks that ThreadSanitizer
// cannot see in a Qt not built for it, and with no names to suppress them by. Its threads are
// left out; the program's own threads, and the Qt code they run, are still watched.
static void ignoreQtsPool()
{
    onEachPoolThread(__tsan_ignore_thread_begin);
    qAddPostRoutine([] { onEachPoolThread(__tsan_ignore_thread_end); });
}
Q_COREAPP_STARTUP_FUNCTION(ignoreQtsPool)
#endif

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
