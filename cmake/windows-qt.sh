#!/usr/bin/env bash
# Builds Qt for 64-bit Windows with MinGW-w64, from Debian's own qt6-base
# source package (the same version as the host's Qt), once per machine:
#   cmake/windows-qt.sh          builds it if needed, prints its prefix
#   cmake/windows-qt.sh --prefix prints the prefix only, builds nothing (but
#                                takes a Qt built before under its name)
# The Qt goes to a cache outside the source tree and the build folders:
#   ${XDG_CACHE_HOME:-~/.cache}/soranika/qt-<version>-windows-<key>/
# where <key> is a hash of the configure options and the toolchain file's
# settings (its comments left out), so that a change to either builds a new
# Qt. The stages (fetch, configure,
# build, install) resume where an interrupted run stopped; each prints one
# line of progress, the tools' own output goes to a log next to the prefix.
#
# The source comes through apt, from the deb-src twins of the machine's own
# deb entries, with a private sources list and state folder: the system's apt
# configuration is neither read for deb-src nor changed.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)

# The host's Qt: its tools (moc, rcc, uic) build the Windows Qt and the
# program, so the two must be the same version.
qt_version=$(dpkg-query -W -f='${source:Version}' qt6-base-dev 2>/dev/null || true)
if [ -z "$qt_version" ]; then
    "$here/scripts/install-deps.sh" windows
    qt_version=$(dpkg-query -W -f='${source:Version}' qt6-base-dev)
fi

# Shared and release. No FreeType (hence no offscreen platform), no OpenGL,
# and only the modules the program and its tests use. The Debian source has
# no wintab, hence no tablet events; the windows platform plugin does not
# link with DirectWrite 3 in 6.4.
qt_options=(
    -release -shared
    -nomake examples -nomake tests
    -no-opengl -no-dbus -no-icu -no-pkg-config
    -qt-zlib -qt-libpng -qt-pcre -qt-harfbuzz
    -no-freetype -no-libjpeg
    -no-feature-sql -no-feature-network -no-feature-xml
    -no-feature-concurrent -no-feature-printsupport
    -no-feature-tabletevent -no-direct2d -no-feature-directwrite3
)
toolchain="$here/cmake/mingw-w64-x86_64.cmake"

# The toolchain as it builds: without its comments.
toolchain_settings() {
    grep -v '^[[:space:]]*#' "$1"
}
key=$( (
    echo "$qt_version"
    printf '%s\n' "${qt_options[@]}"
    toolchain_settings "$toolchain"
) | sha256sum | cut -c1-12)
cache="${XDG_CACHE_HOME:-$HOME/.cache}/soranika"
name="qt-${qt_version%%+*}-windows-$key"
prefix="$cache/$name"
# A Qt built before the key left the toolchain's comments out is the same Qt
# when it was built with the same options and toolchain settings: it is
# taken under this key's name.
if [ ! -e "$prefix" ]; then
    for built in "$cache/qt-${qt_version%%+*}-windows-"*; do
        [ -f "$built/.complete" ] && [ -f "$built/soranika-qt-build.txt" ] || continue
        grep -qxF "configure options: -prefix <prefix> ${qt_options[*]} -qt-host-path /usr" \
            "$built/soranika-qt-build.txt" || continue
        grep -qF "version $qt_version." "$built/soranika-qt-build.txt" || continue
        [ "$(toolchain_settings "$built/mingw-w64-x86_64.cmake")" = "$(toolchain_settings "$toolchain")" ] ||
            continue
        mkdir -p "$cache"
        ln -s "$(basename "$built")" "$prefix"
        break
    done
fi
work="$cache/$name.work"
log="$cache/$name.log"

# What Qt's source says of the third-party code in it, for the packages'
# notices: kept beside the built Qt, made once (also for a Qt built before).
attributions="$prefix/soranika-attributions"
if [ "${1:-}" = "--prefix" ]; then
    echo "$prefix"
    exit 0
fi
if [ -f "$prefix/.complete" ] && [ -f "$attributions/.complete" ]; then
    echo "$prefix"
    exit 0
fi

"$here/scripts/install-deps.sh" windows
mkdir -p "$cache"
# One build at a time per machine; a second caller waits for the first.
exec 9>"$cache/$name.lock"
if ! flock -n 9; then
    echo "windows-qt: another build of $name is running; waiting" >&2
    flock 9
fi
if [ -f "$prefix/.complete" ] && [ -f "$attributions/.complete" ]; then
    echo "$prefix"
    exit 0
fi

mkdir -p "$work"
echo "windows-qt: building Qt $qt_version for Windows into $prefix (log: $log)" >&2
stage() { echo "windows-qt: $*" >&2; }
fail() {
    echo "windows-qt: $1 failed; the last lines of $log:" >&2
    tail -n 30 "$log" >&2
    exit 1
}

