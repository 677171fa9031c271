// Side-by-side timings of the library as a client sees it, a hand-written inline floor over the
// same records, and the libraries users would pick instead. Each row is reported as a ratio to
// its group's baseline from the same run, so machine noise cancels as far as it can.
#include <vexa/vexa.h>

#include <benchmark/benchmark.h>
#include <geos/geom/Envelope.h>

#include <Eigen/Core>
#include <algorithm>
#include <atomic>
#include <boost/geometry.hpp>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <new>
#include <random>
#include <string>
#include <vector>

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

namespace bg = boost::geometry;
using BoostPoint2 = bg::model::point<double, 2, bg::cs::cartesian>;
using BoostPoint3 = bg::model::point<double, 3, bg::cs::cartesian>;
using BoostBox2 = bg::model::box<BoostPoint2>;
using BoostBox3 = bg::model::box<BoostPoint3>;
using EigenMatrix = Eigen::Matrix<double, Eigen::Dynamic, 3, Eigen::RowMajor, 100, 3>;

constexpr int kPointCount = 1024;
constexpr int kPairCount = 512;

// The hand-written floor: the library's semantics (closed box, NaN never inside, only the
// dimensions both sizes cover, exact equality) written inline over the same records, each slot
// guarded by the size rather than looped over.
inline bool InlineInBox(const PT_Envelope& box, const PT_CoordinatePoint& point) {
    const PT_Int32 n = point.size < box.minCP.size ? point.size : box.minCP.size;
    const PT_CoordinatePoint& lower = box.minCP;
    const PT_CoordinatePoint& upper = box.maxCP;
    if (n > 0 && !(point.ord[0] >= lower.ord[0] && point.ord[0] <= upper.ord[0])) return false;
    if (n > 1 && !(point.ord[1] >= lower.ord[1] && point.ord[1] <= upper.ord[1])) return false;
    if (n > 2 && !(point.ord[2] >= lower.ord[2] && point.ord[2] <= upper.ord[2])) return false;
    return true;
}

inline bool InlineEqual(const PT_CoordinatePoint& a, const PT_CoordinatePoint& b) {
    const PT_Int32 n = a.size;
    if (n != b.size) return false;
    if (n > 0 && a.ord[0] != b.ord[0]) return false;
    if (n > 1 && a.ord[1] != b.ord[1]) return false;
    if (n > 2 && a.ord[2] != b.ord[2]) return false;
    return true;
}

inline void InlineCopy(PT_CoordinatePoint& to, const PT_CoordinatePoint& from) {
    const PT_Int32 n = from.size;
    if (n > 3) return;
    to.size = n;
    if (n > 0) to.ord[0] = from.ord[0];
    if (n > 1) to.ord[1] = from.ord[1];
    if (n > 2) to.ord[2] = from.ord[2];
}

inline void InlineWholeCopy(PT_Matrix& to, const PT_Matrix& from) {
    for (long row = 0; row < 100; ++row) {
        to.elt[row].ord[0] = from.elt[row].ord[0];
        to.elt[row].ord[1] = from.elt[row].ord[1];
        to.elt[row].ord[2] = from.elt[row].ord[2];
        to.elt[row].size = from.elt[row].size;
    }
    to.rowCount = from.rowCount;
}

inline void InlineMatrixCopy(PT_Matrix& to, const PT_Matrix& from) {
    const PT_Int32 rows = from.rowCount;
    if (rows > 100) return;
    to.rowCount = rows;
    for (long row = 0; row < rows; ++row) InlineCopy(to.elt[row], from.elt[row]);
}

inline bool InlineMatrixEqual(const PT_Matrix& a, const PT_Matrix& b) {
    if (a.rowCount != b.rowCount) return false;
    const long rows = a.rowCount < 100 ? a.rowCount : 100;
    for (long row = 0; row < rows; ++row) {
        if (!InlineEqual(a.elt[row], b.elt[row])) return false;
    }
    return true;
}

