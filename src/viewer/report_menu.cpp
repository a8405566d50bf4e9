// SPDX-License-Identifier: GPL-3.0-or-later
// The results viewer's Report and Help menus: the profile chart window, the PDF and OpenDocument
// exports, Copy Report and the About box. Part of TfrmTemplateResults (template_results.h).
#include <QAction>
#include <QMenuBar>
#include <QPlainTextEdit>

#include "desktop/platform.h"
#include "desktop/run_guarded.h"
#include "desktop/user_files.h"
#include "report/program_info.h"
#include "viewer/chart_window.h"
#include "viewer/template_results.h"

namespace orvale {

void TfrmTemplateResults::BuildReportMenu() {
    QMenu* menuReport = menuBar()->addMenu(QStringLiteral("&Report"));
    menuReport->setObjectName(QStringLiteral("mnuReport"));
    const auto add = [this, menuReport](const char* name, const char* caption, auto slot) {
        QAction* action = menuReport->addAction(QString::fromLatin1(caption));
        action->setObjectName(QString::fromLatin1(name));
        connect(action, &QAction::triggered, this, slot);
        return action;
    };
    mnuProfileChart =
        add("mnuProfileChart", "Profile &Chart...", &TfrmTemplateResults::mnuProfileChartClick);
    mnuExportPdf = add("mnuExportPdf", "Export P&DF...", &TfrmTemplateResults::mnuExportPdfClick);
    mnuExportOdt =
        add("mnuExportOdt", "Export &OpenDocument...", &TfrmTemplateResults::mnuExportOdtClick);
    mnuCopyReport = add("mnuCopyReport", "Cop&y Report", &TfrmTemplateResults::mnuCopyReportClick);

    QMenu* menuHelp = menuBar()->addMenu(QStringLiteral("&Help"));
    menuHelp->setObjectName(QStringLiteral("mnuHelp"));
    mnuAbout = menuHelp->addAction(QStringLiteral("&About ORVALE..."));
    mnuAbout->setObjectName(QStringLiteral("mnuAbout"));
    connect(mnuAbout, &QAction::triggered, this, &TfrmTemplateResults::mnuAboutClick);
    SetLatestCompute(std::nullopt);
}

void TfrmTemplateResults::SetLatestCompute(std::optional<ReportInput> latest) {
    latest_ = std::move(latest);
    for (QAction* action : {mnuProfileChart, mnuExportPdf, mnuExportOdt, mnuCopyReport}) {
        action->setEnabled(latest_.has_value());
    }
    if (chartWindow_ == nullptr) return;
    if (latest_) {
        chartWindow_->SetResults(latest_->results, latest_->options);
    } else {
        chartWindow_->hide();  // nothing left to show
    }
}

QStringList TfrmTemplateResults::MemoLines() const {
    QStringList lines = MemoPlainText().split(u'\n');
    if (!lines.isEmpty() && lines.constLast().isEmpty()) lines.removeLast();
    return lines;
}

void TfrmTemplateResults::mnuProfileChartClick() {
    if (!latest_) return;
    if (chartWindow_ == nullptr) chartWindow_ = new ChartWindow(platform_, this);
    chartWindow_->SetResults(latest_->results, latest_->options);
    chartWindow_->show();
    chartWindow_->raise();
    chartWindow_->activateWindow();
}

void TfrmTemplateResults::ExportDocument(QString& lastName, const QString& suffix,
                                         QByteArray (*render)(const ReportDocument&)) {
    if (!latest_) return;
    // A name typed without an extension gets the document's, so the file opens as what it is.
    const std::optional<QString> chosen =
        platform_.GetSaveFileNameWithSuffix(this, lastName, u'*' + suffix, suffix);
    if (!chosen) return;
    lastName = *chosen;
    std::optional<QString> reason;
    if (!RunGuarded(platform_, [&] {
            const ReportDocument document{MemoLines(), latest_->results, latest_->options,
                                          std::chrono::system_clock::now()};
            reason = WriteWholeFile(*chosen, render(document));
        })) {
        return;
    }
    if (reason) {
        platform_.ShowError(
            QStringLiteral("The report could not be exported to %1: %2").arg(*chosen, *reason));
    }
}

void TfrmTemplateResults::mnuExportPdfClick() {
    ExportDocument(pdfFileName_, QStringLiteral(".pdf"),
                   [](const ReportDocument& document) { return RenderReportPdf(document); });
}

void TfrmTemplateResults::mnuExportOdtClick() {
    ExportDocument(odtFileName_, QStringLiteral(".odt"), &RenderReportOdt);
}

void TfrmTemplateResults::mnuCopyReportClick() {
    if (latest_) platform_.SetClipboardText(MemoPlainText());
}

void TfrmTemplateResults::mnuAboutClick() {
    platform_.ShowAbout(QStringLiteral("About ORVALE"), QString::fromStdString(AboutText()));
}

}  // namespace orvale
