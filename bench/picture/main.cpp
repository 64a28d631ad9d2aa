// How fast the window shows a picture, how much memory ten pages of large pictures hold and how
// soon the window first paints, each beside what the simple way costs on this machine. Run by
// hand from a Release build: build-release/tarvel-bench-picture [--benchmark_* flags].
// It reaches the program only through its window, the widgets' names and the loader, so that
// the same bench measures the program before and after a change of its insides.

#include "mainwindow.h"
#include "picture.h"
#include "pictureloader.h"
#include "testdata.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QImageReader>
#include <QLineEdit>
#include <QMap>
#include <QProcess>
#include <QPushButton>
#include <QTabBar>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <cmath>
#include <cstdio>

namespace {

QSize g_visibleArea;

// The window's rows in the order of Click, then the loader's and the whole decode's.
enum class Click { AtOnce, AfterPause, Tab, Hop, Wrap };
constexpr const char *kRows[] = {"click",
                                 "click-after-pause",
                                 "tab-after-pause",
                                 "hop-after-pause",
                                 "wrap-after-pause",
                                 "loader",
                                 "whole"};

QString nameOf(const char *row, const PictureCase &c)
{
    return QLatin1String(row) + u'/' + c.id;
}

void windowClicks(benchmark::State &state, const PictureCase &c, Click kind)
{
    // The hop's scripted draws go round the pages in tab order, never twice to the same one.
    int drawn = 0;
    MainWindow form([&drawn] { return (float(drawn = (drawn + 1) % 10) + 0.5f) / 10.0f; });
    form.start(c.collection);
    auto *strip = form.findChild<QWidget *>(QStringLiteral("SSTab1"));
    auto *bar = strip ? strip->findChild<QTabBar *>() : nullptr;
    auto *forward = form.findChild<QPushButton *>(QStringLiteral("Command2"));
    auto *timer = form.findChild<QTimer *>(QStringLiteral("Timer1"));
    // A wrap comes every fifth click by 5 over the topic's pictures, to a picture 1 shown too
    // long ago to be held still.
    constexpr int kWrapStep = 5;
    int number = 1;
    if (auto *box = form.findChild<QLineEdit *>(QStringLiteral("Text16")); kind == Click::Wrap)
        box->setText(QString::number(kWrapStep));
    // A click ends at the paint that shows its result: the first paint, after it, of a widget
    // of the picture's size, which is the size a picture control takes.
    bool painted = false;
    PaintWatch watch([&](const QWidget &w) { painted = painted || w.size() == c.size; });
    qApp->installEventFilter(&watch);
    const auto clickAndPaint = [&] {
        painted = false;
        if (kind == Click::Tab)
            bar->setCurrentIndex((bar->currentIndex() + 1) % bar->count());
        else if (kind == Click::Hop)
            QMetaObject::invokeMethod(timer, "timeout");
        else
            forward->click();
        number = number + kWrapStep > kNumbers ? 1 : number + kWrapStep;
        for (QDeadlineTimer deadline(10000); !painted && !deadline.hasExpired();)
            QCoreApplication::processEvents();
        return painted;
    };
    // Two clicks first, so that the timed ones find the window as a user's next clicks would.
    if (!bar || !forward || !timer || !clickAndPaint() || !clickAndPaint())
        return state.SkipWithError("no window with SSTab1, Command2 and Timer1 showing pictures");
    for ([[maybe_unused]] auto _ : state) {
        if (kind != Click::AtOnce) {
            state.PauseTiming();
            while (kind == Click::Wrap && number + kWrapStep <= kNumbers) {
                pause(kReadAheadMs);
                clickAndPaint();
            }
            pause(kReadAheadMs);
            state.ResumeTiming();
        }
        if (!clickAndPaint())
            return state.SkipWithError("a click showed no picture of the case's size");
    }
    if (kind == Click::Hop && bar->currentIndex() != drawn)
        state.SkipWithError("the hops did not go to the pages drawn");
}

void loader(benchmark::State &state, const PictureCase &c)
{
    for ([[maybe_unused]] auto _ : state) {
        const LoadedPicture picture =
            loadPicture(c.picture(), {g_visibleArea, QColorSpace(QColorSpace::SRgb)});
        if (picture.fullSize != c.size || picture.visible.size() != g_visibleArea.boundedTo(c.size))
            return state.SkipWithError("the loader failed");
    }
}

// The simple way: the whole picture decoded, whatever its size.
void whole(benchmark::State &state, const PictureCase &c)
{
    // The limit is one for the whole process: lifted for the timed decodes only.
    const int defaultLimit = QImageReader::allocationLimit();
    QImageReader::setAllocationLimit(0);
    for ([[maybe_unused]] auto _ : state) {
        QImageReader reader(c.picture());
        reader.setAutoTransform(true);
        QImage image = reader.read();
        state.PauseTiming(); // freeing it is no part of the decode
        const bool decoded = image.size() == c.size;
        image = QImage();
        state.ResumeTiming();
        if (!decoded)
            return state.SkipWithError("the whole decode failed");
    }
    QImageReader::setAllocationLimit(defaultLimit);
    // Only pictures over the limit are tried: the others would only take time.
    const bool over =
        qint64(c.size.width()) * c.size.height() * 4 > qint64(defaultLimit) * 1024 * 1024;
    state.counters["refused"] = over && QImageReader(c.picture()).read().isNull();
}

void registerAll(const std::vector<PictureCase> &cases, const std::vector<ChildRow> &children)
{
    // The function, then what it is given after the state.
    const auto add = [](const QString &name, const auto &...run) {
        auto *b = benchmark::RegisterBenchmark(name.toStdString().c_str(), run...)
                      ->Unit(benchmark::kMillisecond)
                      ->MeasureProcessCPUTime();
        return name.startsWith(u"frame") ? b->UseManualTime() : b->UseRealTime();
    };
    for (const PictureCase &c : cases) {
        // Each repetition opens a new window: more clicks on the small pictures.
        const qint64 pixels = qint64(c.size.width()) * c.size.height();
        const int iterations = pixels <= 3'000'000 ? 20 : pixels <= 30'000'000 ? 10 : 6;
        for (int kind = 0; kind <= int(Click::Wrap); ++kind)
            add(nameOf(kRows[kind], c), windowClicks, c, Click(kind))->Iterations(iterations);
        add(nameOf("loader", c), loader, c);
        add(nameOf("whole", c), whole, c);
    }
    for (const ChildRow &row : children)
        add(row.name, inChild, row)->Iterations(1);
}

// The console's report, keeping for the summary each benchmark's median over the repetitions
// (which Google Benchmark takes from the runs that did not fail), and its counters' as
// "name:counter"; NaN for what did not run or failed.
struct Report : benchmark::ConsoleReporter
{
    Report() : ConsoleReporter(OO_Tabular) {}
    void ReportRuns(const std::vector<Run> &runs) override
    {
        for (const Run &run : runs) {
            if (run.run_type != Run::RT_Aggregate || run.aggregate_name != "median")
                continue;
            const QString name = QString::fromStdString(run.run_name.function_name);
            values[name] = run.GetAdjustedRealTime();
            for (const auto &[key, counter] : run.counters)
                values[name + u':' + QString::fromStdString(key)] = counter.value;
        }
        ConsoleReporter::ReportRuns(runs);
    }
    double operator()(const QString &name) const { return values.value(name, std::nan("")); }
    QMap<QString, double> values;
};

// "-" for what did not run or failed.
QByteArray figure(double value, const char *format)
{
    return QString::asprintf(std::isnan(value) ? "-" : format, value).toLatin1();
}

void printSummary(const Report &r, const std::vector<PictureCase> &cases,
                  const std::vector<ChildRow> &children)
{
    std::printf("\n## Picture bench summary\n\nMedians, wall time; %s build; visible area %d x %d; "
                "a pause: %d ms.\n\n| picture | \">\" at once | \">\" after a pause | tab after a "
                "pause | hop after a pause | wrap after a pause | loader alone | whole decode, "
                "upright | whole / \">\" |\n|---|---:|---:|---:|---:|---:|---:|---:|---:|\n",
                TARVEL_BENCH_CONFIG, g_visibleArea.width(), g_visibleArea.height(), kReadAheadMs);
    for (const PictureCase &c : cases) {
        std::printf("| %s |", qPrintable(c.name));
        for (const char *row : kRows) {
            const bool refused = r(nameOf(row, c) + QStringLiteral(":refused")) == 1;
            std::printf(" %s%s |", figure(r(nameOf(row, c)), "%.1f ms").data(),
                        refused ? " (refused at Qt's default limit)" : "");
        }
        std::printf(" %s |\n",
                    figure(r(nameOf("whole", c)) / r(nameOf("click", c)), "%.1fx").data());
    }
    const double bare = r("frame/bare");
    std::printf("\n| in a fresh process (peak: VmHWM) | median | vs bare |\n|---|---:|---:|\n");
    for (const ChildRow &row : children) {
        const double value = r(QLatin1String(row.name) + (row.peak() ? ":MiB" : ""));
        std::printf("| %s | %s | %s |\n", row.label,
                    figure(value, row.peak() ? "%.1f MiB" : "%.1f ms").data(),
                    row.peak() ? "" : figure(value / bare, "%.2fx").data());
    }

    std::printf("\nGoals, on wall time:\n");
    const auto goal = [](const char *what, double value, const char *format, bool met) {
        if (!std::isnan(value)) // not measured in this run
            std::printf("- %s: %s, %s\n", what, figure(value, format).data(),
                        met ? "met" : "MISSED");
    };
    const double ratio = r("whole/6000x4000") / r("click/6000x4000"), big = r("click/12000x8000"),
                 mib = r("peak/6000x4000:MiB"), hd = r("frame/1920x1080") / bare,
                 large = r("frame/6000x4000") / bare;
    goal("\">\" on 6000 x 4000 at least 8x faster than the whole decode", ratio, "%.1fx",
         ratio >= 8);
    goal("12000 x 8000 shown in under 40 ms", big, "%.1f ms", big < 40);
    goal("peak with ten 6000 x 4000 pages under 60 MiB", mib, "%.1f MiB", mib < 60);
    goal("first frame with 1920 x 1080 pictures within 1.2x of bare", hd, "%.2fx", hd <= 1.2);
    goal("first frame with 6000 x 4000 pictures within 1.2x of bare", large, "%.2fx", large <= 1.2);
    // A click after a pause finds its picture read ahead, and only shows it.
    double slowest = std::nan("");
    for (const PictureCase &c : cases)
        for (const char *row : kRows)
            if (QByteArray(row).endsWith("-after-pause"))
                slowest = std::fmax(slowest, r(nameOf(row, c)));
    goal("every click after a pause under 2 ms (the slowest)", slowest, "%.2f ms", slowest < 2);
    const double close =
        std::fmax(r("close-while-reading/6000x4000p"), r("close-while-reading/png"));
    goal("closed within 50 ms while reading ahead (the slower)", close, "%.1f ms", close < 50);
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (argc >= 3 && qstrcmp(argv[1], "--child") == 0)
        return childMain(QString::fromLocal8Bit(argv[2]), QString::fromLocal8Bit(argv[argc - 1]));

    // Defaults, read before the command line's own flags so that those win.
    static char defaults[][48] = {"--benchmark_repetitions=5",
                                  "--benchmark_display_aggregates_only=true"};
    std::vector<char *> arguments(argv, argv + argc);
    arguments.insert(arguments.begin() + 1, {defaults[0], defaults[1]});
    int count = int(arguments.size());
    benchmark::Initialize(&count, arguments.data());
    if (benchmark::ReportUnrecognizedArguments(count, arguments.data()))
        return 1;

    QTemporaryDir root;
    const std::vector<PictureCase> cases =
        root.isValid() ? makePictureCases(root.path()) : std::vector<PictureCase>();
    const QString small = root.path() + QStringLiteral("/small");
    testdata::makeCollection(small, 1);
    // From its top-left corner, the rest of its page: beyond that a picture is cut off. The
    // window builds its widgets when it starts.
    g_visibleArea = [&small] {
        MainWindow probe;
        probe.start(small);
        const QWidget *picture = probe.findChild<QWidget *>(QStringLiteral("Image1"));
        return picture ? picture->parentWidget()->size() - QSize(picture->x(), picture->y())
                       : QSize();
    }();
    if (cases.empty() || g_visibleArea.isEmpty()) {
        std::fprintf(stderr, "no pictures written, or no picture control Image1 in the window\n");
        return 1;
    }

    const QString &hd = cases[0].collection, &large = cases[1].collection,
                  &progressive = cases[2].collection;
    const std::vector<ChildRow> children = {
        {"peak/small", "peak, window with ten small pictures", {"pages", small}},
        {"peak/6000x4000", "peak, ten 6000 x 4000 pages", {"pages", large}},
        {"peak/6000x4000p", "peak, ten 6000 x 4000 progressive pages", {"pages", progressive}},
        {"peak/6000x4000-whole", "peak, window + ten 6000 x 4000 decoded whole", {"whole", large}},
        {"frame/bare", "first frame, bare QTabWidget with ten empty tabs", {"bare"}},
        {"frame/1920x1080", "first frame, program with 1920 x 1080 pictures", {"frame", hd}},
        {"frame/6000x4000", "first frame, program with 6000 x 4000 pictures", {"frame", large}}};
    registerAll(cases, children);
    const QString png = writePngCollection(root.path());
    for (const auto &[id, collection] : {std::pair{"6000x4000p", progressive}, {"png", png}})
        benchmark::RegisterBenchmark(("close-while-reading/" + std::string(id)).c_str(),
                                     closeWhileReading, collection)
            ->Unit(benchmark::kMillisecond)
            ->UseManualTime()
            ->Iterations(5);
    Report report;
    benchmark::RunSpecifiedBenchmarks(&report);
    benchmark::Shutdown();
    printSummary(report, cases, children);
    return 0;
}
