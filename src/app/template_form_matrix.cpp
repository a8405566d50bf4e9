// SPDX-License-Identifier: GPL-3.0-or-later
// The worksheet's side of matrix and grid entry: the help panel, the item grid, the matrix step
// of Compute and the grid and matrix items of the previous-data file and the report. Every path
// here is guarded by MatrixEntryEnabled or GridEntryEnabled, both off in this program.
#include <QApplication>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableWidget>

#include "app/previous_data.h"
#include "app/template_form.h"
#include "desktop/fonts.h"
#include "desktop/platform.h"
#include "engine/entry.h"
#include "matrix_entry/entry_layout.h"
#include "matrix_entry/matrix_file.h"
#include "matrix_entry/matrix_help.h"
#include "matrix_entry/matrix_report.h"

namespace orvale {

namespace {

const char* const kMatrixEntryCaption = "Matrix Entry";
const char* const kContinueCaption = "Continue";  // Compute's caption once a matrix is loaded
const QPoint kHelpPanelPosition(12, 142);

// The item grid's cells, as a string grid draws them.
constexpr int kGridColumnWidth = 64;
constexpr int kGridRowHeight = 24;

QString Joined(const auto& lines) {
    QStringList list;
    for (const char* line : lines) list.append(QString::fromLatin1(line));
    return list.join(u'\n');
}

}  // namespace

void TfrmTemplate::SetUpMatrixControls() {
    config_.GridColumnCount = std::clamp(config_.GridColumnCount, 1, kMaxGridColumns);
    config_.GridRowCount = std::clamp(config_.GridRowCount, 1, kMaxGridRows);

    cmdHelp->setText(QString::fromLatin1(kHelpButtonCaption));
    cmdHelp->setGeometry(248, 184, 145, 25);
    connect(cmdHelp, &QPushButton::clicked, this, &TfrmTemplate::cmdHelpClick);

    pnlHelp->setGeometry(QRect(kHelpPanelPosition, QSize(768, 346)));
    pnlHelp->setFrameStyle(QFrame::Panel | QFrame::Raised);
    pnlHelp->setAutoFillBackground(true);
    lblHelpCaption = new QLabel(QString::fromLatin1(kHelpPanelCaption), pnlHelp);
    lblHelpCaption->setObjectName(QStringLiteral("lblHelpCaption"));
    lblHelpCaption->setGeometry(8, 6, 752, 18);
    lblHelpCaption->setFont(DesignFont(font().family(), font().pixelSize(), true));
    memoHelp = pnlHelp->findChild<QPlainTextEdit*>(QStringLiteral("memoHelp"));
    memoHelp->setGeometry(8, 28, 752, 150);
    memoHelp->setPlainText(Joined(kMatrixHelpLines));
    Labelx = pnlHelp->findChild<QLabel*>(QStringLiteral("Labelx"));
    Labelx->setGeometry(8, 184, 752, 16);
    Labelx->setText(QString::fromLatin1(kHelpTitleExample));
    Label9 = pnlHelp->findChild<QLabel*>(QStringLiteral("Label9"));
    Label9->setGeometry(8, 208, 752, 16);
    Label9->setText(QString::fromLatin1(kHelpExampleIntro));
    Memo1 = pnlHelp->findChild<QPlainTextEdit*>(QStringLiteral("Memo1"));
    Memo1->setGeometry(8, 228, 752, 108);
    Memo1->setPlainText(Joined(kMatrixExampleLines));

    cmdReturn->setText(QString::fromLatin1(kCloseHelpCaption));
    cmdReturn->setGeometry(16, 6, 165, 37);
    cmdReturn->setFont(cmdCompute->font());
    connect(cmdReturn, &QPushButton::clicked, this, &TfrmTemplate::cmdReturnClick);

    grdData->horizontalHeader()->hide();
    grdData->verticalHeader()->hide();
    grdData->horizontalHeader()->setMinimumSectionSize(1);
    grdData->verticalHeader()->setMinimumSectionSize(1);
    grdData->horizontalHeader()->setDefaultSectionSize(kGridColumnWidth);
    grdData->verticalHeader()->setDefaultSectionSize(kGridRowHeight);
    grdData->setSelectionMode(QAbstractItemView::SingleSelection);
    grdData->installEventFilter(this);
    // The grid's own focus-out is seen by the event filter. While a cell is being edited the focus
    // is in the grid's cell editor instead; leaving the editor for another control of the
    // worksheet leaves the grid just the same.
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget* old, QWidget* now) {
        // Only a move to another control of the worksheet counts, as for the grid itself.
        if (now == nullptr || now->window() != this || now == grdData) return;
        if (old != nullptr && grdData->isAncestorOf(old) && !grdData->isAncestorOf(now)) {
            grdDataExit();
        }
    });
    for (std::size_t i = 0; i < lblCols_.size(); ++i) {
        lblCols_[i]->setText(QString::number(i + 1));
        lblCols_[i]->setAlignment(Qt::AlignCenter);
    }
    lblItems->setText(QStringLiteral("Item"));
    lblItems->setAlignment(Qt::AlignCenter);
    lblGridColumnsTitle->setAlignment(Qt::AlignCenter);
}

