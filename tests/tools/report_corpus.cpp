// SPDX-License-Identifier: GPL-3.0-or-later
// Writes the text report of every case read from standard input, one process for many cases, so
// that two builds of the program can be compared over a large corpus (scripts/score_corpus.py).
// A case is one line: ci (95|90), method (traditional|glutting), differences (observed|true),
// bonferroni (0|1), gai (0|1), abnormal (5|10|15), then the eight score texts as typed. Each
// report follows a line "=== case N"; a score the worksheet refuses gives its message instead.
#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#endif

#include <cstdio>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include "engine/entry.h"
#include "engine/scoring.h"
#include "engine/tables.h"
#include "report/compose.h"

namespace {

using namespace orvale;

bool ReadOptions(std::istringstream& in, ScoringOptions& options) {
    std::string ci, method, differences;
    int bonferroni = 0, gai = 0, abnormal = 0;
    if (!(in >> ci >> method >> differences >> bonferroni >> gai >> abnormal)) return false;
    options.confidenceMethod = (method == "glutting" ? 2 : 0) + (ci == "90" ? 1 : 0);
    options.trueScoreDifferences = differences == "true";
    options.applyBonferroni = bonferroni != 0;
    options.calculateGai = gai != 0;
    options.cutoffIndex = abnormal == 5 ? 1 : abnormal == 10 ? 2 : 3;
    return true;
}

}  // namespace

int main() {
#ifdef _WIN32
    // The same bytes as on other systems: "\n" stays "\n" on the way in and out.
    _setmode(_fileno(stdin), _O_BINARY);
    _setmode(_fileno(stdout), _O_BINARY);
#endif
    std::string text;
    for (long n = 1; std::getline(std::cin, text); ++n) {
        std::istringstream in(text);
        ReportInput input;
        std::cout << "=== case " << n << '\n';
        if (!ReadOptions(in, input.options)) {
            std::cout << "unreadable line\n";
            continue;
        }
        bool valid = true;
        for (int k = 0; k < kSubtestCount && valid; ++k) {
            std::string score;
            in >> score;
            const ParsedEntry parsed = CheckScoreEntry(k, score);
            if (parsed.error) {
                std::cout << *parsed.error << '\n';
                valid = false;
            }
            input.entries[k] = parsed.value;
        }
        if (!valid) continue;
        input.results = ComputeScores(input.entries, input.options);
        std::vector<std::string> lines;
        ComposeReport(lines, input);
        for (const std::string& line : lines) std::cout << line << '\n';
    }
    return 0;
}