# --- fetch ------------------------------------------------------------------
# deb-src entries with the URIs, suites, components and keys of the machine's
# deb entries, one-line and deb822 alike.
deb_src_entries() {
    local f
    for f in /etc/apt/sources.list /etc/apt/sources.list.d/*.list; do
        [ -f "$f" ] || continue
        sed -n 's/^[[:space:]]*deb[[:space:]]/deb-src /p' "$f"
    done >"$1/sources.list"
    for f in /etc/apt/sources.list.d/*.sources; do
        [ -f "$f" ] || continue
        # Stanzas whose Types name deb become deb-src stanzas.
        awk 'BEGIN { RS = ""; ORS = "\n\n" }
             {
                 out = ""; keep = 0
                 n = split($0, lines, "\n")
                 for (i = 1; i <= n; i++) {
                     line = lines[i]
                     if (line ~ /^#/) continue
                     if (line ~ /^Types:/) {
                         if (line ~ /[[:space:]]deb([[:space:]]|$)/) keep = 1
                         line = "Types: deb-src"
                     }
                     if (line ~ /^Enabled:[[:space:]]*no/) keep = 0
                     out = out line "\n"
                 }
                 if (keep) printf "%s\n", out
             }' "$f" >"$1/parts/$(basename "$f")"
    done
}

src_dir="$work/qtbase"
if [ ! -f "$work/.fetched" ]; then
    stage "fetch: qt6-base $qt_version source package"
    apt_dir="$work/apt"
    rm -rf "$apt_dir" "$src_dir"
    mkdir -p "$apt_dir/parts" "$apt_dir/lists/partial" "$apt_dir/cache/archives/partial" "$work/download"
    deb_src_entries "$apt_dir"
    apt_options=(
        -o "Dir::Etc::SourceList=$apt_dir/sources.list"
        -o "Dir::Etc::SourceParts=$apt_dir/parts"
        -o "Dir::State::Lists=$apt_dir/lists"
        -o "Dir::Cache=$apt_dir/cache"
        -o "APT::Sandbox::User=root"
    )
    {
        apt-get "${apt_options[@]}" update &&
            (cd "$work/download" &&
                apt-get "${apt_options[@]}" source --download-only "qt6-base=$qt_version")
    } >>"$log" 2>&1 || fail "fetch"
    # apt checked the files against the signed archive index already.
    (cd "$work/download" && dpkg-source --no-check -x ./*.dsc "$src_dir") >>"$log" 2>&1 ||
        fail "unpacking the source"
    rm -rf "$apt_dir" "$work/download"
    touch "$work/.fetched"
fi

# --- configure --------------------------------------------------------------
build_dir="$work/build"
if [ -f "$prefix/.complete" ]; then
    : # built before the attributions were kept
elif [ ! -f "$work/.configured" ]; then
    stage "configure: ${qt_options[*]}"
    rm -rf "$build_dir"
    mkdir -p "$build_dir" "$prefix"
    # A copy of the toolchain: the installed Qt refers to it, and must not
    # depend on where this checkout lives.
    cp "$toolchain" "$prefix/mingw-w64-x86_64.cmake"
    (cd "$build_dir" &&
        "$src_dir/configure" -prefix "$prefix" "${qt_options[@]}" \
            -qt-host-path /usr -- -G Ninja \
            -DCMAKE_TOOLCHAIN_FILE="$prefix/mingw-w64-x86_64.cmake" \
            -DQT_HOST_PATH_CMAKE_DIR="/usr/lib/$(uname -m)-linux-gnu/cmake") \
        >>"$log" 2>&1 || fail "configure"
    touch "$work/.configured"
fi

# --- build ------------------------------------------------------------------
if [ ! -f "$prefix/.complete" ]; then
    # One line per tenth of the steps.
    stage "build: $(cd "$build_dir" && ninja -n 2>/dev/null | grep -c '^\[' || true) steps left"
    set +e
    (cd "$build_dir" && NINJA_STATUS='[%f/%t] ' ninja 2>&1) |
        tee -a "$log" |
        awk '/^\[[0-9]+\/[0-9]+\]/ {
                 split(substr($1, 2), a, "[/\\]]")
                 tenth = int(10 * a[1] / a[2])
                 if (tenth > shown) {
                     shown = tenth
                     printf "windows-qt: build %d/%d\n", a[1], a[2] > "/dev/stderr"
                 }
             }'
    status=${PIPESTATUS[0]}
    set -e
    [ "$status" -eq 0 ] || fail "build"

    # --- install ----------------------------------------------------------------
    stage "install: $prefix"
    cmake --install "$build_dir" >>"$log" 2>&1 || fail "install"
    {
        echo "Qt $qt_version for Windows x86_64, built with MinGW-w64 (posix threads)"
        echo "from Debian's qt6-base source package, version $qt_version."
        echo "configure options: -prefix <prefix> ${qt_options[*]} -qt-host-path /usr"
    } >"$prefix/soranika-qt-build.txt"
    touch "$prefix/.complete"
fi

# --- attributions -----------------------------------------------------------
stage "attributions: $attributions"
rm -rf "$attributions"
cmake -DSOURCE="$src_dir" -DOUT="$attributions" -P "$here/cmake/qt-attributions.cmake" \
    >>"$log" 2>&1 || fail "copying the attributions"
touch "$attributions/.complete"
# The source and the build tree are only needed to resume.
rm -rf "$work"
stage "done: $(du -sh "$prefix" | cut -f1) in $prefix after $((SECONDS / 60)) min"
echo "$prefix"
