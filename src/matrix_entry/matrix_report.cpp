// SPDX-License-Identifier: GPL-3.0-or-later
#include "matrix_entry/matrix_report.h"

#include <algorithm>

#include "engine/entry.h"
#include "numeric/number_format.h"

namespace orvale {

namespace {

constexpr int kGridColumnWidth = 7;  // characters per grid column in the report

}  // namespace

std::vector<std::string> GridReportBlock(const QString& columnsTitle, const GridCells& cells,
                                         char decimalSeparator) {
    const int columns = cells.size.columns;
    std::vector<std::string> lines;
    lines.push_back(std::string(static_cast<std::size_t>(std::max(0, 9 * columns / 2)), ' ') +
                    columnsTitle.toStdString());
    std::string heading = " Item ";
    std::string rule = "         _";
    for (int i = 1; i <= columns; ++i) {
        heading.append("   ").append(std::to_string(i)).append("    ");
        rule += std::string(kGridColumnWidth, '_');
    }
    lines.push_back(heading);
    lines.push_back(rule);
    for (int r = 0; r < cells.size.rows; ++r) {
        std::string line = "  ";
        line.append(std::to_string(r + 1)).append(":");
        for (int c = 1; c <= columns; ++c) {
            const ParsedEntry cell = ParseCellEntry(cells.Text(r, c).toStdString());
            line += "  " + FormatFixed(cell.ok() ? cell.value : 0.0, 6, 3, decimalSeparator);
        }
        lines.push_back(line);
    }
    lines.emplace_back();
    return lines;
}

std::vector<std::string> MatrixReportBlock(const CorrelationStore& store, int n,
                                           char decimalSeparator) {
    std::vector<std::string> lines = {" Correlation matrix:"};
    n = std::min(n, kCorrelationStoreSide);
    for (int i = 1; i <= n; ++i) {
        std::string line = " ";
        line.append(std::to_string(i)).append(": ");
        for (int j = 1; j <= i; ++j) {
            line += FormatFixed(StoreAt(store, i, j), 6, 3, decimalSeparator) + " ";
        }
        lines.push_back(line);
    }
    return lines;
}

}  // namespace orvale
