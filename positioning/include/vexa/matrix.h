#ifndef VEXA_MATRIX_H
#define VEXA_MATRIX_H

// The matrix class: a PT_Matrix with sizing, element access, assignment and comparison.
#include <vexa/records.h>

#if defined(__GNUC__)
#pragma GCC diagnostic push
// The class is its record, whose layout is the interface: the trailing padding is meant.
#pragma GCC diagnostic ignored "-Wpadded"
#endif

/// A table of up to 100 rows of up to three numbers: the PT_Matrix record with sizing, element
/// access, assignment and exact comparison. Each row is a PT_CoordinatePoint whose size counts its
/// numbers in use; the column count is the size of row 0.
///
/// Copies from a record take only what is in use: a record of more than 100 rows is refused, and
/// a row of more than three numbers is passed over, keeping the target row as it was. Copies
/// between matrices move all 100 rows whatever the counts say.
///
/// Comparisons take the row counts, each row's size and the numbers in use. Records filled by hand
/// with an equal row count above 100, or rows of an equal size above 3, are compared in what
/// exists: 100 rows, three numbers a row.
///
/// Compare with a record through a const pointer (const PT_Matrix*): with a non-const one,
/// `matrix == &record` is ambiguous with the built-in pointer comparison that the conversion to
/// PT_Matrix* makes available.
class VEXA_API CVEXAMatrix : public PT_Matrix {
public:
    /// No row in use, every row's size 0, every number 0.0.
    CVEXAMatrix();
    /// An empty matrix, then Resize(rows, columns); a refusal is ignored.
    CVEXAMatrix(long rows, long columns);
    /// An empty matrix, then the record's rows in use; an empty matrix when it has over 100 rows.
    CVEXAMatrix(const PT_Matrix& source);
    /// As the reference form; a null pointer gives an empty matrix.
    CVEXAMatrix(const PT_Matrix* source);
    /// All 100 rows, in use or not, then the row count.
    CVEXAMatrix(const CVEXAMatrix& source);
    virtual ~CVEXAMatrix();

    /// Copies the row count and the rows in use; a record of over 100 rows changes nothing.
    const CVEXAMatrix& operator=(const PT_Matrix& source);
    /// As the reference form; a null pointer leaves the matrix unchanged.
    const CVEXAMatrix& operator=(const PT_Matrix* source);
    /// All 100 rows, in use or not, then the row count.
    CVEXAMatrix& operator=(const CVEXAMatrix& source);

    /// 1 when the row counts, the sizes of the rows in use and their numbers in use are equal.
    unsigned char operator==(const PT_Matrix& other) const;
    /// As the reference form; a null pointer gives 0.
    unsigned char operator==(const PT_Matrix* other) const;
    /// The negation of operator==.
    unsigned char operator!=(const PT_Matrix& other) const;
    /// The negation of operator==; a null pointer gives 1.
    unsigned char operator!=(const PT_Matrix* other) const;
    /// As the record form: an exact match, which C++20 takes rather than its reversed form.
    unsigned char operator==(const CVEXAMatrix& other) const;
    /// The negation of operator==, as the record form.
    unsigned char operator!=(const CVEXAMatrix& other) const;

    /// record == matrix: the member form with the operands swapped. A friend found only beside a
    /// matrix operand, so that two records never compare through a converted copy.
    friend bool operator==(const PT_Matrix& record, const CVEXAMatrix& matrix) {
        return (matrix == record) != 0;
    }
    /// record != matrix: the member form with the operands swapped.
    friend bool operator!=(const PT_Matrix& record, const CVEXAMatrix& matrix) {
        return (matrix != record) != 0;
    }

// Members kept for programs built against the 1.0 and 1.1 headers, declared for the shared
// library's own build alone, which defines the macro; removed in 2.0.
#if defined(VEXA_LEGACY_COMPARISONS)
#include "../../src/legacy/matrix_legacy_comparisons.h"
#endif

    /// The number slot at row (0 to 99) and column (0 to 2), checked only by assert, in use or not.
    VEXA_INLINE_API double& operator()(long row, long column) { return elt[row].ord[column]; }
    /// The number slot at row (0 to 99) and column (0 to 2), read-only.
    VEXA_INLINE_API const double& operator()(long row, long column) const {
        return elt[row].ord[column];
    }

    /// The number of rows in use.
    VEXA_INLINE_API long GetRowCount() const { return rowCount; }
    /// The size of row 0 when the row count is not 0 (a negative one included), else 0.
    VEXA_INLINE_API long GetColumnCount() const { return rowCount != 0 ? elt[0].size : 0; }
    /// Sets the row count and the size of each row in use. Returns 0, changing nothing, for more
    /// than 100 rows, and 0 with only the row count set for more than three columns; with 0 rows
    /// or fewer the column count is not examined. Counts that do not fit 32 bits are refused as
    /// counts above the capacity are. Numbers and rows beyond the new count are not touched.
    unsigned char Resize(long rows, long columns);

    /// The matrix's own record part.
    VEXA_INLINE_API operator PT_Matrix*() { return this; }
    /// The matrix's own record part, read-only.
    VEXA_INLINE_API operator const PT_Matrix*() const { return this; }
};

#if defined(__GNUC__)
#pragma GCC diagnostic pop
#endif

#endif
