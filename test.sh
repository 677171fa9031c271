#!/usr/bin/env bash
# Runs every workflow (configure, build, test), then reports each stage's time and each suite's
# CTest summary. A suite whose programs cannot run here has those tests disabled when CTest reads
# them, which says why; CTest reports them as not run. --coverage adds the coverage figures.
# --i386-vm runs the 32-bit Windows suite alone, in the virtual machine of scripts/i386-vm.sh:
# built here, tested there, for machines that cannot run 32-bit x86 programs themselves.
set -uo pipefail
cd "$(dirname "$0")"
source scripts/common.sh
[[ ${1:-} =~ ^(--coverage|--i386-vm)?$ ]] ||
    { echo "Usage: $0 [--coverage|--i386-vm]" >&2 && exit 2; }
export CMAKE_BUILD_PARALLEL_LEVEL=${CMAKE_BUILD_PARALLEL_LEVEL:-$(nproc)}
logs=build/test-logs
rm -rf "$logs" && mkdir -p "$logs"

# Runs COMMAND... with its output appended to the log of SUITE, whose end is shown.
workflow_step() {
    local suite=$1 status=0
    shift
    "$@" >>"$logs/$suite.log" 2>&1 || status=$?
    tail -n "$([ "$status" -eq 0 ] && echo 15 || echo 60)" "$logs/$suite.log"
    return "$status"
}

# The workflow PRESET, under the command that follows, if any (xvfb-run for Wine).
workflow() {
    local preset=$1
    shift
    workflow_step "$preset" "$@" cmake --workflow --preset "$preset"
}

# gcovr over the coverage build: the library and the launcher's run sequence and parser, without
# the tests, the fakes, the Win32 and MFC entry points and the C++98 check's objects, which never
# run. A failed assert aborts before gcov writes its counts, so branches on assert lines are left
# out too; the death tests prove those asserts. Counts of earlier runs would mix in.
coverage() {
    find build/coverage -name '*.gcda' -delete 2>/dev/null
    workflow coverage || return
    gcovr --root . --object-directory build/coverage --print-summary --exclude-throw-branches \
        --exclude-directories '.*/(vexa_cxx98_check\.dir|CompilerIdCXX|target-runtime)' \
        --filter 'positioning/src/' --filter 'positioning/include/' --filter 'launcher/[^/]*$' \
        --exclude launcher/win32_platform.cpp --exclude positioning/src/mfc_extension_entry.cpp \
        --exclude-unreachable-branches --exclude-branches-by-pattern '.*\bassert\(.*'
}

# The windows preset built here, its tests that run nothing of the target run here too, and the
# rest in the virtual machine: its programs, the Wine scenarios, and the fixtures they need.
i386_vm_suite() {
    { configure windows && cmake --build --preset windows; } >"$logs/windows-host.log" 2>&1 ||
        { tail -n 60 "$logs/windows-host.log" && return 1; }
    workflow_step windows-host ctest --preset windows -L host
    local host=$?
    workflow_step windows scripts/i386-vm.sh ctest build/windows --preset windows -LE host
    local vm=$?
    [ "$host" -eq 0 ] && [ "$vm" -eq 0 ]
}

if [ "${1:-}" = --i386-vm ]; then
    stage "Packages" scripts/setup.sh kit windows vm
    stage "Virtual machine image (made once)" scripts/i386-vm.sh image
    stage "Windows i686 (Wine, in the virtual machine)" i386_vm_suite
else
    stage "Packages" scripts/setup.sh kit test windows $([ -n "${1:-}" ] && echo coverage)
    stage "Linux x86-64 (Debug, clang-tidy)" workflow linux
    stage "Linux x86-64 (Release)" workflow linux-release
    stage "Linux x86-64 (ASan and UBSan)" workflow asan
    stage "Fuzz targets (build, corpus replay)" workflow fuzz
    # The ARM suite and the minute of fuzzing at the lowest priority, beside the Windows suites,
    # which mostly wait on Wine.
    workflow arm nice -n 19 & arm=$!
    workflow fuzz-explore nice -n 19 & explore=$!
    stage "Windows i686 (Wine)" workflow windows xvfb-run -a
    stage "Windows x86-64 (Wine)" workflow windows64 xvfb-run -a
    stage "ARM soft-float (qemu, beside Windows)" wait "$arm"
    stage "Fuzz targets (60 s each, beside Windows)" wait "$explore"
    [ "${1:-}" = --coverage ] && stage "Linux x86-64 (coverage)" coverage
fi
print_stages

printf '\nTests, as CTest counted them\n'
for log in "$logs"/*.log; do
    suite=$(basename "$log" .log) reason=build/$(basename "$log" .log)/target-not-runnable.txt
    printf '  %-14s %s\n' "$suite" "$(grep -E 'tests passed, .* out of' "$log" || echo none)"
    [ ! -f "$reason" ] || echo "                 and the rest disabled, not run: $(cat "$reason")"
    [ ! -f "$reason" ] || [ "$suite" != windows ] ||
        echo "                 ./test.sh --i386-vm runs them in a virtual machine"
done
[ "$failed_stages" -eq 0 ]
