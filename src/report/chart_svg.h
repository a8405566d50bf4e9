// SPDX-License-Identifier: GPL-3.0-or-later
// The profile chart as a standalone SVG 1.1 picture: the chart's geometry (report/chart_geometry)
// written as shapes and text, with the design font named by its family and generic stand-ins.
// What orvale-score --format svg writes, and the desktop's Save Image... as SVG; a web page can
// show it as it is.
#pragma once

#include <string>

#include "engine/scoring.h"
#include "report/chart_geometry.h"

namespace orvale {

// The SVG document of geometry: width, height and viewBox of the geometry's size, numbers with
// at most three decimals and a point whatever the locale, texts escaped for XML.
std::string ChartSvg(const ChartGeometry& geometry);

// The SVG document of the chart of results (computed with options) at the design size, 700 x 500.
std::string ProfileChartSvg(const ScoringResults& results, const ScoringOptions& options);

}  // namespace orvale
