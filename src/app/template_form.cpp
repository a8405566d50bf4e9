// SPDX-License-Identifier: GPL-3.0-or-later
// The worksheet's behaviour: the previous-data file, Compute, Clear Data, Exit, the score fields'
// key filter and length limit, and the notes box. The controls are built in
// template_form_build.cpp.
#include "app/template_form.h"

#include <QCloseEvent>
#include <QFile>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>
#include <algorithm>

#include "app/batch_controller.h"
#include "app/case_document.h"
#include "app/notes_memo.h"
#include "app/previous_data.h"
#include "app/radio_group.h"
#include "app/score_field.h"
#include "desktop/design_layout.h"
#include "desktop/platform.h"
#include "desktop/program_folder.h"
#include "desktop/run_guarded.h"
#include "desktop/user_files.h"
#include "desktop/window_design.h"
#include "engine/entry.h"
#include "report/compose.h"
#include "report/decimal_separator.h"
#include "viewer/template_results.h"

namespace orvale {

namespace {

// Descriptions longer than this get a vertical scroll bar.
constexpr int kDescriptionScrollLength = 550;

QString MessageText(std::string_view message) {
    return QString::fromStdString(MessageWithLineBreaks(message));
}

}  // namespace

QString TfrmTemplate::DataFilePath() const {
    return orvale::DataFilePath(platform_.ProgramFolder());
}

void TfrmTemplate::LoadPreviousData() {
    // A program killed while saving leaves its temporary copy of the data file behind.
    RemoveStaleTemporaryFiles(DataFilePath());
    // Without grid items from the file the grid keeps the configured size, empty.
    if (config_.GridEntryEnabled) SizeGrid();
    const LoadedData loaded = orvale::LoadPreviousData(
        DataFilePath(), config_.LoadCount,
        [this](FileNumberReader& reader, const std::vector<double>& scores) {
            return ReadExtensionItems(reader, scores);
        });
    for (int k = 0; k < loaded.fields.size() && k < kSubtestCount; ++k) {
        fields_[static_cast<std::size_t>(k)]->setText(loaded.fields[k]);
    }
    previousDataLoaded_ = loaded.complete();
    if (loaded.error) platform_.ShowError(*loaded.error);
    for (int k = 0; k < kSubtestCount; ++k) {
        const bool visible = k + 1 < kSubtestCount ? k + 1 <= config_.InputCount
                                                   : config_.InputCount == kSubtestCount;
        fields_[static_cast<std::size_t>(k)]->setVisible(visible);
        labels_[static_cast<std::size_t>(k)]->setVisible(visible);
    }
}

void TfrmTemplate::SaveCurrentData() {
    QStringList entries;
    for (QLineEdit* field : fields_) entries.append(field->text());
    if (const std::optional<QString> error =
            SavePreviousData(DataFilePath(), entries, ExtensionFileItems())) {
        platform_.ShowError(*error);
    }
}

void TfrmTemplate::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    // A window restored from the task bar is not shown anew: the focus stays where the user left
    // it.
    if (!event->spontaneous()) FormShow();
}

void TfrmTemplate::FormShow() {
    if (fields_[0]->text().isEmpty()) {
        fields_[0]->FocusAndSelectAll();
        return;
    }
    raise();
    activateWindow();
    const int loadCount = config_.LoadCount;
    if (loadCount >= 1 && loadCount < kSubtestCount) {
        ScoreField* next = fields_[static_cast<std::size_t>(loadCount)];
        (next->isHidden() ? fields_[static_cast<std::size_t>(loadCount - 1)] : next)
            ->FocusAndSelectAll();
        return;
    }
    // The focus stays where the form has it; a score field that has it (the first one on a start
    // with remembered scores) is selected whole, so that the next child's first key replaces
    // the remembered score instead of joining it.
    const auto focused = std::find(fields_.begin(), fields_.end(), focusWidget());
    if (focused != fields_.end()) (*focused)->selectAll();
}

void TfrmTemplate::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow()) FormActivate();
}

void TfrmTemplate::FormActivate() {
    // Only a visible item grid needs attention on activation; the grid is off in this program.
    if (!grdData->isVisible()) return;
    if (grdData->columnCount() > 2) {
        SelectGridCell(2, 0);
    } else {
        SelectGridCell(1, 1);
    }
}

void TfrmTemplate::closeEvent(QCloseEvent* event) {
    // The close box ends the program at once, without a question (but a modified case file
    // offers to save its changes first).
    if (!MayEnd()) {
        event->ignore();
        return;
    }
    event->accept();
    platform_.EndApplication();
}

bool TfrmTemplate::MayEnd() {
    return batch_->MayEnd() && case_->MaybeSave();
}

bool TfrmTemplate::BatchRunning() const {
    return batch_->Running();
}

void TfrmTemplate::ExitBtnClick() {
    if (platform_.Confirm(QString::fromLatin1(kExitQuestion)) && MayEnd()) {
        platform_.EndApplication();
    }
}

void TfrmTemplate::DescripFldChange() {
    DescripFld->setVerticalScrollBarPolicy(
        DescripFld->toPlainText().size() > kDescriptionScrollLength ? Qt::ScrollBarAlwaysOn
                                                                    : Qt::ScrollBarAlwaysOff);
}

