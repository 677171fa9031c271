#!/usr/bin/env bash
# Usage: check_install_exe.sh BINARY OBJDUMP MAX_BYTES
# Fails unless the launcher is a GUI-subsystem program (no console window opens) of less than
# MAX_BYTES, since it ships alone beside the INI files.
set -euo pipefail
binary=$1
objdump_tool=$2
max_bytes=$3

subsystem=$("$objdump_tool" -p "$binary" | sed -n 's/^Subsystem[[:space:]]*//p')
case $subsystem in
    *"(Windows GUI)"*) ;;
    *) echo "$binary is not a GUI-subsystem program: Subsystem $subsystem"; exit 1 ;;
esac
size=$(stat -c %s "$binary")
if [ "$size" -ge "$max_bytes" ]; then
    echo "$binary has $size bytes, the limit is below $max_bytes"
    exit 1
fi
echo "GUI subsystem, $size bytes (limit below $max_bytes)"
