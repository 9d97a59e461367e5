#!/usr/bin/env bash
# Renders the application icon to the PNG sizes that are committed beside it
# (the window icon embeds some of them, the package installs all of them).
# Run after editing soranika.svg:
#
#   packaging/icons/render.sh           rewrites soranika-<size>.png
#   packaging/icons/render.sh --check   fails if a committed PNG is stale
#
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

if $check; then
    stale=()
    for size in "${sizes[@]}"; do
        if ! cmp -s "$out/soranika-$size.png" "$here/soranika-$size.png"; then
            stale+=("soranika-$size.png")
        fi
    done
    if [ "${#stale[@]}" -ne 0 ]; then
        echo "render.sh: out of date with soranika.svg: ${stale[*]}" >&2
        echo "render.sh: run packaging/icons/render.sh and commit the PNGs" >&2
        exit 1
    fi
    echo "render.sh: all ${#sizes[@]} renderings match soranika.svg"
fi
