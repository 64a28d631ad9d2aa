#pragma once

#include <QByteArray>
#include <QColorSpace>
#include <QImage>

// The colour space pictures are shown in: the one of the profile the screen publishes where Qt
// reads it, else sRGB, which is what a screen without a profile is taken to be.
QColorSpace screenColourSpace(const QByteArray &publishedProfile);

// Brings a picture from the colour space it was read with into the screen's. A picture without
// one (no profile, or one Qt cannot read) keeps its pixels as they are.
void showInColourSpace(QImage &picture, const QColorSpace &screen);
