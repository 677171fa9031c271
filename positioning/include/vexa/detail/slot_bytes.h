#ifndef VEXA_DETAIL_SLOT_BYTES_H
#define VEXA_DETAIL_SLOT_BYTES_H

#include <string.h>

namespace vexa {
/// The library's own helpers, shared by its headers and units. Not for direct use.
namespace detail {

/// An ordinate slot's bytes, held in words. Every copy or exchange of a slot moves its bytes, so
/// that every bit pattern survives: a double held as a double may pass through the x87 unit of
/// 32-bit x86, which turns a signalling NaN into a quiet one.
struct SlotWords {
    int words[sizeof(double) / sizeof(int)];
};

/// Refuses to compile where a double is not a whole number of words (a C++98 static assertion).
typedef char SlotIsWholeWords[sizeof(double) % sizeof(int) == 0 ? 1 : -1];

// Every slot is word-aligned; saying so lets GCC move words on ARM rather than call memcpy.

/// The bytes of a slot.
inline SlotWords LoadSlot(const double& slot) {
    SlotWords held;
#if defined(__GNUC__)
    memcpy(held.words, __builtin_assume_aligned(&slot, sizeof(int)), sizeof held.words);
#else
    memcpy(held.words, &slot, sizeof held.words);
#endif
    return held;
}

/// Writes bytes that LoadSlot read into a slot.
inline void StoreSlot(double& slot, const SlotWords& held) {
#if defined(__GNUC__)
    memcpy(__builtin_assume_aligned(&slot, sizeof(int)), held.words, sizeof held.words);
#else
    memcpy(&slot, held.words, sizeof held.words);
#endif
}

/// Copies one slot as its bytes. They pass through words of their own, so a slot copied onto
/// itself is no overlapping copy.
inline void CopySlot(double& destination, const double& source) {
    StoreSlot(destination, LoadSlot(source));
}

/// Exchanges two slots as their bytes.
inline void SwapSlots(double& first, double& second) {
    const SlotWords held = LoadSlot(first);
    CopySlot(first, second);
    StoreSlot(second, held);
}

}  // namespace detail
}  // namespace vexa

#endif
