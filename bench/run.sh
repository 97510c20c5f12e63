#!/usr/bin/env bash
# Runs every benchmark of a Release build and prints one table: what was measured, the reference
# measured in the same run, their ratio, the target for that ratio, and whether it holds.
# Each program's full output goes to <build>/bench-logs/; the table collects their "@row" lines.
#
# usage: bench/run.sh [build folder]   (default build-bench; `make bench` builds it and calls this)
set -uo pipefail

build=${1:-build-bench}
here=$(cd "$(dirname "$0")/.." && pwd)
cd "$here" || exit 1
logs="$build/bench-logs"
mkdir -p "$logs"
rows="$logs/rows.tsv"
: > "$rows"
failed=0
started=$(date +%s)

# name, time limit in seconds, command...
run() {
    local name=$1 limit=$2
    shift 2
    printf 'running %-10s ' "$name" >&2
    local t0=$SECONDS
    if timeout "$limit" "$@" > "$logs/$name.log" 2>&1; then
        printf '%4ds\n' $((SECONDS - t0)) >&2
    else
        printf '%4ds  FAILED, see %s\n' $((SECONDS - t0)) "$logs/$name.log" >&2
        failed=1
    fi
    grep '^@row' "$logs/$name.log" | cut -f2- >> "$rows"
}

echo "load average before: $(cut -d' ' -f1-3 /proc/loadavg), $(nproc) cores" >&2
run catalogue 120 "$build/bench/catalogue/bench_catalogue" --benchmark_filter=/10000$
run imaging 120 "$build/bench/imaging/bench_imaging"
run loading 240 "$build/bench/loading/bench_loading"
run startup 60 "$build/bench/startup/bench_startup"
run memory 240 "$build/bench/memory/bench_memory"
if command -v Xvfb > /dev/null; then
    run feh 150 bash bench/feh-compare.sh "$build"
fi
echo "load average after: $(cut -d' ' -f1-3 /proc/loadavg), $(($(date +%s) - started)) s" >&2
echo >&2

awk -F'\t' '
    BEGIN { n = 1; cell[1, 1] = "benchmark"; cell[1, 2] = "measured"; cell[1, 3] = "reference"
            cell[1, 4] = "ratio"; cell[1, 5] = "target"; cell[1, 6] = "ok/miss" }
    { n++; for (i = 1; i <= 6; i++) cell[n, i] = $i }
    END {
        for (i = 1; i <= 6; i++) for (r = 1; r <= n; r++)
            if (length(cell[r, i]) > w[i]) w[i] = length(cell[r, i])
        for (r = 1; r <= n; r++) {
            line = "|"
            for (i = 1; i <= 6; i++) line = line sprintf(" %-*s |", w[i], cell[r, i])
            print line
            if (r == 1) {
                line = "|"
                for (i = 1; i <= 6; i++) { d = ""; for (k = 0; k < w[i]; k++) d = d "-"; line = line " " d " |" }
                print line
            }
        }
    }' "$rows"

misses=$(awk -F'\t' '$6 == "MISS"' "$rows" | wc -l)
echo >&2
echo "$misses of $(awk -F'\t' '$6 == "ok" || $6 == "MISS"' "$rows" | wc -l) targets missed; logs in $logs" >&2
exit "$failed"
