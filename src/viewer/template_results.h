// SPDX-License-Identifier: GPL-3.0-or-later
// The results viewer: an editable memo that collects the reports of every Compute, with Save
// Output, Clear Results, Return to Worksheet, Exit, the print menu, the Report menu (chart,
// exports, copy) and About. No close box: a close from elsewhere returns to the worksheet.
#pragma once

#include <QMainWindow>
#include <functional>
#include <optional>
#include <string>

#include "documents/report_document.h"
#include "report/compose.h"

class QAction;
class QFrame;
class QMenu;
class QPlainTextEdit;
class QPrinter;
class QPushButton;

namespace orvale {

class ChartWindow;
class Platform;

inline constexpr const char* kResultsCaptionPrefix = "Results viewer: ";
inline constexpr const char* kDefaultResultsFileName = "results.txt";
inline constexpr const char* kDefaultPdfFileName = "results.pdf";
inline constexpr const char* kDefaultOdtFileName = "results.odt";

class TfrmTemplateResults : public QMainWindow {
    Q_OBJECT
  public:
    explicit TfrmTemplateResults(Platform& platform, QWidget* parent = nullptr);
    ~TfrmTemplateResults() override;

    // The window Return to Worksheet shows again.
    void SetWorksheet(QWidget* worksheet) { worksheet_ = worksheet; }
    // Asked after "Exit from program?" is answered Yes; false keeps the program running.
    void SetExitCheck(std::function<bool()> check) { exitCheck_ = std::move(check); }

    // Sets the caption and appends one report (with the separator when the memo holds text).
    void AppendReport(const ReportInput& input);

    // The memo's text as a file holds it: every line ended by CR LF, the last one included.
    QByteArray MemoTextForFile() const;
    // The memo's text as typed, its lines joined by '\n' (no-break spaces kept); the selected
    // part of it likewise.
    std::string MemoText() const;
    QString MemoPlainText() const;
    QString MemoSelectionText() const;
    // The memo's text as the exports take it: its lines, without the empty one after the last
    // line break.
    QStringList MemoLines() const;
    // The chart window, once Profile Chart... has opened it.
    ChartWindow* chartWindow() const { return chartWindow_; }

  public slots:
    void cmdSaveOutputClick();
    void cmdClearResultsClick();
    void cmdReturnClick();
    void cmdExitClick();
    void mnuPrintClick();
    void mnuPrintSelectionClick();
    void mnuProfileChartClick();
    void mnuExportPdfClick();
    void mnuExportOdtClick();
    void mnuCopyReportClick();
    void mnuAboutClick();
    // Print... (the system print dialog) and Print Preview... (template_results_keys.cpp).
    void mnuPrintDialogClick();
    void mnuPrintPreviewClick();

  protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

  private:
    void BuildControls();
    // Prints text on the default printer.
    void PrintText(const QString& text);
    // Prints text with a final line break on printer; a failure is shown in the error box.
    void PrintGuarded(QPrinter& printer, const QString& text);
    void BuildReportMenu();
    // The Report menu works on the latest Compute; none after Clear Results.
    void SetLatestCompute(std::optional<ReportInput> latest);
    // Asks for a file name (offering and then remembering lastName) and writes the document
    // that render makes of the memo and the latest Compute.
    void ExportDocument(QString& lastName, const QString& suffix,
                        QByteArray (*render)(const ReportDocument&));

    // Print..., Print Preview..., the shortcuts, accessible names and the keyboard rules.
    void AddKeyboardAndPrintDialogs(QMenu* printMenu);

    Platform& platform_;
    QWidget* worksheet_ = nullptr;
    std::function<bool()> exitCheck_;
    QString saveFileName_;                // offered by the next Save Output
    QString pdfFileName_;                 // offered by the next Export PDF...
    QString odtFileName_;                 // offered by the next Export OpenDocument...
    std::optional<ReportInput> latest_;   // the latest Compute since start or Clear Results
    ChartWindow* chartWindow_ = nullptr;  // a child window, made by the first Profile Chart...

    QFrame* Panel1 = nullptr;
    QPlainTextEdit* memoResults = nullptr;
    QFrame* Panel2 = nullptr;
    QPushButton* cmdSaveOutput = nullptr;
    QPushButton* cmdClearResults = nullptr;
    QPushButton* cmdReturn = nullptr;
    QPushButton* cmdExit = nullptr;
    QAction* mnuPrint = nullptr;
    QAction* mnuPrintSelection = nullptr;
    QAction* mnuProfileChart = nullptr;
    QAction* mnuExportPdf = nullptr;
    QAction* mnuExportOdt = nullptr;
    QAction* mnuCopyReport = nullptr;
    QAction* mnuAbout = nullptr;
};

}  // namespace orvale
