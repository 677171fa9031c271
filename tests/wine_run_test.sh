#!/usr/bin/env bash
# How the Wine runner treats the prefix folder it is given, here one of the test's own:
#   refuses_a_folder_it_did_not_make    such a folder is refused and left as it is, never deleted
#                                       and made anew; no Wine program runs
#   makes_anew_a_prefix_older_than_wine a prefix of its own made before the Wine packages were last
#                                       installed is made anew, and then kept
# Usage: wine_run_test.sh WINE_RUN ARCH FOLDER CASE   (WINE_RUN: cmake/wine-run.sh)
set -euo pipefail
runner=$1
arch=$2
prefix=$3

"$runner" "$arch" "$prefix" --stop-server
rm -rf "$prefix"
mkdir -p "$prefix"
case $4 in
    refuses_a_folder_it_did_not_make)
        touch "$prefix/own"
        "$runner" "$arch" "$prefix" cmd /c exit 2>"$prefix.err" && { echo "it ran a program"; exit 1; }
        cat "$prefix.err"
        [ -f "$prefix/own" ] && grep -q "was not made by this script" "$prefix.err"
        ;;
    makes_anew_a_prefix_older_than_wine)
        # Complete as far as its markers tell, and made before any package was installed.
        touch "$prefix/.vexa-made" "$prefix/stale"
        echo "$arch" >"$prefix/.vexa-ready"
        touch -d @0 "$prefix/.vexa-ready"
        trap '"$runner" "$arch" "$prefix" --stop-server' EXIT
        "$runner" "$arch" "$prefix" --start-server
        [ ! -e "$prefix/stale" ] || { echo "the prefix older than Wine was used as it was"; exit 1; }
        touch "$prefix/kept"
        "$runner" "$arch" "$prefix" cmd /c exit </dev/null
        [ -e "$prefix/kept" ] || { echo "the prefix made after Wine was made anew"; exit 1; }
        echo "made anew once, then kept"
        ;;
esac
