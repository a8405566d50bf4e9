// A small reader for comma-separated text (RFC 4180): quoted fields with doubled quotes, commas
// and line breaks inside quotes, CRLF or LF line ends, an optional UTF-8 byte-order mark. Used by
// batch scoring; lives in the core so that it is tested on its own.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace orvale {

struct CsvRecord {
    int line = 0;                     // 1-based line on which the record starts
    std::vector<std::string> fields;  // empty when error is set
    std::string error;                // why the record could not be read; empty when it was
};

// Splits text into records. Empty lines are skipped. A malformed record (a quote inside an
// unquoted field, text after a closing quote, a quote left open at the end) is returned with its
// error; reading resumes on the line after the one the record starts on, even when an open quote
// had carried the record over further lines, so that no later line goes unread.
std::vector<CsvRecord> ReadCsv(std::string_view text);

// One field as CSV text: quoted (with doubled quotes) only when it holds a comma, a quote or a
// line break.
std::string CsvField(std::string_view text);

}  // namespace orvale
