// SPDX-License-Identifier: GPL-3.0-or-later
#include "report/chart_svg.h"

#include <cmath>
#include <cstdio>
#include <string_view>
#include <variant>
#include <vector>

#include "numeric/number_format.h"

namespace orvale {

namespace {

// A coordinate or length: three decimals at most, no trailing zeros, a point as the separator.
std::string Number(double value) {
    std::string text = FormatFixed(value, 0, 3);
    while (text.back() == '0') text.pop_back();
    if (text.back() == '.') text.pop_back();
    return text;
}

std::string Colour(ChartColour colour) {
    char text[8];
    std::snprintf(text, sizeof text, "#%02x%02x%02x", colour.red, colour.green, colour.blue);
    return text;
}

std::string Escaped(std::string_view text) {
    std::string escaped;
    for (const char c : text) {
        switch (c) {
            case '&':
                escaped += "&amp;";
                break;
            case '<':
                escaped += "&lt;";
                break;
            case '>':
                escaped += "&gt;";
                break;
            case '"':
                escaped += "&quot;";
                break;
            case '\'':
                escaped += "&apos;";
                break;
            default:
                escaped += c;
        }
    }
    return escaped;
}

// Writes one element: its name, then name="value" pairs, then Close() for an empty element or
// Open() for one with content.
class Element {
  public:
    Element(std::string& out, const char* name) : out_(out) { out_.append("<").append(name); }
    Element& Attribute(const char* name, const std::string& value) {
        out_.append(" ").append(name).append("=\"").append(value).append("\"");
        return *this;
    }
    Element& Attribute(const char* name, double value) { return Attribute(name, Number(value)); }
    void Close() { out_.append("/>\n"); }
    void Open() { out_.append(">"); }

