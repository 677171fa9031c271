#!/usr/bin/env bash
# Configures, builds and runs every test of the kit, then reports each suite and the totals.
set -uo pipefail
cd "$(dirname "$0")"
source scripts/common.sh

log_dir=build/test-logs
rm -rf "$log_dir"
mkdir -p "$log_dir"
jobs=$(nproc)

# One CTest suite: configure, build and test a preset, keeping CTest's output for the totals.
ctest_suite() {
    local preset=$1
    cmake --preset "$preset" >"$log_dir/$preset.configure.log" 2>&1 ||
        { cat "$log_dir/$preset.configure.log"; return 1; }
    cmake --build --preset "$preset" -j "$jobs" >"$log_dir/$preset.build.log" 2>&1 ||
        { tail -n 60 "$log_dir/$preset.build.log"; return 1; }
    ctest --preset "$preset" -j "$jobs" 2>&1 | tee "$log_dir/$preset.ctest.log" | tail -n 25
}

run_stage "Packages (Linux)" ensure_packages cmake make g++ libgtest-dev
run_stage "Linux x86-64 (Debug)" ctest_suite linux
run_stage "Linux x86-64 (Release)" ctest_suite linux-release

print_stage_summary
passed=0
failed=0
for log in "$log_dir"/*.ctest.log; do
    [ -f "$log" ] || continue
    line=$(grep -E '[0-9]+ tests failed out of [0-9]+' "$log" | tail -n 1)
    [ -n "$line" ] || continue
    f=$(sed -E 's/.* ([0-9]+) tests failed out of ([0-9]+).*/\1/' <<<"$line")
    t=$(sed -E 's/.* ([0-9]+) tests failed out of ([0-9]+).*/\2/' <<<"$line")
    passed=$((passed + t - f))
    failed=$((failed + f))
done
echo
echo "tests: $passed passed, $failed failed"
[ "$VEXA_FAILED_STAGES" -eq 0 ] && [ "$failed" -eq 0 ]
