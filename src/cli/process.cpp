// SPDX-License-Identifier: GPL-3.0-or-later
// The process on POSIX systems: see process.h.
#include "cli/process.h"

#include <csignal>

namespace orvale::cli {

void PrepareProcess() {
    // Past a file-size limit a write fails with "File too large" instead of killing the program.
    std::signal(SIGXFSZ, SIG_IGN);
}

std::vector<std::string> ProgramArguments(int argc, char** argv) {
    return std::vector<std::string>(argv + 1, argv + argc);  // the system's bytes, as given
}

}  // namespace orvale::cli
