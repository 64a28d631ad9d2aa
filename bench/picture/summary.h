#pragma once

#include "fixtures.h"

#include <QSize>
#include <QString>
#include <QStringList>
#include <map>
#include <string>
#include <vector>

// What only a fresh process can tell, peak memory and the first frame, measured from this one
// by starting it again in a child mode; and the summary of everything the run measured.
namespace bench {

struct PeakResult
{
    QString label;
    std::vector<double> mib;
    int pages = -1;
    QString error;
};

// Several runs of a peak-memory child mode on the collection in dir.
PeakResult measurePeak(const QString &label, const char *mode, const QString &dir);

struct FrameResult
{
    QString label;
    QStringList arguments;
    std::vector<double> fromLaunch, fromMain, paintFromMain, cpu;
    std::map<std::string, std::vector<double>> phases; // ms since main() at each mark
    bool pictureShown = true;
    QString error;
};

// Several launches of each variant's child; the first variant is the bare window that the
// others are judged against.
void measureFrames(std::vector<FrameResult> &variants);

// Other work on a shared machine stretches wall times; the one-minute load average says how
// much.
QString loadAverage();

struct RunFacts
{
    QSize visibleArea;
    QStringList refusedWhole; // ids of the cases Qt will not decode whole at its default limit
    QString loadAtStart;
};

void printSummary(const std::vector<PictureCase> &cases, const std::vector<PeakResult> &peaks,
                  const std::vector<FrameResult> &frames, const RunFacts &facts);

} // namespace bench
