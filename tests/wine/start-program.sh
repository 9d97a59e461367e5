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

log=$out/program.log
source "$(dirname "$0")/probe-steps.sh"

wait_for '^shown: ' 120
grep -qx 'platform: windows' "$report" || fail "not on the windows platform"
grep -qx 'focus: 時給' "$report" || fail "the wage box does not have the focus at start"
screenshot started
# Real key events through the X server (XTEST), to the window with the X
# focus: with no window manager, nobody else gives it.
calculate windowfocus
screenshot calculated
echo "soranika.exe on the windows platform: 700 yen, 9 to 17, 5 days -> 5600 / 28000 / 112000"
