// SPDX-License-Identifier: GPL-3.0-or-later
// The fonts the windows are designed around. They live in the core (report/fonts.h) because the
// exported documents print in the same fixed-pitch font as the printer; the windows include them
// from here, their own layer.
#pragma once

#include "report/fonts.h"
