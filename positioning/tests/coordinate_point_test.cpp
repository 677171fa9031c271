#include <vexa/vexa.h>

#include <gtest/gtest.h>

#include <climits>
#include <cstddef>
#include <limits>
#include <type_traits>

#include "record_builders.h"

namespace {

static_assert(std::is_base_of<PT_CoordinatePoint, CVEXACoordinatePoint>::value&&
                  std::has_virtual_destructor<CVEXACoordinatePoint>::value,
              "a point is its record plus a virtual destructor");

const double kNaN = std::numeric_limits<double>::quiet_NaN();

TEST(CoordinatePoint, ConstructsFromOrdinates) {
    const CVEXACoordinatePoint flat(1.5, -2.5);
    EXPECT_EQ(flat.GetSize(), 2);
    EXPECT_EQ(flat[0L], 1.5);
    EXPECT_EQ(flat[1L], -2.5);
    const CVEXACoordinatePoint solid(1.0, 2.0, 3.0);
    EXPECT_EQ(solid.GetSize(), 3);
    EXPECT_TRUE(SameSlots(solid, MakePoint(3, 1.0, 2.0, 3.0)));
    EXPECT_TRUE(SameSlots(flat, MakePoint(2, 1.5, -2.5, 0.0)));
    const CVEXACoordinatePoint empty;
    EXPECT_TRUE(SameSlots(empty, MakePoint(0, 0.0, 0.0, 0.0)));
    EXPECT_EQ(empty == MakePoint(0, 7.0, 8.0, 9.0), 1);
}

TEST(CoordinatePoint, ConstructionFromARecordCopiesOrStaysEmpty) {
    EXPECT_TRUE(SameSlots(CVEXACoordinatePoint(MakePoint(3, 1, 2, 3)), MakePoint(3, 1, 2, 3)));
    EXPECT_EQ(CVEXACoordinatePoint(Addr(MakePoint(-1, 1, 2, 3))).GetSize(), -1);
    EXPECT_EQ(CVEXACoordinatePoint(MakePoint(4, 1, 2, 3)).GetSize(), 0);
    EXPECT_EQ(CVEXACoordinatePoint(Addr(MakePoint(4, 1, 2, 3))).GetSize(), 0);
    EXPECT_EQ(CVEXACoordinatePoint(static_cast<const PT_CoordinatePoint*>(0)).GetSize(), 0);
}

TEST(CoordinatePoint, RecordAssignmentCopiesOnlyTheOrdinatesInUse) {
    CVEXACoordinatePoint point(1.0, 2.0, 3.0);
    EXPECT_EQ(&(point = MakePoint(1, 9.0, 8.0, 7.0)), &point);
    EXPECT_TRUE(SameSlots(point, MakePoint(1, 9.0, 2.0, 3.0)));
    EXPECT_EQ(&(point = Addr(MakePoint(2, 5.0, 6.0, 7.0))), &point);
    EXPECT_TRUE(SameSlots(point, MakePoint(2, 5.0, 6.0, 3.0)));
}

TEST(CoordinatePoint, RefusedRecordAssignmentLeavesThePointWhole) {
    CVEXACoordinatePoint point(1.0, 2.0);
    point[2L] = kNaN;
    const PT_CoordinatePoint before = point;
    EXPECT_EQ(&(point = MakePoint(4, 9.0, 9.0, 9.0)), &point);
    EXPECT_EQ(&(point = Addr(MakePoint(INT_MAX, 9.0, 9.0, 9.0))), &point);
    EXPECT_EQ(&(point = static_cast<const PT_CoordinatePoint*>(0)), &point);
    EXPECT_TRUE(SameSlots(point, before));
}

TEST(CoordinatePoint, CopiesBetweenPointsTakeEverySlot) {
    CVEXACoordinatePoint source(1.0, 2.0, 3.0);
    ASSERT_EQ(source.Resize(1), 1);
    source[2L] = SignallingNaN();
    const PT_CoordinatePoint signalling = MakePoint(1, 1.0, 2.0, SignallingNaN());
    EXPECT_TRUE(SameSlots(CVEXACoordinatePoint(source), signalling));
    CVEXACoordinatePoint target;
    target = source;
    EXPECT_TRUE(SameSlots(target, signalling));
    source[2L] = 3.0;
    const CVEXACoordinatePoint constructed(source);
    EXPECT_TRUE(SameSlots(constructed, MakePoint(1, 1.0, 2.0, 3.0)));
    CVEXACoordinatePoint assigned(7.0, 8.0, 9.0);
    EXPECT_EQ(&(assigned = source), &assigned);
    EXPECT_TRUE(SameSlots(assigned, MakePoint(1, 1.0, 2.0, 3.0)));
}

TEST(CoordinatePoint, SelfAssignmentChangesNothing) {
    CVEXACoordinatePoint point(1.0, -0.0);
    point[2L] = kNaN;
    const PT_CoordinatePoint before = point;
    const CVEXACoordinatePoint& same = point;
    point = same;
    point = static_cast<const PT_CoordinatePoint&>(point);
    point = static_cast<const PT_CoordinatePoint*>(point);
    EXPECT_TRUE(SameSlots(point, before));
}

TEST(CoordinatePoint, ResizeTakesThreeOrLessAndTouchesNoOrdinate) {
    CVEXACoordinatePoint point(1.0, 2.0);
    point[2L] = 5.0;
    EXPECT_EQ(point.Resize(4), 0);
    EXPECT_EQ(point.Resize(LONG_MAX), 0);
    EXPECT_TRUE(SameSlots(point, MakePoint(2, 1.0, 2.0, 5.0)));
    EXPECT_EQ(point.Resize(3), 1);
    EXPECT_TRUE(SameSlots(point, MakePoint(3, 1.0, 2.0, 5.0)));
    EXPECT_EQ(point.Resize(-1), 1);
    EXPECT_EQ(point.GetSize(), -1);
    EXPECT_EQ(point == MakePoint(-1, 0.0, 0.0, 0.0), 1);
    EXPECT_EQ(point == MakePoint(0, 1.0, 2.0, 5.0), 0);
    EXPECT_EQ(point == MakePoint(-2, 1.0, 2.0, 5.0), 0);
    EXPECT_EQ(point.Resize(INT_MIN), 1);
    EXPECT_EQ(point.GetSize(), INT_MIN);
}

#if LONG_MAX > INT_MAX
TEST(CoordinatePoint, ResizeRefusesSizesBeyondThirtyTwoBits) {
    CVEXACoordinatePoint point(1.0, 2.0);
    // Each would land on 1 or 2 if narrowed to 32 bits.
    EXPECT_EQ(point.Resize(-4294967295L), 0);
    EXPECT_EQ(point.Resize(4294967298L), 0);
    EXPECT_EQ(point.Resize(LONG_MIN), 0);
    EXPECT_EQ(point.Resize(static_cast<long>(INT_MIN) - 1), 0);
    EXPECT_EQ(point.GetSize(), 2);
}
#endif

TEST(CoordinatePoint, OnlyOrdinatesInUseTakePartInComparisons) {
    CVEXACoordinatePoint point(1.0, 2.0);
    point[2L] = 99.0;
    EXPECT_EQ(point.GetSize(), 2);
    EXPECT_EQ(point == MakePoint(2, 1.0, 2.0, 0.0), 1);
    EXPECT_EQ(point == MakePoint(3, 1.0, 2.0, 99.0), 0);
    EXPECT_EQ(point != MakePoint(3, 1.0, 2.0, 99.0), 1);

    ASSERT_EQ(point.Resize(3), 1);
    point[2L] = 3.0;
    EXPECT_EQ(point == MakePoint(3, 1.0, 2.0, 3.0), 1);
    EXPECT_EQ(point == MakePoint(3, 1.0, 2.0, 4.0), 0);
    EXPECT_EQ(point == CVEXACoordinatePoint(1.0, 2.0, 3.0), 1);
    EXPECT_EQ(point != CVEXACoordinatePoint(1.0, 2.0, 3.5), 1);
}

TEST(CoordinatePoint, EveryComparisonFormAgreesWhateverTheConstness) {
    const PT_CoordinatePoint point = MakePoint(3, 1.0, 2.0, 3.0);
    ExpectEveryComparisonGives<CVEXACoordinatePoint>(1, point, point);
    ExpectEveryComparisonGives<CVEXACoordinatePoint>(0, point, MakePoint(3, 1.0, 2.0, 4.0));
    ExpectEveryComparisonGives<CVEXACoordinatePoint>(0, point, MakePoint(2, 1.0, 2.0, 3.0));
    ExpectEveryComparisonGives<CVEXACoordinatePoint>(0, MakePoint(2, 1.0, 2.0, 0.0),
                                                     MakePoint(2, 1.0, 2.5, 0.0));
    ExpectEveryComparisonGives<CVEXACoordinatePoint>(1, point, MakePoint(3, 1.0, 2.0, 3.0));
    const PT_CoordinatePoint withNaN = MakePoint(2, kNaN, 2.0, 3.0);
    ExpectEveryComparisonGives<CVEXACoordinatePoint>(0, withNaN, withNaN);
}

// Each index type has a pair of forms of its own, and which of them size_t and ptrdiff_t name
// depends on the platform; so every type is named here, in both constnesses.
template <class Index>
void ExpectEachIndexReachesItsSlot(CVEXACoordinatePoint& point, const char* type) {
    const CVEXACoordinatePoint& view = point;
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(&point[static_cast<Index>(i)], &point.ord[i]) << type << " " << i;
        EXPECT_EQ(&view[static_cast<Index>(i)], &point.ord[i]) << "const, " << type << " " << i;
    }
}

