#!/usr/bin/env bash
# Times the library beside a hand-written floor and its peers, twice, then Install.exe under
# Wine beside a floor program that does nothing of its own, and writes BENCHMARKS.md. It takes
# about eight minutes; run it on an otherwise idle machine, and not while ./test.sh runs.
set -euo pipefail
cd "$(dirname "$0")"
source scripts/common.sh

ensure_packages cmake make g++ libbenchmark-dev libboost-dev libgeos++-dev libeigen3-dev libgtest-dev
ensure_windows_packages
load=$(cut -d' ' -f1-3 /proc/loadavg)
cmake --preset bench >/dev/null
cmake --build --preset bench -j "$(nproc)" --target vexa_bench >/dev/null

out=build/bench
for run in 1 2; do
    echo "Run $run of 2"
    "$out/bench/vexa_bench" --benchmark_repetitions=5 --benchmark_min_time=0.2 \
        --benchmark_enable_random_interleaving=true \
        --table="$out/table-$run.md" >"$out/run-$run.log" 2>&1 ||
        { tail -n 20 "$out/run-$run.log"; exit 1; }
done

echo "Install.exe under Wine (about five minutes)"
bench/launcher_timing.sh 5 2 >"$out/launcher.md"

cpu=$(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | sed 's/^ //')
{
    echo "# Benchmarks"
    echo
    echo "Written by \`./bench.sh\` on $(date -u +%Y-%m-%d)."
    echo "Machine: $cpu, $(nproc) cores, $(uname -sm). Compiler: $(g++ --version | head -n1), -O2,"
    echo "the shared library linked as a user links it. Each row is the median of 5 repetitions;"
    echo "the ratio is to the inline baseline of the same operation in the same run. Load average"
    echo "before the runs: $load."
    echo
    cat bench/notes.md
    for run in 1 2; do
        echo
        echo "## Run $run"
        echo
        cat "$out/table-$run.md"
    done
    echo
    echo "## The launcher"
    echo
    cat "$out/launcher.md"
} >BENCHMARKS.md
echo "Wrote BENCHMARKS.md"
