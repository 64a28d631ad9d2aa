#!/usr/bin/env bash
# Checks the desktop entry and the software-centre entry, builds everything with warnings as
# errors and runs every test headless, then the same tests without libjpeg-turbo's crop (Qt's
# reader decoding every picture), under AddressSanitizer and UndefinedBehaviorSanitizer and
# under ThreadSanitizer, runs each fuzz target for 30 s, and checks formatting and clang-tidy.
set -euo pipefail
cd "$(dirname "$0")/.."
# The fuzz targets need clang and libFuzzer's runtime, which clang's package only recommends;
# the picture suite reads the screen's profile from a virtual X server.
bash scripts/deps.sh clang libclang-rt-dev xvfb xauth

# First, as it takes a moment: what a desktop and a software centre will read.
bash scripts/check-entries.sh packaging/io.github.tarvel_images.TarvelImages.desktop \
  packaging/io.github.tarvel_images.TarvelImages.metainfo.xml

cmake --preset ci
cmake --build --preset ci
ctest --preset ci

cmake --preset nocrop
cmake --build --preset nocrop
ctest --preset nocrop

cmake --preset asan
cmake --build --preset asan
ctest --preset asan

# Debian's Qt is not built for ThreadSanitizer, so the locks inside it are invisible to it: the
# preset has it ignore the accesses Qt's own code makes, and the allocations Qt Gui makes
# (tests/tsan.supp), and still watch the program's.
cmake --preset tsan
cmake --build --preset tsan
ctest --preset tsan

cmake --preset fuzz
cmake --build --preset fuzz
bash fuzz/run.sh 30

bash scripts/lint.sh build-ci
