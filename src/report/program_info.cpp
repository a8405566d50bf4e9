// SPDX-License-Identifier: GPL-3.0-or-later
// The About text: see program_info.h.
#include "report/program_info.h"

#include <QStringList>

#include "report/citation.h"

namespace orvale {

QString AboutText() {
    QStringList citation;
    for (const std::string_view line : kCitationLines) {
        citation << QString::fromLatin1(line.data(), static_cast<qsizetype>(line.size())).trimmed();
    }
    return QStringLiteral(
               "ORVALE version " ORVALE_VERSION
               "\n\nScoring and analysis of an eight-subtest, Index-based short form of "
               "a children's intelligence test battery.\n\nThe methods are those of:\n") +
           citation.join(u' ') +
           QStringLiteral(
               "\n\nLicence: GNU General Public License, version 3 or (at your option) any "
               "later version. This program comes with ABSOLUTELY NO WARRANTY.");
}

}  // namespace orvale
