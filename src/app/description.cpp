// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/description.h"

#include <QStringList>

#include "report/citation.h"

namespace orvale {

namespace {

// The report's citation lines as one running citation.
QString CitationText() {
    QStringList parts;
    for (const auto& line : kCitationLines) {
        parts.append(QString::fromUtf8(line.data(), static_cast<qsizetype>(line.size())).trimmed());
    }
    return parts.join(u' ');
}

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

}  // namespace

QString DescriptionText() {
    const QString accompanies =
        QStringLiteral("This program accompanies the paper by") + u' ' + CitationText();
    const QString modifies =
        QStringLiteral(
            "The program scores and analyzes a modified version of a seven subtest short-form "
            "created by") +
        u' ' + QString::fromLatin1(kEarlierShortForm) +
        QStringLiteral(
            ": the modified version has eight subtests (the Letter-Number Sequencing subtest was "
            "added).");
    return accompanies + QStringLiteral("  ") + modifies + QStringLiteral("  ") +
           QString::fromLatin1(kProgramDescription);
}

}  // namespace orvale
