// SPDX-License-Identifier: GPL-3.0-or-later
// Printing plain text the way a line printer would, on the printer the platform hands out: the
// layout of documents/text_layout.h in "Courier New" at 8 points, measured with the printer's
// metrics.
#pragma once

#include <QString>
#include <optional>

#include "documents/text_layout.h"

class QPrinter;

namespace orvale {

// Prints text on printer in "Courier New" at 8 points, measured with the printer's metrics.
// The error message when the print job could not be started.
std::optional<QString> PrintOnTextDevice(QPrinter& printer, const QString& text);

}  // namespace orvale
