// Included inside CVEXAMatrix where VEXA_LEGACY_COMPARISONS is defined: by the shared
// library's own units, which export these members, and by their test. Not installed; 2.0 removes
// them.
    // The comparisons of the 1.0 and 1.1 headers beyond the six public ones, each the same
    // comparison, still exported for programs built against those headers.
    unsigned char operator==(const PT_Matrix& other);
    unsigned char operator==(const PT_Matrix* other);
    unsigned char operator!=(const PT_Matrix& other);
    unsigned char operator!=(const PT_Matrix* other);
    unsigned char operator==(CVEXAMatrix& other);
    unsigned char operator==(const CVEXAMatrix& other);
    unsigned char operator==(CVEXAMatrix& other) const;
    unsigned char operator!=(CVEXAMatrix& other);
    unsigned char operator!=(const CVEXAMatrix& other);
    unsigned char operator!=(CVEXAMatrix& other) const;
#if __cplusplus >= 201103L || (defined(_MSVC_LANG) && _MSVC_LANG >= 201103L)
    VEXA_INLINE_API unsigned char operator==(CVEXAMatrix&& other) {
        return *this == static_cast<const PT_Matrix&>(other);
    }
    VEXA_INLINE_API unsigned char operator==(CVEXAMatrix&& other) const {
        return *this == static_cast<const PT_Matrix&>(other);
    }
    VEXA_INLINE_API unsigned char operator!=(CVEXAMatrix&& other) {
        return *this != static_cast<const PT_Matrix&>(other);
    }
    VEXA_INLINE_API unsigned char operator!=(CVEXAMatrix&& other) const {
        return *this != static_cast<const PT_Matrix&>(other);
    }
#endif
