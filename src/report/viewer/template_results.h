// The results viewer: an editable memo that collects the reports of every Compute, with Save
// Output, Clear Results, Return to Worksheet, Exit and the print menu. It has no close box; a
// window manager that closes it anyway gets Return to Worksheet, so a window always shows.
#pragma once

#include <QMainWindow>
#include <functional>

#include "report/compose.h"

class QAction;
class QFrame;
class QMenu;
class QPlainTextEdit;
class QPushButton;

namespace orvale {

class Platform;

inline constexpr const char* kResultsCaptionPrefix = "Results viewer: ";
inline constexpr const char* kDefaultResultsFileName = "results.txt";

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

  public slots:
    void cmdSaveOutputClick();
    void cmdClearResultsClick();
    void cmdReturnClick();
    void cmdExitClick();
    void mnuPrintClick();
    void mnuPrintSelectionClick();
    // Print... (the system print dialog) and Print Preview... (template_results_keys.cpp).
    void mnuPrintDialogClick();
    void mnuPrintPreviewClick();

  protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

  private:
    void BuildControls();
    void PrintText(const QString& text);
    // Print..., Print Preview..., the shortcuts, accessible names and the keyboard rules.
    void AddKeyboardAndPrintDialogs(QMenu* printMenu);

    Platform& platform_;
    QWidget* worksheet_ = nullptr;
    std::function<bool()> exitCheck_;
    QString saveFileName_;  // offered by the next Save Output

    QFrame* Panel1 = nullptr;
    QPlainTextEdit* memoResults = nullptr;
    QFrame* Panel2 = nullptr;
    QPushButton* cmdSaveOutput = nullptr;
    QPushButton* cmdClearResults = nullptr;
    QPushButton* cmdReturn = nullptr;
    QPushButton* cmdExit = nullptr;
    QAction* mnuPrint = nullptr;
    QAction* mnuPrintSelection = nullptr;
};

}  // namespace orvale
