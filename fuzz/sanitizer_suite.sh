#!/usr/bin/env bash
# The sanitizer suite, run by CTest from the ordinary build: configures a
# second build of the whole project with clang, AddressSanitizer and
# UndefinedBehaviorSanitizer (SORANIKA_SANITIZE=ON), builds it and runs its
# whole test suite headless, the short fuzzing of every fuzz target included.
#   sanitizer_suite.sh SOURCE_DIR BUILD_DIR CLANG++ GENERATOR [cmake options...]
# BUILD_DIR is kept between runs, so that later runs build only what changed.
set -euo pipefail
source_dir=$1 build_dir=$2 cxx=$3 generator=$4
shift 4
mkdir -p "$build_dir"
# The configuration and the build write to a log; only its end is shown when
# they fail.
log="$build_dir/suite-build.log"
if ! { cmake -S "$source_dir" -B "$build_dir" -G "$generator" \
    -DCMAKE_CXX_COMPILER="$cxx" -DSORANIKA_SANITIZE=ON "$@" &&
    cmake --build "$build_dir"; } >"$log" 2>&1; then
    tail -c 30000 "$log"
    echo "sanitizer_suite.sh: the sanitizer build failed; the whole log is $log" >&2
    exit 1
fi
echo "Sanitizer build up to date in $build_dir"
cd "$build_dir"
export QT_QPA_PLATFORM=offscreen
exec ctest --output-on-failure
