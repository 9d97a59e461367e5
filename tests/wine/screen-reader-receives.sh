#!/usr/bin/env bash
# What a Windows screen reader receives from ソラニカ: the real soranika.exe
# under Wine, on the windows platform, with a recording UI Automation core
# (uia_recorder.cpp) in place of the system's for this run. A client asks
# the main window for its UI Automation root, as Narrator and NVDA do, and
# real key events go through the windows: Tab through the main window, the
# four values, 計算 with a result, with the caution and with an empty wage
# (the message box), the weekly schedule and its confirmation, the pay
# after it, and About. Needs an X display with a window manager:
#   scripts/with-x.sh --wm tests/wine/screen-reader-receives.sh OUTDIR PROGRAM \
#       UIA_DIR WINE-RUN PREFIX
# UIA_DIR holds UIAutomationCore.dll (the recorder) and uia-client.exe;
# PROGRAM's folder holds the results probe in generic/. OUTDIR receives
# uia.log, the recording, with a line "mark STEP" before each step.
set -euo pipefail
if [ $# -ne 5 ]; then
    echo "usage: screen-reader-receives.sh OUTDIR PROGRAM UIA_DIR WINE-RUN PREFIX" >&2
    exit 2
fi
out=$(realpath -m "$1")
exe=$(realpath "$2")
uia=$(realpath "$3")
wine_run=$(realpath "$4") prefix=$(realpath -m "$5")
[ -n "${DISPLAY:-}" ] || { echo "screen-reader-receives.sh: no DISPLAY" >&2; exit 2; }
rm -rf "$out"
mkdir -p "$out"
export LC_ALL=ja_JP.UTF-8
report=$out/results.txt
recording=$out/uia.log
windows_path() {
    echo "Z:$(sed 's|/|\\|g' <<<"$1")"
}

# The recorder in the prefix's system folder for this run, Wine's own back
# after it.
[ -f "$prefix/.soranika-ready" ] || "$wine_run" "$prefix" cmd.exe /c exit
system=$prefix/drive_c/windows/system32
cp "$system/uiautomationcore.dll" "$out/wine-uiautomationcore.dll"
finish() {
    "$wine_run" "$prefix" --stop
    wait 2>/dev/null || true
    cp "$out/wine-uiautomationcore.dll" "$system/uiautomationcore.dll"
}
trap finish EXIT
cp "$uia/UIAutomationCore.dll" "$system/uiautomationcore.dll"

export SORANIKA_UIA_LOG
SORANIKA_UIA_LOG=$(windows_path "$recording")
(cd "$(dirname "$exe")" &&
    SORANIKA_WINE_DISPLAY=keep SORANIKA_WINE_KEEP=1 SORANIKA_WINE_DLL_OVERRIDES=uiautomationcore=n \
        "$wine_run" "$prefix" "./$(basename "$exe")" -plugin "soranikaresults:$report") \
    >"$out/program.log" 2>&1 &
log=$out/program.log
# shellcheck source=probe-steps.sh
source "$(dirname "$0")/probe-steps.sh"
wait_for '^shown: ソラニカ$' 120
# The main window's X window, once Wine has mapped it with its title.
window=
for _ in $(seq 1 100); do
    for candidate in $(xdotool search --onlyvisible --classname soranika 2>/dev/null); do
        [ "$(xdotool getwindowname "$candidate" 2>/dev/null)" = ソラニカ ] && window=$candidate
    done
    [ -n "$window" ] && break
    sleep 0.1
done
[ -n "$window" ] || fail "no X window of soranika.exe"

failures=0
check() { # WHAT COMMAND...
    local what=$1
    shift
    "$@" || { echo "screen-reader-receives.sh: $what" >&2; failures=$((failures + 1)); }
}
mark() {
    echo "mark $1" >>"$recording"
}
keys() {
    local key
    for key in "$@"; do
        xdotool key "$key"
        sleep 0.3
    done
}
# The lines recorded between the marks FROM and TO.
between() {
    sed -n "/^mark $1\$/,/^mark $2\$/p" "$recording" | grep -v '^mark '
}
# The names of the focus events between two marks, one a line.
focused() {
    between "$1" "$2" | sed -n 's/^event FocusChanged name="\([^"]*\)" .* focused=1 .*/\1/p'
}
notifications() {
    between "$1" "$2" | grep '^notification ' || true
}

# Nothing is raised before a client asks for the root.
sleep 1
check "events were raised before a client asked for the root: $(cat "$recording" 2>/dev/null)" \
    test ! -s "$recording"

mark root
SORANIKA_WINE_KEEP=1 "$wine_run" "$prefix" "$uia/uia-client.exe" ソラニカ >"$out/client.log" 2>&1 ||
    { cat "$out/client.log" >&2; fail "the client could not ask for the root"; }
xdotool windowactivate --sync "$window"
sleep 1
mark tab
keys Tab Tab Tab Tab Tab Tab Tab
mark typed
xdotool type --delay 40 700
keys Tab
xdotool type --delay 40 5
keys Tab
xdotool type --delay 40 9
keys Tab
xdotool type --delay 40 17
keys Tab Tab
mark result
keys space
sleep 1
mark caution
keys shift+Tab shift+Tab shift+Tab shift+Tab ctrl+a 6 Tab Tab Tab Tab
keys space
sleep 1
mark message
keys shift+Tab shift+Tab shift+Tab shift+Tab shift+Tab ctrl+a BackSpace Return
sleep 1.5
mark answered
keys Return
sleep 1
mark schedule
xdotool type --delay 40 700
keys Tab Tab Tab Tab space
sleep 1.5
xdotool type --delay 40 9
keys Tab
xdotool type --delay 40 17
mark confirmation
keys Return
sleep 1.5
mark confirmed
keys Return
sleep 1
mark detail
keys Tab space
sleep 1
mark about
keys F10 Return
sleep 1.5
mark closed
keys Escape
sleep 1
mark end

# The first focus, which the client asks for with the root, then a focus
# event naming the control for every Tab, in the tab order.
check "the first focus is not 時給: $(grep '^focus ' "$recording")" \
    grep -q '^focus name="時給" type=Edit .*focused=1' "$recording"
expected=$'週\n勤務時間 時から\n勤務時間 時まで\n勤務時間 詳細設定\n計算\nクリアー\n時給'
check "Tab through the main window focused: $(focused tab typed | tr '\n' '|')" \
    test "$(focused tab typed)" = "$expected"
# Every focus event names an edit box or a button that has a name.
check "a focus event without a name or of another type: $(grep '^event FocusChanged' "$recording" |
    grep -v 'type=\(Edit\|Button\|MenuItem\)' | head -n 3)" \
    test -z "$(grep '^event FocusChanged' "$recording" | grep -v 'type=\(Edit\|Button\|MenuItem\)' |
        grep 'focused=1' || true)$(grep '^event FocusChanged name="" ' "$recording" || true)"

