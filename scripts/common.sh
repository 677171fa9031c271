# Shared by build.sh, test.sh and the benchmark: package installation, what this machine can run,
# the Wine servers of a run, and stage bookkeeping.

# Another apt-get, or the system's own unattended upgrades on a fresh machine, may hold the package
# lock for a while; every apt-get here waits for it rather than failing at once.
apt_lock_wait=(-o DPkg::Lock::Timeout=600)

# Updates the package lists once per run. A mirror in the middle of a sync serves an index that
# fails to download, and apt-get update still exits 0 then; so its output is read, and it is tried
# again a few times, a while apart.
update_package_lists() {
    [ -n "${VEXA_APT_UPDATED:-}" ] && return 0
    local attempt output
    for attempt in 1 2 3; do
        output=$(apt-get "${apt_lock_wait[@]}" update -q 2>&1) || true
        if ! grep -qE '^E:|^W:.*Failed|^Err:' <<<"$output"; then
            VEXA_APT_UPDATED=1
            return 0
        fi
        echo "apt-get update could not fetch every index (attempt $attempt of 3):"
        grep -E '^E:|^W:|^Err:' <<<"$output" | sed 's/^/    /'
        [ "$attempt" -lt 3 ] && sleep 30
    done
    echo "Going on with the package lists as they are."
    VEXA_APT_UPDATED=1
}

# Installs the Debian packages that are not installed yet (needs root when any is missing). When
# the install cannot be resolved, as with a lagging mirror whose security index is stale for one
# architecture, it is tried once more with the system's own release as the target release.
ensure_packages() {
    local missing=() package
    for package in "$@"; do
        dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed' ||
            missing+=("$package")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    if [ "$(id -u)" -ne 0 ]; then
        echo "Missing packages: ${missing[*]}. Install them as root: apt-get install ${missing[*]}" >&2
        return 1
    fi
    echo "Installing ${missing[*]}"
    update_package_lists
    local install=(apt-get "${apt_lock_wait[@]}" install -y -q --no-install-recommends)
    local output release
    output=$(DEBIAN_FRONTEND=noninteractive "${install[@]}" "${missing[@]}" 2>&1) && return 0
    release=$(sed -n 's/^VERSION_CODENAME=//p' /etc/os-release | tr -d '"')
    if [ -z "$release" ] ||
        ! grep -qE 'Unable to correct problems|held broken packages|unmet dependencies' <<<"$output"
    then
        tail -n 20 <<<"$output"
        return 1
    fi
    echo "The install could not be resolved; trying again with the target release $release" \
        "(apt-get install -t $release)."
    output=$(DEBIAN_FRONTEND=noninteractive "${install[@]}" -t "$release" "${missing[@]}" 2>&1) &&
        return 0
    tail -n 20 <<<"$output"
    return 1
}

# Enables 32-bit packages (needed for wine32) once.
ensure_i386_architecture() {
    dpkg --print-foreign-architectures | grep -qx i386 && return 0
    if [ "$(id -u)" -ne 0 ]; then
        echo "Run as root to enable the i386 architecture (dpkg --add-architecture i386)" >&2
        return 1
    fi
    dpkg --add-architecture i386
    unset VEXA_APT_UPDATED
}

