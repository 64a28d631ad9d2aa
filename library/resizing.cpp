#include "resizing.h"

namespace {

constexpr double kResizeStep = 300.0;
constexpr double kShrinkThreshold = 600.0;
// Beyond 2^24 twips a single-precision place would no longer add up exactly and the bottom
// edge would drift; that is also well inside what a widget can measure.
constexpr double kLargestGeometry = 16777216.0;

} // namespace

QRectF grown(const QRectF &box)
{
    if (box.top() - kResizeStep < -kLargestGeometry
        || box.height() + kResizeStep > kLargestGeometry)
        return box;
    return box.adjusted(0, -kResizeStep, 0, 0);
}

QRectF shrunk(const QRectF &box)
{
    if (box.height() > kShrinkThreshold)
        return box.adjusted(0, kResizeStep, 0, 0);
    return box;
}
