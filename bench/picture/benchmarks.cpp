#include "benchmarks.h"

#include "children.h"
#include "controls.h"
#include "form1.h"
#include "orientation.h"
#include "pictureloader.h"
#include "topictable.h"
#include "visibleregion.h"

#include <QCoreApplication>
#include <QImageReader>
#include <QLineEdit>
#include <QPushButton>
#include <algorithm>
#include <benchmark/benchmark.h>
#include <cmath>
#include <ctime>
#include <map>
#include <string>

namespace bench {

namespace {

// Milliseconds of every timed iteration, by benchmark name, for the summary's medians: wall
// time, and the process's CPU time, which a machine busy with other work inflates far less.
struct Samples
{
    std::vector<double> wall;
    std::vector<double> cpu;
    bool failed = false;
};

std::map<std::string, Samples> g_samples;
QSize g_visibleArea;

void fail(benchmark::State &state, Samples &samples, const char *why)
{
    samples.failed = true;
    state.SkipWithError(why);
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

template<typename T> T *control(const Form1 &form, const char *name)
{
    return form.findChild<T *>(QString::fromLatin1(name));
}

// One press of a button in the real window, until the event loop has painted its result.
void benchStep(benchmark::State &state, const PictureCase &c, StepMode mode, Samples &samples)
{
    Form1 form;
    form.start(c.collection);
    form.show();
    QCoreApplication::processEvents();
    const Topic &maps = kTopics[0];
    auto *picture = control<ImageControl>(form, maps.picture);
    auto *stepBox = control<QLineEdit>(form, maps.stepBox);
    auto *back = control<QPushButton>(form, maps.back);
    auto *forward = control<QPushButton>(form, maps.forward);
    if (!picture || !stepBox || !back || !forward) {
        fail(state, samples, "the Maps page lacks a control");
        return;
    }
    PaintCounter paints;
    picture->installEventFilter(&paints);
    stepBox->setText(mode == StepMode::Reload ? QStringLiteral("0") : QStringLiteral("1"));

    int presses = 0;
    const auto press = [&] {
        QPushButton *button = mode == StepMode::Alternate && presses % 2 == 1 ? back : forward;
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
    if (picture->size() != c.size || picture->picture().size() != g_visibleArea.boundedTo(c.size))
        fail(state, samples, "the picture was not shown");
    else if (form.library().currentNumberText() != expectedNumber)
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
        const LoadedPicture picture = loadPicture(c.picture(), g_visibleArea);
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

} // namespace

void registerBenchmarks(const std::vector<PictureCase> &cases, QSize visibleArea)
{
    g_visibleArea = visibleArea;
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

double median(std::vector<double> values)
{
    if (values.empty())
        return std::nan("");
    std::sort(values.begin(), values.end());
    const std::size_t mid = values.size() / 2;
    return values.size() % 2 ? values[mid] : (values[mid - 1] + values[mid]) / 2;
}

double medianOf(const char *what, const PictureCase &c, bool cpu)
{
    const auto found = g_samples.find(key(what, c));
    if (found == g_samples.end() || found->second.failed)
        return std::nan("");
    return median(cpu ? found->second.cpu : found->second.wall);
}

} // namespace bench
