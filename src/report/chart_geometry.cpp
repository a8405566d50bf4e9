// SPDX-License-Identifier: GPL-3.0-or-later
#include "report/chart_geometry.h"

#include <algorithm>
#include <array>
#include <cstdint>

#include "engine/tables.h"
#include "numeric/number_format.h"
#include "report/utf8.h"

namespace orvale {

namespace {

// Percentile ranks on the right-hand axis and the standard normal deviates that give them
// (100 x Phi(z) = rank; the 2nd and 98th percentiles are the deviates +-2.053749, the 16th and
// 84th +-0.994458).
struct PercentileTick {
    const char* label;
    double z;
};
constexpr std::array<PercentileTick, 5> kPercentileTicks = {
    {{"2", -2.053749}, {"16", -0.994458}, {"50", 0.0}, {"84", 0.994458}, {"98", 2.053749}}};

constexpr double kBandLow = kIndexMean - kIndexSd;        // 85
constexpr double kBandHigh = kIndexMean + kIndexSd;       // 115
constexpr double kTwoSdLow = kIndexMean - 2 * kIndexSd;   // 70
constexpr double kTwoSdHigh = kIndexMean + 2 * kIndexSd;  // 130

// Margins around the plot area, in units.
constexpr double kLeftMargin = 56;
constexpr double kTopMargin = 34;
constexpr double kRightMargin = 64;
constexpr double kBottomMargin = 92;  // score names, then two rows of legend

// Sizes of the marks, in units: bar ends are wider than the markers, and the score stands clear
// of both.
constexpr double kBarWidth = 2.0;
constexpr double kCapHalfWidth = 8.0;
constexpr double kMarkerRadius = 4.5;
constexpr double kLabelGap = 3.0;
constexpr double kArrowLength = 12.0;  // the arrowhead at an edge that a figure lies beyond
constexpr double kFontSize = 11.0;

// The design font's metrics in its units (2048 to the em): Arial's, which Liberation Sans and
// Arimo share. Advances of the characters from U+0020 to U+007E, then of U+00B1.
constexpr int kUnitsPerEm = 2048;
constexpr int kAscent = 1854;
constexpr int kDescent = 434;
constexpr std::array<std::int16_t, 95> kAsciiAdvances = {
    569,  569,  727,  1139, 1139, 1821, 1366, 391,  682,  682,  797,  1196, 569,  682,  569,  569,
    1139, 1139, 1139, 1139, 1139, 1139, 1139, 1139, 1139, 1139, 569,  569,  1196, 1196, 1196, 1139,
    2079, 1366, 1366, 1479, 1479, 1366, 1251, 1593, 1479, 569,  1024, 1366, 1139, 1706, 1479, 1593,
    1366, 1593, 1479, 1366, 1251, 1479, 1366, 1933, 1366, 1366, 1251, 569,  569,  569,  961,  1139,
    682,  1139, 1139, 1024, 1139, 1139, 569,  1139, 1139, 455,  455,  1024, 455,  1706, 1139, 1139,
    1139, 1139, 682,  1024, 569,  1139, 1024, 1479, 1024, 1024, 1024, 684,  532,  684,  1196};
constexpr int kPlusMinusAdvance = 1124;
constexpr int kDigitAdvance = 1139;

// A length in font units at a pixel size in 1/64 pixels, as the font rasterizer gives it: an
// advance cut, the ascent and descent rounded.
double FontPixels(int units, int size, bool rounded) {
    const std::int64_t scaled = std::int64_t{units} * size * 64;
    const std::int64_t sixtyFourths = (scaled + (rounded ? kUnitsPerEm / 2 : 0)) / kUnitsPerEm;
    return static_cast<double>(sixtyFourths) / 64.0;
}

// Everything placed on the chart derives from the unit (the design grid scaled to the size), the
// plot area and the columns shown.
struct Layout {
    double unit;
    ChartBox bounds;
    ChartBox plot;
    int fontSize;
    std::vector<int> shown;  // the four Indexes, then FSIQ and (when calculated) GAI
    double columnWidth;

    double Y(double value) const {
        return plot.bottom() -
               (value - kChartMinimum) / (kChartMaximum - kChartMinimum) * plot.height;
    }
    double ColumnCentre(std::size_t column) const {
        return plot.x + (static_cast<double>(column) + 0.5) * columnWidth;
    }
};

double Unit(double width, double height) {
    return std::min(width / kChartDesignWidth, height / kChartDesignHeight);
}

// Hatching of rect in lines spaced in units, so that it looks the same on screen and on paper.
ChartHatch Hatching(const ChartBox& rect, double unit) {
    return {rect, 7 * unit, 1.2 * unit, kChartHatch};
}

class Drawing {
  public:
    Drawing(ChartGeometry& geometry, const Layout& layout) : geometry_(geometry), layout_(layout) {}

