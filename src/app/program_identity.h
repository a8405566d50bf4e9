// SPDX-License-Identifier: GPL-3.0-or-later
// What the desktop program tells the system about itself (name, version, desktop entry, icon)
// and its small command line: --help and --version, and a friendly word instead of Qt's abort
// when there is no display to show the windows on.
#pragma once

#include <QString>
#include <QtGlobal>
#include <optional>

namespace orvale {

inline constexpr const char* kDesktopFileName = "org.orvale.Orvale";
inline constexpr int kExitNoDisplay = 2;

// Application name ("orvale", which names the per-user data folder), version, organisation domain
// and desktop file name. Called before the application object exists.
void SetProgramIdentity();

// Handles the command line before any window exists. Returns the exit status when the program
// ends here (--help, --version, a wrong option, no display), nullopt when the windows may start.
// Text goes to standard output for --help and --version, to standard error otherwise.
std::optional<int> HandleCommandLine(int argc, char** argv);

// The hint given when there is no display: the command-line scorer does the same work. reason
// is the hint's opening words.
QString NoDisplayHint(const QString& scorerPath, const QString& reason = QStringLiteral(
                                                     "No display found (DISPLAY is not set)"));

// Qt ends the program with a fatal message (and a core dump) when the display it is given cannot
// be opened: a stale DISPLAY, a stopped X server, a window system that does not exist. Between
// these two calls, around creating the application object, such a message ends the program
// with the no-display hint and kExitNoDisplay instead. Other messages pass on unchanged.
void BeginOpeningDisplay(const char* argv0);
void EndOpeningDisplay();

}  // namespace orvale
