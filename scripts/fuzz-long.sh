#!/usr/bin/env bash
# The long fuzzing run: builds the fuzz targets with clang, AddressSanitizer
# and UndefinedBehaviorSanitizer, fuzzes each one for SECONDS_PER_TARGET
# (default 900, an hour in all for the four targets), FUZZ_JOBS targets at a
# time (default: one per processor), and prints how many inputs each ran.
#   scripts/fuzz-long.sh [SECONDS_PER_TARGET]
# Build folder: build/sanitize, the sanitizer suite's. Each target works in
# build/sanitize/fuzz/run/<target>/ (its log, and the input that broke a property
# if one did); the seeds in fuzz/corpus/ are never written.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${1:-900}"
build=build/sanitize
jobs="${FUZZ_JOBS:-$(nproc)}"
scripts/install-deps.sh test
cmake -S . -B "$build" -G Ninja -DCMAKE_CXX_COMPILER=clang++ -DSORANIKA_SANITIZE=ON \
    -DSORANIKA_FUZZ_SECONDS="$seconds"
cmake --build "$build" --target fuzzers
# CTest sets the sanitizers' options for each target (fuzz/sanitizer_options.cmake).
status=0
(cd "$build" && ctest -L '^fuzz$' -j "$jobs" --output-on-failure) || status=$?

total=0
echo
printf '%-20s %15s %12s\n' target executions per-second
for log in "$build"/fuzz/run/*/log; do
    target=$(basename "$(dirname "$log")")
    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
    rate=$(sed -n 's/^stat::average_exec_per_sec: *//p' "$log")
    printf '%-20s %15s %12s\n' "$target" "${runs:-?}" "${rate:-?}"
    total=$((total + ${runs:-0}))
done
printf '%-20s %15s\n' total "$total"
exit "$status"
