#include <vexa/vexa.h>

#include <gtest/gtest.h>

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <initializer_list>
#include <limits>

#include "record_builders.h"

namespace {

template <class Whole, class Part>
std::ptrdiff_t OffsetOf(const Whole& whole, const Part& part) {
    return reinterpret_cast<const char*>(&part) - reinterpret_cast<const char*>(&whole);
}

const double kNaN = std::numeric_limits<double>::quiet_NaN();

TEST(RecordLayout, SizesAndOffsetsMatchTheInterface) {
    EXPECT_EQ(sizeof(PT_Int32), 4u);
    EXPECT_EQ(sizeof(PT_CoordinatePoint), 40u);
    EXPECT_EQ(sizeof(PT_Envelope), 80u);
    EXPECT_EQ(sizeof(PT_Matrix), 4016u);

    PT_CoordinatePoint point;
    EXPECT_EQ(OffsetOf(point, point.ord[0]), 8);
    EXPECT_EQ(OffsetOf(point, point.ord[2]), 24);
    EXPECT_EQ(OffsetOf(point, point.size), 32);

    PT_Envelope envelope;
    EXPECT_EQ(OffsetOf(envelope, envelope.maxCP), 40);

    PT_Matrix matrix;
    EXPECT_EQ(OffsetOf(matrix, matrix.elt[0]), 8);
    EXPECT_EQ(OffsetOf(matrix, matrix.elt[99]), 8 + 99 * 40);
    EXPECT_EQ(OffsetOf(matrix, matrix.rowCount), 4008);
}

TEST(RecordConstruction, DefaultsCountNothingInUseAndHoldZeroes) {
    const PT_CoordinatePoint zeroes = MakePoint(0, 0.0, 0.0, 0.0);
    PT_CoordinatePoint point;
    EXPECT_TRUE(SameSlots(point, zeroes));
    PT_Envelope envelope;
    EXPECT_TRUE(SameSlots(envelope, MakeEnvelope(zeroes, zeroes)));
    PT_Matrix matrix;
    EXPECT_EQ(matrix.rowCount, 0);
    for (long row = 0; row < 100; ++row) {
        EXPECT_TRUE(SameSlots(matrix.elt[row], zeroes)) << "row " << row;
    }
}

TEST(RecordConstruction, CopiesAndAssignmentsCopyEverySlot) {
    const PT_CoordinatePoint source = MakePoint(1, 1.0, 2.0, SignallingNaN());
    PT_CoordinatePoint assigned = MakePoint(3, 7.0, 8.0, 9.0);
    assigned = source;
    EXPECT_TRUE(SameSlots(assigned, source));
    const PT_CoordinatePoint constructed(source);
    EXPECT_TRUE(SameSlots(constructed, source));

    const PT_Envelope envelope = MakeEnvelope(source, MakePoint(3, SignallingNaN(), 0.0, -0.0));
    const PT_Envelope envelopeCopy(envelope);
    EXPECT_TRUE(SameSlots(envelopeCopy, envelope));
    PT_Envelope envelopeTarget;
    envelopeTarget = envelope;
    EXPECT_TRUE(SameSlots(envelopeTarget, envelope));
    PT_Envelope copied;
    EXPECT_EQ(CopyEnvelope(&copied, &envelope), 1);
    EXPECT_TRUE(SameSlots(copied, envelope));

    PT_Matrix matrix;
    matrix.elt[99] = MakePoint(5, 4.0, SignallingNaN(), 6.0);
    matrix.rowCount = -3;
    PT_Matrix target;
    target = matrix;
    EXPECT_EQ(target.rowCount, -3);
    EXPECT_TRUE(SameSlots(target.elt[99], matrix.elt[99]));
    const PT_Matrix matrixCopy(matrix);
    EXPECT_TRUE(SameSlots(matrixCopy, matrix));
}

TEST(FixedArrayDeathTest, IndexOutsideTheCapacityAssertsInCheckedBuilds) {
#ifdef NDEBUG
    GTEST_SKIP() << "indexes are unchecked with NDEBUG";
#else
    PT_CoordinatePoint point;
    const PT_CoordinatePoint& read_only = point;
    EXPECT_DEATH(point.ord[-1] = 0.0, "");
    EXPECT_DEATH(point.ord[3] = 0.0, "");
    EXPECT_DEATH(static_cast<void>(read_only.ord[-1]), "");
    EXPECT_DEATH(static_cast<void>(read_only.ord[3]), "");
    point.ord[0] = 1.0;
    point.ord[2] = 3.0;
    EXPECT_EQ(read_only.ord[0] + read_only.ord[2], 4.0);
#endif
}

TEST(CopyCoordinatePoint, NullArgumentsWriteNothing) {
    PT_CoordinatePoint destination = MakePoint(2, 1.0, 2.0, 3.0);
    const PT_CoordinatePoint before = destination;
    const PT_CoordinatePoint source = MakePoint(3, 4.0, 5.0, 6.0);
    EXPECT_EQ(CopyCoordinatePoint(0, &source), 0);
    EXPECT_EQ(CopyCoordinatePoint(&destination, 0), 0);
    EXPECT_EQ(CopyCoordinatePoint(0, 0), 0);
    EXPECT_TRUE(SameSlots(destination, before));
}

TEST(CopyCoordinatePoint, SizeAboveThreeIsRefusedLeavingDestinationWhole) {
    for (PT_Int32 size : {4, 5, std::numeric_limits<PT_Int32>::max()}) {
        PT_CoordinatePoint destination = MakePoint(2, 1.0, 2.0, 3.0);
        const PT_CoordinatePoint before = destination;
        const PT_CoordinatePoint source = MakePoint(size, 4.0, 5.0, 6.0);
        EXPECT_EQ(CopyCoordinatePoint(&destination, &source), 0) << "size " << size;
        EXPECT_TRUE(SameSlots(destination, before)) << "size " << size;
    }
}

// One destination through a sequence of copies: the slots from each source's size on keep what
// the earlier copies left there.
TEST(CopyCoordinatePoint, CopiesOnlyTheOrdinatesInUse) {
    const PT_Int32 most_negative = std::numeric_limits<PT_Int32>::min();
    const struct {
        PT_CoordinatePoint source;
        PT_CoordinatePoint copied;
    } steps[] = {
        {MakePoint(3, 4.0, 5.0, SignallingNaN()), MakePoint(3, 4.0, 5.0, SignallingNaN())},
        {MakePoint(3, 4.0, 5.0, 6.0), MakePoint(3, 4.0, 5.0, 6.0)},
        {MakePoint(2, 7.0, 8.0, 9.0), MakePoint(2, 7.0, 8.0, 6.0)},
        {MakePoint(0, 0.0, 0.0, 0.0), MakePoint(0, 7.0, 8.0, 6.0)},
        {MakePoint(-1, 0.0, 0.0, 0.0), MakePoint(-1, 7.0, 8.0, 6.0)},
        {MakePoint(most_negative, 0.0, 0.0, 0.0), MakePoint(most_negative, 7.0, 8.0, 6.0)},
    };
    PT_CoordinatePoint destination = MakePoint(1, 1.0, 2.0, 3.0);
    for (const auto& step : steps) {
        EXPECT_EQ(CopyCoordinatePoint(&destination, &step.source), 1) << step.source.size;
        EXPECT_TRUE(SameSlots(destination, step.copied)) << step.source.size;
    }
}

TEST(CopyCoordinatePoint, OntoItselfChangesNothing) {
    for (PT_Int32 size : {-1, 0, 2, 3, 4}) {
        PT_CoordinatePoint point = MakePoint(size, 1.0, kNaN, -0.0);
        const PT_CoordinatePoint before = point;
        EXPECT_EQ(CopyCoordinatePoint(&point, &point), size <= 3 ? 1 : 0) << "size " << size;
        EXPECT_TRUE(SameSlots(point, before)) << "size " << size;
    }
}

TEST(EqualCoordinatePoint, NullIsNeverEqual) {
    const PT_CoordinatePoint point = MakePoint(0, 0.0, 0.0, 0.0);
    EXPECT_EQ(EqualCoordinatePoint(0, &point), 0);
    EXPECT_EQ(EqualCoordinatePoint(&point, 0), 0);
    EXPECT_EQ(EqualCoordinatePoint(0, 0), 0);
}

// Pairs of records and what EqualCoordinatePoint gives for them, in either order.
struct PointPair {
    PT_CoordinatePoint first;
    PT_CoordinatePoint second;
    int equal;
};

void ExpectEqualCoordinatePointGives(std::initializer_list<PointPair> pairs) {
    int index = 0;
    for (const PointPair& pair : pairs) {
        EXPECT_EQ(EqualCoordinatePoint(&pair.first, &pair.second), pair.equal) << "pair " << index;
        EXPECT_EQ(EqualCoordinatePoint(&pair.second, &pair.first), pair.equal) << "pair " << index;
        ++index;
    }
}

TEST(EqualCoordinatePoint, ComparesSizeThenOrdinatesInUse) {
    const PT_CoordinatePoint a = MakePoint(2, 1.0, 2.0, 3.0);
    EXPECT_EQ(EqualCoordinatePoint(&a, &a), 1);
    ExpectEqualCoordinatePointGives({
        {a, MakePoint(2, 1.0, 2.0, 99.0), 1},
        {a, MakePoint(3, 1.0, 2.0, 3.0), 0},
        {a, MakePoint(2, 1.0, 2.5, 3.0), 0},
        {a, MakePoint(2, 1.5, 2.0, 3.0), 0},
        {MakePoint(3, 1.0, 2.0, 3.0), MakePoint(3, 1.0, 2.0, 4.0), 0},
        {MakePoint(0, 1.0, 2.0, 3.0), MakePoint(0, 4.0, 5.0, 6.0), 1},
        {MakePoint(-1, 1.0, 2.0, 3.0), MakePoint(-1, 4.0, 5.0, 6.0), 1},
        {MakePoint(-1, 1.0, 2.0, 3.0), MakePoint(0, 1.0, 2.0, 3.0), 0},
    });
}

TEST(EqualCoordinatePoint, ComparesExactlyAsIeeeDoubles) {
    const PT_CoordinatePoint with_nan = MakePoint(2, 1.0, kNaN, 0.0);
    EXPECT_EQ(EqualCoordinatePoint(&with_nan, &with_nan), 0);
    const double inf = std::numeric_limits<double>::infinity();
    ExpectEqualCoordinatePointGives({
        {MakePoint(1, 0.0, 0, 0), MakePoint(1, -0.0, 0, 0), 1},
        {MakePoint(1, 1.0, 0, 0), MakePoint(1, std::nextafter(1.0, 2.0), 0, 0), 0},
        {MakePoint(1, 1.0, kNaN, 0), MakePoint(1, 1.0, kNaN, 0), 1},
        {MakePoint(1, inf, 0, 0), MakePoint(1, inf, 0, 0), 1},
    });
}

TEST(EqualCoordinatePoint, SizesAboveThreeCompareTheThreeSlots) {
    ExpectEqualCoordinatePointGives({
        {MakePoint(7, 1.0, 2.0, 3.0), MakePoint(7, 1.0, 2.0, 3.0), 1},
        {MakePoint(7, 1.0, 2.0, 3.0), MakePoint(7, 1.0, 2.0, 4.0), 0},
        {MakePoint(7, 1.0, 2.0, 3.0), MakePoint(4, 1.0, 2.0, 3.0), 0},
    });
}

TEST(CopyEnvelope, CopiesBothCornersWhateverTheirSizes) {
    const PT_Envelope source =
        MakeEnvelope(MakePoint(5, 1.0, 2.0, 3.0), MakePoint(-2, 4.0, 5.0, 6.0));
    PT_Envelope destination = MakeEnvelope(MakePoint(3, 9, 9, 9), MakePoint(3, 9, 9, 9));
    EXPECT_EQ(CopyEnvelope(&destination, &source), 1);
    EXPECT_TRUE(SameSlots(destination.minCP, source.minCP));
    EXPECT_TRUE(SameSlots(destination.maxCP, source.maxCP));
}

TEST(CopyEnvelope, NullArgumentsWriteNothing) {
    PT_Envelope destination = MakeEnvelope(MakePoint(2, 1, 2, 3), MakePoint(2, 4, 5, 6));
    const PT_Envelope before = destination;
    EXPECT_EQ(CopyEnvelope(&destination, 0), 0);
    EXPECT_EQ(CopyEnvelope(0, &before), 0);
    EXPECT_EQ(CopyEnvelope(0, 0), 0);
    EXPECT_TRUE(SameSlots(destination, before));
}

TEST(EqualEnvelope, NeedsBothCornersEqual) {
    const PT_Envelope box = MakeEnvelope(MakePoint(2, 1, 2, 0), MakePoint(2, 3, 4, 0));
    EXPECT_EQ(EqualEnvelope(&box, &box), 1);
    const struct {
        PT_Envelope other;
        int equal;
    } cases[] = {
        {MakeEnvelope(MakePoint(2, 1, 2, 7), MakePoint(2, 3, 4, 8)), 1},
        {MakeEnvelope(MakePoint(2, 1, 2, 0), MakePoint(2, 3, 5, 0)), 0},
        {MakeEnvelope(MakePoint(2, 0, 2, 0), MakePoint(2, 3, 4, 0)), 0},
        {MakeEnvelope(MakePoint(2, 1, 2, 0), MakePoint(3, 3, 4, 0)), 0},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(EqualEnvelope(&box, &c.other), c.equal);
        EXPECT_EQ(EqualEnvelope(&c.other, &box), c.equal);
    }
    EXPECT_EQ(EqualEnvelope(&box, 0), 0);
    EXPECT_EQ(EqualEnvelope(0, &box), 0);
    EXPECT_EQ(EqualEnvelope(0, 0), 0);
}

// Doubles where an integer comparison of bit patterns can go wrong: both zeros, subnormals,
// the ends of the normal range, infinities, NaNs with a payload in either word, and pairs that
// share their high word or differ in it with the low words ordered the other way round.
const std::uint64_t kSpecialPatterns[] = {
    0x0000000000000000, 0x8000000000000000, 0x0000000000000001, 0x8000000000000001,
    0x00000000ffffffff, 0x80000000ffffffff, 0x0000000100000000, 0x8000000100000000,
    0x000fffffffffffff, 0x800fffffffffffff, 0x0010000000000000, 0x8010000000000000,
    0x3fefffffffffffff, 0xbfefffffffffffff, 0x3ff0000000000000, 0xbff0000000000000,
    0x3ff0000000000001, 0xbff0000000000001, 0x4000000000000000, 0xc000000000000000,
    0x7fefffffffffffff, 0xffefffffffffffff, 0x7ff0000000000000, 0xfff0000000000000,
    0x7ff0000000000001, 0xfff0000000000001, 0x7ff0000100000000, 0xfff0000100000000,
    0x7ff8000000000000, 0xfff8000000000000, 0x7fffffffffffffff, 0xffffffffffffffff,
};

double FromPattern(std::uint64_t pattern) {
    double value;
    std::memcpy(&value, &pattern, sizeof value);
    return value;
}

// The tests on bit patterns, which the soft-float build uses, and the tests the library uses on
// this target, give what the compiler's own comparison gives (the hardware's, or the run-time
// library's without one) for every pair and every triple of the special values.
TEST(OrdinateComparison, AgreesWithTheCompilersComparisonOnEverySpecialValue) {
    using namespace vexa::detail;
    for (std::uint64_t pa : kSpecialPatterns) {
        const double a = FromPattern(pa);
        for (std::uint64_t pb : kSpecialPatterns) {
            const double b = FromPattern(pb);
            const bool unequal = a != b;
            const bool below = !(a >= b);
            const bool above = !(a <= b);
            SCOPED_TRACE(testing::Message() << std::hex << pa << " and " << pb);
            EXPECT_EQ(BitsUnequal(a, b), unequal);
            EXPECT_EQ(BitsBelowOrNaN(a, b), below);
            EXPECT_EQ(BitsAboveOrNaN(a, b), above);
            EXPECT_EQ(Unequal(a, b), unequal);
            EXPECT_EQ(BelowOrNaN(a, b), below);
            EXPECT_EQ(AboveOrNaN(a, b), above);
            EXPECT_EQ(
                EqualCoordinatePoint(Addr(MakePoint(1, a, 0, 0)), Addr(MakePoint(1, b, 0, 0))),
                unequal ? 0 : 1);
            for (std::uint64_t pc : kSpecialPatterns) {
                const double c = FromPattern(pc);
                const bool outside = !(a >= b) || !(a <= c);
                if (OutsideBounds(a, b, c) != outside || BitsOutside(a, b, c) != outside)
                    ADD_FAILURE() << "OutsideBounds(" << std::hex << pa << ", " << pb << ", " << pc
                                  << ")";
            }
        }
    }
}

// Patterns drawn toward the doubles where integer comparisons go wrong, from SplitMix64 (fast, and
// the same sequence on every target). Each draw picks its kind from a table rather than by
// branches, which would be mispredicted on most draws and cost more than the comparisons.
class PatternSource {
public:
    std::uint64_t Next() {
        std::uint64_t z = (state_ += 0x9e3779b97f4a7c15u);
        z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9u;
        z = (z ^ (z >> 27)) * 0x94d049bb133111ebu;
        return z ^ (z >> 31);
    }

