// SPDX-License-Identifier: GPL-3.0-or-later
// ISO 8601 times: see iso_time.h.
#include "report/iso_time.h"

#include <cstdio>
#include <cstdlib>
#include <ctime>

namespace orvale {

namespace {

// The local time of seconds and its offset from UTC in minutes east.
long LocalTime(std::time_t seconds, std::tm& local) {
#ifdef _WIN32
    // Windows' C library has no tm_gmtoff: the offset is how far the local clock reads ahead of
    // UTC at that moment, which takes summer time and past changes of the zone's rules in.
    localtime_s(&local, &seconds);
    namespace chrono = std::chrono;
    const chrono::sys_days date{chrono::year(local.tm_year + 1900) /
                                chrono::month(static_cast<unsigned>(local.tm_mon + 1)) /
                                chrono::day(static_cast<unsigned>(local.tm_mday))};
    const chrono::sys_seconds clock = date + chrono::hours(local.tm_hour) +
                                      chrono::minutes(local.tm_min) + chrono::seconds(local.tm_sec);
    const chrono::sys_seconds utc{chrono::seconds(seconds)};
    return static_cast<long>(chrono::duration_cast<chrono::minutes>(clock - utc).count());
#else
    localtime_r(&seconds, &local);
    return local.tm_gmtoff / 60;
#endif
}

}  // namespace

std::string IsoTimeWithOffset(std::chrono::system_clock::time_point time) {
    const std::time_t seconds =
        std::chrono::system_clock::to_time_t(std::chrono::floor<std::chrono::seconds>(time));
    std::tm local{};
    const long offset = LocalTime(seconds, local);  // minutes east of UTC
    char text[40];
    int length =
        std::snprintf(text, sizeof text, "%04d-%02d-%02dT%02d:%02d:%02d", local.tm_year + 1900,
                      local.tm_mon + 1, local.tm_mday, local.tm_hour, local.tm_min, local.tm_sec);
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
