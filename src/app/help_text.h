// SPDX-License-Identifier: GPL-3.0-or-later
// The Help menu's "How to use": the README's section as the program shows it. The About text is
// the core's AboutText (report/program_info.h), shared with the results viewer.
#pragma once

#include <QString>

namespace orvale {

// The "How to use" section of the README (Markdown), built into the program.
QString HowToUseText();

}  // namespace orvale
