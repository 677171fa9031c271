// Runs every benchmark row untimed, for an instruction counter to count: callgrind, or qemu's
// log of executed instructions. Each row runs twice, with REPETITIONS and with none, each time
// between two calls of vexa_count_boundary; the two runs differ in the repetitions alone, so the
// difference of their counts is exactly the repetitions' instructions. Needs no benchmark
// library, so that it builds for every target the library does.
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "rows.h"

// The mark between which the counters count. noipa keeps every call a real call to this one
// function, which no other code calls.
extern "C" __attribute__((noipa)) void vexa_count_boundary() { asm volatile(""); }

namespace {

volatile long sink;

__attribute__((noipa)) long Counted(const rows::Row& row, rows::Data& data, long repetitions) {
    vexa_count_boundary();
    long total = 0;
    for (long i = 0; i < repetitions; ++i) total += row.body(data);
    vexa_count_boundary();
    return total;
}

}  // namespace

// Usage: vexa_count --list (each row's name and its operations per repetition, tab-separated),
// or vexa_count REPETITIONS, which checks every row's answer, then runs each row with REPETITIONS
// and with none, in the order of the list.
int main(int argc, char** argv) {
    if (argc == 2 && std::strcmp(argv[1], "--list") == 0) {
        for (const rows::Row& row : rows::kRows) std::printf("%s\t%d\n", row.name, row.operations);
        return 0;
    }
    char* end = nullptr;
    const long repetitions = argc == 2 ? std::strtol(argv[1], &end, 10) : -1;
    if (end == nullptr || *end != '\0' || repetitions < 0) {
        std::fprintf(stderr, "Usage: %s --list | REPETITIONS\n", argv[0]);
        return 2;
    }
    rows::Data data;
    int wrong = 0;
    for (const rows::Row& row : rows::kRows) {
        const long answer = row.body(data);
        if (answer == row.expected) continue;
        std::fprintf(stderr, "%s: wrong result: %ld instead of %ld\n", row.name, answer,
                     row.expected);
        ++wrong;
    }
    if (wrong != 0) return 1;
    for (const rows::Row& row : rows::kRows) {
        sink = Counted(row, data, repetitions);
        sink = Counted(row, data, 0);
    }
    return 0;
}
