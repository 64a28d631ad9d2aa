#pragma once

#include "orientation.h"

#include <QSize>
#include <QString>
#include <vector>

// The pictures the bench measures, written once per run into a temporary folder.
namespace bench {

struct PictureCase
{
    QString name; // as the tables show it, e.g. "6000 x 4000 progressive"
    QString id;   // as benchmark names use it, e.g. "6000x4000p"
    QSize size;   // as shown, upright
    bool progressive;
    QString collection;  // a folder whose Maps topic holds pictures 1 and 2 of this size
    int orientation = 1; // the Exif orientation the pictures are stored with

    QString picture() const { return collection + QStringLiteral("/Maps/1.jpg"); }
    // Turning by the same orientation swaps the sides back.
    QSize stored() const { return uprightSize(size, orientation); }
};

// 1920 x 1080, 6000 x 4000 baseline, progressive and stored on its side (a phone's portrait),
// 12000 x 8000, each as its own collection.
std::vector<PictureCase> makePictureCases(const QString &root);

// A collection whose every topic folder holds the given picture as 1.jpg, with 1.txt.
bool makeUniformCollection(const QString &root, const QString &picture);

// A collection of ten topics with one small picture each: the window's own cost.
void makeSmallCollection(const QString &root);

} // namespace bench
