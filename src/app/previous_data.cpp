// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/previous_data.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <charconv>

#include "desktop/user_files.h"
#include "engine/entry.h"

namespace orvale {

namespace {

constexpr qsizetype kMaxTokenLength = 64;  // longest number text the reader takes in one go
constexpr const char kByteOrderMark[] = "\xEF\xBB\xBF";  // UTF-8, as some editors save it

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}
bool IsWhiteSpace(char c) {
    return static_cast<unsigned char>(c) <= 32;
}

}  // namespace

QString PreviousDataLine(const QStringList& entries) {
    QString line;
    for (const QString& entry : entries) {
        QString text = QString(entry).remove(u' ');
        if (text.size() > kMaxTokenLength) {
            // The reader would split it into two numbers: write the value Compute used instead.
            const ParsedEntry parsed = ParseScoreEntry(text.toStdString(), "");
            char buffer[32];
            const auto end = std::to_chars(buffer, buffer + sizeof buffer, parsed.value).ptr;
            text = QString::fromLatin1(buffer, end - buffer);
        }
        line += text;
        line += u' ';
    }
    return line;
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

std::optional<double> ParseFileNumber(const QByteArray& token) {
    qsizetype i = 0;
    const qsizetype n = token.size();
    if (i < n && (token[i] == '+' || token[i] == '-')) ++i;
    const qsizetype mantissaStart = i;
    int digits = 0;
    while (i < n && IsDigit(token[i])) ++i, ++digits;
    if (i < n && token[i] == '.') {
        ++i;
        while (i < n && IsDigit(token[i])) ++i, ++digits;
    }
    if (digits == 0) return std::nullopt;
    if (i < n && (token[i] == 'e' || token[i] == 'E')) {
        ++i;
        if (i < n && (token[i] == '+' || token[i] == '-')) ++i;
        int exponentDigits = 0;
        while (i < n && IsDigit(token[i])) ++i, ++exponentDigits;
        if (exponentDigits == 0) return std::nullopt;
    }
    if (i != n) return std::nullopt;
    // from_chars knows no leading '+'; the sign is applied here.
    double value = 0;
    const char* begin = token.constData() + mantissaStart;
    const auto [end, ec] = std::from_chars(begin, token.constData() + n, value);
    if (ec == std::errc::result_out_of_range) return std::nullopt;
    if (ec != std::errc() || end != token.constData() + n) return std::nullopt;
    return token[0] == '-' ? -value : value;
}

std::optional<double> FileNumberReader::Next() {
    while (pos_ < content_.size() && IsWhiteSpace(content_[pos_])) ++pos_;
    if (pos_ >= content_.size()) return 0.0;  // past the end of the file a number reads as 0
    const qsizetype start = pos_;
    while (pos_ < content_.size() && !IsWhiteSpace(content_[pos_]) &&
           pos_ - start < kMaxTokenLength) {
        ++pos_;
    }
    return ParseFileNumber(content_.mid(start, pos_ - start));
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
    if (content->startsWith(kByteOrderMark)) content->remove(0, 3);
    FileNumberReader reader(std::move(*content));
    std::vector<double> values;
    for (int k = 0; k < loadCount; ++k) {
        const std::optional<double> number = reader.Next();
        if (!number) {
            loaded.error = QString::fromLatin1(kInvalidNumericInput);
            return loaded;
        }
        values.push_back(*number);
        loaded.fields.append(QString::number(*number, 'g', 6));
    }
    if (readFollowing) loaded.error = readFollowing(reader, values);
    return loaded;
}

}  // namespace orvale
