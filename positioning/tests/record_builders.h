#ifndef VEXA_TESTS_RECORD_BUILDERS_H
#define VEXA_TESTS_RECORD_BUILDERS_H

#include <vexa/vexa.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>

#include "same_slots.h"

// Records filled by hand, the way callers do; every slot is set so tests can see what changes.
inline PT_CoordinatePoint MakePoint(PT_Int32 size, double x, double y, double z) {
    PT_CoordinatePoint point;
    point.ord[0] = x;
    point.ord[1] = y;
    point.ord[2] = z;
    point.size = size;
    return point;
}

inline PT_Envelope MakeEnvelope(const PT_CoordinatePoint& lower, const PT_CoordinatePoint& upper) {
    PT_Envelope envelope;
    envelope.minCP = lower;
    envelope.maxCP = upper;
    return envelope;
}

// The address of a temporary record, valid until the end of the full expression.
template <class T>
const T* Addr(const T& value) {
    return &value;
}

// Every comparison of Value objects built from the two records, whatever the constness of each
// operand, temporaries included, with the record by reference and by pointer, and with the record
// on the left, gives equal; with a null record pointer, == gives 0 and != gives 1.
template <class Value, class Record>
void ExpectEveryComparisonGives(int equal, const Record& first, const Record& second) {
    Value a(first);
    Value b(second);
    const Value& ca = a;
    const Value& cb = b;
    Record left(first);
    const int equalities[] = {a == b,
                              a == cb,
                              ca == b,
                              ca == cb,
                              a == Value(b),
                              ca == Value(b),
                              Value(a) == b,
                              Value(a) == cb,
                              a == second,
                              ca == second,
                              a == &second,
                              ca == &second,
                              Value(a) == Value(b),
                              first == b,
                              first == cb,
                              first == Value(b),
                              left == b,
                              left == cb};
    const int inequalities[] = {a != b,
                                a != cb,
                                ca != b,
                                ca != cb,
                                a != Value(b),
                                ca != Value(b),
                                Value(a) != b,
                                Value(a) != cb,
                                a != second,
                                ca != second,
                                a != &second,
                                ca != &second,
                                Value(a) != Value(b),
                                first != b,
                                first != cb,
                                first != Value(b),
                                left != b,
                                left != cb};
    for (int form = 0; form < int(sizeof equalities / sizeof *equalities); ++form) {
        EXPECT_EQ(equalities[form], equal) << "form " << form;
        EXPECT_EQ(inequalities[form], 1 - equal) << "form " << form;
    }
    const Record* const none = 0;
    EXPECT_EQ((a == none) + (ca == none), 0);
    EXPECT_EQ((a != none) + (ca != none), 2);
}

// A double whose bits are a signalling NaN, which an x87 load would turn quiet.
inline double SignallingNaN() {
    const std::uint64_t bits = 0x7FF0000000000001u;
    double value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

#endif
