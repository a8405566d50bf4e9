// SPDX-License-Identifier: GPL-3.0-or-later
// The core as the web page calls it (embind): one call per user action, plain JavaScript values
// in and out. Every rule, text and number comes from the same core as the desktop program and
// orvale-score; this file only converts values. Messages keep the program's texts, with their
// "\r" line breaks as line feeds.
#include <emscripten/bind.h>
#include <emscripten/val.h>

#include <exception>
#include <istream>
#include <streambuf>
#include <string>
#include <vector>

#include "batch/batch_scoring.h"
#include "batch/case_file.h"
#include "batch/csv_reader.h"
#include "batch/remembered_scores.h"
#include "engine/entry.h"
#include "engine/tables.h"
#include "numeric/normal.h"
#include "report/chart_svg.h"
#include "report/compose.h"
#include "report/notes.h"
#include "report/program_info.h"
#include "report/report_json.h"
#include "report/results_memo.h"
#include "report/worksheet_text.h"

namespace orvale::web {

namespace {

using emscripten::val;

template <typename Texts>
val TextArray(const Texts& texts) {
    val array = val::array();
    for (const auto& text : texts) array.call<void>("push", std::string(text));
    return array;
}

val OptionsValue(const ScoringOptions& options) {
    val value = val::object();
    value.set("confidenceMethod", options.confidenceMethod);
    value.set("trueScoreDifferences", options.trueScoreDifferences);
    value.set("applyBonferroni", options.applyBonferroni);
    value.set("calculateGai", options.calculateGai);
    value.set("cutoffIndex", options.cutoffIndex);
    return value;
}

ScoringOptions OptionsOf(const val& value) {
    ScoringOptions options;
    options.confidenceMethod = value["confidenceMethod"].as<int>();
    options.trueScoreDifferences = value["trueScoreDifferences"].as<bool>();
    options.applyBonferroni = value["applyBonferroni"].as<bool>();
    options.calculateGai = value["calculateGai"].as<bool>();
    options.cutoffIndex = value["cutoffIndex"].as<int>();
    return options;
}

std::array<std::string, kSubtestCount> EntriesOf(const val& value) {
    std::array<std::string, kSubtestCount> entries;
    for (int k = 0; k < kSubtestCount; ++k) {
        entries[static_cast<std::size_t>(k)] = value[k].as<std::string>();
    }
    return entries;
}

// The separator the report's numbers take: the browser language's when it is one ASCII
// character (the report's lines are 8-bit), a full stop otherwise.
char DecimalSeparatorOf(const std::string& separator) {
    const bool usable = separator.size() == 1 && static_cast<unsigned char>(separator[0]) < 128;
    return usable ? separator[0] : '.';
}

val Failure(const std::string& key, const std::string& message) {
    val result = val::object();
    result.set(key, MessageWithLineBreaks(message));
    return result;
}

// {field, message}: the worksheet shows the message and puts the focus on that score field.
val FieldFailure(int field, const std::string& message) {
    val failure = Failure("message", message);
    failure.set("field", field);
    return failure;
}

// A view of bytes in the WebAssembly memory, valid until the core allocates again: the callee
// copies what it keeps.
val BytesView(const char* data, std::size_t size) {
    return val(emscripten::typed_memory_view(size, reinterpret_cast<const unsigned char*>(data)));
}

// A batch's input as a stream: its `read(view)` fills the view with the file's next bytes and
// answers how many, 0 at its end and -1 when the file could not be read, which the stream takes
// for a failed read (an exception from underflow sets the stream's badbit).
class ReadCallbackBuffer : public std::streambuf {
  public:
    explicit ReadCallbackBuffer(val input) : input_(std::move(input)), buffer_(kChunkBytes) {}

  protected:
    int_type underflow() override {
        if (gptr() < egptr()) return traits_type::to_int_type(*gptr());
        const int got = input_.call<int>("read", BytesView(buffer_.data(), buffer_.size()));
        if (got < 0) throw std::ios_base::failure("the file could not be read");
        if (got == 0) return traits_type::eof();
        setg(buffer_.data(), buffer_.data(), buffer_.data() + got);
        return traits_type::to_int_type(buffer_[0]);
    }