struct Data {
    CVEXAEnvelope box;
    std::vector<CVEXACoordinatePoint> points3;
    std::vector<CVEXACoordinatePoint> points2;
    std::vector<CVEXACoordinatePoint> left;
    std::vector<CVEXACoordinatePoint> right;
    std::vector<CVEXAEnvelope> left_boxes;
    std::vector<CVEXAEnvelope> right_boxes;
    CVEXAMatrix matrix_a;
    CVEXAMatrix matrix_b;
    BoostBox2 boost_box2;
    BoostBox3 boost_box3;
    std::vector<BoostPoint2> boost_points2;
    std::vector<BoostPoint3> boost_points3;
    geos::geom::Envelope geos_box;
    std::vector<geos::geom::Envelope> geos_left;
    std::vector<geos::geom::Envelope> geos_right;
    EigenMatrix eigen_a;
    EigenMatrix eigen_b;

    Data()
        : box(CVEXACoordinatePoint(0.0, 0.0, 0.0), CVEXACoordinatePoint(100.0, 100.0, 100.0)),
          matrix_a(100, 3),
          matrix_b(100, 3),
          boost_box2(BoostPoint2(0, 0), BoostPoint2(100, 100)),
          boost_box3(BoostPoint3(0, 0, 0), BoostPoint3(100, 100, 100)),
          geos_box(0.0, 100.0, 0.0, 100.0),
          eigen_a(100, 3),
          eigen_b(100, 3) {
        std::mt19937 random(20261209);
        std::uniform_real_distribution<double> inside(1.0, 99.0);
        std::uniform_real_distribution<double> outside(101.0, 200.0);
        // Half inside; the outside half leaves the box in a random dimension, so the early
        // exit is not always taken at the first test.
        for (int i = 0; i < kPointCount; ++i) {
            double ord[3] = {inside(random), inside(random), inside(random)};
            if (i % 2 == 1) ord[random() % 3] = outside(random);
            points3.push_back(CVEXACoordinatePoint(ord[0], ord[1], ord[2]));
            if (i % 2 == 1 && ord[2] > 100.0) ord[random() % 2] = outside(random);
            points2.push_back(CVEXACoordinatePoint(ord[0], ord[1]));
        }
        std::shuffle(points3.begin(), points3.end(), random);
        std::shuffle(points2.begin(), points2.end(), random);
        for (const CVEXACoordinatePoint& p : points3) boost_points3.emplace_back(p[0], p[1], p[2]);
        for (const CVEXACoordinatePoint& p : points2) boost_points2.emplace_back(p[0], p[1]);

        for (int i = 0; i < kPairCount; ++i) {
            const CVEXACoordinatePoint a(inside(random), inside(random), inside(random));
            CVEXACoordinatePoint b = a;
            if (i % 2 == 1) b[random() % 3] += 1.0;
            left.push_back(a);
            right.push_back(b);
            // Two-dimensional, as GEOS envelopes are.
            left_boxes.push_back(CVEXAEnvelope(CVEXACoordinatePoint(a[0L], a[1L]),
                                               CVEXACoordinatePoint(a[0L] + 5, a[1L] + 5)));
            CVEXAEnvelope other = left_boxes.back();
            if (i % 2 == 1) static_cast<PT_Envelope*>(other)->maxCP.ord[random() % 2] += 1.0;
            right_boxes.push_back(other);
            geos_left.emplace_back(a[0], a[0] + 5, a[1], a[1] + 5);
            const PT_Envelope* o = other;
            geos_right.emplace_back(o->minCP.ord[0], o->maxCP.ord[0], o->minCP.ord[1],
                                    o->maxCP.ord[1]);
        }
        std::vector<int> order(kPairCount);
        for (int i = 0; i < kPairCount; ++i) order[i] = i;
        std::shuffle(order.begin(), order.end(), random);
        Permute(left, order);
        Permute(right, order);
        Permute(left_boxes, order);
        Permute(right_boxes, order);
        Permute(geos_left, order);
        Permute(geos_right, order);

        for (long row = 0; row < 100; ++row) {
            for (long column = 0; column < 3; ++column) {
                const double value = inside(random);
                matrix_a(row, column) = value;
                matrix_b(row, column) = value;
                eigen_a(row, column) = value;
                eigen_b(row, column) = value;
            }
        }
    }

