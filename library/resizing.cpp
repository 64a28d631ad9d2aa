#include "resizing.h"

#include "controls.h"

namespace {

constexpr float kResizeStep = 300.0f;
constexpr float kShrinkThreshold = 600.0f;
// Twips are single-precision whole numbers; beyond 2^24 they would no longer add up exactly
// and the bottom edge would drift. That is also well inside what a widget can measure.
constexpr float kLargestGeometry = 16777216.0f;

} // namespace

bool growDescription(DescriptionBox &box)
{
    if (box.Top() - kResizeStep < -kLargestGeometry
        || box.Height() + kResizeStep > kLargestGeometry)
        return false;
    box.setTop(box.Top() - kResizeStep);
    box.setHeight(box.Height() + kResizeStep);
    return true;
}

bool shrinkDescription(DescriptionBox &box)
{
    if (!(box.Height() > kShrinkThreshold))
        return false;
    box.setTop(box.Top() + kResizeStep);
    box.setHeight(box.Height() - kResizeStep);
    return true;
}
