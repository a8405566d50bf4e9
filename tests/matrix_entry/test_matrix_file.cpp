// SPDX-License-Identifier: GPL-3.0-or-later
// The work buffer's exchange with the correlation store and the grid and matrix items of the
// previous-data file: exact texts written, values read back through the file's own number
// reader, and damaged files.
#include <QTest>
#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>
#include <random>

#include "app/previous_data.h"
#include "engine/entry.h"
#include "matrix_entry/matrix_data.h"
#include "matrix_entry/matrix_file.h"

using namespace orvale;

namespace {

// The items of a file as the previous-data file's own reader gives them.
NextFileNumber NumbersOf(const QByteArray& text) {
    auto reader = std::make_shared<FileNumberReader>(text);
    return [reader] { return reader->Next(); };
}

// The symmetric 4 x 4 matrix of the worksheet's help text.
CorrelationStore SampleStore() {
    const double lower[4][4] = {{1.000, 0, 0, 0},
                                {0.234, 1.000, 0, 0},
                                {0.435, 0.346, 1.000, 0},
                                {0.664, 0.564, 0.389, 1.000}};
    CorrelationStore store{};
    for (int i = 1; i <= 4; ++i) {
        for (int j = 1; j <= i; ++j) {
            SetStoreAt(store, i, j, lower[i - 1][j - 1]);
            SetStoreAt(store, j, i, lower[i - 1][j - 1]);
        }
    }
    return store;
}

}  // namespace

class MatrixFileTest : public QObject {
    Q_OBJECT
  private slots:
    void bufferStartsAsIdentityOrFromTheStore();
    void bufferAndStoreRejectIndicesOutsideTheirSize();
    void matrixItemsAreTheLowerTriangleWithThreeDecimals();
    void matrixRoundTripMirrorsAndForcesTheDiagonal();
    void matrixItemsMissingAtTheEndReadAsZero();
    void malformedMatrixItemLeavesTheStoreAlone();
    void fileDimensionsMustBeWholeAndInRange_data();
    void fileDimensionsMustBeWholeAndInRange();
    void gridCellsAreWrittenAsOneNumberEach_data();
    void gridCellsAreWrittenAsOneNumberEach();
    void gridRoundTripShowsSixSignificantDigits();
    void malformedGridItemKeepsTheCellsBeforeIt();
    void gridCellsReadBackAsWrittenWhateverTheirSize();
    void matrixElementsReadBackAsWrittenWhateverTheirSize();
};

void MatrixFileTest::bufferStartsAsIdentityOrFromTheStore() {
    CorrelationStore store{};
    // An asymmetric store shows which element goes where: (b, i) to buffer (b, i).
    SetStoreAt(store, 1, 2, 0.12);
    SetStoreAt(store, 2, 1, 0.21);
    SetStoreAt(store, 3, 1, -0.31);
    SetStoreAt(store, 2, 2, 0.0);  // a store read for a smaller matrix

    const MatrixWorkBuffer fresh = PrepareMatrixBuffer(store, 3, false);
    const MatrixWorkBuffer loaded = PrepareMatrixBuffer(store, 3, true);
    for (int c = 1; c <= 3; ++c) {
        for (int r = 1; r <= 3; ++r) {
            QCOMPARE(fresh.At(c, r), c == r ? 1.0 : 0.0);
            QCOMPARE(loaded.At(c, r), c == r ? 1.0 : StoreAt(store, c, r));
        }
    }
    QCOMPARE(loaded.At(1, 2), 0.12);
    QCOMPARE(loaded.At(3, 1), -0.31);
    QCOMPARE(loaded.At(4, 4), 0.0);  // outside the n x n block nothing is set

    CorrelationStore back{};
    StoreMatrixBuffer(loaded, 3, back);
    QCOMPARE(StoreAt(back, 2, 1), 0.21);
    QCOMPARE(StoreAt(back, 3, 1), -0.31);
    QCOMPARE(StoreAt(back, 4, 4), 0.0);
}

