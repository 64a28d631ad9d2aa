// How fast ">" shows a picture, how much memory ten pages of large pictures hold, and how
// soon the window first paints, each beside what the simple way would cost on this machine.
// Run by hand from a Release build: build/tarvel-bench-picture [--benchmark_* flags].

#include "children.h"
#include "controls.h"
#include "fixtures.h"
#include "form1.h"
#include "pictureloader.h"
#include "topictable.h"
#include "visibleregion.h"

#include <QApplication>
#include <QFile>
#include <QImageReader>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QThread>
#include <algorithm>
#include <benchmark/benchmark.h>
#include <cmath>
#include <cstdio>
#include <ctime>
#include <map>
#include <string>
#include <vector>

using bench::Clock;
using bench::PictureCase;

namespace {

constexpr int kPeakRuns = 3;
constexpr int kFrameRuns = 5;
// What the loader asks the decoder for beyond the visible area; see platform/pictureloader.cpp.
constexpr int kLoaderMargin = 16;

// Milliseconds of every timed iteration, by benchmark name, for the summary's medians: wall
// time, and the process's CPU time, which a machine busy with other work inflates far less.
struct Samples
{
    std::vector<double> wall;
    std::vector<double> cpu;
    bool failed = false;
};

void fail(benchmark::State &state, Samples &samples, const char *why)
{
    samples.failed = true;
    state.SkipWithError(why);
}
std::map<std::string, Samples> g_samples;
QSize g_visibleArea;

double median(std::vector<double> values)
{
    if (values.empty())
        return std::nan("");
    std::sort(values.begin(), values.end());
    const std::size_t mid = values.size() / 2;
    return values.size() % 2 ? values[mid] : (values[mid - 1] + values[mid]) / 2;
}

// Times one iteration: wall and CPU milliseconds between start() and stop().
class Stopwatch
{
public:
    void start()
    {
        m_cpu = std::clock();
        m_wall = Clock::now();
    }
    void stop(benchmark::State &state, Samples &samples)
    {
        const double wall =
            std::chrono::duration<double, std::milli>(Clock::now() - m_wall).count();
        const double cpu = double(std::clock() - m_cpu) * 1000.0 / CLOCKS_PER_SEC;
        state.SetIterationTime(wall / 1000.0);
        samples.wall.push_back(wall);
        samples.cpu.push_back(cpu);
    }

private:
    std::clock_t m_cpu = 0;
    Clock::time_point m_wall;
};

std::string key(const char *what, const PictureCase &c)
{
    return std::string(what) + '/' + c.id.toStdString();
}

double medianOf(const char *what, const PictureCase &c, bool cpu = false)
{
    const auto found = g_samples.find(key(what, c));
    if (found == g_samples.end() || found->second.failed)
        return std::nan("");
    return median(cpu ? found->second.cpu : found->second.wall);
}

// Many presses of the small pictures, few whole decodes of the big ones: about a second each.
int stepIterations(const PictureCase &c)
{
    const qint64 pixels = qint64(c.size.width()) * c.size.height();
    return pixels <= 3'000'000 ? 40 : pixels <= 30'000'000 ? 25 : 15;
}

int wholeIterations(const PictureCase &c)
{
    const qint64 pixels = qint64(c.size.width()) * c.size.height();
    return pixels <= 3'000'000 ? 30 : pixels <= 30'000'000 ? 8 : 5;
}

class PaintCounter : public QObject
{
public:
    int count = 0;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Paint)
            ++count;
        return QObject::eventFilter(watched, event);
    }
};

enum class StepMode {
    Reload,   // step box "0": every ">" loads and paints picture 1 again
    Alternate // step box "1": ">" and "<" in turn, between pictures 1 and 2
};

