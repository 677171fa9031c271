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
# Further arguments are a command that CTest runs under (xvfb-run for Wine).
ctest_suite() {
    local preset=$1
    shift
    cmake --preset "$preset" >"$log_dir/$preset.configure.log" 2>&1 ||
        { cat "$log_dir/$preset.configure.log"; return 1; }
    cmake --build --preset "$preset" -j "$jobs" >"$log_dir/$preset.build.log" 2>&1 ||
        { tail -n 60 "$log_dir/$preset.build.log"; return 1; }
    "$@" ctest --preset "$preset" -j "$jobs" 2>&1 | tee "$log_dir/$preset.ctest.log" | tail -n 25
}

windows_packages() {
    ensure_i386_architecture &&
        ensure_packages g++-mingw-w64-i686-posix wine wine32:i386 xvfb xauth googletest
}

# The library and launcher suites and the launcher's end-to-end scenarios under Wine, in a
# prefix made afresh now that Wine is installed: one made before wine32 was cannot run 32-bit
# programs.
windows_suite() {
    local prefix=build/windows/wineprefix status=0
    cmake/wine-run.sh "$prefix" --stop-server
    rm -rf "$prefix" "$prefix.lock"
    ctest_suite windows xvfb-run -a || status=$?
    # CTest's cleanup fixture has ended the prefix's server; this covers an interrupted CTest.
    cmake/wine-run.sh "$prefix" --stop-server || status=$?
    return "$status"
}

run_stage "Packages (Linux)" ensure_packages cmake make g++ libgtest-dev
run_stage "Linux x86-64 (Debug)" ctest_suite linux
run_stage "Linux x86-64 (Release)" ctest_suite linux-release
run_stage "Packages (Windows: MinGW-w64, Wine, Xvfb)" windows_packages
run_stage "Windows i686 suites, end-to-end (Wine)" windows_suite
run_stage "Packages (ARM: cross compiler, qemu)" ensure_packages g++-arm-linux-gnueabi qemu-user googletest
run_stage "ARM soft-float library (qemu)" ctest_suite arm

print_stage_summary
echo
echo "Tests"
passed=0
failed=0
for log in "$log_dir"/*.ctest.log; do
    [ -f "$log" ] || continue
    line=$(grep -E '[0-9]+ tests failed out of [0-9]+' "$log" | tail -n 1)
    if [ -z "$line" ]; then
        printf '  %-16s no result\n' "$(basename "$log" .ctest.log)"
        continue
    fi
    f=$(sed -E 's/.* ([0-9]+) tests failed out of ([0-9]+).*/\1/' <<<"$line")
    t=$(sed -E 's/.* ([0-9]+) tests failed out of ([0-9]+).*/\2/' <<<"$line")
    printf '  %-16s %4d passed, %d failed\n' "$(basename "$log" .ctest.log)" $((t - f)) "$f"
    passed=$((passed + t - f))
    failed=$((failed + f))
done
echo
echo "tests: $passed passed, $failed failed"
[ "$VEXA_FAILED_STAGES" -eq 0 ] && [ "$failed" -eq 0 ]
