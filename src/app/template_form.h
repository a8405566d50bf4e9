// SPDX-License-Identifier: GPL-3.0-or-later
// The worksheet, the program's main window: the eight score fields, the five analysis options,
// the notes box and the Compute, Clear Data and Exit buttons. Compute validates the fields,
// saves them to the previous-data file, runs the scoring engine and hands the report to the
// results viewer. Everything the desktop provides comes through the Platform it is given. The
// case file it shows is a CaseDocument, "Score a Batch..." a BatchController.
#pragma once

#include <QWidget>
#include <array>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "batch/case_file.h"
#include "engine/scoring.h"
#include "matrix_entry/matrix_data.h"
#include "matrix_entry/matrix_entry_form.h"

class QFrame;
class QLabel;
class QMenuBar;
class QScrollArea;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;
class QTableWidget;

namespace orvale {

class BatchController;
class CaseDocument;
class FileNumberReader;
class NotesMemo;
class Platform;
class RadioGroup;
class ScoreField;
class TfrmTemplateResults;

// How the worksheet is set up at creation. This program enters eight scores and keeps the matrix
// and grid entry switched off; the matrix-entry machinery reads the grid sizes.
struct WorksheetConfig {
    int InputCount = 8;  // score fields in use (validated by Compute)
    int LoadCount = 8;   // values read back from the previous-data file
    bool MatrixEntryEnabled = false;
    bool GridEntryEnabled = false;
    // Data columns and item rows of the item grid (at most 20 and 50). A previous-data file with
    // grid items gives them in its first two score fields instead.
    int GridColumnCount = 4;
    int GridRowCount = 7;
    // Rows of the correlation matrix that Compute asks for, clamped to 1..20. The previous-data
    // file takes the matrix's size from the eighth score field instead, so a configuration that
    // enables the matrix keeps the same number there.
    int MatrixDimension = 4;
};

inline constexpr int kClientHeight = 573;        // the designed client area, in pixels at 96 dpi
inline constexpr int kNotesHeight = 25;          // one line
inline constexpr int kNotesExpandedHeight = 70;  // while editing more than one line

class TfrmTemplate : public QWidget {
    Q_OBJECT
  public:
    TfrmTemplate(Platform& platform, const WorksheetConfig& config = {}, QWidget* parent = nullptr);
    ~TfrmTemplate() override;

    // The viewer that Compute shows; set once at start-up.
    void SetResultsViewer(TfrmTemplateResults* viewer) { results_ = viewer; }

    // The options as the controls hold them now.
    ScoringOptions Options() const;
    bool PreviousDataLoaded() const { return previousDataLoaded_; }
    const WorksheetConfig& Config() const { return config_; }
    QString DataFilePath() const;
    // How Compute runs the matrix-entry form; exec() unless a test hands in its own runner.
    void SetMatrixFormRunner(MatrixFormRunner run) { matrixFormRunner_ = std::move(run); }

    // The case file the worksheet shows (open, save, recent cases, caption).
    CaseDocument& Case() { return *case_; }
    // Before the program ends: asks whether to stop a running batch and whether to save a
    // modified case. False to stay.
    bool MayEnd();
    // Whether a batch is being scored.
    bool BatchRunning() const;

  public slots:
    void cmdComputeClick();
    void btnclearDataClick();
    void ExitBtnClick();
    void DescripFldChange();

    // The menus (worksheet_menus.cpp).
    void mnuHowToUseClick();
    void mnuAboutClick();

    void memoCommentsEnter();
    void memoCommentsExit();
    void memoCommentsKeyUp(int key);

    // Help panel and item grid of matrix entry (template_form_matrix.cpp).
    void cmdHelpClick();
    void cmdReturnClick();
    void grdDataExit();
    void txtInput1Exit();

