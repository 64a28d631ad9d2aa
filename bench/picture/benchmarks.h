#pragma once

#include "fixtures.h"

#include <QSize>
#include <vector>

// The timed work, each picture case measured in this process: a press of ">" in the real
// window, the loader alone, the whole decode the simple way would make, and probes of Qt's
// jpeg reader that tell where the loader's time goes.
namespace bench {

// The cases must outlive the run: the registered benchmarks refer to them.
void registerBenchmarks(const std::vector<PictureCase> &cases, QSize visibleArea);

// The median milliseconds of a benchmark's timed iterations, wall or the process's CPU time;
// NaN when it failed or did not run. what is e.g. "step" or "whole".
double medianOf(const char *what, const PictureCase &c, bool cpu = false);

double median(std::vector<double> values);

} // namespace bench
