#include "readahead.h"

#include "filestamp.h"
#include "textfile.h"

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

namespace {

using Clock = std::chrono::system_clock;

// How many of the pictures shown last stay held, so that stepping back shows one again
// without reading it.
constexpr std::size_t kHeldShown = 4;

struct Entry
{
    explicit Entry(const QString &wantedPath, const QString &insteadPath = {})
        : path(wantedPath), instead(insteadPath)
    {
    }

    enum State { Queued, ReadAhead, Done };

    bool isMissing() const { return state == Done && stamp && !stamp->exists; }

    QString path;
    QString instead; // read next where this file turns out to be missing
    State state = Queued;
    std::optional<FileStamp> stamp; // of the file as read; none where that cannot be told
    LoadedPicture picture;
};

// A file that was not there cost no decode.
bool isDecode(const Entry &read)
{
    return !read.stamp || read.stamp->exists;
}

} // namespace

// Everything the worker and the window's thread share, behind one mutex.
struct ReadAhead::Shared
{
    explicit Shared(const DecodeSettings &settings) : decoder(settings) {}

    Decoder decoder;
    std::mutex mutex;
    std::condition_variable changed;
    std::vector<Entry> entries; // in the order they are wanted
    std::deque<Entry> shown;    // the pictures taken last, newest first
    QString reading;            // the worker's, while it reads
    int clicks = 0;             // takes under way: the worker starts no read meanwhile
    bool stopping = false;
    std::atomic<bool> abandoned = false; // the worker's read is no longer wanted
    Decodes decodes;
    std::deque<FileStamp> fatal; // files whose decode ended a helper, the latest few

    // Reads a picture with the state of its file from start to end. A read whose file changed
    // meanwhile, or too soon after its last change to tell the two apart, matches no state.
    Entry read(const QString &path, const std::atomic<bool> *cancelled, bool mayWait)
    {
        constexpr auto kLongestWait = std::chrono::milliseconds(20);
        FileStamp before = stampOf(path);
        auto start = Clock::now();
        if (mayWait && !before.settledBy(start) && before.tick() <= kLongestWait) {
            std::this_thread::sleep_until(
                Clock::time_point(std::chrono::nanoseconds(before.changed) + before.tick()));
            before = stampOf(path);
            start = Clock::now();
        }
        Entry entry(path);
        entry.state = Entry::Done;
        // Stepping past a topic's last number meets no file: no decode is spent on it.
        FileStamp opened = before;
        entry.picture = before.exists ? decodeOpened(path, &opened, cancelled)
                                      : LoadedPicture{{}, {}, QStringLiteral("No such file")};
        if (before.settledBy(start) && opened == before && stampOf(path) == before)
            entry.stamp = before;
        return entry;
    }

    // The picture of the file as opened, whose stamp is read from it. A file that ended a
    // helper is not handed to another until it changes.
    LoadedPicture decodeOpened(const QString &path, FileStamp *opened,
                               const std::atomic<bool> *cancelled)
    {
        constexpr std::size_t kFatalHeld = 16;
        QFile file(path);
        // Opening a pipe or a device could block, and reading it never end.
        if (!mayOpen(path) || !file.open(QIODevice::ReadOnly) || !(*opened = stampOf(file)).exists)
            return {{},
                    {},
                    file.isOpen() || file.error() == QFileDevice::NoError
                        ? QStringLiteral("is not a plain file")
                        : file.errorString()};
        {
            std::lock_guard lock(mutex);
            if (std::find(fatal.begin(), fatal.end(), *opened) != fatal.end())
                return {{}, {}, QStringLiteral("its decode ended a decoder before")};
        }
        bool lostHelper = false;
        LoadedPicture picture = decoder.decode(file, cancelled, &lostHelper);
        if (lostHelper) {
            std::lock_guard lock(mutex);
            fatal.push_front(*opened);
            fatal.resize(std::min(fatal.size(), kFatalHeld));
        }
        return picture;
    }

    Entry *find(const QString &path)
    {
        const auto it = std::find_if(entries.begin(), entries.end(),
                                     [&path](const Entry &e) { return e.path == path; });
        return it == entries.end() ? nullptr : &*it;
    }

    const Entry *findShown(const QString &path) const
    {
        const auto it = std::find_if(shown.begin(), shown.end(),
                                     [&path](const Entry &e) { return e.path == path; });
        return it == shown.end() ? nullptr : &*it;
    }

    // A picture shown lately is held as it was read.
    Entry heldOrNew(const QString &path) const
    {
        const Entry *held = findShown(path);
        return held ? *held : Entry(path);
    }

