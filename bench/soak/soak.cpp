// Long run of the real window over a collection: a hundred thousand steps and ten thousand
// slideshow hops in one process. Memory must level off after the first tenth; the figures
// printed are the ones to compare between builds.
//
//   tarvel-soak [COLLECTION_FOLDER]
//
// Without an argument the collection beside the program is used, as the program itself
// does. Exits 1 when memory grew, 2 when there is no collection.

#include "form1.h"
#include "tabstrip.h"
#include "topictable.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QPushButton>
#include <QRandomGenerator>
#include <QStringList>
#include <QTimer>
#include <algorithm>
#include <array>
#include <cstdio>

namespace {

constexpr int kSteps = 100'000;
constexpr int kTicks = 10'000;
constexpr int kParts = 10;
constexpr int kStepsPerTick = kSteps / kTicks;
constexpr int kStepsPerPageChange = 200;
constexpr qint64 kAllowedGrowthKiB = 8 * 1024;

// Steps a user might type: the usual one, none, backwards, and a few larger ones.
constexpr std::array<const char *, 9> kAmounts = {"1", "1", "1", "2", "-1", "0", "3", "-2", "1"};

// VmRSS in KiB, or -1 where the kernel does not tell.
qint64 residentKiB()
{
    QFile status(QStringLiteral("/proc/self/status"));
    // The kernel reports a size of 0 for its files: read to the end rather than by size.
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    const QList<QByteArray> lines = status.readAll().split('\n');
    for (const QByteArray &line : lines) {
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').value(0).toLongLong();
    }
    return -1;
}

QString mib(qint64 kib)
{
    return kib < 0 ? QStringLiteral("n/a")
                   : QString::number(double(kib) / 1024.0, 'f', 1) + QStringLiteral(" MiB");
}

// Failed loads are part of the run (steps past the last picture, below the first); their
// warnings are counted rather than printed ten thousand times.
int g_warnings = 0;
QtMessageHandler g_previousHandler = nullptr;

void countWarnings(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    if (type == QtWarningMsg) {
        if (++g_warnings <= 3 && g_previousHandler)
            g_previousHandler(type, context, message);
        return;
    }
    if (g_previousHandler)
        g_previousHandler(type, context, message);
}

struct Timing
{
    qint64 count = 0;
    qint64 totalNs = 0;
    qint64 slowestNs = 0;

