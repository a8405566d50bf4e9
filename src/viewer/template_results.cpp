// SPDX-License-Identifier: GPL-3.0-or-later
#include "viewer/template_results.h"

#include <QCloseEvent>
#include <QFrame>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QTextBlock>

#include "desktop/design_layout.h"
#include "desktop/fonts.h"
#include "desktop/platform.h"
#include "desktop/run_guarded.h"
#include "desktop/user_files.h"
#include "desktop/window_design.h"
#include "report/results_memo.h"
#include "viewer/text_device.h"

namespace orvale {

namespace {

constexpr int kClientHeight = 554;  // the designed client area, in pixels at 96 dpi

const char* const kNoPrinterMessage = "There is no default printer currently selected";
const char* const kNoSelectionMessage = "You have not selected any text.";

// QTextCursor's selections and the document's raw text have paragraph separators in place of
// line breaks.
QString PlainSelection(const QString& selected) {
    QString text = selected;
    text.replace(QChar::ParagraphSeparator, u'\n').replace(QChar::LineSeparator, u'\n');
    return text;
}

}  // namespace

TfrmTemplateResults::TfrmTemplateResults(Platform& platform, QWidget* parent)
    : QMainWindow(parent),
      platform_(platform),
      saveFileName_(kDefaultResultsFileName),
      pdfFileName_(kDefaultPdfFileName),
      odtFileName_(kDefaultOdtFileName) {
    setObjectName(QStringLiteral("frmTemplateResults"));
    // No system menu and no title-bar buttons.
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::MSWindowsFixedSizeDialogHint);
    setWindowTitle(QStringLiteral("Output"));
    setFont(FollowUserFont(DesignFont(QStringLiteral("MS Sans Serif"), 11)));
    BuildControls();
    memoResults->clear();
}

TfrmTemplateResults::~TfrmTemplateResults() = default;

void TfrmTemplateResults::BuildControls() {
    // The designed client area scrolls when the screen is too small for it, as on the worksheet.
    auto* client = new QWidget;
    client->setObjectName(QStringLiteral("clientArea"));
    client->setFixedSize(kClientWidth, kClientHeight);
    setCentralWidget(MakeClientScrollArea(client, this));

    Panel1 = new QFrame(client);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->setGeometry(12, 2, 765, 468);
    Panel1->setFrameStyle(QFrame::Panel | QFrame::Raised);

    memoResults = new QPlainTextEdit(Panel1);
    memoResults->setObjectName(QStringLiteral("memoResults"));
    memoResults->setGeometry(8, 8, 749, 452);
    memoResults->setFont(FollowUserFont(FixedPitchFont(12)));
    memoResults->document()->setDocumentMargin(2);
    memoResults->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    memoResults->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    memoResults->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    memoResults->setTabChangesFocus(true);
    // The selection stays visible (in the same colours) when the focus moves to a button.
    QPalette memoPalette = memoResults->palette();
    memoPalette.setColor(QPalette::Text, Qt::black);
    for (const QPalette::ColorRole role : {QPalette::Highlight, QPalette::HighlightedText}) {
        memoPalette.setColor(QPalette::Inactive, role, memoPalette.color(QPalette::Active, role));
    }
    memoResults->setPalette(memoPalette);

    Panel2 = new QFrame(client);
    Panel2->setObjectName(QStringLiteral("Panel2"));
    Panel2->setGeometry(12, 482, 765, 49);
    Panel2->setFrameStyle(QFrame::Panel | QFrame::Sunken);

    const QFont buttonFont = FollowUserFont(DesignFont(QStringLiteral("System"), 13, true));
    const auto makeButton = [client, &buttonFont](const char* name, const char* caption, int left) {
        auto* button = new QPushButton(QString::fromLatin1(caption), client);
        button->setObjectName(QString::fromLatin1(name));
        button->setGeometry(left, 488, 161, 37);
        button->setFont(buttonFont);
        button->setAutoDefault(false);
        return button;
    };
    cmdSaveOutput = makeButton("cmdSaveOutput", "Save Output", 28);
    cmdClearResults = makeButton("cmdClearResults", "Clear Results", 220);
    cmdReturn = makeButton("cmdReturn", "Return to Worksheet", 411);
    cmdExit = makeButton("cmdExit", "Exit", 603);
    connect(cmdSaveOutput, &QPushButton::clicked, this, &TfrmTemplateResults::cmdSaveOutputClick);
    connect(cmdClearResults, &QPushButton::clicked, this,
            &TfrmTemplateResults::cmdClearResultsClick);
    connect(cmdReturn, &QPushButton::clicked, this, &TfrmTemplateResults::cmdReturnClick);
    connect(cmdExit, &QPushButton::clicked, this, &TfrmTemplateResults::cmdExitClick);
    setTabOrder(memoResults, cmdSaveOutput);
    setTabOrder(cmdSaveOutput, cmdClearResults);
    setTabOrder(cmdClearResults, cmdReturn);
    setTabOrder(cmdReturn, cmdExit);
    cmdReturn->setFocus();

    QMenu* File1 = menuBar()->addMenu(QStringLiteral("&Printer options..."));
    File1->setObjectName(QStringLiteral("File1"));
    mnuPrint = File1->addAction(QStringLiteral("Print &All"));
    mnuPrint->setObjectName(QStringLiteral("mnuPrint"));
    mnuPrintSelection = File1->addAction(QStringLiteral("Print &Selection"));
    mnuPrintSelection->setObjectName(QStringLiteral("mnuPrintSelection"));
    connect(mnuPrint, &QAction::triggered, this, &TfrmTemplateResults::mnuPrintClick);
    connect(mnuPrintSelection, &QAction::triggered, this,
            &TfrmTemplateResults::mnuPrintSelectionClick);
    BuildReportMenu();

    AddKeyboardAndPrintDialogs(File1);

    ScaleDesignLayout(client);
    FitWindowToScreen(this,
                      QSize(client->width(), client->height() + menuBar()->sizeHint().height()));
}

