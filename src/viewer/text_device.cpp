// SPDX-License-Identifier: GPL-3.0-or-later
#include "viewer/text_device.h"

#include <QFontMetrics>
#include <QPainter>
#include <QPrinter>

#include "desktop/fonts.h"

namespace orvale {

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
    std::vector<PrintedLine> lines = LayoutTextDevice(
        text, FontTextDeviceMetrics(fontMetrics, printer.width(), printer.height()));
    // The pages chosen in the print dialog (1-based); none chosen means every page. The chosen
    // pages are printed one after another, without blank sheets for the others.
    const QPageRanges ranges = printer.pageRanges();
    if (!ranges.isEmpty()) {
        std::vector<PrintedLine> chosen;
        int lastPage = -1;
        int printedPage = -1;
        for (PrintedLine line : lines) {
            if (!ranges.contains(line.page + 1)) continue;
            if (line.page != lastPage) ++printedPage, lastPage = line.page;
            line.page = printedPage;
            chosen.push_back(std::move(line));
        }
        lines = std::move(chosen);
    }
    PaintLaidOutText(painter, printer, lines, QPoint(0, 0));
    painter.end();
    return std::nullopt;
}

}  // namespace orvale
