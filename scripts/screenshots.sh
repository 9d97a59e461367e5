#!/usr/bin/env bash
# Renders every window to PNG, headless: scripts/screenshots.sh [OUTDIR] [--theme]
# (--theme: as a desktop theme leaves them, a dark palette and another font)
# Builds first (in build/dev, the dev preset's, unless BUILD_DIR says otherwise).
set -euo pipefail
cd "$(dirname "$0")/.."
build="${BUILD_DIR:-build/dev}"
out="${1:-screenshots}"
shift || true
[ -f "$build/build.ninja" ] || cmake -S . -B "$build" -G Ninja
cmake --build "$build" --target soranika-screenshots
QT_QPA_PLATFORM=offscreen "$build/tools/soranika-screenshots" "$out" "$@"
