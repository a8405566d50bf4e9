// SPDX-License-Identifier: GPL-3.0-or-later
// End to end through the real windows: scores typed into the worksheet, Compute, and the
// viewer's memo read line by line against the report composer's own output for the same case.
#include <QDir>
#include <QRadioButton>
#include <QTest>
#include <QTextEdit>

#include "engine/scoring.h"
#include "numeric/normal.h"
#include "report/compose.h"
#include "report/decimal_separator.h"
#include "support/program_driver.h"

using orvale::testing::FakePlatform;
using orvale::testing::ProgramDriver;
using Kind = FakePlatform::Kind;

namespace {

const QStringList kScores = {"12", "11", "9", "8", "13", "10", "12", "7"};
const orvale::SubtestEntries kEntries = {12, 11, 9, 8, 13, 10, 12, 7};

// What the composer writes for this case after the given earlier lines.
QStringList ExpectedLines(std::vector<std::string> earlier, const orvale::SubtestEntries& entries,
                          const orvale::ScoringOptions& options,
                          const std::vector<std::string>& notes) {
    orvale::ReportInput input;
    input.entries = entries;
    input.options = options;
    input.notes = notes;
    input.results = orvale::ComputeScores(entries, options);
    input.decimalSeparator = orvale::UserDecimalSeparator();
    orvale::ComposeReport(earlier, input);
    QStringList lines;
    for (const std::string& line : earlier) lines.append(QString::fromStdString(line));
    lines.append(QString());  // the memo's text ends with a line break
    return lines;
}

QString DashLine() {
    return QString(103, u'-');
}

}  // namespace

class ComputeTest : public orvale::testing::ProgramTest {
    Q_OBJECT
  private slots:
    void reportMatchesComposerForEachOptionSet_data();
    void reportMatchesComposerForEachOptionSet();
    void secondComputeAppendsAfterSeparator();
    void clearResultsStartsAfresh();
    void notesAppearAsTheBoxShowsThem();
    void fractionalAndPastedEntriesAreUsedAsParsed();
    void integratorWarningsShowInWarningBox();
};

void ComputeTest::reportMatchesComposerForEachOptionSet_data() {
    QTest::addColumn<int>("method");        // RadioGroup2
    QTest::addColumn<int>("differences");   // RadioGroup3
    QTest::addColumn<int>("gai");           // RadioGroup4
    QTest::addColumn<int>("bonferroni");    // RadioGroup1
    QTest::addColumn<int>("cutoffButton");  // RadioButton1..3
    QTest::newRow("defaults") << 0 << 0 << 0 << 0 << 1;
    QTest::newRow("90% traditional, true scores, 10%") << 1 << 1 << 0 << 0 << 2;
    QTest::newRow("95% Glutting, no GAI, Bonferroni") << 2 << 0 << 1 << 1 << 3;
    QTest::newRow("90% Glutting, everything else changed") << 3 << 1 << 1 << 1 << 2;
}

void ComputeTest::reportMatchesComposerForEachOptionSet() {
    QFETCH(int, method);
    QFETCH(int, differences);
    QFETCH(int, gai);
    QFETCH(int, bonferroni);
    QFETCH(int, cutoffButton);
    program_->TypeScores(kScores);
    program_->radioGroup("RadioGroup2")->setItemIndex(method);
    program_->radioGroup("RadioGroup3")->setItemIndex(differences);
    program_->radioGroup("RadioGroup4")->setItemIndex(gai);
    program_->radioGroup("RadioGroup1")->setItemIndex(bonferroni);
    program_->worksheet()
        .findChild<QRadioButton*>(QStringLiteral("RadioButton%1").arg(cutoffButton))
        ->setChecked(true);
    program_->Compute();

    orvale::ScoringOptions options;
    options.confidenceMethod = method;
    options.trueScoreDifferences = differences == 1;
    options.calculateGai = gai == 0;
    options.applyBonferroni = bonferroni == 1;
    options.cutoffIndex = cutoffButton;
    QVERIFY(program_->platform().messages.empty());
    QVERIFY(program_->results().isVisible());
    QVERIFY(!program_->worksheet().isVisible());
    QCOMPARE(program_->results().windowTitle(),
             QStringLiteral("Results viewer: ") + QString::fromLatin1(orvale::kProgramTitle));
    QCOMPARE(program_->results().focusWidget(), program_->resultsControl("cmdReturn"));
    const QStringList lines = program_->ResultLines();
    QCOMPARE(lines, ExpectedLines({}, kEntries, options, {}));
    QCOMPARE(lines.value(0), QString());
    QCOMPARE(lines.value(1), QString::fromLatin1(orvale::kProgramTitle));
    QVERIFY(!lines.contains(DashLine()));
}

