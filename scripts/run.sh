#!/usr/bin/env bash
# Installs what is missing, builds ソラニカ and starts it.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh run
build=build
cmake -S . -B "$build" -G Ninja
cmake --build "$build" --target soranika
exec "$build/app/soranika" "$@"
