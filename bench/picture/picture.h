#pragma once

#include "common.h"

#include <QEvent>
#include <QEventLoop>
#include <QSize>
#include <QString>
#include <QStringList>
#include <QTimer>
#include <QWidget>
#include <chrono>
#include <functional>
#include <optional>
#include <vector>

// The monotonic clock is the machine's, so a child's reading compares with its parent's.
using Clock = std::chrono::steady_clock;
inline const auto monotonicNs = [](Clock::time_point t) {
    return qint64(std::chrono::nanoseconds(t.time_since_epoch()).count());
};

struct PictureCase
{
    QString name; // as the summary shows it
    QString id;   // as benchmark names use it
    QSize size;   // as shown, upright
    bool progressive = false;
    int orientation = 1;  // the Exif orientation it is stored with
    QString collection{}; // every topic holds pictures 1 to kNumbers of this case

    QString picture() const { return collection + QStringLiteral("/Maps/1.jpg"); }
};

// More numbers than a window's clicks step through, so that no timed step falls back to 1.
inline constexpr int kNumbers = 24;

// Long enough for a read-ahead of the next pictures to finish, short beside a user's pause.
inline constexpr int kReadAheadMs = 300;

// Writes the collections of 1920 x 1080, 6000 x 4000, the same progressive and stored on its
// side, and 12000 x 8000, in that order, under root; empty when it cannot.
std::vector<PictureCase> makePictureCases(const QString &root);

// Runs the event loop for a while, as the program's would run while the user looks.
inline void pause(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

// Calls back at every paint of what it watches: a widget, or all of them through the application.
class PaintWatch : public QObject
{
public:
    explicit PaintWatch(std::function<void(const QWidget &)> paint) : m_paint(std::move(paint)) {}

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Paint && watched->isWidgetType())
            m_paint(*static_cast<QWidget *>(watched));
        return false;
    }

private:
    std::function<void(const QWidget &)> m_paint;
};

// The measurements that need a fresh process: this program run again as "--child MODE [DIR]",
// printing one number. Modes: pages (VmHWM with the ten pages of DIR visited), whole (VmHWM with
// the window open and every topic's picture 1 decoded whole and held), frame (monotonic
// nanoseconds at the program's first painted frame), bare (the same for a bare tab widget).
int childMain(const QString &mode, const QString &dir);
// The child's number, or nothing when it failed; launched is noted just before it starts.
std::optional<qint64> runChild(const QStringList &arguments, Clock::time_point &launched);
