#!/usr/bin/env bash
# Shows what a screen reader receives over AT-SPI during a calculation: runs
# ソラニカ on a private X server with a window manager and an accessibility
# bus, and prints the events and the accessible tree (scripts/atspi-events.py).
# Needs `scripts/install-deps.sh a11y`. Builds first (in build/ unless
# BUILD_DIR says otherwise).
set -euo pipefail
cd "$(dirname "$0")/.."
build="${BUILD_DIR:-build}"
[ -f "$build/build.ninja" ] || cmake -S . -B "$build" -G Ninja
cmake --build "$build" --target soranika
program="$(realpath "$build/app/soranika")"
display=":$((90 + RANDOM % 100))"

exec dbus-run-session -- bash -c '
    set -eu
    Xvfb "$1" -screen 0 1024x768x24 -nolisten tcp & xvfb=$!
    trap "kill \$(jobs -p) 2>/dev/null" EXIT
    export DISPLAY="$1" QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 NO_AT_BRIDGE=0
    sleep 1
    openbox & sleep 0.5
    /usr/libexec/at-spi-bus-launcher --launch-immediately & sleep 1
    "$2" & sleep 2
    /usr/bin/python3 "$3"
' atspi "$display" "$program" "$(pwd)/scripts/atspi-events.py"
