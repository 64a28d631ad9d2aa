#include "readahead.h"

#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <optional>
#include <vector>
#ifdef Q_OS_LINUX
#include <sys/stat.h>
#endif

namespace {

// What tells one state of a file from another: a file overwritten in place changes its time,
// a file replaced by another changes its identity, a deleted one no longer exists.
struct FileStamp
{
    bool exists = false;
    qint64 size = 0;
    qint64 seconds = 0, nanoseconds = 0;
    quint64 device = 0, inode = 0;

    bool operator==(const FileStamp &) const = default;
};

FileStamp stampOf(const QString &path)
{
#ifdef Q_OS_LINUX
    struct stat info = {};
    if (::stat(QFile::encodeName(path).constData(), &info) != 0)
        return {};
    return {true,        info.st_size, info.st_mtim.tv_sec, info.st_mtim.tv_nsec,
            info.st_dev, info.st_ino};
#else
    // Elsewhere the size and the time tell a change.
    const QFileInfo info(path);
    return {info.exists(), info.size(), info.lastModified().toMSecsSinceEpoch()};
#endif
}

struct Entry
{
    explicit Entry(const QString &wantedPath) : path(wantedPath) {}

    QString path;
    bool reading = false;
    bool done = false;
    FileStamp stamp; // of the file as it was read, unchanged from start to end
    LoadedPicture picture;
};

} // namespace

// Everything the worker and the window's thread share, behind one mutex. The worker holds it
// too, so that a worker left behind at the end never reads freed memory.
struct ReadAhead::Shared
{
    explicit Shared(QSize area) : visibleArea(area) {}

    const QSize visibleArea;
    std::mutex mutex;
    std::condition_variable changed;
    std::vector<Entry> entries; // in the order they are wanted
    bool stopping = false;
    bool stopped = false;
    std::atomic<bool> cancelled = false;

    Entry *find(const QString &path)
    {
        const auto it = std::find_if(entries.begin(), entries.end(),
                                     [&path](const Entry &e) { return e.path == path; });
        return it == entries.end() ? nullptr : &*it;
    }

    void work()
    {
        std::unique_lock lock(mutex);
        while (!stopping) {
            const auto next = std::find_if(entries.begin(), entries.end(),
                                           [](const Entry &e) { return !e.reading && !e.done; });
            if (next == entries.end()) {
                changed.wait(lock);
                continue;
            }
            next->reading = true;
            // A copy of its own: the window's thread may drop the entry meanwhile.
            const QString path(next->path.constData(), next->path.size());
            lock.unlock();
            const FileStamp before = stampOf(path);
            LoadedPicture picture = loadPicture(path, visibleArea, &cancelled);
            const FileStamp after = stampOf(path);
            lock.lock();
            if (Entry *entry = find(path); entry && entry->reading) {
                entry->reading = false;
                entry->done = true;
                // A file that changed while it was read matches no file: it is read again at
                // the click.
                entry->stamp = before == after ? before : FileStamp{true, -1};
                entry->picture = std::move(picture);
            }
            changed.notify_all();
        }
        stopped = true;
        changed.notify_all();
    }
};

ReadAhead::ReadAhead(QSize visibleArea)
    : m_shared(std::make_shared<Shared>(visibleArea)),
      m_worker([shared = m_shared] { shared->work(); })
{
}

ReadAhead::~ReadAhead()
{
    std::unique_lock lock(m_shared->mutex);
    m_shared->stopping = true;
    m_shared->cancelled = true;
    m_shared->changed.notify_all();
    // A read from a share that hangs cannot be interrupted; the program ends all the same. The
    // worker holds what it shares, so it may outlive this object.
    m_shared->changed.wait_for(lock, std::chrono::seconds(1), [this] { return m_shared->stopped; });
    m_worker.detach();
}

QStringList ReadAhead::wanted() const
{
    std::lock_guard lock(m_shared->mutex);
    QStringList paths;
    for (const Entry &entry : m_shared->entries)
        paths << entry.path;
    return paths;
}

bool ReadAhead::isReady(const QString &path) const
{
    std::lock_guard lock(m_shared->mutex);
    const Entry *entry = m_shared->find(path);
    return entry && entry->done;
}

void ReadAhead::prepare(const QStringList &paths)
{
    std::lock_guard lock(m_shared->mutex);
    std::vector<Entry> wanted;
    for (const QString &path : paths) {
        if (std::any_of(wanted.begin(), wanted.end(),
                        [&](const Entry &e) { return e.path == path; }))
            continue;
        Entry *known = m_shared->find(path);
        wanted.push_back(known ? std::move(*known) : Entry(path));
    }
    m_shared->entries = std::move(wanted);
    m_shared->changed.notify_all();
}

LoadedPicture ReadAhead::take(const QString &path, bool *wasReady)
{
    std::optional<Entry> ready;
    {
        std::unique_lock lock(m_shared->mutex);
        m_shared->changed.wait(lock, [&] {
            const Entry *entry = m_shared->find(path);
            return !entry || !entry->reading;
        });
        if (const Entry *entry = m_shared->find(path); entry && entry->done)
            ready = *entry;
    }
    // The file's state is checked outside the lock: a slow share must not hold up the worker.
    if (ready && stampOf(path) == ready->stamp) {
        if (wasReady)
            *wasReady = true;
        return ready->picture;
    }
    return loadPicture(path, m_shared->visibleArea);
}
