// SPDX-License-Identifier: GPL-3.0-or-later
// The report's grid and correlation-matrix blocks, which stand between the subtest-discrepancy
// notes and the outputs heading in configurations that switch them on. They become the report
// input's extensionBlock; numbers go through the report's own formatter.
#pragma once

#include <string>
#include <vector>

#include "matrix_entry/matrix_data.h"

namespace orvale {

// The item grid under its columns title: heading, rule, one line per item row (each cell's
// value as ParseCellEntry reads it, "%6.3f"), a blank line. Items are numbered from 1, as the
// grid's row labels number them.
std::vector<std::string> GridReportBlock(const QString& columnsTitle, const GridCells& cells,
                                         char decimalSeparator = '.');

// " Correlation matrix:" and, for i = 1 to n, row i of the store from column 1 to column i, each
// value as "%6.3f ". n is 0 until the matrix step of a Compute has run.
std::vector<std::string> MatrixReportBlock(const CorrelationStore& store, int n,
                                           char decimalSeparator = '.');

}  // namespace orvale
