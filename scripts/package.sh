#!/usr/bin/env bash
# Builds ソラニカ for release and packs it as a .deb:
#   scripts/package.sh   ->  build-pkg/soranika_<version>_<arch>.deb
# Install it with `apt-get install ./build-pkg/soranika_*.deb`.
# The build folder is build-pkg unless BUILD_DIR says otherwise.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh package
build="${BUILD_DIR:-build-pkg}"
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DSORANIKA_RELEASE_PACKAGE=ON "$@"
cmake --build "$build" --target soranika
cd "$build"
rm -f soranika_*.deb
cpack -G DEB
ls "$PWD"/soranika_*.deb
