// SPDX-License-Identifier: GPL-3.0-or-later
// "Score a Batch..." from the worksheet (and a CSV file dropped onto it). The desktop batch runs
// on the batch scoring that orvale-score uses; until that scoring is shared by both programs the
// worksheet points to the command-line scorer rather than keep a second copy of it.
#include "app/template_form.h"
#include "desktop/platform.h"

namespace orvale {

void TfrmTemplate::ScoreBatch(const QString& inputPath) {
    const QString file = inputPath.isEmpty() ? QStringLiteral("FILE") : inputPath;
    platform_.ShowInformation(
        QStringLiteral("Batch scoring from the worksheet is not available in this version.\n"
                       "Score the file with the command-line scorer instead:\n"
                       "orvale-score --batch %1 > results.csv")
            .arg(file));
}

}  // namespace orvale
