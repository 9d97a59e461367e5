#!/usr/bin/env bash
# Installs what is missing, builds ソラニカ with all its tests and runs the
# whole suite headless, independent tests side by side, one per processor.
# Everything is switched on here: the Windows build and its tests under Wine
# (the first run on a machine builds Qt for Windows, about half an hour on two
# cores), the web edition and its tests in Chromium, Firefox and WebKit, and the sanitizer suite. Every test's tools are installed here, so a
# missing one fails (SORANIKA_REQUIRE_ALL_TOOLS) instead of being skipped.
# It is the test preset (CMakePresets.json), in build/test, a folder of its
# own that no release touches. Arguments go to CMake:
# `scripts/test.sh -DSORANIKA_WINDOWS=OFF` leaves the Windows part out for a
# quick local run. Prints the slowest tests, then CTest's summary line last.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh test windows web web-test
cmake --preset test "$@"
cmake --build --preset test
export QT_QPA_PLATFORM=offscreen
log=build/test/Testing/test.log
mkdir -p build/test/Testing
status=0
ctest --preset test -j "$(nproc)" 2>&1 | tee "$log" || status=$?
echo
echo "The slowest tests:"
sed -nE 's/^ *[0-9]+\/[0-9]+ Test +#[0-9]+: ([^ ]+) \.+.* ([0-9.]+) sec$/\2 \1/p' "$log" |
    sort -rn | head -n 8 | awk '{ printf "  %8.1f s  %s\n", $1, $2 }'
echo
# CTest's summary once more, as the last line.
grep -E '^[0-9]+% tests passed' "$log" | tail -n 1
exit "$status"
