#!/bin/sh
# Runs Windows programs under Wine in a throwaway prefix, with no prompt, dialog or debug output.
# Usage: wine-run.sh PREFIX PROGRAM [ARGUMENT...]  runs PROGRAM, a file or a program of the prefix
#        wine-run.sh PREFIX --start-server          starts the prefix's server and Wine's own
#                                                   services, to stay until stopped
#        wine-run.sh PREFIX --stop-server           ends them and every program still running
# The prefix is made on first use, so it never predates the installed Wine packages.
set -eu

case ${1:?usage: wine-run.sh PREFIX PROGRAM [ARGUMENT...] | --start-server | --stop-server} in
    /*) WINEPREFIX=$1 ;;
    *) WINEPREFIX=$PWD/$1 ;;
esac
shift
WINEARCH=win32
WINEDEBUG=-all
# No Mono or Gecko install prompt, and no crash dialog: under Xvfb it would wait forever.
WINEDLLOVERRIDES="mscoree,mshtml=;winedbg.exe=d"
export WINEPREFIX WINEARCH WINEDEBUG WINEDLLOVERRIDES

ready_marker=$WINEPREFIX/.vexa-ready

# Makes the prefix once, also when several programs start at the same time. A prefix left half
# made by an interrupted run is made anew.
ensure_prefix() {
    [ -f "$ready_marker" ] && return 0
    mkdir -p "$(dirname "$WINEPREFIX")"
    (
        flock -w 600 9
        [ -f "$ready_marker" ] && exit 0
        if [ -d "$WINEPREFIX" ]; then
            wineserver -k 2>/dev/null || true
            rm -rf "$WINEPREFIX"
        fi
        if ! timeout 300 wine cmd /c exit </dev/null >/dev/null 2>&1; then
            wineserver -k 2>/dev/null || true
            echo "wine-run.sh: cannot run 32-bit programs in a new prefix at $WINEPREFIX;" \
                "are wine and wine32 installed?" >&2
            exit 1
        fi
        touch "$ready_marker"
    ) 9>"$WINEPREFIX.lock"
}

case ${1:-} in
    --start-server)
        ensure_prefix
        # A server from an earlier run, such as the test listing at build time, ends by itself
        # within seconds; a lingering one is ended.
        if ! timeout 30 wineserver -w; then
            wineserver -k || true
            timeout 30 wineserver -w
        fi
        # Every process started here gets /dev/null, never the caller's output: CTest waits for
        # its output pipes to close, and the services outlive this script.
        wineserver -p </dev/null >/dev/null 2>&1
        timeout 120 wine cmd /c exit </dev/null >/dev/null 2>&1
        ;;
    --stop-server)
        [ -d "$WINEPREFIX" ] || exit 0
        wineserver -k 2>/dev/null || true
        timeout 30 wineserver -w
        ;;
    "")
        echo "usage: wine-run.sh PREFIX PROGRAM [ARGUMENT...] | --start-server | --stop-server" >&2
        exit 2
        ;;
    *)
        ensure_prefix
        exec wine "$@"
        ;;
esac
