// SPDX-License-Identifier: GPL-3.0-or-later
// The worksheet's menu bar and what hangs off it: the File menu over the case document and the
// batch controller, dropped case and CSV files, the Help texts, and the shortcuts of the buttons.
// With no case file in use the worksheet behaves exactly as without the menus: no question, no
// other caption.
#include <QAction>
#include <QDragEnterEvent>
#include <QKeySequence>
#include <QMenuBar>
#include <QMimeData>
#include <QPushButton>
#include <QRadioButton>
#include <QShortcut>
#include <QTextBrowser>

#include "app/batch_controller.h"
#include "app/case_document.h"
#include "app/help_text.h"
#include "app/notes_memo.h"
#include "app/radio_group.h"
#include "app/score_field.h"
#include "app/template_form.h"
#include "desktop/core_text.h"
#include "desktop/keyboard.h"
#include "desktop/platform.h"
#include "report/compose.h"
#include "report/program_info.h"

namespace orvale {

namespace {

bool IsCaseFile(const QString& path) {
    return path.endsWith(QLatin1String(kCaseFileSuffix), Qt::CaseInsensitive);
}
bool IsCsvFile(const QString& path) {
    return path.endsWith(QLatin1String(".csv"), Qt::CaseInsensitive);
}

// The one local file of a drag, or empty when it brings anything else.
QString DraggedFile(const QMimeData* data) {
    if (data == nullptr || !data->hasUrls() || data->urls().size() != 1) return {};
    const QUrl url = data->urls().constFirst();
    return url.isLocalFile() ? url.toLocalFile() : QString();
}

}  // namespace

void TfrmTemplate::BuildMenus() {
    menuBar_ = new QMenuBar(this);
    menuBar_->setObjectName(QStringLiteral("MainMenu"));
    EnableAltMenuNavigation(menuBar_);

    QMenu* file = menuBar_->addMenu(QStringLiteral("&File"));
    file->setObjectName(QStringLiteral("mnuFile"));
    const auto add = [](QMenu* menu, const char* name, const QString& caption,
                        const QKeySequence& keys, auto* receiver, auto slot) {
        QAction* action = menu->addAction(caption);
        action->setObjectName(QString::fromLatin1(name));
        action->setShortcut(keys);
        connect(action, &QAction::triggered, receiver, slot);
        return action;
    };
    CaseDocument* document = case_.get();
    add(file, "mnuOpenCase", QStringLiteral("&Open Case..."), QKeySequence::Open, document,
        &CaseDocument::Open);
    add(file, "mnuSaveCase", QStringLiteral("&Save Case"), QKeySequence::Save, document,
        &CaseDocument::Save);
    // Ctrl+Shift+S itself: QKeySequence::SaveAs has no keys on desktops without their own key
    // bindings (plain X11, Wayland without a platform theme).
    add(file, "mnuSaveCaseAs", QStringLiteral("Save Case &As..."),
        QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S), document, &CaseDocument::SaveAs);
    case_->SetRecentMenu(file, file->addSeparator());
    file->addSeparator();
    batch_->SetMenuAction(add(file, "mnuScoreBatch", QStringLiteral("Score a &Batch..."),
                              QKeySequence(), batch_.get(), [this] { batch_->ScoreBatch(); }));
    file->addSeparator();
    add(file, "mnuExit", QStringLiteral("E&xit"), QKeySequence(Qt::CTRL | Qt::Key_Q), this,
        &TfrmTemplate::ExitBtnClick);

    QMenu* help = menuBar_->addMenu(QStringLiteral("&Help"));
    help->setObjectName(QStringLiteral("mnuHelp"));
    add(help, "mnuHowToUse", QStringLiteral("&How to use"), QKeySequence::HelpContents, this,
        &TfrmTemplate::mnuHowToUseClick);
    add(help, "mnuAbout", QStringLiteral("&About ORVALE"), QKeySequence(), this,
        &TfrmTemplate::mnuAboutClick);

