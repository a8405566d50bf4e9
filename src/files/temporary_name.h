// SPDX-License-Identifier: GPL-3.0-or-later
// The names of the temporary files the whole-file writer puts beside the file it replaces,
// "<name>.tmp-<process id>-XXXXXX": unguessable, and the process id tells at the next start
// whether the writer still runs. Shared by the POSIX and the Windows writer.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace orvale {

// "<path>.tmp-<process id>-", to which the writer adds six characters of its choice.
std::string TemporaryNameStart(const std::string& path, long long processId);

// The process id in fileName when it names one of the temporary files of a file called name
// ("<name>.tmp-<process id>-XXXXXX", names without their folder); none otherwise.
std::optional<long long> TemporaryFileWriter(std::string_view fileName, std::string_view name);

}  // namespace orvale
