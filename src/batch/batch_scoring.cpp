// SPDX-License-Identifier: GPL-3.0-or-later
// Batch scoring: see batch_scoring.h.
//
// The calling thread reads records into blocks and hands them to the scoring threads; it writes
// the scored blocks in the order they were read, so the output does not depend on which thread
// scored what. Each case's warnings are gathered with the case and reported in order with the
// skipped rows.
#include "batch/batch_scoring.h"

#include <condition_variable>
#include <deque>
#include <exception>
#include <memory>
#include <mutex>
#include <optional>
#include <system_error>
#include <thread>
#include <variant>
#include <vector>

#include "batch/batch_rows.h"
#include "engine/entry.h"
#include "numeric/normal.h"

namespace orvale {

namespace {

// A block closes at this many records or this much input, whichever comes first: large enough
// that handing it between threads costs nothing next to scoring it, small enough that the blocks
// in flight hold little memory.
constexpr std::size_t kBlockRecords = 256;
constexpr std::uint64_t kBlockBytes = std::uint64_t{1} << 18;

constexpr const char* kNoHeader =
    "no header line (expected the columns BD, SI, DS, CD, VO, LN, MR, SS and optionally id)";

struct Diagnostic {
    int line;
    bool warning;  // a warning of the integrator; otherwise why the row was skipped
    std::string message;
};

struct Block {
    std::vector<CsvRecord> records;  // holding only the columns that scoring reads
    std::uint64_t bytesRead = 0;     // input consumed when the block was closed
    // The outcome of scoring it:
    std::string text;
    std::vector<Diagnostic> diagnostics;
    std::uint64_t rows = 0;
    std::uint64_t skipped = 0;
    std::exception_ptr failure;
    bool done = false;

    // Empties the block for the next records, keeping its buffers.
    void Clear() {
        records.clear();
        text.clear();
        diagnostics.clear();
        rows = skipped = 0;
        failure = nullptr;
        done = false;
    }
};

// The columns of the records in a block: the subtests first, in field order, then the id.
BatchColumns BlockColumns(const BatchColumns& input) {
    BatchColumns columns;
    for (int k = 0; k < kSubtestCount; ++k) columns.subtests[k] = k;
    columns.id = input.id == -1 ? -1 : kSubtestCount;
    columns.cells = kSubtestCount + (input.id == -1 ? 0 : 1);
    return columns;
}

// A record cut down to the block's columns, so that a record of a thousand unused fields costs no
// more than one of nine while it waits to be scored. One whose cells do not match the header's
// keeps only why it is skipped: cut down, it would match.
CsvRecord KeepColumns(CsvRecord record, const BatchColumns& input) {
    if (record.error.empty()) record.error = CellCountError(record, input);
    if (!record.error.empty()) {
        record.fields.clear();
        return record;
    }
    std::vector<std::string> fields;
    fields.reserve(kSubtestCount + 1);
    const auto take = [&](int column) {
        fields.push_back(std::move(record.fields[static_cast<std::size_t>(column)]));
    };
    for (int column : input.subtests) take(column);
    if (input.id != -1) take(input.id);
    record.fields = std::move(fields);
    return record;
}

// Reads up to a block of records; false once the input has no more.
bool ReadBlock(CsvStreamReader& reader, const BatchColumns& columns, Block& block) {
    const std::uint64_t start = reader.BytesConsumed();
    bool more = true;
    while (block.records.size() < kBlockRecords && reader.BytesConsumed() - start < kBlockBytes) {
        std::optional<CsvRecord> record = reader.Next();
        if (!record) {
            more = false;
            break;
        }
        block.records.push_back(KeepColumns(std::move(*record), columns));
    }
    block.bytesRead = reader.BytesConsumed();
    return more;
}

void ScoreBlock(Block& block, const BatchColumns& columns, const ScoringOptions& options,
                BatchRowFormat format) {
    try {
        std::optional<std::string> warning;  // the first warning of the current case
        const ThreadWarningHook hook([&warning](const std::string& message) {
            if (!warning) warning = MessageOnOneLine(message);
        });
        for (const CsvRecord& record : block.records) {
            warning.reset();
            std::optional<std::string> skipped =
                AppendBatchRow(record, columns, options, block.text, format);
            if (warning) block.diagnostics.push_back({record.line, true, std::move(*warning)});
            if (skipped) {
                block.diagnostics.push_back({record.line, false, std::move(*skipped)});
                ++block.skipped;
            } else {
                ++block.rows;
            }
        }
    } catch (...) {
        block.failure = std::current_exception();
    }
}

// Threads that score the blocks handed to them, each with its own NormalCdf cache.
class ScoringPool {
  public:
    ScoringPool(int threads, bool cache, const BatchColumns& columns, const ScoringOptions& options,
                BatchRowFormat format)
        : columns_(columns), options_(options), format_(format) {
        try {
            for (int i = 0; i < threads; ++i) threads_.emplace_back([this, cache] { Work(cache); });
        } catch (const std::system_error& error) {
            Stop();
            throw std::system_error(error.code(),
                                    "cannot start " + std::to_string(threads) + " scoring threads");
        } catch (...) {
            Stop();
            throw;
        }
    }
    ~ScoringPool() { Stop(); }
    ScoringPool(const ScoringPool&) = delete;
    ScoringPool& operator=(const ScoringPool&) = delete;

