// SPDX-License-Identifier: GPL-3.0-or-later
// Times as the program's files and documents write them: ISO 8601 with the offset from UTC, so
// that a time reads the same wherever the file is opened (Qt writes a local time without one).
#pragma once

#include <QDateTime>
#include <QString>

namespace orvale {

inline QString IsoTimeWithOffset(const QDateTime& time) {
    return time.toOffsetFromUtc(time.offsetFromUtc()).toString(Qt::ISODate);
}

}  // namespace orvale
