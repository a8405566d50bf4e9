// SPDX-License-Identifier: GPL-3.0-or-later
// The Index profile of one Compute as a picture: the four Indexes, the FSIQ and the GAI on the
// Index metric with their confidence limits, painted onto any QPainter so that the chart window,
// the PDF and the OpenDocument image show the same drawing. Knows nothing of windows.
#pragma once

#include <QRectF>

#include "engine/scoring.h"

class QPainter;

namespace orvale {

// Range of the chart's Index axis; gridlines every kChartGridStep. A score or limit beyond it is
// drawn as an arrowhead at the edge it lies beyond, with the true score printed beside it.
inline constexpr double kChartMinimum = 40.0;
inline constexpr double kChartMaximum = 160.0;
inline constexpr double kChartGridStep = 10.0;

// The rectangle of bounds in which the Index axis runs: kChartMinimum on its bottom edge,
// kChartMaximum on its top edge, the score columns side by side between its left and right
// edges. The axis labels, the caption and the legend lie outside it.
QRectF ProfileChartPlotArea(const QRectF& bounds);

// Paints the chart of results (computed with options) into bounds: white background, the band
// of mean +- 1 SD shaded, lines at 70 and 130, a percentile axis on the right, a marker per
// score (circle for an Index, square for the FSIQ, diamond for the GAI) on a bar from its lower
// to its upper limit with the rounded score beside it, the abnormally low Indexes hatched, the
// method's caption above and a legend below. The GAI is left out when options do not calculate
// it. The painter's state is restored afterwards.
void PaintProfileChart(QPainter& painter, const QRectF& bounds, const ScoringResults& results,
                       const ScoringOptions& options);

}  // namespace orvale
