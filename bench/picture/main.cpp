// How fast ">" shows a picture, how much memory ten pages of large pictures hold, and how
// soon the window first paints, each beside what the simple way would cost on this machine.
// Run by hand from a Release build: build/tarvel-bench-picture [--benchmark_* flags].

#include "benchmarks.h"
#include "children.h"
#include "controls.h"
#include "fixtures.h"
#include "form1.h"
#include "summary.h"
#include "topictable.h"

#include <QApplication>
#include <QImageReader>
#include <QTemporaryDir>
#include <algorithm>
#include <benchmark/benchmark.h>
#include <cstdio>
#include <vector>

using bench::Clock;
using bench::PictureCase;

namespace {

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

// The area of a page where a picture can be seen, as the window lays it out.
QSize pageVisibleArea()
{
    Form1 probe;
    const auto *picture = probe.findChild<ImageControl *>(QString::fromLatin1(kTopics[0].picture));
    return picture ? picture->visibleArea() : QSize();
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
    const QSize visibleArea = pageVisibleArea();
    if (visibleArea.isEmpty()) {
        std::fprintf(stderr, "the window has no picture control named %s\n", kTopics[0].picture);
        return 1;
    }

    const QString loadAtStart = bench::loadAverage();
    bench::registerBenchmarks(cases, visibleArea);
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
    std::vector<bench::PeakResult> peaks;
#ifdef Q_OS_LINUX
    peaks.push_back(bench::measurePeak(QStringLiteral("window, ten small pictures"),
                                       bench::kPeakMemoryChild, tenSmall));
    peaks.push_back(bench::measurePeak(QStringLiteral("ten 6000 x 4000 pages"),
                                       bench::kPeakMemoryChild, tenBaseline));
    peaks.push_back(bench::measurePeak(QStringLiteral("ten 6000 x 4000 progressive pages"),
                                       bench::kPeakMemoryChild, tenProgressive));
    peaks.push_back(
        bench::measurePeak(QStringLiteral("whole decodes: window + ten 6000 x 4000 held"),
                           bench::kPeakMemoryNaiveChild, tenBaseline));
#endif

    std::vector<bench::FrameResult> frames(3);
    frames[0].label = QStringLiteral("bare QTabWidget, ten empty tabs");
    frames[0].arguments = {QString::fromLatin1(bench::kFirstFrameBareChild)};
    frames[1].label = QStringLiteral("program, 1920 x 1080 pictures");
    frames[1].arguments = {QString::fromLatin1(bench::kFirstFrameChild), tenHd};
    frames[2].label = QStringLiteral("program, 6000 x 4000 pictures");
    frames[2].arguments = {QString::fromLatin1(bench::kFirstFrameChild), tenBaseline};
    bench::measureFrames(frames);

    bench::printSummary(cases, peaks, frames, {visibleArea, refused, loadAtStart});
    return 0;
}
