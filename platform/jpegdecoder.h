#pragma once

#include "pictureloader.h"

class QIODevice;

// Decodes the visible top-left part of a JPEG with libjpeg directly: unlike Qt's reader it
// leaves out the columns right of the visible area, and of a progressive picture it decodes
// only the rows that can be seen. False, with the device's position undefined, for anything
// it does not handle exactly as Qt's reader would (CMYK, damaged headers, other formats).
bool decodeVisibleJpeg(QIODevice &device, QSize visibleArea, LoadedPicture *result);
