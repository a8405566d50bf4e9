// SPDX-License-Identifier: GPL-3.0-or-later
// The worksheet's own texts: see worksheet_text.h.
#include "report/worksheet_text.h"

#include "report/citation.h"

namespace orvale {

namespace {

const char* const kEarlierShortForm = "the authors of an earlier seven-subtest short form (2010)";

const char* const kProgramDescription =
    "The program calculates an individual's WISC-IV short-form Index scores (plus 95% or 90% "
    "confidence limits) from scores on the eight subtests. The Index scores are also expressed as "
    "percentile ranks (plus CLs on the percentile ranks).   The program then tests whether "
    "differences among the individual's Index scores are reliably different (based on either "
    "observed scores or estimated true scores).  There is the option of applying a sequential "
    "Bonferroni correction for multiple comparisons when conducting this analysis. Finally, the "
    "program reports on the abnormality of the differences between the Index scores.  The "
    "analysis of the abnormality of the Index scores includes provision of the Mahalanobis "
    "distance statistic: this provides an estimate of the overall abnormality of the Index score "
    "profile.  Please refer to the accompanying paper in order to make an  informed choice "
    "regarding the options available (there is, however, a default set for each option).  Note "
    "that a short-form FSIQ is also reported (based on scores on all eight subtests).  In "
    "addition, there is the option to calculate a short-form General Ability Index (GAI). If the "
    "GAI is calculated then the program also tests whether the GAI is reliably different from "
    "the FSIQ and examines the abnormality of the GAI/FSIQ difference. The results from the "
    "program can be viewed on screen, printed, or saved to a file. There is a field for User's "
    "Notes:  relevant information about the individual can be entered in this field for future "
    "reference (Note also that the subtest scores entered by the user are also reproduced in the "
    "output.) (Current version of program compiled on 25/06/2013).";

std::string_view Trimmed(std::string_view text) {
    const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; };
    while (!text.empty() && blank(text.front())) text.remove_prefix(1);
    while (!text.empty() && blank(text.back())) text.remove_suffix(1);
    return text;
}

}  // namespace

const std::array<OptionGroupText, 5>& OptionGroupTexts() {
    static const std::array<OptionGroupText, 5> groups = {{
        {"RadioGroup2",
         "95% or 90% CLs using traditional or Glutting method...",
         {"95% CLs using traditional method", "90% CLs using traditional method",
          "95% CLs using Glutting (estimated true score) method",
          "90% CLs using Glutting (estimated true score) method"},
         ""},
        {"RadioGroup3",
         "Reliability of differences...",
         {"Between observed scores", "Between estimated true scores"},
         "Differences between observed or estimated true scores"},
        {"RadioGroup4", "Calculate GAI...  ", {"Yes", "No"}, ""},
        {"RadioGroup1",
         "Reliability of differences...",
         {"Do NOT apply Bonferroni", "Apply sequential Bonferroni"},
         "Sequential Bonferroni correction"},
        {"GroupBox1",
         "An abnormally low score (and abnormally large difference) is defined as being exhibited "
         "by less than..",
         {"5% of population", "10% of population", "15% of population"},
         ""},
    }};
    return groups;
}

std::string WorksheetDescription() {
    std::string citation;
    for (const std::string_view line : kCitationLines) {
        if (!citation.empty()) citation += ' ';
        citation += Trimmed(line);
    }
    return "This program accompanies the paper by " + citation +
           "  The program scores and analyzes a modified version of a seven subtest short-form "
           "created by " +
           kEarlierShortForm +
           ": the modified version has eight subtests (the Letter-Number Sequencing subtest was "
           "added).  " +
           kProgramDescription;
}

}  // namespace orvale
