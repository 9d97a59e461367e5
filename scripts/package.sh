#!/usr/bin/env bash
# Builds ソラニカ's release packages, each in the folder of its release preset
# (CMakePresets.json), never in the test build's:
#   scripts/package.sh [deb] [windows] [web] [-DSORANIKA_CONTACT=ADDRESS ...]
#   deb      ->  soranika_<version>_amd64.deb (the default), a Release build
#                in build/release-deb packed by CPack; install it with
#                `apt-get install ./soranika_*.deb`
#   windows  ->  soranika-<version>-windows-x86_64.zip and .msi, from the
#                install of the Windows build in build/release-windows; the
#                first run on a machine builds Qt for Windows (about half an
#                hour on two cores); signed when SORANIKA_SIGN_PKCS12 names a
#                certificate (packaging/windows/sign.sh)
#   web      ->  soranika-<version>-web.zip, the folder of static files to
#                publish (index.html at its top), built in build/web
# Each package is copied to build/packages/, with SHA256SUMS beside them.
# The same commit gives the same bytes, built anywhere at any time (the
# times are the commit's). -D options go to CMake: a release names the
# publisher's address for bug reports (SORANIKA_CONTACT); with the
# placeholder, CMake warns.
set -euo pipefail
cd "$(dirname "$0")/.."
kinds=()
options=()
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
# Every time in the packages is the commit's.
SOURCE_DATE_EPOCH=${SOURCE_DATE_EPOCH:-$(git log -1 --format=%ct 2>/dev/null || echo 1767225600)}
export SOURCE_DATE_EPOCH
out=build/packages
mkdir -p "$out"
made=()
for kind in "${kinds[@]}"; do
    case "$kind" in
    deb)
        scripts/install-deps.sh package
        cmake --preset release-deb "${options[@]}"
        cmake --build --preset release-deb
        (cd build/release-deb && rm -f soranika_*.deb && cpack -G DEB >/dev/null)
        made+=(build/release-deb/soranika_*.deb)
        ;;
    windows)
        scripts/install-deps.sh windows
        cmake --preset release-windows "${options[@]}"
        cmake --build --preset release-windows
        made+=(build/release-windows/windows/package/soranika-*-windows-x86_64.{zip,msi})
        ;;
    web)
        scripts/install-deps.sh web
        cmake --preset release-web "${options[@]}"
        cmake --build --preset release-web
        made+=(build/web/package/soranika-*-web.zip)
        ;;
    esac
done
cp "${made[@]}" "$out/"
(cd "$out" && rm -f SHA256SUMS && sha256sum -- soranika* >SHA256SUMS && cat SHA256SUMS)
ls -l "$out"
