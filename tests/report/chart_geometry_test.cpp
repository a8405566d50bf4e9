// SPDX-License-Identifier: GPL-3.0-or-later
// The chart's geometry against its design worked out by hand. At 700 x 500 the Index axis runs
// from y = 408 (40: the bottom margin is 92) up to y = 34 (160: the top margin), 374 / 120 per
// Index point, so 100 lies at 221; the six columns share x = 56 to 636 (the side margins are
// 56 and 64), 580 / 6 each. Twice the size doubles everything.
#include "report/chart_geometry.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

namespace orvale {
namespace {

double AxisY(double value, double scale) {
    return (408 - (value - 40) * 374 / 120) * scale;
}
double ColumnX(int column, double scale) {
    return (56 + (column + 0.5) * 580 / 6) * scale;
}

// Results with the given scores and limits for VC PR WM PS FSIQ GAI; nothing else is drawn.
ScoringResults Results(const ScoreArray& scores, const ScoreArray& lower, const ScoreArray& upper) {
    ScoringResults results;
    results.scores = scores;
    results.lowerLimits = lower;
    results.upperLimits = upper;
    return results;
}

template <typename Shape>
std::vector<Shape> Shapes(const ChartGeometry& geometry, ChartPart part) {
    std::vector<Shape> shapes;
    for (const ChartItem& item : geometry.items) {
        const Shape* shape = std::get_if<Shape>(&item.shape);
        if (item.part == part && shape != nullptr) shapes.push_back(*shape);
    }
    return shapes;
}

// Which column an x lies in the middle of, or -1.
int ColumnAt(double x, double scale) {
    for (int column = 0; column < 6; ++column) {
        if (std::abs(x - ColumnX(column, scale)) < 1e-9) return column;
    }
    return -1;
}

TEST(ChartGeometry, MarkersAndBarEndsSitWhereTheirFiguresFallOnTheScale) {
    const ScoreArray scores = {100, 130, 55, 145, 85, 115};
    const ScoringResults results =
        Results(scores, {90, 120, 45, 135, 80, 110}, {110, 140, 65, 155, 90, 120});
    const ChartMarkerShape circle = ChartMarkerShape::Circle;
    const ChartMarkerShape shapes[] = {
        circle, circle, circle, circle, ChartMarkerShape::Square, ChartMarkerShape::Diamond};
    for (const double scale : {1.0, 2.0}) {
        const ChartGeometry geometry = ProfileChartGeometry(results, {}, 700 * scale, 500 * scale);
        const auto markers = Shapes<ChartMarker>(geometry, ChartPart::Marker);
        ASSERT_EQ(markers.size(), 6u);
        for (int column = 0; column < 6; ++column) {
            EXPECT_NEAR(markers[column].centre.x, ColumnX(column, scale), 1e-9) << column;
            EXPECT_NEAR(markers[column].centre.y, AxisY(scores[column], scale), 1e-9) << column;
            EXPECT_EQ(markers[column].shape, shapes[column]);
        }
        EXPECT_NEAR(markers[0].centre.y, 221 * scale, 1e-9);
        // Two ends per bar, upper then lower, each centred on the bar.
        const auto ends = Shapes<ChartLine>(geometry, ChartPart::BarEnd);
        ASSERT_EQ(ends.size(), 12u);
        for (int column = 0; column < 6; ++column) {
            const ChartLine& upper = ends[2 * column];
            const ChartLine& lower = ends[2 * column + 1];
            EXPECT_NEAR((upper.from.x + upper.to.x) / 2, ColumnX(column, scale), 1e-9);
            EXPECT_NEAR(upper.from.y, AxisY(results.upperLimits[column], scale), 1e-9);
            EXPECT_NEAR(lower.from.y, AxisY(results.lowerLimits[column], scale), 1e-9);
        }
    }
}

TEST(ChartGeometry, FiguresBeyondTheScaleEndInArrowheadsAtItsEdge) {
    struct Arrow {
        int column;
        double tipY;
        int direction;
    };
    const struct {
        const char* name;
        ScoringResults results;
        std::vector<Arrow> arrows;
        std::vector<int> unmarked;  // columns whose score lies beyond the scale
    } rows[] = {
        {"all on the scale",
         Results({100, 100, 100, 100, 100, 100}, {90, 90, 90, 90, 90, 90},
                 {110, 110, 110, 110, 110, 110}),
         {},
         {}},
        // VC 164 above, PR 36 below, WM's upper limit 165 above with its score on the scale.
        {"beyond both edges",
         Results({164, 36, 150, 100, 100, 100}, {158, 30, 140, 90, 90, 90},
                 {170, 42, 165, 110, 110, 110}),
         {{0, 34, -1}, {1, 408, 1}, {2, 34, -1}},
         {0, 1}},
    };
    for (const auto& row : rows) {
        const ChartGeometry geometry = ProfileChartGeometry(row.results, {}, 700, 500);
        const auto arrows = Shapes<ChartArrowhead>(geometry, ChartPart::Arrowhead);
        ASSERT_EQ(arrows.size(), row.arrows.size()) << row.name;
        for (std::size_t i = 0; i < arrows.size(); ++i) {
            EXPECT_EQ(ColumnAt(arrows[i].tip.x, 1), row.arrows[i].column) << row.name;
            EXPECT_NEAR(arrows[i].tip.y, row.arrows[i].tipY, 1e-9) << row.name;
            EXPECT_EQ(arrows[i].direction, row.arrows[i].direction) << row.name;
        }
        const auto markers = Shapes<ChartMarker>(geometry, ChartPart::Marker);
        EXPECT_EQ(markers.size(), 6 - row.unmarked.size()) << row.name;
        for (const ChartMarker& marker : markers) {
            const int column = ColumnAt(marker.centre.x, 1);
            EXPECT_EQ(std::count(row.unmarked.begin(), row.unmarked.end(), column), 0);
        }
        // The legend explains the arrowhead only when there is one.
        bool explained = false;
        for (const ChartText& text : Shapes<ChartText>(geometry, ChartPart::Legend)) {
            explained = explained || text.text == "beyond the scale (below 40 or above 160)";
        }
        EXPECT_EQ(explained, !row.arrows.empty()) << row.name;
    }
}

}  // namespace
}  // namespace orvale
