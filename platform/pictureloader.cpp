#include "pictureloader.h"

#include "cancellabledevice.h"
#include "colour.h"
#include "textfile.h"

#include <QFile>
#include <QImageReader>
#include <QTransform>

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

// Qt turns a picture upright by mirroring and flipping it as stored first, then turning it a
// quarter clockwise; this maps the stored picture's area onto the upright one's.
QTransform uprightTransform(QSize stored, QImageIOHandler::Transformations turn)
{
    const bool mirror = turn.testFlag(QImageIOHandler::TransformationMirror);
    const bool flip = turn.testFlag(QImageIOHandler::TransformationFlip);
    QTransform transform(mirror ? -1 : 1, 0, 0, flip ? -1 : 1, mirror ? stored.width() : 0,
                         flip ? stored.height() : 0);
    if (turn.testFlag(QImageIOHandler::TransformationRotate90))
        transform *= QTransform(0, 1, -1, 0, stored.height(), 0);
    return transform;
}

QRect mapped(const QTransform &transform, QRect rect)
{
    return transform.mapRect(QRectF(rect)).toRect();
}

} // namespace

LoadedPicture loadPicture(const QString &path, QSize visibleArea,
                          const std::atomic<bool> *cancelled, const QColorSpace &screen)
{
    if (!mayOpen(path))
        return failure(QStringLiteral("is not a plain file"));
    // Read, not mapped: a file cut short while mapped would end the program.
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return failure(file.errorString());
    // Qt's reader knows nothing of cancelling, so it reads through a device that fails once
    // the decode is cancelled.
    CancellableDevice device(file, cancelled);

    // Qt reads the size and the orientation from the header alone.
    QImageReader header(&device);
    const QSize stored = header.size();
    const QImageIOHandler::Transformations turn = header.transformation();
    if (stored.isEmpty())
        return failure(header.errorString());
    const QTransform toUpright = uprightTransform(stored, turn);
    const QTransform toStored = toUpright.inverted();
    LoadedPicture result;
    result.fullSize = mapped(toUpright, QRect(QPoint(0, 0), stored)).size();

    // JPEG decoders smooth colour across block edges, so decoding one block further than can
    // be seen keeps the visible pixels identical to those of a whole decode.
    constexpr int kEdgeMargin = 16;
    const QRect whole(QPoint(0, 0), result.fullSize);
    const QRect shown = whole.intersected(QRect(QPoint(0, 0), visibleArea.expandedTo({1, 1})));
    const QRect decoded = whole.intersected(shown.adjusted(0, 0, kEdgeMargin, kEdgeMargin));

#ifdef TARVEL_HAVE_JPEG_CROP
    // Most pictures are JPEGs, and of those libjpeg decodes just the stored rectangle that
    // becomes the visible corner; Qt's reader would decode every row above it in full.
    if (header.format() == "jpeg" && file.seek(0)) {
        QImage piece = decodeJpegPiece(file, stored, mapped(toStored, decoded),
                                       mapped(toStored, shown), cancelled, screen);
        if (!piece.isNull()) {
            // Before turning: Qt's turns leave the colour space behind.
            showInColourSpace(piece, screen);
            piece = piece.mirrored(turn.testFlag(QImageIOHandler::TransformationMirror),
                                   turn.testFlag(QImageIOHandler::TransformationFlip));
            if (turn.testFlag(QImageIOHandler::TransformationRotate90))
                piece = piece.transformed(QTransform().rotate(90));
            result.visible = std::move(piece);
            return result;
        }
        if (device.isCancelled())
            return failure(QStringLiteral("cancelled"));
    }
#endif

    if (!device.seek(0))
        return failure(file.errorString());
    QImageReader reader(&device);
    // Qt clips the stored picture and then turns the piece upright, so the clip is asked for
    // where the upright corner is stored. Formats that cannot clip are decoded whole; the
    // reader's allocation limit keeps a huge one from taking the memory with it.
    reader.setAutoTransform(true);
    bool clip = reader.supportsOption(QImageIOHandler::ClipRect);
    // Clipped, Qt's reader still holds a progressive JPEG's coefficients for the whole picture,
    // which that limit never sees; so a JPEG is clipped only where the whole of it would pass.
    const qint64 limit = qint64(QImageReader::allocationLimit()) * 1024 * 1024;
    const qint64 wholeBytes = qint64(stored.width()) * stored.height() * 4;
    clip = clip && (reader.format() != "jpeg" || limit == 0 || wholeBytes <= limit);
    if (decoded != whole && clip)
        reader.setClipRect(mapped(toStored, decoded));
    QImage image;
    const bool read = reader.read(&image);
    // Qt's JPEG reader takes a failed read for the file's end and paints the rest grey.
    if (device.isCancelled())
        return failure(QStringLiteral("cancelled"));
    if (!read)
        return failure(reader.errorString());
    result.visible = image.size() == shown.size() ? std::move(image) : image.copy(shown);
    showInColourSpace(result.visible, screen);
    return result;
}
