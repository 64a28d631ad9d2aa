#pragma once

#include <QByteArray>
#include <QImage>
#include <QSize>
#include <QString>

// Real files for the tests: photo-like JPEGs (smooth shading, edges and grain, so that they
// compress like photographs) and topic folders laid out as the program expects them.
namespace testdata {

QImage photoLike(QSize size, quint32 seed);

// Writes a photo-like JPEG stored at the given size, with an Exif orientation unless it is 1.
bool writeJpeg(const QString &path, QSize size, quint32 seed, bool progressive = false,
               int quality = 85, int orientation = 1);

// The little TIFF file inside an Exif segment, naming only the orientation; any value, so that
// readers can be tried on damaged ones too.
QByteArray orientationTiff(int orientation, bool bigEndian = false);

// The JPEG with an Exif segment holding tiff put right after its start marker.
QByteArray withExif(const QByteArray &jpeg, const QByteArray &tiff);

bool writeBytes(const QString &path, const QByteArray &bytes);

// <root>/<folder>/N.jpg and N.txt for every N in [first, last]. Picture N is N + 1 pixels
// wider than size, so that its width tells which one is on display; description N is
// descriptionBytes(folder, N).
void makeTopic(const QString &root, const QString &folder, int first, int last,
               QSize size = QSize(120, 90));

QByteArray descriptionBytes(const QString &folder, int number);

// All ten topic folders with pictures and descriptions 1..count.
void makeCollection(const QString &root, int count = 5);

} // namespace testdata
