// SPDX-License-Identifier: GPL-3.0-or-later
#include "matrix_entry/entry_layout.h"

namespace orvale {

namespace {

constexpr int kGridBorder = 2;       // the grid's frame, left of its first column
constexpr int kMatrixCellsTop = 34;  // top of row 0 (rows start one cell lower)
constexpr int kMatrixRowLabelWidth = 20;

}  // namespace

GridLayout LayOutGrid(GridSize size, int defaultColumnWidth, int defaultRowHeight, int areaWidth,
                      int top) {
    int width = (size.columns + 1) * (defaultColumnWidth + 1) + 3;
    int height = size.rows * (defaultRowHeight + 1) + 4;
    if (size.rows > kGridVisibleRows - 1) height = kGridVisibleRows * defaultRowHeight + 10;
    if (size.rows > kGridVisibleRows) width += kGridScrollBarWidth;
    const int left = (areaWidth - width) / 2;

    GridLayout layout;
    layout.grid = QRect(left, top, width, height);
    const int labelsTop = top - kGridLabelHeight - 2;
    layout.columnsTitle = QRect(left, labelsTop - kGridLabelHeight, width, kGridLabelHeight);
    for (int c = 1; c <= size.columns; ++c) {
        layout.columnLabels.emplace_back(left + kGridBorder + c * (defaultColumnWidth + 1),
                                         labelsTop, defaultColumnWidth, kGridLabelHeight);
    }
    layout.itemsLabel = QRect(left + kGridBorder, labelsTop, defaultColumnWidth, kGridLabelHeight);
    return layout;
}

QRect MatrixCellRect(int column, int row) {
    return QRect(column * kMatrixCellWidth - 4, row * kMatrixCellHeight + kMatrixCellsTop,
                 kMatrixCellWidth, kMatrixCellHeight);
}

QRect MatrixColumnLabelRect(int column, int n) {
    return QRect(column * kMatrixCellWidth + 7, n * kMatrixCellHeight + 60, 15, kMatrixCellHeight);
}

QRect MatrixRowLabelRect(int row) {
    return QRect(7, row * kMatrixCellHeight + kMatrixCellsTop, kMatrixRowLabelWidth,
                 kMatrixCellHeight);
}

QRect MatrixSideLabelRect(int i) {
    return QRect(10, i * kMatrixCellHeight + 20, 9, 16);
}

MatrixFormScrolling MatrixFormScrollRanges(int n) {
    MatrixFormScrolling scrolling;
    if (n * kMatrixCellWidth + 54 > kMatrixFormWidth) {
        scrolling.horizontalRange = n * kMatrixCellWidth + 24;
    }
    if (n * kMatrixCellHeight + 123 > kMatrixFormHeight) {
        scrolling.verticalRange = (n + 2) * kMatrixCellHeight;
    }
    return scrolling;
}

}  // namespace orvale
