// SPDX-License-Identifier: GPL-3.0-or-later
// The Index profile of one Compute as a drawing: every line, mark and text of the chart, in the
// order they are painted, at the coordinates of a given width and height. The renderers only
// translate it: QPainter for the window, the pictures and the documents (documents/profile_chart),
// SVG text for orvale-score and the web page (report/chart_svg). Nothing here needs a font
// library: the one text width the layout needs comes from the design font's tabled advances.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <variant>
#include <vector>

#include "engine/scoring.h"

namespace orvale {

// Range of the chart's Index axis; gridlines every kChartGridStep. A score or limit beyond it is
// drawn as an arrowhead at the edge it lies beyond, with the true score printed beside it.
inline constexpr double kChartMinimum = 40.0;
inline constexpr double kChartMaximum = 160.0;
inline constexpr double kChartGridStep = 10.0;

// The drawing is designed on a grid of 700 x 500 units and scaled to the size it is given; an SVG
// picture has this size.
inline constexpr double kChartDesignWidth = 700.0;
inline constexpr double kChartDesignHeight = 500.0;

// The design font (Arial, or its metric twins Liberation Sans and Arimo) and, for an SVG reader
// that has none of them, the closest stand-ins.
inline constexpr const char* kChartFontFamily = "Arial";
inline constexpr const char* kChartFontFamilies =
    "Arial, Liberation Sans, Arimo, Helvetica, sans-serif";

struct ChartPoint {
    double x = 0;
    double y = 0;
};

// A rectangle as Qt keeps one: its left and top edges, then its width and height.
struct ChartBox {
    double x = 0;
    double y = 0;
    double width = 0;
    double height = 0;
    double right() const { return x + width; }
    double bottom() const { return y + height; }
    ChartPoint centre() const { return {x + width / 2, y + height / 2}; }
};

struct ChartColour {
    unsigned char red = 0;
    unsigned char green = 0;
    unsigned char blue = 0;
};

inline constexpr ChartColour kChartInk{0, 0, 0};
inline constexpr ChartColour kChartPaper{255, 255, 255};
inline constexpr ChartColour kChartGrid{160, 160, 160};
inline constexpr ChartColour kChartBand{232, 232, 232};
inline constexpr ChartColour kChartReferenceLine{120, 120, 120};  // between the grid and the ink
inline constexpr ChartColour kChartHatch{200, 70, 60};  // mid grey on a black-and-white print

// A straight stroke of width with flat ends. A dashed one is dashes of 4 widths and gaps of 2,
// starting with a dash at from.
struct ChartLine {
    ChartPoint from;
    ChartPoint to;
    ChartColour colour;
    double width = 1;
    bool dashed = false;
};

// A rectangle filled, outlined, or both; the outline is centred on the edges.
struct ChartRect {
    ChartBox box;
    std::optional<ChartColour> fill;
    std::optional<ChartColour> outline;
    double outlineWidth = 1;
};

// A score's mark, filled with ink: a circle of the radius, a square of half-side radius, or a
// diamond with its corners 1.3 radius from the centre.
enum class ChartMarkerShape { Circle, Square, Diamond };
struct ChartMarker {
    ChartMarkerShape shape = ChartMarkerShape::Circle;
    ChartPoint centre;
    double radius = 0;
};

// A filled ink triangle pointing up (direction -1) or down (+1) with its tip at tip, its base
// length away and 2 x halfWidth wide.
struct ChartArrowhead {
    ChartPoint tip;
    int direction = -1;
    double halfWidth = 0;
    double length = 0;
};

// Lines rising at 45 degrees from the bottom edge of box to the right, spacing apart, of width
// with square ends, shown only inside box.
struct ChartHatch {
    ChartBox box;
    double spacing = 1;
    double width = 1;
    ChartColour colour;
};

// One line of text in ink, in the design font at a whole pixel size: centred vertically in box
// on the font's ascent and descent, and to its left, centre or right. box lies in the frame
// that is turned rotation degrees (clockwise on the page, -90 reads upwards) about origin and
// has origin at its (0, 0).
enum class ChartAlign { Left, Centre, Right };
struct ChartText {
    std::string text;  // UTF-8
    ChartBox box;
    ChartAlign align = ChartAlign::Left;
    int size = 11;
    ChartPoint origin;
    double rotation = 0;
};

// What an item shows, for a renderer or reader that treats the parts differently.
enum class ChartPart {
    Background,
    Caption,
    Band,            // mean +- 1 SD
    Hatching,        // an abnormally low Index's column
    Gridline,        // every kChartGridStep; the lines at 70 and 130 are dashed
    AxisLabel,       // the Index value of a gridline
    Axis,            // the left and right edges of the plot
    AxisTitle,       // "Index score", "Percentile rank"
    PercentileTick,  // on the right edge
    PercentileLabel,
    Bar,        // from the lower to the upper confidence limit
    BarEnd,     // the cap at a limit on the scale
    Arrowhead,  // a limit or score beyond the scale
    Marker,
    ScoreLabel,  // the rounded score beside its bar
    ScoreName,   // the abbreviation under the column
    Legend,      // a legend sample or its text
};

using ChartShape =
    std::variant<ChartLine, ChartRect, ChartMarker, ChartArrowhead, ChartHatch, ChartText>;

struct ChartItem {
    ChartPart part;
    ChartShape shape;
};

struct ChartGeometry {
    double width = 0;
    double height = 0;
    ChartBox plot;                 // see ChartPlotArea
    std::vector<ChartItem> items;  // in painting order, the first one the white background
};

// The rectangle in which the Index axis runs in a chart of width x height: kChartMinimum on its
// bottom edge, kChartMaximum on its top edge, the score columns side by side between its left
// and right edges. The axis labels, the caption and the legend lie outside it.
ChartBox ChartPlotArea(double width, double height);

// The chart of results (computed with options) at width x height, its top left corner at (0, 0):
// white background, the band of mean +- 1 SD shaded, lines at 70 and 130, a percentile axis on
// the right, a marker per score (circle for an Index, square for the FSIQ, diamond for the GAI)
// on a bar from its lower to its upper limit with the rounded score beside it, the abnormally
// low Indexes hatched, the method's caption above and a legend below. The GAI is left out when
// options do not calculate it. Everything scales with min(width / 700, height / 500); the plot
// takes whatever the margins leave.
ChartGeometry ProfileChartGeometry(const ScoringResults& results, const ScoringOptions& options,
                                   double width, double height);

// The lines of a hatching, each from its bottom end to its top end (they reach past box, which
// cuts them).
std::vector<std::pair<ChartPoint, ChartPoint>> HatchLines(const ChartHatch& hatch);

// The advance of text (UTF-8) in the design font at a pixel size, with each character's advance
// cut to 1/64 pixel as the font rasterizer lays it out. A character outside the table counts as
// wide as a digit.
double ChartTextWidth(std::string_view text, int size);

// Where text's baseline lies in its own frame: box centred vertically on the design font's
// ascent plus descent (each rounded to 1/64 pixel), as the desktop centres it.
double ChartTextBaseline(const ChartText& text);

}  // namespace orvale
