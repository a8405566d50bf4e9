// SPDX-License-Identifier: GPL-3.0-or-later
// The worksheet's menu bar and what hangs off it: case files (open, save, save as, recent cases,
// dropped files), the Help texts, and the shortcuts of the buttons. With no case file in use the
// worksheet behaves exactly as without the menus: no question, no other caption.
#include <QAction>
#include <QDateTime>
#include <QDragEnterEvent>
#include <QFileInfo>
#include <QKeySequence>
#include <QLabel>
#include <QMenuBar>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QShortcut>
#include <QTextBrowser>

#include "app/batch_run.h"
#include "app/help_text.h"
#include "app/notes_memo.h"
#include "app/radio_group.h"
#include "app/score_field.h"
#include "app/template_form.h"
#include "desktop/keyboard.h"
#include "desktop/platform.h"
#include "files/case_file_read.h"
#include "files/whole_file.h"
#include "report/compose.h"
#include "report/program_info.h"

namespace orvale {

namespace {

constexpr int kMaxRecentCases = 8;
const char* const kRecentCasesKey = "recentCases";
const char* const kDefaultCaseName = "case.orvale";

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

    mnuFile_ = menuBar_->addMenu(QStringLiteral("&File"));
    mnuFile_->setObjectName(QStringLiteral("mnuFile"));
    const auto add = [this](QMenu* menu, const char* name, const QString& caption,
                            const QKeySequence& keys, void (TfrmTemplate::*slot)()) {
        QAction* action = menu->addAction(caption);
        action->setObjectName(QString::fromLatin1(name));
        action->setShortcut(keys);
        connect(action, &QAction::triggered, this, slot);
        return action;
    };
    add(mnuFile_, "mnuOpenCase", QStringLiteral("&Open Case..."), QKeySequence::Open,
        &TfrmTemplate::mnuOpenCaseClick);
    add(mnuFile_, "mnuSaveCase", QStringLiteral("&Save Case"), QKeySequence::Save,
        &TfrmTemplate::mnuSaveCaseClick);
    add(mnuFile_, "mnuSaveCaseAs", QStringLiteral("Save Case &As..."), QKeySequence::SaveAs,
        &TfrmTemplate::mnuSaveCaseAsClick);
    mnuRecentStart_ = mnuFile_->addSeparator();
    mnuFile_->addSeparator();
    mnuScoreBatch_ = add(mnuFile_, "mnuScoreBatch", QStringLiteral("Score a &Batch..."),
                         QKeySequence(), &TfrmTemplate::mnuScoreBatchClick);
    mnuFile_->addSeparator();
    add(mnuFile_, "mnuExit", QStringLiteral("E&xit"), QKeySequence(Qt::CTRL | Qt::Key_Q),
        &TfrmTemplate::ExitBtnClick);
    RebuildRecentCases();

    QMenu* help = menuBar_->addMenu(QStringLiteral("&Help"));
    help->setObjectName(QStringLiteral("mnuHelp"));
    add(help, "mnuHowToUse", QStringLiteral("&How to use"), QKeySequence::HelpContents,
        &TfrmTemplate::mnuHowToUseClick);
    add(help, "mnuAbout", QStringLiteral("&About ORVALE"), QKeySequence(),
        &TfrmTemplate::mnuAboutClick);

    // Compute keeps its caption, so it gets a shortcut rather than an underlined letter.
    for (const QKeySequence& keys :
         {QKeySequence(Qt::CTRL | Qt::Key_Return), QKeySequence(Qt::CTRL | Qt::Key_Enter)}) {
        auto* shortcut = new QShortcut(keys, this);
        connect(shortcut, &QShortcut::activated, this, &TfrmTemplate::cmdComputeClick);
    }
    cmdCompute->setToolTip(QStringLiteral("Compute (Ctrl+Enter)"));
    ExitBtn->setToolTip(QStringLiteral("Exit (Ctrl+Q)"));

