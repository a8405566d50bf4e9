// SPDX-License-Identifier: GPL-3.0-or-later
// Batch scoring: every case of a CSV stream scored with the same options, one CSV row of results
// per valid case, in input order. Records are read, scored and written a block at a time, so
// memory stays flat whatever the input's size; the blocks may be scored on several threads and
// the output is byte for byte the same for any number. orvale-score --batch is a front end.
#pragma once

#include <cstdint>
#include <functional>
#include <istream>
#include <stop_token>
#include <string>
#include <string_view>

#include "batch/batch_rows.h"
#include "batch/csv_reader.h"
#include "engine/scoring.h"

namespace orvale {

struct BatchSettings {
    ScoringOptions options{};
    int jobs = 1;                // threads that score rows; 1 scores them on the calling thread
    bool cacheNormalCdf = true;  // remember NormalCdf per thread (the same bits either way)
    std::size_t maxRecordBytes = kCsvMaxRecordBytes;
    BatchRowFormat format = BatchRowFormat::kCsv;  // CSV with a header line, or JSON Lines
};

struct BatchProgress {
    std::uint64_t rowsWritten = 0;  // data rows written so far
    std::uint64_t rowsSkipped = 0;
    std::uint64_t bytesRead = 0;  // input consumed so far, for a share of a file's size
};

// Everything but `write` may be empty. All are called on the thread that runs ScoreBatch.
struct BatchCallbacks {
    // Output text in order, the header line first; returns false when it could not be written,
    // which ends the batch.
    std::function<bool(std::string_view text)> write;
    // A row that was skipped: the line it starts on and why (ending in "row skipped").
    std::function<void(int line, const std::string& message)> skipped;
    // A warning of the normal integrator ("Too many steps") raised by the case on `line`, once
    // per case that raises it.
    std::function<void(int line, const std::string& message)> warning;
    // After each block of rows has been written.
    std::function<void(const BatchProgress& progress)> progress;
};

enum class BatchStatus {
    kDone,
    kUnusableHeader,  // nothing was written
    kReadFailed,      // the input could not be read to its end
    kWriteFailed,     // `write` returned false
    kCancelled,       // stop was requested; the rows written so far are whole
};

struct BatchResult {
    BatchStatus status = BatchStatus::kDone;
    BatchProgress counts;
    // kUnusableHeader: why ("no header line (...)", "header: ..."), and the line concerned, or 0.
    std::string headerError;
    int headerLine = 0;
};

// Reads the header and then every record of `input`. An exception (out of memory, a thread that
// cannot be started) ends the batch and reaches the caller once every thread has stopped.
BatchResult ScoreBatch(std::istream& input, const BatchSettings& settings,
                       const BatchCallbacks& callbacks, std::stop_token stop = {});

}  // namespace orvale
