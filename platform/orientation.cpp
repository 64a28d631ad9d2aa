#include "orientation.h"

#include <algorithm>
#include <array>

namespace {

// Where the upright picture's top-left pixel is stored (0 or 1: the first or last column and
// row), and how far a step right and a step down the upright picture moves in the stored one.
struct Turn
{
    int lastColumn, lastRow;
    int rightX, rightY;
    int downX, downY;
};

constexpr std::array<Turn, 8> kTurns = {{
    {0, 0, 1, 0, 0, 1},   // as stored
    {1, 0, -1, 0, 0, 1},  // mirrored left to right
    {1, 1, -1, 0, 0, -1}, // half a turn
    {0, 1, 1, 0, 0, -1},  // mirrored top to bottom
    {0, 0, 0, 1, 1, 0},   // mirrored across the top-left to bottom-right diagonal
    {0, 1, 0, -1, 1, 0},  // a quarter turn clockwise
    {1, 1, 0, -1, -1, 0}, // mirrored across the other diagonal
    {1, 0, 0, 1, -1, 0},  // a quarter turn anticlockwise
}};

QPoint storedPoint(QPoint upright, QSize stored, const Turn &turn)
{
    return {turn.lastColumn * (stored.width() - 1) + upright.x() * turn.rightX
                + upright.y() * turn.downX,
            turn.lastRow * (stored.height() - 1) + upright.x() * turn.rightY
                + upright.y() * turn.downY};
}

template<typename Pixel> void copyTurned(const QImage &piece, const Turn &turn, QImage *upright)
{
    const qsizetype stride = piece.bytesPerLine();
    const qsizetype pixel = qsizetype(sizeof(Pixel));
    const qsizetype step = turn.rightX * pixel + turn.rightY * stride;
    const uchar *bits = piece.constBits();
    for (int y = 0; y < upright->height(); ++y) {
        const QPoint start = storedPoint(QPoint(0, y), piece.size(), turn);
        // Offsets stay integers: a pointer one step past either end would not be valid C++.
        qsizetype offset = start.y() * stride + start.x() * pixel;
        auto *out = reinterpret_cast<Pixel *>(upright->scanLine(y));
        for (int x = 0; x < upright->width(); ++x, offset += step)
            out[x] = *reinterpret_cast<const Pixel *>(bits + offset);
    }
}

const Turn &turnOf(int orientation)
{
    return kTurns[std::size_t(validOrientation(orientation) - 1)];
}

} // namespace

int validOrientation(int orientation)
{
    return orientation >= 2 && orientation <= 8 ? orientation : 1;
}

int orientationOf(QImageIOHandler::Transformations transformation)
{
    // Indexed by Qt's flags: mirror 1, flip 2, a quarter turn clockwise 4.
    constexpr std::array<int, 8> kByFlags = {1, 2, 4, 3, 6, 7, 5, 8};
    return kByFlags[std::size_t(transformation.toInt()) & 7];
}

QSize uprightSize(QSize stored, int orientation)
{
    return validOrientation(orientation) >= 5 ? stored.transposed() : stored;
}

QRect storedRect(QRect upright, QSize stored, int orientation)
{
    const Turn &turn = turnOf(orientation);
    const QPoint a = storedPoint(upright.topLeft(), stored, turn);
    const QPoint b = storedPoint(upright.bottomRight(), stored, turn);
    // Not QRect::normalized(), which takes reversed corners as bounds to leave out.
    return QRect(QPoint(std::min(a.x(), b.x()), std::min(a.y(), b.y())),
                 QPoint(std::max(a.x(), b.x()), std::max(a.y(), b.y())));
}

QImage turnUpright(const QImage &piece, int orientation)
{
    if (orientation == 1 || piece.isNull())
        return piece;
    const QImage source = piece.depth() == 8 || piece.depth() == 32
        ? piece
        : piece.convertToFormat(QImage::Format_ARGB32);
    QImage upright(uprightSize(source.size(), orientation), source.format());
    if (upright.isNull())
        return upright;
    upright.setColorTable(source.colorTable());
    const Turn &turn = turnOf(orientation);
    if (source.depth() == 8)
        copyTurned<uchar>(source, turn, &upright);
    else
        copyTurned<quint32>(source, turn, &upright);
    return upright;
}
