#include "exif.h"

#include "orientation.h"

#include <cstdint>
#include <cstring>
#include <optional>

namespace {

// The Exif payload is a little TIFF file: a byte-order mark, 42, then the offset of the first
// list of tags, each of these twelve bytes long. Offsets come from the file and may point
// anywhere, so every read checks them against the payload's end.
class TiffReader
{
public:
    TiffReader(const unsigned char *data, std::size_t size) : m_data(data), m_size(size) {}

    bool readByteOrder()
    {
        if (m_size >= 2 && m_data[0] == 'I' && m_data[1] == 'I')
            m_bigEndian = false;
        else if (m_size >= 2 && m_data[0] == 'M' && m_data[1] == 'M')
            m_bigEndian = true;
        else
            return false;
        return true;
    }

    std::optional<std::uint32_t> read(std::uint64_t at, int bytes) const
    {
        if (at > m_size || m_size - at < std::uint64_t(bytes))
            return std::nullopt;
        std::uint32_t value = 0;
        for (int i = 0; i < bytes; ++i) {
            const int index = m_bigEndian ? i : bytes - 1 - i;
            value = (value << 8) | m_data[at + std::uint64_t(index)];
        }
        return value;
    }

private:
    const unsigned char *m_data;
    std::size_t m_size;
    bool m_bigEndian = false;
};

constexpr std::uint32_t kOrientationTag = 0x0112;
constexpr std::uint32_t kShortType = 3;

} // namespace

int exifOrientation(const unsigned char *data, std::size_t size)
{
    constexpr std::size_t kSignature = 6;
    if (size < kSignature || std::memcmp(data, "Exif\0\0", kSignature) != 0)
        return 1;
    TiffReader tiff(data + kSignature, size - kSignature);
    if (!tiff.readByteOrder() || tiff.read(2, 2) != 42u)
        return 1;
    const std::optional<std::uint32_t> list = tiff.read(4, 4);
    const std::optional<std::uint32_t> count = list ? tiff.read(*list, 2) : std::nullopt;
    if (!count)
        return 1;
    // A count larger than the payload holds ends where the payload does.
    for (std::uint64_t i = 0; i < *count; ++i) {
        const std::uint64_t entry = std::uint64_t(*list) + 2 + 12 * i;
        const std::optional<std::uint32_t> tag = tiff.read(entry, 2);
        if (!tag)
            return 1;
        if (*tag != kOrientationTag)
            continue;
        if (tiff.read(entry + 2, 2) != kShortType || tiff.read(entry + 4, 4) != 1u)
            return 1;
        return validOrientation(int(tiff.read(entry + 8, 2).value_or(1)));
    }
    return 1;
}
