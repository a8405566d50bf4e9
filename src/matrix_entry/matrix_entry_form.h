// SPDX-License-Identifier: GPL-3.0-or-later
// The matrix-entry form: a window built in code around an n x n matrix of entry cells, with the
// buttons Continue, Clear Data and Return to Worksheet. ShowMatrixEntryForm shows it modally
// for one Compute; the matrix travels in and out through the work buffer, and the outcome says
// whether the user left by Return to Worksheet. Its messages go through the Platform.
#pragma once

#include <QDialog>
#include <QPushButton>
#include <functional>
#include <vector>

#include "matrix_entry/matrix_data.h"

class QLabel;
class QLineEdit;

namespace orvale {

class Platform;
class MatrixEntryForm;

// Exact texts of the form's messages.
inline constexpr const char* kMatrixRangeMessage =
    "Valid matrix values are BETWEEN -1 and +1. Please re-enter matrix values";
inline constexpr const char* kClearMatrixQuestion = "Clear data from matrix ?";
// The question about a cell left at the default value, for the cell in row r, column c.
QString DefaultCellQuestion(int row, int column);

enum class MatrixEntryOutcome {
    Continued,  // every cell passed; the buffer holds the matrix
    Cancelled,  // left by "Return to Worksheet"; the buffer is not to be used
};

// How the form is run: exec() for the program. Tests hand in a runner that shows the form
// without a modal loop and presses its buttons.
using MatrixFormRunner = std::function<void(QDialog& form)>;

// What the form is built around.
struct MatrixEntryRequest {
    MatrixDimension dimension;  // 1 to 50 each; other values are clamped
    QString caption;
    bool lowerTriangleOnly = false;  // cells only on and below the diagonal; values mirrored
    QString sideLabel;               // one character per label down the left edge
    QString bottomLabel;             // under the matrix, hidden
};

// Builds the form owned by owner, runs it and destroys it. Continued only when the form was left
// by Continue.
MatrixEntryOutcome ShowMatrixEntryForm(Platform& platform, MatrixWorkBuffer& buffer,
                                       const MatrixEntryRequest& request, QWidget* owner,
                                       const MatrixFormRunner& run = {});

// "Continue" (component name "CloseBtn").
class MatrixButton : public QPushButton {
    Q_OBJECT
  public:
    MatrixButton(MatrixEntryForm& form, QWidget* parent);
    void Click();

  private:
    MatrixEntryForm& form_;
};

// "Clear Data" (component name "ClearBtn").
class ClearMatrixButton : public QPushButton {
    Q_OBJECT
  public:
    ClearMatrixButton(MatrixEntryForm& form, QWidget* parent);
    void Click();

  private:
    MatrixEntryForm& form_;
};

// "Return to Worksheet" (component name "ReturnBtn").
class ReturnMatrixButton : public QPushButton {
    Q_OBJECT
  public:
    ReturnMatrixButton(MatrixEntryForm& form, QWidget* parent);
    void Click();

  private:
    MatrixEntryForm& form_;
};

// The form itself, named "SqMatFrm". It closes only through its buttons: no close box, and
// Escape does nothing.
class MatrixEntryForm : public QDialog {
    Q_OBJECT
  public:
    MatrixEntryForm(Platform& platform, MatrixWorkBuffer& buffer, const MatrixEntryRequest& request,
                    QWidget* owner);
    ~MatrixEntryForm() override;

    bool MatrixEntryCancelled() const { return cancelled_; }
    // The entry cell of (column, row), both from 1; nullptr where the form has none.
    QLineEdit* Cell(int column, int row) const;

    // The three buttons' work: check and store the cells; reset the cells below the diagonal;
    // abandon the entry.
    void ContinueEntry();
    void ClearEntry();
    void ReturnToWorksheet();

  protected:
    void reject() override;

  private:
    void BuildPanels();
    void BuildCells();
    void BuildLabels(const MatrixEntryRequest& request);
    void BuildButtons();
    void SetScrolling();
    static std::size_t CellIndex(int column, int row);
    bool HasCell(int column, int row) const;
    void FocusCell(QLineEdit* cell);

    Platform& platform_;
    MatrixWorkBuffer& buffer_;
    int rows_;
    int columns_;
    bool lowerTriangleOnly_;
    bool cancelled_ = false;
    QWidget* content_ = nullptr;  // everything the form shows; scrolls for large matrices
    QLabel* titlePanel_ = nullptr;
    // The cell index table: the entry cell of each (column, row), and whether the user has
    // confirmed keeping it at the default value.
    std::vector<QLineEdit*> cells_;
    std::vector<bool> confirmedDefault_;
    MatrixButton* continueButton_ = nullptr;
    ClearMatrixButton* clearButton_ = nullptr;
    ReturnMatrixButton* returnButton_ = nullptr;
};

}  // namespace orvale
