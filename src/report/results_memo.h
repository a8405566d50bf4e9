// SPDX-License-Identifier: GPL-3.0-or-later
// The results memo's text, which collects the reports of every Compute: what one Compute appends
// to it, and the bytes Save Output writes of it. The text is UTF-8 with '\n' line breaks, as an
// editable text box holds it; the user may have changed it anywhere.
#pragma once

#include <string>
#include <string_view>

#include "report/compose.h"

namespace orvale {

// The text one Compute appends to a memo holding memoText: the report with every line ended by
// a line break, after the separator of two dashed lines when the memo holds text, and after one
// line break more when the user left the memo's last line without one.
std::string ReportToAppend(std::string_view memoText, const ReportInput& input);

// The memo's text as "results.txt" holds it: every line ended by CR LF, the last one included;
// nothing for an empty memo.
std::string ResultsFileText(std::string_view memoText);

}  // namespace orvale
