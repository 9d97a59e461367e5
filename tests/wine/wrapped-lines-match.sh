#!/usr/bin/env bash
# Renders every window with the screenshot tool of this build (offscreen) and
# with that of the Windows build (under Wine, on the minimal platform with
# fonts), and compares the lines of every wrapping label and button that the
# two write beside their pictures: they must break at the same places.
# Usage: wrapped-lines-match.sh TOOL OUTDIR RUN-UNDER-WINE... WINDOWS-TOOL
set -euo pipefail
tool=$1 out=$2
shift 2
rm -rf "$out"
mkdir -p "$out/linux" "$out/windows"
QT_QPA_PLATFORM=offscreen "$tool" "$out/linux" >/dev/null
"$@" -platform minimal:enable_fonts "$out/windows" >/dev/null

# Controls known to differ (known-wrap-differences.txt) are compared apart.
known=$(grep -v '^#' "$(dirname "$0")/known-wrap-differences.txt" | grep . || true)
status=0
compared=0
for linux in "$out"/linux/*.txt; do
    name=$(basename "$linux" .txt)
    windows="$out/windows/$name.txt"
    skip=$(echo "$known" | awk -v n="$name" '$1 == n { printf "^%s: |", $2 }')
    skip=${skip%|}
    if ! diff -u --label "linux/$name" --label "windows/$name" \
        <(grep -Ev "${skip:-^$}" "$linux") <(grep -Ev "${skip:-^$}" "$windows"); then
        status=1
    fi
    compared=$((compared + $(wc -l <"$linux")))
done
while read -r name control; do
    [ -n "$name" ] || continue
    if [ "$(grep "^$control: " "$out/linux/$name.txt")" = \
        "$(grep "^$control: " "$out/windows/$name.txt")" ]; then
        echo "$name $control now wraps alike: take it off known-wrap-differences.txt" >&2
        status=1
    fi
done <<<"$known"
if [ "$compared" -eq 0 ]; then
    echo "wrapped-lines-match.sh: the screenshot tool wrote no lines" >&2
    exit 1
fi
echo "$compared controls compared; pictures of the Windows build in $out/windows"
exit "$status"
