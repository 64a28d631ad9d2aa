#pragma once

#include "pictureloader.h"

class QIODevice;

// Decodes the visible top-left part of a JPEG, turned upright as its Exif orientation says,
// with libjpeg directly: unlike Qt's reader it leaves out the stored columns and rows that
// cannot be seen. (A progressive picture whose corner lies in its stored bottom rows is still
// held whole as coefficients until its last scan is read.) False, with the device's position
// undefined, for anything it does not handle exactly as Qt's reader would (CMYK, damaged
// headers, other formats).
bool decodeVisibleJpeg(QIODevice &device, QSize visibleArea, LoadedPicture *result);
