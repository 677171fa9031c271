#include <vexa/matrix.h>

#include "record_helpers.h"

namespace {

using vexa::detail::kOrdinateCapacity;
using vexa::detail::kRowCapacity;

// The matrix counterpart of CopyCoordinatePoint: the row count and the rows in use. Returns 0,
// writing nothing, for a null argument or more than 100 rows; a row of more than three numbers is
// passed over and the copy still counts as done.
int CopyMatrix(PT_Matrix* target, const PT_Matrix* source) {
    if (!target || !source) return 0;
    const PT_Int32 n = source->rowCount;
    if (n > kRowCapacity) return 0;
    target->rowCount = n;
    for (PT_Int32 row = 0; row < n; ++row) {
        const PT_CoordinatePoint& from = source->elt[row];
        if (from.size > kOrdinateCapacity) continue;
        vexa::detail::CopyOrdinatesInUse(target->elt[row], from);
    }
    return 1;
}

// The matrix counterpart of EqualCoordinatePoint. Like it, counts above the capacity compare what
// exists, so nothing beyond 100 rows or three numbers a row is read.
int EqualMatrix(const PT_Matrix* first, const PT_Matrix* second) {
    if (!first || !second) return 0;
    if (first->rowCount != second->rowCount) return 0;
    const PT_Int32 n = vexa::detail::SmallerCount(first->rowCount, kRowCapacity);
    for (PT_Int32 row = 0; row < n; ++row) {
        const PT_CoordinatePoint& a = first->elt[row];
        const PT_CoordinatePoint& b = second->elt[row];
        if (a.size != b.size || !vexa::detail::OrdinatesInUseEqual(a, b)) return 0;
    }
    return 1;
}

}  // namespace

CVEXAMatrix::CVEXAMatrix() {}

CVEXAMatrix::CVEXAMatrix(long rows, long columns) { Resize(rows, columns); }

// The base constructor has already made the matrix empty, so a refused copy leaves it valid.
CVEXAMatrix::CVEXAMatrix(const PT_Matrix& source) { CopyMatrix(this, &source); }

CVEXAMatrix::CVEXAMatrix(const PT_Matrix* source) { CopyMatrix(this, source); }

CVEXAMatrix::CVEXAMatrix(const CVEXAMatrix& source) : PT_Matrix(source) {}

CVEXAMatrix::~CVEXAMatrix() {}

const CVEXAMatrix& CVEXAMatrix::operator=(const PT_Matrix& source) {
    CopyMatrix(this, &source);
    return *this;
}

const CVEXAMatrix& CVEXAMatrix::operator=(const PT_Matrix* source) {
    CopyMatrix(this, source);
    return *this;
}

CVEXAMatrix& CVEXAMatrix::operator=(const CVEXAMatrix& source) {
    for (PT_Int32 row = 0; row < kRowCapacity; ++row) {
        vexa::detail::AssignSlots(elt[row], source.elt[row]);
    }
    rowCount = source.rowCount;
    return *this;
}

unsigned char CVEXAMatrix::operator==(const PT_Matrix& other) const {
    return static_cast<unsigned char>(EqualMatrix(this, &other));
}

unsigned char CVEXAMatrix::operator==(const PT_Matrix* other) const {
    return static_cast<unsigned char>(EqualMatrix(this, other));
}

unsigned char CVEXAMatrix::operator!=(const PT_Matrix& other) const {
    return EqualMatrix(this, &other) ? 0 : 1;
}

unsigned char CVEXAMatrix::operator!=(const PT_Matrix* other) const {
    return EqualMatrix(this, other) ? 0 : 1;
}

unsigned char CVEXAMatrix::operator==(const CVEXAMatrix& other) const {
    return static_cast<unsigned char>(EqualMatrix(this, &other));
}

unsigned char CVEXAMatrix::operator!=(const CVEXAMatrix& other) const {
    return EqualMatrix(this, &other) ? 0 : 1;
}

// The column count is examined only once rowCount is set, so a refused one leaves the new row
// count with every row's size as it was.
unsigned char CVEXAMatrix::Resize(long rows, long columns) {
    PT_Int32 n;
    if (!vexa::detail::ToCount(rows, n) || n > kRowCapacity) return 0;
    rowCount = n;
    if (n <= 0) return 1;
    PT_Int32 m;
    if (!vexa::detail::ToCount(columns, m) || m > kOrdinateCapacity) return 0;
    for (PT_Int32 row = 0; row < n; ++row) elt[row].size = m;
    return 1;
}