    // Every change of an entry, an option or the notes marks an open case as modified.
    for (ScoreField* field : fields_) {
        connect(field, &QLineEdit::textChanged, this, &TfrmTemplate::WorksheetChanged);
    }
    connect(memoComments, &QTextEdit::textChanged, this, &TfrmTemplate::WorksheetChanged);
    for (RadioGroup* group : {RadioGroup1, RadioGroup2, RadioGroup3, RadioGroup4}) {
        for (int i = 0; i < group->count(); ++i) {
            connect(group->item(i), &QRadioButton::toggled, this, &TfrmTemplate::WorksheetChanged);
        }
    }
    for (QRadioButton* button : {RadioButton1, RadioButton2, RadioButton3}) {
        connect(button, &QRadioButton::toggled, this, &TfrmTemplate::WorksheetChanged);
    }
    setAcceptDrops(true);
}

void TfrmTemplate::WorksheetChanged() {
    if (casePath_.isEmpty() || showingCase_ || caseModified_) return;
    caseModified_ = true;
    UpdateCaption();
}

void TfrmTemplate::UpdateCaption() {
    const QString title = QString::fromLatin1(kProgramTitle);
    if (casePath_.isEmpty()) {
        setWindowTitle(title);
    } else {
        setWindowTitle(QFileInfo(casePath_).fileName() + QStringLiteral("[*] - ") + title);
    }
    setWindowModified(caseModified_);
}

CaseValues TfrmTemplate::CaseOnWorksheet() const {
    CaseValues values;
    for (const ScoreField* field : fields_) values.entries.append(field->text());
    values.options = Options();
    values.notes = memoComments->toPlainText();
    return values;
}

void TfrmTemplate::ShowCase(const CaseValues& values) {
    showingCase_ = true;
    for (int k = 0; k < kSubtestCount; ++k) {
        fields_[static_cast<std::size_t>(k)]->setText(values.entries.value(k));
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
    memoComments->setPlainText(values.notes);
    showingCase_ = false;
    fields_[0]->FocusAndSelectAll();
}

bool TfrmTemplate::SaveChangesFirst() {
    if (casePath_.isEmpty() || !caseModified_) return true;
    const QString question = QStringLiteral("The case %1 has been changed. Save the changes?")
                                 .arg(QFileInfo(casePath_).fileName());
    switch (platform_.AskSaveChanges(question)) {
        case Platform::SaveChoice::Save:
            return SaveCaseTo(casePath_);
        case Platform::SaveChoice::Discard:
            return true;
        case Platform::SaveChoice::Cancel:
            break;
    }
    return false;
}

bool TfrmTemplate::MayEnd() {
    // Ending stops a batch still being scored, and its results are then not written: only
    // with the user's word.
    if (batch_ != nullptr &&
        !platform_.Confirm(QStringLiteral("A batch is still being scored into %1. Stop it and "
                                          "exit? Its results will not be written.")
                               .arg(batch_->OutputPath()))) {
        return false;
    }
    return SaveChangesFirst();
}

bool TfrmTemplate::OpenCaseFile(const QString& path) {
    return SaveChangesFirst() && LoadCase(path);
}

bool TfrmTemplate::LoadCase(const QString& path) {
    const CaseReading reading = ReadCaseFile(path);
    if (!reading.values) {
        platform_.ShowWarning(reading.error);
        // A recent case that can no longer be read leaves the list.
        RememberRecentCase(path, false);
        return false;
    }
    ShowCase(*reading.values);
    casePath_ = path;
    caseModified_ = false;
    UpdateCaption();
    RememberRecentCase(path, true);
    return true;
}

bool TfrmTemplate::SaveCaseTo(const QString& path) {
    const CaseValues values = CaseOnWorksheet();
    for (int k = 0; k < kSubtestCount; ++k) {
        if (const std::optional<QString> problem = CaseEntryProblem(k, values.entries[k])) {
            platform_.ShowWarning(QStringLiteral("The case could not be saved: %1.").arg(*problem));
            fields_[static_cast<std::size_t>(k)]->FocusAndSelectAll();
            return false;
        }
    }
    if (const std::optional<QString> reason =
            WriteWholeFile(path, CaseFileContent(values, QDateTime::currentDateTime()))) {
        platform_.ShowError(
            QStringLiteral("The case could not be saved to %1: %2").arg(path, *reason));
        return false;
    }
    casePath_ = path;
    caseModified_ = false;
    UpdateCaption();
    RememberRecentCase(path, true);
    return true;
}

void TfrmTemplate::mnuOpenCaseClick() {
    if (!SaveChangesFirst()) return;
    const std::optional<QString> path =
        platform_.GetOpenFileName(this, QString::fromLatin1(kCaseFileFilter));
    if (path) LoadCase(*path);
}

void TfrmTemplate::mnuSaveCaseClick() {
    if (casePath_.isEmpty()) {
        mnuSaveCaseAsClick();
    } else {
        SaveCaseTo(casePath_);
    }
}

void TfrmTemplate::mnuSaveCaseAsClick() {
    const std::optional<QString> path = platform_.GetSaveFileNameWithSuffix(
        this, casePath_.isEmpty() ? QString::fromLatin1(kDefaultCaseName) : casePath_,
        QString::fromLatin1(kCaseFileFilter), QString::fromLatin1(kCaseFileSuffix));
    if (path) SaveCaseTo(*path);
}

void TfrmTemplate::RememberRecentCase(const QString& path, bool keep) {
    const std::unique_ptr<QSettings> settings = platform_.Settings();
    QStringList recent = settings->value(QLatin1String(kRecentCasesKey)).toStringList();
    const QString absolute = QFileInfo(path).absoluteFilePath();
    recent.removeAll(absolute);
    if (keep) recent.prepend(absolute);
    while (recent.size() > kMaxRecentCases) recent.removeLast();
    settings->setValue(QLatin1String(kRecentCasesKey), recent);
    settings->sync();
    RebuildRecentCases();
}

void TfrmTemplate::RebuildRecentCases() {
    qDeleteAll(recentActions_);
    recentActions_.clear();
    const QStringList recent =
        platform_.Settings()->value(QLatin1String(kRecentCasesKey)).toStringList();
    QAction* before = mnuFile_->actions().value(mnuFile_->actions().indexOf(mnuRecentStart_) + 1);
    for (int i = 0; i < recent.size() && i < kMaxRecentCases; ++i) {
        const QString path = recent[i];
        auto* action = new QAction(
            QStringLiteral("&%1 %2").arg(i + 1).arg(QFileInfo(path).fileName()), mnuFile_);
        action->setObjectName(QStringLiteral("mnuRecentCase%1").arg(i + 1));
        action->setToolTip(path);
        action->setStatusTip(path);
        action->setData(path);
        connect(action, &QAction::triggered, this, [this, path] { OpenCaseFile(path); });
        mnuFile_->insertAction(before, action);
        recentActions_.append(action);
    }
}

void TfrmTemplate::mnuScoreBatchClick() {
    ScoreBatch();
}

void TfrmTemplate::dragEnterEvent(QDragEnterEvent* event) {
    const QString path = DraggedFile(event->mimeData());
    if (IsCaseFile(path) || IsCsvFile(path)) event->acceptProposedAction();
}

void TfrmTemplate::dropEvent(QDropEvent* event) {
    const QString path = DraggedFile(event->mimeData());
    if (IsCaseFile(path)) {
        event->acceptProposedAction();
        OpenCaseFile(path);
    } else if (IsCsvFile(path)) {
        event->acceptProposedAction();
        ScoreBatch(path);
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
    platform_.ShowAbout(QStringLiteral("About ORVALE"), AboutText());
}

}  // namespace orvale