void MatrixFileTest::bufferAndStoreRejectIndicesOutsideTheirSize() {
    MatrixWorkBuffer buffer;
    buffer.Set(50, 50, 0.5);
    QCOMPARE(buffer.At(50, 50), 0.5);
    QVERIFY_THROWS_EXCEPTION(std::out_of_range, buffer.At(0, 1));
    QVERIFY_THROWS_EXCEPTION(std::out_of_range, buffer.Set(1, 51, 0.0));
    CorrelationStore store{};
    QVERIFY_THROWS_EXCEPTION(std::out_of_range, StoreAt(store, 21, 1));
    // A dimension beyond the store is clamped, never read past its end.
    const MatrixWorkBuffer large = PrepareMatrixBuffer(store, 35, false);
    QCOMPARE(large.At(20, 20), 1.0);
    QCOMPARE(large.At(21, 21), 0.0);
    QCOMPARE(MatrixFileItems(store, 0), QString());
    QCOMPARE(MatrixFileItems(store, 21).count(u' '), 20 * 21 / 2);
}

void MatrixFileTest::matrixItemsAreTheLowerTriangleWithThreeDecimals() {
    CorrelationStore store = SampleStore();
    SetStoreAt(store, 4, 3, -0.5);
    SetStoreAt(store, 4, 2, 0.0625);  // a half at the fourth decimal rounds away from zero
    QCOMPARE(MatrixFileItems(store, 4),
             QStringLiteral(" 1.000 0.234 1.000 0.435 0.346 1.000 0.664 0.063 -0.500 1.000"));
    QCOMPARE(MatrixFileItems(store, 1), QStringLiteral(" 1.000"));
}

void MatrixFileTest::matrixRoundTripMirrorsAndForcesTheDiagonal() {
    const CorrelationStore written = SampleStore();
    CorrelationStore read{};
    QVERIFY(ReadMatrixItems(NumbersOf(MatrixFileItems(written, 4).toLatin1()), 4, read));
    QCOMPARE(read, written);

    // A hand-made file with a wrong diagonal and values on several lines.
    read.fill(0.0);
    QVERIFY(ReadMatrixItems(NumbersOf("0.9\n.2 7\n-.3 +0.4 2e0"), 3, read));
    for (int i = 1; i <= 3; ++i) QCOMPARE(StoreAt(read, i, i), 1.0);
    QCOMPARE(StoreAt(read, 1, 2), 0.2);
    QCOMPARE(StoreAt(read, 2, 1), 0.2);
    QCOMPARE(StoreAt(read, 1, 3), -0.3);
    QCOMPARE(StoreAt(read, 3, 1), -0.3);
    QCOMPARE(StoreAt(read, 2, 3), 0.4);
    QCOMPARE(StoreAt(read, 3, 2), 0.4);
}

void MatrixFileTest::matrixItemsMissingAtTheEndReadAsZero() {
    CorrelationStore read{};
    QVERIFY(ReadMatrixItems(NumbersOf("1 0.5"), 3, read));
    QCOMPARE(StoreAt(read, 2, 1), 0.5);
    QCOMPARE(StoreAt(read, 3, 1), 0.0);
    QCOMPARE(StoreAt(read, 3, 2), 0.0);
    QCOMPARE(StoreAt(read, 3, 3), 1.0);
}

void MatrixFileTest::malformedMatrixItemLeavesTheStoreAlone() {
    CorrelationStore store = SampleStore();
    const CorrelationStore before = store;
    QVERIFY(!ReadMatrixItems(NumbersOf("1 0.5 1 0,3 0.2 1"), 3, store));
    QCOMPARE(store, before);
    QVERIFY(!ReadMatrixItems(NumbersOf("1 - 1"), 2, store));
    QCOMPARE(store, before);
}

void MatrixFileTest::fileDimensionsMustBeWholeAndInRange_data() {
    QTest::addColumn<double>("value");
    QTest::addColumn<int>("matrix");   // 0: no matrix dimension
    QTest::addColumn<int>("columns");  // 0: no grid column count
    QTest::addColumn<int>("rows");     // 0: no grid row count
    const double nan = std::numeric_limits<double>::quiet_NaN();
    QTest::newRow("4") << 4.0 << 4 << 4 << 4;
    QTest::newRow("1") << 1.0 << 1 << 1 << 1;
    QTest::newRow("20") << 20.0 << 20 << 20 << 20;
    QTest::newRow("21") << 21.0 << 0 << 0 << 21;
    QTest::newRow("50") << 50.0 << 0 << 0 << 50;
    QTest::newRow("51") << 51.0 << 0 << 0 << 0;
    QTest::newRow("0") << 0.0 << 0 << 0 << 0;
    QTest::newRow("-4") << -4.0 << 0 << 0 << 0;
    QTest::newRow("4.5") << 4.5 << 0 << 0 << 0;
    QTest::newRow("huge") << 1e300 << 0 << 0 << 0;
    QTest::newRow("NaN") << nan << 0 << 0 << 0;
}

