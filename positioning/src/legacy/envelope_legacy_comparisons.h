// Included inside CVEXAEnvelope where VEXA_LEGACY_COMPARISONS is defined: by the shared
// library's own units, which export these members, and by their test. Not installed; 2.0 removes
// them.
    // The comparisons of the 1.0 and 1.1 headers beyond the six public ones, each the same
    // comparison, still exported for programs built against those headers.
    VEXA_INLINE_API unsigned char operator==(const PT_Envelope& other) {
        return static_cast<unsigned char>(vexa::detail::EqualEnvelopeRecord(this, &other));
    }
    VEXA_INLINE_API unsigned char operator==(const PT_Envelope* other) {
        return static_cast<unsigned char>(vexa::detail::EqualEnvelopeRecord(this, other));
    }
    VEXA_INLINE_API unsigned char operator!=(const PT_Envelope& other) {
        return vexa::detail::EqualEnvelopeRecord(this, &other) ? 0 : 1;
    }
    VEXA_INLINE_API unsigned char operator!=(const PT_Envelope* other) {
        return vexa::detail::EqualEnvelopeRecord(this, other) ? 0 : 1;
    }
    VEXA_INLINE_API unsigned char operator==(CVEXAEnvelope& other) {
        return static_cast<unsigned char>(vexa::detail::EqualEnvelopeRecord(this, &other));
    }
    VEXA_INLINE_API unsigned char operator==(const CVEXAEnvelope& other) {
        return static_cast<unsigned char>(vexa::detail::EqualEnvelopeRecord(this, &other));
    }
    VEXA_INLINE_API unsigned char operator==(CVEXAEnvelope& other) const {
        return static_cast<unsigned char>(vexa::detail::EqualEnvelopeRecord(this, &other));
    }
    VEXA_INLINE_API unsigned char operator!=(CVEXAEnvelope& other) {
        return vexa::detail::EqualEnvelopeRecord(this, &other) ? 0 : 1;
    }
    VEXA_INLINE_API unsigned char operator!=(const CVEXAEnvelope& other) {
        return vexa::detail::EqualEnvelopeRecord(this, &other) ? 0 : 1;
    }
    VEXA_INLINE_API unsigned char operator!=(CVEXAEnvelope& other) const {
        return vexa::detail::EqualEnvelopeRecord(this, &other) ? 0 : 1;
    }
#if __cplusplus >= 201103L || (defined(_MSVC_LANG) && _MSVC_LANG >= 201103L)
    VEXA_INLINE_API unsigned char operator==(CVEXAEnvelope&& other) {
        return static_cast<unsigned char>(vexa::detail::EqualEnvelopeRecord(this, &other));
    }
    VEXA_INLINE_API unsigned char operator==(CVEXAEnvelope&& other) const {
        return static_cast<unsigned char>(vexa::detail::EqualEnvelopeRecord(this, &other));
    }
    VEXA_INLINE_API unsigned char operator!=(CVEXAEnvelope&& other) {
        return vexa::detail::EqualEnvelopeRecord(this, &other) ? 0 : 1;
    }
    VEXA_INLINE_API unsigned char operator!=(CVEXAEnvelope&& other) const {
        return vexa::detail::EqualEnvelopeRecord(this, &other) ? 0 : 1;
    }
#endif
