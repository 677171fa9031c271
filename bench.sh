#!/usr/bin/env bash
# Counts the instructions of the library, a hand-written floor and its peers on x86-64 (callgrind)
# and on ARM soft-float (qemu-arm), times them twice, then times Install.exe under Wine beside a
# floor program that does nothing of its own, and writes BENCHMARKS.md. It takes about nine
# minutes; run it on an otherwise idle machine, and not while ./test.sh runs. The counts do not
# depend on the machine's load; the times do.
set -euo pipefail
cd "$(dirname "$0")"

scripts/setup.sh kit test windows
load=$(cut -d' ' -f1-3 /proc/loadavg)
cmake --preset bench >/dev/null
cmake --build --preset bench -j "$(nproc)" --target vexa_bench vexa_count >/dev/null
cmake --preset bench-arm >/dev/null
cmake --build --preset bench-arm -j "$(nproc)" --target vexa_count >/dev/null

out=build/bench
echo "Instruction counts: x86-64 under callgrind, ARM under qemu-arm (about half a minute)"
bench/count_instructions.sh callgrind "$out/bench/vexa_count" >"$out/instructions-x86-64.md"
bench/count_instructions.sh qemu-arm /usr/arm-linux-gnueabi build/bench-arm/bench/vexa_count \
    >"$out/instructions-arm.md"
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
arm_compiler=$(arm-linux-gnueabi-g++ --version | head -n1)
{
    echo "# Benchmarks"
    echo
    echo "Written by \`./bench.sh\` on $(date -u +%Y-%m-%d)."
    echo "Machine: $cpu, $(nproc) cores, $(uname -sm). Compiler: $(g++ --version | head -n1), -O2,"
    echo "the shared library linked as a user links it. ARM: $arm_compiler, -O2,"
    echo "soft-float, the library in C++98. In the timed runs each row is the median of 5"
    echo "repetitions; the ratio is to the inline baseline of the same operation in the same run."
    echo "Load average before the runs: $load."
    echo
    cat bench/notes.md
    echo
    echo "## Instructions per operation, x86-64 (callgrind)"
    echo
    cat "$out/instructions-x86-64.md"
    echo
    echo "## Instructions per operation, ARM soft-float (qemu-arm)"
    echo
    cat "$out/instructions-arm.md"
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
