#!/usr/bin/env bash
# Starts the real soranika.exe under Wine on the windows platform, on the X
# display of DISPLAY (scripts/with-x.sh gives it one), as a user would:
# types 700 into the wage, 5 into the days, 9 and 17 into the hours with real key events, moves to 計算 with Tab
# and presses it with the space bar. What the main window shows is read by
# the results probe (results_probe.cpp), which the program loads from
# generic/ beside it when given -plugin.
# Usage: start-program.sh OUTDIR RUN-UNDER-WINE WINE WINESERVER PREFIX PROGRAM
set -euo pipefail
out=$1
shift
wineserver=$3
prefix=$4
rm -rf "$out"
mkdir -p "$out"
report="$out/results.txt"

SORANIKA_WINE_DISPLAY=keep "$@" -plugin "soranikaresults:$report" >"$out/program.log" 2>&1 &
program=$!
finish() {
    WINEPREFIX=$prefix "$wineserver" -k >/dev/null 2>&1 || true
    wait "$program" 2>/dev/null || true
}
trap finish EXIT

fail() {
    echo "start-program.sh: $1" >&2
    echo "--- what the probe read:" >&2
    cat "$report" >&2 2>/dev/null || true
    echo "--- the program's output:" >&2
    tail -n 20 "$out/program.log" >&2
    exit 1
}
# Waits until the report has a line matching the pattern.
wait_for() {
    for _ in $(seq 1 "$(($2 * 10))"); do
        grep -q -- "$1" "$report" 2>/dev/null && return 0
        kill -0 "$program" 2>/dev/null || fail "the program ended"
        sleep 0.1
    done
    fail "no '$1' after $2 s"
}

wait_for '^shown: ' 120
grep -qx 'platform: windows' "$report" || fail "not on the windows platform"
grep -qx 'focus: 時給' "$report" || fail "the wage box does not have the focus at start"
if command -v xwd >/dev/null && command -v xwdtopnm >/dev/null; then
    xwd -root -silent | xwdtopnm 2>/dev/null | pnmtopng >"$out/started.png" 2>/dev/null || true
fi

# Real key events through the X server (XTEST), to the window with the X
# focus: with no window manager, nobody else gives it.
window=$(xdotool search --onlyvisible --classname soranika | head -n 1)
[ -n "$window" ] || fail "no X window of soranika.exe"
xdotool windowfocus --sync "$window"
xdotool type --delay 40 700
xdotool key Tab
xdotool type --delay 40 5
xdotool key Tab
xdotool type --delay 40 9
xdotool key Tab
xdotool type --delay 40 17
xdotool key Tab Tab
wait_for '^focus: 計算$' 10
xdotool key space

wait_for '^月給料: 112000$' 20
for expected in '日: 5600' '週給料: 28000' '月給料: 112000'; do
    grep -qx "$expected" "$report" || fail "expected '$expected'"
done
if command -v xwd >/dev/null && command -v xwdtopnm >/dev/null; then
    xwd -root -silent | xwdtopnm 2>/dev/null | pnmtopng >"$out/calculated.png" 2>/dev/null || true
fi
echo "soranika.exe on the windows platform: 700 yen, 9 to 17, 5 days -> 5600 / 28000 / 112000"
