// SPDX-License-Identifier: GPL-3.0-or-later
// The exponential and the natural logarithm in 80-bit extended precision, built from addition,
// multiplication, division and comparisons alone, so that the same code gives the same bits with
// the x87 long double and with the software type of the same format (numeric/extended.h).
#pragma once

#include "numeric/extended.h"

namespace orvale {

// e^x, correctly rounded to the 64-bit significand for all but a few arguments in a million and
// always within one unit in the last place. A 128-entry table of 2^(j/128) in 128 bits, a degree-8
// polynomial, and a compensated final sum. Overflow gives +inf, underflow rounds once to a
// subnormal or zero, NaN stays NaN, e^-inf = 0 and e^0 = 1.
Extended ExtendedExp(Extended x);

// ln x with the same accuracy: x = 2^e f, f in [0.75, 1.5], f times a short inverse of one of 97
// table cells is 1 + r exactly, and ln(1 + r) is a degree-10 series summed with its two leading
// terms in double length. ln 1 = +0, ln 0 = -inf, ln of a negative number is NaN, ln +inf = +inf.
Extended ExtendedLog(Extended x);

}  // namespace orvale
