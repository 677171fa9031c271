#ifndef VEXA_TESTS_SAME_SLOTS_H
#define VEXA_TESTS_SAME_SLOTS_H

// Records compared slot by slot, bit for bit, so that a test can prove what an operation wrote and
// what it left alone (NaNs and signed zeros included). Padding is left out: no copy is bound to
// preserve it. The tests and the fuzz targets share them.
#include <vexa/records.h>

#include <cstring>

// By reference: a double passed by value may travel through the x87 unit of 32-bit x86, which
// turns a signalling NaN quiet, so the bits compared would not be the slot's.
inline bool SameBits(const double& a, const double& b) {
    return std::memcmp(&a, &b, sizeof a) == 0;
}

inline bool SameSlot(const PT_CoordinatePoint& a, const PT_CoordinatePoint& b, int slot) {
    return SameBits(a.ord[slot], b.ord[slot]);
}

inline bool SameSlots(const PT_CoordinatePoint& a, const PT_CoordinatePoint& b) {
    return a.size == b.size && SameSlot(a, b, 0) && SameSlot(a, b, 1) && SameSlot(a, b, 2);
}

inline bool SameSlots(const PT_Envelope& a, const PT_Envelope& b) {
    return SameSlots(a.minCP, b.minCP) && SameSlots(a.maxCP, b.maxCP);
}

inline bool SameSlots(const PT_Matrix& a, const PT_Matrix& b) {
    if (a.rowCount != b.rowCount) return false;
    for (int row = 0; row < 100; ++row) {
        if (!SameSlots(a.elt[row], b.elt[row])) return false;
    }
    return true;
}

#endif
