// SPDX-License-Identifier: GPL-3.0-or-later
// The report's grid and correlation-matrix blocks, line by line against hand-written layouts, and
// their place in a composed report: after the subtest-discrepancy notes, before the outputs.
#include <QTest>

#include "matrix_entry/matrix_report.h"
#include "report/compose.h"

using namespace orvale;

namespace {

QStringList Lines(const std::vector<std::string>& lines) {
    QStringList list;
    for (const std::string& line : lines) list.append(QString::fromStdString(line));
    return list;
}

CorrelationStore LowerTriangleStore() {
    CorrelationStore store{};
    SetStoreAt(store, 1, 1, 1.0);
    SetStoreAt(store, 2, 1, 0.234);
    SetStoreAt(store, 2, 2, 1.0);
    SetStoreAt(store, 3, 1, -0.4375);  // an exact half at the fourth decimal: away from zero
    SetStoreAt(store, 3, 2, 0.346);
    SetStoreAt(store, 3, 3, 1.0);
    SetStoreAt(store, 1, 3, 0.9);  // above the diagonal: never printed
    return store;
}

}  // namespace

class MatrixReportTest : public QObject {
    Q_OBJECT
  private slots:
    void gridBlockLinesUpUnderItsHeading_data();
    void gridBlockLinesUpUnderItsHeading();
    void matrixBlockPrintsTheLowerTriangle_data();
    void matrixBlockPrintsTheLowerTriangle();
    void blocksStandBetweenDiscrepancyNotesAndOutputs();
};

void MatrixReportTest::gridBlockLinesUpUnderItsHeading_data() {
    QTest::addColumn<int>("columns");
    QTest::addColumn<int>("rows");
    QTest::addColumn<QStringList>("cells");
    QTest::addColumn<char>("separator");
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("2 x 3") << 2 << 3 << QStringList{"1", "0,5", "", "-2.25", "10", "0.0005"} << '.'
                           << QStringList{"         Column names",
                                          " Item    1       2    ",
                                          "         _______________",
                                          "  1:   1.000   0.500",
                                          "  2:   0.000  -2.250",
                                          "  3:  10.000   0.001",
                                          ""};
    QTest::newRow("3 x 1, decimal comma")
        << 3 << 1 << QStringList{"0.25", "-0", "123.4567"} << ','
        << QStringList{"             Column names", " Item    1       2       3    ",
                       "         ______________________", "  1:   0,250   0,000  123,457", ""};
    // A cell that is no number prints as 0 (Compute refuses such a grid before it gets here).
    QTest::newRow("1 x 1, bad cell") << 1 << 1 << QStringList{"x1"} << '.'
                                     << QStringList{"    Column names", " Item    1    ",
                                                    "         ________", "  1:   0.000", ""};
}

void MatrixReportTest::gridBlockLinesUpUnderItsHeading() {
    QFETCH(int, columns);
    QFETCH(int, rows);
    QFETCH(QStringList, cells);
    QFETCH(char, separator);
    QFETCH(QStringList, expected);
    const GridCells grid{{columns, rows}, cells};
    QCOMPARE(Lines(GridReportBlock(QStringLiteral("Column names"), grid, separator)), expected);
}

void MatrixReportTest::matrixBlockPrintsTheLowerTriangle_data() {
    QTest::addColumn<int>("n");
    QTest::addColumn<char>("separator");
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("before any matrix step") << 0 << '.' << QStringList{" Correlation matrix:"};
    QTest::newRow("3 x 3") << 3 << '.'
                           << QStringList{" Correlation matrix:", " 1:  1.000 ",
                                          " 2:  0.234  1.000 ", " 3: -0.438  0.346  1.000 "};
    QTest::newRow("2 x 2, decimal comma")
        << 2 << ',' << QStringList{" Correlation matrix:", " 1:  1,000 ", " 2:  0,234  1,000 "};
}

void MatrixReportTest::matrixBlockPrintsTheLowerTriangle() {
    QFETCH(int, n);
    QFETCH(char, separator);
    QFETCH(QStringList, expected);
    QCOMPARE(Lines(MatrixReportBlock(LowerTriangleStore(), n, separator)), expected);
}

void MatrixReportTest::blocksStandBetweenDiscrepancyNotesAndOutputs() {
    ReportInput input;
    input.entries = {10, 16, 10, 10, 10, 10, 10, 10};  // SI 16, VO 10: a VC discrepancy note
    input.results = ComputeScores(input.entries, input.options);
    std::vector<std::string> plain;
    ComposeReport(plain, input);

    const GridCells grid{{1, 1}, {"2"}};
    input.extensionBlock = GridReportBlock(QStringLiteral("Column names"), grid);
    const std::vector<std::string> matrix = MatrixReportBlock(LowerTriangleStore(), 2);
    input.extensionBlock.insert(input.extensionBlock.end(), matrix.begin(), matrix.end());
    std::vector<std::string> extended;
    ComposeReport(extended, input);

    const QStringList before = Lines(plain);
    const QStringList after = Lines(extended);
    const qsizetype outputs = before.indexOf(QStringLiteral(" OUTPUTS:"));
    QVERIFY(outputs > 3);
    QCOMPARE(before[outputs - 4],
             QStringLiteral(" not be interpreted: see paper for discussion of this issue."));
    const qsizetype insertAt = outputs - 3;  // the three blank lines before " OUTPUTS:"
    QStringList expected = before;
    const QStringList block = Lines(input.extensionBlock);
    for (qsizetype i = 0; i < block.size(); ++i) expected.insert(insertAt + i, block[i]);
    QCOMPARE(after, expected);
    QCOMPARE(block.size(), 5 + 3);
}

QTEST_GUILESS_MAIN(MatrixReportTest)
#include "test_matrix_report.moc"
