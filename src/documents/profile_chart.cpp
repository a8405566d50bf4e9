// SPDX-License-Identifier: GPL-3.0-or-later
#include "documents/profile_chart.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPath>
#include <algorithm>
#include <array>
#include <functional>
#include <vector>

#include "documents/fonts.h"
#include "engine/tables.h"
#include "numeric/number_format.h"

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

// The drawing is designed on a 700 x 500 grid of units and scaled to the bounds it gets.
constexpr double kDesignWidth = 700.0;
constexpr double kDesignHeight = 500.0;

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

const QColor kInk(0, 0, 0);
const QColor kGrid(160, 160, 160);
const QColor kBand(232, 232, 232);
const QColor kReferenceLine(120, 120, 120);  // darker than the grid, lighter than the ink
const QColor kHatch(200, 70, 60);            // reads as mid grey on a black-and-white print

enum class Marker { Circle, Square, Diamond };

double Unit(const QRectF& bounds) {
    return std::min(bounds.width() / kDesignWidth, bounds.height() / kDesignHeight);
}

double ValueToY(const QRectF& plot, double value) {
    return plot.bottom() -
           (value - kChartMinimum) / (kChartMaximum - kChartMinimum) * plot.height();
}

void DrawMarker(QPainter& painter, Marker marker, QPointF centre, double radius) {
    painter.setPen(Qt::NoPen);
    painter.setBrush(kInk);
    switch (marker) {
        case Marker::Circle:
            painter.drawEllipse(centre, radius, radius);
            break;
        case Marker::Square:
            painter.drawRect(
                QRectF(centre.x() - radius, centre.y() - radius, 2 * radius, 2 * radius));
            break;
        case Marker::Diamond: {
            const double r = radius * 1.3;
            const QPointF corners[] = {centre + QPointF(0, -r), centre + QPointF(r, 0),
                                       centre + QPointF(0, r), centre + QPointF(-r, 0)};
            painter.drawPolygon(corners, 4);
            break;
        }
    }
}

// A filled arrowhead with its tip at tip, pointing up (direction -1) or down (+1): a score or
// limit beyond the edge of the scale.
void DrawArrowhead(QPainter& painter, QPointF tip, int direction, double halfWidth, double length) {
    painter.setPen(Qt::NoPen);
    painter.setBrush(kInk);
    const QPointF corners[] = {tip, tip + QPointF(-halfWidth, -direction * length),
                               tip + QPointF(halfWidth, -direction * length)};
    painter.drawPolygon(corners, 3);
}

// Diagonal hatching across rect, spaced in units so that it looks the same on screen and paper
// (Qt's pattern brushes are spaced in device pixels, which a 1200 dpi page makes a solid fill).
void Hatch(QPainter& painter, const QRectF& rect, double unit) {
    painter.save();
    painter.setClipRect(rect, Qt::IntersectClip);
    painter.setPen(QPen(kHatch, 1.2 * unit));
    const double spacing = 7 * unit;
    for (double x = rect.left() - rect.height(); x < rect.right(); x += spacing) {
        painter.drawLine(QPointF(x, rect.bottom()), QPointF(x + rect.height(), rect.top()));
    }
    painter.restore();
}

// One entry of the legend: a small sample drawing and its text.
struct LegendEntry {
    std::function<void(QPainter&, const QRectF&)> sample;
    QString text;
};

void DrawLegend(QPainter& painter, const QRectF& area, double unit,
                const std::vector<LegendEntry>& entries) {
    const QFontMetricsF metrics(painter.font());
    const double sampleWidth = 18 * unit;
    const double rowHeight = 18 * unit;
    double x = area.left();
    double y = area.top();
    for (const LegendEntry& entry : entries) {
        const double width = sampleWidth + 4 * unit + metrics.horizontalAdvance(entry.text);
        if (x > area.left() && x + width > area.right()) {
            x = area.left();
            y += rowHeight;
        }
        const QRectF sample(x, y + 3 * unit, sampleWidth, rowHeight - 6 * unit);
        painter.save();
        painter.setBrush(Qt::NoBrush);
        entry.sample(painter, sample);
        painter.restore();
        painter.setPen(kInk);
        painter.drawText(QRectF(x + sampleWidth + 4 * unit, y, width, rowHeight),
                         Qt::AlignLeft | Qt::AlignVCenter, entry.text);
        x += width + 14 * unit;
    }
}

}  // namespace

QRectF ProfileChartPlotArea(const QRectF& bounds) {
    const double u = Unit(bounds);
    return bounds.adjusted(kLeftMargin * u, kTopMargin * u, -kRightMargin * u, -kBottomMargin * u);
}

