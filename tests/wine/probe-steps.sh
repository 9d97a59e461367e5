# The steps of the Windows program's start tests (start-program.sh,
# msi-start.sh), sourced by both: they read what the results probe
# (results_probe.cpp) writes to $report and drive the window with real key
# events. The sourcing script sets $out, $report, $log (the program's or
# Wine's output) and, where it has one, $program, the pid to watch.

fail() {
    echo "$(basename "$0"): $1" >&2
    echo "--- what the probe read:" >&2
    cat "$report" >&2 2>/dev/null || true
    echo "--- the program's output:" >&2
    tail -n 20 "$log" >&2
    exit 1
}

# Waits until the report has a line matching the pattern.
wait_for() {
    for _ in $(seq 1 "$(($2 * 10))"); do
        grep -q -- "$1" "$report" 2>/dev/null && return 0
        [ -z "${program:-}" ] || kill -0 "$program" 2>/dev/null || fail "the program ended"
        sleep 0.1
    done
    fail "no '$1' after $2 s"
}

# The screen as OUTDIR/NAME.png.
screenshot() {
    xwd -root -silent | xwdtopnm 2>/dev/null | pnmtopng >"$out/$1.png" 2>/dev/null || true
}

# Types 700 into the wage, 5 into the days, 9 and 17 into the hours with
# real key events, moves to 計算 with Tab, presses it with the space bar and
# checks the pay: 5600 / 28000 / 112000. FOCUS is the xdotool command that
# gives the window the keyboard (windowfocus without a window manager,
# windowactivate with one).
calculate() {
    local window
    window=$(xdotool search --onlyvisible --classname soranika | head -n 1)
    [ -n "$window" ] || fail "no X window of soranika.exe"
    xdotool "$1" --sync "$window"
    xdotool type --delay 40 700
    xdotool key Tab
    xdotool type --delay 40 5
    xdotool key Tab
    xdotool type --delay 40 9
    xdotool key Tab
    xdotool type --delay 40 17
    xdotool key Tab Tab
    wait_for '^focus: 計算$' 10
    xdotool key space
    wait_for '^月給料: 112000$' 20
    for expected in '日: 5600' '週給料: 28000' '月給料: 112000'; do
        grep -qx "$expected" "$report" || fail "expected '$expected'"
    done
}
