#!/usr/bin/env bash
# Measures Install.exe of the Windows build under Wine with the end-to-end fixtures, and prints a
# Markdown table. These are measurements, not checks: nothing here fails on a slow figure.
# Usage: bench/launcher_timing.sh [NO_HOLD_RUNS [HOLD_RUNS]]   (defaults 5 and 2)
# A hold run takes a minute. Run it while no Windows tests run: they share the Wine prefix.
set -euo pipefail
cd "$(dirname "$0")/.."

no_hold_runs=${1:-5}
hold_runs=${2:-2}
prefix=$PWD/build/windows/wineprefix
wine_run=$PWD/cmake/wine-run.sh
bin_dir=$PWD/build/windows/bin
work_dir=$PWD/build/windows/launcher-timing

# Under Xvfb, with the prefix's server running for all runs and ended after them.
measure() {
    local log=$work_dir/runs.log
    mkdir -p "$work_dir"
    : >"$log"
    "$wine_run" "$prefix" --start-server
    trap '"$wine_run" "$prefix" --stop-server' EXIT
    local run
    for ((run = 1; run <= no_hold_runs; run++)); do
        bash launcher/tests/wine/run_scenario.sh "$wine_run" "$prefix" "$bin_dir" "$work_dir" \
            measure_no_hold | grep '^measure\.' >>"$log"
    done
    for ((run = 1; run <= hold_runs; run++)); do
        bash launcher/tests/wine/run_scenario.sh "$wine_run" "$prefix" "$bin_dir" "$work_dir" \
            measure_hold | grep '^measure\.' >>"$log"
    done
}

# "median (min to max)" of one measure's values, in milliseconds.
summary() {
    sed -n "s/^measure\.$1=//p" "$work_dir/runs.log" | sort -n | awk '
        { v[NR] = $1 }
        END {
            if (NR == 0) { print "no value"; exit }
            m = NR % 2 ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2
            printf "%s ms (%s to %s, %d runs)\n", m, v[1], v[NR], NR
        }'
}

if [ "${1:-}" = --under-xvfb ]; then
    no_hold_runs=$2
    hold_runs=$3
    measure
    exit
fi

cmake --preset windows >/dev/null
cmake --build --preset windows -j 2 >/dev/null
xvfb-run -a bash "$0" --under-xvfb "$no_hold_runs" "$hold_runs"

echo "Install.exe under $(wine --version), $(nproc) cores, $(uname -m);" \
    "times from GetProcessTimes and the fixtures' wall clock"
echo
echo "| Measure | Target | Median (range) |"
echo "|---|---|---|"
echo "| Processor time over a full 60 s hold (user + kernel) | below 50 ms | $(summary hold_cpu_ms) |"
echo "| Whole run with the hold, from start to exit | about 60 s | $(summary hold_total_ms) |"
echo "| End after the manager's exit, no hold | within 1600 ms | $(summary no_hold_end_after_exit_ms) |"
echo "| Processor time of that run | | $(summary no_hold_cpu_ms) |"
echo "| End after the hold's end (manager's start + 60 s) | within 100 ms | $(summary hold_end_offset_ms) |"
