// SPDX-License-Identifier: GPL-3.0-or-later
// Sizes and places worked out by hand from the layout rules: the item grid with its labels, and
// when the matrix-entry form scrolls.
#include <QTest>

#include "matrix_entry/entry_layout.h"

using namespace orvale;

class EntryLayoutTest : public QObject {
    Q_OBJECT
  private slots:
    void gridSizeFollowsItsColumnsAndRows_data();
    void gridSizeFollowsItsColumnsAndRows();
    void gridLabelsStandOverTheirColumns();
    void matrixFormScrollsOnlyWhenTheMatrixOutgrowsIt_data();
    void matrixFormScrollsOnlyWhenTheMatrixOutgrowsIt();
};

void EntryLayoutTest::gridSizeFollowsItsColumnsAndRows_data() {
    QTest::addColumn<int>("columns");
    QTest::addColumn<int>("rows");
    QTest::addColumn<QRect>("grid");  // in a 768-pixel panel, cells 64 x 24
    // width (c + 1) x 65 + 3; height r x 25 + 4 up to five rows, then 6 x 24 + 10 = 154;
    // beyond six rows 17 more for the scroll bar.
    QTest::newRow("4 x 5") << 4 << 5 << QRect(220, 200, 328, 129);
    QTest::newRow("4 x 6: six rows shown") << 4 << 6 << QRect(220, 200, 328, 154);
    QTest::newRow("4 x 7: scroll bar") << 4 << 7 << QRect(211, 200, 345, 154);
    QTest::newRow("1 x 1") << 1 << 1 << QRect(317, 200, 133, 29);
    QTest::newRow("6 x 12") << 6 << 12 << QRect(146, 200, 475, 154);
}

void EntryLayoutTest::gridSizeFollowsItsColumnsAndRows() {
    QFETCH(int, columns);
    QFETCH(int, rows);
    QFETCH(QRect, grid);
    const GridLayout layout = LayOutGrid({columns, rows}, 64, 24, 768);
    QCOMPARE(layout.grid, grid);
    QCOMPARE(layout.columnsTitle.left(), grid.left());
    QCOMPARE(layout.columnsTitle.width(), grid.width());
    QCOMPARE(static_cast<int>(layout.columnLabels.size()), columns);
}

void EntryLayoutTest::gridLabelsStandOverTheirColumns() {
    const GridLayout layout = LayOutGrid({2, 3}, 64, 24, 768);
    // Grid 198 wide at left 285; the row-label column is 65 wide after a 2-pixel border.
    QCOMPARE(layout.grid.left(), 285);
    QCOMPARE(layout.itemsLabel.left(), 287);
    QCOMPARE(layout.columnLabels[0].left(), 287 + 65);
    QCOMPARE(layout.columnLabels[1].left(), 287 + 130);
    for (const QRect& label : layout.columnLabels) {
        QVERIFY(label.bottom() < layout.grid.top());
        QVERIFY(layout.columnsTitle.bottom() < label.top());
        QVERIFY(label.right() <= layout.grid.right());
    }
}

void EntryLayoutTest::matrixFormScrollsOnlyWhenTheMatrixOutgrowsIt_data() {
    QTest::addColumn<int>("n");
    QTest::addColumn<int>("horizontal");  // range, 0 for no scroll bar
    QTest::addColumn<int>("vertical");
    // Horizontal when n x 37 + 54 > 800 (range n x 37 + 24); vertical when n x 16 + 123 > 600
    // (range (n + 2) x 16).
    QTest::newRow("20: 794 wide") << 20 << 0 << 0;
    QTest::newRow("21: 831 wide") << 21 << 801 << 0;
    QTest::newRow("29: 587 high") << 29 << 1097 << 0;
    QTest::newRow("30: 603 high") << 30 << 1134 << 512;
    QTest::newRow("50") << 50 << 1874 << 832;
}

void EntryLayoutTest::matrixFormScrollsOnlyWhenTheMatrixOutgrowsIt() {
    QFETCH(int, n);
    QFETCH(int, horizontal);
    QFETCH(int, vertical);
    const MatrixFormScrolling scrolling = MatrixFormScrollRanges(n);
    QCOMPARE(scrolling.horizontalRange.value_or(0), horizontal);
    QCOMPARE(scrolling.verticalRange.value_or(0), vertical);
    // The numbers under the columns stay clear of the last row of cells.
    QVERIFY(MatrixColumnLabelRect(1, n).top() > MatrixCellRect(1, n).bottom());
}

QTEST_GUILESS_MAIN(EntryLayoutTest)
#include "test_entry_layout.moc"
