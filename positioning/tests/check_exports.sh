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
        # A DLL exports only what its table lists.
        globals=
        ;;
    *)
        exported=$("$tool" -D --defined-only -C "$library" |
            awk '{ $1 = ""; $2 = ""; sub(/^  /, ""); print }' | sort -u)
        globals=$("$tool" --defined-only -C "$library" | awk '$2 ~ /^[A-Z]$/')
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
# Lists SYMBOLS under TITLE, and fails the check, when there are any.
report() {
    local title=$1 symbols=$2
    [ -n "$symbols" ] || return 0
    echo "$title:"
    sed 's/^/    /' <<<"$symbols"
    status=1
}
report "Exported but not part of the interface" "$(grep -v -E "$allowed" <<<"$exported")"
report "Internal to the library but exported" "$(grep -E "$forbidden" <<<"$exported")"
report "Missing exports" "$(grep -hv -E '^(#|$)' "$@" | grep -vxF -f <(echo "$exported"))"
# In an ELF object the matrix's copy and comparison are never global in the full symbol table
# either.
report "Internal symbols global in the library" "$(grep -E "$forbidden" <<<"$globals")"
if [ "$status" -eq 0 ]; then
    echo "exports ok: $(wc -l <<<"$exported") symbols"
fi
exit "$status"
