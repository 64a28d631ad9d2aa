// The decoding helper, started by the window with its end of a socket at descriptor 3. It is
// handed open files and hands back their visible corners; it never opens a file itself.

#include "helperprotocol.h"
#include "sandbox.h"

#include <QCoreApplication>
#include <QImageReader>
#include <cstdio>
#include <cstring>
#include <sys/mman.h>
#include <unistd.h>

namespace {

// The window's first message: the page's size, the screen's profile and the cancel flag.
bool readHello(DecodeSettings &settings, const std::atomic<bool> **cancelled)
{
    const helper::Message message = helper::receiveMessage(helper::kSocket);
    helper::Hello hello;
    if (!message.received || message.bytes.size() != sizeof hello)
        return false;
    std::memcpy(&hello, message.bytes.constData(), sizeof hello);
    void *flag = ::mmap(nullptr, 4096, PROT_READ, MAP_SHARED, message.first.get(), 0);
    QByteArray profile(qsizetype(std::min<quint32>(hello.profileBytes, 16 << 20)), '\0');
    if (hello.magic != helper::kMagic || flag == MAP_FAILED
        || ::pread(message.second.get(), profile.data(), std::size_t(profile.size()), 0)
            != profile.size())
        return false;
    settings.visibleArea = QSize(hello.visibleWidth, hello.visibleHeight);
    settings.screen =
        profile.isEmpty() ? QColorSpace(QColorSpace::SRgb) : QColorSpace::fromIccProfile(profile);
    *cancelled = static_cast<const std::atomic<bool> *>(flag);
    return true;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    // Every decoder is loaded before the filter shuts the door on loading anything.
    QImageReader::supportedImageFormats();
    QString why;
    if (!enterSandbox(&why) && argc > 1 && std::strcmp(argv[1], "--say-unsandboxed") == 0)
        std::fprintf(stderr, "tarvel-decoder: decoding without a sandbox: %s\n", qPrintable(why));

    DecodeSettings settings;
    const std::atomic<bool> *cancelled = nullptr;
    if (!readHello(settings, &cancelled))
        return 1;
    for (;;) {
        helper::Message message = helper::receiveMessage(helper::kSocket);
        helper::Request request;
        if (!message.received || message.bytes.size() != sizeof request)
            return 0; // the window has gone
        std::memcpy(&request, message.bytes.constData(), sizeof request);
        QFile file;
        LoadedPicture picture;
        if (file.open(message.first.get(), QIODevice::ReadOnly, QFileDevice::DontCloseHandle))
            picture = decodePicture(file, settings, cancelled);
        else
            picture.errorString = file.errorString();
        toPaintedForm(picture.visible);
        if (!helper::sendReply(helper::kSocket, request.number, picture))
            return 0;
    }
}
