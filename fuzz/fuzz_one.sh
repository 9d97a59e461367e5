#!/usr/bin/env bash
# Fuzzes one target for a while, starting from its seeds, in a scratch
# folder so that the seeds in the repository are never written:
#   fuzz_one.sh PROGRAM SEEDS WORKDIR SECONDS [libFuzzer options...]
# WORKDIR is emptied first; an input that breaks a property is left there.
set -euo pipefail
program=$1 seeds=$2 work=$3 seconds=$4
shift 4
rm -rf "$work"
mkdir -p "$work/corpus"
cp "$seeds"/* "$work/corpus/"
exec "$program" -max_total_time="$seconds" -timeout=10 -print_final_stats=1 \
    -artifact_prefix="$work/" "$@" "$work/corpus"
