#pragma once

#include <QImage>
#include <QSize>
#include <QString>

// What the picture controls are given: the part of the picture that can ever be seen, and
// the size of the whole picture, which the control takes as its own.
struct LoadedPicture
{
    QImage visible; // the top-left part of the upright picture, at most the visible area's size
    QSize fullSize; // the picture's own size upright, read from its header
    QString errorString;

    bool isNull() const { return visible.isNull(); }
};

// Reads a picture by its content, whatever its name says, turned upright as Qt reads its
// orientation, decoding only the top-left part of at most visibleArea pixels; the rest would
// be cut off by the page anyway. Fails on a missing, unreadable or non-picture file.
LoadedPicture loadPicture(const QString &path, QSize visibleArea);
