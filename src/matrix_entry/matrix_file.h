// SPDX-License-Identifier: GPL-3.0-or-later
// The grid and matrix items of the previous-data file. They follow the eight score texts on the
// same line, grid first, only in configurations that switch them on. Writing gives the text of
// the items; reading takes the numbers from the reader that loads the score fields, so the file
// has one number format.
#pragma once

#include <QString>
#include <functional>
#include <optional>

#include "matrix_entry/matrix_data.h"

namespace orvale {

// The file's next number: 0 past the end of the file, nullopt when the item is no number.
using NextFileNumber = std::function<std::optional<double>()>;

// Largest grid the file may describe. Far beyond any worksheet's grid; the bound keeps a damaged
// file from sizing a grid of millions of cells.
inline constexpr int kMaxGridColumns = 20;
inline constexpr int kMaxGridRows = 50;

// Index of the first cell text that ParseCellEntry rejects or that stands for no finite number
// (310 digits and more), nullopt when every cell reads.
std::optional<qsizetype> FirstInvalidGridCell(const GridCells& cells);

// Each cell's value followed by one blank, row by row. A cell is written as the number it
// stands for (an empty cell as 0, a decimal comma as a point) so that every cell is exactly one
// item the file reader accepts; cells must have passed FirstInvalidGridCell.
QString GridFileItems(const GridCells& cells);

// For rows i = 1 to n, the first i elements of row i of the store, each as " %1.3f" (an element
// of 1e60 or more, too long for one file number that way, in the shortest form that reads back
// as the same value); nothing for n = 0 (no matrix step has run), at most the store's 20 rows.
QString MatrixFileItems(const CorrelationStore& store, int n);

// The grid's size as the file gives it in the first two score fields: whole numbers from 1 to
// kMaxGridColumns and kMaxGridRows, nullopt otherwise.
std::optional<GridSize> FileGridSize(double columns, double rows);

// The matrix dimension as the file gives it in the eighth score field: a whole number from 1 to
// 20, nullopt otherwise.
std::optional<int> FileMatrixDimension(double eighthField);

// Grid values read in file order, shown with the six significant digits of "%1.6g" but without
// an exponent, so that the grid's own check accepts them. When an item is malformed, reading
// stops: the cells read before it keep their texts, the rest stay empty.
struct GridRead {
    GridCells cells;
    bool malformed = false;
};
GridRead ReadGridItems(const NextFileNumber& next, GridSize size);

// Reads the lower triangle of an n x n matrix into the store: the s-th value of file row i goes
// to (row s, column i) and, the matrix being symmetric, to (row i, column s); the diagonal is 1
// whatever the file holds. False, with the store untouched, when an item is malformed.
bool ReadMatrixItems(const NextFileNumber& next, int n, CorrelationStore& store);

}  // namespace orvale
