// SPDX-License-Identifier: GPL-3.0-or-later
// Where and how orvale-score hands over what it made: the report's documents rendered under an
// offscreen GUI application (no display needed), and the bytes written to standard output or,
// whole and through a temporary file, to the --output file.
#pragma once

#include <QByteArray>
#include <cstdio>
#include <optional>
#include <string>

#include "cli/command_line.h"
#include "cli/output.h"
#include "report/report_document.h"

namespace orvale::cli {

// The PDF or OpenDocument text of document (format Pdf or Odt), the same as the desktop program
// exports for the same memo.
QByteArray RenderCaseDocument(OutputFormat format, const ReportDocument& document);

// Writes bytes to outputFile, or to out when there is none. kExitOk, or kExitUsage after a
// message on err (the old file is then untouched).
int Deliver(const std::optional<std::string>& outputFile, const QByteArray& bytes, Output& out,
            std::FILE* err);

}  // namespace orvale::cli
