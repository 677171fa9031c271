// Side-by-side timings of the library as a client sees it, a hand-written inline floor over the
// same records, and the libraries users would pick instead. Each row is reported as a ratio to
// its group's baseline from the same run, so machine noise cancels as far as it can.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <new>
#include <string>
#include <vector>

#include "rows.h"

namespace {

std::atomic<long> allocations{0};

}  // namespace

// The replacements pair malloc with free themselves; GCC only sees operator new meet free.
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"

void* operator new(std::size_t size) {
    allocations.fetch_add(1, std::memory_order_relaxed);
    if (void* memory = std::malloc(size ? size : 1)) return memory;
    throw std::bad_alloc();
}
void* operator new[](std::size_t size) { return operator new(size); }
void operator delete(void* memory) noexcept { std::free(memory); }
void operator delete[](void* memory) noexcept { std::free(memory); }
void operator delete(void* memory, std::size_t) noexcept { std::free(memory); }
void operator delete[](void* memory, std::size_t) noexcept { std::free(memory); }

namespace {

rows::Data& TheData() {
    static rows::Data data;
    return data;
}

// Every benchmark checks its implementation against the expected answer before it times it.
bool Expect(benchmark::State& state, long actual, long expected) {
    if (actual == expected) return true;
    state.SkipWithError(
        ("wrong result: " + std::to_string(actual) + " instead of " + std::to_string(expected))
            .c_str());
    return false;
}

void Measure(benchmark::State& state, const rows::Row& row) {
    rows::Data& d = TheData();
    if (!Expect(state, row.body(d), row.expected)) return;
    const long allocations_before = allocations.load();
    for (auto _ : state) {
        long result = row.body(d);
        benchmark::DoNotOptimize(result);
    }
    const long allocations_made = allocations.load() - allocations_before;
    state.counters["ops"] = row.operations;
    state.counters["allocs"] = static_cast<double>(allocations_made);
}

// A row's target: at most max_ratio times the median of the row named by against (below it,
// for 1.0). cost_of_design says why the row cannot match its reference when that is so by
// design rather than by the machine's noise; it is printed beside a miss.
struct Target {
    const char* row;
    const char* against;
    double max_ratio;
    const char* cost_of_design;
};

const char kRunTimeDimension[] =
    "Boost.Geometry's dimension is a template argument, so its test is the ordinate comparisons "
    "alone; over these records, where a point or a corner may hold 0 to 3 ordinates, the test "
    "also reads the point's size, takes the smaller with the corner's and checks it before each "
    "dimension: in 2D nearly twice the instructions of Boost's four comparisons, in 3D half as "
    "many again as its six";

const Target kTargets[] = {
    {"point_in_box_3d/VEXA PointInEnveloppe", "point_in_box_3d/inline baseline", 1.15, nullptr},
    {"point_in_box_3d/VEXA PointInEnveloppe", "point_in_box_3d/Boost.Geometry covered_by", 1.25,
     kRunTimeDimension},
    {"point_in_box_2d/VEXA PointInEnveloppe", "point_in_box_2d/inline baseline", 1.15, nullptr},
    {"point_in_box_2d/VEXA PointInEnveloppe", "point_in_box_2d/Boost.Geometry covered_by", 1.25,
     kRunTimeDimension},
    {"point_in_box_2d/VEXA PointInEnveloppe", "point_in_box_2d/GEOS Envelope::covers", 1.0,
     nullptr},
    {"point_equal/VEXA operator==", "point_equal/inline baseline", 1.15, nullptr},
    {"point_equal/VEXA EqualCoordinatePoint", "point_equal/inline baseline", 1.15, nullptr},
    {"envelope_equal/VEXA operator==", "envelope_equal/inline baseline", 1.15, nullptr},
    {"envelope_equal/VEXA operator==", "envelope_equal/GEOS Envelope::equals", 1.0, nullptr},
    {"point_copy/VEXA record assignment", "point_copy/inline baseline", 1.15, nullptr},
    {"point_copy/VEXA CopyCoordinatePoint", "point_copy/inline baseline", 1.15, nullptr},
    {"matrix_whole_copy/VEXA copy assignment", "matrix_whole_copy/inline baseline", 1.2, nullptr},
    {"matrix_record_copy/VEXA record assignment", "matrix_record_copy/inline baseline", 1.1,
     nullptr},
    {"matrix_equal/VEXA operator==", "matrix_equal/inline baseline", 1.1, nullptr},
    {"matrix_construction/VEXA CVEXAMatrix()", "matrix_construction/inline baseline", 1.1, nullptr},
};

struct Row {
    std::vector<double> ns_per_op;
    double allocations_per_op = 0;
    bool failed = false;

