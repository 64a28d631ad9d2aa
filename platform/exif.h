#pragma once

#include <cstddef>

// The orientation (1 to 8, see orientation.h) that a JPEG's Exif segment gives its picture:
// data is the APP1 segment's payload, from its "Exif" signature on. 1 for anything else,
// whatever the bytes hold; nothing outside data is ever read.
int exifOrientation(const unsigned char *data, std::size_t size);
