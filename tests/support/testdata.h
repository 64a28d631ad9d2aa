#pragma once

#include "pictureloader.h"
#include "topictable.h"

#include <QByteArray>
#include <QImage>
#include <QSize>
#include <QString>

// Every suite writes its strings and bytes with Qt's literals.
using namespace Qt::StringLiterals;

// What a page can show of a picture placed at its usual spot.
inline constexpr QSize kVisibleArea(788, 553);
// Such a page on a screen without a profile of its own.
inline const DecodeSettings kSrgbPage{kVisibleArea, QColorSpace(QColorSpace::SRgb)};

// Real files for the tests: pictures made with Qt, topic folders laid out as the program
// expects them.
namespace testdata {

// Detail in every pixel, so that a row or column out of place shows in any comparison.
QImage textured(QSize size, quint32 seed);
bool writeBytes(const QString &path, const QByteArray &bytes);
QByteArray readBytes(const QString &path);

QByteArray descriptionBytes(const QString &folder, int number);
// <root>/<folder>/N.jpg and N.txt for every N from 1 to count, in the folders of the first
// topics. Picture N is 121 + N pixels wide, so that its width tells which one is on display.
void makeCollection(const QString &root, int count, int topics = kTopicCount);

} // namespace testdata
