// SPDX-License-Identifier: GPL-3.0-or-later
// "Score a Batch..." from the worksheet (and a CSV file dropped onto it): the input and results
// files chosen through the platform's dialogs, the core's batch scoring (the same as
// orvale-score --batch, with the worksheet's options) on a worker thread behind a progress
// window with Cancel, and a summary of the rows scored and skipped. The worksheet stays usable.
#include <QDialog>
#include <QDialogButtonBox>
#include <QFileInfo>
#include <QLabel>
#include <QLocale>
#include <QPlainTextEdit>
#include <QProgressDialog>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>
#include <thread>

#include "app/batch_run.h"
#include "app/template_form.h"
#include "desktop/platform.h"

namespace orvale {

namespace {

const char* const kBatchInputFilter = "CSV files (*.csv);;All files (*)";
const char* const kBatchOutputFilter = "CSV files (*.csv)";
const char* const kBatchOutputName = "results.csv";
constexpr int kProgressSteps = 1000;  // the bar's range for a share of the input file

QString Count(quint64 number) {
    return QLocale().toString(number);
}

}  // namespace

void TfrmTemplate::ScoreBatch(const QString& inputPath) {
    if (batch_ != nullptr) {  // one batch at a time: show the one running
        batchProgress_->raise();
        batchProgress_->activateWindow();
        return;
    }
    QString input = inputPath;
    if (input.isEmpty()) {
        const std::optional<QString> chosen =
            platform_.GetOpenFileName(this, QString::fromLatin1(kBatchInputFilter));
        if (!chosen) return;
        input = *chosen;
    }
    const std::optional<QString> output = platform_.GetSaveFileNameWithSuffix(
        this, QString::fromLatin1(kBatchOutputName), QString::fromLatin1(kBatchOutputFilter),
        QStringLiteral(".csv"));
    if (!output) return;

    BatchSettings settings;
    settings.options = Options();
    settings.jobs = static_cast<int>(std::max(1U, std::thread::hardware_concurrency()));
    batch_ = std::make_unique<BatchRun>(input, *output, settings);

    batchProgress_ = new QProgressDialog(this);
    batchProgress_->setObjectName(QStringLiteral("BatchProgress"));
    batchProgress_->setWindowTitle(QStringLiteral("Score a Batch"));
    batchProgress_->setLabelText(QStringLiteral("Scoring %1...").arg(QFileInfo(input).fileName()));
    batchProgress_->setWindowModality(Qt::NonModal);  // the worksheet stays usable meanwhile
    batchProgress_->setAutoClose(false);
    batchProgress_->setAutoReset(false);
    batchProgress_->setMinimumDuration(0);
    // A pipe has no size: the bar then only shows that the work goes on.
    batchProgress_->setRange(0, batch_->InputSize() > 0 ? kProgressSteps : 0);
    batchProgress_->setValue(0);
    connect(batchProgress_, &QProgressDialog::canceled, batch_.get(), [this] {
        batchProgress_->setLabelText(QStringLiteral("Cancelling..."));
        batch_->Cancel();
    });
    connect(batch_.get(), &BatchRun::Progressed, this, &TfrmTemplate::BatchProgressed);
    connect(batch_.get(), &BatchRun::Finished, this, &TfrmTemplate::BatchFinished);
    mnuScoreBatch_->setEnabled(false);
    batchProgress_->show();
    batch_->Start();
}

bool TfrmTemplate::BatchRunning() const {
    return batch_ != nullptr;
}

void TfrmTemplate::BatchProgressed(quint64 rowsWritten, quint64 rowsSkipped, quint64 bytesRead) {
    if (batchProgress_ == nullptr || batchProgress_->wasCanceled()) return;
    const QString name = QFileInfo(batch_->InputPath()).fileName();
    const std::uint64_t size = batch_->InputSize();
    const std::optional<std::uint64_t> total = batch_->RowsTotal();
    const std::uint64_t done = rowsWritten + rowsSkipped;
    if (total && *total > 0) {
        batchProgress_->setValue(static_cast<int>(
            std::min<std::uint64_t>(kProgressSteps, done * kProgressSteps / *total)));
        batchProgress_->setLabelText(
            QStringLiteral("Scoring %1: %2 of %3 rows done, %4 skipped")
                .arg(name, Count(done), Count(*total), Count(rowsSkipped)));
        return;
    }
    if (size > 0) {
        batchProgress_->setValue(static_cast<int>(
            std::min<std::uint64_t>(kProgressSteps, bytesRead * kProgressSteps / size)));
    }
    batchProgress_->setLabelText(QStringLiteral("Scoring %1: %2 rows scored, %3 skipped")
                                     .arg(name, Count(rowsWritten), Count(rowsSkipped)));
}

void TfrmTemplate::BatchFinished() {
    const std::unique_ptr<BatchRun> run = std::move(batch_);
    delete batchProgress_;
    mnuScoreBatch_->setEnabled(true);
    const BatchOutcome& outcome = run->Outcome();
    if (outcome.failure) {
        platform_.ShowError(*outcome.failure);
    } else if (run->Cancelled()) {
        platform_.ShowInformation(
            QStringLiteral("Batch scoring was cancelled; no results were written to %1.")
                .arg(run->OutputPath()));
    } else {
        ShowBatchSummary(*run);
    }
}

void TfrmTemplate::ShowBatchSummary(const BatchRun& run) {
    delete batchSummary_;
    const BatchOutcome& outcome = run.Outcome();
    auto* summary = new QDialog(this);
    summary->setObjectName(QStringLiteral("BatchSummary"));
    summary->setWindowTitle(QStringLiteral("Batch Scored"));
    summary->setAttribute(Qt::WA_DeleteOnClose);
    auto* layout = new QVBoxLayout(summary);
    const BatchProgress& counts = outcome.result.counts;
    auto* text =
        new QLabel(QStringLiteral("%1 rows scored, %2 rows skipped.\nThe results are in %3.")
                       .arg(Count(counts.rowsWritten), Count(counts.rowsSkipped), run.OutputPath()),
                   summary);
    text->setObjectName(QStringLiteral("lblBatchSummary"));
    text->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    layout->addWidget(text);

    // Skipped rows and warnings, one a line, to read, select and copy.
    QStringList notes = outcome.notes;
    if (outcome.unlistedNotes > 0) {
        notes.append(QStringLiteral("... and %1 more").arg(Count(outcome.unlistedNotes)));
    }
    auto* list = new QPlainTextEdit(summary);
    list->setObjectName(QStringLiteral("memoBatchSkipped"));
    list->setAccessibleName(QStringLiteral("Skipped rows"));
    list->setReadOnly(true);
    list->setLineWrapMode(QPlainTextEdit::NoWrap);
    list->setPlainText(notes.isEmpty() ? QStringLiteral("No row was skipped.") : notes.join(u'\n'));
    layout->addWidget(list);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, summary);
    QPushButton* copy = buttons->addButton(QStringLiteral("&Copy"), QDialogButtonBox::ActionRole);
    copy->setObjectName(QStringLiteral("cmdBatchCopy"));
    connect(copy, &QPushButton::clicked, summary,
            [this, list] { platform_.SetClipboardText(list->toPlainText()); });
    connect(buttons, &QDialogButtonBox::rejected, summary, &QDialog::close);
    layout->addWidget(buttons);
    summary->resize(640, 360);
    batchSummary_ = summary;
    summary->show();  // not modal: the worksheet can be used beside it
}

}  // namespace orvale
