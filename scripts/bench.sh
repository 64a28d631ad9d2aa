#!/usr/bin/env bash
# Builds the Release program with its benchmarks and runs the picture benchmark (its arguments go
# to it, e.g. --benchmark_filter=REGEX --benchmark_repetitions=N), then the soak run on the sample
# collection. Takes about a quarter of an hour; never part of the tests.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh libbenchmark-dev
cmake --preset release
# Two jobs: the machines this runs on have two cores, often shared.
cmake --build --preset release -j2 --target tarvel-images tarvel-bench-picture tarvel-soak
build-release/tarvel-bench-picture "$@"
build-release/tarvel-soak
