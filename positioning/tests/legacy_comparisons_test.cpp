// The comparison members that the shared library keeps only for programs built against its 1.0
// and 1.1 headers, seen as those programs saw them: this program alone finds the library's own
// headers that declare them. It is built apart from the other tests, so that no program mixes the
// two views of the classes.
#include <vexa/vexa.h>

#include <gtest/gtest.h>

#include <array>
#include <limits>
#include <type_traits>

#include "record_builders.h"

namespace {

const double kNaN = std::numeric_limits<double>::quiet_NaN();

// The == and the != of one signature, in that order.
template <class Member>
std::array<Member, 2> EqualAndUnequal(Member equal, Member unequal) {
    return {equal, unequal};
}

// Each kept member, named by its exact signature (so a missing one fails to compile) and called
// on an object of the constness it asks for, gives what the record comparison gives: equal for
// operator==, its negation for operator!=, and for a null record pointer 0 and 1.
template <class Value, class Record>
void ExpectKeptMembersGive(int equal, const Record& first, const Record& second) {
    typedef typename std::add_rvalue_reference<Value>::type Temporary;
    typedef unsigned char (Value::*ByRecord)(const Record&);
    typedef unsigned char (Value::*ByRecordPointer)(const Record*);
    typedef unsigned char (Value::*ByObject)(Value&);
    typedef unsigned char (Value::*ByConstObject)(const Value&);
    typedef unsigned char (Value::*ByObjectOfConst)(Value&) const;
    typedef unsigned char (Value::*ByTemporary)(Temporary);
    typedef unsigned char (Value::*ByTemporaryOfConst)(Temporary) const;
    const auto byRecord = EqualAndUnequal<ByRecord>(&Value::operator==, &Value::operator!=);
    const auto byRecordPointer =
        EqualAndUnequal<ByRecordPointer>(&Value::operator==, &Value::operator!=);
    const auto byObject = EqualAndUnequal<ByObject>(&Value::operator==, &Value::operator!=);
    const auto byConstObject =
        EqualAndUnequal<ByConstObject>(&Value::operator==, &Value::operator!=);
    const auto byObjectOfConst =
        EqualAndUnequal<ByObjectOfConst>(&Value::operator==, &Value::operator!=);
    const auto byTemporary = EqualAndUnequal<ByTemporary>(&Value::operator==, &Value::operator!=);
    const auto byTemporaryOfConst =
        EqualAndUnequal<ByTemporaryOfConst>(&Value::operator==, &Value::operator!=);

    Value a(first);
    const Value& view = a;
    Value b(second);
    const Value& other = b;
    const Record* const none = nullptr;
    for (int negated = 0; negated < 2; ++negated) {
        SCOPED_TRACE(negated ? "operator!=" : "operator==");
        const int expected = negated ? 1 - equal : equal;
        EXPECT_EQ((a.*byRecord[negated])(second), expected);
        EXPECT_EQ((a.*byRecordPointer[negated])(&second), expected);
        EXPECT_EQ((a.*byRecordPointer[negated])(none), negated);
        EXPECT_EQ((a.*byObject[negated])(b), expected);
        EXPECT_EQ((a.*byConstObject[negated])(other), expected);
        EXPECT_EQ((view.*byObjectOfConst[negated])(b), expected);
        EXPECT_EQ((a.*byTemporary[negated])(Value(second)), expected);
        EXPECT_EQ((view.*byTemporaryOfConst[negated])(Value(second)), expected);
    }
    // With the kept members in view, every way of comparing still compiles and agrees.
    ExpectEveryComparisonGives<Value>(equal, first, second);
}

TEST(LegacyComparisons, EnvelopeMembersGiveTheRecordComparison) {
    const PT_Envelope box = MakeEnvelope(MakePoint(3, 0, 0, 7), MakePoint(3, 1, 1, 8));
    ExpectKeptMembersGive<CVEXAEnvelope>(1, box, box);
    const PT_Envelope lastDiffers = MakeEnvelope(MakePoint(3, 0, 0, 7), MakePoint(3, 1, 1, 9));
    ExpectKeptMembersGive<CVEXAEnvelope>(0, box, lastDiffers);
    const PT_Envelope withNaN = MakeEnvelope(MakePoint(3, 0, 0, 7), MakePoint(3, 1, kNaN, 8));
    ExpectKeptMembersGive<CVEXAEnvelope>(0, withNaN, withNaN);
}

TEST(LegacyComparisons, MatrixMembersGiveTheRecordComparison) {
    PT_Matrix matrix;
    for (PT_Int32 row = 0; row < 100; ++row) matrix.elt[row] = MakePoint(3, row, 0.5, -row);
    matrix.rowCount = 100;
    ExpectKeptMembersGive<CVEXAMatrix>(1, matrix, matrix);
    PT_Matrix lastDiffers = matrix;
    lastDiffers.elt[99].ord[2] = 0.0;
    ExpectKeptMembersGive<CVEXAMatrix>(0, matrix, lastDiffers);
    PT_Matrix withNaN = matrix;
    withNaN.elt[5].ord[1] = kNaN;
    ExpectKeptMembersGive<CVEXAMatrix>(0, withNaN, withNaN);
}

}  // namespace
