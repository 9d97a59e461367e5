#!/usr/bin/env bash
# Fuzzes one target for a while, starting from its seeds, in a scratch
# folder so that the seeds in the repository are never written:
#   fuzz_one.sh PROGRAM SEEDS WORKDIR SECONDS [libFuzzer options...]
# WORKDIR is emptied first. libFuzzer's output goes to WORKDIR/log; on
# success its final statistics are printed (stat::number_of_executed_units is
# the number of inputs run), on failure the end of the log, and the input
# that broke a property is left in WORKDIR.
set -euo pipefail
program=$1 seeds=$2 work=$3 seconds=$4
shift 4
rm -rf "$work"
mkdir -p "$work/corpus"
cp "$seeds"/* "$work/corpus/"
status=0
"$program" -max_total_time="$seconds" -timeout=10 -print_final_stats=1 \
    -artifact_prefix="$work/" "$@" "$work/corpus" >"$work/log" 2>&1 || status=$?
if [ "$status" -ne 0 ]; then
    tail -n 100 "$work/log"
    echo "fuzz_one.sh: $(basename "$program") failed (exit status $status); see $work/" >&2
    exit "$status"
fi
grep -E '^(Done [0-9]+ runs|stat::)' "$work/log"
