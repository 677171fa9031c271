#!/usr/bin/env bash
# Configures, builds and runs every test of the kit, then reports each suite and the totals.
# With --coverage it also measures the line and branch coverage of the Linux suite.
set -uo pipefail
cd "$(dirname "$0")"
source scripts/common.sh

coverage=0
for argument in "$@"; do
    case $argument in
        --coverage) coverage=1 ;;
        *)
            echo "Usage: $0 [--coverage]" >&2
            exit 2
            ;;
    esac
done

log_dir=build/test-logs
rm -rf "$log_dir"
mkdir -p "$log_dir"
jobs=$(nproc)

# One CTest suite: configure, build and test a preset, keeping CTest's output for the totals.
# Arguments before `--` are a command that CTest runs under (xvfb-run for Wine); those after it
# go to CTest.
ctest_suite() {
    local preset=$1 runner=()
    shift
    while [ $# -gt 0 ] && [ "$1" != -- ]; do
        runner+=("$1")
        shift
    done
    [ $# -gt 0 ] && shift
    cmake --preset "$preset" >"$log_dir/$preset.configure.log" 2>&1 ||
        { cat "$log_dir/$preset.configure.log"; return 1; }
    cmake --build --preset "$preset" -j "$jobs" >"$log_dir/$preset.build.log" 2>&1 ||
        { tail -n 60 "$log_dir/$preset.build.log"; return 1; }
    "${runner[@]}" ctest --preset "$preset" -j "$jobs" "$@" 2>&1 | tee "$log_dir/$preset.ctest.log" |
        tail -n 25
}

# Each fuzz target for a bounded time, both at once (one core each); any finding fails the stage
# and leaves its input under build/fuzz/findings/.
fuzz_targets() {
    local target status=0 pids=()
    mkdir -p build/fuzz/findings
    for target in launcher records; do
        mkdir -p "build/fuzz/corpus/$target"
        build/fuzz/fuzz/${target}_fuzzer -max_total_time=60 -rss_limit_mb=1024 -timeout=10 \
            -print_final_stats=1 -dict="fuzz/$target.dict" \
            -artifact_prefix="build/fuzz/findings/$target-" \
            "build/fuzz/corpus/$target" "fuzz/corpus/$target" >"$log_dir/fuzz-$target.log" 2>&1 &
        pids+=($!)
    done
    for target in launcher records; do
        if wait "${pids[0]}"; then
            echo "$target: $(grep -o 'number_of_executed_units: [0-9]*' "$log_dir/fuzz-$target.log" |
                sed 's/.*: //') executions, no finding"
        else
            status=1
            echo "$target: FINDING"
            grep -E 'ERROR|SUMMARY|^    #[0-9]+ ' "$log_dir/fuzz-$target.log" | head -n 30
        fi
        pids=("${pids[@]:1}")
    done
    return "$status"
}

# gcovr over the coverage build: the library's sources and headers, and the launcher's run
# sequence and parser. The tests, the fakes and the two platform entry points (Win32, MFC) are
# left out, and so are the C++98 check's objects, which are compiled but never run. A failed
# assert aborts before gcov writes its counts, so branches on assert lines are left out too; the
# death tests prove those asserts.
coverage_report() {
    local options=(--root . --object-directory build/coverage
        --exclude-directories '.*/vexa_cxx98_check\.dir' --exclude-directories '.*/CompilerIdCXX'
        --filter 'positioning/src/' --filter 'positioning/include/' --filter 'launcher/[^/]*$'
        --exclude 'launcher/win32_platform.cpp' --exclude 'positioning/src/mfc_extension_entry.cpp'
        --exclude-throw-branches --exclude-unreachable-branches
        --exclude-branches-by-pattern '.*\bassert\(.*')
    gcovr "${options[@]}" --json "$log_dir/coverage.json" 2>"$log_dir/gcovr.log" ||
        { cat "$log_dir/gcovr.log"; return 1; }
    gcovr --add-tracefile "$log_dir/coverage.json" --root .
    gcovr --add-tracefile "$log_dir/coverage.json" --root . --branches --print-summary
}

# Counts from earlier runs would mix into the figures.
coverage_suite() {
    find build/coverage -name '*.gcda' -delete 2>/dev/null
    ctest_suite coverage
}

# A Windows preset's library and launcher suites and the launcher's end-to-end scenarios under
# Wine, in a prefix made afresh now that Wine is installed: one made before may lack what the
# installed packages bring.
windows_suite() {
    local preset=$1 arch prefix=build/$1/wineprefix status=0
    arch=$(wine_arch_of "$preset")
    track_wine_prefix "$arch" "$prefix"
    cmake/wine-run.sh "$arch" "$prefix" --stop-server
    rm -rf "$prefix" "$prefix.lock"
    ctest_suite "$preset" xvfb-run -a || status=$?
    # CTest's cleanup fixture has ended the prefix's server; this covers an interrupted CTest.
    cmake/wine-run.sh "$arch" "$prefix" --stop-server || status=$?
    return "$status"
}

# Where 32-bit programs cannot run: the 32-bit build anyway, and the checks of its images that run
# none of its programs. The rest are counted as not run, with the reason, never as passed.
windows_static_checks() {
    ctest_suite windows -- -L static || return
    local not_run
    not_run=$(ctest --preset windows -N -LE static | sed -n 's/^Total Tests: //p')
    echo "$not_run $VEXA_NO_I386_REASON" >"$log_dir/windows.not-run"
    echo "Not run: $not_run tests that run the 32-bit programs ($VEXA_NO_I386_REASON)"
}

packages=(cmake make g++ libgtest-dev pkg-config git libbenchmark-dev libboost-dev libgeos++-dev
    libeigen3-dev clang libclang-rt-14-dev clang-tidy valgrind doxygen python3-z3)
[ "$coverage" -eq 1 ] && packages+=(gcovr)
# The release build also builds the benchmark, so that it keeps compiling; only ./bench.sh times it.
run_stage "Packages (Linux)" ensure_packages "${packages[@]}"
run_stage "Linux x86-64 (Debug, clang-tidy)" ctest_suite linux
run_stage "Linux x86-64 (Release)" ctest_suite linux-release
run_stage "Linux x86-64 (ASan and UBSan)" ctest_suite asan
run_stage "Fuzz targets (build, corpus replay)" ctest_suite fuzz
run_stage "Fuzz targets (60 s each)" fuzz_targets
run_stage "Probe: can this machine run 32-bit x86?" report_i386_execution
run_stage "Packages (Windows: MinGW-w64, Wine, Xvfb)" ensure_windows_packages
if can_execute_i386; then
    run_stage "Windows i686 suites, end-to-end (Wine)" windows_suite windows
else
    run_stage "Windows i686 images, static checks" windows_static_checks
    skip_stage "Windows i686 suites, end-to-end (Wine)" "$VEXA_NO_I386_REASON"
fi
run_stage "Windows x86-64 suites, end-to-end (Wine)" windows_suite windows64
run_stage "Packages (ARM: cross compiler, qemu)" ensure_packages g++-arm-linux-gnueabi qemu-user googletest
run_stage "ARM soft-float library (qemu)" ctest_suite arm
if [ "$coverage" -eq 1 ]; then
    run_stage "Linux x86-64 (coverage)" coverage_suite
    run_stage "Coverage report" coverage_report
fi

print_stage_summary
echo
echo "Tests"
passed=0
failed=0
skipped=0
not_run=0
not_run_reasons=()
for log in "$log_dir"/*.ctest.log; do
    [ -f "$log" ] || continue
    suite=$(basename "$log" .ctest.log)
    line=$(grep -E '[0-9]+ tests failed out of [0-9]+' "$log" | tail -n 1)
    if [ -z "$line" ]; then
        printf '  %-16s no result\n' "$suite"
        continue
    fi
    f=$(sed -E 's/.* ([0-9]+) tests failed out of ([0-9]+).*/\1/' <<<"$line")
    t=$(sed -E 's/.* ([0-9]+) tests failed out of ([0-9]+).*/\2/' <<<"$line")
    # CTest counts a skipped test as not failed; here it is not counted as passed either.
    s=$(grep -cE '^[[:space:]]+[0-9]+ - .* \(Skipped\)$' "$log" || true)
    text=$(printf '%4d passed, %d failed, %d skipped' $((t - f - s)) "$f" "$s")
    if [ -f "$log_dir/$suite.not-run" ]; then
        read -r n reason <"$log_dir/$suite.not-run"
        text+=", $n NOT RUN ($reason)"
        not_run=$((not_run + n))
        not_run_reasons+=("$suite: $reason")
    fi
    printf '  %-16s %s\n' "$suite" "$text"
    passed=$((passed + t - f - s))
    failed=$((failed + f))
    skipped=$((skipped + s))
done
echo
text="tests: $passed passed, $failed failed, $skipped skipped"
[ "$not_run" -gt 0 ] && text+=", $not_run not run ($(IFS=';'; echo "${not_run_reasons[*]}"))"
echo "$text"
[ "$VEXA_FAILED_STAGES" -eq 0 ] && [ "$failed" -eq 0 ]
