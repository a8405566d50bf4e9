// Printing plain text the way a line printer would: top left of the printable area, one line
// after another in a fixed font, long lines broken at the page edge, a new page when the next
// line would start too near the bottom. The layout is a pure function so its rules are testable
// without a printer.
#pragma once

#include <QString>
#include <functional>
#include <optional>
#include <vector>

class QPrinter;

namespace orvale {

struct TextDeviceMetrics {
    std::function<int(const QString&)> textWidth;  // device pixels
    int fontHeight = 0;                            // character height of the font
    int pageWidth = 0;                             // printable area
    int pageHeight = 0;
};

struct PrintedLine {
    int page = 0;  // from 0
    int top = 0;   // device pixels from the top of the printable area
    QString text;
};

// Lays out text ("\n" separated). A line is as high as its text plus 2 device pixels, an empty
// line as high as the font. Tabs advance to the next multiple of eight columns; a form feed
// starts a new page.
std::vector<PrintedLine> LayoutTextDevice(const QString& text, const TextDeviceMetrics& metrics);

// Prints text on printer in "Courier New" at 8 points, measured with the printer's metrics.
// The error message when the print job could not be started.
std::optional<QString> PrintOnTextDevice(QPrinter& printer, const QString& text);

}  // namespace orvale
