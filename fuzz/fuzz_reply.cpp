#include "helperprotocol.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <sys/mman.h>
#include <unistd.h>

// Whatever a helper sends, the window shows no more than a page of pixels that lie within the
// memfd it was handed, or nothing. The first four bytes give the memfd's size, the rest is the
// reply, which the memfd begins with.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    if (size < 4)
        return 0;
    std::uint32_t memfdBytes = 0;
    std::memcpy(&memfdBytes, data, 4);
    memfdBytes %= 8u << 20;
    const QByteArray reply(reinterpret_cast<const char *>(data) + 4, qsizetype(size - 4));
    helper::Fd memfd(::memfd_create("fuzz", MFD_CLOEXEC | MFD_ALLOW_SEALING));
    if (memfd.get() < 0 || ::ftruncate(memfd.get(), memfdBytes) != 0)
        std::abort();
    if (::pwrite(memfd.get(), reply.constData(), std::min<std::size_t>(reply.size(), memfdBytes), 0)
        < 0)
        std::abort();
    const DecodeSettings page{QSize(788, 553), QColorSpace(QColorSpace::SRgb)};
    const LoadedPicture picture = helper::readReply(reply, std::move(memfd), 1, page);
    if (picture.isNull())
        return 0;
    if (picture.visible.width() > 788 || picture.visible.height() > 553)
        std::abort();
    // Every pixel is read: one past the mapping would end the fuzzer.
    volatile std::uint32_t sum = 0;
    for (int y = 0; y < picture.visible.height(); ++y)
        sum = sum + picture.visible.constScanLine(y)[picture.visible.width() * 4 - 1];
    return 0;
}