    void Add(ChartPart part, ChartShape shape) {
        geometry_.items.push_back({part, std::move(shape)});
    }
    // A line with flat ends, its width in units.
    void Line(ChartPart part, ChartPoint from, ChartPoint to, ChartColour colour, double width,
              bool dashed = false) {
        Add(part, ChartLine{from, to, colour, width * layout_.unit, dashed});
    }
    void Text(ChartPart part, std::string text, ChartBox box, ChartAlign align) {
        Add(part, ChartText{std::move(text), box, align, layout_.fontSize, {}, 0});
    }

    void Frame(const ScoringResults& results, const ScoringOptions& options);
    void Gridlines();
    void AxisTitlesAndPercentiles();
    bool Columns(const ScoringResults& results);  // true when a figure lies beyond the scale
    void Legend(const ScoringOptions& options, bool anyBeyond);

  private:
    ChartGeometry& geometry_;
    const Layout& layout_;
};

// The background, the caption, the band of mean +- 1 SD and the hatching of the abnormally low
// Indexes' columns.
void Drawing::Frame(const ScoringResults& results, const ScoringOptions& options) {
    const ChartBox& plot = layout_.plot;
    Add(ChartPart::Background, ChartRect{layout_.bounds, kChartPaper, std::nullopt, 1});
    Text(ChartPart::Caption, kConfidenceMethods[options.confidenceMethod].caption,
         {layout_.bounds.x, layout_.bounds.y, layout_.bounds.width, kTopMargin * layout_.unit},
         ChartAlign::Centre);
    const double bandTop = layout_.Y(kBandHigh);
    Add(ChartPart::Band,
        ChartRect{{plot.x, bandTop, plot.right() - plot.x, layout_.Y(kBandLow) - bandTop},
                  kChartBand,
                  std::nullopt,
                  1});
    const double lowDeviate = kAbnormalityCutoffs[options.cutoffIndex - 1].lowScoreDeviate;
    for (std::size_t column = 0; column < layout_.shown.size(); ++column) {
        const int score = layout_.shown[column];
        if (score <= kPS && IsAbnormallyLow(results.scores[score], lowDeviate)) {
            const ChartBox box{plot.x + static_cast<double>(column) * layout_.columnWidth, plot.y,
                               layout_.columnWidth, plot.height};
            Add(ChartPart::Hatching, Hatching(box, layout_.unit));
        }
    }
}

// Gridlines every 10 with their labels, the lines at 70 and 130 dashed and darker, and the plot's
// left and right edges.
void Drawing::Gridlines() {
    const ChartBox& plot = layout_.plot;
    const double u = layout_.unit;
    for (double value = kChartMinimum; value <= kChartMaximum; value += kChartGridStep) {
        const bool edge = value == kChartMinimum || value == kChartMaximum;
        const bool twoSd = value == kTwoSdLow || value == kTwoSdHigh;
        const double y = layout_.Y(value);
        Line(ChartPart::Gridline, {plot.x, y}, {plot.right(), y},
             edge    ? kChartInk
             : twoSd ? kChartReferenceLine
                     : kChartGrid,
             twoSd ? 1.5 : 1.0, twoSd);
        Text(ChartPart::AxisLabel, std::to_string(static_cast<int>(value)),
             {plot.x - 34 * u, y - 8 * u, 30 * u, 16 * u}, ChartAlign::Right);
    }
    Line(ChartPart::Axis, {plot.x, plot.y}, {plot.x, plot.bottom()}, kChartInk, 1.0);
    Line(ChartPart::Axis, {plot.right(), plot.y}, {plot.right(), plot.bottom()}, kChartInk, 1.0);
}

// The axis titles, the Index metric on the left and the percentile ranks on the right, both
// reading upwards; then the percentile ranks' ticks and labels.
void Drawing::AxisTitlesAndPercentiles() {
    const ChartBox& plot = layout_.plot;
    const double u = layout_.unit;
    const auto verticalTitle = [&](double x, const char* text) {
        Add(ChartPart::AxisTitle, ChartText{text,
                                            {-plot.height / 2, -8 * u, plot.height, 16 * u},
                                            ChartAlign::Centre,
                                            layout_.fontSize,
                                            {x, plot.centre().y},
                                            -90});
    };
    verticalTitle(layout_.bounds.x + 10 * u, "Index score");
    verticalTitle(plot.right() + 52 * u, "Percentile rank");
    for (const PercentileTick& tick : kPercentileTicks) {
        const double y = layout_.Y(kIndexMean + kIndexSd * tick.z);
        Line(ChartPart::PercentileTick, {plot.right(), y}, {plot.right() + 5 * u, y}, kChartInk,
             1.0);
        Text(ChartPart::PercentileLabel, tick.label,
             {plot.right() + 8 * u, y - 8 * u, 30 * u, 16 * u}, ChartAlign::Left);
    }
}

// One bar with its marker and rounded score per column, the abbreviation below the axis. A score
// or limit beyond 40 to 160 is drawn at the edge it lies beyond, as an arrowhead pointing out of
// the scale; the score printed beside it is the true one.
bool Drawing::Columns(const ScoringResults& results) {
    const ChartBox& plot = layout_.plot;
    const double u = layout_.unit;
    const auto onScale = [](double value) {
        return std::clamp(value, kChartMinimum, kChartMaximum);
    };
    bool anyBeyond = false;
    for (std::size_t column = 0; column < layout_.shown.size(); ++column) {
        const int score = layout_.shown[column];
        const double x = layout_.ColumnCentre(column);
        const double value = results.scores[score];
        const double top = layout_.Y(onScale(results.upperLimits[score]));
        const double bottom = layout_.Y(onScale(results.lowerLimits[score]));
        const bool aboveScale = value > kChartMaximum || results.upperLimits[score] > kChartMaximum;
        const bool belowScale = value < kChartMinimum || results.lowerLimits[score] < kChartMinimum;
        anyBeyond = anyBeyond || aboveScale || belowScale;
        Line(ChartPart::Bar, {x, top}, {x, bottom}, kChartInk, kBarWidth);
        const auto end = [&](double endY, bool beyond, int direction) {
            if (beyond) {
                Add(ChartPart::Arrowhead,
                    ChartArrowhead{{x, endY}, direction, kCapHalfWidth * u, kArrowLength * u});
            } else {
                Line(ChartPart::BarEnd, {x - kCapHalfWidth * u, endY},
                     {x + kCapHalfWidth * u, endY}, kChartInk, kBarWidth);
            }
        };
        end(aboveScale ? plot.y : top, aboveScale, -1);
        end(belowScale ? plot.bottom() : bottom, belowScale, 1);
        const ChartMarkerShape shape = score == kFSIQ  ? ChartMarkerShape::Square
                                       : score == kGAI ? ChartMarkerShape::Diamond
                                                       : ChartMarkerShape::Circle;
        const ChartPoint centre{x, layout_.Y(onScale(value))};
        if (onScale(value) == value) {
            Add(ChartPart::Marker, ChartMarker{shape, centre, kMarkerRadius * u});
        }
        // Beside an arrowhead the score stands inside the plot, clear of the edge.
        const double labelY = value > kChartMaximum   ? plot.y + kArrowLength * u
                              : value < kChartMinimum ? plot.bottom() - kArrowLength * u
                                                      : centre.y;
        Text(ChartPart::ScoreLabel, FormatFixed(value, 0, 0),
             {x + (kCapHalfWidth + kLabelGap) * u, labelY - 8 * u, layout_.columnWidth / 2, 16 * u},
             ChartAlign::Left);
        Text(ChartPart::ScoreName, kScoreTable[score].abbreviation,
             {x - layout_.columnWidth / 2, plot.bottom() + 4 * u, layout_.columnWidth, 18 * u},
             ChartAlign::Centre);
    }
    return anyBeyond;
}

// One entry of the legend: the sample drawn in its box, and its text.
struct LegendEntry {
    std::vector<ChartShape> (*sample)(const ChartBox& box, double unit);
    std::string text;
};

template <ChartMarkerShape shape>
std::vector<ChartShape> MarkerSample(const ChartBox& box, double unit) {
    return {ChartMarker{shape, box.centre(), kMarkerRadius * unit}};
}

std::vector<ChartShape> LimitsSample(const ChartBox& box, double unit) {
    const double y = box.centre().y;
    return {ChartLine{{box.x, y}, {box.right(), y}, kChartInk, kBarWidth * unit, false}};
}

std::vector<ChartShape> BandSample(const ChartBox& box, double) {
    return {ChartRect{box, kChartBand, kChartGrid, 1}};
}

std::vector<ChartShape> TwoSdSample(const ChartBox& box, double unit) {
    const double y = box.centre().y;
    return {ChartLine{{box.x, y}, {box.right(), y}, kChartReferenceLine, 1.5 * unit, true}};
}

std::vector<ChartShape> BeyondSample(const ChartBox& box, double unit) {
    return {ChartArrowhead{{box.centre().x, box.y}, -1, kCapHalfWidth * unit * 0.6, box.height}};
}

std::vector<ChartShape> HatchSample(const ChartBox& box, double unit) {
    return {Hatching(box, unit / 2), ChartRect{box, std::nullopt, kChartInk, 1}};
}

// The legend explains every kind of mark, the hatching with the chosen cut-off. Its entries run
// left to right from the plot's left edge and wrap onto a new row at half the right margin.
void Drawing::Legend(const ScoringOptions& options, bool anyBeyond) {
    std::vector<LegendEntry> entries = {
        {MarkerSample<ChartMarkerShape::Circle>, "Index"},
        {MarkerSample<ChartMarkerShape::Square>, "FSIQ"},
    };
    if (options.calculateGai) entries.push_back({MarkerSample<ChartMarkerShape::Diamond>, "GAI"});
    entries.push_back({LimitsSample, "confidence limits"});
    entries.push_back({BandSample, "85 to 115 (mean \u00b1 1 SD)"});
    entries.push_back({TwoSdSample, "70 and 130 (\u00b1 2 SD)"});
    if (anyBeyond) entries.push_back({BeyondSample, "beyond the scale (below 40 or above 160)"});
    entries.push_back({HatchSample, std::string("abnormally low Index (less than ") +
                                        kAbnormalityCutoffs[options.cutoffIndex - 1].caption +
                                        ")"});

    const double u = layout_.unit;
    const ChartBox& plot = layout_.plot;
    const ChartBox area{plot.x, plot.bottom() + 26 * u, plot.width + kRightMargin * u / 2,
                        layout_.bounds.bottom() - plot.bottom() - 26 * u};
    const double sampleWidth = 18 * u;
    const double rowHeight = 18 * u;
    double x = area.x;
    double y = area.y;
    for (const LegendEntry& entry : entries) {
        const double width = sampleWidth + 4 * u + ChartTextWidth(entry.text, layout_.fontSize);
        if (x > area.x && x + width > area.right()) {
            x = area.x;
            y += rowHeight;
        }
        for (ChartShape& shape : entry.sample({x, y + 3 * u, sampleWidth, rowHeight - 6 * u}, u)) {
            Add(ChartPart::Legend, std::move(shape));
        }
        Text(ChartPart::Legend, entry.text, {x + sampleWidth + 4 * u, y, width, rowHeight},
             ChartAlign::Left);
        x += width + 14 * u;
    }
}

}  // namespace

ChartBox ChartPlotArea(double width, double height) {
    const double u = Unit(width, height);
    // As Qt adjusts a rectangle: the far edges move with the width and height.
    return {kLeftMargin * u, kTopMargin * u, width + -kRightMargin * u - kLeftMargin * u,
            height + -kBottomMargin * u - kTopMargin * u};
}

ChartGeometry ProfileChartGeometry(const ScoringResults& results, const ScoringOptions& options,
                                   double width, double height) {
    ChartGeometry geometry{width, height, ChartPlotArea(width, height), {}};
    Layout layout{Unit(width, height), {0, 0, width, height}, geometry.plot, 1, {}, 0};
    layout.fontSize = std::max(1, static_cast<int>(kFontSize * layout.unit));
    layout.shown = {kVC, kPR, kWM, kPS, kFSIQ};
    if (options.calculateGai) layout.shown.push_back(kGAI);
    layout.columnWidth = geometry.plot.width / static_cast<double>(layout.shown.size());

    Drawing drawing(geometry, layout);
    drawing.Frame(results, options);
    drawing.Gridlines();
    drawing.AxisTitlesAndPercentiles();
    const bool anyBeyond = drawing.Columns(results);
    drawing.Legend(options, anyBeyond);
    return geometry;
}

std::vector<std::pair<ChartPoint, ChartPoint>> HatchLines(const ChartHatch& hatch) {
    const ChartBox& box = hatch.box;
    std::vector<std::pair<ChartPoint, ChartPoint>> lines;
    for (double x = box.x - box.height; x < box.right(); x += hatch.spacing) {
        lines.push_back({{x, box.bottom()}, {x + box.height, box.y}});
    }
    return lines;
}

double ChartTextWidth(std::string_view text, int size) {
    double width = 0;
    for (std::size_t at = 0; at < text.size();) {
        const Utf8Character character = Utf8CharacterAt(text, at);
        at += character.size;
        int advance = kDigitAdvance;
        if (character.code >= 0x20 && character.code <= 0x7E) {
            advance = kAsciiAdvances[character.code - 0x20];
        } else if (character.code == 0xB1) {
            advance = kPlusMinusAdvance;
        }
        width += FontPixels(advance, size, false);
    }
    return width;
}

double ChartTextBaseline(const ChartText& text) {
    const double ascent = FontPixels(kAscent, text.size, true);
    const double descent = FontPixels(kDescent, text.size, true);
    return text.box.y + (text.box.height - (ascent + descent)) / 2 + ascent;
}

}  // namespace orvale
