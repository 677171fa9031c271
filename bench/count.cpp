// Runs one benchmark row a given number of times, untimed, for an instruction counter (callgrind,
// or qemu's execution log) to count. A run of the same row with 0 repetitions does everything
// else the same way, so the difference of the two counts is the repetitions' alone. Needs no
// benchmark library, so that it builds for every target the library does.
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "rows.h"

namespace {

volatile long sink;

// Not inlined, so that every row runs from the same loop around one indirect call.
__attribute__((noinline)) long Repeat(const rows::Row& row, rows::Data& data, long repetitions) {
    long total = 0;
    for (long i = 0; i < repetitions; ++i) total += row.body(data);
    return total;
}

}  // namespace

// Usage: vexa_count --list (each row's name and operations per run, tab-separated), or
// vexa_count ROW REPETITIONS.
int main(int argc, char** argv) {
    if (argc == 2 && std::strcmp(argv[1], "--list") == 0) {
        for (const rows::Row& row : rows::kRows) std::printf("%s\t%d\n", row.name, row.operations);
        return 0;
    }
    char* end = nullptr;
    const long repetitions = argc == 3 ? std::strtol(argv[2], &end, 10) : -1;
    if (end == nullptr || *end != '\0' || repetitions < 0) {
        std::fprintf(stderr, "Usage: %s --list | ROW REPETITIONS\n", argv[0]);
        return 2;
    }
    for (const rows::Row& row : rows::kRows) {
        if (std::strcmp(row.name, argv[1]) != 0) continue;
        rows::Data data;
        const long answer = row.body(data);
        if (answer != row.expected) {
            std::fprintf(stderr, "%s: wrong result: %ld instead of %ld\n", row.name, answer,
                         row.expected);
            return 1;
        }
        sink = Repeat(row, data, repetitions);
        return 0;
    }
    std::fprintf(stderr, "No row named \"%s\"\n", argv[1]);
    return 2;
}
