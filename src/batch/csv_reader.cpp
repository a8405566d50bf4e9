// SPDX-License-Identifier: GPL-3.0-or-later
// A small reader for comma-separated text: see csv_reader.h.
#include "batch/csv_reader.h"

#include <algorithm>
#include <limits>
#include <streambuf>

namespace orvale {

namespace {

constexpr std::size_t kReadChunk = std::size_t{1} << 16;
constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

bool IsLineEnd(char c) {
    return c == '\n' || c == '\r';
}

// How a record at the start of a text was scanned.
struct Scan {
    bool needMore = false;  // the text ends before the record can be told; more is needed
    std::size_t end = 0;    // where the record (or, for a malformed one, its first line) ends
    int lineBreaks = 0;     // line breaks inside its quoted fields
};

// Scans the record that starts a text not starting with a line end. `final`: nothing follows the
// text. The record ends at the line end that closes it, which is left for the caller to skip.
Scan ScanRecord(std::string_view text, bool final, CsvRecord& record) {
    Scan scan;
    std::size_t pos = 0;
    std::string field;
    bool inFieldText = false;  // the current field already holds text (or a closed quote)
    // A malformed record is given up at the end of the line it starts on, wherever its quotes
    // had led the scan: a stray quote must not swallow the records of the lines that follow.
    const auto fail = [&](const char* message) {
        const std::size_t lineEnd = text.find_first_of("\r\n");
        if (lineEnd == std::string_view::npos && !final) return Scan{true, 0, 0};
        record.fields.clear();
        record.error = message;
        return Scan{false, std::min(lineEnd, text.size()), 0};
    };
    const auto needMore = [&] { return !final && pos == text.size(); };
    for (;;) {
        if (needMore()) return Scan{true, 0, 0};
        if (pos == text.size() || IsLineEnd(text[pos])) {
            record.fields.push_back(std::move(field));
            scan.end = pos;
            return scan;
        }
        const char c = text[pos];
        if (c == ',') {
            record.fields.push_back(std::move(field));
            field.clear();
            inFieldText = false;
            ++pos;
        } else if (c == '"' && field.empty() && !inFieldText) {
            ++pos;
            for (;;) {
                if (pos == text.size()) {
                    if (!final) return Scan{true, 0, 0};
                    return fail("a quoted field is not closed");
                }
                const char q = text[pos++];
                if (needMore()) return Scan{true, 0, 0};  // a doubled quote or a CRLF?
                if (q == '"') {
                    if (pos == text.size() || text[pos] != '"') break;
                    field.push_back('"');
                    ++pos;
                    continue;
                }
                if (q == '\n' || (q == '\r' && (pos == text.size() || text[pos] != '\n'))) {
                    ++scan.lineBreaks;
                }
                field.push_back(q);
            }
            // After the closing quote only a comma or the end of the record may follow.
            if (pos < text.size() && !IsLineEnd(text[pos]) && text[pos] != ',') {
                return fail("unexpected text after a closing quote");
            }
            inFieldText = true;
        } else if (c == '"') {
            return fail("a quote inside an unquoted field");
        } else {
            field.push_back(c);
            inFieldText = true;
            ++pos;
        }
    }
}

std::string SizeText(std::size_t bytes) {
    constexpr std::size_t kMiB = std::size_t{1} << 20;
    if (bytes % kMiB == 0) return std::to_string(bytes / kMiB) + " MiB";
    return std::to_string(bytes) + " bytes";
}

// A read-only stream over a text that is not copied.
class TextBuffer : public std::streambuf {
  public:
    explicit TextBuffer(std::string_view text) {
        char* begin = const_cast<char*>(text.data());
        setg(begin, begin, begin + text.size());
    }
};

}  // namespace

CsvStreamReader::CsvStreamReader(std::istream& input, std::size_t maxRecordBytes)
    : input_(input), maxRecordBytes_(maxRecordBytes) {}

std::string_view CsvStreamReader::Unread() const {
    return std::string_view(buffer_).substr(position_);
}

// Drops the text already read and appends at least as much as is left unread, so that a long
// record is scanned again only a logarithmic number of times.
void CsvStreamReader::Fill() {
    buffer_.erase(0, position_);
    discarded_ += position_;
    position_ = 0;
    const std::size_t wanted = std::max(kReadChunk, buffer_.size());
    const std::size_t old = buffer_.size();
    buffer_.resize(old + wanted);
    input_.read(buffer_.data() + old, static_cast<std::streamsize>(wanted));
    const auto got = static_cast<std::size_t>(input_.gcount());
    buffer_.resize(old + got);
    if (got < wanted) {
        atEnd_ = true;
        readFailed_ = input_.bad();
    }
}

// Leaves position_ at the end of the current line (its line end not skipped), holding nothing
// of the line meanwhile.
void CsvStreamReader::SkipRestOfLine() {
    for (;;) {
        const std::size_t lineEnd = Unread().find_first_of("\r\n");
        if (lineEnd != std::string_view::npos) {
            position_ += lineEnd;
            return;
        }
        position_ = buffer_.size();
        if (atEnd_) return;
        Fill();
    }
}

std::optional<CsvRecord> CsvStreamReader::Next() {
    while (!started_) {
        if (buffer_.size() < kByteOrderMark.size() && !atEnd_) {
            Fill();
            continue;
        }
        if (Unread().starts_with(kByteOrderMark)) position_ += kByteOrderMark.size();
        started_ = true;
    }
    for (;;) {
        if (skippingLine_) {
            SkipRestOfLine();
            skippingLine_ = false;
        }
        // What was read before a failed read may end inside a record: no record comes from it.
        if (readFailed_) return std::nullopt;
        const std::string_view text = Unread();
        if (text.empty() || (text == "\r" && !atEnd_)) {
            if (atEnd_) return std::nullopt;
            Fill();
            continue;
        }
        if (IsLineEnd(text[0])) {  // an empty line, or the end of the previous record's line
            position_ += text.starts_with("\r\n") ? 2 : 1;
            ++line_;
            continue;
        }
        CsvRecord record;
        record.line = line_;
        const Scan scan = ScanRecord(text, atEnd_, record);
        if (!scan.needMore && scan.end <= maxRecordBytes_) {
            position_ += scan.end;
            line_ += scan.lineBreaks;
            return record;
        }
        if (scan.needMore && text.size() <= maxRecordBytes_) {
            Fill();
            continue;
        }
        // Longer than the bound, whether or not its end has been read yet.
        record.fields.clear();
        std::size_t lineEnd = text.find_first_of("\r\n");
        if (lineEnd == std::string_view::npos && !scan.needMore) lineEnd = text.size();
        if (lineEnd <= maxRecordBytes_) {
            record.error = "a quoted field is not closed within " + SizeText(maxRecordBytes_);
        } else {
            record.error = "the line is longer than " + SizeText(maxRecordBytes_);
        }
        if (lineEnd != std::string_view::npos) {
            position_ += lineEnd;
        } else {
            // Skipped when the next record is asked for: a caller that stops at this one (an
            // endless first line) must not wait for a line end that may never come.
            skippingLine_ = true;
        }
        return record;
    }
}

std::vector<CsvRecord> ReadCsv(std::string_view text) {
    TextBuffer buffer(text);
    std::istream input(&buffer);
    CsvStreamReader reader(input, std::numeric_limits<std::size_t>::max());
    std::vector<CsvRecord> records;
    while (std::optional<CsvRecord> record = reader.Next()) records.push_back(std::move(*record));
    return records;
}

std::string CsvField(std::string_view text) {
    if (text.find_first_of(",\"\r\n") == std::string_view::npos) return std::string(text);
    std::string quoted = "\"";
    for (char c : text) {
        if (c == '"') quoted.push_back('"');
        quoted.push_back(c);
    }
    quoted.push_back('"');
    return quoted;
}

}  // namespace orvale
