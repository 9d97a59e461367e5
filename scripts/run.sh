#!/usr/bin/env bash
# Installs what is missing, builds ソラニカ and starts it:
#   scripts/run.sh [ARGUMENTS...]   the desktop program
#   scripts/run.sh web [PORT]       the web edition, served on localhost
#                                   (8080 by default) until Ctrl+C; open the
#                                   address it prints in a browser
set -euo pipefail
cd "$(dirname "$0")/.."
build=build
if [ "${1:-}" = web ]; then
    scripts/install-deps.sh run web
    cmake -S . -B "$build" -G Ninja -DSORANIKA_WEB=ON
    cmake --build "$build" --target soranika_web
    exec node web/serve.mjs "$build/web/site" "${2:-8080}"
fi
scripts/install-deps.sh run
cmake -S . -B "$build" -G Ninja
cmake --build "$build" --target soranika
exec "$build/app/soranika" "$@"
