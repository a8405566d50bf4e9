// SPDX-License-Identifier: GPL-3.0-or-later
// Strict JSON reading: see json_read.h.
#include "report/json_read.h"

#include <charconv>
#include <cstdint>
#include <vector>

namespace orvale {

namespace {

// Beyond this a whole number would not fit 64 bits or stand for one (file sizes keep the
// mantissa far shorter).
constexpr long long kLargestExponent = 1'000'000;

// The whole number a JSON number literal stands for exactly, when it is one that fits 64 bits.
std::optional<std::int64_t> ExactWholeNumber(std::string_view literal) {
    const bool negative = literal.starts_with('-');
    if (negative) literal.remove_prefix(1);
    const std::size_t e = literal.find_first_of("eE");
    const std::string_view mantissa = literal.substr(0, e);
    long long exponent = 0;
    if (e != std::string_view::npos) {
        std::string_view text = literal.substr(e + 1);
        if (text.starts_with('+')) text.remove_prefix(1);
        const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), exponent);
        if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
        if (exponent < -kLargestExponent || exponent > kLargestExponent) return std::nullopt;
    }
    std::string digits;
    const std::size_t point = mantissa.find('.');
    if (point != std::string_view::npos) {
        exponent -= static_cast<long long>(mantissa.size() - point - 1);
    }
    for (const char c : mantissa) {
        if (c != '.') digits += c;
    }
    while (!digits.empty() && digits.back() == '0') {
        digits.pop_back();
        ++exponent;
    }
    const std::size_t first = digits.find_first_not_of('0');
    if (first == std::string::npos) return 0;
    digits.erase(0, first);
    if (exponent < 0 || exponent + static_cast<long long>(digits.size()) > 18) return std::nullopt;
    digits.append(static_cast<std::size_t>(exponent), '0');
    std::int64_t value = 0;
    std::from_chars(digits.data(), digits.data() + digits.size(), value);
    return negative ? -value : value;
}

// nlohmann's account of a fault in plain words.
std::string Reason(const std::string& what) {
    const struct {
        const char* says;
        const char* reason;
    } reasons[] = {
        {"surrogate", "half of a UTF-16 surrogate pair"},
        {"after backslash", "invalid escape sequence"},
        {"must be followed by 4 hex digits", "invalid escape sequence"},
        {"ill-formed UTF-8", "invalid UTF8 string"},
        {"control character", "control character in a string"},
        {"missing closing quote", "unterminated string"},
        {"invalid number", "illegal number"},
        {"number overflow", "illegal number"},
        {"invalid BOM", "invalid byte-order mark"},
        {"invalid literal", "illegal value"},
        {"; expected end of input", "garbage at the end of the document"},
        {"while parsing object separator", "missing name separator"},
        {"while parsing object key", "missing member name"},
        {"while parsing object -", "unterminated object"},
        {"while parsing array -", "unterminated array"},
    };
    for (const auto& entry : reasons) {
        if (what.find(entry.says) != std::string::npos) return entry.reason;
    }
    return "illegal value";
}

// Builds the document from the parser's events, as nlohmann's own DOM reader does, and notes the
// literal of each number and where a fault was met.
class DocumentBuilder {
  public:
    using json = nlohmann::json;

    explicit DocumentBuilder(JsonReading& reading) : reading_(reading) {}

    bool null() { return Add(nullptr); }
    bool boolean(bool value) { return Add(value); }
    bool number_integer(json::number_integer_t value) {
        return Number(value, std::to_string(value));
    }
    bool number_unsigned(json::number_unsigned_t value) {
        return Number(value, std::to_string(value));
    }
    bool number_float(json::number_float_t value, const std::string& literal) {
        if (const std::optional<std::int64_t> whole = ExactWholeNumber(literal)) {
            return Number(*whole, literal);
        }
        return Number(value, literal);
    }
    bool string(std::string& value) { return Add(std::move(value)); }
    bool binary(json::binary_t&) { return false; }  // no JSON text holds one
    bool start_object(std::size_t) { return Open(json::object()); }
    bool key(std::string& name) {
        path_.back() = name;
        awaitingValue_ = true;
        return true;
    }
    bool end_object() { return Close(); }
    bool start_array(std::size_t) { return Open(json::array()); }
    bool end_array() { return Close(); }
    bool parse_error(std::size_t position, const std::string&,
                     const nlohmann::detail::exception& error) {
        std::string member;
        if (awaitingValue_) member = Path();
        reading_.error = JsonError{position, Reason(error.what()), member};
        return false;
    }

  private:
    // The member path of the value being read; inside an array, none.
    std::string Path() const {
        std::string path;
        for (const std::string& name : path_) {
            if (name == kInArray) return {};
            path += (path.empty() ? "" : "/") + name;
        }
        return path;
    }
    template <typename Value>
    json* Place(Value&& value) {
        awaitingValue_ = false;
        if (open_.empty()) {
            reading_.document = std::forward<Value>(value);
            return &reading_.document;
        }
        json& parent = *open_.back();
        if (parent.is_array()) {
            parent.push_back(std::forward<Value>(value));
            return &parent.back();
        }
        json& slot = parent[path_.back()];
        slot = std::forward<Value>(value);
        return &slot;
    }
    template <typename Value>
    bool Add(Value&& value) {
        Place(std::forward<Value>(value));
        return true;
    }
    template <typename Value>
    bool Number(Value value, const std::string& literal) {
        if (const std::string path = Path(); !path.empty()) reading_.numbers[path] = literal;
        return Add(value);
    }
    bool Open(json&& container) {
        const bool array = container.is_array();
        open_.push_back(Place(std::move(container)));
        path_.emplace_back(array ? kInArray : "");
        return true;
    }
    bool Close() {
        open_.pop_back();
        path_.pop_back();
        return true;
    }

    static constexpr const char* kInArray = "\x01[]";  // no member name can be this
    JsonReading& reading_;
    std::vector<json*> open_;        // the containers being filled, innermost last
    std::vector<std::string> path_;  // the member name (or kInArray) at each level
    bool awaitingValue_ = false;     // a member's name was read, its value not yet
};

}  // namespace

JsonReading ReadJson(std::string_view text) {
    JsonReading reading;
    DocumentBuilder builder(reading);
    if (!nlohmann::json::sax_parse(text.begin(), text.end(), &builder) && !reading.error) {
        reading.error = JsonError{0, "illegal value", {}};
    }
    // nlohmann's reader takes a NUL outside a string for the end of the text: what follows one
    // is no part of a document.
    if (const std::size_t nul = text.find('\0'); !reading.error && nul != std::string_view::npos) {
        reading.error = JsonError{nul + 1, "garbage at the end of the document", {}};
    }
    if (reading.error) {
        reading.document = nullptr;
        reading.numbers.clear();
    }
    return reading;
}

}  // namespace orvale
