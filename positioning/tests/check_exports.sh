#!/usr/bin/env bash
# Usage: check_exports.sh LIBRARY TOOL EXPECTED_FILE...
# Fails when the library exports anything outside its interface, or misses an expected symbol.
# TOOL reads the export table: nm for an ELF shared object, objdump for a DLL.
set -euo pipefail
library=$1
tool=$2
shift 2

case $library in
    *.dll | *.DLL)
                # The names as callers link to them, so decorated forms (_Name, Name@8) stay visible.
        exported=$("$tool" -p "$library" |
            sed -n '/^\[Ordinal\/Name Pointer\] Table/,/^$/{s/^[[:space:]]*\[ *[0-9]*\] //p}' |
            c++filt -n | sort -u)
        ;;
    *)
        nm_tool=$tool
        exported=$("$nm_tool" -D --defined-only -C "$library" |
            awk '{ $1 = ""; $2 = ""; sub(/^  /, ""); print }' | sort -u)
        ;;
esac
if [ -z "$exported" ]; then
    echo "No exports found in $library"
    exit 1
fi

# The interface: the four plain functions, and the classes' members, vtables and type info.
allowed='^(CopyCoordinatePoint|EqualCoordinatePoint|CopyEnvelope|EqualEnvelope)$|^((vtable|typeinfo|typeinfo name) for )?CVEXA(CoordinatePoint|Envelope|Matrix)(::|$)'
# The matrix's own copy and comparison stay internal, whatever their form.
forbidden='CopyMatrix|EqualMatrix'
status=0
unexpected=$(grep -v -E "$allowed" <<<"$exported" || true)
if [ -n "$unexpected" ]; then
    echo "Exported but not part of the interface:"
    sed 's/^/    /' <<<"$unexpected"
    status=1
fi
internal=$(grep -E "$forbidden" <<<"$exported" || true)
if [ -n "$internal" ]; then
    echo "Internal to the library but exported:"
    sed 's/^/    /' <<<"$internal"
    status=1
fi
while IFS= read -r symbol; do
    [ -z "$symbol" ] && continue
    if ! grep -qxF -- "$symbol" <<<"$exported"; then
        echo "Missing export: $symbol"
        status=1
    fi
done < <(cat "$@" | grep -v '^#')
# The matrix's copy and comparison are the library's own: in an ELF object never global in the
# full symbol table either (a DLL exports only what its table lists, checked above).
if [ -n "${nm_tool:-}" ]; then
    leaked=$("$nm_tool" --defined-only -C "$library" | awk '$2 ~ /^[A-Z]$/' | grep -E "$forbidden" || true)
    if [ -n "$leaked" ]; then
        echo "Internal symbols global in the library:"
        sed 's/^/    /' <<<"$leaked"
        status=1
    fi
fi
if [ "$status" -eq 0 ]; then
    echo "exports ok: $(wc -l <<<"$exported") symbols"
fi
exit "$status"
