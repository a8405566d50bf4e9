// SPDX-License-Identifier: GPL-3.0-or-later
// The data of matrix and grid entry: the worksheet's CorrelationStore, the work buffer that one
// Compute exchanges with the matrix-entry form, the copies between them, and the item grid's
// cells. Plain values, no widgets; the worksheet and the entry form build on these.
#pragma once

#include <QStringList>
#include <array>
#include <vector>

namespace orvale {

inline constexpr int kCorrelationStoreSide = 20;  // largest matrix the worksheet keeps
inline constexpr int kWorkBufferSide = 50;        // largest matrix the entry form exchanges

// The worksheet's copy of the matrix, 20 x 20, row-major: element (row, column), both from 1,
// lies at (row - 1) * 20 + (column - 1).
using CorrelationStore = std::array<double, kCorrelationStoreSide * kCorrelationStoreSide>;

double StoreAt(const CorrelationStore& store, int row, int column);
void SetStoreAt(CorrelationStore& store, int row, int column, double value);

// Rows and columns of the matrix being entered (equal for a correlation matrix).
struct MatrixDimension {
    int rows = 0;
    int columns = 0;
};

// The matrix exchanged with the entry form, 50 x 50, zero at creation. Element (column c, row r),
// both from 1, lies at position (c - 1) * 50 + (r - 1). Indices outside 1..50 are a programming
// error (std::out_of_range).
class MatrixWorkBuffer {
  public:
    MatrixWorkBuffer();
    double At(int column, int row) const;
    void Set(int column, int row, double value);

  private:
    static std::size_t Position(int column, int row);
    std::vector<double> values_;
};

// The dimension n clamped to what the store holds, 1 to 20.
int ClampStoreDimension(int n);

// The buffer a Compute hands to the entry form for an n x n matrix: the top-left block of the
// store when previous data were loaded (store element (b, i) to buffer position (b, i)),
// otherwise the identity. The diagonal is always 1: a correlation matrix has nothing else there,
// and a store read for a smaller matrix would otherwise offer zeros on it.
MatrixWorkBuffer PrepareMatrixBuffer(const CorrelationStore& store, int n, bool previousDataLoaded);

// Copies the n x n block back into the store, the reverse of PrepareMatrixBuffer.
void StoreMatrixBuffer(const MatrixWorkBuffer& buffer, int n, CorrelationStore& store);

// Data columns and item rows of the item grid (the grid has one more column for the row labels).
struct GridSize {
    int columns = 0;
    int rows = 0;
};

// The texts of the grid's data cells, row by row: rows 0 to rows - 1, columns 1 to columns.
struct GridCells {
    GridSize size;
    QStringList texts;  // size.rows * size.columns texts

    // row from 0, column from 1, as the grid numbers them; empty outside the grid.
    QString Text(int row, int column) const;
};

}  // namespace orvale
