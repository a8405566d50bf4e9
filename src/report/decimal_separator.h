// SPDX-License-Identifier: GPL-3.0-or-later
// The decimal separator of the user's regional settings, which the report's numbers follow.
// Read the same way by the desktop program and orvale-score, so both print the same report.
#pragma once

namespace orvale {

// On Windows, the decimal separator of the user's regional settings when it is one ASCII
// character. Elsewhere, the user's LC_NUMERIC decimal separator (from LC_ALL, LC_NUMERIC or
// LANG, as the C library resolves them) when it is a single byte. A full stop otherwise: the C
// locale, a locale the system does not have, or a separator the report's 8-bit lines cannot
// hold. The process's own locale is never changed, so that reading numbers from files stays
// locale-free.
char UserDecimalSeparator();

}  // namespace orvale
