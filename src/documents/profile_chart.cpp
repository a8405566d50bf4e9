// SPDX-License-Identifier: GPL-3.0-or-later
#include "documents/profile_chart.h"

#include <QPainter>
#include <variant>

#include "documents/fonts.h"

namespace orvale {

namespace {

QColor Colour(ChartColour colour) {
    return QColor(colour.red, colour.green, colour.blue);
}

QPointF Point(ChartPoint point) {
    return QPointF(point.x, point.y);
}

QRectF Rect(const ChartBox& box) {
    return QRectF(box.x, box.y, box.width, box.height);
}

// Paints each kind of shape; the painter keeps antialiasing and the font between shapes.
class ChartPainter {
  public:
    explicit ChartPainter(QPainter& painter) : p_(painter) {}

    void operator()(const ChartLine& line) {
        QPen pen(Colour(line.colour), line.width);
        pen.setCapStyle(Qt::FlatCap);
        if (line.dashed) pen.setStyle(Qt::DashLine);
        p_.setPen(pen);
        p_.drawLine(Point(line.from), Point(line.to));
    }

    // A fill is laid as Qt fills a rectangle of the page (whole device pixels on a picture).
    void operator()(const ChartRect& rect) {
        if (rect.fill) p_.fillRect(Rect(rect.box), Colour(*rect.fill));
        if (rect.outline) {
            p_.setPen(QPen(Colour(*rect.outline), rect.outlineWidth));
            p_.setBrush(Qt::NoBrush);
            p_.drawRect(Rect(rect.box));
        }
    }

    void operator()(const ChartMarker& marker) {
        p_.setPen(Qt::NoPen);
        p_.setBrush(Colour(kChartInk));
        const QPointF centre = Point(marker.centre);
        const double radius = marker.radius;
        switch (marker.shape) {
            case ChartMarkerShape::Circle:
                p_.drawEllipse(centre, radius, radius);
                break;
            case ChartMarkerShape::Square:
                p_.drawRect(
                    QRectF(centre.x() - radius, centre.y() - radius, 2 * radius, 2 * radius));
                break;
            case ChartMarkerShape::Diamond: {
                const double r = radius * 1.3;
                const QPointF corners[] = {centre + QPointF(0, -r), centre + QPointF(r, 0),
                                           centre + QPointF(0, r), centre + QPointF(-r, 0)};
                p_.drawPolygon(corners, 4);
                break;
            }
        }
    }

    void operator()(const ChartArrowhead& arrow) {
        p_.setPen(Qt::NoPen);
        p_.setBrush(Colour(kChartInk));
        const QPointF tip = Point(arrow.tip);
        const QPointF corners[] = {tip,
                                   tip + QPointF(-arrow.halfWidth, -arrow.direction * arrow.length),
                                   tip + QPointF(arrow.halfWidth, -arrow.direction * arrow.length)};
        p_.drawPolygon(corners, 3);
    }

    // Drawn as lines under a clip, not with a pattern brush: Qt spaces those in device pixels,
    // which a 1200 dpi page makes a solid fill.
    void operator()(const ChartHatch& hatch) {
        p_.save();
        p_.setClipRect(Rect(hatch.box), Qt::IntersectClip);
        p_.setPen(QPen(Colour(hatch.colour), hatch.width));
        for (const auto& [from, to] : HatchLines(hatch)) p_.drawLine(Point(from), Point(to));
        p_.restore();
    }

    void operator()(const ChartText& text) {
        if (p_.font().pixelSize() != text.size) {
            QFont font = p_.font();
            font.setPixelSize(text.size);
            p_.setFont(font);
        }
        p_.setPen(Colour(kChartInk));
        const Qt::Alignment align = text.align == ChartAlign::Left     ? Qt::AlignLeft
                                    : text.align == ChartAlign::Centre ? Qt::AlignHCenter
                                                                       : Qt::AlignRight;
        const QString content = QString::fromStdString(text.text);
        if (text.rotation == 0 && text.origin.x == 0 && text.origin.y == 0) {
            p_.drawText(Rect(text.box), align | Qt::AlignVCenter, content);
            return;
        }
        p_.save();
        p_.translate(Point(text.origin));
        p_.rotate(text.rotation);
        p_.drawText(Rect(text.box), align | Qt::AlignVCenter, content);
        p_.restore();
    }

  private:
    QPainter& p_;
};

}  // namespace

QRectF ProfileChartPlotArea(const QRectF& bounds) {
    return Rect(ChartPlotArea(bounds.width(), bounds.height())).translated(bounds.topLeft());
}

void PaintProfileChart(QPainter& painter, const QRectF& bounds, const ScoringResults& results,
                       const ScoringOptions& options) {
    const ChartGeometry geometry =
        ProfileChartGeometry(results, options, bounds.width(), bounds.height());
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.translate(bounds.topLeft());
    painter.setFont(DesignFont(QString::fromLatin1(kChartFontFamily), 10));
    ChartPainter paint(painter);
    for (const ChartItem& item : geometry.items) std::visit(paint, item.shape);
    painter.restore();
}

}  // namespace orvale
