// A small reader for comma-separated text: see csv_reader.h.
#include "batch/csv_reader.h"

namespace orvale {

namespace {

class CsvScanner {
  public:
    explicit CsvScanner(std::string_view text) : text_(text) {
        if (text_.substr(0, 3) == "\xEF\xBB\xBF") pos_ = 3;
    }

    bool AtEnd() const { return pos_ >= text_.size(); }

    CsvRecord Next() {
        CsvRecord record;
        record.line = line_;
        const std::size_t start = pos_;
        std::string field;
        for (;;) {
            if (AtEnd() || AtLineEnd()) {
                record.fields.push_back(std::move(field));
                SkipLineEnd();
                return record;
            }
            const char c = text_[pos_];
            if (c == ',') {
                record.fields.push_back(std::move(field));
                field.clear();
                ++pos_;
            } else if (c == '"' && field.empty() && !inFieldText_) {
                if (!ReadQuoted(field)) return Fail(record, start, "a quoted field is not closed");
                // After the closing quote only a comma or the end of the record may follow.
                if (!AtEnd() && !AtLineEnd() && text_[pos_] != ',') {
                    return Fail(record, start, "unexpected text after a closing quote");
                }
                inFieldText_ = true;
                continue;
            } else if (c == '"') {
                return Fail(record, start, "a quote inside an unquoted field");
            } else {
                field.push_back(c);
                inFieldText_ = true;
                ++pos_;
                continue;
            }
            inFieldText_ = false;
        }
    }

    // Whether the line that starts here holds nothing at all.
    bool AtEmptyLine() const { return !AtEnd() && AtLineEnd(); }
    void SkipLineEnd() {
        if (AtEnd()) return;
        if (text_[pos_] == '\r') ++pos_;
        if (pos_ < text_.size() && text_[pos_] == '\n') ++pos_;
        ++line_;
        inFieldText_ = false;
    }

  private:
    bool AtLineEnd() const { return text_[pos_] == '\n' || text_[pos_] == '\r'; }

    // Reads a quoted field starting at its opening quote; false when the text ends inside it.
    bool ReadQuoted(std::string& field) {
        ++pos_;
        while (pos_ < text_.size()) {
            const char c = text_[pos_++];
            if (c == '"') {
                if (pos_ < text_.size() && text_[pos_] == '"') {
                    field.push_back('"');
                    ++pos_;
                } else {
                    return true;
                }
            } else {
                if (c == '\n' || (c == '\r' && (pos_ >= text_.size() || text_[pos_] != '\n'))) {
                    ++line_;
                }
                field.push_back(c);
            }
        }
        return false;
    }

    // A malformed record is given up at the end of the line it starts on, wherever its quotes
    // had led the scan: a stray quote must not swallow the records of the lines that follow.
    CsvRecord Fail(CsvRecord& record, std::size_t start, const char* message) {
        record.fields.clear();
        record.error = message;
        pos_ = start;
        line_ = record.line;
        while (!AtEnd() && !AtLineEnd()) ++pos_;
        SkipLineEnd();
        return std::move(record);
    }

    std::string_view text_;
    std::size_t pos_ = 0;
    int line_ = 1;
    bool inFieldText_ = false;  // the current field already holds text (or a closed quote)
};

}  // namespace

std::vector<CsvRecord> ReadCsv(std::string_view text) {
    std::vector<CsvRecord> records;
    CsvScanner scanner(text);
    while (!scanner.AtEnd()) {
        if (scanner.AtEmptyLine()) {
            scanner.SkipLineEnd();
            continue;
        }
        records.push_back(scanner.Next());
    }
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
