// SPDX-License-Identifier: GPL-3.0-or-later
// The user's decimal separator: see decimal_separator.h.
#include "report/decimal_separator.h"

#include <cstring>

#if defined(__unix__) || defined(__APPLE__)
#include <langinfo.h>
#include <locale.h>
#endif

namespace orvale {

char UserDecimalSeparator() {
    char separator = '.';
#if defined(__unix__) || defined(__APPLE__)
    // A locale object of its own, so that no other thread sees the process's locale change (a
    // batch may be writing numbers while the worksheet computes).
    const locale_t user = ::newlocale(LC_NUMERIC_MASK, "", static_cast<locale_t>(0));
    if (user == static_cast<locale_t>(0)) return separator;
    const char* radix = ::nl_langinfo_l(RADIXCHAR, user);
    if (radix != nullptr && std::strlen(radix) == 1) separator = radix[0];
    ::freelocale(user);
#endif
    return separator;
}

}  // namespace orvale