    void add(qint64 ns)
    {
        ++count;
        totalNs += ns;
        slowestNs = std::max(slowestNs, ns);
    }
    double slowestMs() const { return double(slowestNs) / 1e6; }
    double perSecond() const { return totalNs > 0 ? double(count) * 1e9 / double(totalNs) : 0.0; }
    double meanMs() const { return count > 0 ? double(totalNs) / 1e6 / double(count) : 0.0; }
};

} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);

    const QString folder =
        QDir(argc > 1 ? QString::fromLocal8Bit(argv[1]) : QCoreApplication::applicationDirPath())
            .absolutePath();
    QStringList missing;
    for (const Topic &topic : kTopics) {
        const QString name = folderName(QString::fromLatin1(topic.caption));
        if (!QFileInfo(folder + u'/' + name).isDir())
            missing << name;
    }
    if (!missing.isEmpty()) {
        std::fprintf(stderr,
                     "tarvel-soak: no collection in %s: topic folders missing: %s\n"
                     "Build the sample_collection target, or name a collection folder.\n",
                     qPrintable(QDir::toNativeSeparators(folder)), qPrintable(missing.join(u' ')));
        return 2;
    }

    g_previousHandler = qInstallMessageHandler(countWarnings);

    QElapsedTimer wall;
    wall.start();
    Form1 form; // the program's own random source drives the slideshow
    form.start(folder);
    form.show();
    QCoreApplication::processEvents();

    const qint64 startKiB = residentKiB();
    std::printf("tarvel-soak: %s, %d steps and %d slideshow ticks\n",
                qPrintable(QDir::toNativeSeparators(folder)), kSteps, kTicks);
    std::printf("  start:  RSS %s\n", qPrintable(mib(startKiB)));
    std::fflush(stdout);

    // The soak's own choices are repeatable; only the slideshow draws from the clock's seed.
    QRandomGenerator script(0x50A4u);
    Timing steps;
    Timing ticks;
    QElapsedTimer clock;
    auto *tabs = form.findChild<TabStrip *>(QStringLiteral("SSTab1"));
    auto *timer = form.findChild<QTimer *>(QStringLiteral("Timer1"));
    const auto button = [&form](const char *name) {
        return form.findChild<QPushButton *>(QString::fromLatin1(name));
    };
    qint64 firstPartKiB = -1;
    int step = 0;

    for (int part = 1; part <= kParts; ++part) {
        for (; step < kSteps * part / kParts; ++step) {
            if (step % kStepsPerPageChange == 0) {
                // Selecting a page steps its topic too; that is the user's click, not timed.
                tabs->setCurrentIndex(int(script.bounded(kTopicCount)));
            }
            const Topic &topic = kTopics.at(std::size_t(tabs->currentIndex()));
            form.findChild<QLineEdit *>(QString::fromLatin1(topic.stepBox))
                ->setText(QString::fromLatin1(kAmounts[script.bounded(int(kAmounts.size()))]));
            QPushButton *pressed = button(script.bounded(3) == 0 ? topic.back : topic.forward);

            clock.start();
            pressed->click();
            QCoreApplication::processEvents(); // the paint the user waits for
            steps.add(clock.nsecsElapsed());

            if (step % kStepsPerTick == kStepsPerTick - 1) {
                clock.start();
                QMetaObject::invokeMethod(timer, "timeout");
                QCoreApplication::processEvents();
                ticks.add(clock.nsecsElapsed());
            }
        }
        const qint64 kib = residentKiB();
        if (part == 1)
            firstPartKiB = kib;
        std::printf("  %3d %%:  RSS %s  (%lld steps, %lld ticks, %.1f s)\n", part * 100 / kParts,
                    qPrintable(mib(kib)), steps.count, ticks.count,
                    double(wall.elapsed()) / 1000.0);
        std::fflush(stdout);
    }

    const qint64 endKiB = residentKiB();
    std::printf("  end:    RSS %s\n", qPrintable(mib(endKiB)));
    std::printf("steps:  %lld, %.0f per second, mean %.2f ms, slowest %.2f ms\n", steps.count,
                steps.perSecond(), steps.meanMs(), steps.slowestMs());
    std::printf("ticks:  %lld, %.0f per second, mean %.2f ms, slowest %.2f ms\n", ticks.count,
                ticks.perSecond(), ticks.meanMs(), ticks.slowestMs());
    std::printf("warnings from failed loads: %d\n", g_warnings);
    std::printf("wall time: %.1f s\n", double(wall.elapsed()) / 1000.0);

    if (endKiB < 0 || firstPartKiB < 0) {
        std::printf("memory: not judged, resident size unavailable here\n");
        return 0;
    }
#if defined(__SANITIZE_ADDRESS__)
    // The sanitizer holds freed blocks back for a while, so the resident size says nothing.
    std::printf("memory: not judged under AddressSanitizer (%+.1f MiB since the first 10 %%)\n",
                double(endKiB - firstPartKiB) / 1024.0);
    return 0;
#endif
    const qint64 growth = endKiB - firstPartKiB;
    std::printf("memory: %+.1f MiB since the first 10 %% (allowed %.1f MiB)\n",
                double(growth) / 1024.0, double(kAllowedGrowthKiB) / 1024.0);
    if (growth > kAllowedGrowthKiB) {
        std::printf("tarvel-soak: FAILED, memory keeps growing\n");
        return 1;
    }
    std::printf("tarvel-soak: passed\n");
    return 0;
}