    // Compute keeps its caption, so it gets a shortcut rather than an underlined letter.
    for (const QKeySequence& keys :
         {QKeySequence(Qt::CTRL | Qt::Key_Return), QKeySequence(Qt::CTRL | Qt::Key_Enter)}) {
        auto* shortcut = new QShortcut(keys, this);
        connect(shortcut, &QShortcut::activated, this, &TfrmTemplate::cmdComputeClick);
    }
    cmdCompute->setToolTip(QStringLiteral("Compute (Ctrl+Enter)"));
    ExitBtn->setToolTip(QStringLiteral("Exit (Ctrl+Q)"));
    WatchForChanges();
    setAcceptDrops(true);
}

void TfrmTemplate::WatchForChanges() {
    // Every change of an entry, an option or the notes marks an open case as modified.
    CaseDocument* document = case_.get();
    for (ScoreField* field : fields_) {
        connect(field, &QLineEdit::textChanged, document, &CaseDocument::WorksheetChanged);
    }
    connect(memoComments, &QTextEdit::textChanged, document, &CaseDocument::WorksheetChanged);
    QList<QRadioButton*> options = {RadioButton1, RadioButton2, RadioButton3};
    for (RadioGroup* group : {RadioGroup1, RadioGroup2, RadioGroup3, RadioGroup4}) {
        for (int i = 0; i < group->count(); ++i) options.append(group->item(i));
    }
    for (QRadioButton* button : options) {
        connect(button, &QRadioButton::toggled, document, &CaseDocument::WorksheetChanged);
    }
}

CaseValues TfrmTemplate::CaseOnWorksheet() const {
    CaseValues values;
    for (std::size_t k = 0; k < values.entries.size(); ++k) {
        values.entries[k] = fields_[k]->text().toStdString();
    }
    values.options = Options();
    values.notes = memoComments->Notes().toStdString();
    return values;
}

void TfrmTemplate::ShowCase(const CaseValues& values) {
    for (int k = 0; k < kSubtestCount; ++k) {
        const auto field = static_cast<std::size_t>(k);
        fields_[field]->setText(TextFromCore(values.entries[field]));
    }
    const ScoringOptions& options = values.options;
    RadioGroup2->setItemIndex(options.confidenceMethod);
    RadioGroup3->setItemIndex(options.trueScoreDifferences ? 1 : 0);
    RadioGroup1->setItemIndex(options.applyBonferroni ? 1 : 0);
    RadioGroup4->setItemIndex(options.calculateGai ? 0 : 1);
    (options.cutoffIndex == 1   ? RadioButton1
     : options.cutoffIndex == 2 ? RadioButton2
                                : RadioButton3)
        ->setChecked(true);
    memoComments->setPlainText(TextFromCore(values.notes));
    fields_[0]->FocusAndSelectAll();
}

void TfrmTemplate::dragEnterEvent(QDragEnterEvent* event) {
    const QString path = DraggedFile(event->mimeData());
    if (IsCaseFile(path) || IsCsvFile(path)) event->acceptProposedAction();
}

void TfrmTemplate::dropEvent(QDropEvent* event) {
    const QString path = DraggedFile(event->mimeData());
    if (IsCaseFile(path)) {
        event->acceptProposedAction();
        case_->OpenFile(path);
    } else if (IsCsvFile(path)) {
        event->acceptProposedAction();
        batch_->ScoreBatch(path);
    }
}

void TfrmTemplate::mnuHowToUseClick() {
    if (helpWindow_ == nullptr) {
        auto* browser = new QTextBrowser(this);
        browser->setWindowFlag(Qt::Window);
        browser->setObjectName(QStringLiteral("HowToUse"));
        browser->setWindowTitle(QStringLiteral("How to use ORVALE"));
        browser->setAccessibleName(QStringLiteral("How to use ORVALE"));
        browser->setMarkdown(HowToUseText());
        browser->resize(720, 600);
        helpWindow_ = browser;
    }
    helpWindow_->show();
    helpWindow_->raise();
    helpWindow_->activateWindow();
}

void TfrmTemplate::mnuAboutClick() {
    platform_.ShowAbout(QStringLiteral("About ORVALE"), QString::fromStdString(AboutText()));
}

}  // namespace orvale
