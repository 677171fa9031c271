#include <vexa/envelope.h>

#include "record_helpers.h"

namespace {

using vexa::detail::AboveOrNaN;
using vexa::detail::BelowOrNaN;
using vexa::detail::CopySlot;
using vexa::detail::SwapSlots;

// The points are never corners of the box, so their slots stay as read while the corners are
// written. Slots move as bytes, so a NaN keeps its payload and its signalling bit.
void SpanDimension(PT_Envelope& box, const PT_CoordinatePoint& first,
                   const PT_CoordinatePoint& second, long dimension) {
    const double& a = first.ord[dimension];
    const double& b = second.ord[dimension];
    CopySlot(box.minCP.ord[dimension], BelowOrNaN(a, b) ? a : b);
    CopySlot(box.maxCP.ord[dimension], AboveOrNaN(a, b) ? a : b);
}

void OrderDimension(PT_Envelope& box, long dimension) {
    double& lower = box.minCP.ord[dimension];
    double& upper = box.maxCP.ord[dimension];
    if (AboveOrNaN(lower, upper)) SwapSlots(lower, upper);
}

// A dimension above 3 leaves the sizes alone: no size this class sets may exceed the capacity.
void EqualiseSizes(PT_Envelope& box, PT_Int32 dimension) {
    if (dimension > vexa::detail::kOrdinateCapacity) return;
    box.minCP.size = dimension;
    box.maxCP.size = dimension;
}

}  // namespace

CVEXAEnvelope::CVEXAEnvelope() {}

CVEXAEnvelope::CVEXAEnvelope(const PT_Envelope& source) {
    vexa::detail::CopyEnvelopeRecord(this, &source);
}

CVEXAEnvelope::CVEXAEnvelope(const PT_Envelope* source) {
    vexa::detail::CopyEnvelopeRecord(this, source);
}

CVEXAEnvelope::CVEXAEnvelope(const CVEXACoordinatePoint& first,
                             const CVEXACoordinatePoint& second) {
    Set(first, second);
}

CVEXAEnvelope::CVEXAEnvelope(const CVEXAEnvelope& source) : PT_Envelope(source) {}

CVEXAEnvelope::~CVEXAEnvelope() {}

const CVEXAEnvelope& CVEXAEnvelope::operator=(const PT_Envelope& source) {
    vexa::detail::CopyEnvelopeRecord(this, &source);
    return *this;
}

const CVEXAEnvelope& CVEXAEnvelope::operator=(const PT_Envelope* source) {
    vexa::detail::CopyEnvelopeRecord(this, source);
    return *this;
}

CVEXAEnvelope& CVEXAEnvelope::operator=(const CVEXAEnvelope& source) {
    minCP = source.minCP;
    maxCP = source.maxCP;
    return *this;
}

void CVEXAEnvelope::Set(const CVEXACoordinatePoint& first, const CVEXACoordinatePoint& second) {
    const PT_Int32 n = vexa::detail::SmallerCount(first.size, second.size);
    EqualiseSizes(*this, n);
    if (n > 0) SpanDimension(*this, first, second, 0);
    if (n > 1) SpanDimension(*this, first, second, 1);
    if (n > 2) SpanDimension(*this, first, second, 2);
}

void CVEXAEnvelope::NormalizeEnveloppe() {
    const PT_Int32 n = vexa::detail::SmallerCount(minCP.size, maxCP.size);
    EqualiseSizes(*this, n);
    if (n > 0) OrderDimension(*this, 0);
    if (n > 1) OrderDimension(*this, 1);
    if (n > 2) OrderDimension(*this, 2);
}
