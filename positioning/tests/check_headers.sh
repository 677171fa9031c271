#!/usr/bin/env bash
# Usage: check_headers.sh PROGRAM INCLUDE_DIRS UNITS COMPILER...
# Compiles PROGRAM against the public headers as users include them (-I, not -isystem) with strict
# warnings as errors, in C++11 to C++23 with each COMPILER (a command with its target options, such
# as "clang++ --target=arm-linux-gnueabi"); and each of UNITS, the library's sources, as a program
# that compiles them in does (VEXA_STATIC), in C++23. INCLUDE_DIRS and UNITS are colon-separated
# lists. Nothing is linked or run, so any target's compiler will do.
set -uo pipefail
program=$1
IFS=: read -r -a include_dirs <<<"$2"
IFS=: read -r -a units <<<"$3"
shift 3

includes=()
for dir in "${include_dirs[@]}"; do includes+=(-I "$dir"); done
strict=(-Wall -Wextra -Wpedantic -Wconversion -Wsign-conversion -Wold-style-cast
    -Wzero-as-null-pointer-constant -Wnon-virtual-dtor -Wshadow -Werror)

failures=0
runs=0
# compile SOURCE COMMAND...
compile() {
    local source=$1 output
    shift
    runs=$((runs + 1))
    if ! output=$("$@" "${includes[@]}" -O2 -c "$source" -o /dev/null 2>&1) || [ -n "$output" ]; then
        echo "FAILED: $*"
        echo "$output" | head -n 40
        failures=$((failures + 1))
    fi
}

for command in "$@"; do
    read -r -a compiler <<<"$command"
    if "${compiler[@]}" --version | grep -q clang; then
        # Everything clang can say, less C++98 compatibility, which the forms kept for C++11 and
        # later break by design.
        extra=(-Weverything -Wno-c++98-compat -Wno-c++98-compat-pedantic)
    else
        extra=(-Wuseless-cast)
    fi
    for standard in 11 14 17 20 23; do
        flag=-std=c++$standard
        # Compilers that predate the name know C++23 as c++2b.
        if [ "$standard" = 23 ] && ! "${compiler[@]}" "$flag" -x c++ -E /dev/null >/dev/null 2>&1; then
            flag=-std=c++2b
        fi
        compile "$program" "${compiler[@]}" "$flag" "${strict[@]}" "${extra[@]}"
    done
    for unit in "${units[@]}"; do
        compile "$unit" "${compiler[@]}" -DVEXA_STATIC "$flag" -Wall -Wextra -Wpedantic -Werror
    done
done

# The public headers declare what users call; the library's own code lives under vexa/detail/.
for dir in "${include_dirs[@]}"; do
    if grep -n "namespace detail" "$dir"/vexa/*.h; then
        echo "FAILED: the code above belongs under vexa/detail/"
        failures=$((failures + 1))
    fi
done

echo "$((runs - failures)) of $runs compilations clean"
[ "$failures" -eq 0 ]
