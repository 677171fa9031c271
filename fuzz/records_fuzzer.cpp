// Turns fuzz bytes into points, envelopes and matrices with any counts and any doubles, runs a
// fuzz-chosen sequence of the library's functions and members over them, and aborts when one of
// their promises breaks. Slots and counts are compared bit for bit (same_slots.h, as the tests
// compare them); padding never is.
#include <fuzzer/FuzzedDataProvider.h>

#include <climits>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <limits>

#include <vexa/vexa.h>

#include "same_slots.h"

namespace {

const int kOrdinates = 3;
const int kRows = 100;

void Check(bool holds) {
    if (!holds) std::abort();
}

// The number of slots a count puts in use: none for 0 or below, three at most.
int InUse(PT_Int32 count, int capacity) {
    return count <= 0 ? 0 : (count > capacity ? capacity : count);
}

bool HasNaN(const PT_CoordinatePoint& point, int dimensions) {
    for (int i = 0; i < dimensions; ++i) {
        if (std::isnan(point.ord[i])) return true;
    }
    return false;
}

// Whether the point's ordinates in use, all of them within the capacity, hold no NaN.
bool PlainPoint(const PT_CoordinatePoint& point) {
    return point.size <= kOrdinates && !HasNaN(point, InUse(point.size, kOrdinates));
}

bool PlainMatrix(const PT_Matrix& matrix) {
    if (matrix.rowCount > kRows) return false;
    for (int row = 0; row < InUse(matrix.rowCount, kRows); ++row) {
        if (!PlainPoint(matrix.elt[row])) return false;
    }
    return true;
}

class Input {
public:
    Input(const std::uint8_t* data, std::size_t size) : provider_(data, size) {}

    bool Done() { return provider_.remaining_bytes() == 0; }
    int Pick(int last) { return provider_.ConsumeIntegralInRange<int>(0, last); }
    bool OneIn(int n) { return provider_.ConsumeIntegralInRange<int>(1, n) == 1; }

    double Double() {
        static const double kSpecial[] = {0.0,
                                          -0.0,
                                          1.0,
                                          -1.0,
                                          2.5,
                                          std::numeric_limits<double>::quiet_NaN(),
                                          -std::numeric_limits<double>::quiet_NaN(),
                                          std::numeric_limits<double>::infinity(),
                                          -std::numeric_limits<double>::infinity(),
                                          std::numeric_limits<double>::denorm_min(),
                                          std::numeric_limits<double>::max(),
                                          -std::numeric_limits<double>::max()};
        if (provider_.ConsumeBool()) return provider_.PickValueInArray(kSpecial);
        const std::uint64_t bits = provider_.ConsumeIntegral<std::uint64_t>();
        double value;
        std::memcpy(&value, &bits, sizeof value);
        return value;
    }

    // Mostly one of the first rows, which small row counts put in use.
    int Row() { return OneIn(4) ? Pick(kRows - 1) : Pick(7); }

    PT_Int32 Count() {
        static const PT_Int32 kSpecial[] = {INT_MIN, -7, -1, 0,   1,   2,      3,
                                            4,       5,  99, 100, 101, INT_MAX};
        if (!provider_.ConsumeBool()) return provider_.PickValueInArray(kSpecial);
        return provider_.ConsumeIntegral<PT_Int32>();
    }

    // Counts as the classes take them: long, wider than the records' counts on this platform.
    long WideCount() {
        static const long kSpecial[] = {LONG_MIN, -4294967295L, -1,  0,   1,           2,       3,
                                        4,        99,           100, 101, 4294967297L, LONG_MAX};
        if (!provider_.ConsumeBool()) return provider_.PickValueInArray(kSpecial);
        return provider_.ConsumeIntegral<long>();
    }

    void Fill(PT_CoordinatePoint& point) {
        for (int i = 0; i < kOrdinates; ++i) point.ord[i] = Double();
        point.size = Count();
    }

