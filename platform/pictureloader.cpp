#include "pictureloader.h"

#include "orientation.h"
#include "textfile.h"
#include "visibleregion.h"

#include <QFile>
#include <QImageReader>

#ifdef TARVEL_HAVE_JPEG_CROP
#include "jpegdecoder.h"
#endif

namespace {

LoadedPicture failure(QString why)
{
    LoadedPicture result;
    result.errorString = std::move(why);
    return result;
}

} // namespace

LoadedPicture loadPicture(const QString &path, QSize visibleArea)
{
    if (!mayOpen(path))
        return failure(QStringLiteral("is not a plain file"));

#ifdef TARVEL_HAVE_JPEG_CROP
    {
        // JPEGs, most of what is shown, go to libjpeg directly; asking Qt's reader to decide by
        // content would load every image plugin there is on the first picture.
        QFile file(path);
        if (file.open(QIODevice::ReadOnly) && file.peek(3) == QByteArray("\xff\xd8\xff")) {
            LoadedPicture result;
            if (decodeVisibleJpeg(file, visibleArea, &result))
                return result;
        }
    }
#endif

    QImageReader reader(path);
    reader.setDecideFormatFromContent(true);
    const QSize stored = reader.size();
    if (!stored.isValid() || stored.isEmpty())
        return failure(reader.errorString());
    // Qt clips the stored picture and then turns the piece upright, so the clip is asked for
    // where the upright corner is stored.
    reader.setAutoTransform(true);
    const int orientation = orientationOf(reader.transformation());
    const QSize fullSize = uprightSize(stored, orientation);
    const auto [shown, decoded] = visibleRegion(fullSize, visibleArea);

    // Formats that cannot clip are decoded whole; the reader's allocation limit keeps a huge
    // one from taking the memory with it.
    bool clip = reader.supportsOption(QImageIOHandler::ClipRect);
#ifdef TARVEL_HAVE_JPEG_CROP
    // So is a JPEG here, one that libjpeg turned down or that does not begin as the fast path
    // expects: clipped, Qt's reader would hold a progressive one's coefficients whole all the
    // same, past that limit.
    clip = clip && reader.format() != "jpeg";
#endif
    if (decoded.size() != fullSize && clip)
        reader.setClipRect(storedRect(decoded, stored, orientation));
    QImage image;
    if (!reader.read(&image))
        return failure(reader.errorString());
    if (image.isNull())
        return failure(QStringLiteral("no picture data"));

    LoadedPicture result;
    result.fullSize = fullSize;
    result.visible = image.size() == shown.size() ? std::move(image) : image.copy(shown);
    return result;
}
