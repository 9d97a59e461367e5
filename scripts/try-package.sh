#!/usr/bin/env bash
# Tries a package as a user would, on a private X server, and saves what it
# shows:
#
#   scripts/try-package.sh PACKAGE.deb [OUTDIR]      (as root or through sudo)
#   scripts/try-package.sh PACKAGE.zip [OUTDIR]
#
# The .deb is installed and ソラニカ started the way a desktop menu does (the
# Exec line of the installed desktop entry); the Windows zip is unpacked into
# an empty folder in a fresh Wine prefix and started from there
# (tests/wine/try-zip.sh; OUTDIR screenshots/windows-package unless given).
#
# OUTDIR (screenshots/package unless given) receives installed.png, the
# screen with the program's main window; window-icon.png, the largest icon
# the window carries (_NET_WM_ICON, over white); and window.txt, the
# window's properties. The package stays installed: `apt-get purge soranika`
# removes it.
set -euo pipefail
cd "$(dirname "$0")/.."
if [ "${1:-}" != --inside ]; then
    [ $# -ge 1 ] || { echo "usage: try-package.sh PACKAGE.deb|PACKAGE.zip [OUTDIR]" >&2; exit 2; }
    package=$(realpath "$1")
    case "$package" in
    *.zip)
        scripts/install-deps.sh windows
        # Debian's Wine, as the Windows build finds it (cmake/windows-build.cmake).
        exec scripts/with-x.sh tests/wine/try-zip.sh "$package" "${2:-screenshots/windows-package}" \
            tests/wine/run-under-wine.sh /usr/lib/wine/wine64 /usr/lib/wine/wineserver64
        ;;
    esac
    out="${2:-screenshots/package}"
    scripts/install-deps.sh package
    as_root=()
    [ "$(id -u)" -eq 0 ] || as_root=(sudo)
    "${as_root[@]}" env DEBIAN_FRONTEND=noninteractive \
        apt-get install -y -q --no-install-recommends "$package"
    exec scripts/with-x.sh --screen 800x600x24 "$0" --inside "$out"
fi
out=$2
mkdir -p "$out"

entry="$(dpkg -L soranika | grep '^/usr/share/applications/.*\.desktop$')"
command_line="$(sed -n 's/^Exec=//p' "$entry" | head -n 1)"
# Field codes (%f, %U, ...) stand for files to open; the menu passes none.
command_line="${command_line// %[a-zA-Z]/}"
echo "desktop entry: $entry"
echo "command: $command_line"
program=
trap '[ -z "$program" ] || kill "$program" 2>/dev/null || true' EXIT

# Started from the user's home like a menu would, not from the source tree.
# shellcheck disable=SC2086 # the Exec line is split into words as a desktop does
(cd && exec $command_line) &
program=$!

window=
for _ in $(seq 100); do
    window="$(xwininfo -root -children 2>/dev/null |
        awk '/\("soranika" "/ { print $1 }' | head -n 1)"
    [ -n "$window" ] && xwininfo -id "$window" | grep -q 'Map State: IsViewable' && break
    window=
    sleep 0.1
done
if [ -z "$window" ]; then
    echo "try-package.sh: no window of soranika appeared" >&2
    exit 1
fi
sleep 1 # the first paint

xwd -root -silent | xwdtopnm 2>/dev/null | pnmtopng >"$out/installed.png"
xprop -id "$window" WM_CLASS WM_NAME _NET_WM_NAME _NET_WM_PID \
    _KDE_NET_WM_DESKTOP_FILE _GTK_APPLICATION_ID >"$out/window.txt" 2>&1 || true

# _NET_WM_ICON holds, per size, the width, the height and then the ARGB
# pixels; the largest is drawn over white into a plain PPM.
xprop -id "$window" -notype -f _NET_WM_ICON 32c ' $0+\n' _NET_WM_ICON |
    tr -d ' ' | sed 's/^_NET_WM_ICON//' | tr ',' '\n' |
    awk 'NF { v[n++] = $1 }
         END {
             best = -1
             for (i = 0; i + 1 < n; i += 2 + v[i] * v[i + 1]) {
                 sizes = sizes " " v[i] "x" v[i + 1]
                 if (v[i] * v[i + 1] > bestArea) { best = i; bestArea = v[i] * v[i + 1] }
             }
             print "window icon sizes:" sizes > "/dev/stderr"
             if (best < 0) exit 1
             w = v[best]; h = v[best + 1]
             printf "P3\n%d %d\n255\n", w, h
             for (p = 0; p < w * h; p++) {
                 c = v[best + 2 + p]
                 a = int(c / 16777216) % 256
                 r = int(c / 65536) % 256; g = int(c / 256) % 256; b = c % 256
                 printf "%d %d %d\n", (r * a + 255 * (255 - a)) / 255,
                     (g * a + 255 * (255 - a)) / 255, (b * a + 255 * (255 - a)) / 255
             }
         }' 2>>"$out/window.txt" | pnmtopng >"$out/window-icon.png"

cat "$out/window.txt"
echo "screenshot: $out/installed.png, window icon: $out/window-icon.png"
