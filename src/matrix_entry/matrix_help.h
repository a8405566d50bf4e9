// SPDX-License-Identifier: GPL-3.0-or-later
// The texts of the worksheet's help panel on reading a correlation matrix from a file, shown by
// "Help with matrix..." in configurations that enable matrix entry.
#pragma once

#include <array>

namespace orvale {

inline constexpr const char* kHelpButtonCaption = "Help with matrix...";
inline constexpr const char* kCloseHelpCaption = "Close Help";
inline constexpr const char* kHelpPanelCaption =
    " Guidance in reading in a correlation matrix from an external file :  ";
// The filter of the panel's file-open dialog, which this program never opens.
inline constexpr const char* kMatrixFileFilter = "*.mtx;*.txt";

// memoHelp, line by line.
inline constexpr std::array<const char*, 9> kMatrixHelpLines = {
    "The file containing the correlation matrix must have either an .mtx extension (this is the ",
    "extension that KEVRO uses when saving matrix files, or a  .txt extension (files created by ",
    "Microsoft Notepad have this extension).",
    "",
    "The correlation matrix must be a lower diagonal matrix with ones (1.000) in the leading ",
    "diagonal, and with a space between entries (the zero before the decimal point can be "
    "omitted).",
    "",
    "There is the option to have a single title line preceding the matrix. If using this option ",
    "then it should take the form below:",
};

inline constexpr const char* kHelpTitleExample = "Title: This is a correlation matrix";  // Labelx
inline constexpr const char* kHelpExampleIntro =                                         // Label9
    "Below is an example of a file setup for a correlation matrix that has 4 variables:";

// Memo1, line by line.
inline constexpr std::array<const char*, 5> kMatrixExampleLines = {
    "Title: A sample matrix with four variables",
    "1.000",
    "0.234 1.000",
    "0.435 0.346 1.000",
    "0.664 0.564 0.389 1.000",
};

}  // namespace orvale