// Help panel ------------------------------------------------------------------------------------

void TfrmTemplate::cmdHelpClick() {
    pnlHelp->move(kHelpPanelPosition);
    pnlHelp->show();
    pnlHelp->raise();
    cmdCompute->hide();
    btnclearData->hide();
    ExitBtn->hide();
    cmdReturn->show();
}

void TfrmTemplate::cmdReturnClick() {
    pnlHelp->hide();
    cmdReturn->hide();
    cmdCompute->show();
    btnclearData->show();
    ExitBtn->show();
}

// Item grid -------------------------------------------------------------------------------------

void TfrmTemplate::SizeGrid() {
    const GridSize size{config_.GridColumnCount, config_.GridRowCount};
    grdData->setColumnCount(size.columns + 1);
    grdData->setRowCount(size.rows);
    const GridLayout layout =
        LayOutGrid(size, grdData->horizontalHeader()->defaultSectionSize(),
                   grdData->verticalHeader()->defaultSectionSize(), Panel1->width());
    grdData->setGeometry(layout.grid);
    lblGridColumnsTitle->setGeometry(layout.columnsTitle);
    lblGridColumnsTitle->show();
    for (std::size_t i = 0; i < lblCols_.size(); ++i) {
        const bool exists = i < layout.columnLabels.size();
        if (exists) lblCols_[i]->setGeometry(layout.columnLabels[i]);
        lblCols_[i]->setVisible(exists);
    }
    lblItems->setGeometry(layout.itemsLabel);
    lblItems->show();
    for (int row = 0; row < size.rows; ++row) {
        auto* label = new QTableWidgetItem(QString::number(row + 1));
        label->setFlags(Qt::ItemIsEnabled);
        label->setBackground(palette().button());
        grdData->setItem(row, 0, label);
    }
}

void TfrmTemplate::SelectGridCell(int column, int row) {
    if (column < grdData->columnCount() && row < grdData->rowCount()) {
        grdData->setCurrentCell(row, column);
    }
}

void TfrmTemplate::grdDataExit() {
    // Focus that moves into the grid's own cell editor has not left the grid.
    if (grdData->isAncestorOf(QApplication::focusWidget())) return;
    SelectGridCell(1, 0);
}

void TfrmTemplate::txtInput1Exit() {
    if (config_.GridEntryEnabled) SelectGridCell(1, 0);
}

GridCells TfrmTemplate::GridCellsOf() const {
    GridCells cells;
    cells.size = {config_.GridColumnCount, config_.GridRowCount};
    for (int row = 0; row < cells.size.rows; ++row) {
        for (int column = 1; column <= cells.size.columns; ++column) {
            const QTableWidgetItem* item = grdData->item(row, column);
            cells.texts.append(item != nullptr ? item->text() : QString());
        }
    }
    return cells;
}

bool TfrmTemplate::CheckGridCells() {
    const GridCells cells = GridCellsOf();
    const std::optional<qsizetype> bad = FirstInvalidGridCell(cells);
    if (!bad) return true;
    platform_.ShowWarning(QString::fromUtf8(kInvalidCellMessage.data(),
                                            static_cast<qsizetype>(kInvalidCellMessage.size())));
    const int row = static_cast<int>(*bad / cells.size.columns);
    const int column = static_cast<int>(*bad % cells.size.columns) + 1;
    grdData->setFocus();
    SelectGridCell(column, row);
    return false;
}

