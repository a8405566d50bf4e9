// SPDX-License-Identifier: GPL-3.0-or-later
// Fuzz target: the previous-data reader. Any file content must read as an independent reading of
// the file format says: white space (codes up to 32) separates items, an item longer than 64
// characters is taken 64 at a time, each piece is a number (sign, digits with one optional point,
// optional exponent) of the correctly rounded value or "Invalid numeric input"; missing numbers
// read as 0. And the line written for validated entries reads back as the same eight values.
#include "app/previous_data.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <QString>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

#include "engine/entry.h"
#include "entry_reference.h"
#include "fuzz_support.h"

using namespace orvale;
using namespace orvale::fuzz;

namespace {

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// One piece as the format defines numbers; nullopt for a malformed one or one beyond the range
// of doubles (overflow, or underflow to zero).
std::optional<double> ReferenceNumber(const std::string& piece) {
    std::size_t mantissaDigits = 0;
    std::size_t points = 0;
    std::size_t i = piece[0] == '+' || piece[0] == '-' ? 1 : 0;
    for (; i < piece.size() && (IsDigit(piece[i]) || piece[i] == '.'); ++i) {
        piece[i] == '.' ? ++points : ++mantissaDigits;
    }
    if (mantissaDigits == 0 || points > 1) return std::nullopt;
    if (i < piece.size()) {
        if (piece[i] != 'e' && piece[i] != 'E') return std::nullopt;
        ++i;
        if (i < piece.size() && (piece[i] == '+' || piece[i] == '-')) ++i;
        if (i == piece.size()) return std::nullopt;
        for (; i < piece.size(); ++i) {
            if (!IsDigit(piece[i])) return std::nullopt;
        }
    }
    errno = 0;
    const double value = std::strtod(piece.c_str(), nullptr);
    if (errno == ERANGE && (std::isinf(value) || value == 0)) return std::nullopt;
    return value;
}

// The file's items in order, up to the first malformed one (then nullopt ends the list).
std::vector<std::optional<double>> ReferenceItems(const std::string& content) {
    std::vector<std::optional<double>> items;
    std::size_t i = 0;
    while (true) {
        while (i < content.size() && static_cast<unsigned char>(content[i]) <= 32) ++i;
        if (i == content.size()) return items;
        std::size_t end = i;
        while (end < content.size() && end - i < 64 &&
               static_cast<unsigned char>(content[end]) > 32)
            ++end;
        items.push_back(ReferenceNumber(content.substr(i, end - i)));
        if (!items.back()) return items;
        i = end;
    }
}

std::string SixDigits(double value) {
    char text[64];
    // A negative zero shows as "0": nothing to tell the user apart from zero.
    std::snprintf(text, sizeof text, "%.6g", value == 0 ? 0.0 : value);
    return text;
}

bool Same(double a, double b) {
    return a == b && std::signbit(a) == std::signbit(b);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const ScratchFile file("orvale.txt");
    FuzzedDataProvider input(data, size);
    if (input.ConsumeBool()) {
        const std::string content = input.ConsumeRemainingBytesAsString();
        const std::vector<std::optional<double>> expected = ReferenceItems(content);
        FileNumberReader reader{QByteArray::fromStdString(content)};
        for (const std::optional<double>& item : expected) {
            const std::optional<double> number = reader.Next();
            Check(number.has_value() == item.has_value() && (!item || Same(*number, *item)),
                  "each item reads as the number it spells", content);
        }
        if (expected.empty() || expected.back()) {
            Check(reader.Next() == 0.0 && reader.Next() == 0.0, "past the end numbers read as 0");
        }

        const LoadedData loaded = LoadPreviousData(QString::fromStdString(file.Write(content)), 8);
        Check(loaded.fileFound, "the file is found");
        // The file reader skips a UTF-8 byte-order mark at the start, as editors may save one.
        const std::string bom = "\xEF\xBB\xBF";
        const std::vector<std::optional<double>> expectedInFile =
            content.rfind(bom, 0) == 0 ? ReferenceItems(content.substr(bom.size())) : expected;
        std::size_t good = 0;
        while (good < expectedInFile.size() && good < 8 && expectedInFile[good]) ++good;
        const bool malformed = good < expectedInFile.size() && good < 8;
        Check(loaded.error.has_value() == malformed &&
                  (!malformed || *loaded.error == QStringLiteral("Invalid numeric input")),
              "a malformed number among the eight is Invalid numeric input", content);
        Check(loaded.fields.size() == (malformed ? static_cast<qsizetype>(good) : 8),
              "the fields read before a malformed number keep their values", content);
        for (qsizetype k = 0; k < loaded.fields.size(); ++k) {
            const double value =
                static_cast<std::size_t>(k) < expectedInFile.size() ? *expectedInFile[k] : 0.0;
            // An exact half at the sixth digit (200000.5) may go either way: printf takes the even
            // neighbour, Qt the one away from zero.
            const double away = std::nextafter(value, std::copysign(INFINITY, value));
            const std::string shown = loaded.fields[k].toStdString();
            Check(shown == SixDigits(value) || shown == SixDigits(away),
                  "a field shows its number with six significant digits",
                  shown + " for " + SixDigits(value));
        }
        return 0;
    }

    // Eight validated entries (as Compute saves them) read back as the values Compute used.
    QStringList entries;
    std::vector<EntryReading> readings;
    for (int k = 0; k < 8; ++k) {
        const std::string text = input.ConsumeRandomLengthString(80);
        const ParsedEntry parsed = ParseScoreEntry(text, "caption");
        if (!parsed.ok() || CheckScaledScoreRange("caption", parsed.value)) return 0;
        // An entry that cannot be read back as one number of at most 64 characters is written in
        // its shortest form by the writer's own rule; this checks the entries written verbatim.
        if (QString::fromStdString(text).remove(u' ').size() > 64) return 0;
        entries.append(QString::fromStdString(text));
        readings.push_back(ReadEntry(text, false));
    }
    FileNumberReader reader(PreviousDataLine(entries).toUtf8());
    for (const EntryReading& reading : readings) {
        const std::optional<double> number = reader.Next();
        Check(number && AgreesWith(*number, reading), "a saved entry reads back as its value",
              PreviousDataLine(entries).toStdString());
    }
    Check(reader.Next() == 0.0, "nothing follows the eight entries");
    return 0;
}