# 計算 with a result, then with the caution: one notification each, with
# the words Orca speaks; none for a message.
result='notification kind=Other processing=ImportantMostRecent text="----計算結果表示中---- １日 5600 円、１週間 28000 円、１ヶ月 112000 円" activity=""'
check "計算 announced: $(notifications result caution)" test "$(notifications result caution)" = "$result"
caution='notification kind=Other processing=ImportantMostRecent text="☆注意！☆ 1週間の勤務時間合計が40時間以上になると労働基準法第32条 違反になります" activity=""'
check "the caution announced: $(notifications caution message)" \
    test "$(notifications caution message)" = "$caution"
check "a message was announced: $(notifications message answered)" \
    test -z "$(notifications message answered)"

# The message box: the focus moves into it, and its text is in the window
# of the focused element.
check "the message box's OK did not get the focus with its text: $(between message answered | grep 'name="OK"')" \
    grep -q '^event FocusChanged name="OK" type=Button .*focused=1 window="ソラニカ" in=\[[^]]*"未入力です"' \
    <(between message answered)

# The weekly schedule: its fields by their day, its confirmation, and the
# pay after it.
check "the schedule's first field: $(focused schedule confirmation | tr '\n' '|')" \
    test "$(focused schedule confirmation | tail -n 2)" = $'日曜日 時から\n日曜日 時まで'
check "the confirmation's OK did not get the focus with its text" \
    grep -q '^event FocusChanged name="OK" type=Button .*in=\[[^]]*"勤務時間等が空白になりましたが、' \
    <(between confirmation confirmed)
check "the confirmation was announced: $(notifications confirmation confirmed)" \
    test -z "$(notifications confirmation confirmed)"
detail='notification kind=Other processing=ImportantMostRecent text="----計算結果表示中---- １日 *****、１週間 5600 円、１ヶ月 22400 円" activity=""'
check "the pay in detail mode announced: $(notifications detail about)" \
    test "$(notifications detail about)" = "$detail"

# About: its OK with the version in its window.
check "About's OK did not get the focus with the version" \
    grep -q '^event FocusChanged name="OK" type=Button .*window="ソラニカのﾊﾞｰｼﾞｮﾝ情報" in=\[[^]]*"ﾊﾞｰｼﾞｮﾝ [0-9]*\.[0-9]*\.[0-9]*"' \
    <(between about closed)

# Nothing announced twice: three notifications in all; no Alert that Qt
# would play as a sound.
check "$(grep -c '^notification ' "$recording") notifications in all, not 3" \
    test "$(grep -c '^notification ' "$recording")" = 3
check "Alerts raised: $(grep '^alerts:' "$report")" grep -qx 'alerts: 0' "$report"

if [ "$failures" -ne 0 ]; then
    echo "screen-reader-receives.sh: $failures failures; the recording is $recording" >&2
    exit 1
fi
echo "what a screen reader receives: the first focus, Tab, 計算, the caution, a message," \
    "the schedule and About; $(grep -c . "$recording") lines in $recording"
