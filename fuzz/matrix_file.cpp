// SPDX-License-Identifier: GPL-3.0-or-later
// Fuzz target: the grid and matrix items of the previous-data file, read through the file's own
// number reader. Whatever a file gives, the grid shows cells that its own check accepts, and what
// the machinery then writes reads back as the same values: grid cells exactly, matrix elements as
// their three-decimal texts (the elements themselves from 1e15 on), always one item per element.
#include "matrix_entry/matrix_file.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <QString>
#include <bit>
#include <cmath>
#include <cstdint>
#include <memory>
#include <string>

#include "app/previous_data.h"
#include "engine/entry.h"
#include "fuzz_support.h"
#include "matrix_entry/matrix_data.h"

using namespace orvale;
using namespace orvale::fuzz;

namespace {

NextFileNumber NumbersOf(const QString& text) {
    auto reader = std::make_shared<FileNumberReader>(text.toLatin1());
    return [reader] { return reader->Next(); };
}

double CellValue(const QString& text) {
    return ParseCellEntry(text.toStdString()).value;
}

void CheckGrid(const std::string& content, GridSize size) {
    const GridRead read = ReadGridItems(NumbersOf(QString::fromStdString(content)), size);
    Check(read.cells.texts.size() == static_cast<qsizetype>(size.columns) * size.rows,
          "a text for every cell");
    if (read.malformed) return;
    const std::optional<qsizetype> refused = FirstInvalidGridCell(read.cells);
    Check(!refused, "the grid's check accepts every cell read from a file",
          refused ? read.cells.texts[*refused].toStdString() : "");
    const QString written = GridFileItems(read.cells);
    const NextFileNumber next = NumbersOf(written);
    for (const QString& text : read.cells.texts) {
        const std::optional<double> value = next();
        Check(value && *value == CellValue(text), "a written cell reads back as its value",
              text.toStdString() + " -> " + written.toStdString());
    }
    const GridRead again = ReadGridItems(NumbersOf(written), size);
    Check(!again.malformed && again.cells.texts == read.cells.texts,
          "written and read again, the grid shows the same texts", written.toStdString());
}

// The element as read back from its written item: its three-decimal value, or itself.
bool ReadsBackAs(double back, double element) {
    if (std::fabs(element) >= 1e15) return back == element;
    return std::fabs(back - element) <= 0.0005000001 + std::fabs(element) * 0x1p-52;
}

void CheckMatrixRoundTrip(const CorrelationStore& store, int n) {
    const QString items = MatrixFileItems(store, n);
    const QStringList tokens = items.split(u' ', Qt::SkipEmptyParts);
    Check(tokens.size() == n * (n + 1) / 2, "one item per element of the lower triangle",
          items.toStdString());
    for (const QString& token : tokens) {
        Check(token.size() <= 64, "every item is one number for the file reader",
              token.toStdString());
    }
    CorrelationStore read{};
    Check(ReadMatrixItems(NumbersOf(items), n, read), "written items read back",
          items.toStdString());
    for (int i = 1; i <= n; ++i) {
        for (int s = 1; s < i; ++s) {
            Check(ReadsBackAs(StoreAt(read, s, i), StoreAt(store, i, s)),
                  "an element reads back as written", items.toStdString());
            Check(StoreAt(read, s, i) == StoreAt(read, i, s), "the matrix read is symmetric");
        }
        Check(StoreAt(read, i, i) == 1.0, "the diagonal reads as 1");
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider input(data, size);
    switch (input.ConsumeIntegralInRange(0, 3)) {
        case 0: {  // a grid from any file
            const GridSize grid{input.ConsumeIntegralInRange(1, kMaxGridColumns),
                                input.ConsumeIntegralInRange(1, kMaxGridRows)};
            CheckGrid(input.ConsumeRemainingBytesAsString(), grid);
            break;
        }
        case 1: {  // a matrix from any file, written again
            const int n = input.ConsumeIntegralInRange(1, kCorrelationStoreSide);
            CorrelationStore store{};
            const std::string content = input.ConsumeRemainingBytesAsString();
            if (!ReadMatrixItems(NumbersOf(QString::fromStdString(content)), n, store)) return 0;
            CheckMatrixRoundTrip(store, n);
            break;
        }
        case 2: {  // cells as typed: those the check accepts are written as their values
            GridCells cells{
                {input.ConsumeIntegralInRange(1, 4), input.ConsumeIntegralInRange(1, 7)}, {}};
            for (int i = 0; i < cells.size.columns * cells.size.rows; ++i) {
                cells.texts.append(QString::fromStdString(input.ConsumeRandomLengthString(400)));
            }
            if (FirstInvalidGridCell(cells)) return 0;
            const QString written = GridFileItems(cells);
            const NextFileNumber next = NumbersOf(written);
            for (const QString& text : cells.texts) {
                const std::optional<double> value = next();
                Check(value && *value == CellValue(text), "a typed cell reads back as its value",
                      text.toStdString() + " -> " + written.toStdString());
            }
            CheckGrid(written.toStdString(), cells.size);
            break;
        }
        default: {  // any finite elements, as the entry form or a file may leave them
            const int n = input.ConsumeIntegralInRange(1, kCorrelationStoreSide);
            CorrelationStore store{};
            for (int i = 1; i <= n; ++i) {
                for (int s = 1; s <= i; ++s) {
                    double value = std::bit_cast<double>(input.ConsumeIntegral<std::uint64_t>());
                    if (!std::isfinite(value)) value = 0;
                    SetStoreAt(store, i, s, value);
                }
            }
            CheckMatrixRoundTrip(store, n);
        }
    }
    return 0;
}