  protected:
    void showEvent(QShowEvent* event) override;
    void changeEvent(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

  private:
    // The designed controls, built in these steps (template_form_build.cpp).
    void BuildControls();
    void BuildDescriptionAndNotes();
    void BuildOptionGroups();
    void BuildCutoffBox();
    void BuildScoreFields();
    void BuildButtons();
    void NameForScreenReaders();
    void BuildHiddenMatrixControls();
    void SetTabOrder();
    void FormCreate();
    // The menu bar, the shortcuts and what marks a case modified (worksheet_menus.cpp).
    void BuildMenus();
    void WatchForChanges();
    // The case on the worksheet, for the case document (worksheet_menus.cpp).
    CaseValues CaseOnWorksheet() const;
    void ShowCase(const CaseValues& values);

    void FormShow();
    void FormActivate();
    void LoadPreviousData();
    void SaveCurrentData();
    // The key filter of every score field, for every text that comes in from the keyboard (a
    // typed key, a paste, an input method's text): text is replaced by what to insert, emptied
    // when the filter refuses any of it.
    void ScoreFieldKeyPress(QString& text);
    // The length limit of a score field, after every key release and after a paste from the
    // context menu or an input method's text.
    void ScoreFieldKeyUp(int field);
    void ExpandNotesWhenMultiLine(bool force);

    // Matrix and grid entry (template_form_matrix.cpp).
    void SetUpMatrixControls();
    void SizeGrid();
    void SelectGridCell(int column, int row);
    GridCells GridCellsOf() const;
    bool CheckGridCells();
    bool RunMatrixStep();
    QString ExtensionFileItems() const;
    std::optional<QString> ReadExtensionItems(FileNumberReader& reader,
                                              const std::vector<double>& scores);
    std::vector<std::string> ExtensionReportBlock(char decimalSeparator) const;

    Platform& platform_;
    WorksheetConfig config_;
    TfrmTemplateResults* results_ = nullptr;
    bool previousDataLoaded_ = false;
    CorrelationStore correlationStore_{};
    int matrixDimension_ = 0;  // n of the last matrix step of this run; 0 before any
    MatrixFormRunner matrixFormRunner_;
    std::unique_ptr<CaseDocument> case_;
    std::unique_ptr<BatchController> batch_;

    QWidget* client_ = nullptr;
    QScrollArea* scrollArea_ = nullptr;
    QMenuBar* menuBar_ = nullptr;
    QWidget* helpWindow_ = nullptr;

    QPlainTextEdit* DescripFld = nullptr;
    QFrame* Panel3 = nullptr;
    QLabel* lblComments = nullptr;
    NotesMemo* memoComments = nullptr;
    QFrame* Panel1 = nullptr;
    RadioGroup* RadioGroup1 = nullptr;
    RadioGroup* RadioGroup2 = nullptr;
    RadioGroup* RadioGroup3 = nullptr;
    RadioGroup* RadioGroup4 = nullptr;
    QWidget* GroupBox1 = nullptr;
    QRadioButton* RadioButton1 = nullptr;
    QRadioButton* RadioButton2 = nullptr;
    QRadioButton* RadioButton3 = nullptr;
    std::array<QLabel*, kSubtestCount> labels_{};
    std::array<ScoreField*, kSubtestCount> fields_{};
    QFrame* pan1 = nullptr;
    QPushButton* cmdCompute = nullptr;
    QPushButton* btnclearData = nullptr;
    QPushButton* ExitBtn = nullptr;

    // Matrix and grid entry, hidden while the switches are off.
    QPushButton* cmdHelp = nullptr;
    QFrame* pnlHelp = nullptr;
    QLabel* lblHelpCaption = nullptr;
    QPlainTextEdit* memoHelp = nullptr;
    QLabel* Labelx = nullptr;
    QLabel* Label9 = nullptr;
    QPlainTextEdit* Memo1 = nullptr;
    QPushButton* cmdReturn = nullptr;
    QTableWidget* grdData = nullptr;
    QLabel* lblGridColumnsTitle = nullptr;
    std::array<QLabel*, 6> lblCols_{};
    QLabel* lblItems = nullptr;
    QLabel* Label_N = nullptr;
    QLabel* lbl_r = nullptr;
};

}  // namespace orvale
