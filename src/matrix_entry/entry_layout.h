// SPDX-License-Identifier: GPL-3.0-or-later
// Pixel arithmetic of matrix and grid entry: where the item grid and its labels go on the
// worksheet (SizeGrid), and where the matrix-entry form puts its cells and labels and when it
// scrolls. Pure functions, so the layout can be checked without opening a window.
#pragma once

#include <QRect>
#include <optional>
#include <vector>

#include "matrix_entry/matrix_data.h"

namespace orvale {

// Item grid -------------------------------------------------------------------------------------

inline constexpr int kGridTop = 200;            // the grid's top inside its panel
inline constexpr int kGridScrollBarWidth = 17;  // added when rows scroll
inline constexpr int kGridVisibleRows = 6;      // rows shown before the grid scrolls
inline constexpr int kGridLabelHeight = 16;

struct GridLayout {
    QRect grid;
    QRect columnsTitle;               // lblGridColumnsTitle, across the grid's width
    std::vector<QRect> columnLabels;  // over data columns 1..columns (lblCol1...)
    QRect itemsLabel;                 // lblItems, over the row-label column
};

// SizeGrid: width (columns + 1) x (column width + 1) + 3, height rows x (row height + 1) + 4;
// more than five rows show six (6 x row height + 10) and more than six add the scroll bar's
// width. The grid is centred across areaWidth, its labels stand above it.
GridLayout LayOutGrid(GridSize size, int defaultColumnWidth, int defaultRowHeight, int areaWidth,
                      int top = kGridTop);

// Matrix-entry form ------------------------------------------------------------------------------

inline constexpr int kMatrixFormWidth = 800;
inline constexpr int kMatrixFormHeight = 600;
inline constexpr int kMatrixCellWidth = 37;
inline constexpr int kMatrixCellHeight = 16;
inline constexpr int kMatrixScrollStep = 4;

// The entry cell of (column c, row r), both from 1.
QRect MatrixCellRect(int column, int row);
// The number under column c of an n x n matrix, and the number beside row r.
QRect MatrixColumnLabelRect(int column, int n);
QRect MatrixRowLabelRect(int row);
// Character i (from 1) of the side label down the left edge.
QRect MatrixSideLabelRect(int i);

// Scroll ranges of the form for an n x n matrix; nullopt where it needs no scroll bar.
struct MatrixFormScrolling {
    std::optional<int> horizontalRange;
    std::optional<int> verticalRange;
};
MatrixFormScrolling MatrixFormScrollRanges(int n);

}  // namespace orvale
