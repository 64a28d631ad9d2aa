#pragma once

#include <QImage>
#include <QImageIOHandler>
#include <QRect>
#include <QSize>

// Cameras store a picture as the sensor saw it and say in an Exif tag how to turn it upright:
// 1 is as stored, 2 to 4 mirror or turn it half-way, 5 to 8 swap its width and height. Any
// other value is taken as 1.
int validOrientation(int orientation);

// The orientation that Qt's readers report as a transformation.
int orientationOf(QImageIOHandler::Transformations transformation);

QSize uprightSize(QSize stored, int orientation);

// Where the pixels of a rectangle of the upright picture lie in the stored one.
QRect storedRect(QRect upright, QSize stored, int orientation);

// A stored piece turned upright; piece is the stored rectangle of the wanted upright one.
QImage turnUpright(const QImage &piece, int orientation);
