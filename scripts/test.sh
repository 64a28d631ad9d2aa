#!/usr/bin/env bash
# Builds everything with warnings as errors and runs every test headless, then the same tests
# under AddressSanitizer and UndefinedBehaviorSanitizer, and checks formatting and clang-tidy.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh

cmake --preset ci
cmake --build --preset ci
ctest --preset ci

cmake --preset asan
cmake --build --preset asan
ctest --preset asan

bash scripts/lint.sh build-ci
