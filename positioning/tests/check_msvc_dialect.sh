#!/usr/bin/env bash
# Usage: check_msvc_dialect.sh CLANG INCLUDE_DIR LEGACY_DIR STAND_INS PROGRAM UNIT...
# The library as Microsoft's C++ compiler of the handheld's era sees it, as near as this machine
# gets: clang++ in Microsoft mode (-fms-compatibility-version=14.00 is Visual Studio 2005's
# compiler), C++98, warnings as errors, with no C headers but clang's own and the stand-ins in
# STAND_INS. For 32-bit x86, and for ARM with _WIN32_WCE defined as on the handheld, it compiles
# PROGRAM (a user's program over the public headers) and each UNIT of the library, with the
# comparison members that the shared library alone keeps, to objects, the units but those in
# LEGACY_DIR also as a program that compiles them in (VEXA_STATIC) does;
# clang 14 cannot lower Microsoft's exception handling on ARM, so there the objects are built
# with exceptions off and, with them on, the sources get the syntax check alone. Then
# STAND_INS/dialect_check.cpp asserts the records' layout and which comparisons each target's
# macros select, or a value forced on the command line; a value other than 0 or 1 must not
# compile.
set -uo pipefail
clang=$1
include_dir=$2
legacy_dir=$3
stand_ins=$4
program=$5
shift 5
units=("$@")

resources=$("$clang" -print-resource-dir) || exit 1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
dialect=(-fms-compatibility -fms-extensions -fms-compatibility-version=14.00 -std=c++98
    -nostdinc -isystem "$stand_ins" -isystem "$resources/include"
    -Wall -Wextra -Werror)
i686=(--target=i686-pc-windows-msvc)
handheld=(--target=armv7-pc-windows-msvc -D_WIN32_WCE=0x500)

failures=0
runs=0
# Runs a compile that must succeed (expect 0) or fail (expect 1), and says which went wrong.
compile() {
    local expect=$1 output status
    shift
    runs=$((runs + 1))
    output=$("$clang" "${dialect[@]}" "$@" -I "$include_dir" 2>&1)
    status=$?
    if [ $((status != 0)) -ne "$expect" ]; then
        echo "FAILED ($([ "$expect" -eq 0 ] && echo "does not compile" || echo "compiles")): $*"
        head -n 20 <<<"$output"
        failures=$((failures + 1))
    fi
}

for unit in "${units[@]}"; do
    object=$work/$(basename "$unit" .cpp).obj
    library=(-DVEXA_BUILDING -DVEXA_LEGACY_COMPARISONS)
    compile 0 "${i686[@]}" -O2 "${library[@]}" -c "$unit" -o "$object"
    compile 0 "${handheld[@]}" -O2 -DNDEBUG -fno-exceptions "${library[@]}" -c "$unit" -o "$object"
    compile 0 "${handheld[@]}" "${library[@]}" -fsyntax-only "$unit"
    [[ $unit == "$legacy_dir"/* ]] || compile 0 "${i686[@]}" -DVEXA_STATIC -fsyntax-only "$unit"
done
compile 0 "${i686[@]}" -O2 -c "$program" -o "$work/program.obj"
compile 0 "${handheld[@]}" -O2 -DNDEBUG -fno-exceptions -c "$program" -o "$work/program.obj"
compile 0 "${handheld[@]}" -fsyntax-only "$program"

# The target, the macros given, and the comparisons expected: bit patterns only for Windows CE on
# ARM, unless forced either way.
# dialect_check EXPECT SELECTED FLAG...: the check, told that the target and macros in FLAG...
# select bit patterns (SELECTED 1) or not (0), must compile (EXPECT 0) or must not (1).
dialect_check() {
    compile "$1" "${@:3}" -DVEXA_EXPECTED_COMPARE_BIT_PATTERNS="$2" -fsyntax-only \
        "$stand_ins/dialect_check.cpp"
}
dialect_check 0 0 "${i686[@]}"
dialect_check 0 0 "${i686[@]}" -D_WIN32_WCE=0x500
dialect_check 0 0 --target=armv7-pc-windows-msvc
dialect_check 0 1 "${handheld[@]}"
dialect_check 0 1 "${i686[@]}" -DVEXA_COMPARE_BIT_PATTERNS=1
dialect_check 0 0 "${handheld[@]}" -DVEXA_COMPARE_BIT_PATTERNS=0
dialect_check 1 1 "${handheld[@]}" -DVEXA_COMPARE_BIT_PATTERNS=2
# The same checks with the other expectation must fail, or they would hold whatever was selected.
dialect_check 1 1 "${i686[@]}"
dialect_check 1 0 "${handheld[@]}"

echo "$((runs - failures)) of $runs compilations as expected"
[ "$failures" -eq 0 ]
