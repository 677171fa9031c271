// A user's program written the natural way: const and non-const operands compared every way,
// objects with objects, records and record pointers; ints and other index types; the version.
// check_headers.sh compiles it with strict warnings in every standard, with each compiler of a
// target. It includes no C++ standard header, so compilers without one for the target take it.
#include <stddef.h>

#include <vexa/vexa.h>

#if !defined(VEXA_VERSION_MAJOR) || !defined(VEXA_VERSION_MINOR) || !defined(VEXA_VERSION_PATCH)
#error "vexa/vexa.h gives no version"
#endif
#if VEXA_VERSION != VEXA_VERSION_MAJOR * 10000 + VEXA_VERSION_MINOR * 100 + VEXA_VERSION_PATCH
#error "VEXA_VERSION is not the three parts as one number"
#endif

namespace {

// Both orders and both operators, for operands of any constness.
template <class Left, class Right>
int CompareBothWays(Left& left, Right& right) {
    return (left == right) + (left != right) + (right == left) + (right != left);
}

// Every pairing of a const and a non-const object, and temporaries on either side.
template <class Value>
int CompareObjects(Value& value, const Value& view) {
    Value other(view);
    const Value& otherView = other;
    return CompareBothWays(value, other) + CompareBothWays(value, otherView) +
           CompareBothWays(view, other) + CompareBothWays(view, otherView) +
           (value == Value(view)) + (Value(view) != view) + (Value(view) == Value(view));
}

// An object, const or not, with a record, a const record pointer and a null one; and a record,
// const or not, on the left.
template <class Value, class Record>
int CompareWithRecords(Value& value, const Record& record) {
    typedef const Record* Pointer;
    const Pointer pointer = &record;
    const Pointer none = Pointer();
    Record copy(record);
    return (value == record) + (value != record) + (value == pointer) + (value != pointer) +
           (value == none) + (value != none) + (record == value) + (record != value) +
           (copy == value) + (copy != value);
}

template <class Value, class Record>
int CompareEveryWay(Value& value, const Record& record) {
    const Value& view = value;
    return CompareObjects(value, view) + CompareWithRecords(value, record) +
           CompareWithRecords(view, record);
}

double SumOrdinates(const CVEXACoordinatePoint& point) {
    double sum = 0.0;
    for (int i = 0; i < point.GetSize(); ++i) sum += point[i];
    for (long i = 0; i < point.GetSize(); ++i) sum += point[i];
    for (size_t i = 0; i < 3; ++i) sum += point[i];
    for (unsigned int i = 0; i < 3; ++i) sum += point[i];
    const short first = 0;
    return sum + point[first] + point['\0'];
}

}  // namespace

int main() {
    CVEXACoordinatePoint lower(0.0, 0.0, 0.0);
    CVEXACoordinatePoint upper(2.0, 2.0);
    for (int i = 0; i < upper.GetSize(); ++i) upper[i] += 1.0;
    size_t last = 2;
    upper[last] = 3.0;
    if (upper.Resize(3) == 0) return -1;

    CVEXAEnvelope box(lower, upper);
    CVEXAMatrix matrix(3, 3);
    for (int row = 0; row < matrix.GetRowCount(); ++row) {
        for (int column = 0; column < matrix.GetColumnCount(); ++column) {
            matrix(row, column) = row + 0.5 * column;
        }
    }
    const PT_CoordinatePoint pointRecord = upper;
    const PT_Envelope boxRecord = box;
    const PT_Matrix matrixRecord = matrix;
    return CompareEveryWay(upper, pointRecord) + CompareEveryWay(box, boxRecord) +
           CompareEveryWay(matrix, matrixRecord) + box.PointInEnveloppe(upper) +
           box.PointInEnveloppe(pointRecord) + box.PointInEnveloppe(&pointRecord) +
           static_cast<int>(SumOrdinates(upper));
}
