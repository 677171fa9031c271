#!/usr/bin/env bash
# Times the library beside a hand-written floor and its peers, twice, and writes BENCHMARKS.md.
set -euo pipefail
cd "$(dirname "$0")"
source scripts/common.sh

ensure_packages cmake make g++ libbenchmark-dev libboost-dev libgeos++-dev libeigen3-dev libgtest-dev
cmake --preset bench >/dev/null
cmake --build --preset bench -j "$(nproc)" --target vexa_bench >/dev/null

out=build/bench
for run in 1 2; do
    echo "Run $run of 2"
    "$out/bench/vexa_bench" --benchmark_repetitions=5 --benchmark_min_time=0.2 \
        --table="$out/table-$run.md" >"$out/run-$run.log"
done

cpu=$(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | sed 's/^ //')
{
    echo "# Benchmarks"
    echo
    echo "Written by \`./bench.sh\` on $(date -u +%Y-%m-%d)."
    echo "Machine: $cpu, $(nproc) cores, $(uname -sm). Compiler: $(g++ --version | head -n1), -O2,"
    echo "the shared library linked as a user links it. Each row is the median of 5 repetitions;"
    echo "the ratio is to the inline baseline of the same operation in the same run."
    echo
    cat bench/notes.md
    for run in 1 2; do
        echo
        echo "## Run $run"
        echo
        cat "$out/table-$run.md"
    done
} >BENCHMARKS.md
echo "Wrote BENCHMARKS.md"
