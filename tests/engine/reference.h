// SPDX-License-Identifier: GPL-3.0-or-later
// Independent reference values for the engine tests: the normal distribution from the C library's
// complementary error function, the chi-square(4) upper tail in closed form, and the squared
// Mahalanobis distance by plain Gaussian elimination in long double.
#pragma once

#include <cmath>
#include <vector>

namespace orvale::testing {

// Phi(x) = erfc(-x / sqrt 2) / 2.
inline double ReferencePhi(double x) {
    return 0.5 * std::erfc(-x / std::sqrt(2.0));
}

// Percentile rank of an index-metric value.
inline double ReferencePercentile(double x) {
    return 100.0 * ReferencePhi((x - 100.0) / 15.0);
}

// Upper tail of chi-square with 4 degrees of freedom: Q(2, x / 2) = e^(-x/2) (1 + x/2).
inline long double ReferenceChiSquare4Tail(long double x) {
    return std::exp(-x / 2) * (1 + x / 2);
}

// z' R^-1 z for the standardised scores (score - 100) / 15, solving R y = z by elimination.
inline long double ReferenceMahalanobis(const std::vector<double>& scores,
                                        const std::vector<std::vector<long double>>& r) {
    const std::size_t n = scores.size();
    std::vector<std::vector<long double>> a(n, std::vector<long double>(n + 1));
    std::vector<long double> z(n);
    for (std::size_t i = 0; i < n; ++i) {
        z[i] = (static_cast<long double>(scores[i]) - 100) / 15;
        for (std::size_t j = 0; j < n; ++j) a[i][j] = r[i][j];
        a[i][n] = z[i];
    }
    for (std::size_t k = 0; k < n; ++k) {
        for (std::size_t i = k + 1; i < n; ++i) {
            const long double f = a[i][k] / a[k][k];
            for (std::size_t j = k; j <= n; ++j) a[i][j] -= f * a[k][j];
        }
    }
    std::vector<long double> y(n);
    for (std::size_t i = n; i-- > 0;) {
        long double s = a[i][n];
        for (std::size_t j = i + 1; j < n; ++j) s -= a[i][j] * y[j];
        y[i] = s / a[i][i];
    }
    long double q = 0;
    for (std::size_t i = 0; i < n; ++i) q += z[i] * y[i];
    return q;
}

}  // namespace orvale::testing
