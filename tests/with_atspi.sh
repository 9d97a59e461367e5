#!/usr/bin/env bash
# Runs a test program as a screen reader's desktop has it: on a private X
# server, with a session bus and the accessibility bus, so that the program
# sends its accessibility events: `with_atspi.sh PROGRAM [ARGS...]`.
# Exits with 77 (skipped) when those are not installed
# (scripts/install-deps.sh test).
set -u
launcher=/usr/libexec/at-spi-bus-launcher

if [ "${1:-}" != --inside ]; then
    for tool in Xvfb dbus-run-session "$launcher"; do
        if ! command -v "$tool" >/dev/null 2>&1; then
            echo "with_atspi.sh: $tool is not installed; skipped" >&2
            exit 77
        fi
    done
    exec dbus-run-session -- "$0" --inside "$@" 2> >(grep -v 'fd limit' >&2)
fi
shift

dir=$(mktemp -d)
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$dir/display" 2>/dev/null &
xvfb=$!
bus=
trap 'kill $xvfb $bus 2>/dev/null; rm -rf "$dir"' EXIT
for _ in $(seq 100); do
    [ -s "$dir/display" ] && break
    sleep 0.1
done
export DISPLAY=":$(head -n1 "$dir/display")"
"$launcher" --launch-immediately 2>/dev/null &
bus=$!
QT_QPA_PLATFORM=xcb QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 "$@"
