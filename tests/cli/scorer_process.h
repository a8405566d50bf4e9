// Runs the built orvale-score as a separate process with given arguments, standard input and
// environment, and collects its standard output, standard error and exit status.
#pragma once

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

// environment: "NAME=value" assignments placed before the command.
inline ProcessResult RunScorer(const std::vector<std::string>& arguments,
                               const std::string& input = "",
                               const std::vector<std::string>& environment = {"LC_ALL=C"}) {
    ScratchFolder scratch;
    const auto in = scratch.path() / "in", out = scratch.path() / "out",
               err = scratch.path() / "err";
    WriteFile(in, input);
    std::string command = "env";
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

}  // namespace orvale::test
