// A user's program: the three classes and the four plain functions of an installed VEXA.
// Exits with 0 only when every answer is right.
#include <vexa/vexa.h>

#include <cstdio>

namespace {

int failures = 0;

void Check(bool ok, const char* what) {
    if (!ok) {
        std::printf("wrong: %s\n", what);
        ++failures;
    }
}

}  // namespace

int main() {
    CVEXACoordinatePoint lower(1.0, 5.0);
    CVEXACoordinatePoint upper(3.0, 2.0);
    CVEXAEnvelope box(lower, upper);
    Check(box.PointInEnveloppe(CVEXACoordinatePoint(2.0, 3.0)) == 1, "point inside the box");
    Check(box.PointInEnveloppe(CVEXACoordinatePoint(0.5, 3.0)) == 0, "point left of the box");
    box.NormalizeEnveloppe();

    CVEXAMatrix matrix(2, 3);
    matrix(1, 2) = 7.5;
    CVEXAMatrix copy(static_cast<const PT_Matrix&>(matrix));
    Check(copy == static_cast<const PT_Matrix&>(matrix), "matrix copied from its record");
    Check(copy.GetRowCount() == 2 && copy.GetColumnCount() == 3, "matrix counts");

    // Through pointers, so that the calls reach the library's exported functions.
    int (*copy_point)(PT_CoordinatePoint*, const PT_CoordinatePoint*) = &CopyCoordinatePoint;
    int (*equal_point)(const PT_CoordinatePoint*, const PT_CoordinatePoint*) =
        &EqualCoordinatePoint;
    int (*copy_envelope)(PT_Envelope*, const PT_Envelope*) = &CopyEnvelope;
    int (*equal_envelope)(const PT_Envelope*, const PT_Envelope*) = &EqualEnvelope;
    PT_CoordinatePoint point;
    Check(copy_point(&point, lower) == 1 && equal_point(&point, lower) == 1, "point functions");
    PT_Envelope record;
    Check(copy_envelope(&record, box) == 1 && equal_envelope(&record, box) == 1,
          "envelope functions");
    point.size = 4;
    Check(copy_point(&point, &point) == 0, "a point of four ordinates is refused");

    if (failures == 0) std::printf("consumer ok\n");
    return failures == 0 ? 0 : 1;
}
