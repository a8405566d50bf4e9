// SPDX-License-Identifier: GPL-3.0-or-later
#include "matrix_entry/matrix_file.h"

#include <QLocale>
#include <algorithm>
#include <cmath>

#include "engine/entry.h"
#include "numeric/number_format.h"

namespace orvale {

namespace {

// The file reader takes at most this many characters as one number: a longer item would read
// back as two.
constexpr qsizetype kLongestFileNumber = 64;

ParsedEntry ParseCell(const QString& text) {
    return ParseCellEntry(text.toStdString());
}

// The shortest text that reads back as the same double, with a point and no blanks; exponent
// form where it is shorter.
QString ShortestNumber(double value) {
    return QString::number(value, 'g', QLocale::FloatingPointShortest);
}

// value with six significant digits, as "%1.6g" gives them, but never in exponent form: a cell
// takes only digits, a minus and one decimal mark, so a shown "1e+06" would be refused by the
// grid's own check at the next Compute.
QString SixDigitCellText(double value) {
    const QString general = QString::number(value, 'g', 6);
    const qsizetype e = general.indexOf(u'e');
    if (e < 0) return general;
    const bool negative = general.startsWith(u'-');
    QString digits = general.left(e).remove(u'-').remove(u'.');
    const int exponent = general.mid(e + 1).toInt();
    // Digits before the point: the first significant digit stands at 10^exponent.
    const int before = exponent + 1;
    QString text;
    if (before <= 0) {
        text = QStringLiteral("0.") + QString(-before, u'0') + digits;
    } else if (before >= digits.size()) {
        text = digits + QString(before - digits.size(), u'0');
    } else {
        text = digits.left(before) + u'.' + digits.mid(before);
    }
    return negative ? u'-' + text : text;
}

std::optional<int> WholeNumberIn(double value, int low, int high) {
    if (!std::isfinite(value) || value != std::floor(value)) return std::nullopt;
    if (value < low || value > high) return std::nullopt;
    return static_cast<int>(value);
}

}  // namespace

std::optional<qsizetype> FirstInvalidGridCell(const GridCells& cells) {
    for (qsizetype i = 0; i < cells.texts.size(); ++i) {
        // 310 digits and more overflow to infinity, which the file cannot hold.
        const ParsedEntry cell = ParseCell(cells.texts[i]);
        if (!cell.ok() || !std::isfinite(cell.value)) return i;
    }
    return std::nullopt;
}

QString GridFileItems(const GridCells& cells) {
    QString items;
    for (const QString& text : cells.texts) {
        items += ShortestNumber(ParseCell(text).value);
        items += u' ';
    }
    return items;
}

QString MatrixFileItems(const CorrelationStore& store, int n) {
    n = std::min(n, kCorrelationStoreSide);
    QString items;
    for (int i = 1; i <= n; ++i) {
        for (int j = 1; j <= i; ++j) {
            // " %1.3f", unless that is too long to read back as one number (1e60 and beyond):
            // then the shortest text of the same value.
            const double value = StoreAt(store, i, j);
            QString item = QString::fromStdString(FormatFixed(value, 1, 3, '.'));
            if (item.size() > kLongestFileNumber) item = ShortestNumber(value);
            items += u' ';
            items += item;
        }
    }
    return items;
}

std::optional<GridSize> FileGridSize(double columns, double rows) {
    const std::optional<int> c = WholeNumberIn(columns, 1, kMaxGridColumns);
    const std::optional<int> r = WholeNumberIn(rows, 1, kMaxGridRows);
    if (!c || !r) return std::nullopt;
    return GridSize{*c, *r};
}

std::optional<int> FileMatrixDimension(double eighthField) {
    return WholeNumberIn(eighthField, 1, kCorrelationStoreSide);
}

GridRead ReadGridItems(const NextFileNumber& next, GridSize size) {
    GridRead read;
    read.cells.size = size;
    const qsizetype count = static_cast<qsizetype>(size.rows) * size.columns;
    for (qsizetype i = 0; i < count; ++i) {
        const std::optional<double> value = read.malformed ? std::nullopt : next();
        if (!value) read.malformed = true;
        read.cells.texts.append(value ? SixDigitCellText(*value) : QString());
    }
    return read;
}

bool ReadMatrixItems(const NextFileNumber& next, int n, CorrelationStore& store) {
    n = ClampStoreDimension(n);
    CorrelationStore read = store;
    for (int i = 1; i <= n; ++i) {
        for (int s = 1; s <= i; ++s) {
            const std::optional<double> value = next();
            if (!value) return false;
            SetStoreAt(read, s, i, *value);
            SetStoreAt(read, i, s, *value);
        }
        SetStoreAt(read, i, i, 1.0);
    }
    store = read;
    return true;
}

}  // namespace orvale
