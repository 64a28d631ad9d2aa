#include "jpegdecoder.h"

#include "cmyk.h"

#include <QIODevice>
#include <QImageReader>
#include <QSysInfo>
#include <algorithm>
#include <csetjmp>
#include <cstdio> // jpeglib.h needs FILE and size_t declared first
#include <cstdlib>
#include <cstring>
#include <jerror.h>
#include <jpeglib.h>
#include <limits>

namespace {

// Feeds libjpeg a block at a time, so that a baseline picture is read only as far down as its
// visible rows reach.
struct DeviceSource : jpeg_source_mgr
{
    QIODevice *device = nullptr;
    const std::atomic<bool> *cancelled = nullptr;
    JOCTET buffer[64 * 1024];
};

extern "C" void sourceInit(j_decompress_ptr) {}
extern "C" void sourceTerm(j_decompress_ptr) {}

extern "C" boolean sourceFill(j_decompress_ptr info)
{
    auto *source = static_cast<DeviceSource *>(info->src);
    // Between two reads is where a long decode stops when the program ends.
    if (source->cancelled && *source->cancelled)
        ERREXIT(info, JERR_INPUT_EMPTY);
    const qint64 count = source->device->read(reinterpret_cast<char *>(source->buffer),
                                              qint64(sizeof source->buffer));
    if (count <= 0) {
        // A truncated file ends as if it were complete, as libjpeg's own sources do.
        static const JOCTET end[2] = {0xFF, JPEG_EOI};
        source->next_input_byte = end;
        source->bytes_in_buffer = sizeof end;
        return TRUE;
    }
    source->next_input_byte = source->buffer;
    source->bytes_in_buffer = std::size_t(count);
    return TRUE;
}

extern "C" void sourceSkip(j_decompress_ptr info, long count)
{
    auto *source = static_cast<DeviceSource *>(info->src);
    if (std::size_t(count) <= source->bytes_in_buffer) {
        source->next_input_byte += count;
        source->bytes_in_buffer -= std::size_t(count);
        return;
    }
    // A file seeks past its end too, where the next read finds the end; a device that cannot
    // reads on from where it stands, and libjpeg finds its markers broken.
    const qint64 beyond = qint64(count) - qint64(source->bytes_in_buffer);
    source->bytes_in_buffer = 0;
    source->device->seek(source->device->pos() + beyond);
}

struct JpegErrors : jpeg_error_mgr
{
    std::jmp_buf jump;
};

extern "C" void jpegFail(j_common_ptr info)
{
    std::longjmp(static_cast<JpegErrors *>(info->err)->jump, 1);
}

extern "C" void jpegQuiet(j_common_ptr) {}

struct JpegDecoder
{
    JpegDecoder()
    {
        info.err = jpeg_std_error(&errors);
        errors.error_exit = jpegFail;
        errors.output_message = jpegQuiet;
    }
    // Nothing to free where creating failed: libjpeg then has no memory manager yet.
    ~JpegDecoder() { jpeg_destroy_decompress(&info); }
    JpegDecoder(const JpegDecoder &) = delete;
    JpegDecoder &operator=(const JpegDecoder &) = delete;

    jpeg_decompress_struct info{};
    JpegErrors errors;
    DeviceSource source;
};

// libjpeg reports errors by jumping out of its calls. Each call is made from a frame of its own
// that holds nothing to destroy, so the jump never skips a C++ destructor; creating, too, can
// fail. The colour profile, kept in APP2 markers, comes back in memory of malloc's.
bool readHeader(JpegDecoder &d, QIODevice &device, long memoryCap, JOCTET **profile,
                unsigned *profileSize)
{
    if (setjmp(d.errors.jump))
        return false;
    jpeg_create_decompress(&d.info);
    d.info.mem->max_memory_to_use = memoryCap;
    d.source.device = &device;
    d.source.next_input_byte = nullptr;
    d.source.bytes_in_buffer = 0;
    d.source.init_source = sourceInit;
    d.source.fill_input_buffer = sourceFill;
    d.source.skip_input_data = sourceSkip;
    d.source.resync_to_restart = jpeg_resync_to_restart;
    d.source.term_source = sourceTerm;
    d.info.src = &d.source;
    jpeg_save_markers(&d.info, JPEG_APP0 + 2, 0xFFFF);
    jpeg_read_header(&d.info, TRUE);
    // Markers missing or out of count give no profile: the picture is shown unconverted.
    jpeg_read_icc_profile(&d.info, profile, profileSize);
    return true;
}

// A progressive picture is decoded scan by scan over the whole picture before its first row
// comes out; told that it ends one block row below the rows needed, libjpeg decodes and holds
// only those. Rows further down never reach the visible ones, so these stay identical. This
// rewrites libjpeg's own fields after its header is read, as checked with libjpeg-turbo 2.1.5
// (Debian 12 and 13); the picture test's corner check names this function when it fails, as
// it would should a later version read them otherwise.
void decodeOnlyTopRows(jpeg_decompress_struct &info, int rows)
{
    const int unit = info.max_v_samp_factor * DCTSIZE;
    const auto height = JDIMENSION(((rows + unit - 1) / unit + 1) * unit);
    if (height >= info.image_height)
        return;
    info.image_height = height;
    info.total_iMCU_rows = height / JDIMENSION(unit);
    for (int c = 0; c < info.num_components; ++c) {
        jpeg_component_info &component = info.comp_info[c];
        component.height_in_blocks =
            (height * JDIMENSION(component.v_samp_factor) + JDIMENSION(unit) - 1)
            / JDIMENSION(unit);
    }
}

// Makes libjpeg's rows begin at the rectangle's top row and, leftInRow pixels in, at its left
// column: a crop starts on a block boundary, and skipped rows are never turned into pixels.
bool startDecoding(JpegDecoder &d, QRect needed, int *leftInRow)
{
    if (setjmp(d.errors.jump))
        return false;
    if (jpeg_has_multiple_scans(&d.info))
        decodeOnlyTopRows(d.info, needed.bottom() + 1);
    jpeg_start_decompress(&d.info);
    auto left = JDIMENSION(needed.x());
    auto width = JDIMENSION(needed.width());
    if (width < d.info.output_width)
        jpeg_crop_scanline(&d.info, &left, &width);
    *leftInRow = needed.x() - int(left);
    const auto skip = JDIMENSION(needed.y());
    return jpeg_skip_scanlines(&d.info, skip) == skip;
}

bool readRow(JpegDecoder &d, uchar *row)
{
    if (setjmp(d.errors.jump))
        return false;
    JSAMPROW rows[] = {row};
    jpeg_read_scanlines(&d.info, rows, 1);
    return true;
}

} // namespace

