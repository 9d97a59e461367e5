#!/usr/bin/env bash
# Installs ソラニカ's .msi under Wine in a fresh copy of a prepared prefix,
# per user or, with ALLUSERS=1, for all users, starts the program through
# its Start-menu shortcut, as a user would, and calculates in its main
# window with real key events: 700 yen, 9 to 17, 5 days must give 5600 /
# 28000 / 112000. The results are read by the results probe
# (results_probe.cpp), copied from PROBE_DIR (the Windows build's generic/)
# into the installed folder's generic/ and loaded with -plugin, which
# `start` adds to the shortcut's own (empty) arguments. Needs an X display
# with a window manager:
#   scripts/with-x.sh --wm tests/wine/msi-start.sh user|machine OUTDIR MSI PROBE_DIR \
#       WINE-RUN PREFIX
# OUTDIR receives started.png and calculated.png, the screen after the start
# and after the calculation.
set -euo pipefail
if [ $# -ne 6 ] || { [ "$1" != user ] && [ "$1" != machine ]; }; then
    echo "usage: msi-start.sh user|machine OUTDIR MSI PROBE_DIR WINE-RUN PREFIX" >&2
    exit 2
fi
scope=$1
out=$(realpath -m "$2")
msi=$(realpath "$3")
probe=$(realpath "$4")
wine_run=$5 prepared=$(realpath -m "$6")
[ -n "${DISPLAY:-}" ] || { echo "msi-start.sh: no DISPLAY (scripts/with-x.sh --wm)" >&2; exit 2; }
# shellcheck source=prefix-steps.sh
. "$(dirname "$0")/prefix-steps.sh"
rm -rf "$out"
mkdir -p "$out"
# Code page 932 in Wine, as on a Japanese Windows (see msi-install.sh).
export LC_ALL=ja_JP.UTF-8
report=$out/results.txt

fresh_prefix "$out/prefix"
arguments=()
folder=$user_folder shortcut=$user_shortcut
if [ "$scope" = machine ]; then
    arguments=(ALLUSERS=1)
    folder=$machine_folder shortcut=$machine_shortcut
fi
in_wine msiexec.exe /i "$(windows_path "$msi")" "${arguments[@]}" /qn >"$out/install.log" 2>&1 ||
    { echo "msi-start.sh: msiexec /i ${arguments[*]} failed ($?)" >&2; exit 1; }
[ -f "$folder/soranika.exe" ] || { echo "msi-start.sh: nothing installed in $folder" >&2; exit 1; }
# Wine puts the shortcut of an install for all users into the user's Start
# menu (see msi-install.sh).
[ -f "$shortcut" ] || shortcut=$user_shortcut
mkdir "$folder/generic"
cp "$probe"/*.dll "$folder/generic/"

# Started through the shortcut, in the background, with the display:
# `start` returns once the program runs, but waits on a message box when the
# shortcut is broken; the program goes on until the end of this test.
SORANIKA_WINE_DISPLAY=keep SORANIKA_WINE_KEEP=1 in_wine start /unix "$shortcut" \
    -plugin "soranikaresults:$(windows_path "$report")" >"$out/program.log" 2>&1 &
finish() {
    "$wine_run" "$pfx" --stop
    wait 2>/dev/null || true
}
trap finish EXIT

log=$out/program.log
source "$(dirname "$0")/probe-steps.sh"

wait_for '^shown: ソラニカ$' 120
grep -qx 'platform: windows' "$report" || fail "not on the windows platform"
screenshot started
calculate windowactivate
sleep 1 # the results' paint
screenshot calculated
echo "ソラニカ installed from $(basename "$msi") for the $scope, started through its shortcut:" \
    "700 yen, 9 to 17, 5 days -> 5600 / 28000 / 112000; screen in $out/calculated.png"
