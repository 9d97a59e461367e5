#!/usr/bin/env bash
# Checks that a Windows package holds exactly what the install put into the
# staging folder, byte for byte: the files of the install manifest, nothing
# missing, nothing extra, nothing changed.
#   package-contents.sh PACKAGE STAGE_DIR MANIFEST
# PACKAGE is the zip (one folder named like STAGE_DIR, unpacked) or the .msi
# (its files as installed, read from its tables and cabinet by msiextract).
# MANIFEST lists the installed files, one path inside STAGE_DIR a line.
set -euo pipefail
package=$(realpath "$1")
stage=$(realpath "$2")
manifest=$(realpath "$3")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
grep -qx soranika.exe "$manifest" || { echo "package-contents.sh: no soranika.exe in $manifest" >&2; exit 1; }
if ! differences=$(diff <(sort "$manifest") <(cd "$stage" && find . -type f -printf '%P\n' | sort)); then
    echo "package-contents.sh: the staged files are not the install manifest's:" >&2
    echo "$differences" >&2
    exit 1
fi
case "$package" in
*.zip)
    (cd "$work" && unzip -q "$package")
    unpacked=$work/$(basename "$stage")
    ;;
*.msi)
    msiextract -C "$work" "$package" >/dev/null
    unpacked=$work/ソラニカ
    ;;
*)
    echo "package-contents.sh: neither a .zip nor a .msi: $package" >&2
    exit 2
    ;;
esac
# One top folder, the one the files are in, and nothing beside it.
if [ "$(find "$work" -mindepth 1 -maxdepth 1 | wc -l)" -ne 1 ] || [ ! -d "$unpacked" ]; then
    echo "package-contents.sh: $package does not hold one folder $unpacked, but:" >&2
    find "$work" -mindepth 1 -maxdepth 1 -printf '  %P\n' >&2
    exit 1
fi
if ! differences=$(diff -r "$stage" "$unpacked" 2>&1); then
    echo "package-contents.sh: $(basename "$package") differs from the staged files ($stage):" >&2
    echo "$differences" >&2
    exit 1
fi
echo "$(basename "$package"): the $(wc -l <"$manifest") installed files, byte for byte"
