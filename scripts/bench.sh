#!/usr/bin/env bash
# Builds the Release program with its benchmarks and runs the picture benchmark, then the
# soak run on the sample collection. Takes several minutes; never part of the tests.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh libbenchmark-dev
cmake --preset release
cmake --build --preset release --target tarvel-images tarvel-bench-picture tarvel-soak
build-release/tarvel-bench-picture "$@"
QT_QPA_PLATFORM=offscreen build-release/tarvel-soak
