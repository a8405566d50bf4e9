// SPDX-License-Identifier: GPL-3.0-or-later
// The line-printer layout of plain text: top left of the printable area, one line after another
// in a fixed font, long lines broken at the page edge, a new page when the next line would start
// too near the bottom. Pure arithmetic over font metrics; printing and the PDF export share it.
#pragma once

#include <QPoint>
#include <QString>
#include <functional>
#include <vector>

class QFontMetrics;
class QPagedPaintDevice;
class QPainter;

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

// The metrics of a font (measured on the device it paints on) for a printable area.
TextDeviceMetrics FontTextDeviceMetrics(const QFontMetrics& font, int pageWidth, int pageHeight);

// Paints laid-out lines with painter's font, origin being the top left of the printable area,
// starting a new page of device whenever the layout does. finishPage, when given, runs once per
// page just before the page is left or the text ends (page footers); it gets the page number
// from 0.
void PaintLaidOutText(QPainter& painter, QPagedPaintDevice& device,
                      const std::vector<PrintedLine>& lines, QPoint origin,
                      const std::function<void(int page)>& finishPage = {});

// Pages the layout fills (at least one: an empty text still prints a blank page).
int LayoutPageCount(const std::vector<PrintedLine>& lines);

}  // namespace orvale
