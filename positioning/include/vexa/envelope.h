#ifndef VEXA_ENVELOPE_H
#define VEXA_ENVELOPE_H

// The envelope class: a PT_Envelope with building, normalising and the point-in-box test.
#include <vexa/coordinate_point.h>
#include <vexa/detail/point_in_box.h>
#include <vexa/records.h>

/// An axis-aligned box of up to three dimensions: the PT_Envelope record with building from two
/// points, normalising and a point-in-box test. The box is closed (a point on a bound is inside)
/// and an ordinate that is NaN is never inside. All comparisons are exact.
///
/// Corner or point sizes above 3 occur only in records filled by hand. Set and NormalizeEnveloppe
/// then leave the corner sizes as they are and work on the three ordinates that exist, and
/// PointInEnveloppe tests three dimensions when both its sizes exceed 3.
///
/// Compare with a record through a const pointer (const PT_Envelope*): with a non-const one,
/// `envelope == &record` is ambiguous with the built-in pointer comparison that the conversion
/// to PT_Envelope* makes available.
class VEXA_API CVEXAEnvelope : public PT_Envelope {
public:
    /// Both corners empty (size 0), every ordinate slot 0.0.
    CVEXAEnvelope();
    /// Both corners copied as they are, sizes included, with no normalisation.
    CVEXAEnvelope(const PT_Envelope& source);
    /// As the reference form; a null pointer gives an empty envelope.
    CVEXAEnvelope(const PT_Envelope* source);
    /// The box spanned by the two points (see Set).
    CVEXAEnvelope(const CVEXACoordinatePoint& first, const CVEXACoordinatePoint& second);
    /// Both corners, all three ordinate slots and the size of each.
    CVEXAEnvelope(const CVEXAEnvelope& source);
    virtual ~CVEXAEnvelope();

    /// Both corners copied as they are, sizes included.
    const CVEXAEnvelope& operator=(const PT_Envelope& source);
    /// As the reference form; a null pointer leaves the envelope unchanged.
    const CVEXAEnvelope& operator=(const PT_Envelope* source);
    /// Both corners, all three ordinate slots and the size of each.
    CVEXAEnvelope& operator=(const CVEXAEnvelope& source);

    /// 1 when both pairs of corners are equal points, else 0.
    VEXA_INLINE_API unsigned char operator==(const PT_Envelope& other) const {
        return static_cast<unsigned char>(vexa::detail::EqualEnvelopeRecord(this, &other));
    }
    /// As the reference form; a null pointer gives 0.
    VEXA_INLINE_API unsigned char operator==(const PT_Envelope* other) const {
        return static_cast<unsigned char>(vexa::detail::EqualEnvelopeRecord(this, other));
    }
    /// The negation of operator==.
    VEXA_INLINE_API unsigned char operator!=(const PT_Envelope& other) const {
        return vexa::detail::EqualEnvelopeRecord(this, &other) ? 0 : 1;
    }
    /// The negation of operator==; a null pointer gives 1.
    VEXA_INLINE_API unsigned char operator!=(const PT_Envelope* other) const {
        return vexa::detail::EqualEnvelopeRecord(this, other) ? 0 : 1;
    }
    /// As the record form: an exact match, which C++20 takes rather than its reversed form.
    VEXA_INLINE_API unsigned char operator==(const CVEXAEnvelope& other) const {
        return static_cast<unsigned char>(vexa::detail::EqualEnvelopeRecord(this, &other));
    }
    /// The negation of operator==, as the record form.
    VEXA_INLINE_API unsigned char operator!=(const CVEXAEnvelope& other) const {
        return vexa::detail::EqualEnvelopeRecord(this, &other) ? 0 : 1;
    }

    /// record == envelope: the member form with the operands swapped. A friend found only beside an
    /// envelope operand, so that two records never compare through a converted copy.
    friend bool operator==(const PT_Envelope& record, const CVEXAEnvelope& envelope) {
        return (envelope == record) != 0;
    }
    /// record != envelope: the member form with the operands swapped.
    friend bool operator!=(const PT_Envelope& record, const CVEXAEnvelope& envelope) {
        return (envelope != record) != 0;
    }

// Members kept for programs built against the 1.0 and 1.1 headers, declared for the shared
// library's own build alone, which defines the macro; removed in 2.0.
#if defined(VEXA_LEGACY_COMPARISONS)
#include "../../src/legacy/envelope_legacy_comparisons.h"
#endif

    /// The envelope's own record part.
    VEXA_INLINE_API operator PT_Envelope*() { return this; }
    /// The envelope's own record part, read-only.
    VEXA_INLINE_API operator const PT_Envelope*() const { return this; }

    /// Makes the envelope the box spanned by two opposite corners given in either order. Its
    /// dimension is the smaller of the two sizes; corner slots from there on keep their values.
    void Set(const CVEXACoordinatePoint& first, const CVEXACoordinatePoint& second);
    /// Gives both corners the smaller of their sizes and puts each dimension's bounds in order. A
    /// dimension with a NaN bound has its bounds exchanged on every call, since the above test
    /// holds for NaN.
    void NormalizeEnveloppe();
    /// 1 when the point lies in the box, else 0. Only the dimensions counted by both the point
    /// and the lower corner are tested; the upper corner's size is not consulted.
    VEXA_INLINE_API unsigned char PointInEnveloppe(const CVEXACoordinatePoint& point) const {
        return vexa::detail::PointInBox(point, *this) ? 1 : 0;
    }
    /// As the point form, for a record tested as it is, in its own dimensions: the smaller of its
    /// size and the lower corner's, three at most. It is never copied into a point first, which
    /// would make a record of size 4 an empty point, inside every box. It compiles into its
    /// callers.
    unsigned char PointInEnveloppe(const PT_CoordinatePoint& point) const {
        return vexa::detail::PointInBox(point, *this) ? 1 : 0;
    }
    /// As the record form; a null pointer names no point, which lies in no box: 0.
    unsigned char PointInEnveloppe(const PT_CoordinatePoint* point) const {
        return point && vexa::detail::PointInBox(*point, *this) ? 1 : 0;
    }
};

#endif
