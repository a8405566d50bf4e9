// SPDX-License-Identifier: GPL-3.0-or-later
// The rows of batch scoring: which input column holds each subtest and the id, and one input
// record turned into its CSV row of results or the reason it is skipped. Pure functions over
// values, used by the streaming batch scorer on any thread.
#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <variant>

#include "batch/csv_reader.h"
#include "engine/scoring.h"

namespace orvale {

// Where the cases' values are in each record, found by name in the header.
struct BatchColumns {
    std::array<int, kSubtestCount> subtests{};  // column of each subtest, field order
    int id = -1;                                // column of the id; -1 when there is none
    std::size_t cells = 0;  // cells in the header: a record with more or fewer is not scored
};

// The columns named by a header record (any order, any case, blanks around a name ignored), or
// why the header cannot be used: "header: column X appears twice", "header: missing column(s) ...".
std::variant<BatchColumns, std::string> FindBatchColumns(const CsvRecord& header);

// The header line of the output, without its line end.
std::string BatchOutputHeader();

// How each case is written: a CSV row under BatchOutputHeader(), or one JSON object on a line
// of its own (the single-case JSON of orvale-score --format json, with the row's id).
enum class BatchRowFormat { kCsv, kJsonl };

// Why a record that was read cannot be scored whatever its values: its number of cells is not the
// header's ("10 cells where the header has 9"). Empty when it has as many as the header.
std::string CellCountError(const CsvRecord& record, const BatchColumns& columns);

// Appends the output row of a valid case, with its line end, to `output`; or returns the message
// of a row that is skipped (it could not be read, it has more or fewer cells than the header, or
// a value is not a score), which ends in "; row skipped" or " (row skipped)".
std::optional<std::string> AppendBatchRow(const CsvRecord& record, const BatchColumns& columns,
                                          const ScoringOptions& options, std::string& output,
                                          BatchRowFormat format = BatchRowFormat::kCsv);

}  // namespace orvale
