// SPDX-License-Identifier: GPL-3.0-or-later
// The profile chart rendered onto an image and measured there: markers and bar ends where the
// engine's scores and limits fall on the 40-160 axis (found from the drawn gridlines), the GAI
// only when calculated, the hatching exactly on the Indexes the engine counts as low, figures
// beyond the axis drawn as arrowheads inside it.
#include "documents/profile_chart.h"

#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <array>
#include <cmath>

#include "engine/scoring.h"
#include "engine/tables.h"

namespace orvale {
namespace {

constexpr int kWidth = 840;
constexpr int kHeight = 600;

QGuiApplication& Application() {
    static int argc = 1;
    static char name[] = "profile_chart_test";
    static char* argv[] = {name, nullptr};
    static QGuiApplication application(argc, argv);
    return application;
}

// The hatching's red-tinged ink: nothing else on the chart has colour.
bool Hatched(QRgb pixel) {
    return qRed(pixel) - qBlue(pixel) > 50;
}
// The black ink of bars, markers and text, not the hatching.
bool Dark(QRgb pixel) {
    return qGray(pixel) < 110 && !Hatched(pixel);
}

struct Rendered {
    QImage image;
    QRect plot;
    std::vector<int> bars;  // centre columns of the bars, left to right
};

Rendered Render(const ScoringResults& results, const ScoringOptions& options) {
    Application();
    Rendered r{QImage(kWidth, kHeight, QImage::Format_RGB32), {}, {}};
    QPainter painter(&r.image);
    PaintProfileChart(painter, QRectF(0, 0, kWidth, kHeight), results, options);
    painter.end();
    r.plot = ProfileChartPlotArea(QRectF(0, 0, kWidth, kHeight)).toAlignedRect();
    // A bar is a column with a long run of dark pixels inside the plot (text and markers are
    // short); neighbouring such columns are one bar.
    int start = -1;
    for (int x = r.plot.left() + 4; x < r.plot.right() - 4; ++x) {
        int dark = 0;
        for (int y = r.plot.top() + 2; y < r.plot.bottom() - 2; ++y) {
            dark += Dark(r.image.pixel(x, y));
        }
        if (dark > 25 && start < 0) start = x;
        if (dark <= 25 && start >= 0) {
            r.bars.push_back((start + x - 1) / 2);
            start = -1;
        }
    }
    return r;
}

// Centres of the runs of dark pixels down column x inside the plot.
std::vector<double> DarkRuns(const Rendered& r, int x) {
    std::vector<double> runs;
    int start = -1;
    for (int y = r.plot.top() + 2; y <= r.plot.bottom() - 2; ++y) {
        const bool dark = Dark(r.image.pixel(x, y));
        if (dark && start < 0) start = y;
        if (!dark && start >= 0) {
            runs.push_back((start + y - 1) / 2.0);
            start = -1;
        }
    }
    return runs;
}

// The gridlines down a column with no bar, top to bottom: every line that is neither white nor
// the band.
std::vector<double> Gridlines(const Rendered& r) {
    const int x = r.plot.left() + 3;
    std::vector<double> lines;
    int start = -1;
    for (int y = r.plot.top() - 2; y <= r.plot.bottom() + 2; ++y) {
        const bool line = qGray(r.image.pixel(x, y)) < 200;
        if (line && start < 0) start = y;
        if (!line && start >= 0) {
            lines.push_back((start + y - 1) / 2.0);
            start = -1;
        }
    }
    return lines;
}

// Where value lies on the axis, from the drawn gridlines: 160 on the first, 40 on the last.
double AxisY(double value) {
    static const std::vector<double> lines =
        Gridlines(Render(ComputeScores({10, 10, 10, 10, 10, 10, 10, 10}, {}), {}));
    return lines.back() - (value - 40.0) / 120.0 * (lines.back() - lines.front());
}

TEST(ProfileChart, ScoreOf100SitsOnThe100Gridline) {
    const ScoringResults results = ComputeScores({10, 10, 10, 10, 10, 10, 10, 10}, {});
    const Rendered r = Render(results, {});
    const std::vector<double> lines = Gridlines(r);
    ASSERT_EQ(lines.size(), 13u);  // 160, 150, ..., 40
    ASSERT_EQ(r.bars.size(), 6u);
    for (int bar : r.bars) {
        // Column beside the bar's line, within the marker: cap, marker, cap.
        const std::vector<double> runs = DarkRuns(r, bar + 3);
        ASSERT_EQ(runs.size(), 3u) << bar;
        EXPECT_NEAR(runs[1], lines[6], 1.0) << bar;
    }
}

TEST(ProfileChart, MarkersAndBarEndsFollowTheResults) {
    struct Case {
        SubtestEntries entries;
        ScoringOptions options;
    };
    const Case cases[] = {
        {{12, 11, 9, 8, 13, 10, 12, 7}, {}},
        {{15, 19, 10, 1, 19, 10, 15, 1}, ScoringOptions{.confidenceMethod = 2}},
        {{3, 5, 4, 6, 2, 5, 4, 3}, ScoringOptions{.confidenceMethod = 3, .calculateGai = false}},
    };
    for (const Case& c : cases) {
        const ScoringResults results = ComputeScores(c.entries, c.options);
        const Rendered r = Render(results, c.options);
        std::vector<int> shown = {kVC, kPR, kWM, kPS, kFSIQ};
        if (c.options.calculateGai) shown.push_back(kGAI);
        ASSERT_EQ(r.bars.size(), shown.size());
        for (std::size_t i = 0; i < shown.size(); ++i) {
            const int score = shown[i];
            // Beside the marker only the caps are crossed: their centres are the limits.
            const std::vector<double> caps = DarkRuns(r, r.bars[i] + 8);
            ASSERT_EQ(caps.size(), 2u) << score;
            EXPECT_NEAR(caps[0], AxisY(results.upperLimits[score]), 1.0) << score;
            EXPECT_NEAR(caps[1], AxisY(results.lowerLimits[score]), 1.0) << score;
            const std::vector<double> runs = DarkRuns(r, r.bars[i] + 3);
            ASSERT_EQ(runs.size(), 3u) << score;
            EXPECT_NEAR(runs[1], AxisY(results.scores[score]), 1.0) << score;
        }
    }
}

TEST(ProfileChart, ScoresBeyondTheScaleEndInArrowheadsInsideThePlot) {
    // All 1s: FSIQ 36 and limits below 40; all 19s: FSIQ 164 and limits above 160.
    const struct {
        double entry;
        int edge;       // the plot's edge the figures lie beyond
        int direction;  // from that edge into the plot
    } cases[] = {{1, 0, -1}, {19, 1, 1}};
    for (const auto& c : cases) {
        SubtestEntries entries;
        entries.fill(c.entry);
        const ScoringResults results = ComputeScores(entries, {});
        const Rendered r = Render(results, {});
        const int edge = c.edge == 0 ? r.plot.bottom() : r.plot.top();
        // Nothing drawn just outside the edge: the strip between the axis and the labels.
        for (int offset = 2; offset <= 4; ++offset) {
            for (int x = r.plot.left() + 2; x < r.plot.right() - 2; ++x) {
                ASSERT_GT(qGray(r.image.pixel(x, edge - c.direction * offset)), 200)
                    << c.entry << " at " << x;
            }
        }
        // An arrowhead, wider than the bar, just inside the edge of each figure beyond it; the
        // six columns share the plot's width.
        const std::array scores{kVC, kPR, kWM, kPS, kFSIQ, kGAI};
        for (std::size_t i = 0; i < scores.size(); ++i) {
            const int score = scores[i];
            const int x = static_cast<int>(r.plot.left() + (i + 0.5) * r.plot.width() / 6.0);
            const bool beyond =
                c.edge == 0 ? results.lowerLimits[score] < 40 : results.upperLimits[score] > 160;
            EXPECT_EQ(Dark(r.image.pixel(x + 4, edge + c.direction * 8)), beyond)
                << c.entry << " " << score;
        }
    }
}

TEST(ProfileChart, HatchingMarksExactlyTheLowIndexes) {
    struct Case {
        SubtestEntries entries;
        int cutoffIndex;
        std::vector<int> low;  // worked out by hand from the scores (z below the cut-off)
    };
    const Case cases[] = {
        {{10, 10, 10, 10, 10, 10, 10, 10}, 1, {}},
        // PS 48.6 (z -3.43); the others are high or average.
        {{15, 19, 10, 1, 19, 10, 15, 1}, 1, {kPS}},
        // VC (14 - 20) / 5.596 x 15 + 100 = 83.9 (z -1.07) and WM (13 - 20) / 5.179 x 15 + 100
        // = 79.7 (z -1.35): low at 15% (below -1.036) only; PS 71.4 (z -1.91) at 5% too.
        {{10, 7, 6, 5, 7, 7, 10, 5}, 1, {kPS}},
        {{10, 7, 6, 5, 7, 7, 10, 5}, 3, {kVC, kWM, kPS}},
    };
    for (const Case& c : cases) {
        const ScoringOptions options{.cutoffIndex = c.cutoffIndex};
        const ScoringResults results = ComputeScores(c.entries, options);
        ASSERT_EQ(results.lowCount, static_cast<int>(c.low.size()));
        const Rendered r = Render(results, options);
        ASSERT_EQ(r.bars.size(), 6u);
        for (int score = kVC; score <= kFSIQ; ++score) {
            // Near the top of the column, clear of bars, markers and their labels.
            int hatched = 0;
            for (int y = r.plot.top() + 3; y < r.plot.top() + 25; ++y) {
                for (int x = r.bars[score] - 30; x < r.bars[score] - 12; ++x) {
                    hatched += Hatched(r.image.pixel(x, y));
                }
            }
            const bool expected = std::find(c.low.begin(), c.low.end(), score) != c.low.end();
            EXPECT_EQ(hatched > 20, expected) << "score " << score << ": " << hatched;
        }
    }
}

}  // namespace
}  // namespace orvale
