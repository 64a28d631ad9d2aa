#include "picture.h"
#include "testdata.h"

#include <QBuffer>
#include <QColorSpace>
#include <QDir>
#include <QImageWriter>
#include <QLinearGradient>
#include <QPainter>
#include <QRandomGenerator>
#include <algorithm>
#include <cstdio> // jpeglib.h needs FILE and size_t declared first
#include <cstdlib>
#include <jpeglib.h>
#include <span>
#include <unistd.h>
#include <vector>

namespace {

// The orientation as a camera records it: an APP1 Exif segment right after the start marker,
// holding a little-endian TIFF whose one tag (0x0112, SHORT, one value) is the orientation.
QByteArray withOrientation(const QByteArray &jpeg, int orientation)
{
    QByteArray segment("\xFF\xE1\0\x22"
                       "Exif\0\0II*\0\x08\0\0\0"
                       "\x01\0\x12\x01\x03\0\x01\0\0\0\x01\0\0\0\0\0\0\0",
                       36);
    segment[28] = char(orientation);
    return QByteArray(jpeg).insert(2, segment);
}

// Smooth shading, edges and grain, so that the pictures compress, and cost to decode, like
// photographs; a flat or merely patterned picture would hide most of the decoding cost.
QImage photoLike(QSize size, quint32 seed)
{
    QRandomGenerator random(seed);
    QImage image(size, QImage::Format_RGB32);
    QPainter painter(&image);
    QLinearGradient sky(0, 0, 0, size.height());
    sky.setColorAt(0, QColor::fromHsv(random.bounded(360), 120, 230));
    sky.setColorAt(1, QColor::fromHsv(random.bounded(360), 160, 90));
    painter.fillRect(image.rect(), sky);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    for (int i = 0; i < 40 + size.width() * size.height() / 40000; ++i) {
        const int w = 4 + random.bounded(size.width() / 6);
        const int h = 4 + random.bounded(size.height() / 6);
        painter.setBrush(QColor::fromHsv(random.bounded(360), random.bounded(256),
                                         random.bounded(256), 90 + random.bounded(160)));
        painter.drawEllipse(random.bounded(size.width()) - w / 2,
                            random.bounded(size.height()) - h / 2, w, h);
    }
    painter.end();
    // The rows lie end to end, four bytes to a pixel.
    for (QRgb &pixel : std::span(reinterpret_cast<QRgb *>(image.bits()), image.sizeInBytes() / 4)) {
        const int d = int(random.generate() & 0xF) - 8;
        const auto grain = [d](int v) { return std::clamp(v + d, 0, 255); };
        pixel = qRgb(grain(qRed(pixel)), grain(qGreen(pixel)), grain(qBlue(pixel)));
    }
    return image;
}

// A CMYK JPEG as print workflows write them: Adobe's inverted values (255 for no ink), the
// Adobe marker libjpeg writes for CMYK, and the ink's profile. The inks come from the RGB
// picture by the plain formula; the profile gives them their colours.
QByteArray cmykJpeg(const QImage &picture, const QByteArray &profile)
{
    const QImage rgb = picture.convertToFormat(QImage::Format_RGB32);
    std::vector<JSAMPLE> row(std::size_t(rgb.width()) * 4);
    jpeg_compress_struct info{};
    jpeg_error_mgr errors{};
    info.err = jpeg_std_error(&errors); // the pictures are the bench's own: an error ends it
    jpeg_create_compress(&info);
    unsigned char *bytes = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&info, &bytes, &size);
    info.image_width = JDIMENSION(rgb.width());
    info.image_height = JDIMENSION(rgb.height());
    info.input_components = 4;
    info.in_color_space = JCS_CMYK;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, 85, TRUE);
    jpeg_start_compress(&info, TRUE);
    jpeg_write_icc_profile(&info, reinterpret_cast<const JOCTET *>(profile.constData()),
                           unsigned(profile.size()));
    while (info.next_scanline < info.image_height) {
        const auto *line =
            reinterpret_cast<const QRgb *>(rgb.constScanLine(int(info.next_scanline)));
        for (int x = 0; x < rgb.width(); ++x) {
            const int r = qRed(line[x]), g = qGreen(line[x]), b = qBlue(line[x]);
            const int k = std::max({r, g, b});
            JSAMPLE *out = &row[std::size_t(x) * 4];
            out[0] = JSAMPLE(k ? r * 255 / k : 0);
            out[1] = JSAMPLE(k ? g * 255 / k : 0);
            out[2] = JSAMPLE(k ? b * 255 / k : 0);
            out[3] = JSAMPLE(k);
        }
        JSAMPROW rows[] = {row.data()};
        jpeg_write_scanlines(&info, rows, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    const QByteArray jpeg(reinterpret_cast<const char *>(bytes), qsizetype(size));
    std::free(bytes);
    return jpeg;
}

QByteArray encoded(const PictureCase &c, quint32 seed)
{
    // Orientations 5 to 8 are stored on their side.
    QImage picture = photoLike(c.orientation >= 5 ? c.size.transposed() : c.size, seed);
    if (c.colours == Colours::CmykWithProfile)
        return cmykJpeg(picture, testdata::readBytes(QStringLiteral(TARVEL_CMYK_PROFILE)));
    if (c.colours == Colours::AdobeRgb) {
        // As a camera set to Adobe RGB writes it, with the profile embedded.
        picture.setColorSpace(QColorSpace::SRgb);
        picture.convertToColorSpace(QColorSpace::AdobeRgb);
    }
    QBuffer jpeg;
    jpeg.open(QIODevice::WriteOnly);
    QImageWriter writer(&jpeg, "jpeg");
    writer.setQuality(85);
    writer.setProgressiveScanWrite(c.progressive);
    return writer.write(picture) ? jpeg.data() : QByteArray();
}

// Two pictures of the case, linked in turn under every number of every topic: each step
// lands on a picture of the case, and no two steps in a row on the same file.
bool writeCollection(const PictureCase &c, const QString &root)
{
    QStringList sources;
    for (quint32 seed : {36u, 67u}) {
        const QByteArray jpeg = encoded(c, seed);
        if (jpeg.isEmpty())
            return false;
        const QByteArray bytes = c.orientation == 1 ? jpeg : withOrientation(jpeg, c.orientation);
        sources << root + QStringLiteral("/%1-%2.jpg").arg(c.id).arg(seed);
        if (!testdata::writeBytes(sources.back(), bytes))
            return false;
    }
    for (const char *folder : bench::kFolders) {
        const QString dir = c.collection + u'/' + QLatin1String(folder);
        for (int n = 1; n <= kNumbers; ++n) {
            const QString base = dir + u'/' + QString::number(n),
                          jpg = base + QStringLiteral(".jpg");
            const QString &source = sources[(n - 1) % 2];
            if (!QDir().mkpath(dir)
                || (::link(QFile::encodeName(source), QFile::encodeName(jpg)) != 0
                    && !QFile::copy(source, jpg))
                || !testdata::writeBytes(base + QStringLiteral(".txt"),
                                         testdata::descriptionBytes(QLatin1String(folder), n)))
                return false;
        }
    }
    return true;
}

} // namespace

