// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/case_output.h"

#include "cli/command_line.h"
#include "files/whole_file.h"

namespace orvale::cli {

int Deliver(const std::optional<std::string>& outputFile, std::string_view bytes, Output& out,
            std::FILE* err) {
    if (!outputFile) {
        out.Write(bytes);
        return kExitOk;  // a failed write is reported when the output is finished
    }
    if (const std::optional<std::string> reason =
            WriteWholeFile(*outputFile, bytes, LinkAtPath::WriteThrough, PipeReader::AwaitIt)) {
        std::fprintf(err, "orvale-score: cannot write %s: %s\n", outputFile->c_str(),
                     reason->c_str());
        return kExitUsage;
    }
    return kExitOk;
}

}  // namespace orvale::cli
