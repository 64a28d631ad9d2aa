#!/usr/bin/env bash
# Runs each fuzz target for a while on a copy of its seed corpus in the build folder, so that
# what the fuzzer adds never lands in the repository. Stops at the first finding, whose input
# is left in <build dir>/findings/.
#
#   fuzz/run.sh [seconds per target, default 30] [build dir, default build-fuzz]
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-30}
build=${2:-build-fuzz}
mkdir -p "$build/findings"
for target in picture reply text; do
  rm -rf "$build/corpus/$target"
  mkdir -p "$build/corpus"
  cp -r "fuzz/corpus/$target" "$build/corpus/$target"
  echo "fuzz_$target: $seconds s"
  "$build/fuzz_$target" -max_total_time="$seconds" -timeout=10 -print_final_stats=1 \
    -artifact_prefix="$build/findings/$target-" "$build/corpus/$target"
done
