#include "filestamp.h"

#include <QFile>
#include <QFileInfo>
#ifdef Q_OS_UNIX
#include <sys/stat.h>
#endif

using namespace std::chrono;

#ifdef Q_OS_UNIX
namespace {

qint64 nanosecondsOf(const struct timespec &time)
{
    return qint64(time.tv_sec) * 1'000'000'000 + time.tv_nsec;
}

FileStamp stampOf(const struct stat &info)
{
#ifdef Q_OS_DARWIN
    const struct timespec &modified = info.st_mtimespec, &changed = info.st_ctimespec;
#else
    const struct timespec &modified = info.st_mtim, &changed = info.st_ctim;
#endif
    return {true,
            info.st_size,
            nanosecondsOf(modified),
            nanosecondsOf(changed),
            quint64(info.st_dev),
            quint64(info.st_ino)};
}

} // namespace
#endif

FileStamp stampOf(const QString &path)
{
#ifdef Q_OS_UNIX
    struct stat info = {};
    if (::stat(QFile::encodeName(path).constData(), &info) != 0)
        return {};
    return stampOf(info);
#else
    // Windows has no change time that tools cannot set; the size and both times tell most
    // changes, and the tick rule the rest.
    const QFileInfo info(path);
    if (!info.exists())
        return {};
    const auto sinceEpoch = [](const QDateTime &time) {
        return qint64(nanoseconds(milliseconds(time.toMSecsSinceEpoch())).count());
    };
    const qint64 modified = sinceEpoch(info.lastModified());
    return {true, info.size(), modified, std::max(modified, sinceEpoch(info.metadataChangeTime()))};
#endif
}

nanoseconds FileStamp::tick() const
{
    // FAT keeps two seconds; a kernel's coarse clock moves at least every 10 ms.
    constexpr qint64 kSecond = 1'000'000'000;
    const bool coarse = modified % kSecond == 0 && changed % kSecond == 0;
    return coarse ? seconds(2) : milliseconds(10);
}

bool FileStamp::settledBy(system_clock::time_point readStart) const
{
    return readStart.time_since_epoch() >= nanoseconds(changed) + tick();
}

FileStamp stampOf(const QFile &file)
{
#ifdef Q_OS_UNIX
    // Pipes and devices have no state a read could be compared by.
    struct stat info = {};
    if (::fstat(file.handle(), &info) != 0 || !S_ISREG(info.st_mode))
        return {};
    return stampOf(info);
#else
    return stampOf(file.fileName());
#endif
}