# Whether this machine executes 32-bit x86 programs, found once per run by executing one: a
# static i386 program that only exits with 0, made here with binutils. A kernel without 32-bit
# emulation refuses it ("Exec format error"), and then so does 32-bit Wine, whatever is
# installed. When it cannot, VEXA_NO_I386_REASON says why.
can_execute_i386() {
    if [ -z "${VEXA_I386_PROBED:-}" ]; then
        VEXA_I386_PROBED=1
        VEXA_NO_I386_REASON=
        local dir output
        dir=$(mktemp -d)
        printf '.globl _start\n_start:\n movl $1, %%eax\n xorl %%ebx, %%ebx\n int $0x80\n' \
            >"$dir/probe.s"
        if ! as --32 -o "$dir/probe.o" "$dir/probe.s" >/dev/null 2>&1 ||
            ! ld -m elf_i386 -o "$dir/probe" "$dir/probe.o" >/dev/null 2>&1; then
            VEXA_NO_I386_REASON="no 32-bit x86 probe program could be made (as --32, ld)"
        elif ! output=$("$dir/probe" 2>&1); then
            output=$(tail -n 1 <<<"$output")
            VEXA_NO_I386_REASON="no 32-bit x86 execution here: a probe program failed"
            VEXA_NO_I386_REASON+="${output:+ with \"${output##*: }\"}"
        fi
        rm -rf "$dir"
    fi
    [ -z "$VEXA_NO_I386_REASON" ]
}

# Prints whether 32-bit x86 programs run here; never fails, since either answer is a way to go on.
report_i386_execution() {
    if can_execute_i386; then
        echo "This machine executes 32-bit x86 programs: both Windows builds run under Wine."
    else
        echo "${VEXA_NO_I386_REASON^}."
        echo "The 32-bit Windows build gets only the checks that run none of its programs; the"
        echo "64-bit build runs under 64-bit Wine."
    fi
}

# What cross-building for Windows and running the results under Wine and Xvfb needs: both
# targets' compilers, 64-bit Wine, and 32-bit Wine only where 32-bit programs can run at all;
# and for the signing test, osslsigncode, openssl and Python for its time-stamping authority.
ensure_windows_packages() {
    local packages=(g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix wine wine64 xvfb xauth
        googletest osslsigncode openssl python3)
    if can_execute_i386; then
        ensure_i386_architecture && ensure_packages "${packages[@]}" wine32:i386
    else
        echo "Leaving out wine32 and the i386 architecture: $VEXA_NO_I386_REASON"
        ensure_packages "${packages[@]}"
    fi
}

# The Windows builds whose tests this run starts under Wine, each by its folder. CTest's fixture
# starts each prefix's server and ends it after the last test, but an interrupted CTest ends
# nothing; so an interruption ends their servers, and every program still running in their
# prefixes, which would otherwise outlive the run, through each build's own wine-run.sh.
VEXA_WINE_BUILDS=()
track_wine_build() {
    VEXA_WINE_BUILDS+=("$1")
}
stop_wine_servers() {
    local build
    for build in "${VEXA_WINE_BUILDS[@]}"; do
        [ ! -x "$build/wine-run.sh" ] || "$build/wine-run.sh" --stop-server || true
    done
}
trap 'echo "Interrupted: ending the Wine servers of this run"; stop_wine_servers; exit 130' \
    INT TERM HUP

VEXA_STAGES=()
VEXA_FAILED_STAGES=0
VEXA_START_SECONDS=$SECONDS

# Runs one stage, printing a line with its name and elapsed time; remembers its outcome.
run_stage() {
    local name=$1 started=$SECONDS status=0
    shift
    echo "==> $name"
    "$@" || status=$?
    local outcome=passed
    if [ "$status" -ne 0 ]; then
        outcome="FAILED (exit $status)"
        VEXA_FAILED_STAGES=$((VEXA_FAILED_STAGES + 1))
    fi
    VEXA_STAGES+=("$(printf '%-44s %-18s %4ds' "$name" "$outcome" $((SECONDS - started)))")
    echo "<== $name: $outcome after $((SECONDS - started))s (total $((SECONDS - VEXA_START_SECONDS))s)"
    return 0
}

# Records a stage that cannot run on this machine, with the reason: neither passed nor failed.
skip_stage() {
    local name=$1 reason=$2
    echo "==> $name: NOT RUN ($reason)"
    VEXA_STAGES+=("$(printf '%-44s NOT RUN: %s' "$name" "$reason")")
}

print_stage_summary() {
    echo
    echo "Summary"
    local line
    for line in "${VEXA_STAGES[@]}"; do echo "  $line"; done
}