    Entry *nextToRead()
    {
        const auto it = std::find_if(entries.begin(), entries.end(),
                                     [](const Entry &e) { return e.state == Entry::Queued; });
        return it == entries.end() ? nullptr : &*it;
    }

    void work()
    {
        std::unique_lock lock(mutex);
        for (;;) {
            changed.wait(lock, [this] { return stopping || (clicks == 0 && nextToRead()); });
            if (stopping)
                return;
            Entry *next = nextToRead();
            next->state = Entry::ReadAhead;
            reading = next->path;
            abandoned = false;
            lock.unlock();
            Entry done = read(reading, &abandoned, true);
            lock.lock();
            reading.clear();
            const bool decoded = isDecode(done);
            if (Entry *entry = find(done.path); entry && entry->state == Entry::ReadAhead) {
                done.instead = entry->instead;
                *entry = std::move(done);
                decodes.ahead += decoded;
                // Where a step meets no picture, the click shows another one instead.
                if (entry->isMissing() && !entry->instead.isEmpty() && !find(entry->instead))
                    entries.insert(entries.begin() + (entry - entries.data()) + 1,
                                   heldOrNew(entry->instead));
            } else {
                decodes.abandoned += decoded;
            }
            changed.notify_all();
        }
    }

    void remember(const Entry &taken)
    {
        std::erase_if(shown, [&taken](const Entry &e) { return e.path == taken.path; });
        shown.push_front(taken);
        if (shown.size() > kHeldShown)
            shown.pop_back();
    }
};

ReadAhead::ReadAhead(const DecodeSettings &settings) : m_shared(std::make_shared<Shared>(settings))
{
    std::thread([shared = m_shared] { shared->work(); }).detach();
}

ReadAhead::~ReadAhead()
{
    std::lock_guard lock(m_shared->mutex);
    m_shared->stopping = true;
    m_shared->abandoned = true;
    m_shared->changed.notify_all();
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
    return entry && entry->state == Entry::Done;
}

ReadAhead::Decodes ReadAhead::decodes() const
{
    std::lock_guard lock(m_shared->mutex);
    return m_shared->decodes;
}

void ReadAhead::prepare(const QList<Wanted> &pictures)
{
    std::lock_guard lock(m_shared->mutex);
    std::vector<Entry> wanted;
    const auto keep = [&](const QString &path, const QString &instead) -> const Entry & {
        const auto it = std::find_if(wanted.begin(), wanted.end(),
                                     [&](const Entry &e) { return e.path == path; });
        if (it != wanted.end())
            return *it;
        Entry *known = m_shared->find(path);
        wanted.push_back(known ? std::move(*known) : m_shared->heldOrNew(path));
        wanted.back().instead = instead;
        return wanted.back();
    };
    for (const Wanted &picture : pictures) {
        if (keep(picture.path, picture.instead).isMissing() && !picture.instead.isEmpty())
            keep(picture.instead, {});
    }
    m_shared->entries = std::move(wanted);
    if (!m_shared->reading.isEmpty() && !m_shared->find(m_shared->reading))
        m_shared->abandoned = true;
    m_shared->changed.notify_all();
}

LoadedPicture ReadAhead::take(const QString &path, bool *wasReady)
{
    std::optional<Entry> ready;
    {
        std::unique_lock lock(m_shared->mutex);
        ++m_shared->clicks;
        m_shared->changed.wait(lock, [&] {
            const Entry *entry = m_shared->find(path);
            return !entry || entry->state != Entry::ReadAhead;
        });
        Entry *entry = m_shared->find(path);
        if (const Entry *shown = m_shared->findShown(path); !entry && shown)
            ready = *shown;
        else if (entry && entry->state == Entry::Done)
            ready = *entry;
    }
    // The file's state is checked outside the lock: a slow share must not hold up the worker.
    const bool unchanged = ready && ready->stamp && stampOf(path) == *ready->stamp;
    Entry taken = unchanged ? std::move(*ready) : m_shared->read(path, nullptr, false);
    if (wasReady)
        *wasReady = unchanged;

    std::lock_guard lock(m_shared->mutex);
    m_shared->decodes.atClick += !unchanged && isDecode(taken);
    // The worker started nothing meanwhile, so a picture still queued is this one now.
    if (Entry *entry = m_shared->find(path); entry && !unchanged) {
        taken.instead = entry->instead;
        *entry = taken;
    }
    if (taken.stamp && !taken.picture.isNull())
        m_shared->remember(taken);
    --m_shared->clicks;
    m_shared->changed.notify_all();
    return taken.picture;
}
