#!/usr/bin/env bash
# Usage: check_imports.sh BINARY [OBJDUMP]
# Fails when a Windows binary imports a DLL that is not part of every Windows desktop, 32-bit or
# 64-bit, such as a MinGW runtime DLL (libstdc++-6.dll, libgcc_s_*.dll, libwinpthread-1.dll),
# which would have to ship beside it.
set -euo pipefail
binary=$1
objdump_tool=${2:-objdump}

imports=$("$objdump_tool" -p "$binary" | sed -n 's/^[[:space:]]*DLL Name: //p' | sort -uf)
if [ -z "$imports" ]; then
    echo "No imports found in $binary"
    exit 1
fi

# Win32 itself and the system C runtime, all four known DLLs, which Windows loads from the system
# folder alone, never from beside the program. The universal C runtime (ucrtbase,
# api-ms-win-crt-*) is left out: the desktops that sync handhelds predate it.
allowed='^(kernel32|user32|advapi32|msvcrt)\.dll$'
unexpected=$(grep -viE "$allowed" <<<"$imports" || true)
if [ -n "$unexpected" ]; then
    echo "Imports beyond the system DLLs:"
    sed 's/^/    /' <<<"$unexpected"
    exit 1
fi
echo "imports ok: $(tr '\n' ' ' <<<"$imports")"
