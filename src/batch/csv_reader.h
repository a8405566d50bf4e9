// SPDX-License-Identifier: GPL-3.0-or-later
// A small reader for comma-separated text (RFC 4180): quoted fields with doubled quotes, commas
// and line breaks inside quotes, CRLF or LF line ends, an optional UTF-8 byte-order mark. Reads a
// whole text, or a stream a record at a time with a bound on a record's length (batch scoring).
#pragma once

#include <cstdint>
#include <istream>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace orvale {

struct CsvRecord {
    int line = 0;                     // 1-based line on which the record starts
    std::vector<std::string> fields;  // empty when error is set
    std::string error;                // why the record could not be read; empty when it was
};

// The longest record a stream reader takes by default: 1 MiB, far beyond any row of scores.
inline constexpr std::size_t kCsvMaxRecordBytes = std::size_t{1} << 20;

// Reads the records of a stream one at a time, holding at most about twice the longest record
// in memory. Empty lines are skipped. A malformed record (a quote inside an unquoted field, text
// after a closing quote, a quote left open at the end) is returned with its error; reading
// resumes on the line after the one the record starts on, even when an open quote had carried
// the record over further lines, so that no later line goes unread. A line longer than the bound
// is returned as an error and skipped without being held; so is a record whose open quote
// carries it past the bound, and reading resumes on its next line as for any malformed record.
class CsvStreamReader {
  public:
    explicit CsvStreamReader(std::istream& input, std::size_t maxRecordBytes = kCsvMaxRecordBytes);

    // The next record; nothing at the end of the input or when reading failed.
    std::optional<CsvRecord> Next();

    bool ReadFailed() const { return readFailed_; }
    std::uint64_t BytesConsumed() const { return discarded_ + position_; }

  private:
    void Fill();
    void SkipRestOfLine();
    std::string_view Unread() const;

    std::istream& input_;
    std::size_t maxRecordBytes_;
    std::string buffer_;
    std::size_t position_ = 0;     // start of the unread text in buffer_
    std::uint64_t discarded_ = 0;  // bytes already dropped from the front of buffer_
    int line_ = 1;                 // line at position_
    bool started_ = false;         // the byte-order mark has been looked for
    bool atEnd_ = false;           // the input has no more bytes
    bool readFailed_ = false;
    bool skippingLine_ = false;  // the rest of an overlong line is still to be skipped
};

// Splits a whole text into records, as CsvStreamReader does with no bound on a record's length.
std::vector<CsvRecord> ReadCsv(std::string_view text);

// One field as CSV text: quoted (with doubled quotes) only when it holds a comma, a quote or a
// line break.
std::string CsvField(std::string_view text);

}  // namespace orvale