void MatrixFileTest::fileDimensionsMustBeWholeAndInRange() {
    QFETCH(double, value);
    QFETCH(int, matrix);
    QFETCH(int, columns);
    QFETCH(int, rows);
    QCOMPARE(FileMatrixDimension(value).value_or(0), matrix);
    const std::optional<GridSize> asColumns = FileGridSize(value, 7);
    QCOMPARE(asColumns ? asColumns->columns : 0, columns);
    const std::optional<GridSize> asRows = FileGridSize(4, value);
    QCOMPARE(asRows ? asRows->rows : 0, rows);
}

void MatrixFileTest::gridCellsAreWrittenAsOneNumberEach_data() {
    QTest::addColumn<QString>("cell");
    QTest::addColumn<QString>("item");  // empty: the cell is refused
    QTest::newRow("whole") << "12"
                           << "12";
    QTest::newRow("empty cell is one item, 0") << ""
                                               << "0";
    QTest::newRow("decimal comma") << "0,5"
                                   << "0.5";
    QTest::newRow("pasted blank") << "1 2"
                                  << "12";
    QTest::newRow("leading point") << "-.25"
                                   << "-0.25";
    QTest::newRow("trailing point") << "7."
                                    << "7";
    QTest::newRow("lone minus") << "-"
                                << "0";
    QTest::newRow("leading zeros") << "007"
                                   << "7";
    QTest::newRow("letters") << "1x"
                             << "";
    QTest::newRow("two points") << "1.2.3"
                                << "";
    QTest::newRow("inner minus") << "1-2"
                                 << "";
}

void MatrixFileTest::gridCellsAreWrittenAsOneNumberEach() {
    QFETCH(QString, cell);
    QFETCH(QString, item);
    const GridCells cells{{2, 1}, {QStringLiteral("3"), cell}};
    if (item.isEmpty()) {
        QCOMPARE(FirstInvalidGridCell(cells).value_or(-1), 1);
        return;
    }
    QVERIFY(!FirstInvalidGridCell(cells));
    const QString items = GridFileItems(cells);
    QCOMPARE(items, "3 " + item + " ");
    // Exactly two items that the file reader accepts.
    const NextFileNumber next = NumbersOf(items.toLatin1());
    QCOMPARE(next().value_or(-1), 3.0);
    QVERIFY(next().has_value());
    QCOMPARE(ReadGridItems(NumbersOf(items.toLatin1()), {2, 1}).malformed, false);
}

void MatrixFileTest::gridRoundTripShowsSixSignificantDigits() {
    const GridCells written{{3, 2}, {"1", "0.1234567", "-2,5", "", "123456789", "0.00001"}};
    const GridRead read = ReadGridItems(NumbersOf(GridFileItems(written).toLatin1()), {3, 2});
    QVERIFY(!read.malformed);
    QCOMPARE(read.cells.texts, QStringList({"1", "0.123457", "-2.5", "0", "123457000", "0.00001"}));
    QCOMPARE(read.cells.Text(1, 2), QStringLiteral("123457000"));
    QCOMPARE(read.cells.Text(2, 1), QString());  // outside the grid
}

void MatrixFileTest::malformedGridItemKeepsTheCellsBeforeIt() {
    const GridRead read = ReadGridItems(NumbersOf("4 5 word 6"), {2, 2});
    QVERIFY(read.malformed);
    QCOMPARE(read.cells.texts, QStringList({"4", "5", "", ""}));
    // Too few items: the missing ones read as 0.
    const GridRead shortFile = ReadGridItems(NumbersOf("4"), {1, 3});
    QVERIFY(!shortFile.malformed);
    QCOMPARE(shortFile.cells.texts, QStringList({"4", "0", "0"}));
}

