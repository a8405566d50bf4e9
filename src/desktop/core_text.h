// SPDX-License-Identifier: GPL-3.0-or-later
// Texts and file names between the windows (QString) and the core and files library (UTF-8 and
// bytes in std::string): every character kept, and file names converted as QFile converts them,
// so that a name the dialogs hand over reaches the file it names.
#pragma once

#include <QFile>
#include <QString>
#include <QStringDecoder>
#include <string>
#include <string_view>

namespace orvale {

// UTF-8 of the core as a QString. Unlike QString::fromUtf8, a U+FEFF at the start is kept: notes
// may begin with one.
inline QString TextFromCore(std::string_view text) {
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::ConvertInitialBom |
                                                     QStringDecoder::Flag::Stateless);
    return decoder(QByteArrayView(text.data(), static_cast<qsizetype>(text.size())));
}

inline std::string FileNameBytes(const QString& name) {
    return QFile::encodeName(name).toStdString();
}

inline QString FileNameText(const std::string& bytes) {
    return QFile::decodeName(QByteArray::fromStdString(bytes));
}

}  // namespace orvale
