// SPDX-License-Identifier: GPL-3.0-or-later
// The results viewer's keyboard and print dialogs: "Print..." with the system print dialog and
// "Print Preview..." in the print menu, shortcuts for the buttons (their captions stay as they
// are), accessible names, and modified letters kept out of the report.
#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPrinter>
#include <QPushButton>
#include <QShortcut>
#include <QTextDocumentFragment>

#include "desktop/keyboard.h"
#include "desktop/platform.h"
#include "desktop/run_guarded.h"
#include "viewer/template_results.h"
#include "viewer/text_device.h"

namespace orvale {

void TfrmTemplateResults::AddKeyboardAndPrintDialogs(QMenu* printMenu) {
    printMenu->addSeparator();
    QAction* dialog = printMenu->addAction(QStringLiteral("Print..."));
    dialog->setObjectName(QStringLiteral("mnuPrintDialog"));
    dialog->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_P));
    connect(dialog, &QAction::triggered, this, &TfrmTemplateResults::mnuPrintDialogClick);
    QAction* preview = printMenu->addAction(QStringLiteral("Print Preview..."));
    preview->setObjectName(QStringLiteral("mnuPrintPreview"));
    connect(preview, &QAction::triggered, this, &TfrmTemplateResults::mnuPrintPreviewClick);
    mnuPrint->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_P));

    const auto shortcut = [this](QKeySequence keys, QPushButton* button, const QString& tip) {
        auto* key = new QShortcut(keys, this);
        connect(key, &QShortcut::activated, button, &QPushButton::click);
        button->setToolTip(tip);
    };
    shortcut(QKeySequence(Qt::CTRL | Qt::Key_S), cmdSaveOutput,
             QStringLiteral("Save Output (Ctrl+S)"));
    shortcut(QKeySequence(Qt::Key_Escape), cmdReturn, QStringLiteral("Return to Worksheet (Esc)"));
    shortcut(QKeySequence(Qt::CTRL | Qt::Key_Q), cmdExit, QStringLiteral("Exit (Ctrl+Q)"));

    memoResults->setAccessibleName(QStringLiteral("Report"));
    memoResults->setAccessibleDescription(
        QStringLiteral("The reports of every Compute, one below the other; editable"));
    RefuseModifiedLetters(memoResults);
    EnableAltMenuNavigation(menuBar());
    ShowFocusAlways(this);
}

void TfrmTemplateResults::mnuPrintDialogClick() {
    const QTextCursor cursor = memoResults->textCursor();
    QPrinter* printer = platform_.ChoosePrinter(this, cursor.hasSelection());
    if (printer == nullptr) return;
    const bool selection = printer->printRange() == QPrinter::Selection && cursor.hasSelection();
    PrintGuarded(*printer, selection ? MemoSelectionText() : MemoPlainText());
}

void TfrmTemplateResults::mnuPrintPreviewClick() {
    const QString text = MemoPlainText();
    platform_.ShowPrintPreview(this,
                               [this, &text](QPrinter& printer) { PrintGuarded(printer, text); });
}

}  // namespace orvale
