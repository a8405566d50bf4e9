// SPDX-License-Identifier: GPL-3.0-or-later
// What orvale-score sets up in its process before anything else, where the systems differ: POSIX
// in process.cpp, Windows in process_win32.cpp.
#pragma once

#include <string>
#include <vector>

namespace orvale::cli {

// Makes a failed write report itself instead of ending the program (past a file-size limit), and
// the standard streams carry bytes as they are: "\n" stays "\n", as on every system.
void PrepareProcess();

// The command-line arguments after the program's name, in UTF-8.
std::vector<std::string> ProgramArguments(int argc, char** argv);

}  // namespace orvale::cli
