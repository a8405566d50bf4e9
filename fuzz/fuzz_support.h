// SPDX-License-Identifier: GPL-3.0-or-later
// Helpers shared by the fuzz targets: a property check that stops the run as a finding, and a
// scratch file for targets whose code under test reads from a path.
#pragma once

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

namespace orvale::fuzz {

// A property that does not hold is a finding: say which, then abort so that libFuzzer keeps the
// input as a crash artifact.
inline void Check(bool holds, std::string_view what, std::string_view detail = {}) {
    if (holds) return;
    std::fprintf(stderr, "property violated: %.*s\n  %.*s\n", static_cast<int>(what.size()),
                 what.data(), static_cast<int>(detail.size()), detail.data());
    std::abort();
}

// A file of this process's own in the temporary folder, rewritten for each input.
class ScratchFile {
  public:
    explicit ScratchFile(const char* name) {
        const char* folder = std::getenv("TMPDIR");
        path_ = std::string(folder && *folder ? folder : "/tmp") + "/orvale-fuzz-" +
                std::to_string(::getpid()) + "-" + name;
    }
    ~ScratchFile() { std::remove(path_.c_str()); }
    const std::string& Write(std::string_view content) const {
        std::FILE* file = std::fopen(path_.c_str(), "wb");
        Check(file != nullptr, "the scratch file can be created", path_);
        Check(std::fwrite(content.data(), 1, content.size(), file) == content.size() &&
                  std::fclose(file) == 0,
              "the scratch file can be written", path_);
        return path_;
    }
    const std::string& Path() const { return path_; }

  private:
    std::string path_;
};

}  // namespace orvale::fuzz