    template <class T>
    static void Permute(std::vector<T>& values, const std::vector<int>& order) {
        std::vector<T> permuted;
        for (int index : order) permuted.push_back(values[index]);
        values.swap(permuted);
    }
};

Data& TheData() {
    static Data data;
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

template <class Body>
void Measure(benchmark::State& state, int operations, long expected, Body body) {
    if (!Expect(state, body(), expected)) return;
    const long allocations_before = allocations.load();
    for (auto _ : state) {
        long result = body();
        benchmark::DoNotOptimize(result);
    }
    const long allocations_made = allocations.load() - allocations_before;
    state.counters["ops"] = operations;
    state.counters["allocs"] = static_cast<double>(allocations_made);
}

void InBox3Vexa(benchmark::State& state) {
    const Data& d = TheData();
    Measure(state, kPointCount, kPointCount / 2, [&] {
        long inside = 0;
        for (const CVEXACoordinatePoint& p : d.points3) inside += d.box.PointInEnveloppe(p);
        return inside;
    });
}
void InBox3Inline(benchmark::State& state) {
    const Data& d = TheData();
    const PT_Envelope& box = d.box;
    Measure(state, kPointCount, kPointCount / 2, [&] {
        long inside = 0;
        for (const PT_CoordinatePoint& p : d.points3) inside += InlineInBox(box, p);
        return inside;
    });
}
void InBox3Boost(benchmark::State& state) {
    const Data& d = TheData();
    Measure(state, kPointCount, kPointCount / 2, [&] {
        long inside = 0;
        for (const BoostPoint3& p : d.boost_points3) inside += bg::covered_by(p, d.boost_box3);
        return inside;
    });
}
void InBox2Vexa(benchmark::State& state) {
    const Data& d = TheData();
    Measure(state, kPointCount, kPointCount / 2, [&] {
        long inside = 0;
        for (const CVEXACoordinatePoint& p : d.points2) inside += d.box.PointInEnveloppe(p);
        return inside;
    });
}
void InBox2Inline(benchmark::State& state) {
    const Data& d = TheData();
    const PT_Envelope& box = d.box;
    Measure(state, kPointCount, kPointCount / 2, [&] {
        long inside = 0;
        for (const PT_CoordinatePoint& p : d.points2) inside += InlineInBox(box, p);
        return inside;
    });
}
void InBox2Boost(benchmark::State& state) {
    const Data& d = TheData();
    Measure(state, kPointCount, kPointCount / 2, [&] {
        long inside = 0;
        for (const BoostPoint2& p : d.boost_points2) inside += bg::covered_by(p, d.boost_box2);
        return inside;
    });
}
void InBox2Geos(benchmark::State& state) {
    const Data& d = TheData();
    Measure(state, kPointCount, kPointCount / 2, [&] {
        long inside = 0;
        for (const BoostPoint2& p : d.boost_points2)
            inside += d.geos_box.covers(bg::get<0>(p), bg::get<1>(p));
        return inside;
    });
}

void PointEqualVexa(benchmark::State& state) {
    const Data& d = TheData();
    Measure(state, kPairCount, kPairCount / 2, [&] {
        long equal = 0;
        for (int i = 0; i < kPairCount; ++i)
            equal += d.left[i] == static_cast<const PT_CoordinatePoint&>(d.right[i]);
        return equal;
    });
}
void PointEqualPlainFunction(benchmark::State& state) {
    const Data& d = TheData();
    Measure(state, kPairCount, kPairCount / 2, [&] {
        long equal = 0;
        for (int i = 0; i < kPairCount; ++i) equal += EqualCoordinatePoint(d.left[i], d.right[i]);
        return equal;
    });
}
void PointEqualInline(benchmark::State& state) {
    const Data& d = TheData();
    Measure(state, kPairCount, kPairCount / 2, [&] {
        long equal = 0;
        for (int i = 0; i < kPairCount; ++i) equal += InlineEqual(d.left[i], d.right[i]);
        return equal;
    });
}

void EnvelopeEqualVexa(benchmark::State& state) {
    Data& d = TheData();
    Measure(state, kPairCount, kPairCount / 2, [&] {
        long equal = 0;
        for (int i = 0; i < kPairCount; ++i)
            equal += d.left_boxes[i] == static_cast<const PT_Envelope&>(d.right_boxes[i]);
        return equal;
    });
}
void EnvelopeEqualInline(benchmark::State& state) {
    const Data& d = TheData();
    Measure(state, kPairCount, kPairCount / 2, [&] {
        long equal = 0;
        for (int i = 0; i < kPairCount; ++i) {
            const PT_Envelope& a = d.left_boxes[i];
            const PT_Envelope& b = d.right_boxes[i];
            equal += InlineEqual(a.minCP, b.minCP) && InlineEqual(a.maxCP, b.maxCP);
        }
        return equal;
    });
}
void EnvelopeEqualGeos(benchmark::State& state) {
    const Data& d = TheData();
    Measure(state, kPairCount, kPairCount / 2, [&] {
        long equal = 0;
        for (int i = 0; i < kPairCount; ++i) equal += d.geos_left[i].equals(&d.geos_right[i]);
        return equal;
    });
}

// The copies write into a scratch array and count the sizes, which the compiler cannot skip.
template <class Copy>
void MeasurePointCopy(benchmark::State& state, Copy copy) {
    const Data& d = TheData();
    std::vector<CVEXACoordinatePoint> target(kPointCount);
    Measure(state, kPointCount, 3L * kPointCount, [&] {
        for (int i = 0; i < kPointCount; ++i) copy(target[i], d.points3[i]);
        benchmark::ClobberMemory();
        long total = 0;
        for (int i = 0; i < kPointCount; i += 64) total += target[i].GetSize();
        return total * 64;
    });
}
void PointCopyPlainFunction(benchmark::State& state) {
    MeasurePointCopy(state, [](CVEXACoordinatePoint& to, const CVEXACoordinatePoint& from) {
        CopyCoordinatePoint(to, from);
    });
}
void PointCopyRecordAssignment(benchmark::State& state) {
    MeasurePointCopy(state, [](CVEXACoordinatePoint& to, const CVEXACoordinatePoint& from) {
        to = static_cast<const PT_CoordinatePoint&>(from);
    });
}
void PointCopyInline(benchmark::State& state) {
    MeasurePointCopy(state, [](CVEXACoordinatePoint& to, const CVEXACoordinatePoint& from) {
        InlineCopy(to, from);
    });
}

template <class Copy>
void MeasureMatrixCopy(benchmark::State& state, Copy copy) {
    const Data& d = TheData();
    CVEXAMatrix target;
    Measure(state, 1, 100, [&] {
        copy(target, d.matrix_a);
        benchmark::ClobberMemory();
        return static_cast<long>(target.GetRowCount());
    });
}
void MatrixWholeCopyVexa(benchmark::State& state) {
    MeasureMatrixCopy(state, [](CVEXAMatrix& to, const CVEXAMatrix& from) { to = from; });
}
void MatrixWholeCopyInline(benchmark::State& state) {
    MeasureMatrixCopy(state,
                      [](CVEXAMatrix& to, const CVEXAMatrix& from) { InlineWholeCopy(to, from); });
}
void MatrixWholeCopyMemcpy(benchmark::State& state) {
    MeasureMatrixCopy(state, [](CVEXAMatrix& to, const CVEXAMatrix& from) {
        // The same bytes, vtable pointers aside, which both sides already share.
        std::memcpy(static_cast<void*>(&to.elt[0]), &from.elt[0], 100 * sizeof(PT_CoordinatePoint));
        to.rowCount = from.rowCount;
    });
}
void MatrixWholeCopyEigen(benchmark::State& state) {
    Data& d = TheData();
    EigenMatrix target(100, 3);
    Measure(state, 1, 100, [&] {
        target = d.eigen_a;
        benchmark::ClobberMemory();
        return static_cast<long>(target.rows());
    });
}
void MatrixRecordCopyVexa(benchmark::State& state) {
    MeasureMatrixCopy(state, [](CVEXAMatrix& to, const CVEXAMatrix& from) {
        to = static_cast<const PT_Matrix&>(from);
    });
}
void MatrixRecordCopyInline(benchmark::State& state) {
    MeasureMatrixCopy(state,
                      [](CVEXAMatrix& to, const CVEXAMatrix& from) { InlineMatrixCopy(to, from); });
}

void MatrixEqualVexa(benchmark::State& state) {
    Data& d = TheData();
    Measure(state, 1, 1, [&] {
        return static_cast<long>(d.matrix_a == static_cast<const PT_Matrix&>(d.matrix_b));
    });
}
void MatrixEqualInline(benchmark::State& state) {
    const Data& d = TheData();
    Measure(state, 1, 1,
            [&] { return static_cast<long>(InlineMatrixEqual(d.matrix_a, d.matrix_b)); });
}
void MatrixEqualEigen(benchmark::State& state) {
    const Data& d = TheData();
    Measure(state, 1, 1, [&] { return static_cast<long>(d.eigen_a == d.eigen_b); });
}

}  // namespace

