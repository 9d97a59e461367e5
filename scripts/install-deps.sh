#!/usr/bin/env bash
# Installs what building and testing ソラニカ needs on Debian 12, as root or
# through sudo. Idempotent: packages already there are not touched, and the
# package lists are refreshed only when something is missing.
set -euo pipefail

packages=(
    # build
    g++ cmake ninja-build pkg-config
    qt6-base-dev qt6-base-dev-tools libgl-dev
    # the application font (metric-compatible with MS P Gothic)
    fonts-ipafont-gothic
    # headless GUI tests and screenshots
    xvfb xauth
)

# Extra groups, named on the command line: `install-deps.sh test package`.
for group in "$@"; do
    case "$group" in
    run) ;;
    test)
        packages+=(
            clang-format
            # checks of the desktop entry, the AppStream metadata and the
            # icon renderings
            desktop-file-utils appstream librsvg2-bin
            # the .deb's policy check (lintian), and CPack's dependency
            # lookup, which the package built for it needs
            lintian dpkg-dev file
            # where two builds of a package differ (tests/reproducible.sh)
            diffoscope-minimal
            # the sanitizer build and the fuzz targets: clang with its
            # sanitizer and libFuzzer runtimes, llvm-symbolizer for reports
            clang libclang-rt-14-dev llvm
            # what screen readers receive: the session and accessibility
            # buses (tests/with_atspi.sh); the window titles as the X server
            # holds them (xprop)
            dbus-daemon at-spi2-core x11-utils
            # the screen reader test (tests/orca/): Orca, the window manager
            # and the real key events it needs, and the desktop setting
            # toolkit-accessibility kept in a private dconf database
            orca openbox xdotool python3-pyatspi libglib2.0-bin
            gsettings-desktop-schemas dconf-gsettings-backend dconf-service
        )
        ;;
    package)
        packages+=(
            # the .deb: CPack's dependency lookup
            dpkg-dev file
            # trying the installed package under Xvfb: screenshot, window
            # properties
            x11-apps x11-utils netpbm
        )
        ;;
    a11y)
        # scripts/atspi-events.sh: the program on Xvfb with a window manager,
        # the accessibility bus and its Python client
        packages+=(openbox at-spi2-core dbus-daemon python3-pyatspi)
        ;;
    windows)
        japanese_locale=1
        packages+=(
            # Qt for Windows from Debian's source package, cross-compiled
            # with the posix-thread MinGW-w64 compilers (cmake/windows-qt.sh)
            dpkg-dev g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix
            # the Windows build's tests under Wine, on Xvfb with real key
            # events and screenshots; the title bar's font
            wine64 fonts-wine xdotool x11-apps netpbm
            # the zip, dated from the commit (cmake/zip.cmake)
            zip unzip
            # the .msi (packaging/windows/msi.sh): wixl compiles the WiX
            # source, msibuild and msiinfo set and read its tables; faketime
            # gives them the commit's time for the summary information
            msitools wixl wixl-data faketime
            # the Japanese locale (ja_JP.UTF-8, made below), in which Wine
            # runs the .msi's tests with code page 932 as a Japanese
            # Windows does
            locales
            # Authenticode signing and its test's throw-away certificate
            # (packaging/windows/sign.sh)
            osslsigncode openssl
            # the installed Start-menu shortcut, read by the tests
            liblnk-utils
        )
        ;;
    web)
        # the web edition: the pay rules in WebAssembly by Debian's
        # emscripten (its clang, lld and binaryen come with it), which runs
        # on Node.js; Node.js serves the page too (web/serve.mjs), Debian's
        # own where the machine has none; zip packs it.
        packages+=(emscripten zip)
        command -v node >/dev/null 2>&1 || packages+=(nodejs)
        ;;
    web-test)
        # the web tests in three engines: Debian's Chromium, headless,
        # driven by playwright-core; Firefox ESR, headless, by puppeteer-core
        # over WebDriver BiDi; WebKitGTK's MiniBrowser (in libwebkit2gtk-4.1-0)
        # by WebKitWebDriver on a private X server; axe-core audits the page
        # (npm, tests/web/package-lock.json)
        packages+=(chromium firefox-esr webkit2gtk-driver libwebkit2gtk-4.1-0 xvfb)
        command -v npm >/dev/null 2>&1 || packages+=(npm)
        ;;
    bench)
        # the start-up benchmark under Xvfb, with a session bus; callgrind
        # counts the instructions up to the first paint
        packages+=(dbus-daemon valgrind)
        ;;
    *)
        echo "install-deps.sh: unknown group '$group'" >&2
        exit 2
        ;;
    esac
done

japanese_locale=${japanese_locale:-0}

missing=()
for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
        missing+=("$p")
    fi
done

# ja_JP.UTF-8, when asked for and not made yet.
need_locale() {
    [ "$japanese_locale" = 1 ] && ! locale -a 2>/dev/null | grep -qix 'ja_JP.utf-\?8'
}

if [ "${#missing[@]}" -eq 0 ] && ! need_locale; then
    exit 0
fi

if [ "$(id -u)" -eq 0 ]; then
    as_root=()
elif command -v sudo >/dev/null 2>&1; then
    as_root=(sudo)
else
    echo "install-deps.sh: need root or sudo to install: ${missing[*]} ${japanese_locale/1/ja_JP.UTF-8}" >&2
    exit 1
fi

if [ "${#missing[@]}" -ne 0 ]; then
    echo "Installing: ${missing[*]}"
    "${as_root[@]}" env DEBIAN_FRONTEND=noninteractive apt-get update -q
    "${as_root[@]}" env DEBIAN_FRONTEND=noninteractive \
        apt-get install -y -q --no-install-recommends -o DPkg::Lock::Timeout=600 "${missing[@]}"
fi
if need_locale; then
    echo "Making the locale ja_JP.UTF-8"
    "${as_root[@]}" sed -i 's/^# *\(ja_JP.UTF-8 UTF-8\)/\1/' /etc/locale.gen
    grep -qx 'ja_JP.UTF-8 UTF-8' /etc/locale.gen ||
        echo 'ja_JP.UTF-8 UTF-8' | "${as_root[@]}" tee -a /etc/locale.gen >/dev/null
    "${as_root[@]}" locale-gen >/dev/null
fi
