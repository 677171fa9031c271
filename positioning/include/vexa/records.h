#ifndef VEXA_RECORDS_H
#define VEXA_RECORDS_H

// The records, the fixed-capacity array inside them, and the four plain functions on them.
#include <assert.h>
#include <limits.h>
#include <stddef.h>

#include <vexa/export.h>

/// \def VEXA_COMPARE_BIT_PATTERNS
/// 1: ordinates are compared by their bit patterns, as integers; 0: by the compiler's double
/// comparison. Both give the same result for every pair of doubles, NaNs and
/// signed zeros included, so a program and the library may be built with different values.
///
/// It defaults to 1 where the compiler has no floating-point hardware to compare with, and every
/// double comparison would be a call into its run-time library: GCC and Clang with soft-float
/// (`__SOFTFP__`), and Microsoft's compiler for Windows CE on ARM (`_WIN32_WCE` with `_M_ARM`).
/// Everywhere else it defaults to 0. Define it to 0 or 1 on the command line
/// (`-DVEXA_COMPARE_BIT_PATTERNS=1`) for a device whose compiler these tests do not recognise.
#if !defined(VEXA_COMPARE_BIT_PATTERNS)
#if defined(__SOFTFP__) || (defined(_WIN32_WCE) && defined(_M_ARM))
#define VEXA_COMPARE_BIT_PATTERNS 1
#else
#define VEXA_COMPARE_BIT_PATTERNS 0
#endif
#endif
#if VEXA_COMPARE_BIT_PATTERNS != 0 && VEXA_COMPARE_BIT_PATTERNS != 1
#error "VEXA_COMPARE_BIT_PATTERNS must be 0 or 1"
#endif

/// The 32-bit signed count type of every record, on every platform.
typedef int PT_Int32;

/// Refuses to compile where PT_Int32 is not a 32-bit signed integer (a C++98 static assertion).
typedef char PT_Int32IsThirtyTwoBitSigned[(sizeof(PT_Int32) * CHAR_BIT == 32 && PT_Int32() - 1 < 0)
                                              ? 1
                                              : -1];

#include <vexa/detail/capacity.h>
#include <vexa/detail/slot_bytes.h>

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

// Their bodies, which compile into the callers.
#include <vexa/detail/record_operations.h>

#endif
