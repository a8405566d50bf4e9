// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/previous_data.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "desktop/user_files.h"

namespace orvale {

QString PreviousDataLine(const QStringList& entries) {
    std::vector<std::string> texts;
    for (const QString& entry : entries) texts.push_back(entry.toStdString());
    return QString::fromStdString(RememberedScoresLine(texts));
}

std::optional<QString> SavePreviousData(const QString& path, const QStringList& entries,
                                        const QString& extensionItems) {
    // The per-user folder is made when the first scores are saved.
    QDir().mkpath(QFileInfo(path).absolutePath());
    const std::optional<QString> reason = WriteWholeFile(
        path, (PreviousDataLine(entries) + extensionItems).toUtf8(), LinkAtPath::Replace);
    if (!reason) return std::nullopt;
    return QStringLiteral("The scores could not be saved to %1: %2").arg(path, *reason);
}

std::optional<double> FileNumberReader::Next() {
    return ReadFileNumber(std::string_view(content_.constData(), content_.size()), pos_);
}

LoadedData LoadPreviousData(const QString& path, int loadCount,
                            const FollowingItemsReader& readFollowing) {
    LoadedData loaded;
    if (!QFile::exists(path)) return loaded;
    loaded.fileFound = true;
    QString reason;
    std::optional<QByteArray> content = ReadBoundedRegularFile(path, kMaxDataFileSize, reason);
    if (!content) {
        loaded.error =
            QStringLiteral("The previous scores could not be read from %1: %2").arg(path, reason);
        return loaded;
    }
    std::size_t pos = 0;
    const RememberedScores scores = ReadRememberedScores(
        std::string_view(content->constData(), content->size()), loadCount, &pos);
    for (const std::string& field : scores.fields)
        loaded.fields.append(QString::fromStdString(field));
    if (scores.malformed) {
        loaded.error = QString::fromLatin1(kInvalidNumericInput);
        return loaded;
    }
    FileNumberReader reader(std::move(*content), pos);
    if (readFollowing) loaded.error = readFollowing(reader, scores.values);
    return loaded;
}

}  // namespace orvale
