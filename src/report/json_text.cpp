// SPDX-License-Identifier: GPL-3.0-or-later
// JSON text: see json_text.h.
#include "report/json_text.h"

#include <charconv>
#include <cmath>
#include <cstdlib>
#include <nlohmann/json.hpp>

#include "report/utf8.h"

namespace orvale {

namespace {

constexpr double kLargestExactInteger = 9007199254740992.0;  // 2^53
constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

void AppendString(std::string& out, std::string_view raw) {
    const std::string text = ValidUtf8(raw);
    std::string_view rest = text;
    out += '"';
    if (rest.starts_with(kByteOrderMark)) {
        out += "\\ufeff";
        rest.remove_prefix(kByteOrderMark.size());
    }
    static constexpr char kHex[] = "0123456789abcdef";
    for (const char c : rest) {
        const auto byte = static_cast<unsigned char>(c);
        switch (c) {
            case '"':
                out += "\\\"";
                break;
            case '\\':
                out += "\\\\";
                break;
            case '\b':
                out += "\\b";
                break;
            case '\f':
                out += "\\f";
                break;
            case '\n':
                out += "\\n";
                break;
            case '\r':
                out += "\\r";
                break;
            case '\t':
                out += "\\t";
                break;
            default:
                if (byte < 0x20) {
                    out += "\\u00";
                    out += kHex[byte >> 4];
                    out += kHex[byte & 0xF];
                } else {
                    out += c;
                }
        }
    }
    out += '"';
}

void AppendValue(std::string& out, const nlohmann::json& value, int level, JsonLayout layout);

// The members or elements of a container between its brackets; level is that of the container.
void AppendContainer(std::string& out, const nlohmann::json& value, int level, JsonLayout layout) {
    const bool compact = layout == JsonLayout::kCompact;
    const bool object = value.is_object();
    out += object ? '{' : '[';
    if (!compact) out += '\n';
    const std::string indent(compact ? 0 : 4 * (level + 1), ' ');
    bool first = true;
    for (auto member = value.begin(); member != value.end(); ++member) {
        if (!first) out += compact ? "," : ",\n";
        first = false;
        out += indent;
        if (object) {
            AppendString(out, member.key());
            out += compact ? ":" : ": ";
        }
        AppendValue(out, member.value(), level + 1, layout);
    }
    if (!compact && !first) out += '\n';
    if (!compact) out.append(4 * level, ' ');
    out += object ? '}' : ']';
}

void AppendValue(std::string& out, const nlohmann::json& value, int level, JsonLayout layout) {
    switch (value.type()) {
        case nlohmann::json::value_t::object:
        case nlohmann::json::value_t::array:
            AppendContainer(out, value, level, layout);
            break;
        case nlohmann::json::value_t::string:
            AppendString(out, value.get_ref<const std::string&>());
            break;
        case nlohmann::json::value_t::boolean:
            out += value.get<bool>() ? "true" : "false";
            break;
        case nlohmann::json::value_t::number_integer:
            out += std::to_string(value.get<std::int64_t>());
            break;
        case nlohmann::json::value_t::number_unsigned:
            out += std::to_string(value.get<std::uint64_t>());
            break;
        case nlohmann::json::value_t::number_float:
            out += JsonNumber(value.get<double>());
            break;
        default:  // null, and what JSON text cannot hold (binary, discarded)
            out += "null";
    }
}

}  // namespace

std::string JsonNumber(double value) {
    if (!std::isfinite(value)) return "null";
    if (value == std::trunc(value) && std::fabs(value) <= kLargestExactInteger) {
        return std::to_string(static_cast<long long>(value));
    }
    // The shortest digits that read back exactly, as d.ddde±x.
    char buffer[40];
    const auto written =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::scientific);
    const std::string_view scientific(buffer, static_cast<std::size_t>(written.ptr - buffer));
    const std::size_t e = scientific.find('e');
    const bool negative = scientific.front() == '-';
    std::string digits;
    for (const char c : scientific.substr(0, e)) {
        if (c >= '0' && c <= '9') digits += c;
    }
    int exponent = 0;
    const char* sign = scientific.data() + e + 1;
    std::from_chars(*sign == '+' ? sign + 1 : sign, written.ptr, exponent);
    const int point = exponent + 1;  // digits before the decimal point
    const auto size = static_cast<int>(digits.size());

    std::string positional(negative ? "-" : "");
    if (point <= 0) {
        positional.append("0.").append(static_cast<std::size_t>(-point), '0').append(digits);
    } else if (point < size) {
        positional.append(digits, 0, static_cast<std::size_t>(point))
            .append(1, '.')
            .append(digits, static_cast<std::size_t>(point));
    } else {
        positional.append(digits).append(static_cast<std::size_t>(point - size), '0');
    }
    std::string exponential(negative ? "-" : "");
    exponential.append(digits, 0, 1);
    if (size > 1) exponential.append(1, '.').append(digits, 1);
    const int magnitude = std::abs(exponent);
    exponential.append(exponent < 0 ? "e-" : "e+");
    if (magnitude < 10) exponential.append(1, '0');
    exponential.append(std::to_string(magnitude));
    return exponential.size() < positional.size() ? exponential : positional;
}

std::string JsonText(const nlohmann::json& document, JsonLayout layout) {
    std::string text;
    AppendValue(text, document, 0, layout);
    if (layout == JsonLayout::kIndented) text += '\n';
    return text;
}

}  // namespace orvale
