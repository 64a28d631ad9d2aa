#include "colour.h"

QColorSpace screenColourSpace(const QByteArray &publishedProfile)
{
    // Qt turns down a profile it cannot use whole, so a damaged one counts as none.
    const QColorSpace published =
        publishedProfile.isEmpty() ? QColorSpace() : QColorSpace::fromIccProfile(publishedProfile);
    return published.isValid() ? published : QColorSpace(QColorSpace::SRgb);
}

void showInColourSpace(QImage &picture, const QColorSpace &screen)
{
    if (picture.colorSpace().isValid() && screen.isValid())
        picture.convertToColorSpace(screen);
}
