// SPDX-License-Identifier: GPL-3.0-or-later
// Fixed-capacity square matrices of extended values (indices 1 to 20) and the three routines the
// Mahalanobis distance needs: clearing, Gauss-Jordan inversion and the quadratic form.
#pragma once

#include <stdexcept>

#include "numeric/extended.h"

namespace orvale {

inline constexpr int kMatrixCapacity = 20;

// 20 x 20 extended values, stored row by row; element (i, j) with 1 <= i, j <= 20.
struct tMatrix {
    Extended cells[kMatrixCapacity][kMatrixCapacity] = {};
    Extended& operator()(int row, int column) { return cells[row - 1][column - 1]; }
    Extended operator()(int row, int column) const { return cells[row - 1][column - 1]; }
};

// 20 extended values; element i with 1 <= i <= 20.
struct tVector {
    Extended cells[kMatrixCapacity] = {};
    Extended& operator()(int i) { return cells[i - 1]; }
    Extended operator()(int i) const { return cells[i - 1]; }
};

// Raised by InvertMatrix when the leading block has no usable pivot in some column.
class ESingularMatrix : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// Throws std::out_of_range unless 0 <= n <= kMatrixCapacity: a larger order would run past the
// fixed storage.
void CheckMatrixOrder(int n);

void ZeroMatrix(tMatrix& m);
// B receives the inverse of the leading n x n block of A (the rest of B zero).
// Throws ESingularMatrix when the block is singular or nearly so.
void InvertMatrix(tMatrix a, int n, tMatrix& b);
// result = v' M v over the first n entries.
void QuadraticForm(tMatrix m, int n, tVector v, Extended& result);

}  // namespace orvale
