#ifndef VEXA_DETAIL_POINT_IN_BOX_H
#define VEXA_DETAIL_POINT_IN_BOX_H

// The point-in-box test of <vexa/envelope.h>, on the records.
#include <vexa/records.h>

namespace vexa {
namespace detail {

/// The closed-box test in the dimensions counted by both the point and the lower corner (the
/// upper corner's size is not consulted), three at most.
inline bool PointInBox(const PT_CoordinatePoint& point, const PT_Envelope& box) {
    const PT_Int32 n = point.size < box.minCP.size ? point.size : box.minCP.size;
    if (n > 0 && OutsideBounds(point.ord[0], box.minCP.ord[0], box.maxCP.ord[0])) return false;
    if (n > 1 && OutsideBounds(point.ord[1], box.minCP.ord[1], box.maxCP.ord[1])) return false;
    if (n > 2 && OutsideBounds(point.ord[2], box.minCP.ord[2], box.maxCP.ord[2])) return false;
    return true;
}

}  // namespace detail
}  // namespace vexa

#endif
