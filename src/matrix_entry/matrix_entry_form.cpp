// SPDX-License-Identifier: GPL-3.0-or-later
#include "matrix_entry/matrix_entry_form.h"

#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <algorithm>
#include <memory>

#include "desktop/fonts.h"
#include "desktop/platform.h"
#include "engine/entry.h"
#include "matrix_entry/entry_layout.h"
#include "numeric/number_format.h"

namespace orvale {

namespace {

constexpr int kCellMaxLength = 6;
const char* const kDefaultCellText = "0.000";

// Buttons: geometry and tab order as the form was laid out.
constexpr int kButtonTop = 506;
constexpr int kButtonWidth = 161;
constexpr int kButtonHeight = 37;
constexpr int kButtonFontPixels = 13;  // "System" at 10 points

QString CellText(double value) {
    return QString::fromStdString(FormatFixed(value, 5, 3, '.'));
}

void SetUpButton(QPushButton& button, const char* caption, const char* name, int left) {
    button.setText(QString::fromLatin1(caption));
    button.setObjectName(QString::fromLatin1(name));
    button.setGeometry(left, kButtonTop, kButtonWidth, kButtonHeight);
    button.setFont(DesignFont(QStringLiteral("System"), kButtonFontPixels));
    button.setAutoDefault(false);
}

}  // namespace

QString DefaultCellQuestion(int row, int column) {
    return QStringLiteral(
               "Do you want continue with cell (%1,%2) set to the default value of "
               "'0.000'?")
        .arg(row)
        .arg(column);
}

MatrixEntryOutcome ShowMatrixEntryForm(Platform& platform, MatrixWorkBuffer& buffer,
                                       const MatrixEntryRequest& request, QWidget* owner,
                                       const MatrixFormRunner& run) {
    auto form = std::make_unique<MatrixEntryForm>(platform, buffer, request, owner);
    if (run) {
        run(*form);
    } else {
        form->exec();
    }
    // Only Continue accepts the form; however else it ended, the entry is abandoned.
    return form->result() == QDialog::Accepted && !form->MatrixEntryCancelled()
               ? MatrixEntryOutcome::Continued
               : MatrixEntryOutcome::Cancelled;
}

// Buttons --------------------------------------------------------------------------------------

MatrixButton::MatrixButton(MatrixEntryForm& form, QWidget* parent)
    : QPushButton(parent), form_(form) {
    SetUpButton(*this, "Continue", "CloseBtn", 16);
    connect(this, &QPushButton::clicked, this, &MatrixButton::Click);
}

void MatrixButton::Click() {
    form_.ContinueEntry();
}

ClearMatrixButton::ClearMatrixButton(MatrixEntryForm& form, QWidget* parent)
    : QPushButton(parent), form_(form) {
    SetUpButton(*this, "Clear Data", "ClearBtn", 216);
    connect(this, &QPushButton::clicked, this, &ClearMatrixButton::Click);
}

void ClearMatrixButton::Click() {
    form_.ClearEntry();
}

ReturnMatrixButton::ReturnMatrixButton(MatrixEntryForm& form, QWidget* parent)
    : QPushButton(parent), form_(form) {
    SetUpButton(*this, "Return to Worksheet", "ReturnBtn", 416);
    connect(this, &QPushButton::clicked, this, &ReturnMatrixButton::Click);
}

void ReturnMatrixButton::Click() {
    form_.ReturnToWorksheet();
}

// The form ---------------------------------------------------------------------------------------

MatrixEntryForm::MatrixEntryForm(Platform& platform, MatrixWorkBuffer& buffer,
                                 const MatrixEntryRequest& request, QWidget* owner)
    : QDialog(owner, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                         Qt::MSWindowsFixedSizeDialogHint),
      platform_(platform),
      buffer_(buffer),
      rows_(std::clamp(request.dimension.rows, 1, kWorkBufferSide)),
      columns_(std::clamp(request.dimension.columns, 1, kWorkBufferSide)),
      lowerTriangleOnly_(request.lowerTriangleOnly),
      cells_(static_cast<std::size_t>(kWorkBufferSide * kWorkBufferSide), nullptr),
      confirmedDefault_(cells_.size(), false) {
    setObjectName(QStringLiteral("SqMatFrm"));
    setWindowTitle(request.caption);
    setFixedSize(kMatrixFormWidth, kMatrixFormHeight);
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        move(screen->availableGeometry().center() - rect().center());
    }

