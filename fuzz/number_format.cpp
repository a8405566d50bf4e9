// SPDX-License-Identifier: GPL-3.0-or-later
// Fuzz target: the number formatter. FormatFixed on any long double, width and number of decimals
// must equal the exact decimal rounding of the value (fuzz/exact_decimal.h); FormatLine on any
// format text must either refuse it with std::invalid_argument or fill it exactly as an
// independent reading of the placeholder grammar does.
#include "numeric/number_format.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <cstring>
#include <initializer_list>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "exact_decimal.h"
#include "fuzz_support.h"

using namespace orvale;
using namespace orvale::fuzz;

namespace {

constexpr int kMaxPlaceholderNumber = 999;  // the largest width or decimal count a format takes

// format filled from args by the grammar "%%" | "%" digits? ("." digits?)? ("f" | "d" | "s");
// nullopt when the format is malformed or does not match the arguments.
std::optional<std::string> ReferenceLine(std::string_view format,
                                         const std::vector<FormatArgument>& args, char separator) {
    std::string out;
    std::size_t used = 0;
    std::size_t i = 0;
    const auto number = [&](int& value) {
        value = 0;
        for (; i < format.size() && format[i] >= '0' && format[i] <= '9'; ++i) {
            value = value * 10 + (format[i] - '0');
            if (value > kMaxPlaceholderNumber) return false;
        }
        return true;
    };
    while (i < format.size()) {
        if (format[i] != '%') {
            out.push_back(format[i++]);
            continue;
        }
        if (format.substr(i, 2) == "%%") {
            out.push_back('%');
            i += 2;
            continue;
        }
        ++i;
        int width = 0;
        int decimals = 6;
        bool hasDecimals = false;
        if (!number(width)) return std::nullopt;
        if (i < format.size() && format[i] == '.') {
            ++i;
            hasDecimals = true;
            if (!number(decimals)) return std::nullopt;
        }
        if (i >= format.size() || used >= args.size()) return std::nullopt;
        const FormatArgument& arg = args[used++];
        std::string text;
        switch (format[i++]) {
            case 'f':
                if (const auto* x = std::get_if<long double>(&arg)) {
                    text = ReferenceFixed(*x, 0, decimals, separator);
                } else if (const auto* n = std::get_if<int>(&arg)) {
                    text = ReferenceFixed(*n, 0, decimals, separator);
                } else {
                    return std::nullopt;
                }
                break;
            case 'd':
                if (!std::holds_alternative<int>(arg) || hasDecimals) return std::nullopt;
                text = std::to_string(std::get<int>(arg));
                break;
            case 's':
                if (!std::holds_alternative<std::string_view>(arg)) return std::nullopt;
                text = std::string(std::get<std::string_view>(arg));
                break;
            default:
                return std::nullopt;
        }
        if (static_cast<int>(text.size()) < width) text.insert(0, width - text.size(), ' ');
        out += text;
    }
    if (used != args.size()) return std::nullopt;
    return out;
}

std::optional<std::string> Format(std::string_view format,
                                  std::initializer_list<FormatArgument> args, char separator) {
    try {
        return FormatLine(format, args, separator);
    } catch (const std::invalid_argument&) {
        return std::nullopt;
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider input(data, size);
    // Half of the time a double (what the report mostly formats), else any long double.
    unsigned char bytes[10] = {};
    const bool fromDouble = input.ConsumeBool();
    input.ConsumeData(bytes, sizeof bytes);
    double asDouble = 0;
    std::memcpy(&asDouble, bytes, sizeof asDouble);
    const long double value = fromDouble ? asDouble : LongDoubleFromBytes(bytes);
    const char separator = input.ConsumeBool() ? ',' : '.';
    const int width = input.ConsumeIntegralInRange(0, 40);
    // Mostly the report's few decimals, now and then far more than a long double has digits.
    const int decimals = input.ConsumeBool() ? input.ConsumeIntegralInRange(0, 12)
                                             : input.ConsumeIntegralInRange(0, 400);
    const std::string fixed = FormatFixed(value, width, decimals, separator);
    const std::string expected = ReferenceFixed(value, width, decimals, separator);
    Check(fixed == expected, "FormatFixed rounds the exact decimal value",
          fixed + " instead of " + expected + " (decimals " + std::to_string(decimals) + ")");

    const int whole = input.ConsumeIntegral<int>();
    const std::string word = input.ConsumeRandomLengthString(16);
    const std::string format = input.ConsumeRemainingBytesAsString();
    const std::string_view text = word;
    const auto agrees = [&](std::initializer_list<FormatArgument> args) {
        const std::optional<std::string> line = Format(format, args, separator);
        const std::optional<std::string> reference =
            ReferenceLine(format, std::vector(args), separator);
        Check(line == reference, "FormatLine fills the format as its grammar says",
              format + " gave " + line.value_or("(refused)") + ", expected " +
                  reference.value_or("(refused)"));
    };
    agrees({});
    agrees({value});
    agrees({whole});
    agrees({text});
    agrees({value, whole, text});
    agrees({whole, value, value});
    return 0;
}