  private:
    static constexpr std::size_t kChunkBytes = std::size_t{1} << 20;
    val input_;
    std::vector<char> buffer_;
};

const char* StatusName(BatchStatus status) {
    switch (status) {
        case BatchStatus::kDone:
            return "done";
        case BatchStatus::kUnusableHeader:
            return "header";
        case BatchStatus::kReadFailed:
            return "unreadable";
        case BatchStatus::kWriteFailed:
            return "unwritable";
        case BatchStatus::kCancelled:
            return "cancelled";
    }
    return "done";
}

}  // namespace

// The texts the worksheet is built from.
val WorksheetTexts() {
    val texts = val::object();
    texts.set("title", std::string(kProgramTitle));
    texts.set("version", std::string(kProgramVersion));
    texts.set("description", WorksheetDescription());
    texts.set("notesCaption", std::string(kNotesCaption));
    texts.set("subtestCaptions", TextArray(kSubtestCaptions));
    val groups = val::array();
    for (const OptionGroupText& group : OptionGroupTexts()) {
        val item = val::object();
        item.set("name", std::string(group.name));
        item.set("caption", std::string(group.caption));
        item.set("items", TextArray(group.items));
        item.set("description", std::string(group.description));
        groups.call<void>("push", item);
    }
    texts.set("optionGroups", groups);
    texts.set("numericOnlyMessage", MessageWithLineBreaks(kNumericOnlyMessage));
    texts.set("maxLengthMessage", MessageWithLineBreaks(kMaxLengthMessage));
    texts.set("maxEntryLength", kMaxEntryLength);
    texts.set("maxNotesLength", static_cast<int>(kMaxNotesLength));
    texts.set("defaultOptions", OptionsValue(ScoringOptions{}));
    return texts;
}

// The message for score field `field` (0 to 7) holding text, as Compute checks it; null when the
// entry is valid.
val CheckEntry(int field, const std::string& text) {
    if (field < 0 || field >= kSubtestCount) return val::null();
    const ParsedEntry parsed = CheckScoreEntry(field, text);
    return parsed.error ? val(MessageWithLineBreaks(*parsed.error)) : val::null();
}

// What a score field inserts for typed or pasted text; null when the key filter refuses it.
val FilterEntryText(const std::string& text) {
    const std::optional<std::string> inserted = FilterNumericText(text);
    return inserted ? val(*inserted) : val::null();
}

std::string LimitEntryText(const std::string& text) {
    return LimitEntryLength(text);
}

// What the notes box takes of text inserted where `room` characters are left: line breaks as
// line feeds, no other control character, no more than fits.
std::string NotesInsertable(const std::string& text, int room) {
    return NotesPrefix(NotesWithoutRefusedCharacters(NotesWithLineFeeds(text)),
                       static_cast<std::size_t>(room < 0 ? 0 : room));
}

int NotesCharacters(const std::string& text) {
    return static_cast<int>(NotesLength(text));
}

// Compute: the entries checked in field order ({field, message} for the first at fault), then
// the report appended to `memo`, its JSON, the remembered-scores line and any warnings.
val Compute(const val& request) {
    const std::array<std::string, kSubtestCount> texts = EntriesOf(request["entries"]);
    ReportInput input;
    for (int k = 0; k < kSubtestCount; ++k) {
        const ParsedEntry parsed = CheckScoreEntry(k, texts[static_cast<std::size_t>(k)]);
        if (parsed.error) return FieldFailure(k, *parsed.error);
        input.entries[static_cast<std::size_t>(k)] = parsed.value;
    }
    std::vector<std::string> warnings;
    const WarningHook previous =
        SetWarningHook([&warnings](const std::string& message) { warnings.push_back(message); });
    try {
        input.options = OptionsOf(request["options"]);
        input.notes = NotesLines(request["notes"].as<std::string>());
        input.decimalSeparator = DecimalSeparatorOf(request["decimalSeparator"].as<std::string>());
        input.results = ComputeScores(input.entries, input.options);
        val result = val::object();
        result.set("append", ReportToAppend(request["memo"].as<std::string>(), input));
        result.set("svg", ProfileChartSvg(input.results, input.options));
        result.set("json", CaseJsonText({std::nullopt, input.notes, input.entries, input.options,
                                         input.results},
                                        false));
        result.set("remembered",
                   RememberedScoresLine(std::vector<std::string>(texts.begin(), texts.end())));
        std::vector<std::string> shown;
        for (const std::string& warning : warnings) shown.push_back(MessageWithLineBreaks(warning));
        result.set("warnings", TextArray(shown));
        SetWarningHook(previous);
        return result;
    } catch (const std::exception& error) {
        SetWarningHook(previous);
        return Failure("error", error.what());
    }
}

std::string ResultsFile(const std::string& memo) {
    return ResultsFileText(memo);
}

// The remembered scores read back: the fields' texts, and the message when a number was malformed.
val ReadRemembered(const std::string& content) {
    const RememberedScores read = ReadRememberedScores(content, kSubtestCount);
    val result = val::object();
    result.set("fields", TextArray(read.fields));
    result.set("error", read.malformed ? std::string(kInvalidNumericInput) : std::string());
    return result;
}

// A case file's content for the worksheet's case, saved now; {field, message} when an entry
// cannot be kept.
val WriteCase(const val& request) {
    CaseValues values;
    values.entries = EntriesOf(request["entries"]);
    values.options = OptionsOf(request["options"]);
    values.notes = NotesWithLineFeeds(request["notes"].as<std::string>());
    if (const std::optional<CaseSaveProblem> problem = CheckCaseForSaving(values)) {
        return FieldFailure(problem->field, problem->message);
    }
    val result = val::object();
    result.set("content", CaseFileContent(values, std::chrono::system_clock::now()));
    return result;
}

// A case file read from its content (the page hands in at most one byte more than a case file may
// hold): its entries, options and notes, or the message naming the file and the reason.
val ReadCase(const std::string& name, const std::string& content) {
    const CaseReading reading =
        content.size() > static_cast<std::size_t>(kMaxCaseFileSize)
            ? CaseReading{std::nullopt, "the file is larger than " +
                                            std::to_string(kMaxCaseFileSize / 1024) + " KiB"}
            : ParseCaseFile(content);
    if (!reading.values) return Failure("error", CaseOpenMessage(name, reading.error));
    val result = val::object();
    result.set("entries", TextArray(reading.values->entries));
    result.set("options", OptionsValue(reading.values->options));
    result.set("notes", reading.values->notes);
    return result;
}

// The data rows of a batch's input (its records after the header), counted before it is scored
// so that progress can say how many there are; -1 when it could not be read or has no header.
double CountBatchRows(const val& file) {
    ReadCallbackBuffer buffer(file);
    std::istream input(&buffer);
    CsvStreamReader reader(input);
    double records = 0;
    while (reader.Next()) ++records;
    return reader.ReadFailed() || records == 0 ? -1 : records - 1;
}

// A batch scored on the calling thread (the page's worker) with the worksheet's options, as
// orvale-score --batch scores it: `io.read(view)` supplies the input (see ReadCallbackBuffer),
// `io.write(view)` takes the results' bytes in order, `io.note(line, text)` each skipped row and
// warning, `io.progress(rowsWritten, rowsSkipped)` the counts after each block of rows.
val ScoreBatchWith(const val& options, const val& io) {
    ReadCallbackBuffer buffer(io);
    std::istream input(&buffer);
    BatchSettings settings;
    settings.options = OptionsOf(options);
    BatchCallbacks callbacks;
    callbacks.write = [&io](std::string_view text) {
        io.call<void>("write", BytesView(text.data(), text.size()));
        return true;
    };
    callbacks.skipped = [&io](int line, const std::string& message) {
        io.call<void>("note", line, message);
    };
    callbacks.warning = [&io](int line, const std::string& message) {
        io.call<void>("note", line, "warning: " + message);
    };
    callbacks.progress = [&io](const BatchProgress& progress) {
        io.call<void>("progress", static_cast<double>(progress.rowsWritten),
                      static_cast<double>(progress.rowsSkipped));
    };
    try {
        const BatchResult result = ScoreBatch(input, settings, callbacks);
        val outcome = val::object();
        outcome.set("status", std::string(StatusName(result.status)));
        outcome.set("rowsWritten", static_cast<double>(result.counts.rowsWritten));
        outcome.set("rowsSkipped", static_cast<double>(result.counts.rowsSkipped));
        outcome.set("headerError", result.headerError);
        outcome.set("headerLine", result.headerLine);
        return outcome;
    } catch (const std::exception& error) {
        return Failure("error", error.what());
    }
}

}  // namespace orvale::web

EMSCRIPTEN_BINDINGS(orvale_web) {
    using namespace orvale::web;
    emscripten::function("worksheetTexts", &WorksheetTexts);
    emscripten::function("checkScoreEntry", &CheckEntry);
    emscripten::function("filterEntryText", &FilterEntryText);
    emscripten::function("limitEntryText", &LimitEntryText);
    emscripten::function("notesInsertable", &NotesInsertable);
    emscripten::function("notesCharacters", &NotesCharacters);
    emscripten::function("compute", &Compute);
    emscripten::function("resultsFile", &ResultsFile);
    emscripten::function("readRemembered", &ReadRemembered);
    emscripten::function("writeCase", &WriteCase);
    emscripten::function("readCase", &ReadCase);
    emscripten::function("countBatchRows", &CountBatchRows);
    emscripten::function("scoreBatch", &ScoreBatchWith);
}
