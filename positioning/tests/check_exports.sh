#!/usr/bin/env bash
# Usage: check_exports.sh LIBRARY EXPECTED_FILE [NM]
# Fails when the library exports anything outside its interface, or misses an expected symbol.
set -euo pipefail
library=$1
expected=$2
nm_tool=${3:-nm}

exported=$("$nm_tool" -D --defined-only -C "$library" | awk '{ $1 = ""; $2 = ""; sub(/^  /, ""); print }' | sort -u)

# The interface: the four plain functions, and the classes' members, vtables and type info.
allowed='^(CopyCoordinatePoint|EqualCoordinatePoint|CopyEnvelope|EqualEnvelope)$|^((vtable|typeinfo|typeinfo name) for )?CVEXA(CoordinatePoint|Envelope|Matrix)(::|$)'
status=0
unexpected=$(grep -v -E "$allowed" <<<"$exported" || true)
if [ -n "$unexpected" ]; then
    echo "Exported but not part of the interface:"
    sed 's/^/    /' <<<"$unexpected"
    status=1
fi
while IFS= read -r symbol; do
    [ -z "$symbol" ] && continue
    if ! grep -qxF -- "$symbol" <<<"$exported"; then
        echo "Missing export: $symbol"
        status=1
    fi
done < <(grep -v '^#' "$expected")
# The matrix's copy and comparison are the library's own: in no form in the dynamic table, and
# never global in the full symbol table.
internal='CopyMatrix|EqualMatrix'
leaked=$( ("$nm_tool" -D "$library"; "$nm_tool" -D -C "$library") | grep -E "$internal" || true)
global=$("$nm_tool" --defined-only -C "$library" | awk '$2 ~ /^[A-Z]$/' | grep -E "$internal" || true)
if [ -n "$leaked$global" ]; then
    echo "Internal symbols visible outside the library:"
    printf '%s\n' "$leaked" "$global" | grep -v '^$' | sed 's/^/    /'
    status=1
fi
if [ "$status" -eq 0 ]; then
    echo "exports ok: $(wc -l <<<"$exported") symbols"
fi
exit "$status"