    void Submit(Block& block) {
        {
            const std::lock_guard lock(mutex_);
            queue_.push_back(&block);
        }
        ready_.notify_one();
    }

    void Wait(Block& block) {
        std::unique_lock lock(mutex_);
        done_.wait(lock, [&block] { return block.done; });
    }

  private:
    // Blocks still queued are dropped; those being scored are finished first.
    void Stop() {
        {
            const std::lock_guard lock(mutex_);
            stopping_ = true;
            queue_.clear();
        }
        ready_.notify_all();
        threads_.clear();
    }

    void Work(bool cache) {
        std::optional<NormalCdfCache> normalCache;
        try {
            if (cache) normalCache.emplace();
        } catch (const std::bad_alloc&) {
            // Scoring without the cache gives the same results.
        }
        for (;;) {
            Block* block = nullptr;
            {
                std::unique_lock lock(mutex_);
                ready_.wait(lock, [this] { return stopping_ || !queue_.empty(); });
                if (stopping_) return;
                block = queue_.front();
                queue_.pop_front();
            }
            ScoreBlock(*block, columns_, options_, format_);
            {
                const std::lock_guard lock(mutex_);
                block->done = true;
            }
            done_.notify_all();
        }
    }

    const BatchColumns columns_;
    const ScoringOptions options_;
    const BatchRowFormat format_;
    std::mutex mutex_;
    std::condition_variable ready_;  // a block was queued, or the pool stops
    std::condition_variable done_;   // a block was scored
    std::deque<Block*> queue_;
    bool stopping_ = false;
    std::vector<std::jthread> threads_;
};

// The header's columns, or the result of a batch that ends at its header.
std::variant<BatchColumns, BatchResult> ReadHeader(CsvStreamReader& reader) {
    const std::optional<CsvRecord> header = reader.Next();
    BatchResult ended;
    const auto refuse = [&ended](int line, std::string error) {
        ended.status = BatchStatus::kUnusableHeader;
        ended.headerLine = line;
        ended.headerError = std::move(error);
        return ended;
    };
    if (!header) {
        if (!reader.ReadFailed()) return refuse(0, kNoHeader);
        ended.status = BatchStatus::kReadFailed;
        return ended;
    }
    if (!header->error.empty()) return refuse(header->line, "header: " + header->error);
    std::variant<BatchColumns, std::string> found = FindBatchColumns(*header);
    if (auto* error = std::get_if<std::string>(&found)) return refuse(0, std::move(*error));
    return std::get<BatchColumns>(found);
}

// The blocks between the reader and the writer: read and scored ahead (on the pool's threads, or
// on the calling thread), and handed back in the order they were read.
class BlockQueue {
  public:
    BlockQueue(const BatchSettings& settings, const BatchColumns& inputColumns)
        : settings_(settings),
          inputColumns_(inputColumns),
          columns_(BlockColumns(inputColumns)),
          // Two blocks per thread keep every thread busy while the oldest block is written.
          maxInFlight_(settings.jobs > 1 ? 2 * static_cast<std::size_t>(settings.jobs) : 1) {
        if (settings.jobs > 1) {
            pool_.emplace(settings.jobs, settings.cacheNormalCdf, columns_, settings.options,
                          settings.format);
        } else if (settings.cacheNormalCdf) {
            cache_.emplace();
        }
    }

