#!/usr/bin/env bash
# The zip holds exactly the staged files, byte for byte, in the one folder
# named after the package, and the staged files are what the program needs:
#   package-contents.sh STAGE ZIP
set -euo pipefail
stage=$1 zip=$2
name=$(basename "$stage")
status=0
fail() { echo "package-contents.sh: $*" >&2; status=1; }
[ -f "$zip" ] || { echo "package-contents.sh: no $zip" >&2; exit 1; }

# What a user's copy of ソラニカ must hold, whatever else changes.
for file in soranika.exe Qt6Core.dll Qt6Gui.dll Qt6Widgets.dll libstdc++-6.dll \
    libgcc_s_seh-1.dll libwinpthread-1.dll platforms/qwindows.dll \
    styles/qwindowsvistastyle.dll LICENSE.txt licenses/Qt-LGPL-3.0.txt \
    licenses/GPL-3.0.txt licenses/Qt-source.txt; do
    [ -s "$stage/$file" ] || fail "the stage lacks $file"
done

staged=$(cd "$stage" && find . -type f | sed "s|^\./|$name/|" | sort)
zipped=$(unzip -Z1 "$zip" | grep -v '/$' | sort)
if [ "$staged" != "$zipped" ]; then
    fail "the zip's files differ from the stage's:"
    diff <(echo "$staged") <(echo "$zipped") >&2 || true
fi
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
(cd "$work" && unzip -q "$zip")
diff -r "$stage" "$work/$name" >&2 || fail "the zip's bytes differ from the stage's"
[ $status -eq 0 ] && echo "$(echo "$zipped" | wc -l) files in $(basename "$zip"), as staged"
exit $status
