#!/usr/bin/env bash
# Usage: check_pe_format.sh BINARY OBJDUMP FORMAT
# Fails unless a Windows binary is a PE image of FORMAT (pei-i386 for the shipped 32-bit build,
# pei-x86-64 for the 64-bit test build), so that a build with the wrong compiler never passes
# for the deliverable.
set -euo pipefail
binary=$1
objdump_tool=$2
expected=$3

format=$("$objdump_tool" -f "$binary" | sed -n 's/.*file format //p')
if [ "$format" != "$expected" ]; then
    echo "$binary has the file format [$format], expected $expected"
    exit 1
fi
echo "file format $format"
