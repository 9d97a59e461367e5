#!/usr/bin/env bash
# The Windows packages of ソラニカ, made by the Windows build (target
# windows_package) from its bin/ folder:
#   package.sh BIN QT VERSION OUTDIR
# stages the program, what it loads and the licences in
# OUTDIR/soranika-<version>-windows-x86_64/, signs soranika.exe when a
# certificate is given (sign.sh), and makes from exactly that folder
# OUTDIR/soranika-<version>-windows-x86_64.zip, the portable copy (unzipped
# anywhere on Windows 10 or 11, soranika.exe starts with a double-click),
# and OUTDIR/soranika-<version>-windows-x86_64.msi, the installer (msi.sh),
# signed likewise. QT is the prefix of the Qt for Windows the build used
# (cmake/windows-qt.sh).
set -euo pipefail
here=$(cd "$(dirname "$0")/../.." && pwd)
bin=$1 qt=$2 version=$3 out=$4
name="soranika-$version-windows-x86_64"
stage="$out/$name"
rm -rf "$stage"
mkdir -p "$stage/platforms" "$stage/styles" "$stage/licenses"

# The program, what it loads and nothing else.
cp "$bin/soranika.exe" "$bin/Qt6Core.dll" "$bin/Qt6Gui.dll" "$bin/Qt6Widgets.dll" \
    "$bin/libstdc++-6.dll" "$bin/libgcc_s_seh-1.dll" "$bin/libwinpthread-1.dll" "$stage/"
cp "$bin/platforms/qwindows.dll" "$stage/platforms/"
cp "$bin/styles/qwindowsvistastyle.dll" "$stage/styles/"
find "$stage" -name '*.exe' -o -name '*.dll' | xargs x86_64-w64-mingw32-strip --strip-unneeded

# The licences, as .txt so that a double-click opens them. Qt is linked
# dynamically under the LGPL 3, which comes with the GPL 3 it builds on, and
# with where its source is and how it was built.
cp "$here/LICENSE" "$stage/LICENSE.txt"
cp /usr/share/common-licenses/LGPL-3 "$stage/licenses/Qt-LGPL-3.0.txt"
cp /usr/share/common-licenses/GPL-3 "$stage/licenses/GPL-3.0.txt"
{
    echo "ソラニカ uses Qt $(sed -n 's/^Qt \([^ ]*\) .*/\1/p' "$qt/soranika-qt-build.txt") (https://www.qt.io/),"
    echo "licensed under the GNU Lesser General Public License version 3"
    echo "(Qt-LGPL-3.0.txt, with GPL-3.0.txt). The Qt DLLs and plugins here are"
    echo "unmodified builds of Debian's qt6-base source package; get the same source"
    echo "with \`apt-get source qt6-base=$(dpkg-query -W -f='${source:Version}' qt6-base-dev)\` on Debian 12"
    echo "(bookworm), or from https://snapshot.debian.org/package/qt6-base/."
    echo "They were built with MinGW-w64 (GCC $(x86_64-w64-mingw32-g++-posix -dumpversion),"
    echo "posix threads) by cmake/windows-qt.sh of ソラニカ's source, with:"
    echo
    sed -n 's/^configure options: /  configure /p' "$qt/soranika-qt-build.txt"
    echo
    echo "To use a Qt of your own, build it with the same options and put its"
    echo "Qt6Core.dll, Qt6Gui.dll, Qt6Widgets.dll, platforms\\qwindows.dll and"
    echo "styles\\qwindowsvistastyle.dll in place of these."
} >"$stage/licenses/Qt-source.txt"
for text in "$stage/LICENSE.txt" "$stage"/licenses/*.txt; do
    sed -i 's/\r*$/\r/' "$text"
done

# Signed when a certificate is given; otherwise one line says so, here.
sign() {
    if [ -n "${SORANIKA_SIGN_PKCS12:-}" ]; then
        "$here/packaging/windows/sign.sh" "$@"
    fi
}
[ -n "${SORANIKA_SIGN_PKCS12:-}" ] ||
    echo "unsigned: soranika.exe and the .msi (no SORANIKA_SIGN_PKCS12; see packaging/windows/sign.sh)"
sign "$stage/soranika.exe"

zip="$out/$name.zip"
rm -f "$zip"
(cd "$out" && zip -q -9 -r -X "$zip" "$name")
echo "$zip ($(du -k "$zip" | cut -f1) kB; unpacked $(du -sk "$stage" | cut -f1) kB)"

msi="$out/$name.msi"
"$here/packaging/windows/msi.sh" "$stage" "$version" "$msi"
sign "$msi"
echo "$msi ($(du -k "$msi" | cut -f1) kB)"
