// SPDX-License-Identifier: GPL-3.0-or-later
// The profile chart rendered onto an image and measured there: markers and bar ends where the
// engine's scores and limits fall on the 40-160 axis (found from the drawn gridlines), the GAI
// only when calculated, the hatching exactly on the Indexes the engine counts as low, figures
// beyond the axis drawn as arrowheads inside it. The core's SVG of the chart, read back with
// QtSvg, shows the same picture; the core's text widths are the design font's.
#include "documents/profile_chart.h"

#include <gtest/gtest.h>

#include <QFontInfo>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>
#include <array>
#include <cmath>

#include "documents/fonts.h"
#include "engine/scoring.h"
#include "engine/tables.h"
#include "report/chart_svg.h"

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

// Each pixel the mean of the 3 x 3 pixels around it: two renderers' antialiasing of the same edge
// or glyph spreads its ink differently over neighbouring pixels, but not by how much ink there is.
QImage Blurred(const QImage& image) {
    QImage blurred(image.size(), QImage::Format_RGB32);
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            int red = 0, green = 0, blue = 0, count = 0;
            for (int dy = -1; dy <= 1; ++dy) {
                for (int dx = -1; dx <= 1; ++dx) {
                    if (!image.rect().contains(x + dx, y + dy)) continue;
                    const QRgb pixel = image.pixel(x + dx, y + dy);
                    red += qRed(pixel);
                    green += qGreen(pixel);
                    blue += qBlue(pixel);
                    ++count;
                }
            }
            blurred.setPixel(x, y, qRgb(red / count, green / count, blue / count));
        }
    }
    return blurred;
}

// Pixels where a channel of a and b differs by more than threshold.
int Differing(const QImage& a, const QImage& b, int threshold) {
    int count = 0;
    for (int y = 0; y < a.height(); ++y) {
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y);
            const QRgb q = b.pixel(x, y);
            count += std::abs(qRed(p) - qRed(q)) > threshold ||
                     std::abs(qGreen(p) - qGreen(q)) > threshold ||
                     std::abs(qBlue(p) - qBlue(q)) > threshold;
        }
    }
    return count;
}

TEST(ProfileChart, SvgShowsWhatThePainterPaints) {
    Application();
    // QtSvg before 6.7 takes a font-family list for one family's name; it gets the family that
    // the painter uses, as a browser would pick it from the list.
    QFont::insertSubstitution(
        QString::fromLatin1(kChartFontFamilies),
        QFontInfo(DesignFont(QString::fromLatin1(kChartFontFamily), 11)).family());
    const SubtestEntries rows[] = {
        {10, 10, 10, 10, 10, 10, 10, 10},
        {15, 19, 10, 1, 19, 10, 15, 1},    // PS below the scale, hatched
        {1, 1, 1, 1, 1, 1, 1, 1},          // every Index hatched, limits below the scale
        {19, 19, 19, 19, 19, 19, 19, 19},  // limits and the FSIQ above the scale
    };
    const QSize size(700, 500);
    for (const SubtestEntries& entries : rows) {
        const ScoringResults results = ComputeScores(entries, {});
        QSvgRenderer svg(QByteArray::fromStdString(ProfileChartSvg(results, {})));
        ASSERT_TRUE(svg.isValid()) << entries[0];
        EXPECT_EQ(svg.defaultSize(), size);
        EXPECT_EQ(svg.viewBoxF(), QRectF(QPointF(0, 0), size));
        QImage drawn(size, QImage::Format_RGB32);
        QImage painted(size, QImage::Format_RGB32);
        drawn.fill(Qt::gray);  // the SVG's own background covers it
        painted.fill(Qt::gray);
        QPainter drawing(&drawn);
        svg.render(&drawing);
        drawing.end();
        QPainter painting(&painted);
        PaintProfileChart(painting, QRectF(QPointF(0, 0), size), results, {});
        painting.end();
        // Measured: 0.10% to 0.16% of the pixels, in the glyphs and the legend's fine hatching.
        // Text aligned at the wrong end, turned the wrong way or a pixel off its baseline,
        // another dash pattern, arrowheads turned over or hatching of another width go past
        // 0.25% in at least one case.
        EXPECT_LE(Differing(Blurred(drawn), Blurred(painted), 24),
                  size.width() * size.height() / 400)
            << entries[0] << " " << entries[3];
    }
}

TEST(ProfileChart, CoreTextMetricsAreTheDesignFontsAtEveryPixelSize) {
    Application();
    QFont font = DesignFont(QString::fromLatin1(kChartFontFamily), 10);
    const QString family = QFontInfo(font).family();
    if (family != "Arial" && family != "Liberation Sans" && family != "Arimo") {
        GTEST_SKIP() << "the design font is not installed; Qt uses " << family.toStdString();
    }
    std::vector<std::string> characters = {"\u00b1"};
    for (char c = ' '; c <= '~'; ++c) characters.push_back(std::string(1, c));
    std::string all;
    for (const std::string& character : characters) all += character;
    for (const int size : {5, 7, 11, 13, 22, 47}) {
        font.setPixelSize(size);
        const QFontMetricsF metrics(font);
        for (const std::string& character : characters) {
            EXPECT_EQ(ChartTextWidth(character, size),
                      metrics.horizontalAdvance(QString::fromStdString(character)))
                << size << " '" << character << "'";
        }
        EXPECT_EQ(ChartTextWidth(all, size),
                  metrics.horizontalAdvance(QString::fromStdString(all)));
        const ChartText text{"x", {0, 0, 100, 20}, ChartAlign::Left, size, {}, 0};
        EXPECT_EQ(ChartTextBaseline(text),
                  (20 - (metrics.ascent() + metrics.descent())) / 2 + metrics.ascent())
            << size;
    }
}

}  // namespace
}  // namespace orvale
