#ifndef VEXA_RECORDS_H
#define VEXA_RECORDS_H

#include <assert.h>
#include <limits.h>
#include <stddef.h>

#include <vexa/compare.h>
#include <vexa/detail/slot_bytes.h>
#include <vexa/export.h>

/// The 32-bit signed count type of every record, on every platform.
typedef int PT_Int32;

/// Refuses to compile where PT_Int32 is not a 32-bit signed integer (a C++98 static assertion).
typedef char PT_Int32IsThirtyTwoBitSigned[(sizeof(PT_Int32) * CHAR_BIT == 32 && PT_Int32() - 1 < 0)
                                              ? 1
                                              : -1];

namespace vexa {
namespace detail {

/// The number of slots in a point's ordinate array and in a matrix row.
const PT_Int32 kOrdinateCapacity = 3;
/// The number of rows in a matrix.
const PT_Int32 kRowCapacity = 100;

}  // namespace detail
}  // namespace vexa

#if defined(__GNUC__)
#pragma GCC diagnostic push
// The records' layout is the interface: the padding it has on some targets is meant.
#pragma GCC diagnostic ignored "-Wpadded"
#endif

/// N elements of T held inline, in index order; the record that holds it keeps the count in use.
/// Copying and assignment are member-wise over all N elements.
template <class T, int N>
class PT_FixedArray {
public:
#if __cplusplus >= 201103L || (defined(_MSVC_LANG) && _MSVC_LANG >= 201103L)
    /// N default-constructed elements.
    PT_FixedArray() = default;
    /// All N elements, each by its own copy.
    PT_FixedArray(const PT_FixedArray&) = default;
    /// All N elements, each by its own assignment; the dynamic type stays as it was.
    PT_FixedArray& operator=(const PT_FixedArray&) = default;
#endif
    virtual ~PT_FixedArray() {}

    /// The element at index i (0 to N-1); checked by assert only in builds without NDEBUG.
    T& operator[](long i) {
        assert(i >= 0 && i < N);
        return elements_[i];
    }
    /// The element at index i (0 to N-1), read-only.
    const T& operator[](long i) const {
        assert(i >= 0 && i < N);
        return elements_[i];
    }

private:
    T elements_[static_cast<size_t>(N)];
};

/// The ordinate slots: as the general form, except that copying and assignment move every slot as
/// its bytes (see vexa::detail::CopySlot).
template <int N>
class PT_FixedArray<double, N> {
public:
    /// N slots, unset until the record that holds them sets them.
    PT_FixedArray() {}
    /// All N slots, as their bytes.
    PT_FixedArray(const PT_FixedArray& source) { CopySlots(source); }
    /// All N slots, as their bytes; the dynamic type stays as it was.
    // Each slot passes through a local, so assigning an array to itself is a plain copy.
    // NOLINTNEXTLINE(bugprone-unhandled-self-assignment)
    PT_FixedArray& operator=(const PT_FixedArray& source) {
        CopySlots(source);
        return *this;
    }
    /// Ends the slots; nothing else.
    virtual ~PT_FixedArray() {}

    /// The slot at index i (0 to N-1); checked by assert only in builds without NDEBUG.
    double& operator[](long i) {
        assert(i >= 0 && i < N);
        return elements_[i];
    }
    /// The slot at index i (0 to N-1), read-only.
    const double& operator[](long i) const {
        assert(i >= 0 && i < N);
        return elements_[i];
    }

private:
    void CopySlots(const PT_FixedArray& source) {
        for (long i = 0; i < N; ++i) vexa::detail::CopySlot(elements_[i], source.elements_[i]);
    }

    double elements_[static_cast<size_t>(N)];
};

/// A point of up to three ordinates.
struct PT_CoordinatePoint {
    /// Default construction: no ordinate in use, every slot 0.0, so that no copy reads an unset
    /// one.
    PT_CoordinatePoint() : size(0) {
        ord[0] = 0.0;
        ord[1] = 0.0;
        ord[2] = 0.0;
    }

    /// The ordinates 0, 1, 2; only those below size are in use.
    PT_FixedArray<double, vexa::detail::kOrdinateCapacity> ord;
    /// The number of ordinates in use; 0 or below means none.
    PT_Int32 size;
};

/// An axis-aligned box given by its lower and upper corner.
struct PT_Envelope {
    /// The lower corner.
    PT_CoordinatePoint minCP;
    /// The upper corner.
    PT_CoordinatePoint maxCP;
};

/// A table of up to 100 rows of up to three numbers; each row counts its own numbers in use.
struct PT_Matrix {
    /// Default construction: no row in use, every row's size 0.
    PT_Matrix() : rowCount(0) {}

    /// The rows, row 0 first.
    PT_FixedArray<PT_CoordinatePoint, vexa::detail::kRowCapacity> elt;
    /// The number of rows in use; 0 or below means none.
    PT_Int32 rowCount;
};

#if defined(__GNUC__)
#pragma GCC diagnostic pop
#endif

extern "C" {

/// Copies source's size and its ordinates in use into destination; slots from size on keep their
/// values. Returns 1 when copied; 0, writing nothing, for a null argument or a size above 3.
VEXA_API int CopyCoordinatePoint(PT_CoordinatePoint* destination, const PT_CoordinatePoint* source);

/// Returns 1 when both points have the same size and the same ordinates in use, else 0 (also for
/// a null argument). Equal sizes above 3 compare the three ordinates that exist.
VEXA_API int EqualCoordinatePoint(const PT_CoordinatePoint* first,
                                  const PT_CoordinatePoint* second);

/// Assigns both corners member-wise, whatever their sizes hold. Returns 1, or 0 for a null
/// argument, writing nothing.
VEXA_API int CopyEnvelope(PT_Envelope* destination, const PT_Envelope* source);

/// Returns 1 when both pairs of corners are equal points, else 0 (also for a null argument).
VEXA_API int EqualEnvelope(const PT_Envelope* first, const PT_Envelope* second);
}

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