TEST(CoordinatePoint, EveryIndexTypeReachesTheSameSlot) {
    CVEXACoordinatePoint point(1.0, 2.0, 3.0);
    ExpectEachIndexReachesItsSlot<int>(point, "int");
    ExpectEachIndexReachesItsSlot<unsigned int>(point, "unsigned int");
    ExpectEachIndexReachesItsSlot<long>(point, "long");
    ExpectEachIndexReachesItsSlot<unsigned long>(point, "unsigned long");
    ExpectEachIndexReachesItsSlot<long long>(point, "long long");
    ExpectEachIndexReachesItsSlot<unsigned long long>(point, "unsigned long long");
    ExpectEachIndexReachesItsSlot<short>(point, "short");
    ExpectEachIndexReachesItsSlot<unsigned char>(point, "unsigned char");
    ExpectEachIndexReachesItsSlot<std::size_t>(point, "size_t");
    ExpectEachIndexReachesItsSlot<std::ptrdiff_t>(point, "ptrdiff_t");
}

TEST(CoordinatePoint, ConversionsGiveTheRecordPart) {
    CVEXACoordinatePoint point(1.0, 2.0);
    PT_CoordinatePoint* record = point;
    EXPECT_EQ(record, &static_cast<PT_CoordinatePoint&>(point));
    record->size = 1;
    EXPECT_EQ(point.GetSize(), 1);
    EXPECT_EQ(CopyCoordinatePoint(point, Addr(MakePoint(3, 4.0, 5.0, 6.0))), 1);
    const CVEXACoordinatePoint& view = point;
    const PT_CoordinatePoint* readOnly = view;
    EXPECT_EQ(readOnly, record);
    EXPECT_EQ(EqualCoordinatePoint(view, Addr(MakePoint(3, 4.0, 5.0, 6.0))), 1);
}

#ifndef NDEBUG
TEST(CoordinatePointDeathTest, IndexOutsideTheSlotsAssertsInDebugBuilds) {
    CVEXACoordinatePoint point(1.0, 2.0);
    EXPECT_DEATH(point[3L] = 0.0, "");
    EXPECT_DEATH(static_cast<void>(static_cast<const CVEXACoordinatePoint&>(point)[-1L]), "");
}
#endif

}  // namespace
