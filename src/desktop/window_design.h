// SPDX-License-Identifier: GPL-3.0-or-later
// What the worksheet and the results viewer share by design: the width of their client area and
// the question both Exit buttons ask before the program ends.
#pragma once

namespace orvale {

inline constexpr int kClientWidth = 792;  // the designed client area, in pixels at 96 dpi
inline constexpr const char* kExitQuestion = "Exit from program?";

}  // namespace orvale
