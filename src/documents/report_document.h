// SPDX-License-Identifier: GPL-3.0-or-later
// The report as a document to file or hand on: the memo's text in the printer's fixed-pitch font
// with the profile chart of the latest Compute, as PDF/A-1b (QPdfWriter) or OpenDocument text
// (QTextDocumentWriter). Used by the viewer's exports and by orvale-score; needs a GUI application.
#pragma once

#include <QByteArray>
#include <QLocale>
#include <QPageSize>
#include <QStringList>
#include <chrono>

#include "documents/text_layout.h"
#include "engine/scoring.h"

namespace orvale {

// Title of the exported documents, in their document information.
inline constexpr const char* kDocumentTitle = "ORVALE report";

struct ReportDocument {
    QStringList lines;         // the memo's text as Save Output writes it, one entry per line
    ScoringResults results{};  // the latest Compute, for the chart
    ScoringOptions options{};
    std::chrono::system_clock::time_point exportedAt;  // in every page footer (ISO 8601)
};

// Letter where the locale measures in US units, A4 everywhere else.
QPageSize::PageSizeId PageSizeFor(const QLocale& locale);

// "ORVALE 1.0.0", the program and version as the documents' creator and footers name them.
QString ProgramAndVersion();

// The PDF of document on pages of the given size: the text laid out as the printer lays it out
// (the same font, size and page-break rule) in the area above the footer, then the chart on a
// page of its own; every page footed with the program and version, the export time and "page N
// of M".
QByteArray RenderReportPdf(const ReportDocument& document,
                           QPageSize::PageSizeId pageSize = PageSizeFor(QLocale()));

// The metrics the PDF's text is laid out with on pages of that size (the area above the footer).
TextDeviceMetrics PdfTextMetrics(QPageSize::PageSizeId pageSize);

// The OpenDocument text (.odt) of document: one monospace paragraph per line, then the chart as
// a picture on a new page and a line naming the program, its version and the export time.
// Two exports of one document differ only in that time (in content.xml and the archive's dates).
QByteArray RenderReportOdt(const ReportDocument& document);

}  // namespace orvale
