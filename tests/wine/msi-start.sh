#!/usr/bin/env bash
# Installs ソラニカ's .msi under Wine in a fresh copy of a prepared prefix,
# starts the program through its Start-menu shortcut, as a user would, and
# calculates in its main window with real key events: 700 yen, 9 to 17,
# 5 days must give 5600 / 28000 / 112000. The results are read by the
# results probe (results_probe.cpp), copied from PROBE_DIR (the Windows
# build's generic/) into the installed folder's generic/ and loaded with
# -plugin, which `start` adds to the shortcut's own (empty) arguments.
# Needs an X display with a window manager:
#   scripts/with-x.sh --wm tests/wine/msi-start.sh OUTDIR MSI PROBE_DIR \
#       RUN-UNDER-WINE WINE WINESERVER PREFIX
# OUTDIR receives started.png and calculated.png, the screen after the start
# and after the calculation.
set -euo pipefail
if [ $# -ne 7 ]; then
    echo "usage: msi-start.sh OUTDIR MSI PROBE_DIR RUN-UNDER-WINE WINE WINESERVER PREFIX" >&2
    exit 2
fi
out=$(realpath -m "$1")
msi=$(realpath "$2")
probe=$(realpath "$3")
runner=$4 wine=$5 wineserver=$6 prepared=$(realpath -m "$7")
[ -n "${DISPLAY:-}" ] || { echo "msi-start.sh: no DISPLAY (scripts/with-x.sh --wm)" >&2; exit 2; }
rm -rf "$out"
mkdir -p "$out"
# Code page 932 in Wine, as on a Japanese Windows (see msi-install.sh).
export LC_ALL=ja_JP.UTF-8
prefix=$out/prefix
report=$out/results.txt
windows_path() {
    echo "Z:$(sed 's|/|\\|g' <<<"$1")"
}

cp -a "$prepared" "$prefix"
"$runner" "$wine" "$wineserver" "$prefix" msiexec.exe /i "$(windows_path "$msi")" /qn \
    >"$out/install.log" 2>&1 || { echo "msi-start.sh: msiexec /i failed ($?)" >&2; exit 1; }
user_dir=$(find "$prefix/drive_c/users" -mindepth 1 -maxdepth 1 -type d ! -name Public | head -n 1)
mkdir "$user_dir/AppData/Local/Programs/ソラニカ/generic"
cp "$probe"/*.dll "$user_dir/AppData/Local/Programs/ソラニカ/generic/"
shortcut="$user_dir/AppData/Roaming/Microsoft/Windows/Start Menu/Programs/ソラニカ.lnk"

# Started through the shortcut, in the background: `start` returns once the
# program runs, but waits on a message box when the shortcut is broken.
export WINEPREFIX=$prefix WINEARCH=win64 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
finish() {
    "$wineserver" -k >/dev/null 2>&1 || true
    "$wineserver" -w >/dev/null 2>&1 || true
}
trap finish EXIT
"$wine" start /unix "$shortcut" -plugin "soranikaresults:$(windows_path "$report")" \
    </dev/null >"$out/program.log" 2>&1 &

log=$out/program.log
source "$(dirname "$0")/probe-steps.sh"

wait_for '^shown: ソラニカ$' 120
grep -qx 'platform: windows' "$report" || fail "not on the windows platform"
screenshot started
calculate windowactivate
sleep 1 # the results' paint
screenshot calculated
echo "ソラニカ installed from $(basename "$msi"), started through its shortcut:" \
    "700 yen, 9 to 17, 5 days -> 5600 / 28000 / 112000; screen in $out/calculated.png"
