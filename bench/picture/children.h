#pragma once

#include <QMap>
#include <QString>
#include <QStringList>
#include <chrono>
#include <optional>

// Measurements that need a process of their own: a peak of resident memory that nothing else
// has raised, and the time from launch to the first frame.
namespace bench {

using Clock = std::chrono::steady_clock;

inline constexpr const char *kPeakMemoryChild = "--peak-memory-child";
inline constexpr const char *kPeakMemoryNaiveChild = "--peak-memory-naive-child";
inline constexpr const char *kFirstFrameChild = "--first-frame-child";
inline constexpr const char *kFirstFrameBareChild = "--first-frame-bare-child";

// The child modes; each prints "key value" lines on stdout and returns the exit code.
// Visits all ten pages of the collection in dir, then reports the peak resident memory.
int peakMemoryChild(int &argc, char **argv, const QString &dir);
// Opens the window on dir, then holds whole decodes of every topic's picture 1 at once.
int peakMemoryNaiveChild(int &argc, char **argv, const QString &dir);
// Starts as the program does and reports when the first page's picture has been painted.
int firstFrameChild(int &argc, char **argv, const QString &dir, Clock::time_point mainStart);
// The same for a bare window: a tab widget with ten empty pages.
int firstFrameBareChild(int &argc, char **argv, Clock::time_point mainStart);

struct ChildRun
{
    QMap<QString, QString> values;
    Clock::time_point launched; // just before the process was started
    QString error;
};

// Runs this program again with the given arguments and collects its "key value" lines.
ChildRun runChild(const QStringList &arguments, int timeoutMs = 120000);

// Nanoseconds since the monotonic clock's epoch, which every process on the machine shares.
qint64 monotonicNs(Clock::time_point t);

// The peak resident memory of this process in KiB (VmHWM), where the system reports it.
std::optional<qint64> peakResidentKiB();

} // namespace bench
