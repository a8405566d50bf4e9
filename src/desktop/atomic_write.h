// SPDX-License-Identifier: GPL-3.0-or-later
// Whole-file writes for the desktop program (the previous-data file, Save Output, the exports).
// The writer itself lives in the core (report/whole_file.h), so that orvale-score writes its
// --output files the same safe way without linking the desktop.
#pragma once

#include "report/whole_file.h"
