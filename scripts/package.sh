#!/usr/bin/env bash
# Builds ソラニカ for release and packs it:
#   scripts/package.sh [deb] [windows]        (deb unless told)
#   deb      ->  build/deb/soranika_<version>_<arch>.deb, a release build packed
#                by CPack; install it with `apt-get install ./build/deb/soranika_*.deb`
#   windows  ->  build/windows/package/soranika-<version>-windows-x86_64.zip
#                (and the .msi), made by the Windows build of build/ (the
#                one the tests use); the first run on a machine builds Qt for
#                Windows, about half an hour on two cores
set -euo pipefail
cd "$(dirname "$0")/.."
[ $# -gt 0 ] || set -- deb
for kind in "$@"; do
    case "$kind" in
    deb)
        scripts/install-deps.sh package
        cmake -S . -B build/deb -G Ninja -DCMAKE_BUILD_TYPE=Release -DSORANIKA_TESTS=OFF
        cmake --build build/deb --target soranika
        (cd build/deb && rm -f soranika_*.deb && cpack -G DEB >/dev/null && ls "$PWD"/soranika_*.deb)
        ;;
    windows)
        scripts/install-deps.sh test windows
        cmake -S . -B build -G Ninja -DSORANIKA_WINDOWS=ON
        cmake --build build --target soranika_windows
        ls -l build/windows/package/soranika-*-windows-x86_64.*
        ;;
    *)
        echo "usage: package.sh [deb] [windows]" >&2
        exit 2
        ;;
    esac
done
