#include "children.h"

#include "controls.h"
#include "form1.h"
#include "tabstrip.h"
#include "topictable.h"

#include <QApplication>
#include <QImageReader>
#include <QProcess>
#include <QTabWidget>
#include <QTimer>
#include <cstdio>
#include <ctime>
#include <fstream>
#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace bench {

qint64 monotonicNs(Clock::time_point t)
{
    return std::chrono::duration_cast<std::chrono::nanoseconds>(t.time_since_epoch()).count();
}

std::optional<qint64> peakResidentKiB()
{
#ifdef Q_OS_LINUX
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmHWM:", 0) == 0)
            return std::stoll(line.substr(6));
    }
#endif
    return std::nullopt;
}

namespace {

void print(const char *key, qint64 value)
{
    std::printf("%s %lld\n", key, static_cast<long long>(value));
}

qint64 nanoseconds(Clock::duration d)
{
    return std::chrono::duration_cast<std::chrono::nanoseconds>(d).count();
}

void printPeak()
{
    const std::optional<qint64> peak = peakResidentKiB();
    print("vmhwm-kib", peak.value_or(-1));
    std::fflush(stdout);
}

// Lets every posted event and the repaint it asks for run, as the event loop would.
void settle()
{
    for (int i = 0; i < 3; ++i)
        QCoreApplication::processEvents();
}

// Notes the first Paint event that reaches the watched widget, then the end of that turn of
// the event loop, by which time the whole window has been painted and flushed.
class FirstFrameWatch : public QObject
{
public:
    explicit FirstFrameWatch(Clock::time_point mainStart) : m_mainStart(mainStart) {}

    std::function<bool()> shown = [] { return true; };

    // Start-up so far, to tell where the time before the first frame went.
    void mark(const char *phase) { m_marks.emplace_back(phase, Clock::now()); }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Paint && !m_seen) {
            m_seen = true;
            const Clock::time_point paint = Clock::now();
            QTimer::singleShot(0, this, [this, paint] {
                const Clock::time_point frame = Clock::now();
                const std::clock_t cpu = std::clock();
                for (const auto &[phase, at] : m_marks)
                    print(("phase-" + std::string(phase) + "-ns").c_str(),
                          nanoseconds(at - m_mainStart));
                print("paint-since-main-ns", nanoseconds(paint - m_mainStart));
                // The CPU clock starts with the process, so this includes loading the libraries.
                print("frame-cpu-ns", qint64(double(cpu) * 1e9 / CLOCKS_PER_SEC));
                print("frame-since-main-ns", nanoseconds(frame - m_mainStart));
                print("frame-monotonic-ns", monotonicNs(frame));
                print("picture-shown", shown() ? 1 : 0);
                std::fflush(stdout);
                QCoreApplication::quit();
            });
        }
        return QObject::eventFilter(watched, event);
    }

private:
    Clock::time_point m_mainStart;
    std::vector<std::pair<const char *, Clock::time_point>> m_marks;
    bool m_seen = false;
};

int runUntilFirstFrame(QApplication &app)
{
    // A window that never paints must fail the run, not hang it.
    QTimer::singleShot(30000, &app, [] {
        std::fprintf(stderr, "no frame was painted within 30 s\n");
        QCoreApplication::exit(2);
    });
    return app.exec();
}

// The program's own start-up, shown and painted.
void openSettled(Form1 &window, const QString &dir)
{
    QApplication::setApplicationName(QStringLiteral("Tarvel Images"));
    window.start(dir);
    window.show();
    settle();
}

ImageControl *pictureOf(const Form1 &window, const Topic &topic)
{
    return window.findChild<ImageControl *>(QString::fromLatin1(topic.picture));
}

} // namespace

int peakMemoryChild(int &argc, char **argv, const QString &dir)
{
    QApplication app(argc, argv);
    Form1 window;
    openSettled(window, dir);
    auto *tabs = window.findChild<TabStrip *>(QStringLiteral("SSTab1"));
    if (!tabs) {
        std::fprintf(stderr, "the window has no tab strip named SSTab1\n");
        return 1;
    }
    for (int tab = 1; tab < kTopicCount; ++tab) {
        tabs->setCurrentIndex(tab);
        settle();
    }
    int shown = 0;
    for (const Topic &topic : kTopics) {
        const ImageControl *picture = pictureOf(window, topic);
        shown += picture && !picture->picture().isNull() ? 1 : 0;
    }
    print("pages-shown", shown);
    printPeak();
    return 0;
}

int peakMemoryNaiveChild(int &argc, char **argv, const QString &dir)
{
    QApplication app(argc, argv);
    Form1 window;
    openSettled(window, dir);
    std::vector<QImage> whole;
    for (const Topic &topic : kTopics) {
        QImageReader reader(dir + u'/' + folderName(QString::fromLatin1(topic.caption))
                            + QStringLiteral("/1.jpg"));
        reader.setAllocationLimit(0);
        whole.push_back(reader.read());
    }
    int decoded = 0;
    for (const QImage &image : whole)
        decoded += image.isNull() ? 0 : 1;
    print("pages-shown", decoded);
    printPeak();
    return 0;
}

int firstFrameChild(int &argc, char **argv, const QString &dir, Clock::time_point mainStart)
{
    // The same start-up as the program's main(), with the watch added.
    FirstFrameWatch watch(mainStart);
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tarvel Images"));
    watch.mark("app");

    Form1 window;
    watch.mark("window");
    ImageControl *picture = pictureOf(window, kTopics[0]);
    if (!picture) {
        std::fprintf(stderr, "the window has no picture control named %s\n", kTopics[0].picture);
        return 1;
    }
    watch.shown = [picture] { return !picture->picture().isNull(); };
    picture->installEventFilter(&watch);
    window.start(dir);
    watch.mark("load");
    window.show();
    watch.mark("show");
    return runUntilFirstFrame(app);
}

int firstFrameBareChild(int &argc, char **argv, Clock::time_point mainStart)
{
    FirstFrameWatch watch(mainStart);
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tarvel Images"));
    watch.mark("app");

    QTabWidget window;
    for (const Topic &topic : kTopics)
        window.addTab(new QWidget, QString::fromLatin1(topic.caption));
    window.resize(800, 600);
    watch.mark("window");
    window.widget(0)->installEventFilter(&watch);
    watch.mark("load");
    window.show();
    watch.mark("show");
    return runUntilFirstFrame(app);
}

ChildRun runChild(const QStringList &arguments, int timeoutMs)
{
    ChildRun run;
    QProcess process;
    process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    run.launched = Clock::now();
    process.start(QCoreApplication::applicationFilePath(), arguments);
    if (!process.waitForFinished(timeoutMs)) {
        process.kill();
        process.waitForFinished();
        run.error = QStringLiteral("did not finish: ") + process.errorString();
        return run;
    }
    if (process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0) {
        run.error = QStringLiteral("exited with code %1").arg(process.exitCode());
        return run;
    }
    const QList<QByteArray> lines = process.readAllStandardOutput().split('\n');
    for (const QByteArray &line : lines) {
        const QList<QByteArray> parts = line.trimmed().split(' ');
        if (parts.size() == 2)
            run.values.insert(QString::fromLatin1(parts[0]), QString::fromLatin1(parts[1]));
    }
    return run;
}

} // namespace bench