// The memo's text as typed: its lines joined by '\n', no-break spaces kept
// (QPlainTextEdit::toPlainText would turn them into blanks, so that a saved, printed, exported or
// copied report would differ from the notes the user typed).
QString TfrmTemplateResults::MemoPlainText() const {
    return PlainSelection(memoResults->document()->toRawText());
}

// The selected part of the memo, as typed.
QString TfrmTemplateResults::MemoSelectionText() const {
    return PlainSelection(memoResults->textCursor().selectedText());
}

std::string TfrmTemplateResults::MemoText() const {
    return MemoPlainText().toStdString();
}

void TfrmTemplateResults::AppendReport(const ReportInput& input) {
    setWindowTitle(QString::fromLatin1(kResultsCaptionPrefix) + QString::fromLatin1(kProgramTitle));
    // A report that cannot be composed is shown as an error; the memo keeps what it holds.
    std::string chunk;
    if (!RunGuarded(platform_, [&] { chunk = ReportToAppend(MemoText(), input); })) return;

    QTextDocument* document = memoResults->document();
    QTextCursor cursor(document);
    cursor.movePosition(QTextCursor::End);
    const int firstNewBlock = cursor.blockNumber();
    cursor.insertText(QString::fromStdString(chunk));
    // Show the new report from its top.
    QTextCursor start(document->findBlockByNumber(firstNewBlock));
    memoResults->setTextCursor(start);
    memoResults->verticalScrollBar()->setValue(memoResults->verticalScrollBar()->maximum());
    memoResults->ensureCursorVisible();
    SetLatestCompute(input);
}

QByteArray TfrmTemplateResults::MemoTextForFile() const {
    const std::string text = ResultsFileText(MemoText());
    return QByteArray(text.data(), static_cast<qsizetype>(text.size()));
}

void TfrmTemplateResults::cmdSaveOutputClick() {
    const std::optional<QString> chosen =
        platform_.GetSaveFileName(this, saveFileName_, QStringLiteral("*.txt"));
    if (!chosen) return;
    saveFileName_ = *chosen;
    std::optional<QString> reason;
    if (!RunGuarded(platform_, [&] { reason = WriteWholeFile(*chosen, MemoTextForFile()); })) {
        return;
    }
    if (reason) {
        platform_.ShowError(
            QStringLiteral("The results could not be saved to %1: %2").arg(*chosen, *reason));
    }
}

void TfrmTemplateResults::cmdClearResultsClick() {
    memoResults->clear();
    SetLatestCompute(std::nullopt);
}

void TfrmTemplateResults::cmdReturnClick() {
    hide();
    if (worksheet_ != nullptr) worksheet_->show();
}

void TfrmTemplateResults::cmdExitClick() {
    if (platform_.Confirm(QString::fromLatin1(kExitQuestion)) && (!exitCheck_ || exitCheck_())) {
        platform_.EndApplication();
    }
}

void TfrmTemplateResults::mnuPrintClick() {
    PrintText(MemoPlainText());
}

void TfrmTemplateResults::mnuPrintSelectionClick() {
    const QTextCursor cursor = memoResults->textCursor();
    if (!cursor.hasSelection()) {
        platform_.ShowWarning(QString::fromLatin1(kNoSelectionMessage));
        return;
    }
    PrintText(MemoSelectionText());
}

void TfrmTemplateResults::PrintText(const QString& text) {
    QPrinter* printer = platform_.DefaultPrinter();
    if (printer == nullptr) {
        platform_.ShowError(QString::fromLatin1(kNoPrinterMessage));
        return;
    }
    PrintGuarded(*printer, text);
}

void TfrmTemplateResults::PrintGuarded(QPrinter& printer, const QString& text) {
    std::optional<QString> error;
    if (RunGuarded(platform_, [&] { error = PrintOnTextDevice(printer, text + u'\n'); }) && error) {
        platform_.ShowError(*error);
    }
}

void TfrmTemplateResults::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    raise();
    activateWindow();
}

void TfrmTemplateResults::closeEvent(QCloseEvent* event) {
    // The window has no close box; a close from elsewhere returns to the worksheet instead of
    // leaving the program with no window.
    event->ignore();
    cmdReturnClick();
}

}  // namespace orvale