ScoringOptions TfrmTemplate::Options() const {
    ScoringOptions options;
    options.confidenceMethod = RadioGroup2->itemIndex();
    options.trueScoreDifferences = RadioGroup3->itemIndex() == 1;
    options.applyBonferroni = RadioGroup1->itemIndex() == 1;
    options.calculateGai = RadioGroup4->itemIndex() == 0;
    options.cutoffIndex = RadioButton1->isChecked() ? 1 : RadioButton2->isChecked() ? 2 : 3;
    return options;
}

void TfrmTemplate::cmdComputeClick() {
    SubtestEntries entries{};
    for (int k = 0; k < config_.InputCount && k < kSubtestCount; ++k) {
        const ParsedEntry parsed =
            CheckScoreEntry(k, fields_[static_cast<std::size_t>(k)]->text().toStdString());
        if (parsed.error) {
            platform_.ShowWarning(MessageText(*parsed.error));
            fields_[static_cast<std::size_t>(k)]->FocusAndSelectAll();
            return;
        }
        entries[static_cast<std::size_t>(k)] = parsed.value;
    }
    ReportInput input;
    bool computed = false;
    const bool ran = RunGuarded(platform_, [&] {
        if (config_.GridEntryEnabled && !CheckGridCells()) return;
        if (config_.MatrixEntryEnabled && !RunMatrixStep()) return;
        SaveCurrentData();
        input.entries = entries;
        input.options = Options();
        input.notes = memoComments->ReportLines();
        input.results = ComputeScores(entries, input.options);
        input.decimalSeparator = UserDecimalSeparator();
        input.extensionBlock = ExtensionReportBlock(input.decimalSeparator);
        computed = true;
    });
    if (!ran) show();  // the matrix step may have hidden the worksheet
    if (!computed) return;
    if (results_ == nullptr) {
        if (config_.MatrixEntryEnabled) show();  // the matrix step hid the worksheet
        return;
    }
    results_->show();
    hide();
    results_->AppendReport(input);
}

void TfrmTemplate::btnclearDataClick() {
    for (QLineEdit* field : fields_) field->clear();
    memoComments->clear();
    QFile::remove(DataFilePath());  // a file that cannot be deleted is left; the fields are empty
    correlationStore_.fill(0.0);
    for (int row = 0; row < config_.GridRowCount && row < grdData->rowCount(); ++row) {
        for (int column = 1; column <= config_.GridColumnCount && column < grdData->columnCount();
             ++column) {
            delete grdData->takeItem(row, column);
        }
    }
    fields_[0]->FocusAndSelectAll();
}

// Key handling of the score fields -------------------------------------------------------------

void TfrmTemplate::ScoreFieldKeyPress(QString& text) {
    const std::optional<QString> filtered = FilterNumericText(text);
    if (!filtered) {
        // One beep and one message for the whole insertion, however many characters it held.
        platform_.Beep();
        platform_.ShowWarning(MessageText(kNumericOnlyMessage));
        text.clear();
        return;
    }
    text = *filtered;
}

void TfrmTemplate::ScoreFieldKeyUp(int field) {
    QLineEdit* edit = fields_[static_cast<std::size_t>(field)];
    const std::string text = edit->text().toStdString();
    const std::string limited = LimitEntryLength(text);  // cuts characters, never bytes
    if (limited == text) return;
    platform_.Beep();
    platform_.ShowWarning(MessageText(kMaxLengthMessage));
    edit->setText(QString::fromStdString(limited));
    edit->selectAll();
}

// Notes box ------------------------------------------------------------------------------------

void TfrmTemplate::ExpandNotesWhenMultiLine(bool force) {
    if (force || DisplayedLines(*memoComments).size() > 1) {
        memoComments->resize(memoComments->width(), DesignPixels(kNotesExpandedHeight));
    }
}

void TfrmTemplate::memoCommentsEnter() {
    ExpandNotesWhenMultiLine(false);
}

void TfrmTemplate::memoCommentsExit() {
    memoComments->resize(memoComments->width(), DesignPixels(kNotesHeight));
}

void TfrmTemplate::memoCommentsKeyUp(int key) {
    ExpandNotesWhenMultiLine(key == Qt::Key_Return || key == Qt::Key_Enter);
}

bool TfrmTemplate::eventFilter(QObject* watched, QEvent* event) {
    // Switching to another window or opening a menu neither enters nor leaves a control.
    const auto movesWithinWorksheet = [event] {
        const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
        return reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason;
    };
    if (event->type() == QEvent::FocusOut && movesWithinWorksheet()) {
        if (watched == grdData) grdDataExit();
        if (watched == fields_[0]) txtInput1Exit();
    }
    if (watched == memoComments) {
        if (event->type() == QEvent::FocusIn && movesWithinWorksheet()) memoCommentsEnter();
        if (event->type() == QEvent::FocusOut && movesWithinWorksheet()) memoCommentsExit();
        if (event->type() == QEvent::KeyRelease) {
            memoCommentsKeyUp(static_cast<QKeyEvent*>(event)->key());
        }
        return false;
    }
    return QWidget::eventFilter(watched, event);
}

}  // namespace orvale
