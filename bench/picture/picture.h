#pragma once

#include "common.h"

#include <QEvent>
#include <QEventLoop>
#include <QSize>
#include <QString>
#include <QStringList>
#include <QTimer>
#include <QWidget>
#include <functional>
#include <vector>

namespace benchmark {
class State;
}

// How a case's pictures keep their colours.
enum class Colours { Untagged, AdobeRgb, CmykWithProfile };

struct PictureCase
{
    QString name; // as the summary shows it
    QString id;   // as benchmark names use it
    QSize size;   // as shown, upright
    bool progressive = false;
    int orientation = 1; // the Exif orientation it is stored with
    Colours colours = Colours::Untagged;
    QString collection{}; // every topic holds pictures 1 to kNumbers of this case

    QString picture() const { return collection + QStringLiteral("/Maps/1.jpg"); }
};

// More numbers than a window's clicks step through, so that no timed step falls back to 1.
inline constexpr int kNumbers = 24;

// Long enough for a read-ahead of the next pictures to finish, short beside a user's pause.
inline constexpr int kReadAheadMs = 300;

// Writes the collections of 1920 x 1080, 6000 x 4000, the same progressive and stored on its
// side, and 12000 x 8000, in that order, then 6000 x 4000 tagged Adobe RGB and the same as CMYK
// with a profile, under root; empty when it cannot.
std::vector<PictureCase> makePictureCases(const QString &root);

// Runs the event loop for a while, as the program's would run while the user looks.
inline void pause(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

// Calls back at every paint of what it watches: a widget, or all of them through the application.
struct PaintWatch : QObject
{
    explicit PaintWatch(std::function<void(const QWidget &)> onPaint) : paint(std::move(onPaint)) {}
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Paint && watched->isWidgetType())
            paint(*static_cast<QWidget *>(watched));
        return false;
    }
    std::function<void(const QWidget &)> paint;
};

// The measurements that need a fresh process: this program run again as "--child MODE [DIR]",
// printing one number. Modes: pages (VmHWM with the ten pages of DIR visited), whole (VmHWM with
// the window open and every topic's picture 1 decoded whole and held), frame (nanoseconds on
// the monotonic clock, which is the machine's, at the program's first painted frame), bare (the
// same for a bare tab widget).
int childMain(const QString &mode, const QString &dir);

// Ten topics of one 6000 x 4000 PNG under root, which only Qt's reader reads; empty when it
// cannot be written.
QString writePngCollection(const QString &root);
// Closes a window on the collection while the pictures of its pages are being read ahead.
void closeWhileReading(benchmark::State &state, const QString &collection);

// What a fresh process measures, and how the summary calls it.
struct ChildRow
{
    const char *name, *label;
    QStringList arguments;
    bool peak() const { return qstrncmp(name, "peak", 4) == 0; }
};

// The peak of resident memory, or the time from launch to the first frame.
void inChild(benchmark::State &state, const ChildRow &row);
