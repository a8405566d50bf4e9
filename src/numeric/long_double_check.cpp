// SPDX-License-Identifier: GPL-3.0-or-later
// Compiles the long double format check into every build of the numerical library, whichever of
// its files a target uses.
#include "numeric/long_double_format.h"
