#!/usr/bin/env bash
# Builds ソラニカ for release and packs it:
#   scripts/package.sh [deb] [windows] [web] [-DSORANIKA_CONTACT=ADDRESS ...]
#   deb      ->  build/deb/soranika_<version>_<arch>.deb (the default), a
#                release build packed by CPack; install it with
#                `apt-get install ./build/deb/soranika_*.deb`
#   windows  ->  build/windows/package/soranika-<version>-windows-x86_64.zip
#                and .msi, made by the Windows build of build/ (the one the
#                tests use); the first run on a machine builds Qt for Windows,
#                about half an hour on two cores
#   web      ->  build/web/package/soranika-<version>-web.zip, the folder of
#                static files to publish (index.html at the top), made by the
#                web build of build/
# -D options go to CMake. A release names the publisher's address for bug
# reports (SORANIKA_CONTACT); with the placeholder, CMake warns.
set -euo pipefail
cd "$(dirname "$0")/.."
kinds=()
options=(-DSORANIKA_RELEASE_PACKAGE=ON)
for arg in "$@"; do
    case "$arg" in
    deb | windows | web) kinds+=("$arg") ;;
    -D*) options+=("$arg") ;;
    *)
        echo "usage: package.sh [deb] [windows] [web] [-DNAME=VALUE ...]" >&2
        exit 2
        ;;
    esac
done
[ ${#kinds[@]} -gt 0 ] || kinds=(deb)
for kind in "${kinds[@]}"; do
    case "$kind" in
    deb)
        scripts/install-deps.sh package
        cmake -S . -B build/deb -G Ninja -DCMAKE_BUILD_TYPE=Release -DSORANIKA_TESTS=OFF "${options[@]}"
        cmake --build build/deb --target soranika
        (cd build/deb && rm -f soranika_*.deb && cpack -G DEB >/dev/null && ls "$PWD"/soranika_*.deb)
        ;;
    windows)
        scripts/install-deps.sh test windows
        cmake -S . -B build -G Ninja -DSORANIKA_WINDOWS=ON "${options[@]}"
        cmake --build build --target soranika_windows
        ls -l build/windows/package/soranika-*-windows-x86_64.*
        ;;
    web)
        scripts/install-deps.sh web
        cmake -S . -B build -G Ninja -DSORANIKA_WEB=ON "${options[@]}"
        cmake --build build --target soranika_web
        ls -l build/web/package/soranika-*-web.zip
        ;;
    esac
done