    auto* scrollArea = new QScrollArea(this);
    scrollArea->setObjectName(QStringLiteral("SqMatFrmScroll"));
    scrollArea->setFrameShape(QFrame::NoFrame);
    // The scrolling is the form's own, not a control: it takes no focus and is no tab stop, so
    // the form opens in its first entry cell and Tab cycles through the cells and buttons only.
    scrollArea->setFocusPolicy(Qt::NoFocus);
    scrollArea->setGeometry(rect());
    content_ = new QWidget;
    content_->resize(kMatrixFormWidth, kMatrixFormHeight);
    scrollArea->setWidget(content_);

    BuildPanels();
    BuildCells();
    BuildLabels(request);
    BuildButtons();
    SetScrolling();
}

MatrixEntryForm::~MatrixEntryForm() = default;

std::size_t MatrixEntryForm::CellIndex(int column, int row) {
    return static_cast<std::size_t>((column - 1) * kWorkBufferSide + (row - 1));
}

bool MatrixEntryForm::HasCell(int column, int row) const {
    return column >= 1 && column <= columns_ && row >= 1 && row <= rows_ &&
           !(lowerTriangleOnly_ && column > row);
}

QLineEdit* MatrixEntryForm::Cell(int column, int row) const {
    return HasCell(column, row) ? cells_[CellIndex(column, row)] : nullptr;
}

void MatrixEntryForm::BuildPanels() {
    titlePanel_ = new QLabel(content_);
    titlePanel_->setObjectName(QStringLiteral("Panel1"));
    titlePanel_->setGeometry(7, 5, 780, 488 - 5);
    titlePanel_->setFrameStyle(QFrame::Panel | QFrame::Raised);
    titlePanel_->setAlignment(Qt::AlignCenter);

    auto* buttonPanel = new QFrame(content_);
    buttonPanel->setObjectName(QStringLiteral("Panel2"));
    buttonPanel->setGeometry(7, 500, 780, 49);
    buttonPanel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
}

void MatrixEntryForm::BuildCells() {
    QPalette diagonalPalette = palette();
    diagonalPalette.setColor(QPalette::Text, Qt::blue);
    for (int r = 1; r <= rows_; ++r) {
        for (int c = 1; c <= columns_; ++c) {
            if (!HasCell(c, r)) continue;
            auto* cell = new QLineEdit(content_);
            cell->setObjectName(QStringLiteral("mat%1x%2").arg(c).arg(r));
            cell->setGeometry(MatrixCellRect(c, r));
            cell->setTextMargins(0, 0, 0, 0);
            cell->setMaxLength(kCellMaxLength);
            cell->setText(CellText(buffer_.At(c, r)));
            if (c == r) {
                cell->setPalette(diagonalPalette);
                cell->setReadOnly(true);
                cell->setFocusPolicy(Qt::ClickFocus);
            }
            cells_[CellIndex(c, r)] = cell;
        }
    }
}

void MatrixEntryForm::BuildLabels(const MatrixEntryRequest& request) {
    const auto makeLabel = [this](const QString& text, const QRect& geometry) {
        auto* label = new QLabel(text, content_);
        label->setGeometry(geometry);
        return label;
    };
    for (int c = 1; c <= columns_; ++c) {
        makeLabel(QString::number(c), MatrixColumnLabelRect(c, rows_));
    }
    for (int r = 1; r <= rows_; ++r) {
        makeLabel(QString::number(r), MatrixRowLabelRect(r))->setAlignment(Qt::AlignCenter);
    }
    QLabel* title = makeLabel(QStringLiteral("Matrix title"), QRect(7, 12, 780, 16));
    title->setObjectName(QStringLiteral("lblMatrixTitle"));
    title->setAlignment(Qt::AlignCenter);
    title->hide();
    QLabel* bottom = makeLabel(request.bottomLabel,
                               QRect(7, MatrixColumnLabelRect(1, rows_).bottom() + 8, 780, 16));
    bottom->setObjectName(QStringLiteral("lblMatrixBottom"));
    bottom->setAlignment(Qt::AlignCenter);
    bottom->hide();
    for (qsizetype i = 0; i < request.sideLabel.size(); ++i) {
        makeLabel(QString(request.sideLabel[i]), MatrixSideLabelRect(static_cast<int>(i) + 1));
    }
}

