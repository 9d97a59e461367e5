#!/usr/bin/env bash
# The start-up benchmark: ソラニカ against the floor (a Qt window with the same
# menu bar and a line of Japanese text) and a bare Qt window, offscreen and
# under Xvfb. Builds it in build/dev (the dev preset, RelWithDebInfo) first.
#
#   scripts/bench.sh [offscreen|xcb|both] [--runs N] [--clicks N] [--no-callgrind]
#   scripts/bench.sh web [--lighthouse]
#
# web: the web edition in Chromium at a phone's size (bench/web.mjs): the
# bytes of the first load, the first contentful paint, and 計算 to the frame
# that shows its result; --lighthouse adds Lighthouse's mobile scores
# (bench/lighthouse, installed from its lock file).
#
# Not a test: its figures depend on the machine and on what else runs on it.
# On a machine that other jobs share, `chrt -f 10 scripts/bench.sh` (as root)
# keeps them from weighing on one program's runs more than on the other's.
set -euo pipefail
cd "$(dirname "$0")/.."

if [ "${1:-}" = web ]; then
    shift
    scripts/install-deps.sh web web-test
    cmake --preset dev -DSORANIKA_WEB=ON >/dev/null
    cmake --build --preset dev --target web_test_inputs >/dev/null
    if [[ " $* " == *" --lighthouse "* ]] && [ ! -x bench/lighthouse/node_modules/.bin/lighthouse ]; then
        (cd bench/lighthouse && npm ci --no-audit --no-fund --loglevel=error)
    fi
    SORANIKA_WEB_SITE=build/dev/web/site SORANIKA_WEB_MODULES="$PWD/build/dev/tests/web/node_modules" \
        SORANIKA_CHROMIUM=$(command -v chromium) exec node bench/web.mjs "$@"
fi

platforms=both
case "${1:-}" in
offscreen | xcb | both)
    platforms=$1
    shift
    ;;
esac

scripts/install-deps.sh bench
build=build/dev
# The build's output only when it fails.
if ! log=$(cmake --preset dev 2>&1 &&
    cmake --build "$build" --target soranika-startup-bench 2>&1); then
    echo "$log" >&2
    exit 1
fi
bench="$build/bench/soranika-startup-bench"

# A session like a desktop's: a private runtime directory, and nothing in
# the environment that would change Qt's look or size for one program only.
runtime=$(mktemp -d /tmp/soranika-bench-XXXXXX)
cleanup() { rm -rf "$runtime"; }
trap cleanup EXIT
chmod 700 "$runtime"
export XDG_RUNTIME_DIR="$runtime"
unset QT_STYLE_OVERRIDE QT_SCALE_FACTOR QT_SCREEN_SCALE_FACTORS QT_FONT_DPI QT_QPA_PLATFORMTHEME \
    QT_ACCESSIBILITY QT_LINUX_ACCESSIBILITY_ALWAYS_ON QT_DEBUG_PLUGINS

if [ "$platforms" != xcb ]; then
    QT_QPA_PLATFORM=offscreen "$bench" "$@"
fi

if [ "$platforms" != offscreen ]; then
    [ "$platforms" = xcb ] || echo
    # With a session bus, as on a desktop: without one, Qt's accessibility
    # bridge would try to start a bus at the first show, in both programs.
    QT_QPA_PLATFORM=xcb scripts/with-x.sh dbus-run-session -- "$bench" "$@"
fi
