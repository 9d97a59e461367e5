#!/usr/bin/env bash
# Runs a test as a screen reader's desktop has it: on a private X server
# (scripts/with-x.sh, with openbox when --wm is given), with a private session
# bus, the accessibility bus and private XDG folders, so that the program
# sends its accessibility events and desktop settings such as
# toolkit-accessibility never reach the user's own:
#   with_atspi.sh [--wm] [--required] PROGRAM [ARGS...]
# When Xvfb, dbus-run-session or the bus launcher is missing, exits with 77
# (skipped), or with 1 given --required, which CMake passes where the test
# command installed them (SORANIKA_REQUIRE_ALL_TOOLS).
set -u
launcher=/usr/libexec/at-spi-bus-launcher
here=$(cd "$(dirname "$0")" && pwd)

if [ "${1:-}" != --inside ]; then
    wm=()
    required=0
    while [ $# -gt 0 ]; do
        case "$1" in
        --wm) wm=(--wm); shift ;;
        --required) required=1; shift ;;
        *) break ;;
        esac
    done
    for tool in Xvfb dbus-run-session "$launcher" $([ ${#wm[@]} -gt 0 ] && echo openbox); do
        if ! command -v "$tool" >/dev/null 2>&1; then
            if [ "$required" = 1 ]; then
                echo "with_atspi.sh: $tool is not installed (scripts/install-deps.sh test)" >&2
                exit 1
            fi
            echo "with_atspi.sh: $tool is not installed; skipped" >&2
            exit 77
        fi
    done
    home=$(mktemp -d)
    trap 'rm -rf "$home"' EXIT
    mkdir -m 700 "$home/config" "$home/data" "$home/cache" "$home/runtime"
    export XDG_CONFIG_HOME="$home/config" XDG_DATA_HOME="$home/data" \
        XDG_CACHE_HOME="$home/cache" XDG_RUNTIME_DIR="$home/runtime"
    "$here/../scripts/with-x.sh" "${wm[@]}" \
        dbus-run-session -- "$0" --inside "$@" 2> >(grep -v 'fd limit' >&2)
    exit $?
fi
shift

"$launcher" --launch-immediately 2>/dev/null &
bus=$!
trap 'kill $bus 2>/dev/null' EXIT
QT_QPA_PLATFORM=xcb QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 "$@"
