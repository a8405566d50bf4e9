// SPDX-License-Identifier: GPL-3.0-or-later
// The process on Windows: see process.h.
#include <fcntl.h>
#include <io.h>
#include <windows.h>
// After windows.h, which it needs.
#include <shellapi.h>

#include <cstdio>
#include <cstdlib>

#include "cli/process.h"
#include "files/system_win32.h"

namespace orvale::cli {

namespace {

UINT consoleCodePage = 0;  // the console's code page before the program ran, given back at exit

void RestoreConsoleCodePage() {
    ::SetConsoleOutputCP(consoleCodePage);
}

}  // namespace

void PrepareProcess() {
    // Text mode would turn "\n" into "\r\n" on the way out and take "\r" out of input: the
    // reports, CSV and JSON have the same bytes as on other systems, and input with CR LF is
    // read as it is there.
    _setmode(_fileno(stdin), _O_BINARY);
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stderr), _O_BINARY);
    // The texts are UTF-8: a console shows them as such while the program runs.
    consoleCodePage = ::GetConsoleOutputCP();
    if (consoleCodePage != 0 && consoleCodePage != CP_UTF8 && ::SetConsoleOutputCP(CP_UTF8)) {
        std::atexit(RestoreConsoleCodePage);
    }
}

std::vector<std::string> ProgramArguments(int argc, char** argv) {
    // argv is in the ANSI code page, which cannot hold every name: the wide command line can.
    int count = 0;
    wchar_t** wide = ::CommandLineToArgvW(::GetCommandLineW(), &count);
    if (wide == nullptr || count != argc) {
        if (wide != nullptr) ::LocalFree(wide);
        return std::vector<std::string>(argv + 1, argv + argc);
    }
    std::vector<std::string> arguments;
    for (int k = 1; k < count; ++k) arguments.push_back(Utf8FromWide(wide[k]));
    ::LocalFree(wide);
    return arguments;
}

}  // namespace orvale::cli
