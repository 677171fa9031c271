#ifndef VEXA_COORDINATE_POINT_H
#define VEXA_COORDINATE_POINT_H

// The point class: a PT_CoordinatePoint with construction, indexing, sizing and comparison.
#include <vexa/records.h>

#if defined(__GNUC__)
#pragma GCC diagnostic push
// The class is its record, whose layout is the interface: the trailing padding is meant.
#pragma GCC diagnostic ignored "-Wpadded"
#endif

/// A point of up to three ordinates: the PT_CoordinatePoint record with constructors, indexed
/// access, sizing, assignment and exact comparison. Its own operations keep size at 3 or below.
///
/// Compare with a record through a const pointer (const PT_CoordinatePoint*): with a non-const
/// one, `point == &record` is ambiguous with the built-in pointer comparison that the conversion
/// to PT_CoordinatePoint* makes available.
class VEXA_API CVEXACoordinatePoint : public PT_CoordinatePoint {
public:
    /// An empty point (size 0); every ordinate slot is 0.0.
    CVEXACoordinatePoint();
    /// A point of size 2; slot 2 is 0.0.
    CVEXACoordinatePoint(double x, double y);
    /// A point of size 3.
    CVEXACoordinatePoint(double x, double y, double z);
    /// The record's size and ordinates in use; an empty point when its size exceeds 3.
    CVEXACoordinatePoint(const PT_CoordinatePoint& source);
    /// As the reference form; a null pointer gives an empty point.
    CVEXACoordinatePoint(const PT_CoordinatePoint* source);
    /// All three ordinate slots and the size, whatever the size says.
    CVEXACoordinatePoint(const CVEXACoordinatePoint& source);
    virtual ~CVEXACoordinatePoint();

    /// Copies the record's size and ordinates in use; a size above 3 leaves the point unchanged.
    VEXA_INLINE_API const CVEXACoordinatePoint& operator=(const PT_CoordinatePoint& source) {
        vexa::detail::CopyPointRecord(this, &source);
        return *this;
    }
    /// As the reference form; a null pointer leaves the point unchanged.
    VEXA_INLINE_API const CVEXACoordinatePoint& operator=(const PT_CoordinatePoint* source) {
        vexa::detail::CopyPointRecord(this, source);
        return *this;
    }
    /// All three ordinate slots and the size, whatever the size says.
    CVEXACoordinatePoint& operator=(const CVEXACoordinatePoint& source);

    /// 1 when the sizes and the ordinates in use are equal, else 0.
    VEXA_INLINE_API unsigned char operator==(const PT_CoordinatePoint& other) const {
        return static_cast<unsigned char>(vexa::detail::EqualPointRecord(this, &other));
    }
    /// As the reference form; a null pointer gives 0.
    VEXA_INLINE_API unsigned char operator==(const PT_CoordinatePoint* other) const {
        return static_cast<unsigned char>(vexa::detail::EqualPointRecord(this, other));
    }
    /// The negation of operator==.
    VEXA_INLINE_API unsigned char operator!=(const PT_CoordinatePoint& other) const {
        return vexa::detail::EqualPointRecord(this, &other) ? 0 : 1;
    }
    /// The negation of operator==; a null pointer gives 1.
    VEXA_INLINE_API unsigned char operator!=(const PT_CoordinatePoint* other) const {
        return vexa::detail::EqualPointRecord(this, other) ? 0 : 1;
    }
    /// As the record form: an exact match, which C++20 takes rather than its reversed form.
    VEXA_INLINE_API unsigned char operator==(const CVEXACoordinatePoint& other) const {
        return static_cast<unsigned char>(vexa::detail::EqualPointRecord(this, &other));
    }
    /// The negation of operator==, as the record form.
    VEXA_INLINE_API unsigned char operator!=(const CVEXACoordinatePoint& other) const {
        return vexa::detail::EqualPointRecord(this, &other) ? 0 : 1;
    }

    /// record == point: the member form with the operands swapped. A friend found only beside a
    /// point operand, so that two records never compare through a converted copy.
    friend bool operator==(const PT_CoordinatePoint& record, const CVEXACoordinatePoint& point) {
        return (point == record) != 0;
    }
    /// record != point: the member form with the operands swapped.
    friend bool operator!=(const PT_CoordinatePoint& record, const CVEXACoordinatePoint& point) {
        return (point != record) != 0;
    }

    /// The ordinate slot at index (0 to 2, checked only by assert), in use or not.
    VEXA_INLINE_API double& operator[](long index) { return ord[index]; }
    /// The ordinate slot at index (0 to 2, checked only by assert), read-only.
    VEXA_INLINE_API const double& operator[](long index) const { return ord[index]; }
    /// As the long form. Every common index type has its own form, so that none is ambiguous with
    /// the built-in subscript of the record pointer (where ptrdiff_t is int) or with another form.
    VEXA_INLINE_API double& operator[](int index) { return ord[index]; }
    /// As the long form, read-only.
    VEXA_INLINE_API const double& operator[](int index) const { return ord[index]; }
    /// As the long form.
    VEXA_INLINE_API double& operator[](unsigned int index) { return ord[static_cast<long>(index)]; }
    /// As the long form, read-only.
    VEXA_INLINE_API const double& operator[](unsigned int index) const {
        return ord[static_cast<long>(index)];
    }
    /// As the long form.
    VEXA_INLINE_API double& operator[](unsigned long index) {
        return ord[static_cast<long>(index)];
    }
    /// As the long form, read-only.
    VEXA_INLINE_API const double& operator[](unsigned long index) const {
        return ord[static_cast<long>(index)];
    }
#if defined(__GNUC__)
#pragma GCC diagnostic push
// C++98 has no long long, but every compiler of the targets knows it.
#pragma GCC diagnostic ignored "-Wlong-long"
#endif
    /// As the long form: 64-bit Windows's size_t and ptrdiff_t, and int64_t on 32-bit targets.
    VEXA_INLINE_API double& operator[](long long index) { return ord[static_cast<long>(index)]; }
    /// As the long form, read-only.
    VEXA_INLINE_API const double& operator[](long long index) const {
        return ord[static_cast<long>(index)];
    }
    /// As the long form.
    VEXA_INLINE_API double& operator[](unsigned long long index) {
        return ord[static_cast<long>(index)];
    }
    /// As the long form, read-only.
    VEXA_INLINE_API const double& operator[](unsigned long long index) const {
        return ord[static_cast<long>(index)];
    }
#if defined(__GNUC__)
#pragma GCC diagnostic pop
#endif

    /// The number of ordinates in use.
    VEXA_INLINE_API long GetSize() const { return size; }
    /// Sets the size when it is 3 or less and returns 1; otherwise (also for a size that does not
    /// fit 32 bits) returns 0 and changes nothing. No ordinate is touched.
    unsigned char Resize(long newSize);

    /// The point's own record part.
    VEXA_INLINE_API operator PT_CoordinatePoint*() { return this; }
    /// The point's own record part, read-only.
    VEXA_INLINE_API operator const PT_CoordinatePoint*() const { return this; }
};

#if defined(__GNUC__)
#pragma GCC diagnostic pop
#endif

#endif
