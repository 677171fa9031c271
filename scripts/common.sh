# Shared by build.sh and test.sh: package installation and stage bookkeeping.

# Installs the Debian packages that are not installed yet (needs root when any is missing).
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
    if [ -z "${VEXA_APT_UPDATED:-}" ]; then
        apt-get update -q >/dev/null
        VEXA_APT_UPDATED=1
    fi
    DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends "${missing[@]}" >/dev/null
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

# What cross-building for Windows and running the results under Wine and Xvfb needs.
ensure_windows_packages() {
    ensure_i386_architecture &&
        ensure_packages g++-mingw-w64-i686-posix wine wine32:i386 xvfb xauth googletest
}

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

print_stage_summary() {
    echo
    echo "Summary"
    local line
    for line in "${VEXA_STAGES[@]}"; do echo "  $line"; done
}
