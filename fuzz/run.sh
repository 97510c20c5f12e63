#!/usr/bin/env bash
# Builds the fuzz targets and runs each for FUZZ_SECONDS (default 60). New inputs go into the
# build folder's corpus; crashes, timeouts and out-of-memory inputs are kept in
# fuzz/regressions/<target>/. Exits non-zero when any target found something.
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${FUZZ_BUILD:-$root/build-fuzz}
seconds=${FUZZ_SECONDS:-60}
testdata=$root/tests/data

cmake -S "$root/fuzz" -B "$build" -G Ninja -DCMAKE_CXX_COMPILER=clang++ >/dev/null || exit 1
cmake --build "$build" || exit 1

found=0
summary=()
for target in jpeg mpo ini texttoint pairoffsets classify; do
    work=$build/corpus/$target
    kept=$root/fuzz/regressions/$target
    mkdir -p "$work" "$kept"
    seeds=()
    if [ -d "$root/fuzz/corpus/$target" ]; then
        seeds+=("$root/fuzz/corpus/$target")
    fi
    options=()
    if [ "$target" = jpeg ]; then
        seeds+=("$testdata/jpeg")
        options+=(-max_len=65536)
    fi
    if [ "$target" = mpo ]; then
        seeds+=("$testdata/stereo")
        options+=(-max_len=131072)
    fi
    log=$build/$target.log
    echo "== $target: ${seconds}s (log: $log)"
    "$build/fuzz_$target" -max_total_time="$seconds" -rss_limit_mb=2048 -timeout=10 \
        -print_final_stats=1 -artifact_prefix="$kept/" "${options[@]}" "$work" "${seeds[@]}" \
        >"$log" 2>&1
    status=$?
    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -n 1)
    if [ $status -ne 0 ]; then
        found=1
        grep -m 3 -E '^(==[0-9]+==ERROR|SUMMARY|property violated|textToInt)' "$log" || tail -n 5 "$log"
    fi
    summary+=("$(printf '%-10s %12s executions  exit %d' "$target" "${runs:-?}" $status)")
done

echo "== fuzzing summary (${seconds}s each)"
printf '%s\n' "${summary[@]}"
if [ $found -ne 0 ]; then
    echo "findings kept in fuzz/regressions/; replay one with: $build/fuzz_<target> <file>"
fi
exit $found