// One press of a button in the real window, until the event loop has painted its result.
void benchStep(benchmark::State &state, const PictureCase &c, StepMode mode, Samples &samples)
{
    Form1 form;
    form.Form_Load(c.collection);
    form.show();
    QCoreApplication::processEvents();
    TopicRow &maps = form.topics().row(0);
    PaintCounter paints;
    maps.picture->installEventFilter(&paints);
    maps.stepBox->setText(mode == StepMode::Reload ? QStringLiteral("0") : QStringLiteral("1"));

    int presses = 0;
    const auto press = [&] {
        CommandButton *button =
            mode == StepMode::Alternate && presses % 2 == 1 ? maps.back : maps.forward;
        ++presses;
        button->click();
        // The repaint is a posted event: this turn of the loop paints and flushes the window.
        QCoreApplication::processEvents();
    };
    press();
    press();
    paints.count = 0;
    int timed = 0;
    Stopwatch watch;
    for ([[maybe_unused]] auto _ : state) {
        watch.start();
        press();
        watch.stop(state, samples);
        ++timed;
    }

    const QString expectedNumber =
        mode == StepMode::Alternate && presses % 2 == 1 ? QStringLiteral("2") : QStringLiteral("1");
    if (maps.picture->size() != c.size
        || maps.picture->Picture().size() != g_visibleArea.boundedTo(c.size))
        fail(state, samples, "the picture was not shown");
    else if (form.library().state().CurrentNumberText != expectedNumber)
        fail(state, samples, "the steps did not arrive at the expected picture");
    else if (paints.count < timed)
        fail(state, samples, "a step was not painted");
    state.counters["paints_per_step"] = timed ? double(paints.count) / timed : 0.0;
}

// What the step costs without the window: the loader alone.
void benchLoader(benchmark::State &state, const PictureCase &c, Samples &samples)
{
    Stopwatch watch;
    for ([[maybe_unused]] auto _ : state) {
        watch.start();
        const LoadedPicture picture = LoadPicture(c.picture(), g_visibleArea);
        watch.stop(state, samples);
        if (picture.fullSize != c.size
            || picture.visible.size() != g_visibleArea.boundedTo(c.size)) {
            fail(state, samples, "the loader failed");
            break;
        }
    }
}

// The simple way: decode the whole picture, whatever its size.
void benchWhole(benchmark::State &state, const PictureCase &c, Samples &samples)
{
    Stopwatch watch;
    for ([[maybe_unused]] auto _ : state) {
        watch.start();
        QImageReader reader(c.picture());
        reader.setAllocationLimit(0);
        reader.setAutoTransform(true);
        const QImage image = reader.read();
        // Stopped before the image is freed, which favours the whole decode a little.
        watch.stop(state, samples);
        if (image.size() != c.size) {
            fail(state, samples, "the whole decode failed");
            break;
        }
    }
}

// Probes of the decoder: a clip decode of a given rectangle, or the header alone.
void benchClip(benchmark::State &state, const PictureCase &c, QRect clip, Samples &samples)
{
    Stopwatch watch;
    for ([[maybe_unused]] auto _ : state) {
        watch.start();
        QImageReader reader(c.picture());
        QImage image;
        if (clip.isValid()) {
            reader.setClipRect(clip);
            image = reader.read();
        }
        const QSize size = clip.isValid() ? image.size() : reader.size();
        watch.stop(state, samples);
        if (size != (clip.isValid() ? clip.size() : c.stored())) {
            fail(state, samples, "the probe failed");
            break;
        }
    }
}

// Where the loader decodes in the stored picture, which the probes read without turning it.
QRect loaderClip(const PictureCase &c)
{
    return storedRect(visibleRegion(c.size, g_visibleArea).decoded, c.stored(), c.orientation);
}

QRect fullWidthRows(const PictureCase &c)
{
    const QRect clip = loaderClip(c);
    return QRect(0, clip.y(), c.stored().width(), clip.height());
}