    // Zeros, subnormals, infinities, NaNs with their payload in the high word or the low one,
    // values near 1, low words at their ends, and any pattern at all.
    std::uint64_t Pattern() {
        struct Kind {
            std::uint64_t kept;
            std::uint64_t set;
        };
        static const Kind kinds[16] = {
            {0x8000000000000000u, 0},
            {0x800fffffffffffffu, 0},
            {0x8000000000000000u, 0x7ff0000000000000u},
            {0xffffffff00000000u, 0x7ff0000000000000u},
            {0xfff00000ffffffffu, 0x7ff0000000000000u},
            {0x801fffffffffffffu, 0x3fe0000000000000u},
            {0xffffffff00000000u, 0},
            {0xffffffff00000000u, 1},
            {0xffffffff00000000u, 0x7fffffffu},
            {0xffffffff00000000u, 0x80000000u},
            {0xffffffff00000000u, 0xffffffffu},
            {~std::uint64_t{0}, 0},
            {~std::uint64_t{0}, 0},
            {~std::uint64_t{0}, 0},
            {~std::uint64_t{0}, 0},
            {~std::uint64_t{0}, 0},
        };
        const std::uint64_t bits = Next();
        const Kind& kind = kinds[bits >> 60];
        return (bits & kind.kept) | kind.set;
    }

