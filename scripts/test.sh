#!/usr/bin/env bash
# Installs what is missing, builds ソラニカ with its tests and runs the whole
# suite headless. Ends with CTest's summary line.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh test
build="${BUILD_DIR:-build}"
cmake -S . -B "$build" -G Ninja
cmake --build "$build"
export QT_QPA_PLATFORM=offscreen
cd "$build"
exec ctest --output-on-failure --timeout 1800
