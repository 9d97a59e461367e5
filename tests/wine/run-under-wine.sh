#!/usr/bin/env bash
# Runs a Windows program under Wine, in a prefix of its own that is created
# here when missing, quietly and without any window or dialog, and leaves no
# Wine process behind.
# Usage: run-under-wine.sh WINE WINESERVER PREFIX PROGRAM [ARGUMENT...]
#        run-under-wine.sh WINE WINESERVER PREFIX --stop   (ends what runs in PREFIX)
# With SORANIKA_WINE_DISPLAY=keep the program gets the X display of DISPLAY;
# otherwise it has none. With SORANIKA_WINE_KEEP=1 what the program started
# goes on running after it returns (`start`), until --stop ends it.
# In a new prefix IPA P Gothic, which has MS P Gothic's metrics, stands in
# for MS P Gothic, as on Linux, and for Japanese text in window titles.
set -u
if [ "$#" -lt 4 ]; then
    echo "usage: run-under-wine.sh WINE WINESERVER PREFIX PROGRAM [ARGUMENT...]" >&2
    exit 2
fi
wine=$1
wineserver=$2
export WINEPREFIX=$3
shift 3

export WINEARCH=win64
export WINEDEBUG=${WINEDEBUG:--all}
# No Mono or Gecko, so Wine asks nothing; no display, so it shows nothing.
# SORANIKA_WINE_DLL_OVERRIDES adds a test's own overrides.
export WINEDLLOVERRIDES="mscoree,mshtml=${SORANIKA_WINE_DLL_OVERRIDES:+;$SORANIKA_WINE_DLL_OVERRIDES}"
if [ "${SORANIKA_WINE_DISPLAY:-}" != keep ]; then
    unset DISPLAY
fi
unset WAYLAND_DISPLAY
export HOME=${HOME:-$(dirname "$WINEPREFIX")}

stop_wine() {
    "$wineserver" -k >/dev/null 2>&1
    "$wineserver" -w >/dev/null 2>&1
}
if [ "$1" = --stop ]; then
    stop_wine
    exit 0
fi
[ "${SORANIKA_WINE_KEEP:-}" = 1 ] || trap stop_wine EXIT

mkdir -p "$(dirname "$WINEPREFIX")"
if [ ! -f "$WINEPREFIX/.soranika-ready" ]; then
    log="$WINEPREFIX.log"
    echo "Creating the Wine prefix $WINEPREFIX"
    if ! "$wine" wineboot.exe --init </dev/null >"$log" 2>&1; then
        cat "$log"
        echo "run-under-wine.sh: could not create the Wine prefix" >&2
        exit 1
    fi
    # UTF-16 with a byte-order mark: regedit's Unicode form.
    fonts="$WINEPREFIX/soranika-fonts.reg"
    link=$(printf 'ipagp.ttf,IPAPGothic\0\0' | iconv -f UTF-8 -t UTF-16LE | od -An -v -tx1 |
        tr -s ' \n' ',' | sed 's/^,//; s/,$//')
    {
        printf '\xff\xfe'
        printf '%s\r\n' 'Windows Registry Editor Version 5.00' '' \
            '[HKEY_CURRENT_USER\Software\Wine\Fonts\Replacements]' \
            '"ＭＳ Ｐゴシック"="IPAPGothic"' '"MS PGothic"="IPAPGothic"' '' \
            '[HKEY_LOCAL_MACHINE\Software\Microsoft\Windows NT\CurrentVersion\FontLink\SystemLink]' \
            "\"Tahoma\"=hex(7):$link" |
            iconv -f UTF-8 -t UTF-16LE
    } >"$fonts"
    if ! (cd "$WINEPREFIX" && "$wine" regedit.exe /S soranika-fonts.reg) </dev/null >>"$log" 2>&1; then
        cat "$log"
        echo "run-under-wine.sh: could not set up the fonts of the Wine prefix" >&2
        exit 1
    fi
    # The registry is written out when the server ends.
    stop_wine
    touch "$WINEPREFIX/.soranika-ready"
fi

"$wine" "$@" </dev/null
