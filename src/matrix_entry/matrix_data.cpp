// SPDX-License-Identifier: GPL-3.0-or-later
#include "matrix_entry/matrix_data.h"

#include <algorithm>
#include <stdexcept>

namespace orvale {

namespace {

std::size_t StorePosition(int row, int column) {
    if (row < 1 || row > kCorrelationStoreSide || column < 1 || column > kCorrelationStoreSide) {
        throw std::out_of_range("correlation store index outside 1..20");
    }
    return static_cast<std::size_t>((row - 1) * kCorrelationStoreSide + (column - 1));
}

}  // namespace

double StoreAt(const CorrelationStore& store, int row, int column) {
    return store[StorePosition(row, column)];
}

void SetStoreAt(CorrelationStore& store, int row, int column, double value) {
    store[StorePosition(row, column)] = value;
}

MatrixWorkBuffer::MatrixWorkBuffer()
    : values_(static_cast<std::size_t>(kWorkBufferSide * kWorkBufferSide), 0.0) {}

std::size_t MatrixWorkBuffer::Position(int column, int row) {
    if (column < 1 || column > kWorkBufferSide || row < 1 || row > kWorkBufferSide) {
        throw std::out_of_range("matrix work buffer index outside 1..50");
    }
    return static_cast<std::size_t>((column - 1) * kWorkBufferSide + (row - 1));
}

double MatrixWorkBuffer::At(int column, int row) const {
    return values_[Position(column, row)];
}

void MatrixWorkBuffer::Set(int column, int row, double value) {
    values_[Position(column, row)] = value;
}

int ClampStoreDimension(int n) {
    return std::clamp(n, 1, kCorrelationStoreSide);
}

MatrixWorkBuffer PrepareMatrixBuffer(const CorrelationStore& store, int n,
                                     bool previousDataLoaded) {
    n = ClampStoreDimension(n);
    MatrixWorkBuffer buffer;
    for (int b = 1; b <= n; ++b) {
        for (int i = 1; i <= n; ++i) {
            const double value = b == i ? 1.0 : previousDataLoaded ? StoreAt(store, b, i) : 0.0;
            buffer.Set(b, i, value);
        }
    }
    return buffer;
}

void StoreMatrixBuffer(const MatrixWorkBuffer& buffer, int n, CorrelationStore& store) {
    n = ClampStoreDimension(n);
    for (int b = 1; b <= n; ++b) {
        for (int i = 1; i <= n; ++i) SetStoreAt(store, b, i, buffer.At(b, i));
    }
}

QString GridCells::Text(int row, int column) const {
    if (row < 0 || row >= size.rows || column < 1 || column > size.columns) return {};
    const qsizetype index = static_cast<qsizetype>(row) * size.columns + (column - 1);
    return index < texts.size() ? texts[index] : QString();
}

}  // namespace orvale
