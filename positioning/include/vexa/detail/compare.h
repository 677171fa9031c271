#ifndef VEXA_DETAIL_COMPARE_H
#define VEXA_DETAIL_COMPARE_H

// The library's ordinate comparisons: on bit patterns, and the tests that pick them or the
// compiler's by VEXA_COMPARE_BIT_PATTERNS, which <vexa/records.h> sets before it includes this.
#include <limits.h>
#include <string.h>

namespace vexa {
/// The library's ordinate comparisons, inline for its headers and units. Not for direct use.
namespace detail {

// C++98 has no 64-bit integer in name, but every compiler of the targets has one.
#if defined(_MSC_VER)
/// A double's bit pattern as an unsigned 64-bit integer.
typedef unsigned __int64 PatternBits;
/// A double's bit pattern as a signed 64-bit integer, and the key made from it.
typedef __int64 OrderKey;
#elif defined(__GNUC__)
#pragma GCC diagnostic push
// Clang takes __extension__ alone; GCC's C++98 mode needs the warning silenced as well.
#pragma GCC diagnostic ignored "-Wlong-long"
__extension__ typedef unsigned long long PatternBits;
__extension__ typedef long long OrderKey;
#pragma GCC diagnostic pop
#else
typedef unsigned long long PatternBits;
typedef long long OrderKey;
#endif

/// Refuses to compile where a pattern is not the size of a double, or an unsigned int is not one
/// of its 32-bit words (a C++98 static assertion).
typedef char PatternIsADouble[sizeof(OrderKey) == sizeof(double) &&
                                      sizeof(PatternBits) * CHAR_BIT == 64 &&
                                      sizeof(unsigned int) * CHAR_BIT == 32
                                  ? 1
                                  : -1];

/// The sign bit of a pattern.
const PatternBits kSignBit = static_cast<PatternBits>(1) << 63;
/// The exponent bits of a pattern's high 32-bit word: all set for the infinities and NaNs alone.
const unsigned int kExponentBits = 0x7ff00000u;
/// The key of +infinity, its pattern; the key of -infinity is its negation. The key of every NaN
/// lies above the one or below the other.
const OrderKey kInfinityKey = static_cast<OrderKey>(static_cast<PatternBits>(kExponentBits) << 32);
/// The most negative 64-bit integer, written without overflow.
const OrderKey kMostNegative = -static_cast<OrderKey>(kSignBit - 1) - 1;

/// The bit pattern of value as a signed integer, read as bytes: the double's sign bit is the
/// integer's.
inline OrderKey PatternOf(double value) {
    OrderKey bits;
#if defined(__FLOAT_WORD_ORDER__) && defined(__BYTE_ORDER__) && \
    __FLOAT_WORD_ORDER__ != __BYTE_ORDER__
    // Old ARM floating-point units store a double's high word first on a little-endian machine.
    char words[sizeof value];
    memcpy(words, reinterpret_cast<const char*>(&value) + sizeof value / 2, sizeof value / 2);
    memcpy(words + sizeof value / 2, &value, sizeof value / 2);
    memcpy(&bits, words, sizeof bits);
#else
    memcpy(&bits, &value, sizeof bits);
#endif
    return bits;
}

/// The key of a pattern: the pattern itself when its sign is clear, the most negative integer
/// minus the pattern when it is set, which is the negated magnitude; so -0.0 and 0.0 meet at 0,
/// and the keys of the doubles that are not NaN are ordered as their values. Nothing overflows.
inline OrderKey KeyOf(OrderKey pattern) { return pattern < 0 ? kMostNegative - pattern : pattern; }

/// The high 32-bit word of a pattern: its sign, its exponent and the top of its fraction.
inline unsigned int HighWord(OrderKey pattern) {
    return static_cast<unsigned int>(static_cast<PatternBits>(pattern) >> 32);
}

/// The low 32-bit word of a pattern: the rest of its fraction.
inline unsigned int LowWord(OrderKey pattern) {
    return static_cast<unsigned int>(static_cast<PatternBits>(pattern) & 0xffffffffu);
}

/// The unequal test on the bit patterns, with the result of a != b for every pair of doubles.
/// Beyond one 64-bit equality it tests 32-bit words, since a 64-bit shift costs several
/// instructions on 32-bit ARM; and each path returns its own answer, since GCC there makes a bool
/// gathered from both paths with conditional moves on every call.
inline bool BitsUnequal(double a, double b) {
    const OrderKey x = PatternOf(a);
    const OrderKey y = PatternOf(b);
    if (x == y) {
        // Equal patterns are unequal values only as NaNs. The common case ends at the exponent
        // bits, all set only for the infinities and NaNs; a NaN has a fraction bit set too: one
        // of the high word's, shifted past its sign and exponent, or one of the low word's.
        const unsigned int high = HighWord(x);
        if ((high & kExponentBits) != kExponentBits) return false;
        if ((high << 12) | LowWord(x)) return true;
        return false;
    }
    // Different patterns are different values, but for 0.0 and -0.0: the shift drops the signs.
    if (((HighWord(x) | HighWord(y)) << 1) | LowWord(x) | LowWord(y)) return true;
    return false;
}

/// The below test on the bit patterns, with the result of !(a >= b) for every pair of doubles:
/// a's key below b's, or a NaN on the side where that comparison cannot see it (a's key above
/// +infinity's, or b's below -infinity's).
inline bool BitsBelowOrNaN(double a, double b) {
    const OrderKey x = KeyOf(PatternOf(a));
    const OrderKey y = KeyOf(PatternOf(b));
    return x < y || x > kInfinityKey || y < -kInfinityKey;
}

/// The above test on the bit patterns, with the result of !(a <= b) for every pair of doubles.
inline bool BitsAboveOrNaN(double a, double b) { return BitsBelowOrNaN(b, a); }

/// The closed-interval test on the bit patterns, with the result of
/// !(value >= lower) || !(value <= upper) for every triple of doubles. The value needs no NaN
/// test: a NaN's key lies above +infinity's or below -infinity's, so outside bounds that are not
/// NaN. Each bound needs one, on one side only: a key between a lower bound's NaN key above
/// +infinity's and the upper bound's means that one lies above +infinity's too, and likewise
/// below -infinity's.
inline bool BitsOutside(double value, double lower, double upper) {
    const OrderKey key = KeyOf(PatternOf(value));
    const OrderKey low = KeyOf(PatternOf(lower));
    const OrderKey high = KeyOf(PatternOf(upper));
    // One test at a time: GCC then branches on each, where it would otherwise gather them into
    // flags first, and every test a point passes costs more on ARM.
    if (key < low) return true;
    if (low < -kInfinityKey) return true;
    if (key > high) return true;
    return high > kInfinityKey;
}

#if defined(__GNUC__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wfloat-equal"
#endif

/// The unequal test: exact IEEE inequality, so 0.0 equals -0.0 and a NaN is unequal to anything.
inline bool Unequal(double a, double b) {
#if VEXA_COMPARE_BIT_PATTERNS
    return BitsUnequal(a, b);
#else
    return a != b;
#endif
}

#if defined(__GNUC__)
#pragma GCC diagnostic pop
#endif

/// The below test: a lies below b, or either is NaN (so a NaN ordinate is never inside a box).
inline bool BelowOrNaN(double a, double b) {
#if VEXA_COMPARE_BIT_PATTERNS
    return BitsBelowOrNaN(a, b);
#else
    return !(a >= b);
#endif
}

/// The above test: a lies above b, or either is NaN.
inline bool AboveOrNaN(double a, double b) {
#if VEXA_COMPARE_BIT_PATTERNS
    return BitsAboveOrNaN(a, b);
#else
    return !(a <= b);
#endif
}

/// Whether value lies outside the closed interval [lower, upper]; a NaN anywhere is outside.
inline bool OutsideBounds(double value, double lower, double upper) {
#if VEXA_COMPARE_BIT_PATTERNS
    return BitsOutside(value, lower, upper);
#else
    return BelowOrNaN(value, lower) || AboveOrNaN(value, upper);
#endif
}

}  // namespace detail
}  // namespace vexa

#endif
