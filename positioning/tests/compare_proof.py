#!/usr/bin/python3
"""Proves the integer comparisons of vexa/compare.h equal to the IEEE 754 comparisons of doubles.

Each function below models its namesake in compare.h step by step, in 64-bit vectors: the bit
pattern as a signed integer, the key, the tests; and in 32-bit vectors the words that the unequal
test takes from a pattern. The solver then looks, over every pattern of
each argument (2^128 pairs, 2^192 triples), for a case where the model's answer differs from
the IEEE comparison of the doubles those patterns encode, and for a step that overflows. It
must find none. The random bit-pattern test ties the compiled C++ to this model.

Run with Debian's /usr/bin/python3, which has python3-z3. Exits 0 when everything is proved.
"""
import sys
import time

import z3

DOUBLE = z3.Float64()

# kSignBit, kExponentBits, kInfinityKey, kMostNegative
SIGN_BIT = z3.BitVecVal(1 << 63, 64)
EXPONENT_BITS = z3.BitVecVal(0x7FF00000, 32)
INFINITY_KEY = z3.ZeroExt(32, EXPONENT_BITS) << 32
MOST_NEGATIVE = -(SIGN_BIT - 1) - 1


def pattern_of(name):
    """PatternOf: a double's 64 bits, any of them, read as a signed integer; and the double."""
    bits = z3.BitVec(name, 64)
    return bits, z3.fpBVToFP(bits, DOUBLE)


def key_of(pattern):
    """KeyOf: the pattern when its sign is clear, else the most negative integer minus it."""
    return z3.If(pattern < 0, MOST_NEGATIVE - pattern, pattern)


def key_of_overflows(pattern):
    """Whether KeyOf's subtraction, made only for a negative pattern, leaves the signed range."""
    return z3.And(pattern < 0,
                  z3.Not(z3.And(z3.BVSubNoOverflow(MOST_NEGATIVE, pattern),
                                z3.BVSubNoUnderflow(MOST_NEGATIVE, pattern, True))))


def high_word(pattern):
    """HighWord: the unsigned pattern shifted down by 32, as an unsigned int."""
    return z3.Extract(31, 0, z3.LShR(pattern, 32))


def low_word(pattern):
    """LowWord: the unsigned pattern masked to its low 32 bits, as an unsigned int."""
    return z3.Extract(31, 0, pattern & 0xFFFFFFFF)


def bits_unequal(x, y):
    """BitsUnequal: equal patterns are unequal only as NaNs; different ones, but for the zeros."""
    high = high_word(x)
    # Both shifts are of unsigned ints: they drop the bits shifted out.
    equal = z3.If((high & EXPONENT_BITS) != EXPONENT_BITS, False,
                  ((high << 12) | low_word(x)) != 0)
    different = (((high_word(x) | high_word(y)) << 1) | low_word(x) | low_word(y)) != 0
    return z3.If(x == y, equal, different)


def bits_below_or_nan(x, y):
    """BitsBelowOrNaN on the patterns of a and b."""
    kx, ky = key_of(x), key_of(y)
    return z3.Or(kx < ky, kx > INFINITY_KEY, ky < -INFINITY_KEY)


def bits_above_or_nan(x, y):
    """BitsAboveOrNaN(a, b) is BitsBelowOrNaN(b, a)."""
    return bits_below_or_nan(y, x)


def bits_outside(v, lo, hi):
    """BitsOutside: its four tests in order, each returning true when it holds."""
    key, low, high = key_of(v), key_of(lo), key_of(hi)
    return z3.If(key < low, True,
                 z3.If(low < -INFINITY_KEY, True,
                       z3.If(key > high, True, high > INFINITY_KEY)))


def prove(name, claim):
    """Proves the claim for every value of its variables; prints a counterexample otherwise."""
    solver = z3.Solver()
    solver.add(z3.Not(claim))
    started = time.monotonic()
    result = solver.check()
    elapsed = time.monotonic() - started
    if result == z3.unsat:
        print(f"proved  {name} ({elapsed:.2f} s)")
        return True
    if result == z3.sat:
        model = solver.model()
        patterns = ", ".join(f"{d.name()} = {model[d].as_long():#018x}" for d in model.decls())
        print(f"FAILED  {name}: for the patterns {patterns}")
    else:
        print(f"UNKNOWN {name}: {solver.reason_unknown()}")
    return False


def main():
    x, a = pattern_of("a")
    y, b = pattern_of("b")
    z, c = pattern_of("c")
    claims = [
        ("KeyOf never overflows", z3.Not(key_of_overflows(x))),
        ("BitsUnequal(a, b) == (a != b)", bits_unequal(x, y) == z3.Not(z3.fpEQ(a, b))),
        ("BitsBelowOrNaN(a, b) == !(a >= b)", bits_below_or_nan(x, y) == z3.Not(z3.fpGEQ(a, b))),
        ("BitsAboveOrNaN(a, b) == !(a <= b)", bits_above_or_nan(x, y) == z3.Not(z3.fpLEQ(a, b))),
        ("BitsOutside(a, b, c) == (!(a >= b) || !(a <= c))",
         bits_outside(x, y, z) == z3.Or(z3.Not(z3.fpGEQ(a, b)), z3.Not(z3.fpLEQ(a, c)))),
    ]
    proved = [prove(name, claim) for name, claim in claims]
    return 0 if all(proved) else 1


if __name__ == "__main__":
    sys.exit(main())
