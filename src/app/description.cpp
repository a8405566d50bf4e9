// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/description.h"

#include "report/worksheet_text.h"

namespace orvale {

QString DescriptionText() {
    return QString::fromStdString(WorksheetDescription());
}

}  // namespace orvale
