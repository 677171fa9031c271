// The matrix comparisons kept for programs built against the 1.0 and 1.1 headers. Only the shared
// library has them: a static library or sources compiled into a program serve no older program.
#include <vexa/matrix.h>

namespace {

// Every kept member is the public comparison of the matrix with the other's record part.
unsigned char Equal(const CVEXAMatrix& matrix, const PT_Matrix* other) { return matrix == other; }

}  // namespace

unsigned char CVEXAMatrix::operator==(const PT_Matrix& other) { return Equal(*this, &other); }

unsigned char CVEXAMatrix::operator==(const PT_Matrix* other) { return Equal(*this, other); }

unsigned char CVEXAMatrix::operator!=(const PT_Matrix& other) {
    return Equal(*this, &other) ? 0 : 1;
}

unsigned char CVEXAMatrix::operator!=(const PT_Matrix* other) {
    return Equal(*this, other) ? 0 : 1;
}

unsigned char CVEXAMatrix::operator==(CVEXAMatrix& other) { return Equal(*this, &other); }

unsigned char CVEXAMatrix::operator==(const CVEXAMatrix& other) { return Equal(*this, &other); }

unsigned char CVEXAMatrix::operator==(CVEXAMatrix& other) const { return Equal(*this, &other); }

unsigned char CVEXAMatrix::operator!=(CVEXAMatrix& other) { return Equal(*this, &other) ? 0 : 1; }

unsigned char CVEXAMatrix::operator!=(const CVEXAMatrix& other) {
    return Equal(*this, &other) ? 0 : 1;
}

unsigned char CVEXAMatrix::operator!=(CVEXAMatrix& other) const {
    return Equal(*this, &other) ? 0 : 1;
}
