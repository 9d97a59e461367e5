#!/usr/bin/env bash
# Runs a command on a private X server, the one way every script and test of
# ソラニカ gets a display:
#   scripts/with-x.sh [--wm] [--screen WxHxD] COMMAND [ARGS...]
# Xvfb picks a free display number itself (-displayfd), so that parallel
# runs never collide; DISPLAY is exported to COMMAND. --wm starts openbox
# first, for what needs a window manager (focus, real key events, window
# titles). The server and the window manager end with COMMAND, whose exit
# status is returned. Exits with 1 when Xvfb (or openbox) is missing or does
# not start.
set -u
wm=0
screen=1280x1024x24
while [ $# -gt 0 ]; do
    case "$1" in
    --wm) wm=1; shift ;;
    --screen) screen=$2; shift 2 ;;
    --) shift; break ;;
    *) break ;;
    esac
done
[ $# -gt 0 ] || { echo "usage: with-x.sh [--wm] [--screen WxHxD] COMMAND [ARGS...]" >&2; exit 2; }
for tool in Xvfb $([ $wm = 1 ] && echo openbox); do
    if ! command -v "$tool" >/dev/null 2>&1; then
        echo "with-x.sh: $tool is not installed (scripts/install-deps.sh test)" >&2
        exit 1
    fi
done

dir=$(mktemp -d)
xvfb=
openbox=
cleanup() {
    [ -n "$openbox" ] && kill "$openbox" 2>/dev/null
    [ -n "$xvfb" ] && kill "$xvfb" 2>/dev/null && wait "$xvfb" 2>/dev/null
    rm -rf "$dir"
}
trap cleanup EXIT
trap 'exit 143' TERM INT

Xvfb -displayfd 3 -screen 0 "$screen" -nolisten tcp 3>"$dir/display" 2>"$dir/xvfb.log" &
xvfb=$!
for _ in $(seq 200); do
    [ -s "$dir/display" ] && break
    kill -0 "$xvfb" 2>/dev/null || break
    sleep 0.05
done
if [ ! -s "$dir/display" ]; then
    echo "with-x.sh: Xvfb did not start:" >&2
    cat "$dir/xvfb.log" >&2
    exit 1
fi
export DISPLAY=":$(head -n1 "$dir/display")"
unset WAYLAND_DISPLAY

if [ $wm = 1 ]; then
    openbox --sm-disable >"$dir/openbox.log" 2>&1 &
    openbox=$!
    # openbox owns the WM_S0 selection once it manages the screen.
    for _ in $(seq 100); do
        xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && break
        sleep 0.05
    done
fi

"$@"