void ComputeTest::secondComputeAppendsAfterSeparator() {
    program_->TypeScores(kScores);
    program_->Compute();
    const QStringList first = program_->ResultLines();
    program_->Click(program_->resultsControl("cmdReturn"));
    QVERIFY(program_->worksheet().isVisible());
    QVERIFY(!program_->results().isVisible());
    QCOMPARE(program_->worksheet().focusWidget(), program_->worksheetControl("cmdCompute"));
    for (int k = 0; k < 8; ++k) QCOMPARE(program_->field(k)->text(), kScores[k]);

    program_->radioGroup("RadioGroup4")->setItemIndex(1);
    program_->Compute();
    const QStringList lines = program_->ResultLines();
    QCOMPARE(lines.mid(0, first.size() - 1), first.mid(0, first.size() - 1));
    const QStringList separator = {QString(),  DashLine(),
                                   DashLine(), QString(),
                                   QString(),  QString::fromLatin1(orvale::kProgramTitle)};
    QCOMPARE(lines.mid(first.size() - 1, separator.size()), separator);

    std::vector<std::string> earlier;
    for (const QString& line : first.mid(0, first.size() - 1))
        earlier.push_back(line.toStdString());
    orvale::ScoringOptions options;
    options.calculateGai = false;
    QCOMPARE(lines, ExpectedLines(earlier, kEntries, options, {}));
}

void ComputeTest::clearResultsStartsAfresh() {
    program_->TypeScores(kScores);
    program_->Compute();
    program_->Click(program_->resultsControl("cmdClearResults"));
    QVERIFY(program_->memoResults()->toPlainText().isEmpty());
    QVERIFY(program_->platform().messages.empty());
    program_->Click(program_->resultsControl("cmdReturn"));
    program_->Compute();
    QCOMPARE(program_->ResultLines(), ExpectedLines({}, kEntries, {}, {}));

    // Text the user typed into the memo counts as an earlier report: the separator follows it,
    // on a line of its own.
    program_->Click(program_->resultsControl("cmdClearResults"));
    program_->memoResults()->setPlainText(QStringLiteral("typed by hand"));
    program_->Click(program_->resultsControl("cmdReturn"));
    program_->Compute();
    QCOMPARE(program_->ResultLines(), ExpectedLines({"typed by hand"}, kEntries, {}, {}));
}

void ComputeTest::notesAppearAsTheBoxShowsThem() {
    auto* notes = program_->worksheet().findChild<QTextEdit*>("memoComments");
    notes->setPlainText(QStringLiteral("a\nb\nc\n"));
    program_->TypeScores(kScores);
    program_->Compute();
    const QStringList lines = program_->ResultLines();
    const qsizetype start = lines.indexOf(QStringLiteral(" User's Notes: a"));
    QVERIFY(start > 0);
    QCOMPARE(lines.mid(start, 5), (QStringList{" User's Notes: a", QString(15, u' ') + "b",
                                               QString(15, u' ') + "c", " ", " INPUTS:"}));
    QCOMPARE(lines, ExpectedLines({}, kEntries, {}, {"a", "b", "c"}));

    // A long note wraps into several report lines, none of them longer than the box shows.
    program_->Click(program_->resultsControl("cmdClearResults"));
    program_->Click(program_->resultsControl("cmdReturn"));
    const QString note =
        QStringLiteral("Referred by the school for reading difficulties; ").repeated(4).trimmed();
    notes->setPlainText(note);
    program_->Compute();
    const QStringList wrapped = program_->ResultLines();
    const qsizetype first = wrapped.indexOf(
        QRegularExpression(QStringLiteral("^ User's Notes: Referred by the school.*")));
    const qsizetype inputs = wrapped.indexOf(QStringLiteral(" INPUTS:"));
    QVERIFY(first > 0 && inputs > first + 3);
    QString rebuilt = wrapped[first].mid(15);
    for (qsizetype i = first + 1; i < inputs - 1; ++i) {
        QVERIFY(wrapped[i].startsWith(QString(15, u' ')));
        QVERIFY(wrapped[i].size() - 15 < 96);  // the box shows about 90 characters a line
        rebuilt += wrapped[i].mid(15);
    }
    QCOMPARE(rebuilt.simplified(), note.simplified());
}

void ComputeTest::fractionalAndPastedEntriesAreUsedAsParsed() {
    QStringList scores = kScores;
    scores[0] = "10.5";
    program_->TypeScores(scores);
    program_->field(1)->setText(QStringLiteral("1 1"));  // pasted: the blank is ignored
    program_->Compute();
    orvale::SubtestEntries entries = kEntries;
    entries[0] = 10.5;
    QCOMPARE(program_->ResultLines(), ExpectedLines({}, entries, {}, {}));
    QVERIFY(program_->ResultLines().contains(
        QStringLiteral(" BLOCK DESIGN subtest scaled score =          11")));
}

void ComputeTest::integratorWarningsShowInWarningBox() {
    // The integrator warns when asked for the probability at exactly 0 (a limit of exactly 100).
    const double half = orvale::NormalCdf(0.0);
    QCOMPARE(program_->platform().Texts(Kind::Warning), QStringList{"Too many steps"});
    QCOMPARE(half, 0.5);
    program_.reset();  // the program's hook goes with its windows
    FakePlatform other(QDir::tempPath());
    orvale::NormalCdf(0.0);
    QVERIFY(other.messages.empty());
}

QTEST_MAIN(ComputeTest)
#include "test_compute.moc"