void PaintProfileChart(QPainter& painter, const QRectF& bounds, const ScoringResults& results,
                       const ScoringOptions& options) {
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, true);
    const double u = Unit(bounds);
    const QRectF plot = ProfileChartPlotArea(bounds);
    QFont font = DesignFont(QStringLiteral("Arial"), 10);
    font.setPixelSize(std::max(1, static_cast<int>(kFontSize * u)));
    painter.setFont(font);
    const QFontMetricsF metrics(font);
    const auto y = [&plot](double value) { return ValueToY(plot, value); };
    const auto flatPen = [u](const QColor& colour, double width) {
        QPen pen(colour, width * u);
        pen.setCapStyle(Qt::FlatCap);
        return pen;
    };

    painter.fillRect(bounds, Qt::white);
    painter.setPen(kInk);
    painter.drawText(QRectF(bounds.left(), bounds.top(), bounds.width(), kTopMargin * u),
                     Qt::AlignCenter,
                     QString::fromLatin1(kConfidenceMethods[options.confidenceMethod].caption));

    // Columns: the four Indexes, then FSIQ and (when calculated) GAI.
    std::vector<int> shown = {kVC, kPR, kWM, kPS, kFSIQ};
    if (options.calculateGai) shown.push_back(kGAI);
    const double columnWidth = plot.width() / static_cast<double>(shown.size());
    const auto columnCentre = [&](std::size_t column) {
        return plot.left() + (static_cast<double>(column) + 0.5) * columnWidth;
    };
    const double lowDeviate = kAbnormalityCutoffs[options.cutoffIndex - 1].lowScoreDeviate;

    // Background: the band of mean +- 1 SD, then the hatching of abnormally low Indexes.
    painter.fillRect(QRectF(QPointF(plot.left(), y(kBandHigh)), QPointF(plot.right(), y(kBandLow))),
                     kBand);
    for (std::size_t column = 0; column < shown.size(); ++column) {
        const int score = shown[column];
        if (score <= kPS && IsAbnormallyLow(results.scores[score], lowDeviate)) {
            Hatch(
                painter,
                QRectF(plot.left() + column * columnWidth, plot.top(), columnWidth, plot.height()),
                u);
        }
    }

    // Gridlines every 10 with their labels, the lines at 70 and 130 dashed and darker.
    for (double value = kChartMinimum; value <= kChartMaximum; value += kChartGridStep) {
        const bool edge = value == kChartMinimum || value == kChartMaximum;
        const bool twoSd = value == kTwoSdLow || value == kTwoSdHigh;
        QPen pen = flatPen(edge ? kInk : twoSd ? kReferenceLine : kGrid, twoSd ? 1.5 : 1.0);
        if (twoSd) pen.setStyle(Qt::DashLine);
        painter.setPen(pen);
        painter.drawLine(QPointF(plot.left(), y(value)), QPointF(plot.right(), y(value)));
        painter.setPen(kInk);
        painter.drawText(QRectF(plot.left() - 34 * u, y(value) - 8 * u, 30 * u, 16 * u),
                         Qt::AlignRight | Qt::AlignVCenter, QString::number(value));
    }
    painter.setPen(flatPen(kInk, 1.0));
    painter.drawLine(plot.topLeft(), plot.bottomLeft());
    painter.drawLine(plot.topRight(), plot.bottomRight());

    // Axis titles: the Index metric on the left, the percentile ranks on the right.
    const auto verticalTitle = [&](double x, const QString& text) {
        painter.save();
        painter.translate(x, plot.center().y());
        painter.rotate(-90);
        painter.drawText(QRectF(-plot.height() / 2, -8 * u, plot.height(), 16 * u), Qt::AlignCenter,
                         text);
        painter.restore();
    };
    verticalTitle(bounds.left() + 10 * u, QStringLiteral("Index score"));
    verticalTitle(plot.right() + 52 * u, QStringLiteral("Percentile rank"));
    for (const PercentileTick& tick : kPercentileTicks) {
        const double tickY = y(kIndexMean + kIndexSd * tick.z);
        painter.setPen(flatPen(kInk, 1.0));
        painter.drawLine(QPointF(plot.right(), tickY), QPointF(plot.right() + 5 * u, tickY));
        painter.drawText(QRectF(plot.right() + 8 * u, tickY - 8 * u, 30 * u, 16 * u),
                         Qt::AlignLeft | Qt::AlignVCenter, QString::fromLatin1(tick.label));
    }

    // One bar with its marker and rounded score per column, the abbreviation below the axis. A
    // score or limit beyond 40 to 160 is drawn at the edge it lies beyond, as an arrowhead
    // pointing out of the scale; the score printed beside it is the true one.
    const auto onScale = [](double value) {
        return std::clamp(value, kChartMinimum, kChartMaximum);
    };
    bool anyBeyond = false;
    for (std::size_t column = 0; column < shown.size(); ++column) {
        const int score = shown[column];
        const double x = columnCentre(column);
        const double value = results.scores[score];
        const double top = y(onScale(results.upperLimits[score]));
        const double bottom = y(onScale(results.lowerLimits[score]));
        const bool aboveScale = value > kChartMaximum || results.upperLimits[score] > kChartMaximum;
        const bool belowScale = value < kChartMinimum || results.lowerLimits[score] < kChartMinimum;
        anyBeyond = anyBeyond || aboveScale || belowScale;
        painter.setPen(flatPen(kInk, kBarWidth));
        painter.drawLine(QPointF(x, top), QPointF(x, bottom));
        const auto end = [&](double endY, bool beyond, int direction) {
            if (beyond) {
                DrawArrowhead(painter, QPointF(x, endY), direction, kCapHalfWidth * u,
                              kArrowLength * u);
            } else {
                painter.setPen(flatPen(kInk, kBarWidth));
                painter.drawLine(QPointF(x - kCapHalfWidth * u, endY),
                                 QPointF(x + kCapHalfWidth * u, endY));
            }
        };
        end(aboveScale ? plot.top() : top, aboveScale, -1);
        end(belowScale ? plot.bottom() : bottom, belowScale, 1);
        const Marker marker = score == kFSIQ  ? Marker::Square
                              : score == kGAI ? Marker::Diamond
                                              : Marker::Circle;
        const QPointF centre(x, y(onScale(value)));
        if (onScale(value) == value) DrawMarker(painter, marker, centre, kMarkerRadius * u);
        // Beside an arrowhead the score stands inside the plot, clear of the edge.
        const double labelY = value > kChartMaximum   ? plot.top() + kArrowLength * u
                              : value < kChartMinimum ? plot.bottom() - kArrowLength * u
                                                      : centre.y();
        painter.setPen(kInk);
        const QString rounded = QString::fromStdString(FormatFixed(value, 0, 0));
        painter.drawText(
            QRectF(x + (kCapHalfWidth + kLabelGap) * u, labelY - 8 * u, columnWidth / 2, 16 * u),
            Qt::AlignLeft | Qt::AlignVCenter, rounded);
        painter.drawText(QRectF(x - columnWidth / 2, plot.bottom() + 4 * u, columnWidth, 18 * u),
                         Qt::AlignCenter, QString::fromLatin1(kScoreTable[score].abbreviation));
    }

    // The legend explains every kind of mark, the hatching with the chosen cut-off.
    const double r = kMarkerRadius * u;
    std::vector<LegendEntry> legend = {
        {[r](QPainter& p, const QRectF& s) { DrawMarker(p, Marker::Circle, s.center(), r); },
         QStringLiteral("Index")},
        {[r](QPainter& p, const QRectF& s) { DrawMarker(p, Marker::Square, s.center(), r); },
         QStringLiteral("FSIQ")},
    };
    if (options.calculateGai) {
        legend.push_back(
            {[r](QPainter& p, const QRectF& s) { DrawMarker(p, Marker::Diamond, s.center(), r); },
             QStringLiteral("GAI")});
    }
    legend.push_back({[&](QPainter& p, const QRectF& s) {
                          p.setPen(flatPen(kInk, kBarWidth));
                          p.drawLine(QPointF(s.left(), s.center().y()),
                                     QPointF(s.right(), s.center().y()));
                      },
                      QStringLiteral("confidence limits")});
    legend.push_back({[](QPainter& p, const QRectF& s) {
                          p.fillRect(s, kBand);
                          p.setPen(kGrid);
                          p.drawRect(s);
                      },
                      QStringLiteral("85 to 115 (mean \u00b1 1 SD)")});
    legend.push_back({[&](QPainter& p, const QRectF& s) {
                          QPen pen = flatPen(kReferenceLine, 1.5);
                          pen.setStyle(Qt::DashLine);
                          p.setPen(pen);
                          p.drawLine(QPointF(s.left(), s.center().y()),
                                     QPointF(s.right(), s.center().y()));
                      },
                      QStringLiteral("70 and 130 (\u00b1 2 SD)")});
    if (anyBeyond) {
        legend.push_back({[u](QPainter& p, const QRectF& s) {
                              DrawArrowhead(p, QPointF(s.center().x(), s.top()), -1,
                                            kCapHalfWidth * u * 0.6, s.height());
                          },
                          QStringLiteral("beyond the scale (below 40 or above 160)")});
    }
    legend.push_back(
        {[u](QPainter& p, const QRectF& s) {
             Hatch(p, s, u / 2);
             p.setPen(kInk);
             p.drawRect(s);
         },
         QStringLiteral("abnormally low Index (less than %1)")
             .arg(QString::fromLatin1(kAbnormalityCutoffs[options.cutoffIndex - 1].caption))});
    DrawLegend(painter,
               QRectF(plot.left(), plot.bottom() + 26 * u, plot.width() + kRightMargin * u / 2,
                      bounds.bottom() - plot.bottom() - 26 * u),
               u, legend);
    painter.restore();
}

}  // namespace orvale
