#!/usr/bin/env bash
# Counts the instructions of each row of the benchmark per operation, and writes them as a
# Markdown table with each row's ratio to its operation's inline baseline. Each row is run twice
# by the counter program, with REPETITIONS and with none; the difference is the repetitions'
# alone, so the start, the data and the answer check cancel out. The counts are exact and
# repeatable, whatever else the machine is doing.
#
#   count_instructions.sh [--check MARGIN] [--repetitions N] callgrind PROGRAM
#   count_instructions.sh [--check MARGIN] [--repetitions N] qemu-arm SYSROOT PROGRAM
#
# callgrind counts a native program; qemu-arm counts an ARM program from qemu's log of executed
# instructions, one at a time. With --check, it fails when a library row ("VEXA ...") costs more
# than MARGIN times its inline baseline.
set -euo pipefail

margin=
repetitions=20
while [ $# -gt 0 ]; do
    case $1 in
        --check) margin=$2; shift 2 ;;
        --repetitions) repetitions=$2; shift 2 ;;
        *) break ;;
    esac
done
tool=${1:-}
case $tool in
    callgrind) [ $# -eq 2 ] || tool= ;;
    qemu-arm) [ $# -eq 3 ] && sysroot=$2 || tool= ;;
esac
if [ -z "$tool" ]; then
    sed -n '8,9s/^#   /Usage: /p' "$0" >&2
    exit 2
fi
program=${!#}

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# Qemu logs each translated block as it runs; one instruction a block makes that one a line.
one_per_block=-singlestep
if [ "$tool" = qemu-arm ] && qemu-arm -h | grep -q -- -one-insn-per-tb; then
    one_per_block=-one-insn-per-tb
fi

# The instructions that the counter executes for one row and a number of repetitions.
count() {
    local row=$1 times=$2
    case $tool in
        callgrind)
            valgrind --tool=callgrind --callgrind-out-file=/dev/null "$program" "$row" "$times" \
                >/dev/null 2>"$work/log" || { cat "$work/log" >&2; return 1; }
            sed -n 's/^==[0-9]*== Collected : //p' "$work/log"
            ;;
        qemu-arm)
            qemu-arm -L "$sysroot" "$one_per_block" -d exec,nochain -D "$work/log" \
                "$program" "$row" "$times" >/dev/null || return 1
            grep -c '^Trace' "$work/log"
            rm -f "$work/log"
            ;;
    esac
}

list=$("$program" --list) || { echo "$program --list failed" >&2; exit 1; }
echo "| operation | implementation | instructions/op | ratio to baseline |"
echo "|---|---|---:|---:|"
# Rows are listed baseline first, so each ratio's denominator is known when it is needed.
declare -A per_op
failures=()
while IFS=$'\t' read -r row operations; do
    with=$(count "$row" "$repetitions") || { echo "$row: the counter failed" >&2; exit 1; }
    without=$(count "$row" 0) || { echo "$row: the counter failed" >&2; exit 1; }
    per_op[$row]=$(awk -v a="$with" -v b="$without" -v n="$repetitions" -v o="$operations" \
        'BEGIN { printf "%.4f", (a - b) / (n * o) }')
    baseline=${per_op[${row%%/*}/inline baseline]:-}
    ratio=
    if [ -n "$baseline" ]; then
        ratio=$(awk -v a="${per_op[$row]}" -v b="$baseline" 'BEGIN { printf "%.2f", a / b }')
        if [ -n "$margin" ] && [[ $row == */VEXA\ * ]] &&
            awk -v a="${per_op[$row]}" -v b="$baseline" -v m="$margin" 'BEGIN { exit !(a > b * m) }'; then
            failures+=("$row: ${per_op[$row]} instructions/op against ${baseline} for its inline baseline")
        fi
    fi
    printf '| %s | %s | %.1f | %s |\n' "${row%%/*}" "${row#*/}" "${per_op[$row]}" "$ratio"
done <<<"$list"

if [ ${#failures[@]} -gt 0 ]; then
    echo >&2
    echo "More than $margin times the inline baseline's instructions:" >&2
    printf '  %s\n' "${failures[@]}" >&2
    exit 1
fi
