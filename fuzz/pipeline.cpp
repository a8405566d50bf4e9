// SPDX-License-Identifier: GPL-3.0-or-later
// Fuzz target: the whole Compute pipeline, ComputeScores then ComposeReport, on any eight doubles
// and any options. Entries or options outside their ranges must be refused with
// std::invalid_argument; valid ones must give composite sums and Index scores as the score table
// defines them, percentile ranks of the normal distribution, ordered limits, probabilities in
// range, and a report whose only difference between decimal separators is the separator itself.
#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

#include "engine/scoring.h"
#include "engine/tables.h"
#include "fuzz_support.h"
#include "report/compose.h"

using namespace orvale;
using namespace orvale::fuzz;

namespace {

// 100 x Phi((x - 100) / 15), from the complementary error function of the C library.
double Percentile(double x) {
    return 50 * std::erfc(-(x - 100) / 15 / std::sqrt(2.0));
}

bool Near(double a, double b, double tolerance) {
    return std::fabs(a - b) <= tolerance;
}

bool IsProbability(double p) {
    return p >= 0 && p <= 1;
}

void CheckResults(const SubtestEntries& entries, const ScoringOptions& options,
                  const ScoringResults& r) {
    const bool glutting = kConfidenceMethods[options.confidenceMethod].centreOnTrueScore;
    for (int s = 0; s < kScoreCount; ++s) {
        const ScoreDefinition& score = kScoreTable[s];
        long double sum = 0;
        for (int k = 0; k < score.subtestCount; ++k) sum += entries[score.subtests[k]];
        Check(Near(r.sums[s], static_cast<double>(sum), 1e-12), "a composite sums its subtests",
              score.abbreviation);
        const double index = 100 + 15 * (r.sums[s] - score.sumMean) / score.sumSd;
        Check(Near(r.scores[s], index, 1e-9), "an Index score standardises its sum",
              score.abbreviation);
        // The program's integrator stops at a relative change of 1e-6 between Simpson stages:
        // its Phi is off by up to 1.4e-5 (near z = 1.52, on a grid of 1e-4 over -8 to 8), so
        // 0.002 percentile points.
        Check(Near(r.percentiles[s], Percentile(r.scores[s]), 2e-3) &&
                  Near(r.lowerPercentiles[s], Percentile(r.lowerLimits[s]), 2e-3) &&
                  Near(r.upperPercentiles[s], Percentile(r.upperLimits[s]), 2e-3),
              "percentile ranks are those of the normal distribution",
              std::string(score.abbreviation) + " " + std::to_string(r.scores[s]) + " " +
                  std::to_string(r.percentiles[s] - Percentile(r.scores[s])) + " " +
                  std::to_string(r.lowerPercentiles[s] - Percentile(r.lowerLimits[s])) + " " +
                  std::to_string(r.upperPercentiles[s] - Percentile(r.upperLimits[s])));
        const double centre = glutting ? r.trueScores[s] : r.scores[s];
        Check(r.lowerLimits[s] <= centre && centre <= r.upperLimits[s],
              "the limits enclose the score they are set about", score.abbreviation);
        Check(Near(r.trueScores[s], 100 + score.reliability * (r.scores[s] - 100), 1e-9),
              "the estimated true score regresses to the mean", score.abbreviation);
    }
    for (int p = 0; p < kPairCount; ++p) {
        Check(IsProbability(r.oneTailedP[p]) && IsProbability(r.twoTailedP[p]) &&
                  r.oneTailedP[p] <= r.twoTailedP[p],
              "p values are probabilities, the one-tailed no larger");
        Check(r.percentBeyond[p] >= 0 && r.percentBeyond[p] <= 50, "at most half lie beyond");
        if (r.bonferroniApplied) {
            Check(r.verdicts[p] == kVerdictSignificant || r.verdicts[p] == kVerdictNotSignificant,
                  "a verdict is one of the two");
        } else {
            Check(r.verdicts[p].empty(), "no verdict without the correction");
        }
    }
    Check(r.bonferroniApplied == options.applyBonferroni, "the correction is applied when asked");
    Check(r.lowCount >= 0 && r.lowCount <= 4 && r.differenceCount >= 0 && r.differenceCount <= 6,
          "the counts are in range");
    Check(std::isfinite(static_cast<double>(r.chiSquare)) && r.chiSquare >= 0 &&
              IsProbability(static_cast<double>(r.chiSquareP)),
          "the profile's chi-square and its p are in range");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider input(data, size);
    SubtestEntries entries{};
    bool entriesValid = true;
    for (double& entry : entries) {
        // Mostly scores from 1 to 19 in steps of a thousandth, now and then any double at all.
        entry = input.ConsumeIntegralInRange(0, 15) == 0
                    ? std::bit_cast<double>(input.ConsumeIntegral<std::uint64_t>())
                    : 1 + input.ConsumeIntegralInRange(0, 18000) / 1000.0;
        entriesValid = entriesValid && entry >= 1 && entry <= 19;
    }
    ScoringOptions options;
    options.confidenceMethod = input.ConsumeIntegralInRange(-1, 4);
    options.trueScoreDifferences = input.ConsumeBool();
    options.applyBonferroni = input.ConsumeBool();
    options.calculateGai = input.ConsumeBool();
    options.cutoffIndex = input.ConsumeIntegralInRange(0, 4);
    const bool optionsValid = options.confidenceMethod >= 0 && options.confidenceMethod <= 3 &&
                              options.cutoffIndex >= 1 && options.cutoffIndex <= 3;

    ReportInput report;
    try {
        report.results = ComputeScores(entries, options);
    } catch (const std::invalid_argument&) {
        Check(!entriesValid || !optionsValid, "valid entries and options are scored");
        return 0;
    }
    Check(entriesValid && optionsValid, "entries or options out of range are refused");
    CheckResults(entries, options, report.results);

    report.entries = entries;
    report.options = options;
    while (input.remaining_bytes() > 0) report.notes.push_back(input.ConsumeRandomLengthString(80));
    std::vector<std::string> point;
    ComposeReport(point, report);
    report.decimalSeparator = ',';
    std::vector<std::string> comma;
    ComposeReport(comma, report);
    Check(!point.empty() && point.size() == comma.size(), "a report of the same lines");
    for (std::size_t i = 0; i < point.size(); ++i) {
        bool onlySeparators = point[i].size() == comma[i].size();
        for (std::size_t c = 0; onlySeparators && c < point[i].size(); ++c) {
            onlySeparators =
                point[i][c] == comma[i][c] || (point[i][c] == '.' && comma[i][c] == ',');
        }
        Check(onlySeparators, "the separator is all that differs", point[i] + " / " + comma[i]);
        for (const char* bad : {"NaN", "Inf"}) {
            Check(point[i].find(bad) == std::string::npos ||
                      std::any_of(report.notes.begin(), report.notes.end(),
                                  [&](const std::string& note) {
                                      return note.find(bad) != std::string::npos;
                                  }),
                  "no number of a report is undefined", point[i]);
        }
    }
    // A second report follows the first after a separator, the same lines again.
    std::vector<std::string> twice = point;
    ComposeReport(twice, report);
    Check(twice.size() > 2 * point.size(), "a second report is appended after a separator");
    return 0;
}
