// SPDX-License-Identifier: GPL-3.0-or-later
// The About text: see program_info.h.
#include "report/program_info.h"

#include "report/citation.h"

namespace orvale {

std::string AboutText() {
    std::string citation;
    for (std::string_view line : kCitationLines) {
        const std::size_t first = line.find_first_not_of(' ');
        line.remove_prefix(first == std::string_view::npos ? line.size() : first);
        line.remove_suffix(line.size() - (line.find_last_not_of(' ') + 1));
        citation.append(citation.empty() ? "" : " ").append(line);
    }
    return "ORVALE version " ORVALE_VERSION
           "\n\nScoring and analysis of an eight-subtest, Index-based short form of a children's "
           "intelligence test battery.\n\nThe methods are those of:\n" +
           citation +
           "\n\nLicence: GNU General Public License, version 3 or (at your option) any later "
           "version. This program comes with ABSOLUTELY NO WARRANTY.";
}

}  // namespace orvale
