#!/usr/bin/env bash
# Builds the packages once more in other folders, at another time, and
# checks that they are the same bytes: the .deb (twice here, from two
# folders of release builds), the Windows zip and .msi and the web edition's
# zip (against the test build's own). On a difference diffoscope says
# where.
#   reproducible.sh OUTDIR SOURCE GENERATOR MAKE WINDOWS_QT WINDOWS_BUILD WEB_BUILD [-DSETTING...]
# WINDOWS_BUILD and WEB_BUILD are the test build's Windows and web builds,
# whose packages the second builds are compared with; the settings are
# theirs (the contact address, the publisher's name and page).
set -euo pipefail
if [ $# -lt 7 ]; then
    echo "usage: reproducible.sh OUTDIR SOURCE GENERATOR MAKE WINDOWS_QT WINDOWS_BUILD WEB_BUILD [-DSETTING...]" >&2
    exit 2
fi
out=$(realpath -m "$1") source=$(realpath "$2") generator=$3 make=$4
windows_qt=$5 windows_build=$(realpath "$6") web_build=$(realpath "$7")
shift 7
settings=("$@")
rm -rf "$out"
mkdir -p "$out"
failures=0
compare() { # FIRST SECOND
    if cmp -s "$1" "$2"; then
        echo "the same bytes: $(basename "$1") ($(stat -c %s "$1") bytes)"
        return
    fi
    failures=$((failures + 1))
    echo "reproducible.sh: $1 and $2 differ" >&2
    if command -v diffoscope >/dev/null; then
        diffoscope --max-report-size 200000 --text - "$1" "$2" >&2 || true
    fi
}
configure() { # FOLDER ARGUMENTS...
    local folder=$1
    shift
    cmake -S "$source" -B "$folder" -G "$generator" -DCMAKE_MAKE_PROGRAM="$make" \
        -DSORANIKA_REPRODUCIBLE=ON "$@" >"$folder.log" 2>&1 ||
        { cat "$folder.log" >&2; exit 1; }
}
build() { # FOLDER TARGET...
    local folder=$1
    shift
    cmake --build "$folder" --target "$@" >>"$folder.log" 2>&1 || { tail -n 40 "$folder.log" >&2; exit 1; }
}

# The .deb, from two release builds in two folders.
for twin in deb-a deb-b; do
    configure "$out/$twin" -DCMAKE_BUILD_TYPE=Release -DSORANIKA_TESTS=OFF "${settings[@]}"
    build "$out/$twin" soranika
    (cd "$out/$twin" && cpack -G DEB >>"$out/$twin.log" 2>&1) || { tail "$out/$twin.log" >&2; exit 1; }
done
compare "$(echo "$out"/deb-a/soranika_*.deb)" "$(echo "$out"/deb-b/soranika_*.deb)"

# The Windows packages, against the test build's.
configure "$out/windows" -DCMAKE_TOOLCHAIN_FILE="$source/cmake/mingw-w64-x86_64.cmake" \
    -DSORANIKA_WINDOWS_QT="$windows_qt" -DCMAKE_BUILD_TYPE=Release -DSORANIKA_TESTS=OFF "${settings[@]}"
build "$out/windows" windows_package
for package in "$windows_build"/package/soranika-*-windows-x86_64.{zip,msi}; do
    compare "$package" "$out/windows/package/$(basename "$package")"
done

# The web edition's zip, against the test build's.
NODE_PATH=/usr/share/nodejs configure "$out/web" \
    -DCMAKE_TOOLCHAIN_FILE=/usr/share/emscripten/cmake/Modules/Platform/Emscripten.cmake \
    -DCMAKE_BUILD_TYPE=MinSizeRel "${settings[@]}"
NODE_PATH=/usr/share/nodejs build "$out/web" web_package
for package in "$web_build"/package/soranika-*-web.zip; do
    compare "$package" "$out/web/package/$(basename "$package")"
done

if [ "$failures" -ne 0 ]; then
    echo "reproducible.sh: $failures packages are not the same bytes when built again" >&2
    exit 1
fi
rm -rf "$out"
