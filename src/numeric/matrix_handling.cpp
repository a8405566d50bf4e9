// SPDX-License-Identifier: GPL-3.0-or-later
// Clearing, Gauss-Jordan inversion and quadratic forms on fixed-capacity extended matrices.
// All arithmetic is in 80-bit extended (numeric/extended.h); the summation orders are fixed so that
// the Mahalanobis distance comes out the same on every run.
#include "numeric/matrix_handling.h"

#include <string>
#include <utility>

namespace orvale {

namespace {

// A pivot smaller than this in magnitude counts as zero: the block is singular or so nearly
// singular that its inverse would be meaningless.
constexpr Extended kPivotTolerance = ExtendedConstant(1e-10L, 0x3FDD, 0xDBE6'FECE'BDED'D5BFULL);

}  // namespace

void CheckMatrixOrder(int n) {
    if (n < 0 || n > kMatrixCapacity) {
        throw std::out_of_range("Matrix order " + std::to_string(n) + " is outside 0 to " +
                                std::to_string(kMatrixCapacity));
    }
}

void ZeroMatrix(tMatrix& m) {
    for (auto& row : m.cells) {
        for (auto& cell : row) cell = 0.0;
    }
}

void InvertMatrix(tMatrix a, int n, tMatrix& b) {
    CheckMatrixOrder(n);
    ZeroMatrix(b);
    for (int i = 1; i <= n; ++i) b(i, i) = 1.0;

    for (int k = 1; k <= n; ++k) {
        // First usable pivot at or below the diagonal; no search for the largest entry.
        int r = k;
        while (Fabs(a(r, k)) < kPivotTolerance) {
            if (r == n) {
                throw ESingularMatrix("The matrix is singular or nearly singular: column " +
                                      std::to_string(k) + " has no usable pivot");
            }
            ++r;
        }
        for (int j = 1; j <= n; ++j) {
            std::swap(a(r, j), a(k, j));
            std::swap(b(r, j), b(k, j));
        }
        const Extended pivotReciprocal = 1.0 / a(k, k);
        for (int j = 1; j <= n; ++j) {
            a(k, j) = a(k, j) * pivotReciprocal;
            b(k, j) = b(k, j) * pivotReciprocal;
        }
        for (int i = 1; i <= n; ++i) {
            if (i == k) continue;
            const Extended factor = -a(i, k);  // read once, before row i changes
            for (int j = 1; j <= n; ++j) {
                a(i, j) = factor * a(k, j) + a(i, j);
                b(i, j) = factor * b(k, j) + b(i, j);
            }
        }
    }
}

void QuadraticForm(tMatrix m, int n, tVector v, Extended& result) {
    CheckMatrixOrder(n);
    // w = v' M first (column sums), then w . v: this order fixes the rounding.
    tVector w;
    for (int i = 1; i <= n; ++i) {
        for (int k = 1; k <= n; ++k) w(i) = v(k) * m(k, i) + w(i);
    }
    result = 0.0;
    for (int i = 1; i <= n; ++i) result = w(i) * v(i) + result;
}

}  // namespace orvale