namespace {

// In the order of the tables. Each operation's "inline baseline" is the row its ratios refer to.
struct Entry {
    const char* name;
    void (*run)(benchmark::State&);
};

const Entry kBenchmarks[] = {
    {"point_in_box_3d/inline baseline", InBox3Inline},
    {"point_in_box_3d/VEXA PointInEnveloppe", InBox3Vexa},
    {"point_in_box_3d/Boost.Geometry covered_by", InBox3Boost},
    {"point_in_box_2d/inline baseline", InBox2Inline},
    {"point_in_box_2d/VEXA PointInEnveloppe", InBox2Vexa},
    {"point_in_box_2d/Boost.Geometry covered_by", InBox2Boost},
    {"point_in_box_2d/GEOS Envelope::covers", InBox2Geos},
    {"point_equal/inline baseline", PointEqualInline},
    {"point_equal/VEXA operator==", PointEqualVexa},
    {"point_equal/VEXA EqualCoordinatePoint", PointEqualPlainFunction},
    {"envelope_equal/inline baseline", EnvelopeEqualInline},
    {"envelope_equal/VEXA operator==", EnvelopeEqualVexa},
    {"envelope_equal/GEOS Envelope::equals", EnvelopeEqualGeos},
    {"point_copy/inline baseline", PointCopyInline},
    {"point_copy/VEXA record assignment", PointCopyRecordAssignment},
    {"point_copy/VEXA CopyCoordinatePoint", PointCopyPlainFunction},
    {"matrix_whole_copy/inline baseline", MatrixWholeCopyInline},
    {"matrix_whole_copy/VEXA copy assignment", MatrixWholeCopyVexa},
    {"matrix_whole_copy/memcpy", MatrixWholeCopyMemcpy},
    {"matrix_whole_copy/Eigen assignment", MatrixWholeCopyEigen},
    {"matrix_record_copy/inline baseline", MatrixRecordCopyInline},
    {"matrix_record_copy/VEXA record assignment", MatrixRecordCopyVexa},
    {"matrix_equal/inline baseline", MatrixEqualInline},
    {"matrix_equal/VEXA operator==", MatrixEqualVexa},
    {"matrix_equal/Eigen operator==", MatrixEqualEigen},
};

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
        for (const Entry& entry : kBenchmarks) {
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
    for (const Entry& entry : kBenchmarks) benchmark::RegisterBenchmark(entry.name, entry.run);
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
