#!/usr/bin/env bash
# Installs what is missing, builds ソラニカ and starts it:
#   scripts/run.sh [ARGUMENTS...]   the desktop program
#   scripts/run.sh web [PORT]       the web edition, served on localhost
#                                   (8080 by default) until Ctrl+C; open the
#                                   address it prints in a browser
set -euo pipefail
cd "$(dirname "$0")/.."
# Both build in build/dev, the dev preset's folder (CMakePresets.json).
if [ "${1:-}" = web ]; then
    scripts/install-deps.sh run web
    cmake --preset dev -DSORANIKA_WEB=ON
    cmake --build --preset dev --target soranika_web
    exec node web/serve.mjs build/dev/web/site "${2:-8080}"
fi
scripts/install-deps.sh run
cmake --preset dev
cmake --build --preset dev --target soranika
exec build/dev/app/soranika "$@"
