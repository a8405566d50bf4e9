// SPDX-License-Identifier: GPL-3.0-or-later
// Where the previous-data file lives. GetProgramFolder keeps the rule for program paths that end
// in an ".exe" name; on this platform the folder is chosen once at start-up by
// ChooseProgramFolder: the per-user application-data folder, unless the program's own folder
// already holds a data file (a portable copy of the program).
#pragma once

#include <QString>

namespace orvale {

inline constexpr const char* kDataFileName = "orvale.txt";

// The folder of a program file path such as "C:\Tools\orvale.exe": the text before the last
// backslash (or slash) that precedes the first ".exe" (any case). Empty when the path holds no
// ".exe" or no separator before it.
QString GetProgramFolder(const QString& programPath);

// applicationDir when it already holds the data file (portable use); otherwise userFolder, which
// is created only when the first scores are saved. Installed copies and copies in a build tree
// thus never write beside the executable.
QString ChooseProgramFolder(const QString& applicationDir, const QString& userFolder);

// The per-user application-data folder of the desktop program (~/.local/share/orvale).
QString UserDataFolder();

// The previous-data file inside folder.
QString DataFilePath(const QString& folder);

}  // namespace orvale
