// SPDX-License-Identifier: GPL-3.0-or-later
// The worksheet's own texts, which every front end shows alike: the description above the
// fields and the captions and items of the five option groups, in their designed order. The
// score fields' captions are the engine's kSubtestCaptions.
#pragma once

#include <array>
#include <string>
#include <string_view>
#include <vector>

namespace orvale {

inline constexpr const char* kNotesCaption = "User's Notes:";

// One group of options: its caption and its items, the first one selected at start.
struct OptionGroupText {
    const char* name;  // the control's name: "RadioGroup2"
    const char* caption;
    std::vector<const char*> items;
    // What a screen reader adds where the caption alone does not tell (two groups share one
    // caption); empty otherwise.
    const char* description;
};

// The option groups in the worksheet's order, left to right and top to bottom: confidence
// limits (the ScoringOptions' confidenceMethod as item index), differences (item 1: between
// estimated true scores), GAI (item 0: Yes), Bonferroni (item 1: apply) and the abnormality
// cut-off (cutoffIndex 1 to 3 as items 0 to 2).
const std::array<OptionGroupText, 5>& OptionGroupTexts();

// The description: the note this program accompanies (the report's citation lines as one running
// text), the short form it modifies, and what the program does.
std::string WorksheetDescription();

}  // namespace orvale
