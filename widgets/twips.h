#pragma once

#include <QRect>
#include <cmath>

// Positions and sizes are kept in twips, as the layout tables give them; the screen is
// assumed to be 96 dots per inch, where a pixel is exactly 15 twips.
namespace twips {

inline constexpr int perPixel = 15;

constexpr int toPixels(double twips)
{
    return int(std::lround(twips / perPixel));
}

inline QRect toPixels(const QRect &twipsRect)
{
    return QRect(toPixels(twipsRect.x()), toPixels(twipsRect.y()), toPixels(twipsRect.width()),
                 toPixels(twipsRect.height()));
}

} // namespace twips
