#!/usr/bin/env bash
# Builds the fuzz targets with clang and runs each for SECONDS (default 60), starting from the
# corpus earlier runs kept and from seeds made afresh by the project's own generators. Fails on
# any finding (crash, sanitizer report, leak, timeout, memory above 2 GiB); its input is kept as
# build/fuzz/findings/<target>-<kind>-<hash>. Every run appends its executions to
# build/fuzz/executions.log.
set -euo pipefail
seconds=${1:-60}
cd "$(dirname "$0")/.."

build=build/fuzz
export CC=clang-14 CXX=clang++-14
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DLISKO_FUZZ=ON \
    -DLISKO_CORE_ONLY=ON -DLISKO_BUILD_TESTS=OFF -DLISKO_BUILD_BENCHMARKS=OFF -DLISKO_WERROR=ON \
    >/dev/null
cmake --build "$build" -j "$(nproc)" --target lisko_fuzz_photo lisko_fuzz_version lisko_fuzz_seeds

rm -rf "$build/seeds"
"$build/fuzz/lisko_fuzz_seeds" "$build/seeds"
mkdir -p "$build/findings"

# The seeds that ask for more memory than a photo may take, and the inputs of earlier findings
# (fuzz/regressions), run first, each on its own.
"$build/fuzz/lisko_fuzz_photo" -rss_limit_mb=2048 -timeout=30 "$build"/seeds/photo/header-* \
    fuzz/regressions/photo/*

# An input that decodes a large picture runs for up to a second, a small one for about a
# millisecond. Without scaling its energy by that time, a corpus grown over hours spends most runs
# on the slow inputs: 130 executions a second against 500 with it, at the same 809 edges.
status=0
for target in photo version; do
    mkdir -p "$build/corpus/$target"
    log="$build/fuzz-$target.log"
    if ! "$build/fuzz/lisko_fuzz_$target" -max_total_time="$seconds" -rss_limit_mb=2048 \
        -timeout=30 -entropic_scale_per_exec_time=1 -print_final_stats=1 \
        -artifact_prefix="$build/findings/$target-" \
        "$build/corpus/$target" "$build/seeds/$target" >"$log" 2>&1; then
        echo "fuzz/run.sh: $target found a fault; see $log and $build/findings/" >&2
        tail -n 40 "$log" >&2
        status=1
    fi
    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -n 1)
    echo "$(date -u +%FT%TZ) $target ${seconds}s ${runs:-0}" >>"$build/executions.log"
    echo "fuzz/run.sh: $target: ${runs:-0} executions in ${seconds} s"
done
exit $status
