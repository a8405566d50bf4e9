// SPDX-License-Identifier: GPL-3.0-or-later
// The fonts the windows are designed around. They live with the documents (documents/fonts.h)
// because the exported documents print in the same fixed-pitch font as the printer; the windows
// include them from here, their own layer, and make them follow the user's font size.
#pragma once

#include "documents/fonts.h"

namespace orvale {

// How many times larger than the design's reference (9 points at 96 dots per inch, 12 pixels,
// the usual desktop default) the application font is; never below 1, so a small system font
// never shrinks the design.
double UserFontScale();

// designFont (sized in pixels) enlarged by UserFontScale(), for the windows' controls: a user
// who chose a larger system font, or a higher font DPI, gets larger captions and memos.
QFont FollowUserFont(QFont designFont);

}  // namespace orvale
