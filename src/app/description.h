// SPDX-License-Identifier: GPL-3.0-or-later
// The paragraph the worksheet shows above the notes: what the program does and the paper whose
// methods it implements (the same citation lines that head every report).
#pragma once

#include <QString>

namespace orvale {

QString DescriptionText();

}  // namespace orvale
