// SPDX-License-Identifier: GPL-3.0-or-later
#include "report/report_figures.h"

#include <array>

#include "engine/tables.h"
#include "report/report_values.h"

namespace orvale {

namespace {

constexpr std::array<const char*, kPairCount> kPairNames = {"VC_PR", "VC_WM", "VC_PS",   "PR_WM",
                                                            "PR_PS", "WM_PS", "FSIQ_GAI"};

// A verdict as the report prints it, without its leading blank.
std::string Verdict(const std::string& verdict) {
    const std::size_t first = verdict.find_first_not_of(' ');
    return first == std::string::npos ? std::string() : verdict.substr(first);
}

// Hands every figure to add(stem, suffix, shown, value) in order; the name is stem + suffix.
// Names and values come from this one walk, so they cannot fall out of step.
template <typename Add>
void WalkFigures(const ScoringResults& r, const ScoringOptions& options, const Add& add) {
    for (int i = 0; i < kScoreCount; ++i) {
        const char* score = kScoreTable[i].abbreviation;
        const bool shown = i != kGAI || options.calculateGai;
        add(score, "", shown, r.scores[i]);
        add(score, "_lower", shown, r.lowerLimits[i]);
        add(score, "_upper", shown, r.upperLimits[i]);
        add(score, "_percentile", shown, r.percentiles[i]);
        add(score, "_lower_percentile", shown, r.lowerPercentiles[i]);
        add(score, "_upper_percentile", shown, r.upperPercentiles[i]);
    }
    const ScoreArray& tested = TestedValues(r, options);
    for (int pair = 0; pair < kPairCount; ++pair) {
        const char* name = kPairNames[pair];
        const bool shown = pair != kIndexPairCount || options.calculateGai;
        add(name, "_difference", shown, ToDouble(PairDifference(tested, pair)));
        add(name, "_p_one_tailed", shown, r.oneTailedP[pair]);
        add(name, "_p_two_tailed", shown, r.twoTailedP[pair]);
        add(name, "_bonferroni", shown && r.bonferroniApplied, Verdict(r.verdicts[pair]));
        add(name, "_percent_beyond", shown, r.percentBeyond[pair]);
    }
    add("low_count", "", true, r.lowCount);
    add("low_count_base_rate", "", true, LowScoreBaseRate(options.cutoffIndex, r.lowCount));
    add("difference_count", "", true, r.differenceCount);
    add("difference_count_base_rate", "", true,
        DifferenceBaseRate(options.cutoffIndex, r.differenceCount));
    add("chi_square", "", true, ToDouble(r.chiSquare));
    add("chi_square_p", "", true, ToDouble(r.chiSquareP));
}

}  // namespace

const std::vector<std::string>& ReportFigureNames() {
    static const std::vector<std::string> names = [] {
        std::vector<std::string> all;
        ScoringOptions options;
        options.calculateGai = true;
        WalkFigures(ScoringResults{}, options,
                    [&all](const char* stem, const char* suffix, bool, const FigureValue&) {
                        all.push_back(std::string(stem) + suffix);
                    });
        return all;
    }();
    return names;
}

std::vector<FigureValue> ReportFigureValues(const ScoringResults& results,
                                            const ScoringOptions& options) {
    std::vector<FigureValue> values;
    values.reserve(ReportFigureNames().size());
    WalkFigures(results, options,
                [&values](const char*, const char*, bool shown, FigureValue value) {
                    values.push_back(shown ? std::move(value) : FigureValue{});
                });
    return values;
}

}  // namespace orvale
