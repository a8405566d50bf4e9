// SPDX-License-Identifier: GPL-3.0-or-later
// The three citation lines that head every report (after " THIS PROGRAM IMPLEMENTS METHODS
// DEVELOPED IN THE FOLLOWING PAPER:"); the desktop program's description text quotes the same
// lines. Each begins with one space and holds at most 100 characters.
#pragma once

#include <array>
#include <string_view>

namespace orvale {

inline constexpr std::array<std::string_view, 3> kCitationLines = {
    " ORVALE Development Team (2013). Index scores, reliable and abnormal differences and",
    " profile abnormality for an eight-subtest, Index-based short form of a children's "
    "intelligence",
    " battery. Technical note accompanying the ORVALE program, in press.",
};

}  // namespace orvale
