#pragma once

#include <QRect>

// The part of a picture that can be seen from its top-left corner, and the part to decode for
// it: JPEG decoders smooth colour across block edges, so decoding one block further keeps the
// visible pixels identical to those of a whole decode.
struct VisibleRegion
{
    QRect shown;
    QRect decoded;
};

inline VisibleRegion visibleRegion(QSize fullSize, QSize visibleArea)
{
    constexpr int kEdgeMargin = 16;
    const QRect whole(QPoint(0, 0), fullSize);
    const QRect shown = whole.intersected(QRect(QPoint(0, 0), visibleArea.expandedTo(QSize(1, 1))));
    return {shown, whole.intersected(shown.adjusted(0, 0, kEdgeMargin, kEdgeMargin))};
}
