// SPDX-License-Identifier: GPL-3.0-or-later
// Where orvale-score hands over what it made for one case: the bytes written to standard output
// or, whole and through a temporary file, to the --output file.
#pragma once

#include <cstdio>
#include <optional>
#include <string>
#include <string_view>

#include "cli/output.h"

namespace orvale::cli {

// Writes bytes to outputFile, or to out when there is none. kExitOk, or kExitUsage after a
// message on err (the old file is then untouched).
int Deliver(const std::optional<std::string>& outputFile, std::string_view bytes, Output& out,
            std::FILE* err);

}  // namespace orvale::cli