    // A second pattern beside the first: the same, its sign flipped, a neighbour (across the
    // word boundary too), one word shared with a pattern of its own, or a pattern of its own.
    std::uint64_t Beside(std::uint64_t first) {
        struct Relation {
            std::uint64_t kept;
            std::uint64_t flipped;
            std::uint64_t added;
        };
        static const Relation relations[8] = {
            {~std::uint64_t{0}, 0, 0},
            {~std::uint64_t{0}, 0x8000000000000000u, 0},
            {~std::uint64_t{0}, 0, 1},
            {~std::uint64_t{0}, 0, ~std::uint64_t{0}},
            {0xffffffff00000000u, 0, 0},
            {0x00000000ffffffffu, 0, 0},
            {0, 0, 0},
            {0, 0, 0},
        };
        const Relation& relation = relations[Next() >> 61];
        const std::uint64_t own = Pattern();
        return (((first & relation.kept) | (own & ~relation.kept)) ^ relation.flipped) +
               relation.added;
    }

private:
    std::uint64_t state_ = 20261209;
};

// The tests on bit patterns, as the soft-float build compiles them, against the compiler's own
// comparison of the doubles, over many pairs and triples drawn where they are likeliest to differ.
TEST(OrdinateComparison, BitPatternsAgreeWithTheCompilersComparisonOnBiasedRandomPairs) {
    using namespace vexa::detail;
    PatternSource source;
    long differences = 0;
    for (long i = 0; i < VEXA_RANDOM_PATTERN_PAIRS; ++i) {
        const std::uint64_t pa = source.Pattern();
        const std::uint64_t pb = source.Beside(pa);
        const std::uint64_t pc = source.Beside(i % 2 == 0 ? pa : pb);
        const double a = FromPattern(pa);
        const double b = FromPattern(pb);
        const double c = FromPattern(pc);
        // Every test is made whatever the others gave, which spares mispredicted branches.
        if ((BitsUnequal(a, b) == (a != b)) & (BitsBelowOrNaN(a, b) == !(a >= b)) &
            (BitsAboveOrNaN(a, b) == !(a <= b)) & (BitsOutside(a, b, c) == (!(a >= b) | !(a <= c))))
            continue;
        if (++differences <= 10)
            ADD_FAILURE() << "differs from the compiler's comparison: " << std::hex << pa << ", "
                          << pb << ", " << pc;
    }
    EXPECT_EQ(differences, 0);
}

}  // namespace
