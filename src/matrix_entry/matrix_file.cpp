#include "matrix_entry/matrix_file.h"

#include <QLocale>
#include <algorithm>
#include <cmath>

#include "engine/entry.h"
#include "numeric/number_format.h"

namespace orvale {

namespace {

ParsedEntry ParseCell(const QString& text) {
    return ParseCellEntry(text.toStdString());
}

std::optional<int> WholeNumberIn(double value, int low, int high) {
    if (!std::isfinite(value) || value != std::floor(value)) return std::nullopt;
    if (value < low || value > high) return std::nullopt;
    return static_cast<int>(value);
}

}  // namespace

std::optional<qsizetype> FirstInvalidGridCell(const GridCells& cells) {
    for (qsizetype i = 0; i < cells.texts.size(); ++i) {
        if (!ParseCell(cells.texts[i]).ok()) return i;
    }
    return std::nullopt;
}

QString GridFileItems(const GridCells& cells) {
    QString items;
    for (const QString& text : cells.texts) {
        // The shortest text that reads back as the same double, with a point and no blanks.
        items += QString::number(ParseCell(text).value, 'g', QLocale::FloatingPointShortest);
        items += u' ';
    }
    return items;
}

QString MatrixFileItems(const CorrelationStore& store, int n) {
    n = std::min(n, kCorrelationStoreSide);
    QString items;
    for (int i = 1; i <= n; ++i) {
        for (int j = 1; j <= i; ++j) {
            items += u' ';
            items += QString::fromStdString(FormatFixed(StoreAt(store, i, j), 1, 3, '.'));
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
        read.cells.texts.append(value ? QString::number(*value, 'g', 6) : QString());
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