std::vector<PictureCase> makePictureCases(const QString &root)
{
    // clang-format off
    std::vector<PictureCase> cases = {
        {"1920 x 1080", "1920x1080", {1920, 1080}},
        {"6000 x 4000", "6000x4000", {6000, 4000}},
        {"6000 x 4000 progressive", "6000x4000p", {6000, 4000}, true},
        {"6000 x 4000 stored on its side (Exif orientation 6)", "6000x4000o6", {6000, 4000},
         false, 6},
        {"12000 x 8000", "12000x8000", {12000, 8000}},
        {"6000 x 4000 tagged Adobe RGB", "6000x4000adobe", {6000, 4000}, false, 1,
         Colours::AdobeRgb},
        {"6000 x 4000 CMYK with a profile", "6000x4000cmyk", {6000, 4000}, false, 1,
         Colours::CmykWithProfile}};
    // clang-format on
    for (PictureCase &c : cases) {
        c.collection = root + u'/' + c.id;
        const bool written = writeCollection(c, root);
        std::fprintf(stderr, "%s the %s pictures, %.1f MB each\n",
                     written ? "wrote" : "CANNOT WRITE", qPrintable(c.name),
                     double(QFile(c.picture()).size()) / 1e6);
        if (!written)
            return {};
    }
    return cases;
}
