// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/case_output.h"

#include <QFile>
#include <QGuiApplication>

#include "files/whole_file.h"

namespace orvale::cli {

QByteArray RenderCaseDocument(OutputFormat format, const ReportDocument& document) {
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
    return format == OutputFormat::Pdf ? RenderReportPdf(document) : RenderReportOdt(document);
}

int Deliver(const std::optional<std::string>& outputFile, const QByteArray& bytes, Output& out,
            std::FILE* err) {
    if (!outputFile) {
        out.Write(std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
        return kExitOk;  // a failed write is reported when the output is finished
    }
    const QString path = QFile::decodeName(QByteArray::fromStdString(*outputFile));
    if (const std::optional<QString> reason =
            WriteWholeFile(path, bytes, LinkAtPath::WriteThrough, PipeReader::AwaitIt)) {
        std::fprintf(err, "orvale-score: cannot write %s: %s\n", outputFile->c_str(),
                     reason->toLocal8Bit().constData());
        return kExitUsage;
    }
    return kExitOk;
}

}  // namespace orvale::cli
