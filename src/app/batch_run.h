// SPDX-License-Identifier: GPL-3.0-or-later
// One run of "Score a Batch...": the core's batch scoring of a CSV file on a worker thread,
// writing the results through a temporary file that replaces the results file only when every
// row has been scored. Progress and the end reach the worksheet as signals on its own thread.
#pragma once

#include <QObject>
#include <QString>
#include <QStringList>
#include <atomic>
#include <cstdint>
#include <optional>
#include <thread>

#include "batch/batch_scoring.h"

namespace orvale {

class WholeFileWriter;

// How a run ended, complete once Finished has been emitted.
struct BatchOutcome {
    BatchResult result;
    // Why the results were not written (the input could not be opened or read, its header is
    // unusable, the output could not be written, the scoring failed); empty when they were, or
    // when the run was cancelled.
    std::optional<QString> failure;
    QStringList notes;                // "Line N: ..." for skipped rows and warnings, in input order
    std::uint64_t unlistedNotes = 0;  // beyond the first kMaxListedNotes
};

// The summary lists at most this many skipped rows and warnings, and counts the rest.
inline constexpr int kMaxListedNotes = 10000;

class BatchRun : public QObject {
    Q_OBJECT
  public:
    BatchRun(QString inputPath, QString outputPath, const BatchSettings& settings,
             QObject* parent = nullptr);
    // Stops a run still going and waits for it; its temporary file is removed.
    ~BatchRun() override;

    void Start();
    // Asks the run to stop after the block of rows it is scoring, or at once when it is waiting for
    // input (a FIFO whose writer has not come or has gone quiet) or for a results pipe's reader
    // (one that has not come or has stopped reading); Finished follows.
    void Cancel() { worker_.request_stop(); }
    bool Cancelled() const { return result().status == BatchStatus::kCancelled; }
    const BatchOutcome& Outcome() const { return outcome_; }
    const QString& InputPath() const { return inputPath_; }
    const QString& OutputPath() const { return outputPath_; }
    // The input's size in bytes when it is a regular file, or 0 (a pipe: no share can be shown).
    std::uint64_t InputSize() const { return inputSize_; }
    // The number of rows of a regular file, once the worker has counted them before scoring.
    std::optional<std::uint64_t> RowsTotal() const {
        const std::int64_t total = rowsTotal_.load();
        return total < 0 ? std::nullopt : std::optional<std::uint64_t>(total);
    }

  signals:
    void Progressed(quint64 rowsWritten, quint64 rowsSkipped, quint64 bytesRead);
    void Finished();

  private:
    const BatchResult& result() const { return outcome_.result; }
    // The steps of a run, on the worker thread. ScoreInput and Conclude return why the results
    // were not written, if they were not; CountRows sets rowsTotal_ for a regular file.
    void Run(std::stop_token stop);
    std::optional<QString> ScoreInput(const std::stop_token& stop);
    void CountRows(const std::stop_token& stop);
    BatchCallbacks Callbacks(WholeFileWriter& output);
    std::optional<QString> Conclude(WholeFileWriter& output, const std::stop_token& stop);
    void AddNote(int line, const QString& text);
    // The failure messages naming the input file and the results file.
    QString Unreadable(const QString& reason) const;
    QString Unwritable(const QString& reason) const;

    QString inputPath_;
    QString outputPath_;
    BatchSettings settings_;
    std::uint64_t inputSize_ = 0;
    std::atomic<std::int64_t> rowsTotal_{-1};  // -1 until counted
    BatchOutcome outcome_;  // written by the worker, read once Finished has arrived
    std::jthread worker_;   // last: stopped and joined before the members it uses go
};

}  // namespace orvale
