// SPDX-License-Identifier: GPL-3.0-or-later
// The fixed design layouts of both windows at any font size and on any screen: positions and
// sizes grow with the user's font (UserFontScale), and a window too large for its screen scrolls
// its client area instead of hanging off the screen.
#pragma once

#include <QSize>

class QScrollArea;
class QWidget;

namespace orvale {

// A length of the design, in pixels at the default font, at the user's font size.
int DesignPixels(int designPixels);

// Multiplies client's fixed size and the geometry of every control placed on it (recursively,
// but not the inner parts of scrolling controls or widgets managed by a layout) by
// UserFontScale(), so that a caption that fits at the default font fits at a larger one.
// Nothing moves at the default font.
void ScaleDesignLayout(QWidget* client);

// A frameless scroll area holding client, with scroll bars only when the window is smaller than
// client; it takes no focus of its own, and scrolls whichever control of client takes the focus
// into view.
QScrollArea* MakeClientScrollArea(QWidget* client, QWidget* parent);

// Gives window the fixed size whole (client area and menu bar) when its screen's available
// area holds it; otherwise the largest size that fits, resizable up to whole, so that the
// scroll area brings every control into view. Centres the window on that area.
void FitWindowToScreen(QWidget* window, QSize whole);

}  // namespace orvale
