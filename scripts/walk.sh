#!/usr/bin/env bash
# Builds the random walk through the windows and runs it headless, for
# longer than the test suite does:
#
#   scripts/walk.sh [ACTIONS] [SEED]
#
# ACTIONS defaults to 100000; SEED to the walk's fixed seed, and "random"
# picks one. The walk prints its seed, its figures and, on a failure, the
# numbered actions and the command that replays them. SORANIKA_WALK_VERBOSE=1
# prints every action as it runs.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh test
build="${BUILD_DIR:-build/dev}"
cmake -S . -B "$build" -G Ninja
cmake --build "$build" --target test_random_walk
export QT_QPA_PLATFORM=offscreen QT_LOGGING_RULES='qt.qpa.*=false'
export SORANIKA_WALK_ACTIONS="${1:-100000}"
case "${2:-}" in
"") ;;
random) SORANIKA_WALK_SEED="$(od -An -N4 -tu4 /dev/urandom | tr -d ' ')" ;;
*) SORANIKA_WALK_SEED="$2" ;;
esac
if [ -n "${SORANIKA_WALK_SEED:-}" ]; then
    export SORANIKA_WALK_SEED
fi
exec "$build/tests/test_random_walk" walk