void registerBenchmarks(const std::vector<PictureCase> &cases)
{
    using Fn = void (*)(benchmark::State &, const PictureCase &, Samples &);
    const auto add = [](const PictureCase &c, const char *what, int iterations, auto body) {
        Samples &samples = g_samples[key(what, c)];
        benchmark::RegisterBenchmark(
            key(what, c).c_str(),
            [&c, &samples, body](benchmark::State &state) { body(state, c, samples); })
            ->UseManualTime()
            ->Unit(benchmark::kMillisecond)
            ->Iterations(iterations);
    };
    for (const PictureCase &c : cases) {
        add(c, "step", stepIterations(c),
            [](benchmark::State &s, const PictureCase &pc, Samples &v) {
                benchStep(s, pc, StepMode::Reload, v);
            });
        add(c, "step-alternate", stepIterations(c),
            [](benchmark::State &s, const PictureCase &pc, Samples &v) {
                benchStep(s, pc, StepMode::Alternate, v);
            });
        add(c, "loader", stepIterations(c), Fn(benchLoader));
        add(c, "whole", wholeIterations(c), Fn(benchWhole));
        add(c, "probe-clip", stepIterations(c),
            [](benchmark::State &s, const PictureCase &pc, Samples &v) {
                benchClip(s, pc, loaderClip(pc), v);
            });
        add(c, "probe-rows", stepIterations(c),
            [](benchmark::State &s, const PictureCase &pc, Samples &v) {
                benchClip(s, pc, fullWidthRows(pc), v);
            });
        add(c, "probe-header", stepIterations(c),
            [](benchmark::State &s, const PictureCase &pc, Samples &v) {
                benchClip(s, pc, QRect(), v);
            });
    }
}

// ---- measurements in child processes ----

struct PeakResult
{
    QString label;
    std::vector<double> mib;
    int pages = -1;
    QString error;
};

PeakResult measurePeak(const QString &label, const char *mode, const QString &dir)
{
    PeakResult result{label, {}, -1, {}};
    for (int run = 0; run < kPeakRuns; ++run) {
        const bench::ChildRun child = bench::runChild({QString::fromLatin1(mode), dir});
        const qint64 kib =
            child.values.value(QStringLiteral("vmhwm-kib"), QStringLiteral("-1")).toLongLong();
        if (!child.error.isEmpty() || kib < 0) {
            result.error = child.error.isEmpty() ? QStringLiteral("no VmHWM") : child.error;
            return result;
        }
        result.pages = child.values.value(QStringLiteral("pages-shown")).toInt();
        result.mib.push_back(double(kib) / 1024.0);
    }
    return result;
}

constexpr const char *kPhases[] = {"app", "window", "load", "show"};

struct FrameResult
{
    QString label;
    QStringList arguments;
    std::vector<double> fromLaunch, fromMain, paintFromMain, cpu;
    std::map<std::string, std::vector<double>> phases; // ms since main() at each mark
    bool pictureShown = true;
    QString error;
};

void measureFrames(std::vector<FrameResult> &variants)
{
    // Interleaved, so that a slow spell of the shared machine hits every variant alike.
    for (int run = 0; run < kFrameRuns; ++run) {
        for (FrameResult &variant : variants) {
            if (!variant.error.isEmpty())
                continue;
            const bench::ChildRun child = bench::runChild(variant.arguments, 60000);
            const auto value = [&child](const char *name) {
                return child.values.value(QString::fromLatin1(name), QStringLiteral("-1"))
                    .toLongLong();
            };
            if (!child.error.isEmpty() || value("frame-monotonic-ns") < 0) {
                variant.error = child.error.isEmpty() ? QStringLiteral("no frame") : child.error;
                continue;
            }
            variant.fromLaunch.push_back(
                double(value("frame-monotonic-ns") - bench::monotonicNs(child.launched)) / 1e6);
            variant.fromMain.push_back(double(value("frame-since-main-ns")) / 1e6);
            variant.paintFromMain.push_back(double(value("paint-since-main-ns")) / 1e6);
            variant.cpu.push_back(double(value("frame-cpu-ns")) / 1e6);
            for (const char *phase : kPhases)
                variant.phases[phase].push_back(
                    double(value(("phase-" + std::string(phase) + "-ns").c_str())) / 1e6);
            variant.pictureShown = variant.pictureShown && value("picture-shown") == 1;
        }
    }
}

// ---- summary ----

