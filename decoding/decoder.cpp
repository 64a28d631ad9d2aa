#include "decoder.h"

#include <QCoreApplication>
#include <QFileInfo>

#ifdef Q_OS_LINUX
#include "helperprotocol.h"

#include <algorithm>
#include <condition_variable>
#include <mutex>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/mman.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

using namespace std::chrono;

LoadedPicture failure(QString why)
{
    LoadedPicture result;
    result.errorString = std::move(why);
    return result;
}

// Beside the program, as the build, the archive and the package put it.
QByteArray helperProgram()
{
    const QByteArray chosen = qgetenv("TARVEL_DECODER"); // the tests' build of it
    const QString beside =
        QCoreApplication::applicationDirPath() + QStringLiteral("/tarvel-decoder");
    return !chosen.isEmpty()               ? chosen
        : QFileInfo(beside).isExecutable() ? QFile::encodeName(beside)
                                           : QByteArray();
}

// How a helper that is gone ended, once it has.
QString endOf(pid_t pid)
{
    int status = 0;
    if (::waitpid(pid, &status, 0) != pid)
        return QStringLiteral("the decoder is gone");
    return WIFSIGNALED(status)
        ? QStringLiteral("the decoder ended by signal %1").arg(WTERMSIG(status))
        : QStringLiteral("the decoder ended");
}

struct Helper
{
    pid_t pid = -1;
    helper::Fd socket;
    std::atomic<bool> *cancel = nullptr; // in a page shared with the helper
    bool busy = false;
    quint32 requests = 0;
};

} // namespace

struct Decoder::Pool
{
    Pool(const DecodeSettings &decodeSettings, QByteArray helperPath)
        : settings(decodeSettings),
          program(std::move(helperPath)),
          // One helper per core at most: more would only wait for a core.
          helpers(std::clamp(std::thread::hardware_concurrency(), 1u, 2u))
    {
    }

    const DecodeSettings settings;
    const QByteArray program;
    std::mutex mutex;
    std::condition_variable changed;
    std::vector<Helper> helpers; // never resized, so that a reader may hold one unlocked
    bool stopping = false;
    bool saidUnsandboxed = false;

    bool start(Helper &helper);
    void keepStarted();
    LoadedPicture decode(QFile &file, const std::atomic<bool> *cancelled, bool *lostHelper);
    LoadedPicture exchange(const Helper &helper, int file, const std::atomic<bool> *cancelled,
                           bool *lostHelper) const;
};

bool Decoder::Pool::start(Helper &helper)
{
    int ends[2];
    if (::socketpair(AF_UNIX, SOCK_SEQPACKET | SOCK_CLOEXEC, 0, ends) != 0)
        return false;
    helper::Fd mine(ends[0]), theirs(ends[1]);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, theirs.get(), helper::kSocket);
    posix_spawn_file_actions_addclosefrom_np(&actions, helper::kSocket + 1);
    QByteArray name = program, say = "--say-unsandboxed";
    char *argv[] = {name.data(), saidUnsandboxed ? nullptr : say.data(), nullptr};
    const bool spawned =
        ::posix_spawn(&helper.pid, program.constData(), &actions, nullptr, argv, environ) == 0;
    posix_spawn_file_actions_destroy(&actions);
    saidUnsandboxed = true;
    const helper::Fd flag(::memfd_create("cancel", MFD_CLOEXEC));
    void *page = flag.get() >= 0 && ::ftruncate(flag.get(), 4096) == 0
        ? ::mmap(nullptr, 4096, PROT_READ | PROT_WRITE, MAP_SHARED, flag.get(), 0)
        : MAP_FAILED;
    const QByteArray profile = settings.screen == QColorSpace(QColorSpace::SRgb)
        ? QByteArray()
        : settings.screen.iccProfile();
    const helper::Fd profileFd(::memfd_create("profile", MFD_CLOEXEC));
    const helper::Hello hello{helper::kMagic, settings.visibleArea.width(),
                              settings.visibleArea.height(), quint32(profile.size())};
    if (!spawned || page == MAP_FAILED || profileFd.get() < 0
        || ::write(profileFd.get(), profile.constData(), std::size_t(profile.size()))
            != profile.size()
        || !helper::sendMessage(mine.get(), helper::bytesOf(hello),
                                {flag.get(), profileFd.get()})) {
        if (spawned)
            ::kill(helper.pid, SIGKILL), endOf(helper.pid);
        helper.pid = -1;
        return false;
    }
    helper.socket = std::move(mine);
    helper.cancel = new (page) std::atomic<bool>(false);
    return true;
}

