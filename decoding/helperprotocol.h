#pragma once

#include "pictureloader.h"

#include <QByteArray>
#include <QSize>
#include <initializer_list>
#include <utility>

// How the window and its decoding helpers talk, over a Unix socket of datagrams. The helper
// never sees a path: each request carries the open file, each reply the pixels in a memfd.
namespace helper {

inline constexpr int kSocket = 3; // the helper's end of the socket, where it is started
inline constexpr quint32 kMagic = 0x54564931;
// A reply's error text: a line, never a page.
inline constexpr int kLongestError = 1024;

// What the window sends first, with the memfd of the flag that cancels a decode and, unless the
// screen is sRGB, the memfd of the screen's profile.
struct Hello
{
    quint32 magic = kMagic;
    qint32 visibleWidth = 0, visibleHeight = 0;
    quint32 profileBytes = 0;
};

// Each request is its number, sent with the open file.
struct Request
{
    quint32 magic = kMagic;
    quint32 number = 0;
};

// A reply is this header and the error text, with the pixels' memfd where there is a picture.
struct ReplyHeader
{
    quint32 magic = kMagic;
    quint32 number = 0;
    qint32 width = 0, height = 0, stride = 0, format = 0, fullWidth = 0, fullHeight = 0;
    qint32 inScreenColours = 0; // converted into the screen's colour space, not left as stored
};

// A descriptor closed when it goes.
class Fd
{
public:
    explicit Fd(int fd = -1) : m_fd(fd) {}
    Fd(Fd &&other) noexcept : m_fd(std::exchange(other.m_fd, -1)) {}
    Fd &operator=(Fd &&other) noexcept;
    Fd(const Fd &) = delete;
    Fd &operator=(const Fd &) = delete;
    ~Fd();
    int get() const { return m_fd; }

private:
    int m_fd;
};

struct Message
{
    QByteArray bytes;
    Fd first, second;
    bool received = false; // false once the other end has gone, or on a message cut short
};

// Sends the bytes with up to two descriptors, never raising SIGPIPE; false where it cannot.
bool sendMessage(int socket, const QByteArray &bytes, std::initializer_list<int> fds = {});
Message receiveMessage(int socket);

template<typename T> QByteArray bytesOf(const T &value)
{
    return QByteArray(reinterpret_cast<const char *>(&value), sizeof value);
}

// The helper's side: the pixels written into a memfd of their own, never mapped here, so that
// the window can seal it.
bool sendReply(int socket, quint32 number, const LoadedPicture &picture);

// The window's side: the picture a reply describes, its pixels mapped read-only from its memfd
// once sealed. A reply that does not add up, whatever its bytes, is a picture that failed.
LoadedPicture readReply(const QByteArray &bytes, Fd memfd, quint32 number,
                        const DecodeSettings &settings);

} // namespace helper
