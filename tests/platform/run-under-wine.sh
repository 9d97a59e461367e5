#!/usr/bin/env bash
# Runs a Windows program under Wine, in a prefix of its own that is created
# here when missing, quietly and without any window or dialog, and leaves no
# Wine process behind.
# Usage: run-under-wine.sh WINE WINESERVER PREFIX PROGRAM [ARGUMENT...]
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
export WINEDEBUG=-all
# No Mono or Gecko, so Wine asks nothing; no display, so it shows nothing.
export WINEDLLOVERRIDES="mscoree,mshtml="
unset DISPLAY WAYLAND_DISPLAY
export HOME=${HOME:-$(dirname "$WINEPREFIX")}

stop_wine() {
    "$wineserver" -k >/dev/null 2>&1
    "$wineserver" -w >/dev/null 2>&1
}
trap stop_wine EXIT

mkdir -p "$(dirname "$WINEPREFIX")"
if [ ! -f "$WINEPREFIX/system.reg" ]; then
    log="$WINEPREFIX.log"
    echo "Creating the Wine prefix $WINEPREFIX"
    if ! "$wine" wineboot.exe --init </dev/null >"$log" 2>&1; then
        cat "$log"
        echo "run-under-wine.sh: could not create the Wine prefix" >&2
        exit 1
    fi
    # The registry is written out when the server ends.
    stop_wine
fi

"$wine" "$@" </dev/null
