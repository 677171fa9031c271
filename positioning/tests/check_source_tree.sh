#!/usr/bin/env bash
# Usage: check_source_tree.sh COMPILER INCLUDE_DIR PROGRAM WORK_DIR UNIT...
# Builds the library as a device project does, from the source tree and without CMake: each UNIT
# compiled against INCLUDE_DIR alone, with no build folder on the include path, as C++98 with
# VEXA_BUILDING and hidden symbols into a shared library; then PROGRAM, a user's program, against
# the same headers, linked to that library and run.
set -euo pipefail
compiler=$1
include_dir=$2
program=$3
work=$4
shift 4

rm -rf "$work"
mkdir -p "$work"
flags=(-std=c++98 -pedantic-errors -Wall -Wextra -Werror -O2 -I "$include_dir")
objects=()
for unit in "$@"; do
    object=$work/$(basename "$unit" .cpp).o
    "$compiler" "${flags[@]}" -DVEXA_BUILDING -fPIC -fvisibility=hidden \
        -fvisibility-inlines-hidden -c "$unit" -o "$object"
    objects+=("$object")
done
"$compiler" -shared -o "$work/libVEXA.so" "${objects[@]}"
"$compiler" "${flags[@]}" -o "$work/program" "$program" -L "$work" -lVEXA -Wl,-rpath,"$work"
"$work/program"
