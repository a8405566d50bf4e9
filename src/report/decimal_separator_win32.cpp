// SPDX-License-Identifier: GPL-3.0-or-later
// The user's decimal separator on Windows: see decimal_separator.h. Windows keeps it in the
// user's regional settings rather than in the environment.
#include <windows.h>

#include "report/decimal_separator.h"

namespace orvale {

char UserDecimalSeparator() {
    wchar_t separator[8] = {};
    const int length = ::GetLocaleInfoEx(LOCALE_NAME_USER_DEFAULT, LOCALE_SDECIMAL, separator,
                                         static_cast<int>(sizeof separator / sizeof separator[0]));
    // A count of 2 is one character and its terminating zero; the report's lines hold ASCII.
    if (length == 2 && separator[0] > 0x20 && separator[0] < 0x7F) {
        return static_cast<char>(separator[0]);
    }
    return '.';
}

}  // namespace orvale
