#include "report/viewer/text_device.h"

#include <QFontMetrics>
#include <QPainter>
#include <QPrinter>

#include "desktop/fonts.h"

namespace orvale {

namespace {

constexpr int kLineGap = 2;   // device pixels added below every line that holds text
constexpr int kTabWidth = 8;  // columns between tab stops
constexpr int kPrintPointSize = 8;

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

std::optional<QString> PrintOnTextDevice(QPrinter& printer, const QString& text) {
    const QFont font = FixedPitchPrintFont(kPrintPointSize);
    QPainter painter;
    if (!painter.begin(&printer)) {
        return QStringLiteral("The print job could not be started on %1.")
            .arg(printer.printerName().isEmpty() ? QStringLiteral("the printer")
                                                 : printer.printerName());
    }
    painter.setFont(font);
    const QFontMetrics fontMetrics(painter.font(), &printer);
    const TextDeviceMetrics metrics{
        [&fontMetrics](const QString& line) { return fontMetrics.horizontalAdvance(line); },
        fontMetrics.height(), printer.width(), printer.height()};
    // The pages chosen in the print dialog (1-based); none chosen means every page.
    const QPageRanges ranges = printer.pageRanges();
    const auto wanted = [&ranges](int page) {
        return ranges.isEmpty() || ranges.contains(page + 1);
    };
    int page = -1;  // the page being painted; none yet
    for (const PrintedLine& line : LayoutTextDevice(text, metrics)) {
        if (!wanted(line.page)) continue;
        if (page < 0) page = ranges.isEmpty() ? 0 : line.page;
        while (page < line.page) {
            ++page;
            if (wanted(page)) printer.newPage();
        }
        painter.drawText(0, line.top + fontMetrics.ascent(), line.text);
    }
    painter.end();
    return std::nullopt;
}

}  // namespace orvale
