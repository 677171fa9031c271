#!/usr/bin/env bash
# Usage: check_comparison_calls.sh NM LIBRARY PROGRAM
# Fails when LIBRARY refers to any double comparison of the ARM run-time library (__aeabi_dcmp*,
# __aeabi_cdcmp*, __aeabi_cdrcmple), as an import or linked in: without floating-point hardware
# the library compares ordinates by their bit patterns. PROGRAM, which compares doubles itself,
# must refer to them, so that a check which finds nothing anywhere fails too.
set -euo pipefail
nm_tool=$1
library=$2
program=$3
comparisons='__aeabi_(dcmp|cdcmp|cdrcmple)'

# Every symbol, defined or not, of the full table and of the dynamic one.
symbols() {
    { "$nm_tool" -a "$1" 2>/dev/null || true; "$nm_tool" -D "$1"; } | awk '{ print $NF }' | sort -u
}

if ! grep -qE "^$comparisons" <<<"$(symbols "$program")"; then
    echo "$program refers to no run-time double comparison: the check cannot see one"
    exit 1
fi
found=$(grep -E "^$comparisons" <<<"$(symbols "$library")" || true)
if [ -n "$found" ]; then
    echo "$library calls the run-time library's double comparisons:"
    sed 's/^/    /' <<<"$found"
    exit 1
fi
echo "no run-time double comparison in $library"
