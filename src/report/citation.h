// The three citation lines that head every report (after " THIS PROGRAM IMPLEMENTS METHODS
// DEVELOPED IN THE FOLLOWING PAPER:"); the desktop program's description text quotes the same
// lines. Each begins with one space and holds at most 100 characters.
#pragma once

#include <array>
#include <string_view>

namespace orvale {

inline constexpr std::array<std::string_view, 3> kCitationLines = {
    " Short-form Index scores, reliable and abnormal differences for an eight-subtest short form:",
    " estimation from subtest sums, confidence limits, sequential Bonferroni and Mahalanobis "
    "distance.",
    " See the program's documentation for the methods and normative constants used.",
};

}  // namespace orvale
