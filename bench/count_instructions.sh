#!/usr/bin/env bash
# Counts the instructions of each benchmark row per operation, and writes them as a Markdown
# table with each row's ratio to its operation's inline baseline. The counter program runs each
# row with REPETITIONS and with none, each between two calls of a boundary function; the two
# runs differ in the repetitions alone, so the difference of their counts is exactly the
# repetitions' instructions, and the same on every run whatever else the machine is doing.
#
#   count_instructions.sh [--check [OPERATION=]MARGIN]... [--repetitions N] callgrind PROGRAM
#   count_instructions.sh [--check [OPERATION=]MARGIN]... [--repetitions N] qemu-arm SYSROOT PROGRAM
#
# callgrind counts a native program, dumping its counts at each boundary; qemu-arm counts an ARM
# program from qemu's log of the instructions it executes, one at a time. With --check, it fails
# when a library row ("VEXA ...") costs more than MARGIN times its inline baseline; a MARGIN named
# for an OPERATION (point_equal=0.40) holds for that operation's rows instead.
set -euo pipefail

margin=
operation_margins=
repetitions=4
while [ $# -gt 0 ]; do
    case $1 in
        --check)
            case $2 in
                *=*) operation_margins="$operation_margins $2" ;;
                *) margin=$2 ;;
            esac
            shift 2
            ;;
        --repetitions) repetitions=$2; shift 2 ;;
        *) break ;;
    esac
done
tool=${1:-}
case $tool in
    callgrind) [ $# -eq 2 ] || tool= ;;
    qemu-arm) [ $# -eq 3 ] && sysroot=$2 || tool= ;;
    *) tool= ;;
esac
if [ -z "$tool" ]; then
    sed -n 's/^#   \(count_instructions.sh\)/Usage: \1/p' "$0" >&2
    exit 2
fi
program=${!#}
boundary=vexa_count_boundary
run=("$program")
[ "$tool" = qemu-arm ] && run=(qemu-arm -L "$sysroot" "$program")

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# The instructions up to each call of the boundary since the one before, one count a line: the
# start, then for each row its repetitions, the step between, its run without repetitions, and
# the step to the next row (or the end).
segments() {
    case $tool in
        callgrind)
            valgrind --tool=callgrind --dump-before="$boundary" \
                --callgrind-out-file="$work/callgrind" "$program" "$repetitions" \
                >/dev/null 2>"$work/log" || { cat "$work/log" >&2; return 1; }
            local dump=1
            while [ -f "$work/callgrind.$dump" ]; do
                sed -n 's/^totals: //p' "$work/callgrind.$dump"
                dump=$((dump + 1))
            done
            ;;
        qemu-arm)
            # One instruction a translated block, each logged as it runs; the boundary's entry is
            # the first instruction logged under its name.
            local one_per_block=-singlestep
            grep -q -- -one-insn-per-tb <<<"$(qemu-arm -h)" && one_per_block=-one-insn-per-tb
            mkfifo "$work/log"
            awk -v name="$boundary" '
                $NF == name { split($4, at, "/"); if (entry == "") entry = at[2]
                              if (at[2] == entry) { print count; count = 0 } }
                /^Trace/ { count++ }' "$work/log" >"$work/segments" &
            local reader=$!
            qemu-arm -L "$sysroot" "$one_per_block" -d exec,nochain -D "$work/log" \
                "$program" "$repetitions" >/dev/null || { wait "$reader"; return 1; }
            wait "$reader"
            cat "$work/segments"
            ;;
    esac
}

rows=$("${run[@]}" --list) || { echo "$program --list failed" >&2; exit 1; }
counts=$(segments) || { echo "$program: the counted run failed" >&2; exit 1; }
expected=$((4 * $(wc -l <<<"$rows")))
if [ "$(wc -l <<<"$counts")" -ne "$expected" ]; then
    echo "$program: $(wc -l <<<"$counts") counts where $expected were expected" >&2
    exit 1
fi

# Rows come baseline first, so each ratio's denominator is known when it is needed.
paste <(printf '%s\n' "$rows") <(sed -n '2~4p' <<<"$counts") <(sed -n '4~4p' <<<"$counts") |
    awk -F '\t' -v n="$repetitions" -v margin="$margin" -v named="$operation_margins" '
        BEGIN {
            split(named, pairs, " ")
            for (i in pairs) { split(pairs[i], pair, "="); limit[pair[1]] = pair[2] }
            print "| operation | implementation | instructions/op | ratio to baseline |"
            print "|---|---|---:|---:|"
        }
        {
            split($1, name, "/")
            per_op = ($3 - $4) / (n * $2)
            if (name[2] == "inline baseline") baseline[name[1]] = per_op
            ratio = name[1] in baseline ? sprintf("%.2f", per_op / baseline[name[1]]) : ""
            printf "| %s | %s | %.1f | %s |\n", name[1], name[2], per_op, ratio
            allowed = name[1] in limit ? limit[name[1]] : margin
            if (allowed != "" && name[2] ~ /^VEXA / && per_op > allowed * baseline[name[1]])
                failed = failed sprintf("  %s: %.1f instructions/op, more than %s times %.1f\n",
                                        $1, per_op, allowed, baseline[name[1]])
        }
        END {
            if (failed != "") {
                printf "\nAbove the margin of the inline baseline:\n%s", failed > "/dev/stderr"
                exit 1
            }
        }'
