#!/usr/bin/env bash
# Runs the kit's workflows, each of which configures, builds and tests a preset, then reports each
# stage, each suite and the totals.
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
# A workflow takes no -j; CMake and CTest read these instead.
export CMAKE_BUILD_PARALLEL_LEVEL=$(nproc) CTEST_PARALLEL_LEVEL=$(nproc)

# One workflow (configure, build, test) of the suite SUITE, the build of the configure preset of
# that name, run under the command that follows, if any (xvfb-run for Wine). Its output is kept in
# the log and its end shown; CTest's JUnit results, which its test preset writes into the build
# folder, join the suite's for the summary.
run_workflow() {
    local suite=$1 workflow=$2 status=0 results=build/$1/$2.junit.xml
    shift 2
    mkdir -p "$log_dir/$suite.junit"
    rm -f "$results"
    "$@" cmake --workflow --preset "$workflow" >"$log_dir/$workflow.log" 2>&1 || status=$?
    if [ -f "$results" ]; then
        cp "$results" "$log_dir/$suite.junit/$workflow.xml"
    fi
    tail -n "$([ "$status" -eq 0 ] && echo 25 || echo 60)" "$log_dir/$workflow.log"
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
    run_workflow coverage coverage
}

# A Windows preset's library and launcher suites and the launcher's end-to-end scenarios under
# Wine. CTest's fixture starts the prefix's server, making the prefix anew if it predates the Wine
# packages installed just now, and ends it after the last test.
windows_suite() {
    track_wine_build "build/$1"
    run_workflow "$1" "$1" xvfb-run -a
}

# Where 32-bit programs cannot run: the 32-bit build anyway, and the checks of its images that run
# none of its programs. The rest are counted as not run, with the reason, never as passed.
windows_static_checks() {
    run_workflow windows windows-static || return
    # -FA: the setup test of a fixture that those tests require, kit.signing, is static and has
    # run; listed without it, each test is counted once.
    local not_run
    not_run=$(ctest --preset windows -N -LE static -FA '.*' | sed -n 's/^Total Tests: //p')
    echo "$not_run $VEXA_NO_I386_REASON" >"$log_dir/windows.not-run"
    echo "Not run: $not_run tests that run the 32-bit programs ($VEXA_NO_I386_REASON)"
}

packages=(cmake make g++ libgtest-dev pkg-config git libbenchmark-dev libboost-dev libgeos++-dev
    libeigen3-dev clang libclang-rt-14-dev clang-tidy valgrind doxygen python3-z3)
# xmllint reads the suites' results for the summary.
packages+=(libxml2-utils)
[ "$coverage" -eq 1 ] && packages+=(gcovr)
# The release build also builds the benchmark, so that it keeps compiling; only ./bench.sh times it.
run_stage "Packages (Linux)" ensure_packages "${packages[@]}"
run_stage "Linux x86-64 (Debug, clang-tidy)" run_workflow linux linux
run_stage "Linux x86-64 (Release)" run_workflow linux-release linux-release
run_stage "Linux x86-64 (ASan and UBSan)" run_workflow asan asan
run_stage "Fuzz targets (build, corpus replay)" run_workflow fuzz fuzz
run_stage "Fuzz targets (60 s each)" run_workflow fuzz fuzz-explore
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
run_stage "ARM soft-float library (qemu)" run_workflow arm arm
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
for results in "$log_dir"/*.junit; do
    [ -d "$results" ] || continue
    suite=$(basename "$results" .junit)
    if ! totals=$(scripts/junit-totals.sh "$results"/*.xml 2>/dev/null); then
        printf '  %-16s no result\n' "$suite"
        continue
    fi
    read -r p f s <<<"$totals"
    text=$(printf '%4d passed, %d failed, %d skipped' "$p" "$f" "$s")
    if [ -f "$log_dir/$suite.not-run" ]; then
        read -r n reason <"$log_dir/$suite.not-run"
        text+=", $n NOT RUN ($reason)"
        not_run=$((not_run + n))
        not_run_reasons+=("$suite: $reason")
    fi
    printf '  %-16s %s\n' "$suite" "$text"
    passed=$((passed + p))
    failed=$((failed + f))
    skipped=$((skipped + s))
done
echo
text="tests: $passed passed, $failed failed, $skipped skipped"
[ "$not_run" -gt 0 ] && text+=", $not_run not run ($(IFS=';'; echo "${not_run_reasons[*]}"))"
echo "$text"
[ "$VEXA_FAILED_STAGES" -eq 0 ] && [ "$failed" -eq 0 ]