void MatrixEntryForm::BuildButtons() {
    continueButton_ = new MatrixButton(*this, content_);
    clearButton_ = new ClearMatrixButton(*this, content_);
    returnButton_ = new ReturnMatrixButton(*this, content_);
    // Tab order: the editable cells as created, then Continue, Clear Data, Return to Worksheet.
    QWidget* previous = nullptr;
    for (int r = 1; r <= rows_; ++r) {
        for (int c = 1; c <= columns_; ++c) {
            QLineEdit* cell = Cell(c, r);
            if (cell == nullptr || cell->isReadOnly()) continue;
            if (previous != nullptr) setTabOrder(previous, cell);
            previous = cell;
        }
    }
    for (QWidget* button :
         std::initializer_list<QWidget*>{continueButton_, clearButton_, returnButton_}) {
        if (previous != nullptr) setTabOrder(previous, button);
        previous = button;
    }
}

void MatrixEntryForm::SetScrolling() {
    auto* scrollArea = findChild<QScrollArea*>(QStringLiteral("SqMatFrmScroll"));
    const MatrixFormScrolling scrolling = MatrixFormScrollRanges(std::max(rows_, columns_));
    // The ranges keep the form's proportions; the content never ends before the last cell.
    const QRect last =
        MatrixCellRect(columns_, rows_).united(MatrixColumnLabelRect(columns_, rows_));
    int width = kMatrixFormWidth;
    int height = kMatrixFormHeight;
    scrollArea->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    scrollArea->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    if (scrolling.horizontalRange) {
        width = std::max(*scrolling.horizontalRange, last.right() + 8);
        scrollArea->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
        scrollArea->horizontalScrollBar()->setSingleStep(kMatrixScrollStep);
    }
    if (scrolling.verticalRange) {
        height = std::max({*scrolling.verticalRange, last.bottom() + 8, kMatrixFormHeight});
        scrollArea->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
        scrollArea->verticalScrollBar()->setSingleStep(kMatrixScrollStep);
    }
    content_->resize(width, height);
}

void MatrixEntryForm::FocusCell(QLineEdit* cell) {
    // A large matrix may have the cell scrolled out of sight; bring it into view with its text
    // selected, as the messages promise.
    findChild<QScrollArea*>(QStringLiteral("SqMatFrmScroll"))->ensureWidgetVisible(cell);
    cell->setFocus();
    cell->selectAll();
}

void MatrixEntryForm::ContinueEntry() {
    // Every cell is checked before any reaches the buffer, so a refused entry leaves the matrix
    // as it was.
    std::vector<std::pair<std::size_t, double>> accepted;
    for (int c = 1; c <= columns_; ++c) {
        for (int r = 1; r <= rows_; ++r) {
            QLineEdit* cell = Cell(c, r);
            if (cell == nullptr) continue;
            const ParsedEntry parsed = ParseCellEntry(cell->text().toStdString());
            if (!parsed.ok()) {
                platform_.ShowWarning(QString::fromStdString(*parsed.error));
                FocusCell(cell);
                return;
            }
            const bool diagonal = c == r;
            if ((!diagonal && parsed.value >= 1.0) || parsed.value <= -1.0) {
                platform_.ShowInformation(QString::fromLatin1(kMatrixRangeMessage));
                FocusCell(cell);
                return;
            }
            const std::size_t index = CellIndex(c, r);
            if (!diagonal && cell->text() == QLatin1String(kDefaultCellText) &&
                !confirmedDefault_[index]) {
                if (!platform_.Confirm(DefaultCellQuestion(r, c))) {
                    FocusCell(cell);
                    return;
                }
                confirmedDefault_[index] = true;
            }
            accepted.emplace_back(index, parsed.value);
        }
    }
    for (const auto& [index, value] : accepted) {
        const int c = static_cast<int>(index) / kWorkBufferSide + 1;
        const int r = static_cast<int>(index) % kWorkBufferSide + 1;
        buffer_.Set(c, r, value);
        if (lowerTriangleOnly_) buffer_.Set(r, c, value);
    }
    done(QDialog::Accepted);
}

void MatrixEntryForm::ClearEntry() {
    if (platform_.Confirm(QString::fromLatin1(kClearMatrixQuestion))) {
        for (int c = 1; c <= columns_; ++c) {
            for (int r = c + 1; r <= rows_; ++r) {
                QLineEdit* cell = Cell(c, r);
                if (cell == nullptr) continue;
                cell->setText(QString::fromLatin1(kDefaultCellText));
                buffer_.Set(c, r, 0.0);
                if (lowerTriangleOnly_) buffer_.Set(r, c, 0.0);
            }
        }
    }
    // Whatever the answer, the title panel is reset.
    titlePanel_->setText(QStringLiteral("Title:"));
}

void MatrixEntryForm::ReturnToWorksheet() {
    cancelled_ = true;
    done(QDialog::Rejected);
}

void MatrixEntryForm::reject() {
    // Escape and the window manager's close request: the form is left only by its buttons.
}

}  // namespace orvale
