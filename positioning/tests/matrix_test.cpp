#include <vexa/vexa.h>

#include <gtest/gtest.h>

#include <climits>
#include <limits>
#include <type_traits>

#include "record_builders.h"

namespace {

static_assert(std::is_base_of<PT_Matrix, CVEXAMatrix>::value&&
                  std::has_virtual_destructor<CVEXAMatrix>::value,
              "a matrix is its record plus a virtual destructor");

// Every row filled with numbers that tell row and column apart, of the given size, with rowCount.
PT_Matrix NumberedMatrix(PT_Int32 rowCount, PT_Int32 rowSize, double offset) {
    PT_Matrix matrix;
    for (long row = 0; row < 100; ++row) {
        matrix.elt[row] = MakePoint(rowSize, offset + row, offset + row + 0.25, offset + row + 0.5);
    }
    matrix.rowCount = rowCount;
    return matrix;
}

// A matrix whose every slot is set, so that whole comparisons read no unset number.
CVEXAMatrix FilledMatrix(PT_Int32 rowCount, PT_Int32 rowSize, double offset) {
    CVEXAMatrix matrix;
    static_cast<PT_Matrix&>(matrix) = NumberedMatrix(rowCount, rowSize, offset);
    return matrix;
}

TEST(Matrix, DefaultIsEmptyAndEqualsAnyRecordWithoutRows) {
    CVEXAMatrix matrix;
    EXPECT_EQ(matrix.GetRowCount(), 0);
    EXPECT_EQ(matrix.GetColumnCount(), 0);
    for (long row = 0; row < 100; ++row) {
        EXPECT_TRUE(SameSlots(matrix.elt[row], MakePoint(0, 0.0, 0.0, 0.0))) << row;
    }
    EXPECT_EQ(matrix == NumberedMatrix(0, 3, 1.0), 1);
    EXPECT_EQ(matrix == NumberedMatrix(1, 0, 1.0), 0);
}

TEST(Matrix, ResizeSizesEveryRowInUseWithinTheCapacity) {
    CVEXAMatrix matrix = FilledMatrix(100, 1, 0.0);
    EXPECT_EQ(matrix.Resize(100, 3), 1);
    for (long row = 0; row < 100; ++row) EXPECT_EQ(matrix.elt[row].size, 3) << row;
    EXPECT_EQ(matrix(99, 2), 99.5);

    const PT_Matrix before = matrix;
    EXPECT_EQ(matrix.Resize(101, 2), 0);
    EXPECT_EQ(matrix.Resize(LONG_MAX, 2), 0);
    EXPECT_TRUE(SameSlots(matrix, before));
}

TEST(Matrix, RefusedColumnCountKeepsTheNewRowCountAndEverySize) {
    CVEXAMatrix matrix = FilledMatrix(2, 1, 0.0);
    const PT_Matrix before = matrix;
    EXPECT_EQ(matrix.Resize(5, 4), 0);
    EXPECT_EQ(matrix.GetRowCount(), 5);
    for (long row = 0; row < 100; ++row) EXPECT_TRUE(SameSlots(matrix.elt[row], before.elt[row]));
}

TEST(Matrix, ResizeToNoRowsNeverExaminesTheColumnCount) {
    CVEXAMatrix matrix(NumberedMatrix(3, 2, 0.0));
    EXPECT_EQ(matrix.Resize(0, 4), 1);
    EXPECT_EQ(matrix.GetRowCount(), 0);
    EXPECT_EQ(matrix.GetColumnCount(), 0);
    EXPECT_EQ(matrix.Resize(-1, LONG_MAX), 1);
    EXPECT_EQ(matrix.GetRowCount(), -1);
    EXPECT_EQ(matrix.GetColumnCount(), 2);
    EXPECT_EQ(matrix.elt[1].size, 2);
}

#if LONG_MAX > INT_MAX
TEST(Matrix, ResizeTreatsCountsBeyondThirtyTwoBitsAsAboveTheCapacity) {
    CVEXAMatrix matrix = FilledMatrix(3, 1, 0.0);
    const PT_Matrix before = matrix;
    // Each count would land on 1 or 2 if narrowed to 32 bits.
    EXPECT_EQ(matrix.Resize(4294967297L, 2), 0);
    EXPECT_EQ(matrix.Resize(-4294967294L, 2), 0);
    EXPECT_TRUE(SameSlots(matrix, before));
    EXPECT_EQ(matrix.Resize(2, 4294967298L), 0);
    EXPECT_EQ(matrix.Resize(2, -4294967294L), 0);
    EXPECT_EQ(matrix.GetRowCount(), 2);
    EXPECT_EQ(matrix.elt[0].size, 1);
    EXPECT_EQ(matrix.elt[1].size, 1);
}
#endif

TEST(Matrix, NegativeColumnCountMakesRowsWithoutNumbers) {
    CVEXAMatrix matrix(NumberedMatrix(3, 3, 0.0));
    EXPECT_EQ(matrix.Resize(3, -2), 1);
    for (long row = 0; row < 3; ++row) EXPECT_EQ(matrix.elt[row].size, -2);
    EXPECT_EQ(matrix == NumberedMatrix(3, -2, 50.0), 1);
    EXPECT_EQ(matrix == NumberedMatrix(3, -1, 0.0), 0);

    CVEXAMatrix target(NumberedMatrix(3, 3, 50.0));
    target = static_cast<const PT_Matrix&>(matrix);
    EXPECT_EQ(target.elt[0].size, -2);
    EXPECT_EQ(target(0, 0), 50.0);
}

TEST(Matrix, RowsBeyondAShrinkKeepTheirSizesAndNumbers) {
    CVEXAMatrix matrix(5, 3);
    for (long row = 0; row < 5; ++row) matrix(row, 2) = 10.0 * row;
    EXPECT_EQ(matrix.Resize(2, 2), 1);
    EXPECT_EQ(matrix.elt[1].size, 2);
    for (long row = 2; row < 5; ++row) {
        EXPECT_EQ(matrix.elt[row].size, 3) << row;
        EXPECT_EQ(matrix(row, 2), 10.0 * row) << row;
    }
    EXPECT_EQ(matrix.Resize(5, 3), 1);
    EXPECT_EQ(matrix(4, 2), 40.0);
}

TEST(Matrix, ConstructionFromCountsResizesAnEmptyMatrix) {
    const CVEXAMatrix tooTall(150, 2);
    const CVEXAMatrix tooWide(4, 4);
    for (long row = 0; row < 100; ++row) {
        EXPECT_EQ(tooTall.elt[row].size, 0) << row;
        EXPECT_EQ(tooWide.elt[row].size, 0) << row;
    }
    EXPECT_EQ(tooTall.GetRowCount(), 0);
    EXPECT_EQ(tooWide.GetRowCount(), 4);
    const CVEXAMatrix table(3, 2);
    EXPECT_EQ(table.GetRowCount(), 3);
    EXPECT_EQ(table.GetColumnCount(), 2);
    EXPECT_EQ(table.elt[2].size, 2);
    EXPECT_EQ(table.elt[3].size, 0);
}

TEST(Matrix, ConstructionFromARecordCopiesRowsInUseOrStaysEmpty) {
    PT_Matrix source = NumberedMatrix(3, 2, 0.0);
    source.elt[1].size = 4;
    const CVEXAMatrix matrix(source);
    EXPECT_EQ(matrix.GetRowCount(), 3);
    EXPECT_EQ(matrix.elt[0].size, 2);
    EXPECT_EQ(matrix(0, 1), 0.25);
    EXPECT_EQ(matrix.elt[1].size, 0);
    EXPECT_EQ(matrix.elt[2].size, 2);
    EXPECT_EQ(matrix(2, 1), 2.25);
    EXPECT_EQ(matrix.elt[3].size, 0);
    EXPECT_EQ(CVEXAMatrix(&source).GetRowCount(), 3);

    EXPECT_EQ(CVEXAMatrix(NumberedMatrix(101, 2, 0.0)).GetRowCount(), 0);
    EXPECT_EQ(CVEXAMatrix(NumberedMatrix(101, 2, 0.0)).elt[0].size, 0);
    EXPECT_EQ(CVEXAMatrix(static_cast<const PT_Matrix*>(0)).GetRowCount(), 0);
}

TEST(Matrix, RefusedRecordAssignmentLeavesTheMatrixUnchanged) {
    CVEXAMatrix matrix = FilledMatrix(5, 3, 0.0);
    const PT_Matrix before = matrix;
    EXPECT_EQ(&(matrix = NumberedMatrix(101, 1, 9.0)), &matrix);
    EXPECT_EQ(&(matrix = Addr(NumberedMatrix(INT_MAX, 1, 9.0))), &matrix);
    EXPECT_EQ(&(matrix = static_cast<const PT_Matrix*>(0)), &matrix);
    EXPECT_TRUE(SameSlots(matrix, before));
}

TEST(Matrix, RecordAssignmentCopiesOnlyWhatIsInUse) {
    CVEXAMatrix matrix(NumberedMatrix(5, 3, 0.0));
    PT_Matrix source = NumberedMatrix(3, 1, 100.0);
    source.elt[1].size = 4;
    matrix = source;
    EXPECT_EQ(matrix.GetRowCount(), 3);
    EXPECT_TRUE(SameSlots(matrix.elt[0], MakePoint(1, 100.0, 0.25, 0.5)));
    EXPECT_TRUE(SameSlots(matrix.elt[1], MakePoint(3, 1.0, 1.25, 1.5)));
    EXPECT_TRUE(SameSlots(matrix.elt[2], MakePoint(1, 102.0, 2.25, 2.5)));
    EXPECT_TRUE(SameSlots(matrix.elt[3], MakePoint(3, 3.0, 3.25, 3.5)));

    EXPECT_EQ(matrix.Resize(5, 3), 1);
    EXPECT_EQ(matrix(4, 2), 4.5);

    matrix = NumberedMatrix(-7, 1, 200.0);
    EXPECT_EQ(matrix.GetRowCount(), -7);
    EXPECT_TRUE(SameSlots(matrix.elt[0], MakePoint(3, 100.0, 0.25, 0.5)));
}

TEST(Matrix, WholeCopyMovesAllRowsWhileAssigningItAsARecordDoesNot) {
    CVEXAMatrix source = FilledMatrix(2, 3, 0.0);
    source.elt[99].size = 7;
    source(0, 1) = SignallingNaN();
    source(99, 2) = SignallingNaN();
    const CVEXAMatrix constructed(source);
    EXPECT_TRUE(SameSlots(constructed, source));
    CVEXAMatrix assigned(NumberedMatrix(100, 1, 500.0));
    EXPECT_EQ(&(assigned = source), &assigned);
    EXPECT_TRUE(SameSlots(assigned, source));

    CVEXAMatrix asRecord = FilledMatrix(100, 1, 500.0);
    asRecord = static_cast<const PT_Matrix&>(source);
    EXPECT_TRUE(SameSlots(asRecord.elt[1], source.elt[1]));
    EXPECT_TRUE(SameSlots(asRecord.elt[2], MakePoint(1, 502.0, 502.25, 502.5)));
    EXPECT_TRUE(SameSlots(asRecord.elt[99], MakePoint(1, 599.0, 599.25, 599.5)));
}

TEST(Matrix, SelfAssignmentChangesNothing) {
    CVEXAMatrix matrix = FilledMatrix(4, 2, 0.0);
    const PT_Matrix before = matrix;
    const CVEXAMatrix& same = matrix;
    matrix = same;
    matrix = static_cast<const PT_Matrix&>(matrix);
    matrix = static_cast<const PT_Matrix*>(matrix);
    EXPECT_TRUE(SameSlots(matrix, before));
}

TEST(Matrix, ComparesCountsSizesAndNumbersInUse) {
    CVEXAMatrix matrix(NumberedMatrix(100, 3, 0.0));
    PT_Matrix other = NumberedMatrix(100, 3, 0.0);
    EXPECT_EQ(matrix == other, 1);
    EXPECT_EQ(matrix != Addr(other), 0);
    other.elt[99].ord[2] = 0.0;
    EXPECT_EQ(matrix == Addr(other), 0);
    EXPECT_EQ(matrix != other, 1);

    matrix = NumberedMatrix(2, 2, 0.0);
    other = NumberedMatrix(2, 2, 0.0);
    other.elt[0].ord[2] = -1.0;
    other.elt[2] = MakePoint(3, -1, -1, -1);
    EXPECT_EQ(matrix == other, 1);
    other.elt[1].size = 3;
    matrix.elt[1].size = 3;
    matrix(1, 2) = other.elt[1].ord[2];
    EXPECT_EQ(matrix == other, 1);
    other.elt[1].size = 2;
    EXPECT_EQ(matrix == other, 0);
    EXPECT_EQ(matrix == NumberedMatrix(3, 2, 0.0), 0);
    EXPECT_EQ(matrix == CVEXAMatrix(matrix), 1);

    EXPECT_EQ(CVEXAMatrix(NumberedMatrix(-3, 2, 0.0)) == NumberedMatrix(-3, 1, 9.0), 1);
    const PT_Matrix* none = 0;
    EXPECT_EQ(matrix == none, 0);
    EXPECT_EQ(matrix != none, 1);
}

TEST(Matrix, EveryComparisonFormAgreesWhateverTheConstness) {
    const PT_Matrix matrix = NumberedMatrix(100, 3, 0.0);
    ExpectEveryComparisonGives<CVEXAMatrix>(1, matrix, matrix);
    PT_Matrix lastDiffers = matrix;
    lastDiffers.elt[99].ord[2] = -1.0;
    ExpectEveryComparisonGives<CVEXAMatrix>(0, matrix, lastDiffers);
    ExpectEveryComparisonGives<CVEXAMatrix>(0, matrix, NumberedMatrix(99, 3, 0.0));
    PT_Matrix withNaN = matrix;
    withNaN.elt[5].ord[1] = std::numeric_limits<double>::quiet_NaN();
    ExpectEveryComparisonGives<CVEXAMatrix>(0, withNaN, withNaN);
}

TEST(Matrix, CountsAboveTheCapacityCompareWhatExists) {
    CVEXAMatrix matrix(NumberedMatrix(100, 3, 0.0));
    matrix.rowCount = 150;
    EXPECT_EQ(matrix == NumberedMatrix(150, 3, 0.0), 1);
    PT_Matrix differsInRow99 = NumberedMatrix(150, 3, 0.0);
    differsInRow99.elt[99].ord[2] = -1.0;
    EXPECT_EQ(matrix == differsInRow99, 0);

    matrix = NumberedMatrix(2, 2, 0.0);
    matrix.elt[1].size = 5;
    PT_Matrix wideRows = NumberedMatrix(2, 2, 0.0);
    wideRows.elt[1].size = 5;
    EXPECT_EQ(matrix == wideRows, 1);
    wideRows.elt[1].ord[2] = -1.0;
    EXPECT_EQ(matrix == wideRows, 0);
}

TEST(Matrix, ElementAccessReachesEverySlotWhateverTheCounts) {
    CVEXAMatrix matrix;
    matrix(99, 2) = 7.5;
    matrix(0, 0) = -1.0;
    EXPECT_EQ(matrix.GetRowCount(), 0);
    EXPECT_EQ(matrix.elt[99].size, 0);
    const CVEXAMatrix& view = matrix;
    EXPECT_EQ(view(99, 2), 7.5);
    EXPECT_EQ(&view(0, 0), &matrix.elt[0].ord[0]);
}

TEST(Matrix, ConversionsGiveTheRecordPart) {
    CVEXAMatrix matrix(2, 3);
    PT_Matrix* record = matrix;
    EXPECT_EQ(record, &static_cast<PT_Matrix&>(matrix));
    record->rowCount = 1;
    EXPECT_EQ(matrix.GetRowCount(), 1);
    const CVEXAMatrix& view = matrix;
    EXPECT_EQ(static_cast<const PT_Matrix*>(view), record);
}

#ifndef NDEBUG
TEST(MatrixDeathTest, IndexesOutsideTheCapacityAssertInDebugBuilds) {
    CVEXAMatrix matrix;
    EXPECT_DEATH(matrix(100, 0) = 0.0, "");
    EXPECT_DEATH(matrix(0, 3) = 0.0, "");
    EXPECT_DEATH(static_cast<void>(static_cast<const CVEXAMatrix&>(matrix)(-1, 0)), "");
}
#endif

}  // namespace