QString cpuModel()
{
#ifdef Q_OS_LINUX
    QFile cpuinfo(QStringLiteral("/proc/cpuinfo"));
    if (cpuinfo.open(QIODevice::ReadOnly | QIODevice::Text)) {
        for (const QByteArray &line : cpuinfo.readAll().split('\n')) {
            if (line.startsWith("model name"))
                return QString::fromLatin1(line.mid(line.indexOf(':') + 1).trimmed());
        }
    }
#endif
    return QStringLiteral("unknown CPU");
}

// Other work on a shared machine stretches wall times; the one-minute load average says how much.
QString loadAverage()
{
    QFile file(QStringLiteral("/proc/loadavg"));
    if (!file.open(QIODevice::ReadOnly))
        return QStringLiteral("unknown");
    return QString::fromLatin1(file.readAll().split(' ').value(0));
}

const char *verdict(bool met)
{
    return met ? "met" : "MISSED";
}

void printSummary(const std::vector<PictureCase> &cases, const std::vector<PeakResult> &peaks,
                  const std::vector<FrameResult> &frames, const QStringList &refusedWhole,
                  const QString &loadAtStart)
{
    std::printf("\n## Picture bench summary\n\n");
    std::printf("Machine: %d cores, %s; Qt %s; %s build; visible area %d x %d; load average "
                "%s at the start, %s at the end.\n",
                QThread::idealThreadCount(), qPrintable(cpuModel()), qVersion(),
                TARVEL_BENCH_CONFIG, g_visibleArea.width(), g_visibleArea.height(),
                qPrintable(loadAtStart), qPrintable(loadAverage()));
    std::printf(
        "Medians, wall ms with the process's CPU ms in brackets. step = \">\" in the real "
        "window with step box \"0\" (load, description, paint); >/< = \">\" and \"<\" in "
        "turn between pictures 1 and 2; loader = LoadPicture alone; whole = "
        "QImageReader::read() of the whole picture, turned upright. Probes of Qt's jpeg reader, "
        "on the picture as stored: clip = the loader's clip rectangle, rows = the same rows at "
        "the picture's full width (equal times: columns beside the clip are decoded anyway), "
        "header = the size alone.\n\n");

    std::printf("| picture | step | >/< | loader | whole | whole / step | clip %dx%d | rows "
                "Wx%d | header |\n",
                g_visibleArea.width() + kLoaderMargin, g_visibleArea.height() + kLoaderMargin,
                g_visibleArea.height() + kLoaderMargin);
    std::printf("|---|---:|---:|---:|---:|---:|---:|---:|---:|\n");
    const auto both = [](const char *what, const PictureCase &c) {
        return QString::asprintf("%.1f (%.1f)", medianOf(what, c), medianOf(what, c, true));
    };
    for (const PictureCase &c : cases) {
        const bool refused = refusedWhole.contains(c.id);
        std::printf("| %s | %s | %s | %s | %s%s | %.1fx (%.1fx) | %s | %s | %.2f |\n",
                    qPrintable(c.name), qPrintable(both("step", c)),
                    qPrintable(both("step-alternate", c)), qPrintable(both("loader", c)),
                    qPrintable(both("whole", c)), refused ? ", refused at Qt's default limit" : "",
                    medianOf("whole", c) / medianOf("step", c),
                    medianOf("whole", c, true) / medianOf("step", c, true),
                    qPrintable(both("probe-clip", c)), qPrintable(both("probe-rows", c)),
                    medianOf("probe-header", c));
    }

    std::printf("\n| peak resident memory (VmHWM of a fresh process, median of %d) | MiB |\n",
                kPeakRuns);
    std::printf("|---|---:|\n");
    for (const PeakResult &peak : peaks) {
        if (!peak.error.isEmpty())
            std::printf("| %s | failed: %s |\n", qPrintable(peak.label), qPrintable(peak.error));
        else
            std::printf("| %s (%d of 10 pictures) | %.1f |\n", qPrintable(peak.label), peak.pages,
                        median(peak.mib));
    }

    std::printf("\n| first painted frame (median of %d launches) | launch to frame ms | vs bare "
                "| CPU to frame ms | vs bare | main() to frame ms |\n",
                kFrameRuns);
    std::printf("|---|---:|---:|---:|---:|---:|\n");
    const double bare = frames.empty() ? std::nan("") : median(frames.front().fromLaunch);
    const double bareCpu = frames.empty() ? std::nan("") : median(frames.front().cpu);
    for (const FrameResult &frame : frames) {
        if (!frame.error.isEmpty()) {
            std::printf("| %s | failed: %s | | | | |\n", qPrintable(frame.label),
                        qPrintable(frame.error));
            continue;
        }
        std::printf("| %s%s | %.1f | %.2fx | %.1f | %.2fx | %.1f |\n", qPrintable(frame.label),
                    frame.pictureShown ? "" : " (picture NOT shown)", median(frame.fromLaunch),
                    median(frame.fromLaunch) / bare, median(frame.cpu), median(frame.cpu) / bareCpu,
                    median(frame.fromMain));
    }
    std::printf("\n| where start-up goes, ms since main() | QApplication | window built | "
                "collection opened | shown | first paint | frame flushed |\n");
    std::printf("|---|---:|---:|---:|---:|---:|---:|\n");
    for (const FrameResult &frame : frames) {
        if (!frame.error.isEmpty())
            continue;
        std::printf("| %s |", qPrintable(frame.label));
        for (const char *phase : kPhases) {
            const auto found = frame.phases.find(phase);
            std::printf(" %.1f |",
                        found == frame.phases.end() ? std::nan("") : median(found->second));
        }
        std::printf(" %.1f | %.1f |\n", median(frame.paintFromMain), median(frame.fromMain));
    }

    std::printf("\nGoals (judged on wall time):\n");
    for (const PictureCase &c : cases) {
        if (c.id == u"6000x4000") {
            const double ratio = medianOf("whole", c) / medianOf("step", c);
            std::printf("- \">\" on 6000 x 4000 baseline at least 8x faster than the whole "
                        "decode: %.1fx (CPU %.1fx), %s\n",
                        ratio, medianOf("whole", c, true) / medianOf("step", c, true),
                        verdict(ratio >= 8.0));
        }
        if (c.id == u"12000x8000") {
            const double step = medianOf("step", c);
            std::printf("- 12000 x 8000 shows in under 40 ms: %.1f ms (CPU %.1f ms), %s\n", step,
                        medianOf("step", c, true), verdict(step < 40.0));
        }
    }
    for (const PeakResult &peak : peaks) {
        if (peak.label.startsWith(u"ten 6000 x 4000 pages") && peak.error.isEmpty()) {
            const double mib = median(peak.mib);
            std::printf("- peak with ten 6000 x 4000 pages under 60 MiB: %.1f MiB, %s\n", mib,
                        verdict(mib < 60.0 && peak.pages == 10));
        }
    }
    for (const FrameResult &frame : frames) {
        if (&frame == &frames.front() || !frame.error.isEmpty())
            continue;
        const double ratio = median(frame.fromLaunch) / bare;
        std::printf("- first frame within 1.3x of the bare window (%s): %.2fx (CPU %.2fx), %s\n",
                    qPrintable(frame.label), ratio, median(frame.cpu) / bareCpu,
                    verdict(ratio <= 1.3 && frame.pictureShown));
    }
    std::fflush(stdout);
}

