// SPDX-License-Identifier: GPL-3.0-or-later
// The process's time zone set for a test, as a POSIX rule ("CET-1", "NPT-5:45"), which needs no
// zone database and which the C libraries of Linux and Windows both read from TZ.
#pragma once

#include <cstdlib>
#include <ctime>
#include <optional>
#include <string>

namespace orvale::testing {

class ZoneSet {
  public:
    explicit ZoneSet(const char* zone) {
        if (const char* old = std::getenv("TZ")) old_ = old;
        Set(zone);
    }
    ~ZoneSet() { Set(old_ ? old_->c_str() : nullptr); }
    ZoneSet(const ZoneSet&) = delete;
    ZoneSet& operator=(const ZoneSet&) = delete;

    // Another zone while this one is set; the destructor restores the zone before the first.
    static void Set(const char* zone) {
#ifdef _WIN32
        _putenv_s("TZ", zone ? zone : "");
        _tzset();
#else
        if (zone) {
            setenv("TZ", zone, 1);
        } else {
            unsetenv("TZ");
        }
        tzset();
#endif
    }

  private:
    std::optional<std::string> old_;
};

}  // namespace orvale::testing
