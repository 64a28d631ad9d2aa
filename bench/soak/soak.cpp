// Long run of the real window over a collection: a hundred thousand steps across all topics and
// a slideshow hop every tenth step, in one process. Memory must level off after the first tenth.
//
//   tarvel-soak [COLLECTION_FOLDER [STEPS]]
//
// Without a folder, the collection beside the program, which the program itself reads.
// Exits 1 when memory grew, 2 when there is no collection.

#include "common.h"
#include "mainwindow.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QPushButton>
#include <QRandomGenerator>
#include <QTabBar>
#include <QTimer>
#include <algorithm>
#include <cstdio>

namespace {

constexpr qint64 kAllowedGrowthKiB = 8 * 1024;

// A control of the page on view, whose text is text unless that is empty: the other pages'
// controls are hidden.
template<typename T> T *onView(const QWidget &window, const QString &text = {})
{
    for (T *control : window.findChildren<T *>()) {
        if (control->isVisible() && (text.isEmpty() || control->text() == text))
            return control;
    }
    return nullptr;
}

// Tells when a page's picture control paints, which it does once its step has arrived.
struct PictureWatch : QObject
{
    bool painted = false;
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        painted = painted
            || (event->type() == QEvent::Paint && watched->objectName().startsWith(u"Image"));
        return false;
    }
};

// One click and the paint of the step it asks for, as the user waits for them: its time goes
// into the total and, when the longest yet, into slowestMs.
void timed(const auto &click, double &totalMs, double &slowestMs)
{
    PictureWatch watch;
    qApp->installEventFilter(&watch);
    QElapsedTimer clock;
    clock.start();
    click();
    while (!watch.painted && clock.elapsed() < 10'000)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    const double ms = double(clock.nsecsElapsed()) / 1e6;
    totalMs += ms;
    slowestMs = std::max(slowestMs, ms);
}

} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QString folder =
        QDir(argc > 1 ? QString::fromLocal8Bit(argv[1]) : QCoreApplication::applicationDirPath())
            .absolutePath();
    const int steps = argc > 2 ? std::max(10, QByteArray(argv[2]).toInt()) : 100'000;
    for (const char *name : bench::kFolders) {
        if (!QDir(folder).exists(QLatin1String(name))) {
            std::fprintf(stderr, "tarvel-soak: no %s in %s: build sample_collection, or name one\n",
                         name, qPrintable(QDir::toNativeSeparators(folder)));
            return 2;
        }
    }
    // Failed loads are part of the run (steps past the last picture, below the first); their
    // warnings are counted rather than printed ten thousand times.
    static int warnings = 0;
    static const QtMessageHandler previous = qInstallMessageHandler(
        [](QtMsgType type, const QMessageLogContext &context, const QString &message) {
            if ((type != QtWarningMsg || ++warnings <= 3) && previous)
                previous(type, context, message);
        });

    QElapsedTimer wall;
    wall.start();
    MainWindow form; // the program's own random source drives the slideshow
    form.start(folder);
    QCoreApplication::processEvents();
    auto *strip = form.findChild<QWidget *>(QStringLiteral("SSTab1"));
    auto *bar = strip ? strip->findChild<QTabBar *>() : nullptr;
    auto *timer = form.findChild<QTimer *>(QStringLiteral("Timer1"));
    std::printf("tarvel-soak: %s, %d steps and %d slideshow hops\n  start: RSS %.1f MiB\n",
                qPrintable(QDir::toNativeSeparators(folder)), steps, steps / 10,
                double(bench::statusKiB("VmRSS:")) / 1024.0);

    // The soak's own choices are repeatable; only the slideshow draws from the clock's seed.
    QRandomGenerator script(0x50A4u);
    // Steps a user might type: the usual one, none, backwards, and a few larger ones.
    const char *amounts[] = {"1", "1", "1", "2", "-1", "0", "3", "-2", "1"};
    double stepMs = 0, slowestStep = 0, hopMs = 0, slowestHop = 0;
    qint64 firstTenthKiB = -1, lastKiB = -1;
    for (int step = 0; step < steps; ++step) {
        // Selecting a page steps its topic too; that is the user's click, not timed.
        if (step % 200 == 0 && bar)
            bar->setCurrentIndex(int(script.bounded(bar->count())));
        auto *amount = onView<QLineEdit>(form);
        if (amount)
            amount->setText(QLatin1String(amounts[script.bounded(int(std::size(amounts)))]));
        auto *pressed = onView<QPushButton>(form, QLatin1String(script.bounded(3) ? ">" : "<"));
        if (!bar || !timer || !amount || !pressed) {
            std::fprintf(stderr, "tarvel-soak: no SSTab1, Timer1, step box or button on view\n");
            return 2;
        }
        timed([pressed] { pressed->click(); }, stepMs, slowestStep);
        if (step % 10 == 9)
            timed([timer] { QMetaObject::invokeMethod(timer, "timeout"); }, hopMs, slowestHop);
        if ((step + 1) % (steps / 10) == 0) {
            lastKiB = bench::statusKiB("VmRSS:");
            firstTenthKiB = firstTenthKiB < 0 ? lastKiB : firstTenthKiB;
            std::printf("  %3d %%: RSS %.1f MiB (%.1f s)\n", int(qint64(step + 1) * 100 / steps),
                        double(lastKiB) / 1024.0, double(wall.elapsed()) / 1000.0);
            std::fflush(stdout);
        }
    }
    std::printf("steps: mean %.2f ms, slowest %.2f ms\nhops: mean %.2f ms, slowest %.2f ms\n"
                "warnings from failed loads: %d\nwall time: %.1f s\n",
                stepMs / steps, slowestStep, hopMs / (steps / 10), slowestHop, warnings,
                double(wall.elapsed()) / 1000.0);
    const qint64 growthKiB = lastKiB - firstTenthKiB;
    bool judged = firstTenthKiB >= 0;
#if defined(__SANITIZE_ADDRESS__)
    judged = false; // the sanitizer holds freed blocks back, so the resident size says nothing
#endif
    const bool grew = judged && growthKiB > kAllowedGrowthKiB;
    const char *verdict = grew ? "FAILED" : judged ? "passed" : "memory not judged here";
    std::printf("memory: %+.1f MiB since the first tenth (allowed %.1f MiB)\ntarvel-soak: %s\n",
                double(growthKiB) / 1024.0, double(kAllowedGrowthKiB) / 1024.0, verdict);
    return grew ? 1 : 0;
}
