// The benchmark's rows: each is one operation over the same data, by the library, by a
// hand-written inline floor over the same records, or by a peer library. The timed benchmark and
// the instruction counter both run them from here, so both measure the same code.
#ifndef VEXA_BENCH_ROWS_H
#define VEXA_BENCH_ROWS_H

#include <vexa/vexa.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <random>
#include <vector>

#ifdef VEXA_BENCH_BOOST
#include <boost/geometry.hpp>
#endif
#ifdef VEXA_BENCH_GEOS
#include <geos/geom/Envelope.h>
#endif
#ifdef VEXA_BENCH_EIGEN
#include <Eigen/Core>
#endif

namespace rows {

#ifdef VEXA_BENCH_BOOST
namespace bg = boost::geometry;
using BoostPoint2 = bg::model::point<double, 2, bg::cs::cartesian>;
using BoostPoint3 = bg::model::point<double, 3, bg::cs::cartesian>;
using BoostBox2 = bg::model::box<BoostPoint2>;
using BoostBox3 = bg::model::box<BoostPoint3>;
#endif
#ifdef VEXA_BENCH_EIGEN
using EigenMatrix = Eigen::Matrix<double, Eigen::Dynamic, 3, Eigen::RowMajor, 100, 3>;
#endif

constexpr int kPointCount = 1024;
constexpr int kPairCount = 512;

// Tells the compiler that memory is read and written here, so stores before it are kept.
inline void Clobber() { asm volatile("" : : : "memory"); }

// Tells the compiler that the object behind pointer is read here.
inline void Escape(const void* pointer) { asm volatile("" : : "g"(pointer) : "memory"); }

// The same pointer, but the compiler no longer knows which object it points at. The library's
// matrix operations take two records that may be one and the same, so their floor may not copy
// or compare as if the two were known apart.
template <class T>
T& Opaque(T& object) {
    T* pointer = &object;
    asm("" : "+r"(pointer));
    return *pointer;
}

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

// Slots move as bytes, as the library moves them, so that every bit pattern survives: a compiler
// may quiet a signalling NaN that it copies as a double.
// Word alignment, which every slot has, lets the compiler copy in words on ARM rather than call
// memcpy, as the library's copy does.
inline void InlineSlot(double& to, const double& from) {
    std::uint32_t words[2];
    std::memcpy(words, __builtin_assume_aligned(&from, sizeof(std::uint32_t)), sizeof words);
    std::memcpy(__builtin_assume_aligned(&to, sizeof(std::uint32_t)), words, sizeof words);
}

inline void InlineCopy(PT_CoordinatePoint& to, const PT_CoordinatePoint& from) {
    const PT_Int32 n = from.size;
    if (n > 3) return;
    to.size = n;
    if (n > 0) InlineSlot(to.ord[0], from.ord[0]);
    if (n > 1) InlineSlot(to.ord[1], from.ord[1]);
    if (n > 2) InlineSlot(to.ord[2], from.ord[2]);
}

inline void InlineWholeCopy(PT_Matrix& to, const PT_Matrix& from) {
    for (long row = 0; row < 100; ++row) {
        InlineSlot(to.elt[row].ord[0], from.elt[row].ord[0]);
        InlineSlot(to.elt[row].ord[1], from.elt[row].ord[1]);
        InlineSlot(to.elt[row].ord[2], from.elt[row].ord[2]);
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

// Uniform in [low, high) from the generator's integers alone, so that every target (the ARM
// build included, whose long double differs) draws the same numbers.
inline double Uniform(std::mt19937& random, double low, double high) {
    return low + (high - low) * (static_cast<double>(random()) / 4294967296.0);
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
    // Written by the copy and construction rows.
    std::vector<CVEXACoordinatePoint> point_target;
    CVEXAMatrix matrix_target;
    unsigned char matrix_bytes[sizeof(PT_Matrix)];
#ifdef VEXA_BENCH_BOOST
    BoostBox2 boost_box2;
    BoostBox3 boost_box3;
    std::vector<BoostPoint2> boost_points2;
    std::vector<BoostPoint3> boost_points3;
#endif
#ifdef VEXA_BENCH_GEOS
    geos::geom::Envelope geos_box;
    std::vector<geos::geom::Envelope> geos_left;
    std::vector<geos::geom::Envelope> geos_right;
#endif
#ifdef VEXA_BENCH_EIGEN
    EigenMatrix eigen_a;
    EigenMatrix eigen_b;
    EigenMatrix eigen_target;
#endif

    Data()
        : box(CVEXACoordinatePoint(0.0, 0.0, 0.0), CVEXACoordinatePoint(100.0, 100.0, 100.0)),
          matrix_a(100, 3),
          matrix_b(100, 3),
          point_target(kPointCount)
#ifdef VEXA_BENCH_BOOST
          ,
          boost_box2(BoostPoint2(0, 0), BoostPoint2(100, 100)),
          boost_box3(BoostPoint3(0, 0, 0), BoostPoint3(100, 100, 100))
#endif
#ifdef VEXA_BENCH_GEOS
          ,
          geos_box(0.0, 100.0, 0.0, 100.0)
#endif
#ifdef VEXA_BENCH_EIGEN
          ,
          eigen_a(100, 3),
          eigen_b(100, 3),
          eigen_target(100, 3)
#endif
    {
        std::mt19937 random(20261209);
        const auto inside = [&random] { return Uniform(random, 1.0, 99.0); };
        const auto outside = [&random] { return Uniform(random, 101.0, 200.0); };
        // Half inside; the outside half leaves the box in a random dimension, so the early
        // exit is not always taken at the first test.
        for (int i = 0; i < kPointCount; ++i) {
            double ord[3] = {inside(), inside(), inside()};
            if (i % 2 == 1) ord[random() % 3] = outside();
            points3.push_back(CVEXACoordinatePoint(ord[0], ord[1], ord[2]));
            if (i % 2 == 1 && ord[2] > 100.0) ord[random() % 2] = outside();
            points2.push_back(CVEXACoordinatePoint(ord[0], ord[1]));
        }
        Shuffle(points3, random);
        Shuffle(points2, random);
#ifdef VEXA_BENCH_BOOST
        for (const PT_CoordinatePoint& p : points3)
            boost_points3.emplace_back(p.ord[0], p.ord[1], p.ord[2]);
        for (const PT_CoordinatePoint& p : points2) boost_points2.emplace_back(p.ord[0], p.ord[1]);
#endif

        for (int i = 0; i < kPairCount; ++i) {
            // Drawn one by one: the order in which arguments are evaluated is the compiler's.
            const double x = inside();
            const double y = inside();
            const double z = inside();
            const CVEXACoordinatePoint a(x, y, z);
            CVEXACoordinatePoint b = a;
            if (i % 2 == 1) b[static_cast<long>(random() % 3)] += 1.0;
            left.push_back(a);
            right.push_back(b);
            // Two-dimensional, as GEOS envelopes are.
            left_boxes.push_back(CVEXAEnvelope(CVEXACoordinatePoint(a[0L], a[1L]),
                                               CVEXACoordinatePoint(a[0L] + 5, a[1L] + 5)));
            CVEXAEnvelope other = left_boxes.back();
            if (i % 2 == 1) static_cast<PT_Envelope*>(other)->maxCP.ord[random() % 2] += 1.0;
            right_boxes.push_back(other);
        }
        std::vector<int> order(kPairCount);
        for (int i = 0; i < kPairCount; ++i) order[i] = i;
        Shuffle(order, random);
        Permute(left, order);
        Permute(right, order);
        Permute(left_boxes, order);
        Permute(right_boxes, order);
#ifdef VEXA_BENCH_GEOS
        for (int i = 0; i < kPairCount; ++i) {
            const PT_Envelope& a = left_boxes[i];
            const PT_Envelope& b = right_boxes[i];
            geos_left.emplace_back(a.minCP.ord[0], a.maxCP.ord[0], a.minCP.ord[1], a.maxCP.ord[1]);
            geos_right.emplace_back(b.minCP.ord[0], b.maxCP.ord[0], b.minCP.ord[1], b.maxCP.ord[1]);
        }
#endif

        for (long row = 0; row < 100; ++row) {
            for (long column = 0; column < 3; ++column) {
                const double value = inside();
                matrix_a(row, column) = value;
                matrix_b(row, column) = value;
#ifdef VEXA_BENCH_EIGEN
                eigen_a(row, column) = value;
                eigen_b(row, column) = value;
#endif
            }
        }
    }

    // Fisher-Yates from the generator's integers, for the same order on every standard library.
    template <class T>
    static void Shuffle(std::vector<T>& values, std::mt19937& random) {
        for (std::size_t i = values.size(); i > 1; --i)
            std::swap(values[i - 1], values[random() % i]);
    }

    template <class T>
    static void Permute(std::vector<T>& values, const std::vector<int>& order) {
        std::vector<T> permuted;
        for (int index : order) permuted.push_back(values[index]);
        values.swap(permuted);
    }
};

inline long InBox3Vexa(Data& d) {
    long inside = 0;
    for (const CVEXACoordinatePoint& p : d.points3) inside += d.box.PointInEnveloppe(p);
    return inside;
}
inline long InBox3Inline(Data& d) {
    const PT_Envelope& box = d.box;
    long inside = 0;
    for (const PT_CoordinatePoint& p : d.points3) inside += InlineInBox(box, p);
    return inside;
}
inline long InBox2Vexa(Data& d) {
    long inside = 0;
    for (const CVEXACoordinatePoint& p : d.points2) inside += d.box.PointInEnveloppe(p);
    return inside;
}
inline long InBox2Inline(Data& d) {
    const PT_Envelope& box = d.box;
    long inside = 0;
    for (const PT_CoordinatePoint& p : d.points2) inside += InlineInBox(box, p);
    return inside;
}
#ifdef VEXA_BENCH_BOOST
inline long InBox3Boost(Data& d) {
    long inside = 0;
    for (const BoostPoint3& p : d.boost_points3) inside += bg::covered_by(p, d.boost_box3);
    return inside;
}
inline long InBox2Boost(Data& d) {
    long inside = 0;
    for (const BoostPoint2& p : d.boost_points2) inside += bg::covered_by(p, d.boost_box2);
    return inside;
}
#endif
#ifdef VEXA_BENCH_GEOS
inline long InBox2Geos(Data& d) {
    long inside = 0;
    for (const PT_CoordinatePoint& p : d.points2) inside += d.geos_box.covers(p.ord[0], p.ord[1]);
    return inside;
}
#endif

inline long PointEqualVexa(Data& d) {
    long equal = 0;
    for (int i = 0; i < kPairCount; ++i)
        equal += d.left[i] == static_cast<const PT_CoordinatePoint&>(d.right[i]);
    return equal;
}
inline long PointEqualPlainFunction(Data& d) {
    long equal = 0;
    for (int i = 0; i < kPairCount; ++i) equal += EqualCoordinatePoint(d.left[i], d.right[i]);
    return equal;
}
inline long PointEqualInline(Data& d) {
    long equal = 0;
    for (int i = 0; i < kPairCount; ++i) equal += InlineEqual(d.left[i], d.right[i]);
    return equal;
}

inline long EnvelopeEqualVexa(Data& d) {
    long equal = 0;
    for (int i = 0; i < kPairCount; ++i)
        equal += d.left_boxes[i] == static_cast<const PT_Envelope&>(d.right_boxes[i]);
    return equal;
}
inline long EnvelopeEqualInline(Data& d) {
    long equal = 0;
    for (int i = 0; i < kPairCount; ++i) {
        const PT_Envelope& a = d.left_boxes[i];
        const PT_Envelope& b = d.right_boxes[i];
        equal += InlineEqual(a.minCP, b.minCP) && InlineEqual(a.maxCP, b.maxCP);
    }
    return equal;
}
#ifdef VEXA_BENCH_GEOS
inline long EnvelopeEqualGeos(Data& d) {
    long equal = 0;
    for (int i = 0; i < kPairCount; ++i) equal += d.geos_left[i].equals(&d.geos_right[i]);
    return equal;
}
#endif

// The copies write into a scratch array and count the sizes, which the compiler cannot skip.
template <class Copy>
long CopyPoints(Data& d, Copy copy) {
    for (int i = 0; i < kPointCount; ++i) copy(d.point_target[i], d.points3[i]);
    Clobber();
    long total = 0;
    for (int i = 0; i < kPointCount; i += 64) total += d.point_target[i].GetSize();
    return total * 64;
}
inline long PointCopyPlainFunction(Data& d) {
    return CopyPoints(d, [](CVEXACoordinatePoint& to, const CVEXACoordinatePoint& from) {
        CopyCoordinatePoint(to, from);
    });
}
inline long PointCopyRecordAssignment(Data& d) {
    return CopyPoints(d, [](CVEXACoordinatePoint& to, const CVEXACoordinatePoint& from) {
        to = static_cast<const PT_CoordinatePoint&>(from);
    });
}
inline long PointCopyInline(Data& d) {
    return CopyPoints(d, [](CVEXACoordinatePoint& to, const CVEXACoordinatePoint& from) {
        InlineCopy(to, from);
    });
}

inline long MatrixWholeCopyVexa(Data& d) {
    d.matrix_target = d.matrix_a;
    Clobber();
    return d.matrix_target.GetRowCount();
}
inline long MatrixWholeCopyInline(Data& d) {
    InlineWholeCopy(Opaque<PT_Matrix>(d.matrix_target), Opaque<const PT_Matrix>(d.matrix_a));
    Clobber();
    return d.matrix_target.GetRowCount();
}
inline long MatrixWholeCopyMemcpy(Data& d) {
    // The same bytes, vtable pointers aside, which both sides already share.
    std::memcpy(static_cast<void*>(&d.matrix_target.elt[0]), &d.matrix_a.elt[0],
                100 * sizeof(PT_CoordinatePoint));
    d.matrix_target.rowCount = d.matrix_a.rowCount;
    Clobber();
    return d.matrix_target.GetRowCount();
}
#ifdef VEXA_BENCH_EIGEN
inline long MatrixWholeCopyEigen(Data& d) {
    d.eigen_target = d.eigen_a;
    Clobber();
    return static_cast<long>(d.eigen_target.rows());
}
#endif
inline long MatrixRecordCopyVexa(Data& d) {
    d.matrix_target = static_cast<const PT_Matrix&>(d.matrix_a);
    Clobber();
    return d.matrix_target.GetRowCount();
}
inline long MatrixRecordCopyInline(Data& d) {
    InlineMatrixCopy(Opaque<PT_Matrix>(d.matrix_target), Opaque<const PT_Matrix>(d.matrix_a));
    Clobber();
    return d.matrix_target.GetRowCount();
}

inline long MatrixEqualVexa(Data& d) {
    return static_cast<long>(d.matrix_a == static_cast<const PT_Matrix&>(d.matrix_b));
}
inline long MatrixEqualInline(Data& d) {
    return static_cast<long>(InlineMatrixEqual(Opaque<const PT_Matrix>(d.matrix_a),
                                               Opaque<const PT_Matrix>(d.matrix_b)));
}
#ifdef VEXA_BENCH_EIGEN
inline long MatrixEqualEigen(Data& d) { return static_cast<long>(d.eigen_a == d.eigen_b); }
#endif

// The construction rows answer the row count of what they made, 0. The record's own default
// construction, compiled into the caller, is the floor of the class's, which is a call into the
// library; both are destroyed again. memset zeroes as many bytes.
inline long MatrixConstructionVexa(Data&) {
    const CVEXAMatrix matrix;
    Escape(&matrix);
    return matrix.GetRowCount();
}
inline long MatrixConstructionInline(Data&) {
    const PT_Matrix record;
    Escape(&record);
    return record.rowCount;
}
inline long MatrixConstructionMemset(Data& d) {
    std::memset(d.matrix_bytes, 0, sizeof d.matrix_bytes);
    Clobber();
    return d.matrix_bytes[sizeof d.matrix_bytes - 1];
}

// One row: its name ("operation/implementation"), the operations one run of body makes, and
// the answer body must give.
struct Row {
    const char* name;
    int operations;
    long expected;
    long (*body)(Data&);
};

// In the order of the tables. Each operation's "inline baseline" is the row its ratios refer to.
const Row kRows[] = {
    {"point_in_box_3d/inline baseline", kPointCount, kPointCount / 2, InBox3Inline},
    {"point_in_box_3d/VEXA PointInEnveloppe", kPointCount, kPointCount / 2, InBox3Vexa},
#ifdef VEXA_BENCH_BOOST
    {"point_in_box_3d/Boost.Geometry covered_by", kPointCount, kPointCount / 2, InBox3Boost},
#endif
    {"point_in_box_2d/inline baseline", kPointCount, kPointCount / 2, InBox2Inline},
    {"point_in_box_2d/VEXA PointInEnveloppe", kPointCount, kPointCount / 2, InBox2Vexa},
#ifdef VEXA_BENCH_BOOST
    {"point_in_box_2d/Boost.Geometry covered_by", kPointCount, kPointCount / 2, InBox2Boost},
#endif
#ifdef VEXA_BENCH_GEOS
    {"point_in_box_2d/GEOS Envelope::covers", kPointCount, kPointCount / 2, InBox2Geos},
#endif
    {"point_equal/inline baseline", kPairCount, kPairCount / 2, PointEqualInline},
    {"point_equal/VEXA operator==", kPairCount, kPairCount / 2, PointEqualVexa},
    {"point_equal/VEXA EqualCoordinatePoint", kPairCount, kPairCount / 2, PointEqualPlainFunction},
    {"envelope_equal/inline baseline", kPairCount, kPairCount / 2, EnvelopeEqualInline},
    {"envelope_equal/VEXA operator==", kPairCount, kPairCount / 2, EnvelopeEqualVexa},
#ifdef VEXA_BENCH_GEOS
    {"envelope_equal/GEOS Envelope::equals", kPairCount, kPairCount / 2, EnvelopeEqualGeos},
#endif
    {"point_copy/inline baseline", kPointCount, 3L * kPointCount, PointCopyInline},
    {"point_copy/VEXA record assignment", kPointCount, 3L * kPointCount, PointCopyRecordAssignment},
    {"point_copy/VEXA CopyCoordinatePoint", kPointCount, 3L * kPointCount, PointCopyPlainFunction},
    {"matrix_whole_copy/inline baseline", 1, 100, MatrixWholeCopyInline},
    {"matrix_whole_copy/VEXA copy assignment", 1, 100, MatrixWholeCopyVexa},
    {"matrix_whole_copy/memcpy", 1, 100, MatrixWholeCopyMemcpy},
#ifdef VEXA_BENCH_EIGEN
    {"matrix_whole_copy/Eigen assignment", 1, 100, MatrixWholeCopyEigen},
#endif
    {"matrix_record_copy/inline baseline", 1, 100, MatrixRecordCopyInline},
    {"matrix_record_copy/VEXA record assignment", 1, 100, MatrixRecordCopyVexa},
    {"matrix_equal/inline baseline", 1, 1, MatrixEqualInline},
    {"matrix_equal/VEXA operator==", 1, 1, MatrixEqualVexa},
#ifdef VEXA_BENCH_EIGEN
    {"matrix_equal/Eigen operator==", 1, 1, MatrixEqualEigen},
#endif
    {"matrix_construction/inline baseline", 1, 0, MatrixConstructionInline},
    {"matrix_construction/VEXA CVEXAMatrix()", 1, 0, MatrixConstructionVexa},
    {"matrix_construction/memset", 1, 0, MatrixConstructionMemset},
};

}  // namespace rows

#endif
