#include "summary.h"

#include "benchmarks.h"
#include "children.h"
#include "visibleregion.h"

#include <QFile>
#include <QThread>
#include <cmath>
#include <cstdio>

namespace bench {

namespace {

constexpr int kPeakRuns = 3;
constexpr int kFrameRuns = 5;

constexpr const char *kPhases[] = {"app", "window", "load", "show"};

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

const char *verdict(bool met)
{
    return met ? "met" : "MISSED";
}

} // namespace

PeakResult measurePeak(const QString &label, const char *mode, const QString &dir)
{
    PeakResult result{label, {}, -1, {}};
    for (int run = 0; run < kPeakRuns; ++run) {
        const ChildRun child = runChild({QString::fromLatin1(mode), dir});
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

void measureFrames(std::vector<FrameResult> &variants)
{
    // Interleaved, so that a slow spell of the shared machine hits every variant alike.
    for (int run = 0; run < kFrameRuns; ++run) {
        for (FrameResult &variant : variants) {
            if (!variant.error.isEmpty())
                continue;
            const ChildRun child = runChild(variant.arguments, 60000);
            const auto value = [&child](const char *name) {
                return child.values.value(QString::fromLatin1(name), QStringLiteral("-1"))
                    .toLongLong();
            };
            if (!child.error.isEmpty() || value("frame-monotonic-ns") < 0) {
                variant.error = child.error.isEmpty() ? QStringLiteral("no frame") : child.error;
                continue;
            }
            variant.fromLaunch.push_back(
                double(value("frame-monotonic-ns") - monotonicNs(child.launched)) / 1e6);
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

QString loadAverage()
{
    QFile file(QStringLiteral("/proc/loadavg"));
    if (!file.open(QIODevice::ReadOnly))
        return QStringLiteral("unknown");
    return QString::fromLatin1(file.readAll().split(' ').value(0));
}

void printSummary(const std::vector<PictureCase> &cases, const std::vector<PeakResult> &peaks,
                  const std::vector<FrameResult> &frames, const RunFacts &facts)
{
    const QSize area = facts.visibleArea;
    // The loader decodes a little beyond the visible area of any picture larger than it.
    const QSize clip = visibleRegion(area * 4, area).decoded.size();
    std::printf("\n## Picture bench summary\n\n");
    std::printf("Machine: %d cores, %s; Qt %s; %s build; visible area %d x %d; load average "
                "%s at the start, %s at the end.\n",
                QThread::idealThreadCount(), qPrintable(cpuModel()), qVersion(),
                TARVEL_BENCH_CONFIG, area.width(), area.height(), qPrintable(facts.loadAtStart),
                qPrintable(loadAverage()));
    std::printf(
        "Medians, wall ms with the process's CPU ms in brackets. step = \">\" in the real "
        "window with step box \"0\" (load, description, paint); >/< = \">\" and \"<\" in "
        "turn between pictures 1 and 2; loader = loadPicture alone; whole = "
        "QImageReader::read() of the whole picture, turned upright. Probes of Qt's jpeg reader, "
        "on the picture as stored: clip = the loader's clip rectangle, rows = the same rows at "
        "the picture's full width (equal times: columns beside the clip are decoded anyway), "
        "header = the size alone.\n\n");

    std::printf("| picture | step | >/< | loader | whole | whole / step | clip %dx%d | rows "
                "Wx%d | header |\n",
                clip.width(), clip.height(), clip.height());
    std::printf("|---|---:|---:|---:|---:|---:|---:|---:|---:|\n");
    const auto both = [](const char *what, const PictureCase &c) {
        return QString::asprintf("%.1f (%.1f)", medianOf(what, c), medianOf(what, c, true));
    };
    for (const PictureCase &c : cases) {
        const bool refused = facts.refusedWhole.contains(c.id);
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

} // namespace bench
