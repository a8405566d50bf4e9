// The batch scorer's CSV reader on hand-written texts: quoting, line ends, line numbers, empty
// lines, malformed records, and a round trip through the field writer.
#include "batch/csv_reader.h"

#include <gtest/gtest.h>

namespace orvale {
namespace {

using Fields = std::vector<std::string>;

struct ReadRow {
    const char* name;
    std::string text;
    std::vector<CsvRecord> expected;
};

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
    for (const ReadRow& row : rows) {
        const std::vector<CsvRecord> actual = ReadCsv(row.text);
        ASSERT_EQ(actual.size(), row.expected.size()) << row.name;
        for (std::size_t i = 0; i < actual.size(); ++i) {
            EXPECT_EQ(actual[i].line, row.expected[i].line) << row.name << " record " << i;
            EXPECT_EQ(actual[i].fields, row.expected[i].fields) << row.name << " record " << i;
            EXPECT_EQ(actual[i].error, row.expected[i].error) << row.name << " record " << i;
        }
    }
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