    bool Measured() const { return !failed && !ns_per_op.empty(); }
    double Min() const { return *std::min_element(ns_per_op.begin(), ns_per_op.end()); }
    double Max() const { return *std::max_element(ns_per_op.begin(), ns_per_op.end()); }
    double Median() const {
        std::vector<double> sorted = ns_per_op;
        std::sort(sorted.begin(), sorted.end());
        const std::size_t n = sorted.size();
        return n % 2 ? sorted[n / 2] : (sorted[n / 2 - 1] + sorted[n / 2]) / 2;
    }
};

// Keeps the console output and collects every repetition for the ratio tables.
class TableReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            if (run.run_type != Run::RT_Iteration) continue;
            Row& row = rows_[run.run_name.str()];
            if (run.error_occurred) {
                row.failed = true;
                continue;
            }
            const double ops = run.counters.at("ops");
            row.ns_per_op.push_back(run.GetAdjustedRealTime() / ops);
            // The largest of the repetitions, so that an allocation in any of them shows.
            const double iterations = static_cast<double>(run.iterations);
            row.allocations_per_op =
                std::max(row.allocations_per_op, run.counters.at("allocs") / (iterations * ops));
        }
    }

    bool failed() const {
        for (const auto& entry : rows_)
            if (entry.second.failed) return true;
        return false;
    }

    void WriteTable(std::FILE* out) const {
        std::fprintf(out,
                     "| operation | implementation | median ns/op | spread (min to max) | "
                     "ratio to baseline | heap allocations/op |\n");
        std::fprintf(out, "|---|---|---:|---:|---:|---:|\n");
        for (const rows::Row& entry : rows::kRows) {
            const Row* row = Find(entry.name);
            if (row == nullptr) continue;
            const std::string name = entry.name;
            const std::string group = name.substr(0, name.find('/'));
            const std::string implementation = name.substr(name.find('/') + 1);
            if (!row->Measured()) {
                std::fprintf(out, "| %s | %s | failed | | | |\n", group.c_str(),
                             implementation.c_str());
                continue;
            }
            const Row* baseline = Find(BaselineOf(name));
            char ratio[32] = "";
            if (baseline != nullptr && baseline->Measured())
                std::snprintf(ratio, sizeof ratio, "%.2f", row->Median() / baseline->Median());
            std::fprintf(out, "| %s | %s | %.3f | %.3f to %.3f | %s | %g |\n", group.c_str(),
                         implementation.c_str(), row->Median(), row->Min(), row->Max(), ratio,
                         row->allocations_per_op);
        }
    }

    // A miss is told apart from noise by the spreads: when the row's fastest repetition is no
    // slower than its reference's slowest, five repetitions cannot separate the two.
    void WriteTargets(std::FILE* out) const {
        std::fprintf(out,
                     "| row | against | target | measured | | why, when missed |\n"
                     "|---|---|---:|---:|---|---|\n");
        for (const Target& target : kTargets) {
            const Row* row = Find(target.row);
            const Row* against = Find(target.against);
            if (row == nullptr || against == nullptr || !row->Measured() || !against->Measured())
                continue;
            const bool below = target.max_ratio == 1.0;
            const double ratio = row->Median() / against->Median();
            const bool met = below ? ratio < target.max_ratio : ratio <= target.max_ratio;
            std::string why;
            if (!met) {
                char spreads[160];
                const bool overlap = row->Min() <= against->Max();
                std::snprintf(spreads, sizeof spreads,
                              overlap ? "within the noise: the spreads overlap (fastest %.3f ns, "
                                        "reference's slowest %.3f ns)"
                                      : "the spreads do not overlap (fastest %.3f ns, "
                                        "reference's slowest %.3f ns)",
                              row->Min(), against->Max());
                why = spreads;
                // Against a peer, the floor for these records shows what any code over them pays.
                const Row* floor = Find(BaselineOf(target.row));
                if (floor != nullptr && floor != against && floor->Measured()) {
                    char floor_ratio[96];
                    std::snprintf(floor_ratio, sizeof floor_ratio,
                                  "; the inline baseline is at %.2f of the reference",
                                  floor->Median() / against->Median());
                    why += floor_ratio;
                }
                if (target.cost_of_design != nullptr)
                    why += std::string("; ") + target.cost_of_design;
            }
            std::fprintf(out, "| %s | %s | %s %.2f | %.2f | %s | %s |\n", target.row,
                         target.against, below ? "below" : "at most", target.max_ratio, ratio,
                         met ? "met" : "missed", why.c_str());
        }
    }

private:
    // The inline baseline of the operation a row belongs to (the part of its name before '/').
    static std::string BaselineOf(const std::string& name) {
        return name.substr(0, name.find('/')) + "/inline baseline";
    }

    const Row* Find(const std::string& name) const {
        const auto found = rows_.find(name);
        return found == rows_.end() ? nullptr : &found->second;
    }

    std::map<std::string, Row> rows_;
};

}  // namespace

// Usage: vexa_bench [--table=FILE] [benchmark flags]. The table goes to FILE as Markdown.
int main(int argc, char** argv) {
    std::string table_path;
    std::vector<char*> arguments;
    for (int i = 0; i < argc; ++i) {
        if (std::strncmp(argv[i], "--table=", 8) == 0) {
            table_path = argv[i] + 8;
        } else {
            arguments.push_back(argv[i]);
        }
    }
    int count = static_cast<int>(arguments.size());
    benchmark::Initialize(&count, arguments.data());
    for (const rows::Row& row : rows::kRows) benchmark::RegisterBenchmark(row.name, Measure, row);
    TheData();
    TableReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    if (!table_path.empty()) {
        std::FILE* out = std::fopen(table_path.c_str(), "w");
        if (out == nullptr) {
            std::perror(table_path.c_str());
            return 1;
        }
        reporter.WriteTable(out);
        std::fprintf(out, "\nTargets, as median ratios in the same run:\n\n");
        reporter.WriteTargets(out);
        std::fclose(out);
    }
    return reporter.failed() ? 1 : 0;
}