  private:
    std::string& out_;
};

std::string Points(const std::vector<ChartPoint>& points) {
    std::string text;
    for (const ChartPoint& point : points) {
        if (!text.empty()) text += ' ';
        text += Number(point.x) + ',' + Number(point.y);
    }
    return text;
}

// The part of polygon (convex) where a x + b y <= c.
std::vector<ChartPoint> Clipped(const std::vector<ChartPoint>& polygon, double a, double b,
                                double c) {
    std::vector<ChartPoint> kept;
    for (std::size_t i = 0; i < polygon.size(); ++i) {
        const ChartPoint& p = polygon[i];
        const ChartPoint& q = polygon[(i + 1) % polygon.size()];
        const double dp = a * p.x + b * p.y - c;
        const double dq = a * q.x + b * q.y - c;
        if (dp <= 0) kept.push_back(p);
        if ((dp < 0 && dq > 0) || (dp > 0 && dq < 0)) {
            const double t = dp / (dp - dq);
            kept.push_back({p.x + t * (q.x - p.x), p.y + t * (q.y - p.y)});
        }
    }
    return kept;
}

// The hatching as the filled outlines of its strokes cut to its box: a reader without clipping
// paths shows it as the desktop does.
void Write(std::string& out, const ChartHatch& hatch) {
    const ChartBox& box = hatch.box;
    const std::vector<ChartPoint> corners = {
        {box.x, box.y}, {box.right(), box.y}, {box.right(), box.bottom()}, {box.x, box.bottom()}};
    // Along a 45-degree line x + y is constant; the stroke covers x + y within width / sqrt 2.
    const double reach = hatch.width / std::sqrt(2.0);
    std::string path;
    for (const auto& [from, to] : HatchLines(hatch)) {
        const double k = from.x + from.y;
        const std::vector<ChartPoint> stroke =
            Clipped(Clipped(corners, 1, 1, k + reach), -1, -1, -(k - reach));
        if (stroke.size() < 3) continue;
        path += path.empty() ? "M" : " M";
        path += Points(stroke) + " Z";
    }
    if (!path.empty()) {
        Element(out, "path").Attribute("d", path).Attribute("fill", Colour(hatch.colour)).Close();
    }
}

void Write(std::string& out, const ChartText& text) {
    const ChartBox& box = text.box;
    const double x = text.align == ChartAlign::Left     ? box.x
                     : text.align == ChartAlign::Centre ? box.centre().x
                                                        : box.right();
    Element element(out, "text");
    element.Attribute("x", x).Attribute("y", ChartTextBaseline(text));
    element.Attribute("font-size", text.size);
    if (text.align != ChartAlign::Left) {
        element.Attribute("text-anchor", text.align == ChartAlign::Centre ? "middle" : "end");
    }
    if (text.rotation != 0 || text.origin.x != 0 || text.origin.y != 0) {
        element.Attribute("transform", "translate(" + Number(text.origin.x) + "," +
                                           Number(text.origin.y) + ") rotate(" +
                                           Number(text.rotation) + ")");
    }
    element.Open();
    out += Escaped(text.text) + "</text>\n";
}

void Write(std::string& out, const ChartLine& line) {
    Element element(out, "line");
    element.Attribute("x1", line.from.x).Attribute("y1", line.from.y);
    element.Attribute("x2", line.to.x).Attribute("y2", line.to.y);
    element.Attribute("stroke", Colour(line.colour)).Attribute("stroke-width", line.width);
    if (line.dashed) {
        element.Attribute("stroke-dasharray",
                          Number(4 * line.width) + "," + Number(2 * line.width));
    }
    element.Close();
}

void Write(std::string& out, const ChartRect& rect) {
    Element element(out, "rect");
    element.Attribute("x", rect.box.x).Attribute("y", rect.box.y);
    element.Attribute("width", rect.box.width).Attribute("height", rect.box.height);
    element.Attribute("fill", rect.fill ? Colour(*rect.fill) : "none");
    if (rect.outline) {
        element.Attribute("stroke", Colour(*rect.outline));
        element.Attribute("stroke-width", rect.outlineWidth);
    }
    element.Close();
}

// Markers and arrowheads take the default fill, black: the ink.
void Write(std::string& out, const ChartMarker& marker) {
    const ChartPoint c = marker.centre;
    const double r = marker.radius;
    if (marker.shape == ChartMarkerShape::Circle) {
        Element(out, "circle").Attribute("cx", c.x).Attribute("cy", c.y).Attribute("r", r).Close();
    } else if (marker.shape == ChartMarkerShape::Square) {
        Element element(out, "rect");
        element.Attribute("x", c.x - r).Attribute("y", c.y - r);
        element.Attribute("width", 2 * r).Attribute("height", 2 * r).Close();
    } else {
        const double d = r * 1.3;
        Element(out, "polygon")
            .Attribute("points",
                       Points({{c.x, c.y - d}, {c.x + d, c.y}, {c.x, c.y + d}, {c.x - d, c.y}}))
            .Close();
    }
}

void Write(std::string& out, const ChartArrowhead& arrow) {
    const ChartPoint t = arrow.tip;
    const double baseY = t.y - arrow.direction * arrow.length;
    Element(out, "polygon")
        .Attribute("points",
                   Points({t, {t.x - arrow.halfWidth, baseY}, {t.x + arrow.halfWidth, baseY}}))
        .Close();
}

}  // namespace

std::string ChartSvg(const ChartGeometry& geometry) {
    std::string out = "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"no\"?>\n";
    const std::string width = Number(geometry.width);
    const std::string height = Number(geometry.height);
    Element(out, "svg")
        .Attribute("xmlns", "http://www.w3.org/2000/svg")
        .Attribute("version", "1.1")
        .Attribute("width", width)
        .Attribute("height", height)
        .Attribute("viewBox", "0 0 " + width + " " + height)
        .Open();
    out += "\n<title>Index profile</title>\n";
    // Text is in ink (the default fill) and the design font or its stand-ins.
    Element(out, "g").Attribute("font-family", kChartFontFamilies).Open();
    out += "\n";
    for (const ChartItem& item : geometry.items) {
        std::visit([&out](const auto& shape) { Write(out, shape); }, item.shape);
    }
    out += "</g>\n</svg>\n";
    return out;
}

std::string ProfileChartSvg(const ScoringResults& results, const ScoringOptions& options) {
    return ChartSvg(ProfileChartGeometry(results, options, kChartDesignWidth, kChartDesignHeight));
}

}  // namespace orvale
