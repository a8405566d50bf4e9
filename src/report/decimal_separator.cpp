// SPDX-License-Identifier: GPL-3.0-or-later
// The user's decimal separator: see decimal_separator.h.
#include "report/decimal_separator.h"

#include <clocale>
#include <cstring>
#include <string>

namespace orvale {

char UserDecimalSeparator() {
    const char* current = std::setlocale(LC_NUMERIC, nullptr);
    const std::string previous = current != nullptr ? current : "C";
    char separator = '.';
    if (std::setlocale(LC_NUMERIC, "") != nullptr) {
        const std::lconv* conventions = std::localeconv();
        if (conventions != nullptr && conventions->decimal_point != nullptr &&
            std::strlen(conventions->decimal_point) == 1) {
            separator = conventions->decimal_point[0];
        }
    }
    std::setlocale(LC_NUMERIC, previous.c_str());
    return separator;
}

}  // namespace orvale