// Helpers die with the thread that started them, so one thread of the pool's own starts them
// all, and a spare is started as soon as one is gone.
void Decoder::Pool::keepStarted()
{
    std::unique_lock lock(mutex);
    for (;;) {
        for (Helper &helper : helpers) {
            if (helper.pid < 0 && !helper.busy && !start(helper))
                qWarning("Cannot start the decoder %s", program.constData());
        }
        changed.notify_all();
        changed.wait_for(lock, seconds(1), [this] {
            return stopping || std::any_of(helpers.begin(), helpers.end(), [](const Helper &h) {
                       return h.pid < 0 && !h.busy;
                   });
        });
        if (stopping)
            break;
    }
    for (Helper &helper : helpers) {
        if (helper.pid > 0)
            ::kill(helper.pid, SIGKILL);
        if (helper.pid > 0 && !helper.busy)
            endOf(helper.pid); // a busy one's reader hears of its end and reaps it
    }
}

LoadedPicture Decoder::Pool::decode(QFile &file, const std::atomic<bool> *cancelled,
                                    bool *lostHelper)
{
    std::unique_lock lock(mutex);
    const auto free = [this] {
        return std::find_if(helpers.begin(), helpers.end(),
                            [](const Helper &h) { return h.pid > 0 && !h.busy; });
    };
    while (!stopping && free() == helpers.end()) {
        if (cancelled && *cancelled)
            return failure(QStringLiteral("cancelled"));
        changed.wait_for(lock, milliseconds(50));
    }
    if (stopping)
        return failure(QStringLiteral("the decoders have ended"));
    Helper &helper = *free();
    helper.busy = true;
    ++helper.requests;
    lock.unlock();
    LoadedPicture picture = exchange(helper, file.handle(), cancelled, lostHelper);
    lock.lock();
    helper.busy = false;
    if (*lostHelper) {
        ::munmap(helper.cancel, 4096);
        helper = Helper();
    }
    changed.notify_all();
    return picture;
}

LoadedPicture Decoder::Pool::exchange(const Helper &helper, int file,
                                      const std::atomic<bool> *cancelled, bool *lostHelper) const
{
    helper.cancel->store(false);
    const int socket = helper.socket.get();
    *lostHelper = true;
    if (!helper::sendMessage(
            socket, helper::bytesOf(helper::Request{helper::kMagic, helper.requests}), {file}))
        return ::kill(helper.pid, SIGKILL), failure(endOf(helper.pid));
    const auto deadline = steady_clock::now() + settings.timeout;
    for (pollfd ready = {socket, POLLIN, 0}; ::poll(&ready, 1, 50) == 0;) {
        // The helper's reads fail from its next block on, as this process's would.
        if (cancelled && *cancelled)
            helper.cancel->store(true);
        if (steady_clock::now() >= deadline) {
            ::kill(helper.pid, SIGKILL);
            endOf(helper.pid);
            return failure(QStringLiteral("the decoder took longer than %1 ms, and was ended")
                               .arg(settings.timeout.count()));
        }
    }
    helper::Message reply = helper::receiveMessage(socket);
    if (!reply.received)
        return ::kill(helper.pid, SIGKILL), failure(endOf(helper.pid));
    *lostHelper = false;
    return helper::readReply(reply.bytes, std::move(reply.first), helper.requests, settings);
}

Decoder::Decoder(const DecodeSettings &settings) : m_settings(settings)
{
    if (const QByteArray program = helperProgram(); !program.isEmpty()) {
        m_pool = std::make_shared<Pool>(settings, program);
        std::thread([pool = m_pool] { pool->keepStarted(); }).detach();
    } else {
        qWarning("No decoder helper beside the program: pictures are decoded in its own process");
    }
}

Decoder::~Decoder()
{
    if (!m_pool)
        return;
    std::lock_guard lock(m_pool->mutex);
    m_pool->stopping = true;
    m_pool->changed.notify_all();
}

LoadedPicture Decoder::decode(QFile &file, const std::atomic<bool> *cancelled, bool *lostHelper)
{
    *lostHelper = false;
    if (m_pool)
        return m_pool->decode(file, cancelled, lostHelper);
    LoadedPicture picture = decodePicture(file, m_settings, cancelled);
    toPaintedForm(picture.visible);
    return picture;
}

#else

// Elsewhere there are no helpers: pictures are decoded in this process, as they always were.
Decoder::Decoder(const DecodeSettings &settings) : m_settings(settings) {}
Decoder::~Decoder() = default;

LoadedPicture Decoder::decode(QFile &file, const std::atomic<bool> *cancelled, bool *lostHelper)
{
    *lostHelper = false;
    LoadedPicture picture = decodePicture(file, m_settings, cancelled);
    toPaintedForm(picture.visible);
    return picture;
}

#endif
