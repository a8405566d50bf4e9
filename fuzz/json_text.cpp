// SPDX-License-Identifier: GPL-3.0-or-later
// Fuzz target: the JSON writer against Qt's (QJsonDocument), an independent writer whose layout
// the program's files have always had. The first eight bytes are a double, the rest a string of
// any bytes; both are written in an array, indented and compact, and must come out byte for byte
// as Qt writes them, but for a U+FEFF at the start of the string, which Qt's UTF-8 reading drops
// and the program keeps, escaped.
#include "report/json_text.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <cstring>
#include <nlohmann/json.hpp>

#include "fuzz_support.h"

using namespace orvale;
using namespace orvale::fuzz;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < sizeof(double)) return 0;
    double number = 0;
    std::memcpy(&number, data, sizeof number);
    const std::string text(reinterpret_cast<const char*>(data) + sizeof number,
                           size - sizeof number);
    const nlohmann::json document = nlohmann::json::array({number, text});
    const QJsonArray array{number,
                           QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()))};
    for (const bool compact : {false, true}) {
        std::string expected =
            QJsonDocument(array)
                .toJson(compact ? QJsonDocument::Compact : QJsonDocument::Indented)
                .toStdString();
        if (text.starts_with("\xEF\xBB\xBF")) {
            const std::size_t quote = expected.find('"');
            expected.insert(quote + 1, "\\ufeff");
        }
        const std::string written =
            JsonText(document, compact ? JsonLayout::kCompact : JsonLayout::kIndented);
        Check(written == expected, "the JSON is written as Qt writes it", written + expected);
    }
    return 0;
}
