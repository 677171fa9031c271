#ifndef VEXA_SRC_RECORD_HELPERS_H
#define VEXA_SRC_RECORD_HELPERS_H

// Helpers of the library's units alone. The public headers never need them, so they are not
// installed.
#include <limits.h>

#include <vexa/records.h>

namespace vexa {
namespace detail {

/// Narrows a count given as long to the records' 32-bit count; false when it does not fit.
inline bool ToCount(long value, PT_Int32& count) {
#if LONG_MAX > INT_MAX
    if (value > INT_MAX || value < INT_MIN) return false;
#endif
    count = static_cast<PT_Int32>(value);
    return true;
}

/// The smaller of two counts (signed).
inline PT_Int32 SmallerCount(PT_Int32 a, PT_Int32 b) { return a < b ? a : b; }

/// The record assignment written slot by slot: all three ordinates and the size, unchecked. The
/// compiler keeps the implicit one as a three-step loop, which costs a whole-matrix copy dearly.
inline void AssignSlots(PT_CoordinatePoint& destination, const PT_CoordinatePoint& source) {
    CopySlot(destination.ord[0], source.ord[0]);
    CopySlot(destination.ord[1], source.ord[1]);
    CopySlot(destination.ord[2], source.ord[2]);
    destination.size = source.size;
}

}  // namespace detail
}  // namespace vexa

#endif
