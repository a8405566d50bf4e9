// SPDX-License-Identifier: GPL-3.0-or-later
// Keyboard rules shared by both windows: a chord with Alt, Meta or Ctrl never types a letter into
// a text control (so Alt+P cannot change a report behind the user's back), and Alt pressed alone
// takes the keyboard to the menu bar, as desktop users expect.
#pragma once

class QKeyEvent;
class QMenuBar;
class QWidget;

namespace orvale {

// True when the key would insert a character although Alt, Meta or Ctrl is held: such a key is
// a command that found no shortcut, never text. With Ctrl+Alt, which may be AltGr, only letters
// count.
bool IsModifiedLetter(const QKeyEvent& event);

// Makes control drop every modified letter (IsModifiedLetter) instead of inserting it.
void RefuseModifiedLetters(QWidget* control);

// Alt pressed and released alone opens the keyboard navigation of menuBar, in every style.
void EnableAltMenuNavigation(QMenuBar* menuBar);

// Draws the focus frame of the control that has the focus in window from its first showing,
// not only after the user has pressed Tab: a window that opens with the focus on a button shows it.
void ShowFocusAlways(QWidget* window);

}  // namespace orvale
