// SPDX-License-Identifier: GPL-3.0-or-later
#include "desktop/program_folder.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace orvale {

QString GetProgramFolder(const QString& programPath) {
    // Position just past the most recent separator; 0 means none seen yet.
    qsizetype folderEnd = 0;
    for (qsizetype i = 0; i + 1 < programPath.size(); ++i) {
        const QChar c = programPath[i];
        if (c == u'\\' || c == u'/') {
            folderEnd = i + 1;
        } else if (c == u'.' &&
                   programPath.mid(i + 1, 3).compare(u"exe", Qt::CaseInsensitive) == 0) {
            return folderEnd == 0 ? QString() : programPath.left(folderEnd - 1);
        }
    }
    return QString();
}

QString ChooseProgramFolder(const QString& applicationDir, const QString& userFolder) {
    if (!applicationDir.isEmpty()) {
        const QFileInfo portable(DataFilePath(applicationDir));
        if (portable.exists() || portable.isSymLink()) return applicationDir;
    }
    return userFolder;
}

QString UserDataFolder() {
    return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
}

QString DataFilePath(const QString& folder) {
    return QDir(folder).filePath(QString::fromLatin1(kDataFileName));
}

}  // namespace orvale
