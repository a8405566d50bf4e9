// SPDX-License-Identifier: GPL-3.0-or-later
// The Index profile of one Compute painted onto any QPainter, so that the chart window, its PNG
// picture, the PDF and the OpenDocument image show the same drawing. The drawing itself is the
// core's (report/chart_geometry); this only paints it. Knows nothing of windows.
#pragma once

#include <QRectF>

#include "engine/scoring.h"
#include "report/chart_geometry.h"

class QPainter;

namespace orvale {

// The rectangle of bounds in which the Index axis runs (ChartPlotArea placed in bounds).
QRectF ProfileChartPlotArea(const QRectF& bounds);

// Paints the chart of results (computed with options) into bounds: ProfileChartGeometry at the
// size of bounds, its top left corner at theirs. The painter's state is restored afterwards.
void PaintProfileChart(QPainter& painter, const QRectF& bounds, const ScoringResults& results,
                       const ScoringOptions& options);

}  // namespace orvale
