# Shared by build.sh, test.sh and the benchmark: the stages of a run, the Windows build whose
# programs run here, and the Wine servers that an interrupted run leaves.

# An interrupted CTest ends no fixture, so the Wine servers of the builds, and every program still
# running in their prefixes, are ended through each build's own runners.
trap 'for run in build/*/wine-run*.sh; do [ ! -x "$run" ] || "$run" --stop-server; done; exit 130' \
    INT TERM HUP

stages=()
failed_stages=0
# Runs COMMAND... as the stage NAME, and prints and remembers its outcome and time.
stage() {
    local name=$1 begin=$SECONDS outcome=passed
    shift
    echo "==> $name"
    "$@" || outcome="FAILED (exit $?)"
    [ "$outcome" = passed ] || failed_stages=$((failed_stages + 1))
    stages+=("$(printf '%-44s %-18s %4ds' "$name" "$outcome" $((SECONDS - begin)))")
    echo "<== $name: $outcome after $((SECONDS - begin))s (total ${SECONDS}s)"
}
print_stages() { printf '\nSummary\n' && printf '  %s\n' "${stages[@]}"; }

# Configures PRESET into build/PRESET, its output kept in build/PRESET.configure.log.
configure() {
    mkdir -p build
    cmake --preset "$1" >"build/$1.configure.log" 2>&1 ||
        { cat "build/$1.configure.log"; return 1; }
}

# Configures and builds, with Install.exe and the Wine fixtures, the Windows build whose programs
# run here: the shipped 32-bit one, or else the 64-bit one, as the 32-bit build's Wine runner
# finds. Sets windows_build (its folder) and windows_build_text (what it is).
prepare_windows_build() {
    local why
    windows_build=build/windows
    windows_build_text="the 32-bit Install.exe (i686, as shipped) under 32-bit Wine"
    configure windows || return
    if ! why=$(build/windows/wine-run.sh --check 2>&1); then
        windows_build=build/windows64
        windows_build_text="the 64-bit Install.exe (x86-64) under 64-bit Wine, in place of the"
        windows_build_text+=" shipped 32-bit one: ${why#wine-run.sh: }"
        configure windows64 || return
    fi
    cmake --build "$windows_build" --target wine_fixtures >"$windows_build.fixtures.log" 2>&1 ||
        { tail -n 40 "$windows_build.fixtures.log"; return 1; }
}
