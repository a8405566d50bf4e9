// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/document_output.h"

#include <QGuiApplication>
#include <chrono>
#include <cstdio>

#include "documents/report_document.h"

namespace orvale::cli {

std::string RenderCaseDocument(OutputFormat format, const std::vector<std::string>& lines,
                               const ScoringResults& results, const ScoringOptions& options) {
    // Fonts and painting need a GUI application; the offscreen platform needs no display, so
    // the scorer runs on a server or in a script whatever DISPLAY says.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "orvale-score";
    static char* argv[] = {name, nullptr};
    // Qt's notes about its own set-up (a missing runtime folder) are no concern of the user's;
    // only its critical messages reach standard error.
    qInstallMessageHandler([](QtMsgType type, const QMessageLogContext&, const QString& message) {
        if (type == QtCriticalMsg || type == QtFatalMsg) {
            std::fprintf(stderr, "orvale-score: %s\n", message.toLocal8Bit().constData());
        }
    });
    QGuiApplication application(argc, argv);
    // The memo of the desktop program after a first report holds exactly these lines.
    ReportDocument document{{}, results, options, std::chrono::system_clock::now()};
    for (const std::string& line : lines) document.lines.append(QString::fromStdString(line));
    const QByteArray bytes =
        format == OutputFormat::Pdf ? RenderReportPdf(document) : RenderReportOdt(document);
    return bytes.toStdString();
}

}  // namespace orvale::cli
