// SPDX-License-Identifier: GPL-3.0-or-later
// Times as files and documents write them: the local time of a zone east, west and on UTC, with
// the offset as ISO 8601 writes it. The zones are POSIX rules, so no zone database is needed.
#include "report/iso_time.h"

#include <gtest/gtest.h>

#include "report/time_zone.h"

namespace orvale {
namespace {

TEST(IsoTime, LocalTimeWithItsOffset) {
#ifdef __EMSCRIPTEN__
    GTEST_SKIP() << "WebAssembly takes its time zone from the host, never from TZ";
#endif
    const testing::ZoneSet zone("UTC0");
    // 2025-03-04 09:15:00 UTC and 2024-12-31 23:59:59 UTC.
    const auto march = std::chrono::system_clock::from_time_t(1741079700);
    const auto newYear = std::chrono::system_clock::from_time_t(1735689599);
    const struct {
        const char* zone;
        std::chrono::system_clock::time_point time;
        const char* written;
    } rows[] = {
        {"UTC0", march, "2025-03-04T09:15:00Z"},
        {"CET-1", march, "2025-03-04T10:15:00+01:00"},
        {"NPT-5:45", march, "2025-03-04T15:00:00+05:45"},
        {"NST+3:30", march, "2025-03-04T05:45:00-03:30"},
        {"CET-1", newYear, "2025-01-01T00:59:59+01:00"},
        {"HST+10", newYear, "2024-12-31T13:59:59-10:00"},
    };
    for (const auto& row : rows) {
        testing::ZoneSet::Set(row.zone);
        EXPECT_EQ(IsoTimeWithOffset(row.time), row.written) << row.zone;
    }
}

}  // namespace
}  // namespace orvale
