#pragma once

#include <QColorSpace>
#include <QFile>
#include <QImage>
#include <QSize>
#include <QString>
#include <atomic>
#include <chrono>

// What the picture controls are given: the part of the picture that can ever be seen, and
// the size of the whole picture, which the control takes as its own.
struct LoadedPicture
{
    QImage visible; // the top-left part of the upright picture, at most the visible area's size
    QSize fullSize; // the picture's own size upright, read from its header
    QString errorString;

    bool isNull() const { return visible.isNull(); }
};

// What a decode needs to know of the window: how much of a picture a page can show, the colour
// space the screen shows it in, and how long a file or a decoder may take to answer.
struct DecodeSettings
{
    QSize visibleArea;
    QColorSpace screen;
    std::chrono::milliseconds timeout{10'000};
};

// Reads a picture by its content, whatever its name says, turned upright as Qt reads its
// orientation, decoding only the top-left part of at most the visible area's pixels; the rest
// would be cut off by the page anyway. A picture with a colour profile comes converted into the
// screen's colour space. Fails on a missing, unreadable or
// non-picture file, and on a picture whose decoding was cancelled.
LoadedPicture loadPicture(const QString &path, const DecodeSettings &settings,
                          const std::atomic<bool> *cancelled = nullptr);
// The same from a file open for reading, from its start.
LoadedPicture decodePicture(QFile &file, const DecodeSettings &settings,
                            const std::atomic<bool> *cancelled = nullptr);

// Brings a picture into the form the window paints as it is.
void toPaintedForm(QImage &picture);