    // The oldest block once it has been scored, after reading ahead as far as the blocks in
    // flight allow; nullptr once the input has no more records. A scoring failure is rethrown.
    Block* Next(CsvStreamReader& reader) {
        while (more_ && inFlight_.size() < maxInFlight_) {
            std::unique_ptr<Block> block = SpareBlock();
            more_ = ReadBlock(reader, inputColumns_, *block);
            if (block->records.empty()) break;
            if (pool_) {
                pool_->Submit(*block);
            } else {
                ScoreBlock(*block, columns_, settings_.options, settings_.format);
            }
            inFlight_.push_back(std::move(block));
        }
        if (inFlight_.empty()) return nullptr;
        Block& oldest = *inFlight_.front();
        if (pool_) pool_->Wait(oldest);
        if (oldest.failure) std::rethrow_exception(oldest.failure);
        return &oldest;
    }

    // The oldest block has been written: its buffers serve a later block.
    void Written() {
        inFlight_.front()->Clear();
        spare_.push_back(std::move(inFlight_.front()));
        inFlight_.pop_front();
    }

  private:
    std::unique_ptr<Block> SpareBlock() {
        if (spare_.empty()) return std::make_unique<Block>();
        std::unique_ptr<Block> block = std::move(spare_.back());
        spare_.pop_back();
        return block;
    }

    const BatchSettings& settings_;
    const BatchColumns inputColumns_;
    const BatchColumns columns_;
    const std::size_t maxInFlight_;
    bool more_ = true;                             // the input may hold more records
    std::deque<std::unique_ptr<Block>> inFlight_;  // before the pool, which must stop first
    std::vector<std::unique_ptr<Block>> spare_;    // written blocks, reused for their buffers
    std::optional<ScoringPool> pool_;
    std::optional<NormalCdfCache> cache_;  // this thread's, when it scores the blocks itself
};

// Reports a scored block's skipped rows and warnings in order, then writes its rows; false when
// they could not be written.
bool DeliverBlock(const Block& block, const BatchCallbacks& callbacks) {
    for (const Diagnostic& diagnostic : block.diagnostics) {
        const auto& report = diagnostic.warning ? callbacks.warning : callbacks.skipped;
        if (report) report(diagnostic.line, diagnostic.message);
    }
    return block.text.empty() || callbacks.write(block.text);
}

}  // namespace

BatchResult ScoreBatch(std::istream& input, const BatchSettings& settings,
                       const BatchCallbacks& callbacks, std::stop_token stop) {
    CsvStreamReader reader(input, settings.maxRecordBytes);
    const std::variant<BatchColumns, BatchResult> header = ReadHeader(reader);
    if (const auto* ended = std::get_if<BatchResult>(&header)) return *ended;
    BatchResult result;
    // JSON Lines has no header: every line is a whole object.
    if (settings.format == BatchRowFormat::kCsv && !callbacks.write(BatchOutputHeader() + "\n")) {
        result.status = BatchStatus::kWriteFailed;
        return result;
    }
    BlockQueue blocks(settings, std::get<BatchColumns>(header));
    for (;;) {
        if (stop.stop_requested()) {
            result.status = BatchStatus::kCancelled;
            return result;
        }
        const Block* block = blocks.Next(reader);
        if (block == nullptr) break;
        if (!DeliverBlock(*block, callbacks)) {
            result.status = BatchStatus::kWriteFailed;
            return result;
        }
        result.counts.rowsWritten += block->rows;
        result.counts.rowsSkipped += block->skipped;
        result.counts.bytesRead = block->bytesRead;
        if (callbacks.progress) callbacks.progress(result.counts);
        blocks.Written();
    }
    if (reader.ReadFailed()) result.status = BatchStatus::kReadFailed;
    return result;
}

}  // namespace orvale
