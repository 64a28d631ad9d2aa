#include "pictureloader.h"

#include "cancellabledevice.h"
#include "colour.h"
#include "jpegdecoder.h"

#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QTransform>

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

// A piece of the picture as stored, turned as the whole picture is turned upright. Turning
// leaves the colour space behind, so the piece is shown in the screen's colours first.
QImage upright(QImage piece, QImageIOHandler::Transformations turn, const QColorSpace &screen)
{
    showInColourSpace(piece, screen);
    return turn == QImageIOHandler::TransformationNone
        ? piece
        : piece.transformed(uprightTransform(piece.size(), turn));
}

// The stored rectangle kept, of the stored rectangle needed around it, through Qt's reader.
// Formats that cannot clip are decoded whole; the reader's allocation limit keeps a huge one
// from taking the memory with it.
QImage readPiece(QIODevice &device, QSize stored, QRect needed, QRect kept, QString *error)
{
    QImageReader reader(&device); // hands the picture as stored, as upright() expects
    // Clipped, Qt's reader still holds a progressive JPEG's coefficients for the whole picture,
    // which that limit never sees; so a JPEG is clipped only where the whole of it would pass.
    const qint64 limit = qint64(QImageReader::allocationLimit()) * 1024 * 1024;
    const qint64 wholeBytes = qint64(stored.width()) * stored.height() * 4;
    const bool clip = reader.supportsOption(QImageIOHandler::ClipRect)
        && (reader.format() != "jpeg" || limit == 0 || wholeBytes <= limit);
    const QRect read = clip ? needed : QRect(QPoint(0, 0), stored);
    if (read.size() != stored)
        reader.setClipRect(read);
    QImage image;
    if (!reader.read(&image))
        *error = reader.errorString();
    return image.isNull() || image.size() == kept.size()
        ? image
        : image.copy(kept.translated(-read.topLeft()));
}

} // namespace

LoadedPicture loadPicture(const QString &path, const DecodeSettings &settings,
                          const std::atomic<bool> *cancelled)
{
    if (const QFileInfo info(path); info.exists() && !info.isFile())
        return failure(QStringLiteral("is not a plain file"));
    // Read, not mapped: a file cut short while mapped would end the program.
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return failure(file.errorString());
    return decodePicture(file, settings, cancelled);
}

LoadedPicture decodePicture(QFile &file, const DecodeSettings &settings,
                            const std::atomic<bool> *cancelled)
{
    const QColorSpace &screen = settings.screen;
    // Qt's reader knows nothing of cancelling, so it reads through a device that fails once
    // the decode is cancelled.
    CancellableDevice device(file, cancelled);

    // Qt reads the size and the orientation from the header alone.
    QImageReader header(&device);
    const QSize stored = header.size();
    const QImageIOHandler::Transformations turn = header.transformation();
    const bool jpeg = header.format() == "jpeg";
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
    const QRect shown = whole.intersected(QRect(QPoint(0, 0), settings.visibleArea));
    const QRect needed =
        mapped(toStored, whole.intersected(shown.adjusted(0, 0, kEdgeMargin, kEdgeMargin)));
    const QRect kept = mapped(toStored, shown);

    // Most pictures are JPEGs, and of those libjpeg decodes just the stored rectangle that
    // becomes the visible corner; Qt's reader would decode every row above it in full.
    QImage piece = jpeg && file.seek(0)
        ? decodeJpegPiece(file, stored, needed, kept, cancelled, screen)
        : QImage();
    QString error;
    if (piece.isNull() && !device.isCancelled() && device.seek(0))
        piece = readPiece(device, stored, needed, kept, &error);
    // Qt's JPEG reader takes a failed read for the file's end and paints the rest grey.
    if (device.isCancelled())
        return failure(QStringLiteral("cancelled"));
    if (piece.isNull())
        return failure(error.isEmpty() ? file.errorString() : error);
    result.visible = upright(std::move(piece), turn, screen);
    return result;
}

void toPaintedForm(QImage &picture)
{
    // Any other form would be converted at every paint. A picture already in it is left as it is.
    picture.convertTo(picture.hasAlphaChannel() ? QImage::Format_ARGB32_Premultiplied
                                                : QImage::Format_RGB32);
}
