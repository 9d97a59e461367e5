#!/usr/bin/env bash
# Renders every window with the screenshot tool of this build (offscreen) and
# with that of the Windows build (under Wine, on the minimal platform with
# fonts), and compares what the two write beside their pictures: every
# wrapping label and button must break at the same places, and every amount
# must be drawn alike. Both must save the same pictures.
# Usage: wrapped-lines-match.sh TOOL OUTDIR RUN-UNDER-WINE... WINDOWS-TOOL
set -euo pipefail
tool=$1 out=$2
shift 2
known_file=$(dirname "$0")/known-wrap-differences.txt
rm -rf "$out"
mkdir -p "$out/linux" "$out/windows"
QT_QPA_PLATFORM=offscreen "$tool" "$out/linux" >/dev/null
"$@" -platform minimal:enable_fonts "$out/windows" >/dev/null

status=0
if ! diff -u --label "linux pictures" --label "windows pictures" \
    <(ls "$out/linux") <(ls "$out/windows"); then
    echo "wrapped-lines-match.sh: the two builds saved different pictures" >&2
    status=1
fi

# The lines of a picture's file, blanks at the end of a line aside; none for
# a missing file, which the listing above reports.
lines() {
    if [ -f "$1" ]; then sed 's/[[:space:]]*$//' "$1"; fi
}
# The lines known-wrap-differences.txt gives for picture $1 on side $2.
known() {
    grep -v '^#' "$known_file" | awk -v p="$1" -v s="$2" \
        '$1 == p && $2 == s { sub(/^[^ ]+ [^ ]+ /, ""); print }' | sed 's/[[:space:]]*$//'
}

compared=0
names=$({ ls "$out/linux"; ls "$out/windows"; } | sed -n 's/\.txt$//p' | sort -u)
for name in $names; do
    # A known difference is drawn on each side exactly as written.
    for side in linux windows; do
        while IFS= read -r line; do
            if ! lines "$out/$side/$name.txt" | grep -Fxq -- "$line"; then
                echo "$name: the $side build no longer draws \"$line\":" \
                    "correct known-wrap-differences.txt" >&2
                status=1
            fi
        done < <(known "$name" "$side")
    done
    # Everything else alike.
    if ! diff -u --label "linux/$name" --label "windows/$name" \
        <(lines "$out/linux/$name.txt" | grep -Fxv -f <(known "$name" linux) || true) \
        <(lines "$out/windows/$name.txt" | grep -Fxv -f <(known "$name" windows) || true); then
        status=1
    fi
    compared=$((compared + $(lines "$out/linux/$name.txt" | wc -l)))
done
if [ "$compared" -eq 0 ]; then
    echo "wrapped-lines-match.sh: the screenshot tool wrote no lines" >&2
    exit 1
fi
echo "$compared controls compared; pictures of the Windows build in $out/windows"
exit "$status"
