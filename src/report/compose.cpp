// SPDX-License-Identifier: GPL-3.0-or-later
// Report composition, sections 1 to 10: separator, heading, notes, inputs, composite sums, option
// notes, subtest discrepancies, outputs heading and the score table. Sections 11 to 15 are in
// compose_analysis.cpp.
#include "report/compose.h"

#include <array>
#include <cmath>
#include <stdexcept>
#include <string>

#include "engine/tables.h"
#include "report/citation.h"
#include "report/report_writer.h"

namespace orvale {

namespace {

using report_detail::ReportWriter;

constexpr int kDashLineLength = 103;  // the separator between two reports

// Field order: BD SI DS CD VO LN MR SS.
constexpr std::array<std::string_view, kSubtestCount> kInputFormats = {
    " BLOCK DESIGN subtest scaled score =      %6.0f",
    " SIMILARITIES subtest scaled score =      %6.0f",
    " DIGIT SPAN subtest scaled score =        %6.0f",
    " CODING subtest scaled score =            %6.0f",
    " VOCABULARY subtest scaled score =        %6.0f",
    " LETTER-NUMBER SEQ subtest scaled score = %6.0f",
    " MATRIX REASONING subtest scaled score =  %6.0f",
    " SYMBOL SEARCH subtest scaled score =     %6.0f",
};

// By confidence-limit method (0 95% traditional, 1 90% traditional, 2 95% Glutting, 3 90%
// Glutting).
constexpr std::array<std::string_view, 4> kMethodNotes = {
    " Note: 95% Confidence limits using the traditional method were selected",
    " Note: 90% Confidence limits using the traditional method were selected",
    " Note: 95% Confidence limits using the Glutting method were selected",
    " Note: 90% Confidence limits using the Glutting method were selected",
};
constexpr std::array<std::string_view, 4> kScoreTableHeadings = {
    "  Index                       Score  (95% CI Traditional)      Percentile  (95% CI on "
    "percentile)",
    "  Index                       Score  (90% CI Traditonal)       Percentile  (90% CI on "
    "percentile)",
    "  Index                       Score  (  95% CI Glutting  )       Percentile    ",
    "  Index                       Score  (  90% CI Glutting  )       Percentile       ",
};

// By cut-off index - 1.
constexpr std::array<std::string_view, 3> kCutoffLines = {
    "      less than 5% of population",
    "      less than 10% of population",
    "      less than 15% of population",
};

struct DiscrepancyCheck {
    int first;  // subtest indexes, field order
    int second;
    std::string_view line;
};
constexpr std::array<DiscrepancyCheck, 4> kDiscrepancyChecks = {{
    {kVO, kSI,
     " Note: The difference between subtests belonging to the VC Index exceeds 5 scaled score "
     "points"},
    {kBD, kMR,
     " Note: The difference between subtests belonging to the PR Index exceeds 5 scaled score "
     "points"},
    {kLN, kDS,
     " Note: The difference between subtests belonging to the WM Index exceeds 5 scaled score "
     "points"},
    {kSS, kCD,
     " Note: The difference between subtests belonging to the PS Index exceeds 5 scaled score "
     "points"},
}};
constexpr Extended kDiscrepancyLimit = 5;  // scaled score points; exactly 5 writes nothing
// Entries are typed decimals held as doubles, each a few units of 1e-15 away from what was typed,
// so the difference of two of them can miss 5 by about 1e-15 either way (as doubles, 8.3 and 3.3
// differ by a little more than 5). A difference counts as exceeding 5 only when it does so by
// more than this, far below the finest difference anyone types.
constexpr Extended kDiscrepancyTolerance =
    ExtendedConstant(1e-9L, 0x3FE1, 0x8970'5F41'36B4'A597ULL);

// Score order: VC PR WM PS FSIQ GAI.
constexpr std::array<std::string_view, kScoreCount> kTraditionalRows = {
    "  Verbal Comprehension    : %6.0f      ( %3.0f to %3.0f )    %13.1f      (%6.1f to %6.1f )",
    "  Perceptual Reasoning    : %6.0f      ( %3.0f to %3.0f )    %13.1f      (%6.1f to %6.1f )",
    "  Working Memory          : %6.0f      ( %3.0f to %3.0f )    %13.1f      (%6.1f to %6.1f )",
    "  Processing Speed        : %6.0f      ( %3.0f to %3.0f )    %13.1f      (%6.1f to %6.1f )",
    "  Full Scale IQ           : %6.0f      ( %3.0f to %3.0f )    %13.1f      (%6.1f to %6.1f )",
    "  General Ability Index   : %6.0f      ( %3.0f to %3.0f )    %13.1f      (%6.1f to %6.1f )",
};
// The VC row has five trailing spaces, the others six.
constexpr std::array<std::string_view, kScoreCount> kGluttingRows = {
    "  Verbal Comprehension    : %6.0f      ( %3.0f to %3.0f )    %13.1f     ",
    "  Perceptual Reasoning    : %6.0f      ( %3.0f to %3.0f )    %13.1f      ",
    "  Working Memory          : %6.0f      ( %3.0f to %3.0f )    %13.1f      ",
    "  Processing Speed        : %6.0f      ( %3.0f to %3.0f )    %13.1f      ",
    "  Full Scale IQ           : %6.0f      ( %3.0f to %3.0f )    %13.1f      ",
    "  General Ability Index   : %6.0f      ( %3.0f to %3.0f )    %13.1f      ",
};

bool IsGlutting(int confidenceMethod) {
    return confidenceMethod >= 2;
}

// The options and counts come from radio buttons and the engine; anything else is a fault of
// the caller, reported before a single line is appended.
void CheckInput(const ReportInput& input) {
    const ScoringOptions& options = input.options;
    if (options.confidenceMethod < 0 || options.confidenceMethod > 3) {
        throw std::invalid_argument("ComposeReport: confidence-limit method must be 0 to 3");
    }
    if (options.cutoffIndex < 1 || options.cutoffIndex > 3) {
        throw std::invalid_argument("ComposeReport: cut-off index must be 1 to 3");
    }
    if (input.results.lowCount < 0 || input.results.lowCount > 4) {
        throw std::invalid_argument("ComposeReport: low count must be 0 to 4");
    }
    if (input.results.differenceCount < 0 || input.results.differenceCount > 6) {
        throw std::invalid_argument("ComposeReport: difference count must be 0 to 6");
    }
}

void WriteSeparator(ReportWriter& writer) {
    writer.Blank();
    writer.Literal(std::string(kDashLineLength, '-'));
    writer.Literal(std::string(kDashLineLength, '-'));
    writer.Blank();
}

void WriteHeading(ReportWriter& writer) {
    writer.Blank();
    writer.Literal(kProgramTitle);
    writer.Blank();
    writer.Literal(" THIS PROGRAM IMPLEMENTS METHODS DEVELOPED IN THE FOLLOWING PAPER:");
    for (std::string_view line : kCitationLines) writer.Literal(line);
    writer.Blank();
}

void WriteNotes(ReportWriter& writer, const std::vector<std::string>& notes) {
    if (notes.empty()) return;
    writer.Literal(" User's Notes: " + notes.front());
    for (std::size_t i = 1; i < notes.size(); ++i) {
        writer.Literal(std::string(15, ' ') + notes[i]);
    }
    writer.Literal(" ");
}

void WriteInputsAndSums(ReportWriter& writer, const ReportInput& input) {
    writer.Literal(" INPUTS:");
    for (int i = 0; i < kSubtestCount; ++i) {
        writer.Formatted(kInputFormats[i], {static_cast<Extended>(input.entries[i])});
    }
    writer.Blank();
    for (double sum : input.results.sums) {
        writer.Formatted(" Sum of Index scores = %3.3f", {static_cast<Extended>(sum)});
    }
}

void WriteOptionNotes(ReportWriter& writer, const ScoringOptions& options) {
    writer.Blank();
    writer.Literal(kMethodNotes[options.confidenceMethod]);
    if (options.calculateGai) {
        writer.Literal(" Note: Calculation and analysis of the General Ability Index was selected");
    }
    writer.Literal(options.trueScoreDifferences
                       ? " Note: Analysis of reliability of differences between Indices is based "
                         "on estimated TRUE scores"
                       : " Note: Analysis of reliability of differences between Indices is based "
                         "on OBSERVED scores");
    writer.Literal(options.applyBonferroni
                       ? " Note: Sequential Bonferroni correction IS applied when testing for "
                         "reliable differences"
                       : " Note: Sequential Bonferroni correction IS NOT applied when testing for "
                         "reliable differences");
    writer.Literal(
        " Note: An abnormally low Index score (& abnormally large difference) is defined as "
        "being exhibited by");
    writer.Literal(kCutoffLines[options.cutoffIndex - 1]);
    writer.Blank();
}

void WriteDiscrepancies(ReportWriter& writer, const SubtestEntries& entries) {
    bool any = false;
    for (const DiscrepancyCheck& check : kDiscrepancyChecks) {
        const Extended difference = Fabs(static_cast<Extended>(entries[check.first]) -
                                         static_cast<Extended>(entries[check.second]));
        if (difference - kDiscrepancyLimit > kDiscrepancyTolerance) {
            writer.Literal(check.line);
            any = true;
        }
    }
    if (any) {
        writer.Literal(
            " Quisby & Tramell (2004) suggest that an Index with subtest discrepancies of this "
            "magnitude should");
        writer.Literal(" not be interpreted: see paper for discussion of this issue.");
    }
}

void WriteScoreTable(ReportWriter& writer, const ReportInput& input) {
    const int method = input.options.confidenceMethod;
    const bool glutting = IsGlutting(method);
    writer.Blank(3);
    writer.Literal(" OUTPUTS:");
    writer.Blank();
    writer.Literal(glutting ? " Short-Form Index scores plus confidence limits (scores are also "
                              "expressed as a percentile):"
                            : " Short-Form Index scores plus confidence limits (scores are also "
                              "expressed as a percentile plus CIs):");
    const int rule = glutting ? report_detail::kRule98 : report_detail::kRule99;
    writer.Rule(rule);
    writer.Literal(kScoreTableHeadings[method]);
    writer.Rule(rule);
    writer.Blank();

    const ScoringResults& r = input.results;
    const int rows = input.options.calculateGai ? kScoreCount : kScoreCount - 1;
    for (int i = 0; i < rows; ++i) {
        if (i == kFSIQ) writer.Blank();  // between the four Indexes and the FSIQ
        if (glutting) {
            writer.Formatted(
                kGluttingRows[i],
                {static_cast<Extended>(r.scores[i]), static_cast<Extended>(r.lowerLimits[i]),
                 static_cast<Extended>(r.upperLimits[i]), static_cast<Extended>(r.percentiles[i])});
        } else {
            writer.Formatted(
                kTraditionalRows[i],
                {static_cast<Extended>(r.scores[i]), static_cast<Extended>(r.lowerLimits[i]),
                 static_cast<Extended>(r.upperLimits[i]), static_cast<Extended>(r.percentiles[i]),
                 static_cast<Extended>(r.lowerPercentiles[i]),
                 static_cast<Extended>(r.upperPercentiles[i])});
        }
    }
}

}  // namespace

void ComposeReport(std::vector<std::string>& lines, const ReportInput& input) {
    CheckInput(input);
    ReportWriter writer(lines, input.decimalSeparator);
    if (!lines.empty()) WriteSeparator(writer);
    WriteHeading(writer);
    WriteNotes(writer, input.notes);
    WriteInputsAndSums(writer, input);
    WriteOptionNotes(writer, input.options);
    WriteDiscrepancies(writer, input.entries);
    for (const std::string& line : input.extensionBlock) writer.Literal(line);
    WriteScoreTable(writer, input);
    report_detail::WriteAnalysisSections(writer, input);
}

}  // namespace orvale
