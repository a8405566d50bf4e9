// SPDX-License-Identifier: GPL-3.0-or-later
// Start-up of the desktop program: the worksheet (which reads the previous-data file as it is
// created), then the hidden results viewer, then the worksheet shown. Both windows live until
// the program ends. The scoring engine's integrator warnings go to the platform's warning box.
#pragma once

#include <memory>

#include "app/template_form.h"
#include "numeric/normal.h"
#include "viewer/template_results.h"

namespace orvale {

class ProgramWindows {
  public:
    ProgramWindows(Platform& platform, const WorksheetConfig& config = {});
    ~ProgramWindows();
    ProgramWindows(const ProgramWindows&) = delete;
    ProgramWindows& operator=(const ProgramWindows&) = delete;

    TfrmTemplate& worksheet() { return *worksheet_; }
    TfrmTemplateResults& results() { return *results_; }

  private:
    WarningHook previousHook_;
    std::unique_ptr<TfrmTemplate> worksheet_;
    std::unique_ptr<TfrmTemplateResults> results_;
};

}  // namespace orvale
