#!/usr/bin/env bash
# Tries the Windows zip as a user would: unpacks it into an empty folder in a
# fresh Wine prefix, starts soranika.exe from there with the windows platform
# on the X display of DISPLAY and waits for its main window:
#   try-zip.sh ZIP OUTDIR WINE-RUN
# (scripts/try-package.sh ZIP runs it on a private X server). WINE-RUN is
# run-under-wine.sh with the paths of Wine and its server (the build's
# wine-run). OUTDIR
# receives started.png, the screen with the main window, and wine.log,
# Wine's errors (a DLL that the zip lacks shows there). Fails when no main
# window appears.
set -euo pipefail
if [ $# -lt 3 ]; then
    echo "usage: try-zip.sh ZIP OUTDIR WINE-RUN..." >&2
    exit 2
fi
zip=$(realpath "$1") out=$(realpath -m "$2")
shift 2
wine_run=("$@")
mkdir -p "$out"
work=$(mktemp -d)
stop() {
    "${wine_run[@]}" "$work/prefix" --stop
    wait 2>/dev/null || true
    rm -rf "$work"
}
trap stop EXIT

mkdir "$work/unpacked"
(cd "$work/unpacked" && unzip -q "$zip")
program=$(echo "$work"/unpacked/*/soranika.exe)
[ -f "$program" ] || { echo "try-zip.sh: no soranika.exe in $zip" >&2; exit 1; }

# The prefix is created on the way; only Wine's errors about loading DLLs
# are kept.
(cd "$(dirname "$program")" &&
    WINEDEBUG=-all,err+module SORANIKA_WINE_DISPLAY=keep \
        "${wine_run[@]}" "$work/prefix" ./soranika.exe) >"$out/wine.log" 2>&1 &

# Wine names its X windows' class after the program.
if ! window=$(timeout 180 xdotool search --sync --onlyvisible --classname soranika | head -n 1) ||
    [ -z "$window" ] || [ "$(xdotool getwindowname "$window")" != ソラニカ ]; then
    echo "try-zip.sh: no main window appeared; Wine said:" >&2
    cat "$out/wine.log" >&2
    exit 1
fi
sleep 2 # its first paint
eval "$(xdotool getwindowgeometry --shell "$window")"
xwd -root -silent | xwdtopnm 2>/dev/null | pnmtopng >"$out/started.png"
echo "soranika.exe from $(basename "$zip"): main window '$(xdotool getwindowname "$window")'" \
    "${WIDTH}x$HEIGHT; screen in $out/started.png"
