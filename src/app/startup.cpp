// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/startup.h"

#include "desktop/platform.h"

namespace orvale {

ProgramWindows::ProgramWindows(Platform& platform, const WorksheetConfig& config)
    : previousHook_(SetWarningHook([&platform](const std::string& message) {
          platform.ShowWarning(QString::fromStdString(message));
      })),
      worksheet_(std::make_unique<TfrmTemplate>(platform, config)),
      results_(std::make_unique<TfrmTemplateResults>(platform)) {
    worksheet_->SetResultsViewer(results_.get());
    results_->SetWorksheet(worksheet_.get());
    results_->SetExitCheck([this] { return worksheet_->MayEnd(); });
    worksheet_->show();
}

ProgramWindows::~ProgramWindows() {
    results_.reset();
    worksheet_.reset();
    SetWarningHook(previousHook_);
}

}  // namespace orvale
