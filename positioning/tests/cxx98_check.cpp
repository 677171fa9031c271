// Compiled as C++98 with -pedantic-errors: the handheld's compiler sees the headers this way.
#include <vexa/vexa.h>

int vexa_cxx98_check_uses_records() {
    PT_Matrix matrix;
    PT_Envelope envelope;
    return CopyCoordinatePoint(&matrix.elt[0], &envelope.minCP);
}

int vexa_cxx98_check_uses_classes() {
    const CVEXACoordinatePoint lower(0.0, 0.0);
    CVEXACoordinatePoint upper(2.0, 2.0);
    upper[1L] = 3.0;
    CVEXAEnvelope box(lower, upper);
    const PT_Envelope* record = box;
    CVEXAMatrix matrix(2, 3);
    matrix(1, 2) = upper[1L];
    const PT_Matrix* rows = matrix;
    const PT_CoordinatePoint point = upper;
    return box.PointInEnveloppe(upper) + box.PointInEnveloppe(point) + (box == record) +
           (matrix != rows) + (point == upper) + (*record != box) + (*rows == matrix) +
           static_cast<int>(matrix.GetColumnCount() + upper.GetSize());
}
