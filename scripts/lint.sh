#!/usr/bin/env bash
# Checks the formatting of every tracked C++ file and runs clang-tidy over the program's
# sources; exits non-zero on any finding.
#
#   scripts/lint.sh [build dir]     (default: build-ci; it needs compile_commands.json, which
#                                    every preset writes)
#
# LINT_JOBS sets how many clang-tidy runs go at once (default 2).
set -euo pipefail
cd "$(dirname "$0")/.."
build_dir=${1:-build-ci}

missing=()
command -v clang-format >/dev/null || missing+=(clang-format)
command -v clang-tidy >/dev/null || missing+=(clang-tidy)
if [ ${#missing[@]} -gt 0 ]; then
  sudo=()
  [ "$(id -u)" -eq 0 ] || sudo=(sudo)
  echo "Installing: ${missing[*]}"
  "${sudo[@]}" apt-get update -qq
  DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

status=0

mapfile -t tracked < <(git ls-files -- '*.cpp' '*.h')
echo "clang-format: ${#tracked[@]} files"
if ! clang-format --dry-run --Werror "${tracked[@]}"; then
  echo "clang-format: files above differ from .clang-format; fix with: clang-format -i <file>" >&2
  status=1
fi

if [ ! -f "$build_dir/compile_commands.json" ]; then
  echo "clang-tidy: no $build_dir/compile_commands.json; configure first, e.g. cmake --preset dev" >&2
  exit 1
fi
mapfile -t sources < <(git ls-files -- 'app/*.cpp' 'decoding/*.cpp' 'helper/*.cpp' 'library/*.cpp' 'platform/*.cpp' 'slideshow/*.cpp' 'widgets/*.cpp')
echo "clang-tidy: ${#sources[@]} files with $build_dir/compile_commands.json"
# .clang-tidy turns every warning into an error, so each failing file fails its own run.
if ! printf '%s\0' "${sources[@]}" \
    | xargs -0 -n 1 -P "${LINT_JOBS:-2}" clang-tidy --quiet -p "$build_dir"; then
  echo "clang-tidy: findings above" >&2
  status=1
fi

[ "$status" -eq 0 ] && echo "lint: clean"
exit "$status"
