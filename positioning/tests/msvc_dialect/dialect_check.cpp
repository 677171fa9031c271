// Compiled by check_msvc_dialect.sh in Microsoft's dialect, for each target: the records' layout,
// which is the library's interface, and the comparisons that the target's macros select. Each
// check is a C++98 static assertion: an array of -1 elements does not compile.
#include <stddef.h>

#include <vexa/vexa.h>

#if !defined(VEXA_EXPECTED_COMPARE_BIT_PATTERNS)
#error "say which comparisons this compile expects: -DVEXA_EXPECTED_COMPARE_BIT_PATTERNS=0 or 1"
#endif

#define VEXA_CHECK(name, condition) typedef char name[(condition) ? 1 : -1]

VEXA_CHECK(ComparisonsAsExpected, VEXA_COMPARE_BIT_PATTERNS == VEXA_EXPECTED_COMPARE_BIT_PATTERNS);

VEXA_CHECK(CountIsThirtyTwoBits, sizeof(PT_Int32) == 4);
VEXA_CHECK(PointSize, sizeof(PT_CoordinatePoint) == 40);
VEXA_CHECK(EnvelopeSize, sizeof(PT_Envelope) == 80);
VEXA_CHECK(MatrixSize, sizeof(PT_Matrix) == 4016);
// An array's table pointer, padded to the doubles' alignment, then its elements.
VEXA_CHECK(OrdinateArraySize, sizeof(PT_FixedArray<double, 3>) == 8 + 3 * 8);
VEXA_CHECK(RowArraySize, sizeof(PT_FixedArray<PT_CoordinatePoint, 100>) == 8 + 100 * 40);

// The records are not standard-layout (their arrays have a virtual destructor), so offsetof on
// them is the compiler's own; their layout is fixed all the same, and that is what is checked.
#pragma clang diagnostic push
#pragma clang diagnostic ignored "-Winvalid-offsetof"
VEXA_CHECK(OrdinatesFirst, offsetof(PT_CoordinatePoint, ord) == 0);
VEXA_CHECK(SizeAfterOrdinates, offsetof(PT_CoordinatePoint, size) == 32);
VEXA_CHECK(LowerCornerFirst, offsetof(PT_Envelope, minCP) == 0);
VEXA_CHECK(UpperCornerAfterLower, offsetof(PT_Envelope, maxCP) == 40);
VEXA_CHECK(RowsFirst, offsetof(PT_Matrix, elt) == 0);
VEXA_CHECK(RowCountAfterRows, offsetof(PT_Matrix, rowCount) == 4008);
#pragma clang diagnostic pop