    // The row count and a few rows; FillRow reaches the others.
    void Fill(PT_Matrix& matrix) {
        for (int rows = Pick(3); rows > 0; --rows) Fill(matrix.elt[Row()]);
        matrix.rowCount = Count();
    }

private:
    FuzzedDataProvider provider_;
};

// A point from a small pattern, different for each seed, its size from -2 to 4.
void Pattern(PT_CoordinatePoint& point, int seed) {
    point.ord[0] = seed + 0.5;
    point.ord[1] = -seed;
    point.ord[2] = 2.0 * seed;
    point.size = seed % 7 - 2;
}

void Pattern(PT_Matrix& matrix, int seed) {
    for (int row = 0; row < kRows; ++row) Pattern(matrix.elt[row], seed + row);
    matrix.rowCount = seed % 7;
}

// What the fuzz-chosen operations work on. Every slot starts from a pattern, so that no input
// bytes go into a starting state and short inputs reach the operations at once.
struct Pool {
    PT_CoordinatePoint records[3];
    CVEXACoordinatePoint points[3];
    PT_Envelope envelope_records[2];
    CVEXAEnvelope envelopes[2];
    PT_Matrix matrix_records[2];
    CVEXAMatrix matrices[2];

    Pool() {
        for (int i = 0; i < 3; ++i) {
            Pattern(records[i], i + 1);
            Pattern(*static_cast<PT_CoordinatePoint*>(points[i]), i + 3);
        }
        for (int i = 0; i < 2; ++i) {
            Pattern(envelope_records[i].minCP, 4 * i);
            Pattern(envelope_records[i].maxCP, 4 * i + 1);
            PT_Envelope* const envelope = envelopes[i];
            Pattern(envelope->minCP, 4 * i + 2);
            Pattern(envelope->maxCP, 4 * i + 3);
            Pattern(matrix_records[i], 2 * i + 1);
            Pattern(*static_cast<PT_Matrix*>(matrices[i]), 2 * i + 2);
        }
    }

