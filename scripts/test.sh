#!/usr/bin/env bash
# Checks the desktop entry and the software-centre entry, builds everything with warnings as
# errors and runs every test headless, then the same tests under AddressSanitizer and
# UndefinedBehaviorSanitizer and under ThreadSanitizer, runs each fuzz target for
# 30 s, and checks formatting and clang-tidy.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh

# First, as it takes a moment: what a desktop and a software centre will read.
desktop-file-validate packaging/io.github.tarvel_images.TarvelImages.desktop
appstreamcli validate --no-net --strict packaging/io.github.tarvel_images.TarvelImages.metainfo.xml

cmake --preset ci
cmake --build --preset ci
ctest --preset ci

cmake --preset asan
cmake --build --preset asan
ctest --preset asan

cmake --preset tsan
cmake --build --preset tsan
ctest --preset tsan

# The fuzz targets need clang with libFuzzer's runtime; without them the rest still runs.
if command -v clang++ >/dev/null \
    && [ -f "$(clang++ -print-file-name=libclang_rt.fuzzer-$(uname -m).a)" ]; then
  cmake --preset fuzz
  cmake --build --preset fuzz
  bash fuzz/run.sh 30
else
  echo "fuzz: skipped, no clang with libFuzzer's runtime"
fi

bash scripts/lint.sh build-ci
