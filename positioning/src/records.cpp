// This unit defines the plain functions; the header's inline copies are for their callers.
#define VEXA_DEFINING_PLAIN_FUNCTIONS
#include <vexa/records.h>

extern "C" {

int CopyCoordinatePoint(PT_CoordinatePoint* destination, const PT_CoordinatePoint* source) {
    return vexa::detail::CopyPointRecord(destination, source);
}

int EqualCoordinatePoint(const PT_CoordinatePoint* first, const PT_CoordinatePoint* second) {
    return vexa::detail::EqualPointRecord(first, second);
}

int CopyEnvelope(PT_Envelope* destination, const PT_Envelope* source) {
    return vexa::detail::CopyEnvelopeRecord(destination, source);
}

int EqualEnvelope(const PT_Envelope* first, const PT_Envelope* second) {
    return vexa::detail::EqualEnvelopeRecord(first, second);
}
}