QImage decodeJpegPiece(QIODevice &device, QSize stored, QRect needed, QRect kept,
                       const std::atomic<bool> *cancelled, const QColorSpace &screen)
{
    JpegDecoder d;
    d.source.cancelled = cancelled;
    // A progressive picture's coefficients are held in memory at the size its header claims,
    // which a few bytes can put at gigabytes. A real picture's take a few dozen times its
    // file's size at most; past that, and past Qt's limit (0 where it is lifted, as for
    // libjpeg), libjpeg fails instead. Counted in 64 bits: a long may have 32.
    const qint64 limit = qint64(QImageReader::allocationLimit()) * 1024 * 1024;
    const qint64 cap = limit ? std::max(limit, device.size() * 32) : 0;
    JOCTET *iccData = nullptr;
    unsigned iccSize = 0;
    const bool header =
        readHeader(d, device, long(std::min<qint64>(cap, std::numeric_limits<long>::max())),
                   &iccData, &iccSize);
    const QByteArray profile(reinterpret_cast<const char *>(iccData), iccData ? iccSize : 0);
    std::free(iccData);
    if (!header || stored != QSize(int(d.info.image_width), int(d.info.image_height)))
        return {};
    const bool colour = d.info.num_components == 3
        && (d.info.jpeg_color_space == JCS_YCbCr || d.info.jpeg_color_space == JCS_RGB);
    const bool grey = d.info.num_components == 1 && d.info.jpeg_color_space == JCS_GRAYSCALE;
    // libjpeg turns YCCK into CMYK itself.
    const bool cmyk = d.info.num_components == 4
        && (d.info.jpeg_color_space == JCS_CMYK || d.info.jpeg_color_space == JCS_YCCK);
    if (!colour && !grey && !cmyk)
        return {};
    // Qt's 32-bit pixels are words: their bytes lie the other way round on a little-endian
    // machine.
    constexpr J_COLOR_SPACE kRgb32 =
        QSysInfo::ByteOrder == QSysInfo::LittleEndian ? JCS_EXT_BGRA : JCS_EXT_ARGB;
    d.info.out_color_space = colour ? kRgb32 : cmyk ? JCS_CMYK : JCS_GRAYSCALE;
    int leftInRow = 0;
    if (!startDecoding(d, needed, &leftInRow))
        return {};

    // Rows come out as wide as libjpeg's cropped width; only the kept part is copied, or
    // converted from CMYK.
    const QImage::Format format = grey ? QImage::Format_Grayscale8 : QImage::Format_RGB32;
    const int bytesPerPixel = grey ? 1 : 4;
    QImage row(int(d.info.output_width), 1, format);
    QImage piece(kept.size(), format);
    if (row.isNull() || piece.isNull())
        return {};
    const auto rowBytes = std::size_t(kept.width()) * std::size_t(bytesPerPixel);
    const auto keptInRow =
        std::size_t(leftInRow + kept.x() - needed.x()) * std::size_t(bytesPerPixel);
    const CmykRows cmykRows(cmyk ? profile : QByteArray(), d.info.saw_Adobe_marker, screen);
    while (int(d.info.output_scanline) <= needed.bottom()) {
        const int y = int(d.info.output_scanline);
        if (!readRow(d, row.bits()))
            return {};
        if (y < kept.top() || y > kept.bottom())
            continue;
        uchar *out = piece.scanLine(y - kept.y());
        if (cmyk)
            cmykRows.convert(row.constBits() + keptInRow, reinterpret_cast<QRgb *>(out),
                             kept.width());
        else
            std::memcpy(out, row.constBits() + keptInRow, rowBytes);
    }
    // As Qt's reader does, a profile Qt cannot read is let go; a CMYK one it never reads.
    if (cmykRows.managed())
        piece.setColorSpace(screen);
    else if (!profile.isEmpty())
        piece.setColorSpace(QColorSpace::fromIccProfile(profile));
    return piece;
}
