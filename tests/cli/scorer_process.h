// SPDX-License-Identifier: GPL-3.0-or-later
// Runs the built orvale-score as a separate process with given arguments, standard input and
// environment, and collects its standard output, standard error and exit status.
#pragma once

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace orvale::test {

// What orvale-score writes to standard error after the message of any error in its command line.
inline const std::string kUsageHint =
    "Usage: orvale-score [OPTIONS] BD SI DS CD VO LN MR SS\n"
    "       orvale-score [OPTIONS] --batch FILE\n"
    "Try 'orvale-score --help' for more information.\n";

struct ProcessResult {
    int status = -1;
    std::string out;
    std::string err;
};

inline std::string ShellQuote(const std::string& text) {
    std::string quoted = "'";
    for (char c : text) {
        if (c == '\'') {
            quoted += "'\\''";
        } else {
            quoted.push_back(c);
        }
    }
    return quoted + "'";
}

inline std::string ReadFile(const std::filesystem::path& path) {
    std::ifstream file(path, std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

inline void WriteFile(const std::filesystem::path& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

// A scratch folder removed when the object goes.
class ScratchFolder {
  public:
    ScratchFolder() {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "orvale-cli-XXXXXX").string();
        path_ = ::mkdtemp(pattern.data());
    }
    ~ScratchFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    const std::filesystem::path& path() const { return path_; }

  private:
    std::filesystem::path path_;
};

// environment: "NAME=value" assignments placed before the command; shellSetup: shell commands run
// first in the same shell, such as a ulimit.
inline ProcessResult RunScorer(const std::vector<std::string>& arguments,
                               const std::string& input = "",
                               const std::vector<std::string>& environment = {"LC_ALL=C"},
                               const std::string& shellSetup = "") {
    ScratchFolder scratch;
    const auto in = scratch.path() / "in", out = scratch.path() / "out",
               err = scratch.path() / "err";
    WriteFile(in, input);
    std::string command = shellSetup + "exec env";
    auto add = [&command](const char* separator, const std::string& word) {
        command.append(separator);
        command.append(ShellQuote(word));
    };
    for (const std::string& assignment : environment) add(" ", assignment);
    add(" ", ORVALE_SCORE_PATH);
    for (const std::string& argument : arguments) add(" ", argument);
    add(" <", in.string());
    add(" >", out.string());
    add(" 2>", err.string());
    const int raw = std::system(command.c_str());
    ProcessResult result;
    result.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    result.out = ReadFile(out);
    result.err = ReadFile(err);
    return result;
}

// Runs orvale-score with `arguments`, standard input from `input` and output to /dev/null, and
// returns its peak resident memory in KiB (ru_maxrss), or -1 when it did not end with status 0.
inline long PeakMemoryOfScorer(const std::vector<std::string>& arguments,
                               const std::filesystem::path& input) {
    const pid_t child = ::fork();
    if (child == 0) {
        const int in = ::open(input.c_str(), O_RDONLY);
        const int out = ::open("/dev/null", O_WRONLY);
        if (in < 0 || out < 0 || ::dup2(in, 0) < 0 || ::dup2(out, 1) < 0) ::_exit(127);
        std::vector<char*> argv{const_cast<char*>(ORVALE_SCORE_PATH)};
        for (const std::string& argument : arguments)
            argv.push_back(const_cast<char*>(argument.c_str()));
        argv.push_back(nullptr);
        ::execv(ORVALE_SCORE_PATH, argv.data());
        ::_exit(127);
    }
    int status = 0;
    struct rusage usage {};
    if (child < 0 || ::wait4(child, &status, 0, &usage) != child) return -1;
    return WIFEXITED(status) && WEXITSTATUS(status) == 0 ? usage.ru_maxrss : -1;
}

}  // namespace orvale::test
