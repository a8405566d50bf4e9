// Where the previous-data file lives. GetProgramFolder keeps the rule for program paths that end
// in an ".exe" name; on this platform the folder is chosen once at start-up by
// ChooseProgramFolder: the program's own folder when it can be written, else the per-user
// application-data folder.
#pragma once

#include <QString>

namespace orvale {

inline constexpr const char* kDataFileName = "orvale.txt";

// The folder of a program file path such as "C:\Tools\orvale.exe": the text before the last
// backslash (or slash) that precedes the first ".exe" (any case). Empty when the path holds no
// ".exe" or no separator before it.
QString GetProgramFolder(const QString& programPath);

// applicationDir when a file can be created in it; otherwise fallback, created if needed.
QString ChooseProgramFolder(const QString& applicationDir, const QString& fallback);

// The previous-data file inside folder.
QString DataFilePath(const QString& folder);

}  // namespace orvale
