// SPDX-License-Identifier: GPL-3.0-or-later
// The fonts the program is designed around, with metric-compatible stand-ins for systems that
// lack them. The fixed-pitch font uses whole-pixel advances so that a 103-character report line
// fits the results memo as the layout intends; printing and the exported documents use it too.
#pragma once

#include <QFont>

namespace orvale {

// Size of the fixed-pitch font on paper: printing and the PDF export.
inline constexpr int kPrintPointSize = 8;

// A proportional design font ("System", "MS Sans Serif") at pixelSize.
QFont DesignFont(const QString& family, int pixelSize, bool bold = false);

// "Courier New" at pixelSize.
QFont FixedPitchFont(int pixelSize);

// "Courier New" at pointSize, for printing.
QFont FixedPitchPrintFont(int pointSize);

}  // namespace orvale
