#!/usr/bin/env bash
# Builds ソラニカ for 64-bit Windows and packs it as a zip that runs on a
# Windows 10/11 PC by unzipping it and double-clicking soranika.exe:
#   scripts/windows-package.sh  ->  build-windows/soranika-<version>-windows-x86_64.zip
# The first run on a machine builds Qt for Windows (scripts/windows-qt.sh,
# about half an hour on two cores). The build folder is build-windows unless
# BUILD_DIR says otherwise. `scripts/try-windows-package.sh ZIP` tries the zip
# under Wine.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh windows
qt=$(scripts/windows-qt.sh)
build=$(realpath -m "${BUILD_DIR:-build-windows}")
cmake -S . -B "$build" -G Ninja \
    -DCMAKE_TOOLCHAIN_FILE="$PWD/cmake/mingw-w64-x86_64.cmake" \
    -DSORANIKA_WINDOWS_QT="$qt" -DCMAKE_BUILD_TYPE=Release -DSORANIKA_RELEASE_PACKAGE=ON "$@" >/dev/null
cmake --build "$build" --target soranika windows_runtime

version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
name="soranika-$version-windows-x86_64"
stage="$build/package/$name"
rm -rf "$build/package"
mkdir -p "$stage/platforms" "$stage/styles" "$stage/licenses"

# The program, what it loads and nothing else.
bin="$build/bin"
cp "$bin/soranika.exe" "$bin/Qt6Core.dll" "$bin/Qt6Gui.dll" "$bin/Qt6Widgets.dll" \
    "$bin/libstdc++-6.dll" "$bin/libgcc_s_seh-1.dll" "$bin/libwinpthread-1.dll" "$stage/"
cp "$bin/platforms/qwindows.dll" "$stage/platforms/"
cp "$bin/styles/qwindowsvistastyle.dll" "$stage/styles/"
find "$stage" -name '*.exe' -o -name '*.dll' | xargs x86_64-w64-mingw32-strip --strip-unneeded

# The licences, as .txt so that a double-click opens them. Qt is linked
# dynamically under the LGPL 3, which comes with the GPL 3 it builds on, and
# with where its source is and how it was built.
cp LICENSE "$stage/LICENSE.txt"
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
    echo "posix threads) by scripts/windows-qt.sh of ソラニカ's source, with:"
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

zip="$build/$name.zip"
rm -f "$zip"
(cd "$build/package" && zip -q -9 -r -X "$zip" "$name")
echo "$zip ($(du -k "$zip" | cut -f1) kB; unpacked $(du -sk "$stage" | cut -f1) kB)"