// Random cell texts of every size: up to 330 integer and 340 decimal digits, so that some stand
// for huge, some for tiny (even subnormal) numbers and some overflow. An accepted cell is written
// as an item that reads back as exactly its value; the text shown after reading passes the grid's
// own check and keeps six significant digits; a refused cell is one past the largest double.
void MatrixFileTest::gridCellsReadBackAsWrittenWhateverTheirSize() {
    std::mt19937_64 random(20240611);
    const auto digits = [&random](int count) {
        QString text;
        for (int i = 0; i < count; ++i) text += QChar(u'0' + static_cast<char16_t>(random() % 10));
        return text;
    };
    const auto length = [&random] {
        const int kind = static_cast<int>(random() % 3);
        return static_cast<int>(random() % (kind == 0 ? 4 : kind == 1 ? 20 : 341));
    };
    for (int round = 0; round < 300; ++round) {
        GridCells cells{{4, 3}, {}};
        for (int i = 0; i < 12; ++i) {
            QString text = random() % 3 == 0 ? QStringLiteral("-") : QString();
            text += digits(std::min(length(), 330));
            if (random() % 2) text += random() % 2 ? u'.' : u',';
            text += digits(length());
            cells.texts.append(text);
        }
        if (const std::optional<qsizetype> bad = FirstInvalidGridCell(cells)) {
            QVERIFY2(std::isinf(ParseCellEntry(cells.texts[*bad].toStdString()).value),
                     qPrintable(cells.texts[*bad]));
            continue;
        }
        const GridRead read = ReadGridItems(NumbersOf(GridFileItems(cells).toLatin1()), cells.size);
        QVERIFY(!read.malformed);
        QVERIFY2(!FirstInvalidGridCell(read.cells), qPrintable(read.cells.texts.join(u' ')));
        for (qsizetype i = 0; i < cells.texts.size(); ++i) {
            const double value = ParseCellEntry(cells.texts[i].toStdString()).value;
            const double shown = ParseCellEntry(read.cells.texts[i].toStdString()).value;
            QVERIFY2(
                std::fabs(shown - value) <= 5.0001e-6 * std::fabs(value) ||
                    std::fabs(value) < 1e-300,
                qPrintable(cells.texts[i] + QStringLiteral(" shown as ") + read.cells.texts[i]));
        }
        // The written values themselves read back exactly (QCOMPARE would compare doubles fuzzily).
        const NextFileNumber next = NumbersOf(GridFileItems(cells).toLatin1());
        for (const QString& text : cells.texts) {
            QVERIFY2(next().value_or(-1) == ParseCellEntry(text.toStdString()).value,
                     qPrintable(text));
        }
    }
}

// Random elements over the whole range of doubles, from subnormal to the largest: every element
// comes back as one number, the value of its three-decimal text (within half a thousandth and the
// spacing of doubles there; the element itself once the three decimals lie within the 18 digits
// written, from 1e15 on), so no later element shifts.
void MatrixFileTest::matrixElementsReadBackAsWrittenWhateverTheirSize() {
    std::mt19937_64 random(7);
    const double edgeValues[] = {1e60,
                                 -1e60,
                                 9.99e59,
                                 std::numeric_limits<double>::max(),
                                 -std::numeric_limits<double>::denorm_min(),
                                 0.0005,
                                 -0.0};
    for (int round = 0; round < 200; ++round) {
        CorrelationStore store{};
        for (double& element : store) {
            double value;
            do {
                value = std::bit_cast<double>(static_cast<std::uint64_t>(random()));
            } while (!std::isfinite(value));
            element = random() % 4 == 0 ? edgeValues[random() % std::size(edgeValues)] : value;
        }
        const QString items = MatrixFileItems(store, 20);
        QCOMPARE(items.count(u' '), 20 * 21 / 2);
        CorrelationStore read{};
        QVERIFY(ReadMatrixItems(NumbersOf(items.toLatin1()), 20, read));
        for (int i = 1; i <= 20; ++i) {
            for (int s = 1; s < i; ++s) {
                const double written = StoreAt(store, i, s);
                const double back = StoreAt(read, s, i);
                if (std::fabs(written) >= 1e15) {
                    QVERIFY2(back == written, qPrintable(items));
                } else {
                    QVERIFY2(
                        std::fabs(back - written) <= 0.0005000001 + std::fabs(written) * 0x1p-52,
                        qPrintable(QString::number(written, 'g', 17)));
                }
            }
        }
    }
}

QTEST_GUILESS_MAIN(MatrixFileTest)
#include "test_matrix_file.moc"
