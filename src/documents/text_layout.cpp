// SPDX-License-Identifier: GPL-3.0-or-later
#include "documents/text_layout.h"

#include <QFontMetrics>
#include <QPagedPaintDevice>
#include <QPainter>

namespace orvale {

namespace {

constexpr int kLineGap = 2;   // device pixels added below every line that holds text
constexpr int kTabWidth = 8;  // columns between tab stops

QString ExpandTabs(const QString& line) {
    if (!line.contains(u'\t')) return line;
    QString expanded;
    for (const QChar c : line) {
        if (c == u'\t') {
            expanded.append(QString(kTabWidth - expanded.size() % kTabWidth, u' '));
        } else {
            expanded.append(c);
        }
    }
    return expanded;
}

// Length of the longest prefix of text that fits width; at least one character.
qsizetype FittingLength(const QString& text, const TextDeviceMetrics& metrics) {
    if (metrics.textWidth(text) <= metrics.pageWidth) return text.size();
    qsizetype low = 1;  // fits, or must be taken anyway
    qsizetype high = text.size();
    while (high - low > 1) {
        const qsizetype middle = (low + high) / 2;
        if (metrics.textWidth(text.left(middle)) <= metrics.pageWidth) {
            low = middle;
        } else {
            high = middle;
        }
    }
    return low;
}

}  // namespace

std::vector<PrintedLine> LayoutTextDevice(const QString& text, const TextDeviceMetrics& metrics) {
    std::vector<PrintedLine> printed;
    int page = 0;
    int top = 0;
    const auto lineBreak = [&](int lineHeight) {
        top += lineHeight;
        if (top > metrics.pageHeight - 2 * lineHeight) {
            ++page;
            top = 0;
        }
    };
    const QStringList lines = text.split(u'\n');
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QStringList segments = lines[i].split(u'\f');
        for (qsizetype s = 0; s < segments.size(); ++s) {
            if (s > 0) {
                ++page;
                top = 0;
            }
            QString rest = ExpandTabs(segments[s]);
            while (!rest.isEmpty()) {
                const qsizetype length = FittingLength(rest, metrics);
                printed.push_back({page, top, rest.left(length)});
                rest.remove(0, length);
                if (!rest.isEmpty()) lineBreak(metrics.fontHeight + kLineGap);
            }
        }
        if (i + 1 < lines.size()) {
            lineBreak(segments.constLast().isEmpty() ? metrics.fontHeight
                                                     : metrics.fontHeight + kLineGap);
        }
    }
    return printed;
}

TextDeviceMetrics FontTextDeviceMetrics(const QFontMetrics& font, int pageWidth, int pageHeight) {
    return {[font](const QString& line) { return font.horizontalAdvance(line); }, font.height(),
            pageWidth, pageHeight};
}

void PaintLaidOutText(QPainter& painter, QPagedPaintDevice& device,
                      const std::vector<PrintedLine>& lines, QPoint origin,
                      const std::function<void(int page)>& finishPage) {
    const int ascent = QFontMetrics(painter.font(), &device).ascent();
    const int pages = LayoutPageCount(lines);
    auto line = lines.begin();
    for (int page = 0; page < pages; ++page) {
        if (page > 0) device.newPage();
        for (; line != lines.end() && line->page == page; ++line) {
            painter.drawText(origin.x(), origin.y() + line->top + ascent, line->text);
        }
        if (finishPage) finishPage(page);
    }
}

int LayoutPageCount(const std::vector<PrintedLine>& lines) {
    return lines.empty() ? 1 : lines.back().page + 1;
}

}  // namespace orvale
