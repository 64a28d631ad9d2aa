#!/usr/bin/env bash
# Builds the program and starts it on the bundled sample collection.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh
cmake --preset dev
cmake --build --preset dev
exec build/tarvel-images
