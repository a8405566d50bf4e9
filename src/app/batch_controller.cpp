// SPDX-License-Identifier: GPL-3.0-or-later
// "Score a Batch...": see batch_controller.h.
#include "app/batch_controller.h"

#include <QAction>
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
#include "desktop/platform.h"
#include "desktop/run_guarded.h"

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

BatchController::BatchController(Platform& platform, QWidget* window,
                                 std::function<ScoringOptions()> options)
    : platform_(platform), window_(window), options_(std::move(options)) {}

BatchController::~BatchController() = default;

void BatchController::ScoreBatch(const QString& inputPath) {
    if (run_ != nullptr) {  // one batch at a time: show the one running
        progress_->raise();
        progress_->activateWindow();
        return;
    }
    QString input = inputPath;
    if (input.isEmpty()) {
        const std::optional<QString> chosen =
            platform_.GetOpenFileName(window_, QString::fromLatin1(kBatchInputFilter));
        if (!chosen) return;
        input = *chosen;
    }
    const std::optional<QString> output = platform_.GetSaveFileNameWithSuffix(
        window_, QString::fromLatin1(kBatchOutputName), QString::fromLatin1(kBatchOutputFilter),
        QStringLiteral(".csv"));
    if (output) Start(input, *output);
}

void BatchController::Start(const QString& input, const QString& output) {
    BatchSettings settings;
    settings.options = options_();
    settings.jobs = static_cast<int>(std::max(1U, std::thread::hardware_concurrency()));
    std::unique_ptr<BatchRun> run;
    // A run whose worker thread cannot start goes again at once; nothing was written.
    if (!RunGuarded(platform_, [&] {
            run = std::make_unique<BatchRun>(input, output, settings);
            connect(run.get(), &BatchRun::Progressed, this, &BatchController::Progressed);
            connect(run.get(), &BatchRun::Finished, this, &BatchController::Finished);
            run->Start();
        })) {
        return;
    }
    // Progress and the end arrive as queued signals, so nothing of the run is missed meanwhile.
    run_ = std::move(run);
    ShowProgressWindow(input);
    if (menuAction_ != nullptr) menuAction_->setEnabled(false);
}

void BatchController::ShowProgressWindow(const QString& input) {
    progress_ = new QProgressDialog(window_);
    progress_->setObjectName(QStringLiteral("BatchProgress"));
    progress_->setWindowTitle(QStringLiteral("Score a Batch"));
    progress_->setLabelText(QStringLiteral("Scoring %1...").arg(QFileInfo(input).fileName()));
    progress_->setWindowModality(Qt::NonModal);  // the worksheet stays usable meanwhile
    progress_->setAutoClose(false);
    progress_->setAutoReset(false);
    progress_->setMinimumDuration(0);
    // A pipe has no size: the bar then only shows that the work goes on.
    progress_->setRange(0, run_->InputSize() > 0 ? kProgressSteps : 0);
    progress_->setValue(0);
    connect(progress_, &QProgressDialog::canceled, run_.get(), [this] {
        progress_->setLabelText(QStringLiteral("Cancelling..."));
        run_->Cancel();
    });
    progress_->show();
}

bool BatchController::MayEnd() {
    // Ending stops a batch still being scored, and its results are then not written: only
    // with the user's word.
    return run_ == nullptr ||
           platform_.Confirm(QStringLiteral("A batch is still being scored into %1. Stop it and "
                                            "exit? Its results will not be written.")
                                 .arg(run_->OutputPath()));
}

void BatchController::Progressed(quint64 rowsWritten, quint64 rowsSkipped, quint64 bytesRead) {
    if (progress_ == nullptr || progress_->wasCanceled()) return;
    const QString name = QFileInfo(run_->InputPath()).fileName();
    const std::uint64_t size = run_->InputSize();
    const std::optional<std::uint64_t> total = run_->RowsTotal();
    const std::uint64_t done = rowsWritten + rowsSkipped;
    if (total && *total > 0) {
        progress_->setValue(static_cast<int>(
            std::min<std::uint64_t>(kProgressSteps, done * kProgressSteps / *total)));
        progress_->setLabelText(QStringLiteral("Scoring %1: %2 of %3 rows done, %4 skipped")
                                    .arg(name, Count(done), Count(*total), Count(rowsSkipped)));
        return;
    }
    if (size > 0) {
        progress_->setValue(static_cast<int>(
            std::min<std::uint64_t>(kProgressSteps, bytesRead * kProgressSteps / size)));
    }
    progress_->setLabelText(QStringLiteral("Scoring %1: %2 rows scored, %3 skipped")
                                .arg(name, Count(rowsWritten), Count(rowsSkipped)));
}

void BatchController::Finished() {
    const std::unique_ptr<BatchRun> run = std::move(run_);
    delete progress_;
    if (menuAction_ != nullptr) menuAction_->setEnabled(true);
    const BatchOutcome& outcome = run->Outcome();
    if (outcome.failure) {
        platform_.ShowError(*outcome.failure);
    } else if (run->Cancelled()) {
        platform_.ShowInformation(
            QStringLiteral("Batch scoring was cancelled; no results were written to %1.")
                .arg(run->OutputPath()));
    } else {
        ShowSummary(*run);
    }
}

void BatchController::ShowSummary(const BatchRun& run) {
    delete summary_;
    const BatchOutcome& outcome = run.Outcome();
    auto* summary = new QDialog(window_);
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
    summary_ = summary;
    summary->show();  // not modal: the worksheet can be used beside it
}

}  // namespace orvale
