#pragma once

#include <QByteArray>
#include <QColorSpace>
#include <QRgb>
#include <memory>

// Turns rows of CMYK pixels, four bytes each as libjpeg gives them, into Qt's 32-bit RGB pixels:
// through the picture's own CMYK profile into the screen's colour space where Little CMS can use
// the profile, else by the formula Qt's reader uses, which shows the values as they are.
class CmykRows
{
public:
    // adobeInverted: stored the way Adobe's programs write them, 255 for no ink.
    CmykRows(const QByteArray &profile, bool adobeInverted, const QColorSpace &screen);

    // Whether the rows come out in the screen's colour space.
    bool managed() const { return m_transform != nullptr; }
    void convert(const uchar *cmyk, QRgb *rgb, int count) const;

private:
    std::shared_ptr<void> m_transform;
};
