#include "mainwindow.h"
#include "picture.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QImageReader>
#include <QProcess>
#include <QTabBar>
#include <QTabWidget>
#include <algorithm>
#include <benchmark/benchmark.h>
#include <cstdio>
#include <utility>

namespace {

int fail(const char *why)
{
    std::fprintf(stderr, "child: %s\n", why);
    return 3;
}

// A picture control takes the size of the picture it shows: so many are showing one of dir's.
int picturesShown(const QWidget &window, const QString &dir)
{
    const QSize size = QImageReader(dir + QStringLiteral("/Maps/1.jpg")).size();
    return int(std::ranges::count_if(window.findChildren<QWidget *>(),
                                     [size](const QWidget *w) { return w->size() == size; }));
}

int peakChild(const QString &dir, bool whole)
{
    MainWindow window;
    window.start(dir);
    pause(kReadAheadMs);
    auto *strip = window.findChild<QWidget *>(QStringLiteral("SSTab1"));
    auto *bar = strip ? strip->findChild<QTabBar *>() : nullptr;
    std::vector<QImage> held;
    if (whole)
        QImageReader::setAllocationLimit(0); // Qt refuses a 6000 x 4000 picture otherwise
    for (int page = 0; bar && page < int(bench::kFolders.size()); ++page) {
        if (whole) {
            const QString folder = dir + u'/' + QLatin1String(bench::kFolders[page]);
            held.push_back(QImageReader(folder + QStringLiteral("/1.jpg")).read());
        } else {
            bar->setCurrentIndex(page);
            pause(kReadAheadMs);
        }
    }
    const auto decoded = std::ranges::count_if(held, [](const QImage &i) { return !i.isNull(); });
    if ((whole ? int(decoded) : picturesShown(window, dir)) != int(bench::kFolders.size()))
        return fail("not every page shows its picture, or a whole decode failed");
    std::printf("%lld\n", bench::statusKiB("VmHWM:"));
    return 0;
}

int frameChild(const QString &dir)
{
    // By the end of the first paint's turn of the event loop the window is painted and flushed.
    bool seen = false;
    PaintWatch watch([&](const QWidget &w) {
        if ((dir.isEmpty() || w.objectName() == u"Image1") && !std::exchange(seen, true)) {
            QTimer::singleShot(0, [] {
                std::printf("%lld\n", QDeadlineTimer::current(Qt::PreciseTimer).deadlineNSecs());
                QCoreApplication::quit();
            });
        }
    });
    QTimer::singleShot(30000, [] { QCoreApplication::exit(fail("no frame within 30 s")); });
    if (dir.isEmpty()) {
        QTabWidget window;
        for (const char *folder : bench::kFolders)
            window.addTab(new QWidget, QLatin1String(folder));
        window.resize(800, 600);
        window.widget(0)->installEventFilter(&watch);
        window.show();
        return QCoreApplication::exec();
    }
    // As the program's main() starts it. Its widgets are built in start(), so the first page's
    // picture control is watched through the application.
    MainWindow window;
    qApp->installEventFilter(&watch);
    window.start(dir);
    const int code = QCoreApplication::exec();
    return code || picturesShown(window, dir) ? code : fail("the first frame showed no picture");
}

} // namespace

int childMain(const QString &mode, const QString &dir)
{
    if (mode == u"pages" || mode == u"whole")
        return peakChild(dir, mode == u"whole");
    return frameChild(mode == u"frame" ? dir : QString());
}

// The peak of resident memory, or the time from launch to the first frame.
void inChild(benchmark::State &state, const ChildRow &row)
{
    const QStringList arguments = QStringList{QStringLiteral("--child")} + row.arguments;
    for ([[maybe_unused]] auto _ : state) {
        QProcess child; // its destructor ends a child that is still running
        child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        // The child reads the same clock: the monotonic one is the machine's.
        const qint64 launchedNs = QDeadlineTimer::current(Qt::PreciseTimer).deadlineNSecs();
        child.start(QCoreApplication::applicationFilePath(), arguments);
        const bool finished = child.waitForFinished(120000)
            && child.exitStatus() == QProcess::NormalExit && child.exitCode() == 0;
        bool ok = false;
        const qint64 value = child.readAllStandardOutput().trimmed().toLongLong(&ok);
        if (!finished || !ok || value < 0)
            return state.SkipWithError("the child failed");
        if (row.peak())
            state.counters["MiB"] = double(value) / 1024.0;
        else
            state.SetIterationTime(double(value - launchedNs) / 1e9);
    }
}
