#include <vexa/coordinate_point.h>

#include "record_helpers.h"

CVEXACoordinatePoint::CVEXACoordinatePoint() {}

CVEXACoordinatePoint::CVEXACoordinatePoint(double x, double y) {
    ord[0] = x;
    ord[1] = y;
    size = 2;
}

CVEXACoordinatePoint::CVEXACoordinatePoint(double x, double y, double z) {
    ord[0] = x;
    ord[1] = y;
    ord[2] = z;
    size = 3;
}

// The base constructor has already made the point empty, so a refused copy leaves it valid.
CVEXACoordinatePoint::CVEXACoordinatePoint(const PT_CoordinatePoint& source) {
    vexa::detail::CopyPointRecord(this, &source);
}

CVEXACoordinatePoint::CVEXACoordinatePoint(const PT_CoordinatePoint* source) {
    vexa::detail::CopyPointRecord(this, source);
}

CVEXACoordinatePoint::CVEXACoordinatePoint(const CVEXACoordinatePoint& source)
    : PT_CoordinatePoint(source) {}

CVEXACoordinatePoint::~CVEXACoordinatePoint() {}

CVEXACoordinatePoint& CVEXACoordinatePoint::operator=(const CVEXACoordinatePoint& source) {
    PT_CoordinatePoint::operator=(source);
    return *this;
}

unsigned char CVEXACoordinatePoint::Resize(long newSize) {
    PT_Int32 count;
    if (!vexa::detail::ToCount(newSize, count) || count > vexa::detail::kOrdinateCapacity) return 0;
    size = count;
    return 1;
}
