// SPDX-License-Identifier: GPL-3.0-or-later
// Squared Mahalanobis distance of a profile and its upper-tail chi-square probability.
#include "numeric/mahalanobis.h"

#include "numeric/distrib.h"

namespace orvale {

void MahalanobisDistance(int n, tVector scores, tVector means, tVector sds, tMatrix r,
                         Extended& distance, Extended& p) {
    // Created first, so that an order of 0 is rejected by the distribution's parameter check.
    const tChi_square_distribution chiSquare(static_cast<Extended>(n));
    CheckMatrixOrder(n);

    tVector z;
    for (int i = 1; i <= n; ++i) {
        // A zero, negative or NaN standard deviation would give an infinite or NaN distance.
        RaiseIf(!(sds(i) > 0.0), argument_error::kStandardDeviationNotPositive);
        z(i) = (scores(i) - means(i)) / sds(i);
    }
    tMatrix inverse;
    InvertMatrix(r, n, inverse);  // ESingularMatrix propagates to the caller
    QuadraticForm(inverse, n, z, distance);
    p = 1.0 - chiSquare.Cdf(distance);
}

}  // namespace orvale
