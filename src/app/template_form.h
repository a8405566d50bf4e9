// SPDX-License-Identifier: GPL-3.0-or-later
// The worksheet, the program's main window: the eight score fields, the five analysis options,
// the notes box and the Compute, Clear Data and Exit buttons. Compute validates the fields,
// saves them to the previous-data file, runs the scoring engine and hands the report to the
// results viewer. Everything the desktop provides comes through the Platform it is given.
#pragma once

#include <QPointer>
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

class QAction;
class QDialog;
class QFrame;
class QLabel;
class QMenu;
class QMenuBar;
class QScrollArea;
class QPlainTextEdit;
class QProgressDialog;
class QPushButton;
class QRadioButton;
class QTableWidget;

namespace orvale {

class BatchRun;
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

    // The case file in use (empty while none is) and whether the worksheet has changed since it
    // was opened or saved.
    QString CaseFilePath() const { return casePath_; }
    bool CaseModified() const { return caseModified_; }
    // Opens the case file at path, after asking whether to save a modified case. False when the
    // user cancelled or the file could not be read (the worksheet is then unchanged).
    bool OpenCaseFile(const QString& path);
    // Before the program ends: asks whether to save a modified case. False to stay.
    bool MayEnd();
    // The batch scoring that "Score a Batch..." and a dropped CSV file start: asks for the input
    // (unless given) and the results file, then scores on a worker thread (worksheet_batch.cpp).
    void ScoreBatch(const QString& inputPath = {});
    bool BatchRunning() const;

  public slots:
    void cmdComputeClick();
    void btnclearDataClick();
    void ExitBtnClick();
    void DescripFldChange();

    // Key filter of each score field, for every text that comes in from the keyboard (a typed
    // key, a paste, an input method's text): text is replaced by what to insert, emptied when
    // the filter refuses any of it.
    void txtInput1KeyPress(QString& text);
    void txtInput2KeyPress(QString& text);
    void txtInput3KeyPress(QString& text);
    void txtInput4KeyPress(QString& text);
    void txtInput5KeyPress(QString& text);
    void txtInput6KeyPress(QString& text);
    void txtInput7KeyPress(QString& text);
    void txtinput8KeyPress(QString& text);
    // Length limit of each score field, after every key release and after a paste from the
    // context menu or an input method's text.
    void txtInput1KeyUp();
    void txtInput2KeyUp();
    void txtInput3KeyUp();
    void txtInput4KeyUp();
    void txtInput5KeyUp();
    void txtInput6KeyUp();
    void txtInput7KeyUp();
    void txtinput8KeyUp();

    // The menus (worksheet_menus.cpp).
    void mnuOpenCaseClick();
    void mnuSaveCaseClick();
    void mnuSaveCaseAsClick();
    void mnuScoreBatchClick();
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
    void BuildControls();
    void BuildMenus();
    // Case files (worksheet_menus.cpp).
    CaseValues CaseOnWorksheet() const;
    void ShowCase(const CaseValues& values);
    bool SaveCaseTo(const QString& path);
    bool SaveChangesFirst();
    bool LoadCase(const QString& path);  // no question; false when the file cannot be read
    void WorksheetChanged();
    void UpdateCaption();
    void RememberRecentCase(const QString& path, bool keep);
    void RebuildRecentCases();
    // Batch scoring (worksheet_batch.cpp).
    void BatchProgressed(quint64 rowsWritten, quint64 rowsSkipped, quint64 bytesRead);
    void BatchFinished();
    void ShowBatchSummary(const BatchRun& run);
    void BuildHiddenMatrixControls();
    void SetTabOrder();
    void FormCreate();
    void FormShow();
    void FormActivate();
    void LoadPreviousData();
    void SaveCurrentData();
    void ScoreFieldKeyPress(QString& text);
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
    QString casePath_;
    bool caseModified_ = false;
    bool showingCase_ = false;  // the fields are being filled from a case file

    QWidget* client_ = nullptr;
    QScrollArea* scrollArea_ = nullptr;
    QMenuBar* menuBar_ = nullptr;
    QMenu* mnuFile_ = nullptr;
    QAction* mnuRecentStart_ = nullptr;  // the recent cases follow this separator
    QList<QAction*> recentActions_;
    QWidget* helpWindow_ = nullptr;
    QAction* mnuScoreBatch_ = nullptr;
    std::unique_ptr<BatchRun> batch_;  // the batch being scored, if any
    QPointer<QProgressDialog> batchProgress_;
    QPointer<QDialog> batchSummary_;

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
