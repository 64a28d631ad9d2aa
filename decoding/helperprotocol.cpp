#include "helperprotocol.h"

#include <QImage>
#include <cstring>
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

namespace helper {

namespace {

LoadedPicture failure(QString why)
{
    LoadedPicture result;
    result.errorString = std::move(why);
    return result;
}

bool writeAll(int fd, const uchar *data, qint64 size)
{
    for (qint64 done = 0; done < size;) {
        const ssize_t written = ::pwrite(fd, data + done, std::size_t(size - done), done);
        if (written <= 0)
            return false;
        done += written;
    }
    return true;
}

// What a picture's pixels may be: the two forms the loader hands, no larger than a page shows.
bool addsUp(const ReplyHeader &header, QSize visibleArea)
{
    const bool form = header.format == QImage::Format_RGB32
        || header.format == QImage::Format_ARGB32_Premultiplied;
    return form && header.width > 0 && header.width <= visibleArea.width() && header.height > 0
        && header.height <= visibleArea.height() && header.stride >= header.width * 4
        && header.stride % 4 == 0 && header.stride <= (1 << 20) && header.fullWidth >= header.width
        && header.fullHeight >= header.height;
}

} // namespace

Fd &Fd::operator=(Fd &&other) noexcept
{
    if (this != &other) {
        if (m_fd >= 0)
            ::close(m_fd);
        m_fd = std::exchange(other.m_fd, -1);
    }
    return *this;
}

Fd::~Fd()
{
    if (m_fd >= 0)
        ::close(m_fd);
}

bool sendMessage(int socket, const QByteArray &bytes, std::initializer_list<int> fds)
{
    iovec data = {const_cast<char *>(bytes.constData()), std::size_t(bytes.size())};
    alignas(cmsghdr) char control[CMSG_SPACE(2 * sizeof(int))] = {};
    msghdr message = {};
    message.msg_iov = &data;
    message.msg_iovlen = 1;
    if (fds.size() > 0 && fds.size() <= 2) {
        message.msg_control = control;
        message.msg_controllen = CMSG_SPACE(fds.size() * sizeof(int));
        cmsghdr *header = CMSG_FIRSTHDR(&message);
        header->cmsg_level = SOL_SOCKET;
        header->cmsg_type = SCM_RIGHTS;
        header->cmsg_len = CMSG_LEN(fds.size() * sizeof(int));
        std::memcpy(CMSG_DATA(header), std::data(fds), fds.size() * sizeof(int));
    }
    return ::sendmsg(socket, &message, MSG_NOSIGNAL) == ssize_t(bytes.size());
}

Message receiveMessage(int socket)
{
    Message received;
    received.bytes.resize(sizeof(ReplyHeader) + kLongestError);
    iovec data = {received.bytes.data(), std::size_t(received.bytes.size())};
    alignas(cmsghdr) char control[CMSG_SPACE(2 * sizeof(int))] = {};
    msghdr message = {};
    message.msg_iov = &data;
    message.msg_iovlen = 1;
    message.msg_control = control;
    message.msg_controllen = sizeof control;
    const ssize_t size = ::recvmsg(socket, &message, MSG_CMSG_CLOEXEC);
    for (cmsghdr *header = CMSG_FIRSTHDR(&message); header;
         header = CMSG_NXTHDR(&message, header)) {
        if (header->cmsg_level != SOL_SOCKET || header->cmsg_type != SCM_RIGHTS)
            continue;
        int fds[2] = {-1, -1};
        std::memcpy(fds, CMSG_DATA(header),
                    std::min(sizeof fds, std::size_t(header->cmsg_len - CMSG_LEN(0))));
        received.first = Fd(fds[0]);
        received.second = Fd(fds[1]);
    }
    received.received = size > 0 && !(message.msg_flags & (MSG_TRUNC | MSG_CTRUNC));
    received.bytes.resize(std::max<ssize_t>(size, 0));
    return received;
}

bool sendReply(int socket, quint32 number, const LoadedPicture &picture)
{
    ReplyHeader header;
    header.number = number;
    const QByteArray error = picture.errorString.toUtf8().left(kLongestError);
    const QImage &image = picture.visible;
    if (image.isNull())
        return sendMessage(socket, bytesOf(header) + error);
    header.width = image.width();
    header.height = image.height();
    header.stride = int(image.bytesPerLine());
    header.format = image.format();
    header.fullWidth = picture.fullSize.width();
    header.fullHeight = picture.fullSize.height();
    header.inScreenColours = image.colorSpace().isValid();
    const Fd pixels(::memfd_create("picture", MFD_CLOEXEC | MFD_ALLOW_SEALING));
    const qint64 size = image.sizeInBytes();
    if (pixels.get() < 0 || ::ftruncate(pixels.get(), size) != 0
        || !writeAll(pixels.get(), image.constBits(), size))
        return sendMessage(socket, bytesOf(ReplyHeader{kMagic, number}) + "no memory for it");
    return sendMessage(socket, bytesOf(header) + error, {pixels.get()});
}

LoadedPicture readReply(const QByteArray &bytes, Fd memfd, quint32 number,
                        const DecodeSettings &settings)
{
    ReplyHeader header;
    if (bytes.size() < qsizetype(sizeof header))
        return failure(QStringLiteral("the decoder's reply was cut short"));
    std::memcpy(&header, bytes.constData(), sizeof header);
    if (header.magic != kMagic || header.number != number)
        return failure(QStringLiteral("the decoder answered another request"));
    const QString error = QString::fromUtf8(bytes.mid(sizeof header));
    if (memfd.get() < 0)
        return failure(error.isEmpty() ? QStringLiteral("the decoder sent no pixels") : error);
    if (!addsUp(header, settings.visibleArea))
        return failure(QStringLiteral("the decoder's reply does not add up"));
    // Sealed, the pixels can no longer change or shrink under the window, whatever the helper
    // does; the size is read once they are.
    struct stat info = {};
    const qint64 needed = qint64(header.stride) * header.height;
    if (::fcntl(memfd.get(), F_ADD_SEALS, F_SEAL_SHRINK | F_SEAL_GROW | F_SEAL_WRITE | F_SEAL_SEAL)
            != 0
        || ::fstat(memfd.get(), &info) != 0 || info.st_size < needed)
        return failure(QStringLiteral("the decoder's pixels do not add up"));
    void *mapped = ::mmap(nullptr, std::size_t(needed), PROT_READ, MAP_SHARED, memfd.get(), 0);
    if (mapped == MAP_FAILED)
        return failure(QStringLiteral("the decoder's pixels cannot be mapped"));
    LoadedPicture result;
    result.fullSize = QSize(header.fullWidth, header.fullHeight);
    result.visible = QImage(
        static_cast<const uchar *>(mapped), header.width, header.height, header.stride,
        QImage::Format(header.format),
        [](void *held) {
            const auto *mapping = static_cast<std::pair<void *, std::size_t> *>(held);
            ::munmap(mapping->first, mapping->second);
            delete mapping;
        },
        new std::pair<void *, std::size_t>(mapped, std::size_t(needed)));
    if (header.inScreenColours)
        result.visible.setColorSpace(settings.screen);
    return result;
}

} // namespace helper
