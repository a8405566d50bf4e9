// SPDX-License-Identifier: GPL-3.0-or-later
// Squared Mahalanobis distance of a profile from the population means, referred to the
// chi-square distribution with as many degrees of freedom as variables.
#pragma once

#include "numeric/matrix_handling.h"

namespace orvale {

// distance = z' R^-1 z with z the standardised scores; p = upper-tail chi-square probability of
// distance with n degrees of freedom. Throws ESingularMatrix when R cannot be inverted.
void MahalanobisDistance(int n, tVector scores, tVector means, tVector sds, tMatrix r,
                         Extended& distance, Extended& p);

}  // namespace orvale
