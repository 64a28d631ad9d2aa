#pragma once

#include <QColorSpace>
#include <QImage>
#include <QRect>
#include <atomic>

class QIODevice;

// Decodes one rectangle of a JPEG as it is stored, with libjpeg directly: unlike Qt's reader
// it leaves out the columns and rows outside needed. Only the pixels of kept, which lies inside
// needed, are handed back; the rest of needed is what block smoothing reads around it. (A
// progressive picture whose rectangle lies in its bottom rows is still held whole as
// coefficients until its last scan is read.) The piece carries the colour space of the
// picture's profile, unconverted, as Qt's reader gives it; CMYK with a profile comes converted
// into screen's. A null image, with the device's position undefined, for anything it does not
// decode as Qt's reader would (damaged headers, a size other than stored), or once cancelled
// is set.
// Built without libjpeg-turbo, there is no piece: Qt's reader decodes every JPEG.
#ifdef TARVEL_HAVE_JPEG_CROP
QImage decodeJpegPiece(QIODevice &device, QSize stored, QRect needed, QRect kept,
                       const std::atomic<bool> *cancelled = nullptr,
                       const QColorSpace &screen = QColorSpace(QColorSpace::SRgb));
#else
inline QImage decodeJpegPiece(QIODevice &, QSize, QRect, QRect, const std::atomic<bool> * = nullptr,
                              const QColorSpace & = QColorSpace(QColorSpace::SRgb))
{
    return {};
}
#endif
