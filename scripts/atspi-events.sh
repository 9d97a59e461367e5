#!/usr/bin/env bash
# Shows what a screen reader receives over AT-SPI during a calculation: runs
# ソラニカ on a private X server with a window manager and an accessibility
# bus, and prints the events and the accessible tree (scripts/atspi-events.py).
# Needs `scripts/install-deps.sh a11y`. Builds first (in build/dev, the dev preset's, unless
# BUILD_DIR says otherwise).
set -euo pipefail
cd "$(dirname "$0")/.."
build="${BUILD_DIR:-build/dev}"
[ -f "$build/build.ninja" ] || cmake -S . -B "$build" -G Ninja
cmake --build "$build" --target soranika
program="$(realpath "$build/app/soranika")"
exec scripts/with-x.sh --wm --screen 1024x768x24 dbus-run-session -- bash -c '
    set -eu
    trap "kill \$(jobs -p) 2>/dev/null" EXIT
    export QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 NO_AT_BRIDGE=0
    /usr/libexec/at-spi-bus-launcher --launch-immediately & sleep 1
    "$1" & sleep 2
    /usr/bin/python3 "$2"
' atspi "$program" "$(pwd)/scripts/atspi-events.py"
