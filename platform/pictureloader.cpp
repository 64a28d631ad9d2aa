#include "pictureloader.h"

#include <QFileInfo>
#include <QImageReader>

namespace {

// JPEG decoders smooth colour across block edges; decoding one block past the visible area
// keeps the visible pixels identical to those of a whole decode.
constexpr int kEdgeMargin = 16;

LoadedPicture failure(QString why)
{
    LoadedPicture result;
    result.errorString = std::move(why);
    return result;
}

} // namespace

LoadedPicture LoadPicture(const QString &path, QSize visibleArea)
{
    if (QFileInfo(path).isDir())
        return failure(QStringLiteral("is a folder"));

    QImageReader reader(path);
    reader.setDecideFormatFromContent(true);
    const QSize fullSize = reader.size();
    if (!fullSize.isValid() || fullSize.isEmpty())
        return failure(reader.errorString());

    const QRect whole(QPoint(0, 0), fullSize);
    const QRect shown = whole.intersected(QRect(QPoint(0, 0), visibleArea.expandedTo(QSize(1, 1))));
    const QRect decoded =
        whole.intersected(shown.adjusted(0, 0, kEdgeMargin, kEdgeMargin));

    QImage image;
    if (decoded != whole && reader.supportsOption(QImageIOHandler::ClipRect)) {
        reader.setClipRect(decoded);
        if (!reader.read(&image))
            return failure(reader.errorString());
    } else {
        // Formats that cannot clip are decoded whole; the reader's allocation limit keeps a
        // huge one from taking the memory with it.
        if (!reader.read(&image))
            return failure(reader.errorString());
    }
    if (image.isNull())
        return failure(QStringLiteral("no picture data"));

    LoadedPicture result;
    result.fullSize = fullSize;
    result.visible = image.size() == shown.size() ? std::move(image) : image.copy(shown);
    return result;
}