// Matrix step of Compute ------------------------------------------------------------------------

bool TfrmTemplate::RunMatrixStep() {
    const int n = ClampStoreDimension(config_.MatrixDimension);
    // The matrix read from the previous-data file at start-up is offered again; without one the
    // form starts from the identity, at every Compute of the run.
    MatrixWorkBuffer buffer = PrepareMatrixBuffer(correlationStore_, n, previousDataLoaded_);
    hide();
    MatrixEntryRequest request;
    request.dimension = {n, n};
    request.caption = QString::fromLatin1(kMatrixEntryCaption);
    request.lowerTriangleOnly = true;
    if (ShowMatrixEntryForm(platform_, buffer, request, this, matrixFormRunner_) ==
        MatrixEntryOutcome::Cancelled) {
        show();
        return false;
    }
    StoreMatrixBuffer(buffer, n, correlationStore_);
    matrixDimension_ = n;
    return true;
}

// Previous-data file and report -----------------------------------------------------------------

QString TfrmTemplate::ExtensionFileItems() const {
    QString items;
    if (config_.GridEntryEnabled) items += GridFileItems(GridCellsOf());
    if (config_.MatrixEntryEnabled) items += MatrixFileItems(correlationStore_, matrixDimension_);
    return items;
}

std::optional<QString> TfrmTemplate::ReadExtensionItems(FileNumberReader& reader,
                                                        const std::vector<double>& scores) {
    const NextFileNumber next = [&reader] { return reader.Next(); };
    const auto score = [&scores](std::size_t k) { return k < scores.size() ? scores[k] : 0.0; };
    if (config_.GridEntryEnabled) {
        // The grid's size stands in the first two score fields.
        const std::optional<GridSize> size = FileGridSize(score(0), score(1));
        if (!size) {
            return QStringLiteral(
                       "The item grid in the previous-data file cannot be read: its "
                       "size (%1 columns, %2 rows) must be whole numbers from 1 to %3 "
                       "columns and 1 to %4 rows.")
                .arg(score(0))
                .arg(score(1))
                .arg(kMaxGridColumns)
                .arg(kMaxGridRows);
        }
        config_.GridColumnCount = size->columns;
        config_.GridRowCount = size->rows;
        SizeGrid();
        const GridRead read = ReadGridItems(next, *size);
        for (int row = 0; row < size->rows; ++row) {
            for (int column = 1; column <= size->columns; ++column) {
                grdData->setItem(row, column, new QTableWidgetItem(read.cells.Text(row, column)));
            }
        }
        if (read.malformed) return QString::fromLatin1(kInvalidNumericInput);
    }
    if (config_.MatrixEntryEnabled) {
        // The matrix's dimension stands in the eighth score field.
        const std::optional<int> n = FileMatrixDimension(score(7));
        if (!n) {
            return QStringLiteral(
                       "The correlation matrix in the previous-data file cannot be "
                       "read: its size (%1) must be a whole number from 1 to %2.")
                .arg(score(7))
                .arg(kCorrelationStoreSide);
        }
        if (!ReadMatrixItems(next, *n, correlationStore_)) {
            return QString::fromLatin1(kInvalidNumericInput);
        }
        cmdCompute->setText(QString::fromLatin1(kContinueCaption));
    }
    return std::nullopt;
}

std::vector<std::string> TfrmTemplate::ExtensionReportBlock(char decimalSeparator) const {
    std::vector<std::string> block;
    if (config_.GridEntryEnabled) {
        block = GridReportBlock(lblGridColumnsTitle->text(), GridCellsOf(), decimalSeparator);
    }
    if (config_.MatrixEntryEnabled) {
        const std::vector<std::string> matrix =
            MatrixReportBlock(correlationStore_, matrixDimension_, decimalSeparator);
        block.insert(block.end(), matrix.begin(), matrix.end());
    }
    return block;
}

}  // namespace orvale
