#include "report/viewer/text_device.h"

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
    const std::vector<PrintedLine> lines = LayoutTextDevice(
        text, FontTextDeviceMetrics(fontMetrics, printer.width(), printer.height()));
    PaintLaidOutText(painter, printer, lines, QPoint(0, 0));
    painter.end();
    return std::nullopt;
}

}  // namespace orvale
