// SPDX-License-Identifier: GPL-3.0-or-later
// Fuzz target: the CSV reader. Records written field by field with CsvField read back as the same
// fields on the lines they start on; any text whatever reads without a fault into records that
// carry fields or an error, in order of their lines, each record read again as written.
#include "batch/csv_reader.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <string>
#include <vector>

#include "fuzz_support.h"

using namespace orvale;
using namespace orvale::fuzz;

namespace {

std::string Joined(const std::vector<std::string>& fields) {
    std::string line;
    for (std::size_t i = 0; i < fields.size(); ++i) line += (i ? "," : "") + CsvField(fields[i]);
    return line;
}

// Line breaks in text as a reader counts them: CRLF, a lone CR or a lone LF is one.
int LineBreaks(const std::string& text) {
    int breaks = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\n' || (text[i] == '\r' && (i + 1 == text.size() || text[i + 1] != '\n'))) {
            ++breaks;
        }
    }
    return breaks;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider input(data, size);
    if (input.ConsumeBool()) {
        // A header line first, so that no record starts with the byte-order mark the reader skips;
        // a record of one empty field is an empty line, which the reader skips by design.
        std::string text = "id\n";
        std::vector<std::vector<std::string>> written{{"id"}};
        std::vector<int> lines{1};
        while (input.remaining_bytes() > 0) {
            std::vector<std::string> fields;
            const int count = input.ConsumeIntegralInRange(1, 5);
            for (int i = 0; i < count; ++i) fields.push_back(input.ConsumeRandomLengthString(12));
            if (fields.size() == 1 && fields[0].empty()) continue;
            lines.push_back(LineBreaks(text) + 1);
            text += Joined(fields) + (input.ConsumeBool() ? "\r\n" : "\n");
            written.push_back(fields);
        }
        const std::vector<CsvRecord> records = ReadCsv(text);
        Check(records.size() == written.size(), "as many records as written", text);
        for (std::size_t r = 0; r < records.size(); ++r) {
            Check(records[r].error.empty() && records[r].fields == written[r],
                  "each record reads back as written", text);
            Check(records[r].line == lines[r], "each record names the line it starts on", text);
        }
        return 0;
    }
    const std::string text = input.ConsumeRemainingBytesAsString();
    const std::vector<CsvRecord> records = ReadCsv(text);
    const int lastLine = LineBreaks(text) + 1;
    int previous = 0;
    for (const CsvRecord& record : records) {
        Check(record.line > previous && record.line <= lastLine, "records come in line order",
              text);
        previous = record.line;
        Check(record.error.empty() != record.fields.empty(), "a record has fields or an error",
              text);
        if (!record.error.empty()) continue;
        if (record.fields.size() == 1 && record.fields[0].empty()) continue;
        const std::vector<CsvRecord> again = ReadCsv("x\n" + Joined(record.fields));
        Check(again.size() == 2 && again[1].fields == record.fields,
              "a record read is written and read again as the same fields", text);
    }
    return 0;
}