// Whether Qt, left to its default allocation limit, refuses to decode this picture whole;
// only pictures over the limit are tried, the others would merely take time.
bool refusedByDefaultLimit(const PictureCase &c)
{
    const qint64 bytes = qint64(c.size.width()) * c.size.height() * 4;
    if (bytes <= qint64(QImageReader::allocationLimit()) * 1024 * 1024)
        return false;
    QImageReader reader(c.picture());
    return reader.read().isNull();
}

} // namespace

int main(int argc, char **argv)
{
    const Clock::time_point mainStart = Clock::now();
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");

    if (argc == 3 && qstrcmp(argv[1], bench::kPeakMemoryChild) == 0)
        return bench::peakMemoryChild(argc, argv, QString::fromLocal8Bit(argv[2]));
    if (argc == 3 && qstrcmp(argv[1], bench::kPeakMemoryNaiveChild) == 0)
        return bench::peakMemoryNaiveChild(argc, argv, QString::fromLocal8Bit(argv[2]));
    if (argc == 3 && qstrcmp(argv[1], bench::kFirstFrameChild) == 0)
        return bench::firstFrameChild(argc, argv, QString::fromLocal8Bit(argv[2]), mainStart);
    if (argc == 2 && qstrcmp(argv[1], bench::kFirstFrameBareChild) == 0)
        return bench::firstFrameBareChild(argc, argv, mainStart);

    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;

    QTemporaryDir root;
    if (!root.isValid()) {
        std::fprintf(stderr, "no temporary folder: %s\n", qPrintable(root.errorString()));
        return 1;
    }
    const std::vector<PictureCase> cases = bench::makePictureCases(root.path());
    if (cases.empty())
        return 1;
    {
        Form1 probe;
        g_visibleArea = probe.topics().row(0).picture->visibleArea();
    }

    const QString loadAtStart = loadAverage();
    registerBenchmarks(cases);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();

    QStringList refused;
    for (const PictureCase &c : cases) {
        if (refusedByDefaultLimit(c))
            refused << c.id;
    }

    // Collections for the child processes, built from the pictures already written.
    const auto caseById = [&cases](const char *id) -> const PictureCase & {
        return *std::find_if(cases.begin(), cases.end(),
                             [id](const PictureCase &c) { return c.id == QLatin1String(id); });
    };
    const QString tenBaseline = root.path() + QStringLiteral("/ten-6000x4000");
    const QString tenProgressive = root.path() + QStringLiteral("/ten-6000x4000p");
    const QString tenHd = root.path() + QStringLiteral("/ten-1920x1080");
    const QString tenSmall = root.path() + QStringLiteral("/ten-small");
    if (!bench::makeUniformCollection(tenBaseline, caseById("6000x4000").picture())
        || !bench::makeUniformCollection(tenProgressive, caseById("6000x4000p").picture())
        || !bench::makeUniformCollection(tenHd, caseById("1920x1080").picture())) {
        std::fprintf(stderr, "cannot write the ten-page collections\n");
        return 1;
    }
    bench::makeSmallCollection(tenSmall);

    std::fprintf(stderr, "measuring peak memory and first frames in child processes...\n");
    std::vector<PeakResult> peaks;
#ifdef Q_OS_LINUX
    peaks.push_back(measurePeak(QStringLiteral("window, ten small pictures"),
                                bench::kPeakMemoryChild, tenSmall));
    peaks.push_back(
        measurePeak(QStringLiteral("ten 6000 x 4000 pages"), bench::kPeakMemoryChild, tenBaseline));
    peaks.push_back(measurePeak(QStringLiteral("ten 6000 x 4000 progressive pages"),
                                bench::kPeakMemoryChild, tenProgressive));
    peaks.push_back(measurePeak(QStringLiteral("whole decodes: window + ten 6000 x 4000 held"),
                                bench::kPeakMemoryNaiveChild, tenBaseline));
#endif

    std::vector<FrameResult> frames(3);
    frames[0].label = QStringLiteral("bare QTabWidget, ten empty tabs");
    frames[0].arguments = {QString::fromLatin1(bench::kFirstFrameBareChild)};
    frames[1].label = QStringLiteral("program, 1920 x 1080 pictures");
    frames[1].arguments = {QString::fromLatin1(bench::kFirstFrameChild), tenHd};
    frames[2].label = QStringLiteral("program, 6000 x 4000 pictures");
    frames[2].arguments = {QString::fromLatin1(bench::kFirstFrameChild), tenBaseline};
    measureFrames(frames);

    printSummary(cases, peaks, frames, refused, loadAtStart);
    return 0;
}
