// SPDX-License-Identifier: GPL-3.0-or-later
// The batch scorer's CSV reader on hand-written texts: quoting, line ends, line numbers, empty
// lines, malformed records, the bound on a record's length, and round trips through the field
// writer (one of them long enough to cross the stream reader's buffer many times).
#include "batch/csv_reader.h"

#include <gtest/gtest.h>

#include <random>
#include <sstream>

namespace orvale {
namespace {

using Fields = std::vector<std::string>;

struct ReadRow {
    const char* name;
    std::string text;
    std::vector<CsvRecord> expected;
};

void ExpectRecords(const std::vector<CsvRecord>& actual, const std::vector<CsvRecord>& expected,
                   const std::string& name) {
    ASSERT_EQ(actual.size(), expected.size()) << name;
    for (std::size_t i = 0; i < actual.size(); ++i) {
        EXPECT_EQ(actual[i].line, expected[i].line) << name << " record " << i;
        EXPECT_EQ(actual[i].fields, expected[i].fields) << name << " record " << i;
        EXPECT_EQ(actual[i].error, expected[i].error) << name << " record " << i;
    }
}

TEST(ReadCsv, RecordsFieldsAndLines) {
    const ReadRow rows[] = {
        {"plain, LF", "a,b,c\n1,2,3\n", {{1, {"a", "b", "c"}, ""}, {2, {"1", "2", "3"}, ""}}},
        {"CRLF and no final line end", "a,b\r\n1,2", {{1, {"a", "b"}, ""}, {2, {"1", "2"}, ""}}},
        {"empty fields", ",x,\n", {{1, {"", "x", ""}, ""}}},
        {"quoted comma, doubled quote, empty quoted",
         "\"a,b\",\"say \"\"hi\"\"\",\"\"\n",
         {{1, {"a,b", "say \"hi\"", ""}, ""}}},
        {"line break inside quotes moves the line count",
         "id,x\n\"two\nlines\",1\nnext,2\n",
         {{1, {"id", "x"}, ""}, {2, {"two\nlines", "1"}, ""}, {4, {"next", "2"}, ""}}},
        {"empty lines are skipped but counted", "h\n\n\r\nv\n", {{1, {"h"}, ""}, {4, {"v"}, ""}}},
        {"byte-order mark", "\xEF\xBB\xBFid,BD\n", {{1, {"id", "BD"}, ""}}},
        {"blanks are kept", " a , b \n", {{1, {" a ", " b "}, ""}}},
        {"quote inside an unquoted field",
         "ok,1\nab\"c,2\nok,3\n",
         {{1, {"ok", "1"}, ""}, {2, {}, "a quote inside an unquoted field"}, {3, {"ok", "3"}, ""}}},
        {"text after a closing quote",
         "\"a\"b,1\nok\n",
         {{1, {}, "unexpected text after a closing quote"}, {2, {"ok"}, ""}}},
        // A stray quote fails its own line only; the lines after it are still read.
        {"quote left open",
         "ok\n\"abc,1\n2\n",
         {{1, {"ok"}, ""}, {2, {}, "a quoted field is not closed"}, {3, {"2"}, ""}}},
        {"quote closed lines later, then text after it",
         "a,\"b\nc,d\ne,\"f\ng,h\n",
         {{1, {}, "unexpected text after a closing quote"},
          {2, {"c", "d"}, ""},
          {3, {}, "a quoted field is not closed"},
          {4, {"g", "h"}, ""}}},
        {"nothing at all", "", {}},
    };
    for (const ReadRow& row : rows) ExpectRecords(ReadCsv(row.text), row.expected, row.name);
}

std::vector<CsvRecord> ReadStream(const std::string& text, std::size_t bound) {
    std::istringstream input(text);
    CsvStreamReader reader(input, bound);
    std::vector<CsvRecord> records;
    while (auto record = reader.Next()) records.push_back(std::move(*record));
    return records;
}

TEST(CsvStreamReader, RecordsPastTheBoundAreSkipped) {
    const char* tooLong = "the line is longer than 8 bytes";
    const char* notClosed = "a quoted field is not closed within 8 bytes";
    const ReadRow rows[] = {
        {"exactly the bound", "12345678\n", {{1, {"12345678"}, ""}}},
        {"one byte past it, then more lines",
         "a\n123456789\nb\n",
         {{1, {"a"}, ""}, {2, {}, tooLong}, {3, {"b"}, ""}}},
        {"a long last line without a line end",
         "a\r\n" + std::string(100, 'x'),
         {{1, {"a"}, ""}, {2, {}, tooLong}}},
        {"a long line of CRLF file",
         std::string(20, ',') + "\r\nz\r\n",
         {{1, {}, tooLong}, {2, {"z"}, ""}}},
        // The lines an open quote had carried along are read again on their own.
        {"quote closed past the bound",
         "\"a\nb\nc\nd\",e\nf\n",
         {{1, {}, notClosed},
          {2, {"b"}, ""},
          {3, {"c"}, ""},
          {4, {}, "a quote inside an unquoted field"},
          {5, {"f"}, ""}}},
        {"quoted line break within the bound",
         "\"a\nb\",c\nd\n",
         {{1, {"a\nb", "c"}, ""}, {3, {"d"}, ""}}},
    };
    for (const ReadRow& row : rows) ExpectRecords(ReadStream(row.text, 8), row.expected, row.name);
}

// Random records of awkward fields written with CsvField, with LF, CRLF and lone-CR line ends
// and empty lines between them, read back whole; the text is long enough (about 3 MB) for records
// and CRLF pairs to straddle the reader's buffer.
TEST(CsvStreamReader, RandomRecordsReadBackWithTheirLines) {
    std::mt19937 generator(20261209);
    const std::vector<std::string> pieces = {"a",    "10", ",", "\"",      "\n",
                                             "\r\n", "\r", " ", "\xC3\xA9"};
    const std::vector<std::string> lineEnds = {"\n", "\r\n", "\r"};
    std::uniform_int_distribution<int> pieceCount(0, 4), fieldCount(1, 6), pick(0, 99);
    std::string text;
    std::vector<CsvRecord> expected;
    int line = 1;
    const auto countLines = [](const std::string& written) {
        int breaks = 0;
        for (std::size_t i = 0; i < written.size(); ++i) {
            if (written[i] == '\n' ||
                (written[i] == '\r' && (i + 1 == written.size() || written[i + 1] != '\n')))
                ++breaks;
        }
        return breaks;
    };
    while (text.size() < 3'000'000) {
        CsvRecord record;
        record.line = line;
        std::string written;
        const int fields = fieldCount(generator);
        for (int f = 0; f < fields; ++f) {
            std::string field;
            for (int p = pieceCount(generator); p > 0; --p)
                field += pieces[pick(generator) % pieces.size()];
            if (fields == 1 && field.empty()) field = "x";  // an empty record is an empty line
            record.fields.push_back(field);
            written += (f == 0 ? "" : ",") + CsvField(field);
        }
        std::string end = lineEnds[pick(generator) % lineEnds.size()];
        if (pick(generator) < 10) end += lineEnds[pick(generator) % lineEnds.size()];  // empty line
        text += written + end;
        line += countLines(written) + countLines(end);
        expected.push_back(std::move(record));
    }
    ExpectRecords(ReadStream(text, kCsvMaxRecordBytes), expected, "random records");
}

TEST(CsvField, QuotesOnlyWhenNeededAndReadsBack) {
    const struct {
        const char* text;
        const char* expected;
    } rows[] = {
        {"plain", "plain"},
        {"", ""},
        {"a,b", "\"a,b\""},
        {"say \"hi\"", "\"say \"\"hi\"\"\""},
        {"two\nlines", "\"two\nlines\""},
        {"cr\r", "\"cr\r\""},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(CsvField(row.text), row.expected);
        if (*row.text == '\0') continue;  // an empty record is an empty line, which is skipped
        const auto records = ReadCsv(CsvField(row.text) + "," + CsvField(row.text) + "\n");
        ASSERT_EQ(records.size(), 1u) << row.text;
        EXPECT_EQ(records[0].fields, (Fields{row.text, row.text}));
    }
}

}  // namespace
}  // namespace orvale
