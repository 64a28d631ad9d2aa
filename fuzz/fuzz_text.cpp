#include "textfile.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

// Saving an untouched description must write back the very bytes that were read, whatever
// they are.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArray bytes =
        QByteArray::fromRawData(reinterpret_cast<const char *>(data), qsizetype(size));
    const DecodedText decoded = decodeText(bytes);
    if (encodeText(decoded.text, decoded.form) != bytes)
        std::abort();
    return 0;
}
