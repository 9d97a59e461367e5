#!/usr/bin/env bash
# Checks that a Windows package holds exactly the staged files, byte for
# byte: nothing missing, nothing extra, nothing changed.
#   package-contents.sh PACKAGE STAGE_DIR
# PACKAGE is the zip (one folder named like STAGE_DIR, unpacked) or the .msi
# (its files as installed under %LOCALAPPDATA%\Programs\ソラニカ, read from its
# tables and cabinet by msiextract).
set -euo pipefail
package=$(realpath "$1")
stage=$(realpath "$2")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# What a user's copy of ソラニカ must hold, whatever else the stage has.
for file in soranika.exe Qt6Core.dll Qt6Gui.dll Qt6Widgets.dll libstdc++-6.dll \
    libgcc_s_seh-1.dll libwinpthread-1.dll platforms/qwindows.dll \
    styles/qwindowsvistastyle.dll LICENSE.txt licenses/Qt-LGPL-3.0.txt \
    licenses/GPL-3.0.txt licenses/Qt-source.txt; do
    if [ ! -s "$stage/$file" ]; then
        echo "package-contents.sh: the staged files lack $file" >&2
        exit 1
    fi
done
case "$package" in
*.zip)
    (cd "$work" && unzip -q "$package")
    unpacked=$work/$(basename "$stage")
    ;;
*.msi)
    msiextract -C "$work" "$package" >/dev/null
    unpacked=$work/Programs/ソラニカ
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
echo "$(basename "$package"): the $(find "$stage" -type f | wc -l) staged files, byte for byte"