    // Any point record, the classes' record parts included, so that copies may alias.
    PT_CoordinatePoint& AnyPoint(Input& input) {
        const int which = input.Pick(5);
        return which < 3 ? records[which] : *static_cast<PT_CoordinatePoint*>(points[which - 3]);
    }
    PT_Envelope& AnyEnvelope(Input& input) {
        const int which = input.Pick(3);
        return which < 2 ? envelope_records[which]
                         : *static_cast<PT_Envelope*>(envelopes[which - 2]);
    }
    PT_Matrix& AnyMatrix(Input& input) {
        const int which = input.Pick(3);
        return which < 2 ? matrix_records[which] : *static_cast<PT_Matrix*>(matrices[which - 2]);
    }
};

// What a guarded point copy must have done to target, given both as they were before.
void CheckPointCopy(int copied, const PT_CoordinatePoint& target, const PT_CoordinatePoint& before,
                    const PT_CoordinatePoint& source) {
    if (source.size > kOrdinates) {
        Check(copied == 0 && SameSlots(target, before));
        return;
    }
    Check(copied == 1 && target.size == source.size);
    const int n = InUse(source.size, kOrdinates);
    for (int i = 0; i < kOrdinates; ++i) {
        Check(SameSlot(target, i < n ? source : before, i));
    }
}

void CheckPointEquality(const PT_CoordinatePoint& a, const PT_CoordinatePoint& b) {
    const int ab = EqualCoordinatePoint(&a, &b);
    Check(ab == EqualCoordinatePoint(&b, &a) && (ab == 0 || ab == 1));
    if (PlainPoint(a)) Check(EqualCoordinatePoint(&a, &a) == 1);
    Check(EqualCoordinatePoint(&a, 0) == 0 && EqualCoordinatePoint(0, &a) == 0);
}

// An assignment from a record is the guarded copy with its result ignored.
void CheckPointAssignment(const PT_CoordinatePoint& target, const PT_CoordinatePoint& before,
                          const PT_CoordinatePoint& source) {
    CheckPointCopy(source.size > kOrdinates ? 0 : 1, target, before, source);
}

void PointFunctions(Pool& pool, Input& input) {
    PT_CoordinatePoint& target = pool.AnyPoint(input);
    PT_CoordinatePoint& source = pool.AnyPoint(input);
    const PT_CoordinatePoint before = target;
    const PT_CoordinatePoint from = source;
    if (input.OneIn(8)) {
        Check(CopyCoordinatePoint(&target, 0) == 0 && SameSlots(target, before));
        Check(CopyCoordinatePoint(0, &source) == 0 && SameSlots(source, from));
        return;
    }
    CheckPointCopy(CopyCoordinatePoint(&target, &source), target, before, from);
    if (PlainPoint(from)) Check(EqualCoordinatePoint(&target, &from) == 1);
    CheckPointEquality(target, pool.AnyPoint(input));
}

void PointClass(Pool& pool, Input& input) {
    CVEXACoordinatePoint& point = pool.points[input.Pick(2)];
    const PT_CoordinatePoint before = point;
    const PT_CoordinatePoint& source = pool.AnyPoint(input);
    const PT_CoordinatePoint from = source;
    switch (input.Pick(9)) {
        case 0: {
            const CVEXACoordinatePoint built(source);
            if (from.size > kOrdinates) {
                Check(built.GetSize() == 0);
            } else {
                Check(built.GetSize() == from.size &&
                      EqualCoordinatePoint(built, &from) == (PlainPoint(from) ? 1 : 0));
            }
            const CVEXACoordinatePoint empty(static_cast<const PT_CoordinatePoint*>(0));
            Check(empty.GetSize() == 0);
            break;
        }
        case 1: {
            const CVEXACoordinatePoint copy(point);
            Check(SameSlots(copy, before));
            const double x = input.Double();
            const double y = input.Double();
            const double z = input.Double();
            const CVEXACoordinatePoint two(x, y);
            Check(two.GetSize() == 2 && SameBits(two[0], x) && SameBits(two[1], y));
            const CVEXACoordinatePoint three(x, y, z);
            Check(three.GetSize() == 3 && SameBits(three[2], z));
            break;
        }
        case 2:
            CheckPointAssignment(point = source, before, from);
            break;
        case 3:
            if (input.OneIn(4)) {
                point = static_cast<const PT_CoordinatePoint*>(0);
                Check(SameSlots(point, before));
            } else {
                CheckPointAssignment(point = &source, before, from);
            }
            break;
        case 4: {
            const CVEXACoordinatePoint& self = point;
            point = self;
            Check(SameSlots(point, before));
            point = static_cast<const PT_CoordinatePoint&>(self);
            Check(SameSlots(point, before));
            break;
        }
        case 5: {
            const CVEXACoordinatePoint& other = pool.points[input.Pick(2)];
            const PT_CoordinatePoint whole = other;
            point = other;
            Check(SameSlots(point, whole));
            break;
        }
        case 6: {
            const unsigned char equal = point == source;
            Check(equal == EqualCoordinatePoint(point, &source));
            Check((point != source) == !equal && (point == &source) == equal &&
                  (point != &source) == !equal);
            Check((point == static_cast<const PT_CoordinatePoint*>(0)) == 0 &&
                  (point != static_cast<const PT_CoordinatePoint*>(0)) == 1);
            break;
        }
        case 7: {
            const long size = input.WideCount();
            const bool fits = size <= kOrdinates && size >= INT_MIN;
            Check(point.Resize(size) == (fits ? 1 : 0));
            Check(point.GetSize() == (fits ? size : before.size));
            for (int i = 0; i < kOrdinates; ++i) Check(SameSlot(point, before, i));
            break;
        }
        default: {
            const long index = input.Pick(2);
            const double value = input.Double();
            point[index] = value;
            Check(SameBits(point[index], value) && point.GetSize() == before.size);
            break;
        }
    }
}

void EnvelopeFunctions(Pool& pool, Input& input) {
    PT_Envelope& target = pool.AnyEnvelope(input);
    const PT_Envelope& source = pool.AnyEnvelope(input);
    const PT_Envelope before = target;
    const PT_Envelope from = source;
    if (input.OneIn(8)) {
        Check(CopyEnvelope(&target, 0) == 0 && CopyEnvelope(0, &source) == 0);
        Check(SameSlots(target, before));
    } else {
        Check(CopyEnvelope(&target, &source) == 1 && SameSlots(target, from));
    }
    const PT_Envelope& other = pool.AnyEnvelope(input);
    const int equal = EqualEnvelope(&target, &other);
    Check(equal == EqualEnvelope(&other, &target));
    Check(equal == (EqualCoordinatePoint(&target.minCP, &other.minCP) &&
                    EqualCoordinatePoint(&target.maxCP, &other.maxCP)));
    if (PlainPoint(target.minCP) && PlainPoint(target.maxCP)) {
        Check(EqualEnvelope(&target, &target) == 1);
    }
    Check(EqualEnvelope(&target, 0) == 0 && EqualEnvelope(0, &target) == 0);
}

// The closed-box rule over the dimensions both the point and the lower corner count.
bool ExpectedInside(const PT_CoordinatePoint& point, const PT_Envelope& box) {
    const int n = InUse(point.size < box.minCP.size ? point.size : box.minCP.size, kOrdinates);
    for (int i = 0; i < n; ++i) {
        if (!(box.minCP.ord[i] <= point.ord[i] && point.ord[i] <= box.maxCP.ord[i])) return false;
    }
    return true;
}

void CheckSet(const CVEXAEnvelope& box, const PT_Envelope& before, const PT_CoordinatePoint& p,
              const PT_CoordinatePoint& q) {
    const PT_Int32 n = p.size < q.size ? p.size : q.size;
    if (n > kOrdinates) {
        Check(box.minCP.size == before.minCP.size && box.maxCP.size == before.maxCP.size);
        return;
    }
    Check(box.minCP.size == n && box.maxCP.size == n);
    for (int i = InUse(n, kOrdinates); i < kOrdinates; ++i) {
        Check(SameSlot(box.minCP, before.minCP, i) && SameSlot(box.maxCP, before.maxCP, i));
    }
    if (PlainPoint(p) && PlainPoint(q)) {
        Check(box.PointInEnveloppe(p) == 1 && box.PointInEnveloppe(q) == 1);
        for (int i = 0; i < InUse(n, kOrdinates); ++i) {
            Check(box.minCP.ord[i] <= box.maxCP.ord[i]);
        }
    }
}

void CheckNormalized(const CVEXAEnvelope& box, const PT_Envelope& before) {
    const PT_Int32 n =
        before.minCP.size < before.maxCP.size ? before.minCP.size : before.maxCP.size;
    if (n <= kOrdinates) {
        Check(box.minCP.size == n && box.maxCP.size == n);
    } else {
        Check(box.minCP.size == before.minCP.size && box.maxCP.size == before.maxCP.size);
    }
    const int dimensions = InUse(n, kOrdinates);
    for (int i = 0; i < kOrdinates; ++i) {
        const bool kept =
            SameSlot(box.minCP, before.minCP, i) && SameSlot(box.maxCP, before.maxCP, i);
        if (i >= dimensions) {
            Check(kept);
            continue;
        }
        const bool exchanged = SameBits(box.minCP.ord[i], before.maxCP.ord[i]) &&
                               SameBits(box.maxCP.ord[i], before.minCP.ord[i]);
        Check(kept || exchanged);
        if (!std::isnan(box.minCP.ord[i]) && !std::isnan(box.maxCP.ord[i])) {
            Check(box.minCP.ord[i] <= box.maxCP.ord[i]);
        }
    }
}

void EnvelopeClass(Pool& pool, Input& input) {
    CVEXAEnvelope& box = pool.envelopes[input.Pick(1)];
    const PT_Envelope before = box;
    const PT_Envelope& source = pool.AnyEnvelope(input);
    const PT_Envelope from = source;
    const CVEXACoordinatePoint& p = pool.points[input.Pick(2)];
    const CVEXACoordinatePoint& q = pool.points[input.Pick(2)];
    switch (input.Pick(8)) {
        case 0: {
            const CVEXAEnvelope built(source);
            Check(SameSlots(built, from));
            const CVEXAEnvelope empty(static_cast<const PT_Envelope*>(0));
            Check(empty.minCP.size == 0 && empty.maxCP.size == 0);
            const CVEXAEnvelope copy(box);
            Check(SameSlots(copy, before));
            break;
        }
        case 1: {
            const CVEXAEnvelope spanned(p, q);
            CVEXAEnvelope reference;
            const PT_Envelope blank = reference;
            reference.Set(p, q);
            CheckSet(reference, blank, p, q);
            Check(spanned.minCP.size == reference.minCP.size);
            break;
        }
        case 2:
            box = source;
            Check(SameSlots(box, from));
            break;
        case 3:
            if (input.OneIn(4)) {
                box = static_cast<const PT_Envelope*>(0);
                Check(SameSlots(box, before));
            } else {
                box = &source;
                Check(SameSlots(box, from));
            }
            break;
        case 4: {
            const CVEXAEnvelope& other = pool.envelopes[input.Pick(1)];
            const PT_Envelope whole = other;
            box = other;
            Check(SameSlots(box, whole));
            break;
        }
        case 5: {
            const unsigned char equal = box == source;
            Check(equal == EqualEnvelope(box, &source) && (box != source) == !equal);
            Check((box == &source) == equal && (box != &source) == !equal);
            const CVEXAEnvelope& view = box;
            Check((view == source) == equal && (view != &source) == !equal);
            Check((view == pool.envelopes[0]) == EqualEnvelope(box, pool.envelopes[0]));
            Check((box == static_cast<const PT_Envelope*>(0)) == 0 &&
                  (box != static_cast<const PT_Envelope*>(0)) == 1);
            break;
        }
        case 6:
            box.Set(p, q);
            CheckSet(box, before, p, q);
            break;
        case 7:
            box.NormalizeEnveloppe();
            CheckNormalized(box, before);
            break;
        default:
            Check(box.PointInEnveloppe(p) == (ExpectedInside(p, box) ? 1 : 0));
            // A record is tested as it is, as the point object with the same slots.
            Check(box.PointInEnveloppe(static_cast<const PT_CoordinatePoint&>(p)) ==
                  box.PointInEnveloppe(p));
            Check(SameSlots(box, before));
            break;
    }
}

// What a guarded matrix copy must have done to target, given both as they were before.
void CheckMatrixCopy(const PT_Matrix& target, const PT_Matrix& before, const PT_Matrix& source) {
    if (source.rowCount > kRows) {
        Check(SameSlots(target, before));
        return;
    }
    Check(target.rowCount == source.rowCount);
    const int rows = InUse(source.rowCount, kRows);
    for (int row = 0; row < kRows; ++row) {
        const PT_CoordinatePoint& from = source.elt[row];
        if (row >= rows || from.size > kOrdinates) {
            Check(SameSlots(target.elt[row], before.elt[row]));
        } else {
            CheckPointCopy(1, target.elt[row], before.elt[row], from);
        }
    }
}

void CheckMatrixEquality(CVEXAMatrix& matrix, const PT_Matrix& other) {
    const unsigned char equal = matrix == other;
    CVEXAMatrix mirror;
    *static_cast<PT_Matrix*>(mirror) = other;
    Check(equal == (mirror == static_cast<const PT_Matrix&>(matrix)));
    Check((matrix != other) == !equal && (matrix == &other) == equal &&
          (matrix != &other) == !equal);
    const CVEXAMatrix& view = matrix;
    Check((view == other) == equal && (view != &other) == !equal);
    Check((view == mirror) == equal && (matrix != mirror) == !equal);
    Check((matrix == static_cast<const PT_Matrix*>(0)) == 0 &&
          (matrix != static_cast<const PT_Matrix*>(0)) == 1);
    if (PlainMatrix(matrix)) Check((matrix == static_cast<const PT_Matrix&>(matrix)) == 1);
}

void MatrixClass(Pool& pool, Input& input) {
    CVEXAMatrix& matrix = pool.matrices[input.Pick(1)];
    const PT_Matrix& source = pool.AnyMatrix(input);
    switch (input.Pick(7)) {
        case 0: {
            const PT_Matrix before = matrix;
            const PT_Matrix from = source;
            matrix = source;
            CheckMatrixCopy(matrix, before, from);
            break;
        }
        case 1: {
            const PT_Matrix before = matrix;
            const PT_Matrix from = source;
            if (input.OneIn(4)) {
                matrix = static_cast<const PT_Matrix*>(0);
                Check(SameSlots(matrix, before));
            } else {
                matrix = &source;
                CheckMatrixCopy(matrix, before, from);
            }
            break;
        }
        case 2: {
            const CVEXAMatrix built(source);
            if (source.rowCount > kRows) {
                Check(built.GetRowCount() == 0 && built.GetColumnCount() == 0);
            } else {
                Check(built.GetRowCount() == source.rowCount);
            }
            for (int row = 0; row < InUse(built.rowCount, kRows); ++row) {
                const PT_CoordinatePoint& from = source.elt[row];
                if (from.size > kOrdinates) {
                    Check(built.elt[row].size == 0);
                } else {
                    Check(built.elt[row].size == from.size);
                    for (int i = 0; i < InUse(from.size, kOrdinates); ++i) {
                        Check(SameSlot(built.elt[row], from, i));
                    }
                }
            }
            const CVEXAMatrix empty(static_cast<const PT_Matrix*>(0));
            Check(empty.GetRowCount() == 0);
            const CVEXAMatrix copy(matrix);
            Check(SameSlots(copy, matrix));
            break;
        }
        case 3: {
            const CVEXAMatrix& other = pool.matrices[input.Pick(1)];
            const PT_Matrix whole = other;
            matrix = other;
            Check(SameSlots(matrix, whole));
            break;
        }
        case 4:
            CheckMatrixEquality(matrix, source);
            break;
        case 5: {
            const PT_Matrix before = matrix;
            const long rows = input.WideCount();
            const long columns = input.WideCount();
            const unsigned char resized = matrix.Resize(rows, columns);
            for (int row = 0; row < kRows; ++row) {
                for (int i = 0; i < kOrdinates; ++i) {
                    Check(SameSlot(matrix.elt[row], before.elt[row], i));
                }
            }
            if (rows > kRows || rows < INT_MIN) {
                Check(resized == 0 && SameSlots(matrix, before));
                break;
            }
            Check(matrix.GetRowCount() == rows);
            const bool columns_taken = rows <= 0 || (columns <= kOrdinates && columns >= INT_MIN);
            Check(resized == (columns_taken ? 1 : 0));
            for (int row = 0; row < kRows; ++row) {
                const bool set = columns_taken && row < rows;
                Check(matrix.elt[row].size == (set ? columns : before.elt[row].size));
            }
            break;
        }
        case 6:
            Check(matrix.GetColumnCount() == (matrix.rowCount != 0 ? matrix.elt[0].size : 0));
            break;
        default: {
            const PT_Int32 rows = matrix.rowCount;
            const long row = input.Pick(kRows - 1);
            const long column = input.Pick(kOrdinates - 1);
            const PT_Int32 size = matrix.elt[row].size;
            const double value = input.Double();
            matrix(row, column) = value;
            const CVEXAMatrix& read_only = matrix;
            Check(SameBits(read_only(row, column), value));
            Check(matrix.rowCount == rows && matrix.elt[row].size == size);
            break;
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    Input input(data, size);
    Pool pool;
    // A bounded number of steps keeps every input fast, whatever its length.
    for (int step = 0; step < 64 && !input.Done(); ++step) {
        switch (input.Pick(7)) {
            case 0:
                PointFunctions(pool, input);
                break;
            case 1:
                PointClass(pool, input);
                break;
            case 2:
                EnvelopeFunctions(pool, input);
                break;
            case 3:
                EnvelopeClass(pool, input);
                break;
            case 4:
                MatrixClass(pool, input);
                break;
            case 5:
                input.Fill(pool.AnyPoint(input));
                break;
            case 6:
                input.Fill(pool.AnyMatrix(input));
                break;
            default:
                input.Fill(pool.AnyMatrix(input).elt[input.Row()]);
                break;
        }
    }
    return 0;
}
