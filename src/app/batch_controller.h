// SPDX-License-Identifier: GPL-3.0-or-later
// "Score a Batch..." from the worksheet (and a CSV file dropped onto it): the input and results
// files chosen through the platform's dialogs, a BatchRun (the core's batch scoring, the same as
// orvale-score --batch, with the worksheet's options) on a worker thread behind a progress window
// with Cancel, and a summary of the rows scored and skipped. The worksheet stays usable; one
// batch runs at a time.
#pragma once

#include <QObject>
#include <QPointer>
#include <QString>
#include <functional>
#include <memory>

#include "engine/scoring.h"

class QAction;
class QDialog;
class QProgressDialog;
class QWidget;

namespace orvale {

class BatchRun;
class Platform;

class BatchController : public QObject {
    Q_OBJECT
  public:
    // window parents the dialogs and the progress and summary windows; options gives the
    // worksheet's options when a batch starts.
    BatchController(Platform& platform, QWidget* window, std::function<ScoringOptions()> options);
    // Stops a batch still running; its results are not written.
    ~BatchController() override;

    // The menu item that starts a batch, greyed while one runs.
    void SetMenuAction(QAction* action) { menuAction_ = action; }

    // Asks for the input (unless given) and the results file, then starts scoring; while a batch
    // runs, brings its progress window forward instead.
    void ScoreBatch(const QString& inputPath = {});
    bool Running() const { return run_ != nullptr; }
    // Before the program ends: a running batch stops only with the user's word. False to stay.
    bool MayEnd();

  private:
    void Start(const QString& input, const QString& output);
    void ShowProgressWindow(const QString& input);
    void Progressed(quint64 rowsWritten, quint64 rowsSkipped, quint64 bytesRead);
    void Finished();
    void ShowSummary(const BatchRun& run);

    Platform& platform_;
    QWidget* window_;
    std::function<ScoringOptions()> options_;
    QAction* menuAction_ = nullptr;
    std::unique_ptr<BatchRun> run_;  // the batch being scored, if any
    QPointer<QProgressDialog> progress_;
    QPointer<QDialog> summary_;
};

}  // namespace orvale
