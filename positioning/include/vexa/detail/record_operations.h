#ifndef VEXA_DETAIL_RECORD_OPERATIONS_H
#define VEXA_DETAIL_RECORD_OPERATIONS_H

// The bodies of the plain functions of <vexa/records.h>, which includes this after the records.
#include <vexa/detail/compare.h>
#include <vexa/detail/slot_bytes.h>

namespace vexa {
namespace detail {

// The record copies and comparisons, inline: the exported functions, their inline forms below and
// the classes' header members share them, so that hot paths compile into the caller.

/// The in-use part of a point copy, for a size already known to be 3 or less. The slots are
/// written by the size as a guard rather than a loop bound, so no copy loop is generated.
inline void CopyOrdinatesInUse(PT_CoordinatePoint& destination, const PT_CoordinatePoint& source) {
    const PT_Int32 n = source.size;
    destination.size = n;
    if (n > 0) CopySlot(destination.ord[0], source.ord[0]);
    if (n > 1) CopySlot(destination.ord[1], source.ord[1]);
    if (n > 2) CopySlot(destination.ord[2], source.ord[2]);
}

/// The body of CopyCoordinatePoint.
inline int CopyPointRecord(PT_CoordinatePoint* destination, const PT_CoordinatePoint* source) {
    if (!destination || !source) return 0;
    if (source->size > kOrdinateCapacity) return 0;
    CopyOrdinatesInUse(*destination, *source);
    return 1;
}

/// Equality of two points of the same size; a size above 3 compares all three slots.
inline bool OrdinatesInUseEqual(const PT_CoordinatePoint& first, const PT_CoordinatePoint& second) {
    const PT_Int32 n = first.size;
    if (n > 0 && Unequal(first.ord[0], second.ord[0])) return false;
    if (n > 1 && Unequal(first.ord[1], second.ord[1])) return false;
    if (n > 2 && Unequal(first.ord[2], second.ord[2])) return false;
    return true;
}

/// The body of EqualCoordinatePoint.
inline int EqualPointRecord(const PT_CoordinatePoint* first, const PT_CoordinatePoint* second) {
    if (!first || !second) return 0;
    if (first->size != second->size) return 0;
    return OrdinatesInUseEqual(*first, *second) ? 1 : 0;
}

/// The body of CopyEnvelope.
inline int CopyEnvelopeRecord(PT_Envelope* destination, const PT_Envelope* source) {
    if (!destination || !source) return 0;
    destination->minCP = source->minCP;
    destination->maxCP = source->maxCP;
    return 1;
}

/// The body of EqualEnvelope.
inline int EqualEnvelopeRecord(const PT_Envelope* first, const PT_Envelope* second) {
    if (!first || !second) return 0;
    if (!EqualPointRecord(&first->minCP, &second->minCP)) return 0;
    return EqualPointRecord(&first->maxCP, &second->maxCP);
}

}  // namespace detail
}  // namespace vexa

#if defined(__GNUC__) && !defined(VEXA_DEFINING_PLAIN_FUNCTIONS) && !defined(_WIN32) && \
    !defined(__CYGWIN__)
// GCC and Clang callers inline the plain functions from these definitions (gnu_inline: never
// emitted by the caller; extern, which clang asks for, means the same to both compilers); a call
// left out of line, or a taken address, still reaches the library's function, which is built
// from the same helpers in the one unit that defines it (and which clang forbids to see these).
extern "C" {
extern inline __attribute__((gnu_inline)) int CopyCoordinatePoint(
    PT_CoordinatePoint* destination, const PT_CoordinatePoint* source) {
    return vexa::detail::CopyPointRecord(destination, source);
}
extern inline __attribute__((gnu_inline)) int EqualCoordinatePoint(
    const PT_CoordinatePoint* first, const PT_CoordinatePoint* second) {
    return vexa::detail::EqualPointRecord(first, second);
}
extern inline __attribute__((gnu_inline)) int CopyEnvelope(PT_Envelope* destination,
                                                           const PT_Envelope* source) {
    return vexa::detail::CopyEnvelopeRecord(destination, source);
}
extern inline __attribute__((gnu_inline)) int EqualEnvelope(const PT_Envelope* first,
                                                            const PT_Envelope* second) {
    return vexa::detail::EqualEnvelopeRecord(first, second);
}
}
#endif

#endif
