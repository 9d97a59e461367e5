#!/usr/bin/env bash
# Renders the application icon to the PNG sizes that are committed beside it
# (the window icon embeds some of them, the package installs all of them).
# Run after editing soranika.svg:
#
#   packaging/icons/render.sh           rewrites soranika-<size>.png
#   packaging/icons/render.sh --check   fails if a committed PNG is stale
#
# soranika.ico, the Windows program's icon, holds the same renderings as PNG.
# Needs rsvg-convert (librsvg2-bin).
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
sizes=(16 24 32 48 64 128 256)

check=false
if [ "${1:-}" = "--check" ]; then
    check=true
fi

out="$here"
if $check; then
    out="$(mktemp -d)"
    trap 'rm -rf "$out"' EXIT
fi

for size in "${sizes[@]}"; do
    rsvg-convert --width "$size" --height "$size" --format png \
        --output "$out/soranika-$size.png" "$here/soranika.svg"
done

# An icon file: a header, one 16-byte entry per image, then the PNGs.
byte() { printf "\\$(printf %03o $(($1 & 255)))"; }
le16() { byte "$1"; byte $(($1 >> 8)); }
le32() { le16 $(($1 & 65535)); le16 $(($1 >> 16)); }
{
    le16 0; le16 1; le16 ${#sizes[@]}
    offset=$((6 + 16 * ${#sizes[@]}))
    for size in "${sizes[@]}"; do
        bytes=$(stat -c %s "$out/soranika-$size.png")
        # Width and height (256 is written as 0), no palette, 1 plane,
        # 32 bits a pixel, then where the PNG is.
        byte "$size"; byte "$size"; le16 0; le16 1; le16 32
        le32 "$bytes"; le32 "$offset"
        offset=$((offset + bytes))
    done
    for size in "${sizes[@]}"; do
        cat "$out/soranika-$size.png"
    done
} >"$out/soranika.ico"

if $check; then
    stale=()
    files=(soranika.ico)
    for size in "${sizes[@]}"; do
        files+=("soranika-$size.png")
    done
    for file in "${files[@]}"; do
        if ! cmp -s "$out/$file" "$here/$file"; then
            stale+=("$file")
        fi
    done
    if [ "${#stale[@]}" -ne 0 ]; then
        echo "render.sh: out of date with soranika.svg: ${stale[*]}" >&2
        echo "render.sh: run packaging/icons/render.sh and commit the PNGs and the icon file" >&2
        exit 1
    fi
    echo "render.sh: all ${#sizes[@]} renderings and the icon file match soranika.svg"
fi
