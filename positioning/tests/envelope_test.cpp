#include <vexa/vexa.h>

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <type_traits>

#include "record_builders.h"

namespace {

static_assert(std::is_base_of<PT_Envelope, CVEXAEnvelope>::value&&
                  std::has_virtual_destructor<CVEXAEnvelope>::value,
              "an envelope is its record plus a virtual destructor");

const double kNaN = std::numeric_limits<double>::quiet_NaN();

// A point of any size, its size written by hand as callers can.
CVEXACoordinatePoint PointOfSize(PT_Int32 size, double x, double y, double z) {
    CVEXACoordinatePoint point(x, y, z);
    point.size = size;
    return point;
}

TEST(Envelope, DefaultHasEmptyCornersOfZeroes) {
    const PT_Envelope zeroes = MakeEnvelope(MakePoint(0, 0, 0, 0), MakePoint(0, 0, 0, 0));
    EXPECT_TRUE(SameSlots(CVEXAEnvelope(), zeroes));
}

TEST(Envelope, SetSpansTheBoxOfTwoCornersInEitherOrder) {
    const PT_Envelope expected = MakeEnvelope(MakePoint(2, 1, 2, 0), MakePoint(2, 3, 5, 0));
    CVEXAEnvelope box(CVEXACoordinatePoint(1.0, 5.0), CVEXACoordinatePoint(3.0, 2.0));
    EXPECT_EQ(box == expected, 1);
    EXPECT_EQ(box.minCP.size, 2);
    EXPECT_EQ(box.maxCP.size, 2);
    box.Set(CVEXACoordinatePoint(3.0, 2.0), CVEXACoordinatePoint(1.0, 5.0));
    EXPECT_EQ(box == expected, 1);
}

TEST(Envelope, SetTakesTheSmallerSizeAndLeavesLaterSlotsAlone) {
    CVEXAEnvelope box(MakeEnvelope(MakePoint(3, 0, 0, 7), MakePoint(3, 0, 0, 8)));
    box.Set(CVEXACoordinatePoint(1.0, 5.0), CVEXACoordinatePoint(3.0, 2.0, -50.0));
    EXPECT_TRUE(SameSlots(box, MakeEnvelope(MakePoint(2, 1, 2, 7), MakePoint(2, 3, 5, 8))));

    box.Set(CVEXACoordinatePoint(), CVEXACoordinatePoint(1.0, 2.0));
    EXPECT_TRUE(SameSlots(box, MakeEnvelope(MakePoint(0, 1, 2, 7), MakePoint(0, 3, 5, 8))));
    box.Set(PointOfSize(-1, 9, 9, 9), CVEXACoordinatePoint(1.0, 2.0));
    EXPECT_TRUE(SameSlots(box, MakeEnvelope(MakePoint(-1, 1, 2, 7), MakePoint(-1, 3, 5, 8))));
    EXPECT_EQ(box.PointInEnveloppe(CVEXACoordinatePoint(100.0, kNaN)), 1);
}

TEST(Envelope, SetTakesTheSecondPointsZeroAndTheFirstPointsNaN) {
    // -0.0 and 0.0 are neither below nor above each other, so both corners take the second
    // point's zero. A NaN is below and above everything: one in the first point goes to both
    // corners, one only in the second point is dropped.
    CVEXAEnvelope box(CVEXACoordinatePoint(-0.0, 2.0), CVEXACoordinatePoint(0.0, kNaN));
    EXPECT_TRUE(SameSlots(box, MakeEnvelope(MakePoint(2, 0.0, 2.0, 0), MakePoint(2, 0.0, 2.0, 0))));
    EXPECT_EQ(box.PointInEnveloppe(CVEXACoordinatePoint(-0.0, 2.0)), 1);
    EXPECT_EQ(box.PointInEnveloppe(CVEXACoordinatePoint(0.0, 2.0)), 1);
    EXPECT_EQ(box.PointInEnveloppe(CVEXACoordinatePoint(0.0, std::nextafter(2.0, 3.0))), 0);
    EXPECT_EQ(box.PointInEnveloppe(CVEXACoordinatePoint(std::nextafter(0.0, 1.0), 2.0)), 0);
    EXPECT_EQ(box.PointInEnveloppe(CVEXACoordinatePoint(0.0, kNaN)), 0);

    box.Set(CVEXACoordinatePoint(0.0, kNaN), CVEXACoordinatePoint(-0.0, 2.0));
    EXPECT_TRUE(
        SameSlots(box, MakeEnvelope(MakePoint(2, -0.0, kNaN, 0), MakePoint(2, -0.0, kNaN, 0))));
    EXPECT_EQ(box.PointInEnveloppe(CVEXACoordinatePoint(0.0, 2.0)), 0);
    EXPECT_EQ(box.PointInEnveloppe(PointOfSize(1, 0.0, 2.0, 0.0)), 1);
}

TEST(Envelope, SetAndNormalizeAboveThreeKeepSizesAndWorkOnThreeDimensions) {
    CVEXAEnvelope box(MakeEnvelope(MakePoint(2, 0, 0, 0), MakePoint(2, 0, 0, 0)));
    box.Set(PointOfSize(5, 1, 6, 9), PointOfSize(4, 2, 5, 8));
    EXPECT_TRUE(SameSlots(box, MakeEnvelope(MakePoint(2, 1, 5, 8), MakePoint(2, 2, 6, 9))));

    box = MakeEnvelope(MakePoint(4, 3, 1, 9), MakePoint(7, 1, 4, 2));
    box.NormalizeEnveloppe();
    EXPECT_TRUE(SameSlots(box, MakeEnvelope(MakePoint(4, 1, 1, 2), MakePoint(7, 3, 4, 9))));
    EXPECT_EQ(box.PointInEnveloppe(PointOfSize(5, 2, 2, 5)), 1);
    EXPECT_EQ(box.PointInEnveloppe(PointOfSize(5, 2, 2, 10)), 0);
}

TEST(Envelope, NormalizeOrdersBoundsInTheSharedDimensions) {
    CVEXAEnvelope box(MakeEnvelope(MakePoint(2, 3, 1, 0), MakePoint(2, 1, 4, 0)));
    box.NormalizeEnveloppe();
    EXPECT_TRUE(SameSlots(box, MakeEnvelope(MakePoint(2, 1, 1, 0), MakePoint(2, 3, 4, 0))));

    CVEXAEnvelope mixed(MakeEnvelope(MakePoint(3, 3, 1, 9), MakePoint(2, 1, 4, 1)));
    EXPECT_EQ(mixed.minCP.size, 3);
    EXPECT_EQ(mixed.maxCP.size, 2);
    mixed.NormalizeEnveloppe();
    EXPECT_TRUE(SameSlots(mixed, MakeEnvelope(MakePoint(2, 1, 1, 9), MakePoint(2, 3, 4, 1))));

    // Only the dimensions in use are ordered: one, or none for a size of 0 or below.
    CVEXAEnvelope line(MakeEnvelope(MakePoint(1, 5, 8, 9), MakePoint(3, 2, 7, 1)));
    line.NormalizeEnveloppe();
    EXPECT_TRUE(SameSlots(line, MakeEnvelope(MakePoint(1, 2, 8, 9), MakePoint(1, 5, 7, 1))));
    for (PT_Int32 size : {0, -1}) {
        CVEXAEnvelope empty(MakeEnvelope(MakePoint(2, 5, 8, 9), MakePoint(size, 2, 7, 1)));
        empty.NormalizeEnveloppe();
        EXPECT_TRUE(
            SameSlots(empty, MakeEnvelope(MakePoint(size, 5, 8, 9), MakePoint(size, 2, 7, 1))))
            << size;
    }
}

TEST(Envelope, PointOnBoundaryIsInside) {
    CVEXAEnvelope box(CVEXACoordinatePoint(0.0, 0.0), CVEXACoordinatePoint(2.0, 2.0));
    EXPECT_EQ(box.PointInEnveloppe(CVEXACoordinatePoint(0.0, 0.0)), 1);
    EXPECT_EQ(box.PointInEnveloppe(CVEXACoordinatePoint(2.0, 0.0)), 1);
    EXPECT_EQ(box.PointInEnveloppe(CVEXACoordinatePoint(-0.0, 2.0)), 1);
    EXPECT_EQ(box.PointInEnveloppe(CVEXACoordinatePoint(1.0, std::nextafter(2.0, 3.0))), 0);
    EXPECT_EQ(box.PointInEnveloppe(CVEXACoordinatePoint(std::nextafter(0.0, -1.0), 1.0)), 0);

    const CVEXACoordinatePoint station(4.0, 5.0, 6.0);
    EXPECT_EQ(CVEXAEnvelope(station, station).PointInEnveloppe(station), 1);
}

TEST(Envelope, NaNIsNeverInside) {
    const CVEXAEnvelope box(CVEXACoordinatePoint(0.0, 0.0, 0.0), CVEXACoordinatePoint(2, 2, 2));
    EXPECT_EQ(box.PointInEnveloppe(CVEXACoordinatePoint(kNaN, 1.0, 1.0)), 0);
    EXPECT_EQ(box.PointInEnveloppe(CVEXACoordinatePoint(1.0, 1.0, kNaN)), 0);
    const CVEXAEnvelope openBelow(MakeEnvelope(MakePoint(2, 0, kNaN, 0), MakePoint(2, 2, 2, 0)));
    EXPECT_EQ(openBelow.PointInEnveloppe(CVEXACoordinatePoint(1.0, 1.0)), 0);
    const CVEXAEnvelope openAbove(MakeEnvelope(MakePoint(2, 0, 0, 0), MakePoint(2, 2, kNaN, 0)));
    EXPECT_EQ(openAbove.PointInEnveloppe(CVEXACoordinatePoint(1.0, 1.0)), 0);
}

TEST(Envelope, NormalizeExchangesBoundsBesideANaNOnEveryCall) {
    // A signalling NaN as well: exchanging moves bytes, as every copy of a slot does.
    const double sNaN = SignallingNaN();
    const PT_Envelope record = MakeEnvelope(MakePoint(2, sNaN, 1, 0), MakePoint(2, 4, kNaN, 0));
    const PT_Envelope exchanged = MakeEnvelope(MakePoint(2, 4, kNaN, 0), MakePoint(2, sNaN, 1, 0));
    CVEXAEnvelope box(record);
    box.NormalizeEnveloppe();
    EXPECT_TRUE(SameSlots(box, exchanged));
    box.NormalizeEnveloppe();
    EXPECT_TRUE(SameSlots(box, record));
}

TEST(Envelope, PointInEnveloppeTestsOnlyDimensionsOfThePointAndTheLowerCorner) {
    const CVEXAEnvelope box(CVEXACoordinatePoint(0, 0, 0), CVEXACoordinatePoint(2, 2, 2));
    EXPECT_EQ(box.PointInEnveloppe(CVEXACoordinatePoint()), 1);
    EXPECT_EQ(box.PointInEnveloppe(PointOfSize(2, 1, 1, 50)), 1);
    EXPECT_EQ(box.PointInEnveloppe(PointOfSize(2, 1, 3, 1)), 0);
    EXPECT_EQ(box.PointInEnveloppe(PointOfSize(1, 1, 50, 50)), 1);
    EXPECT_EQ(box.PointInEnveloppe(PointOfSize(1, 3, 1, 1)), 0);
    EXPECT_EQ(box.PointInEnveloppe(PointOfSize(2, -1, 1, 1)), 0);
    EXPECT_EQ(box.PointInEnveloppe(PointOfSize(0, 50, 50, 50)), 1);

    // A record, by reference or by pointer, is tested as it is, like a point object: one of
    // size 4 in three dimensions, never as the empty point that a copy into a point would make.
    PT_CoordinatePoint far = MakePoint(4, 100, 100, 100);
    EXPECT_EQ(box.PointInEnveloppe(PointOfSize(4, 100, 100, 100)), 0);
    EXPECT_EQ(box.PointInEnveloppe(far), 0);
    EXPECT_EQ(box.PointInEnveloppe(&far), 0);
    EXPECT_EQ(box.PointInEnveloppe(static_cast<const PT_CoordinatePoint*>(&far)), 0);
    EXPECT_EQ(box.PointInEnveloppe(MakePoint(4, 1, 1, 1)), 1);
    EXPECT_EQ(box.PointInEnveloppe(MakePoint(2, 1, 1, 50)), 1);
    EXPECT_EQ(box.PointInEnveloppe(MakePoint(3, 100, 100, 100)), 0);
    EXPECT_EQ(box.PointInEnveloppe(MakePoint(-1, 100, 100, 100)), 1);
    // A null pointer names no point, so none lies inside.
    EXPECT_EQ(box.PointInEnveloppe(static_cast<const PT_CoordinatePoint*>(nullptr)), 0);

    const CVEXAEnvelope flatLower(MakeEnvelope(MakePoint(2, 0, 0, 0), MakePoint(3, 2, 2, 2)));
    EXPECT_EQ(flatLower.PointInEnveloppe(CVEXACoordinatePoint(1, 1, 50)), 1);
    EXPECT_EQ(flatLower.PointInEnveloppe(MakePoint(3, 1, 1, 50)), 1);
    const CVEXAEnvelope flatUpper(MakeEnvelope(MakePoint(3, 0, 0, 0), MakePoint(2, 2, 2, 5)));
    EXPECT_EQ(flatUpper.PointInEnveloppe(CVEXACoordinatePoint(1, 1, 4)), 1);
    EXPECT_EQ(flatUpper.PointInEnveloppe(CVEXACoordinatePoint(1, 1, 6)), 0);
}

TEST(Envelope, UnnormalisedRecordContainsNoPointUntilNormalised) {
    CVEXAEnvelope box(MakeEnvelope(MakePoint(2, 3, 0, 0), MakePoint(2, 1, 2, 0)));
    for (double x : {0.0, 1.0, 2.0, 3.0, 4.0}) {
        EXPECT_EQ(box.PointInEnveloppe(CVEXACoordinatePoint(x, 1.0)), 0) << x;
    }
    box.NormalizeEnveloppe();
    EXPECT_EQ(box.PointInEnveloppe(CVEXACoordinatePoint(2.0, 1.0)), 1);
}

TEST(Envelope, RecordsAreCopiedInAsTheyAre) {
    const PT_Envelope odd = MakeEnvelope(MakePoint(5, 1, 2, 3), MakePoint(-2, 4, 5, 6));
    EXPECT_TRUE(SameSlots(CVEXAEnvelope(odd), odd));
    EXPECT_TRUE(SameSlots(CVEXAEnvelope(&odd), odd));
    const CVEXAEnvelope empty(static_cast<const PT_Envelope*>(0));
    EXPECT_EQ(empty.minCP.size, 0);
    EXPECT_EQ(empty.maxCP.size, 0);

    CVEXAEnvelope box(CVEXACoordinatePoint(1.0, 5.0), CVEXACoordinatePoint(3.0, 2.0));
    EXPECT_EQ(&(box = odd), &box);
    EXPECT_TRUE(SameSlots(box, odd));
    const PT_Envelope other = MakeEnvelope(MakePoint(1, 7, 8, 9), MakePoint(1, 8, 9, 10));
    EXPECT_EQ(&(box = &other), &box);
    EXPECT_TRUE(SameSlots(box, other));
    EXPECT_EQ(&(box = static_cast<const PT_Envelope*>(0)), &box);
    EXPECT_TRUE(SameSlots(box, other));
}

TEST(Envelope, CopiesBetweenEnvelopesTakeEverySlot) {
    const PT_Envelope odd =
        MakeEnvelope(MakePoint(1, 1, 2, SignallingNaN()), MakePoint(5, SignallingNaN(), 5, 6));
    const CVEXAEnvelope source(odd);
    EXPECT_TRUE(SameSlots(CVEXAEnvelope(source), odd));
    CVEXAEnvelope target(CVEXACoordinatePoint(7, 8, 9), CVEXACoordinatePoint(9, 9, 9));
    EXPECT_EQ(&(target = source), &target);
    EXPECT_TRUE(SameSlots(target, odd));

    const CVEXAEnvelope& same = target;
    target = same;
    target = static_cast<const PT_Envelope&>(target);
    target = static_cast<const PT_Envelope*>(target);
    EXPECT_TRUE(SameSlots(target, odd));
}

TEST(Envelope, EveryComparisonFormAgreesWhateverTheConstness) {
    const PT_Envelope box = MakeEnvelope(MakePoint(2, 0, 0, 7), MakePoint(2, 1, 1, 8));
    const PT_Envelope others[] = {
        box,
        MakeEnvelope(MakePoint(2, 0, 0, 9), MakePoint(2, 1, 1, 9)),
        MakeEnvelope(MakePoint(2, 0, -1, 7), MakePoint(2, 1, 1, 8)),
        MakeEnvelope(MakePoint(2, 0, 0, 7), MakePoint(2, 1, 2, 8)),
        MakeEnvelope(MakePoint(2, 0, 0, 7), MakePoint(3, 1, 1, 8)),
    };
    for (const PT_Envelope& other : others) {
        ExpectEveryComparisonGives<CVEXAEnvelope>(EqualEnvelope(&box, &other), box, other);
    }
    // In three dimensions, a difference in the last ordinate of either corner.
    const PT_Envelope cube = MakeEnvelope(MakePoint(3, 0, 0, 0), MakePoint(3, 1, 1, 1));
    ExpectEveryComparisonGives<CVEXAEnvelope>(1, cube, cube);
    ExpectEveryComparisonGives<CVEXAEnvelope>(
        0, cube, MakeEnvelope(MakePoint(3, 0, 0, 0), MakePoint(3, 1, 1, 2)));
    ExpectEveryComparisonGives<CVEXAEnvelope>(
        0, cube, MakeEnvelope(MakePoint(3, 0, 0, -1), MakePoint(3, 1, 1, 1)));
    const PT_Envelope withNaN = MakeEnvelope(MakePoint(2, 0, 0, 7), MakePoint(2, 1, kNaN, 8));
    ExpectEveryComparisonGives<CVEXAEnvelope>(0, withNaN, withNaN);
}

TEST(Envelope, ConversionsGiveTheRecordPart) {
    CVEXAEnvelope box(CVEXACoordinatePoint(0.0, 0.0), CVEXACoordinatePoint(1.0, 1.0));
    PT_Envelope* record = box;
    EXPECT_EQ(record, &static_cast<PT_Envelope&>(box));
    record->maxCP.ord[0] = 5.0;
    EXPECT_EQ(box.PointInEnveloppe(CVEXACoordinatePoint(4.0, 0.5)), 1);
    const CVEXAEnvelope& view = box;
    EXPECT_EQ(static_cast<const PT_Envelope*>(view), record);
    EXPECT_EQ(EqualEnvelope(view, record), 1);
}

}  // namespace
