#!/bin/sh
# Runs Windows programs under Wine in a throwaway prefix, with no prompt, dialog or debug output
# (VEXA_WINEDEBUG, when set, gives the debug channels to log instead).
# Usage: wine-run.sh ARCH PREFIX PROGRAM [ARGUMENT...]  runs PROGRAM, a file or a program of the
#                                                      prefix
#        wine-run.sh ARCH PREFIX --start-server         makes the prefix if needed and starts its
#                                                      server and Wine's own services, to stay
#                                                      until stopped
#        wine-run.sh ARCH PREFIX --stop-server          ends them and every program still running
#        wine-run.sh ARCH PREFIX --check                succeeds where Wine for ARCH can start
#                                                      here, and says why not otherwise; the
#                                                      prefix is left alone
# ARCH is win32 or win64: the prefix's architecture, which picks Wine's loader and server. It is
# all that the 32-bit and the 64-bit builds differ in here. Both are called directly, since the
# wine and wineserver commands prefer the 32-bit ones whenever wine32 is installed.
# The prefix is made on first use, within VEXA_WINE_PREFIX_TIMEOUT seconds (300 unless set), and
# made anew once the Wine packages are installed or upgraded after it: one made before may lack
# what they bring. A folder is only ever deleted when this script made it; any other folder that
# is not a ready prefix of ARCH is refused, so that a prefix of the user's own is never lost.
set -eu

die() {
    echo "wine-run.sh: $*" >&2
    exit 1
}

usage() {
    echo "usage: wine-run.sh win32|win64 PREFIX PROGRAM [ARGUMENT...] | --start-server |" \
        "--stop-server | --check" >&2
    exit 2
}
[ -n "${2:-}" ] && [ -n "${3:-}" ] || usage
case $1 in
    win32) loader=/usr/lib/wine/wine server=/usr/lib/wine/wineserver32 ;;
    win64) loader=/usr/lib/wine/wine64 server=/usr/lib/wine/wineserver64 ;;
    *) usage ;;
esac
WINEARCH=$1
case $2 in
    /*) WINEPREFIX=$2 ;;
    *) WINEPREFIX=$PWD/$2 ;;
esac
shift 2
# Programs that Wine starts by itself take the same loader and server.
WINELOADER=$loader
WINESERVER=$server
WINEDEBUG=${VEXA_WINEDEBUG:--all}
# No Mono or Gecko install prompt and no crash dialog: under Xvfb they would wait forever. No
# menu entries or file associations written into the user's desktop either.
WINEDLLOVERRIDES="mscoree,mshtml=;winedbg.exe,winemenubuilder.exe=d"
export WINEARCH WINEPREFIX WINELOADER WINESERVER WINEDEBUG WINEDLLOVERRIDES

make_timeout=${VEXA_WINE_PREFIX_TIMEOUT:-300}
# Made when this script creates the folder, before Wine writes anything into it; the ready
# marker holds the architecture once the prefix is complete. Earlier versions of this script
# wrote only the ready marker, so either one proves that the folder is the script's own.
made_marker=$WINEPREFIX/.vexa-made
ready_marker=$WINEPREFIX/.vexa-ready
# What wineboot said while making the prefix.
boot_log=$WINEPREFIX.boot.log

# Complete, of ARCH, and younger than every Wine package: dpkg writes a package's file list anew
# whenever it installs or upgrades the package.
prefix_ready() {
    [ "$(cat "$ready_marker" 2>/dev/null)" = "$WINEARCH" ] &&
        [ -z "$(find /var/lib/dpkg/info -maxdepth 1 -name '*wine*.list' -newer "$ready_marker" \
            -print -quit 2>/dev/null)" ]
}

# Wine's loader for ARCH is installed and starts: the 32-bit one is itself a 32-bit x86 program,
# which some kernels cannot run.
check_loader() {
    [ -x "$loader" ] || die "no Wine for $WINEARCH here ($loader is missing): setup installs" \
        "32-bit Wine only where 32-bit x86 programs run"
    local error
    error=$("$loader" --version 2>&1 >/dev/null) || die "$loader cannot start here: $error"
}

# Ends the prefix's server and every program in it, and waits until they are gone.
end_server() {
    "$server" -k 2>/dev/null || true
    timeout 30 "$server" -w || true
}

# Makes the prefix once, also when several programs start at the same time. A prefix of this
# script's own that is half made, of the other architecture or older than Wine is made anew.
ensure_prefix() {
    prefix_ready && return 0
    mkdir -p "$(dirname "$WINEPREFIX")"
    (
        flock -w $((2 * make_timeout)) 9
        prefix_ready && exit 0
        if [ -e "$WINEPREFIX" ] || [ -L "$WINEPREFIX" ]; then
            [ -f "$made_marker" ] || [ -f "$ready_marker" ] ||
                die "$WINEPREFIX exists and was not made by this script; it is left as it is." \
                    "Remove it yourself, or choose another prefix folder."
            end_server
            rm -rf "$WINEPREFIX"
        fi
        check_loader
        # A first attempt that fails at once is tried again from an empty folder: on a busy
        # machine wineboot has been seen to fail within a second, then to succeed. Its own words
        # of the last attempt are shown when both fail.
        for attempt in 1 2; do
            rm -rf "$WINEPREFIX" && mkdir "$WINEPREFIX" && : >"$made_marker"
            # The server's -w waits until every process of the prefix has ended, and the server
            # with them: Wine's own start-up work (the registry, the services) is then complete,
            # and no later program waits for it.
            if timeout "$make_timeout" "$loader" wineboot --init </dev/null >"$boot_log" 2>&1 &&
                timeout "$make_timeout" "$server" -w; then
                echo "$WINEARCH" >"$ready_marker"
                exit 0
            fi
            end_server
        done
        tail -n 5 "$boot_log" >&2
        die "cannot make a $WINEARCH prefix at $WINEPREFIX; is Wine installed (wine64, and" \
            "wine32 for win32) and can this machine run its programs?"
    ) 9>"$WINEPREFIX.lock"
}

case $1 in
    --check) check_loader ;;
    --start-server)
        ensure_prefix
        # A server from an earlier run ends by itself within seconds; a lingering one is ended.
        if ! timeout 30 "$server" -w; then
            "$server" -k || true
            timeout 30 "$server" -w
        fi
        # Every process started here gets /dev/null, never the caller's output: CTest waits for
        # its output pipes to close, and the services outlive this script.
        "$server" -p </dev/null >/dev/null 2>&1
        timeout 120 "$loader" cmd /c exit </dev/null >/dev/null 2>&1
        ;;
    --stop-server)
        [ -f "$made_marker" ] || [ -f "$ready_marker" ] || exit 0
        "$server" -k 2>/dev/null || true
        timeout 30 "$server" -w
        ;;
    *)
        ensure_prefix
        exec "$loader" "$@"
        ;;
esac
