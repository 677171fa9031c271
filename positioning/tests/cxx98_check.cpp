// Compiled as C++98 with -pedantic-errors: the handheld's compiler sees the headers this way.
#include <vexa/vexa.h>

int vexa_cxx98_check_uses_records() {
    PT_Matrix matrix;
    PT_Envelope envelope;
    return CopyCoordinatePoint(&matrix.elt[0], &envelope.minCP);
}
