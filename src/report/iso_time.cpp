// SPDX-License-Identifier: GPL-3.0-or-later
// ISO 8601 times: see iso_time.h.
#include "report/iso_time.h"

#include <cstdio>
#include <cstdlib>
#include <ctime>

namespace orvale {

std::string IsoTimeWithOffset(std::chrono::system_clock::time_point time) {
    const std::time_t seconds =
        std::chrono::system_clock::to_time_t(std::chrono::floor<std::chrono::seconds>(time));
    std::tm local{};
    localtime_r(&seconds, &local);
    char text[40];
    int length =
        std::snprintf(text, sizeof text, "%04d-%02d-%02dT%02d:%02d:%02d", local.tm_year + 1900,
                      local.tm_mon + 1, local.tm_mday, local.tm_hour, local.tm_min, local.tm_sec);
    const long offset = local.tm_gmtoff / 60;  // minutes east of UTC
    if (offset == 0) {
        std::snprintf(text + length, sizeof text - static_cast<std::size_t>(length), "Z");
    } else {
        std::snprintf(text + length, sizeof text - static_cast<std::size_t>(length),
                      "%c%02ld:%02ld", offset < 0 ? '-' : '+', std::labs(offset) / 60,
                      std::labs(offset) % 60);
    }
    return text;
}

}  // namespace orvale
