#include "app/previous_data.h"

#include <QFile>
#include <charconv>

#include "desktop/atomic_write.h"

namespace orvale {

namespace {

constexpr qsizetype kMaxTokenLength = 64;  // longest number text the reader takes in one go

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
        line += QString(entry).remove(u' ');
        line += u' ';
    }
    return line;
}

std::optional<QString> SavePreviousData(const QString& path, const QStringList& entries,
                                        const QString& extensionItems) {
    const std::optional<QString> reason =
        WriteWholeFile(path, (PreviousDataLine(entries) + extensionItems).toUtf8());
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
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        loaded.error = QStringLiteral("The previous scores could not be read from %1: %2")
                           .arg(path, file.errorString());
        return loaded;
    }
    FileNumberReader reader(file.readAll());
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
