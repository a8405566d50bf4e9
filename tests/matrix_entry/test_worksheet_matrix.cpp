// SPDX-License-Identifier: GPL-3.0-or-later
// Matrix and grid entry through the real worksheet, with the switches on and off: the matrix
// step of Compute (the form run by a script instead of a modal loop), the grid and matrix items
// of the previous-data file, the report blocks, the help panel and the item grid.
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>

#include "app/startup.h"
#include "engine/entry.h"
#include "matrix_entry/matrix_entry_form.h"
#include "report/compose.h"
#include "support/fake_platform.h"
#include "support/program_driver.h"

using namespace orvale;
using orvale::testing::FakePlatform;
using orvale::testing::kFieldNames;
using orvale::testing::ReadFile;
using orvale::testing::WriteFile;
using Kind = FakePlatform::Kind;
using FormScript = std::function<void(QDialog&)>;

namespace {

const QStringList kScores = {"10", "11", "9", "8", "12", "10", "13", "4"};
const QByteArray kScoresLine = "10 11 9 8 12 10 13 4 ";

WorksheetConfig Switches(bool matrix, bool grid) {
    WorksheetConfig config;
    config.MatrixEntryEnabled = matrix;
    config.GridEntryEnabled = grid;
    return config;
}

void Press(QWidget& form, const char* name) {
    QTest::mouseClick(form.findChild<QPushButton*>(QString::fromLatin1(name)), Qt::LeftButton);
}

QString CellText(QWidget& form, int column, int row) {
    auto* cell = form.findChild<QLineEdit*>(QStringLiteral("mat%1x%2").arg(column).arg(row));
    return cell != nullptr ? cell->text() : QStringLiteral("(none)");
}

void SetCell(QWidget& form, int column, int row, const QString& text) {
    form.findChild<QLineEdit*>(QStringLiteral("mat%1x%2").arg(column).arg(row))->setText(text);
}

// The lines between the discrepancy notes and the outputs heading: what stands before the
// three blank lines above " OUTPUTS:", back to the blank line after the option notes.
QStringList LinesBeforeOutputs(const QStringList& report, int count) {
    const qsizetype outputs = report.indexOf(QStringLiteral(" OUTPUTS:"));
    if (outputs < 3 + count) return {};
    return report.mid(outputs - 3 - count, count);
}

}  // namespace

class WorksheetMatrixTest : public QObject {
    Q_OBJECT
  private slots:
    void cleanup() {
        windows_.reset();
        platform_.reset();
        folder_.reset();
    }

    void switchesOffLeaveTheProgramAsItIs();
    void firstComputeOffersTheIdentityAndAsksOncePerDefaultCell();
    void refusedEntriesAndReturnLeaveNoFileAndNoReport_data();
    void refusedEntriesAndReturnLeaveNoFileAndNoReport();
    void returnKeepsThePreviousFile();
    void matrixRoundTripThroughTheFile();
    void damagedMatrixItemsReadAsTheScoresDo_data();
    void damagedMatrixItemsReadAsTheScoresDo();
    void gridRoundTripAndReportBlock();
    void gridTakesItsSizeFromTheFile();
    void badGridCellStopsCompute();
    void activatingAndLeavingSelectGridCells();
    void helpPanelOpensAndCloses();

  private:
    void Start(const WorksheetConfig& config) {
        if (!folder_) folder_ = std::make_unique<QTemporaryDir>();
        if (!platform_) platform_ = std::make_unique<FakePlatform>(folder_->path());
        windows_.reset();
        platform_->Clear();
        windows_ = std::make_unique<ProgramWindows>(*platform_, config);
        formRuns_ = 0;
        worksheet().SetMatrixFormRunner([this](QDialog& form) {
            ++formRuns_;
            worksheetShownWithForm_ = worksheet().isVisible();
            form.show();
            if (script_) script_(form);
            // A script that leaves the form open fails the test; the form is destroyed anyway.
            QVERIFY2(!form.isVisible(), "the script left the matrix-entry form open");
        });
    }
    TfrmTemplate& worksheet() { return windows_->worksheet(); }
    template <typename T>
    T* Control(const char* name) {
        return worksheet().findChild<T*>(QString::fromLatin1(name));
    }
    void TypeScores(const QStringList& scores) {
        for (int k = 0; k < scores.size(); ++k) {
            Control<QLineEdit>(kFieldNames[static_cast<std::size_t>(k)])->setText(scores[k]);
        }
    }
    void Compute() { QTest::mouseClick(Control<QPushButton>("cmdCompute"), Qt::LeftButton); }
    QString DataFile() const { return windows_->worksheet().DataFilePath(); }
    QStringList Report() {
        const QString text = windows_->results()
                                 .findChild<QPlainTextEdit*>(QStringLiteral("memoResults"))
                                 ->toPlainText();
        return text.isEmpty() ? QStringList() : text.split(u'\n');
    }
    QTableWidget* Grid() { return Control<QTableWidget>("grdData"); }
    QString GridText(int row, int column) {
        const QTableWidgetItem* item = Grid()->item(row, column);
        return item != nullptr ? item->text() : QString();
    }

    std::unique_ptr<QTemporaryDir> folder_;
    std::unique_ptr<FakePlatform> platform_;
    std::unique_ptr<ProgramWindows> windows_;
    FormScript script_;
    int formRuns_ = 0;
    bool worksheetShownWithForm_ = false;
};

void WorksheetMatrixTest::switchesOffLeaveTheProgramAsItIs() {
    folder_ = std::make_unique<QTemporaryDir>();
    // Items after the eight scores are not read.
    WriteFile(folder_->filePath("orvale.txt"), kScoresLine + " 1.000 0.500 word");
    Start(WorksheetConfig{});
    QVERIFY(platform_->messages.empty());
    QCOMPARE(Control<QLineEdit>("txtinput8")->text(), QStringLiteral("4"));
    QCOMPARE(Control<QPushButton>("cmdCompute")->text(), QStringLiteral("Compute"));
    for (const char* name : {"cmdHelp", "pnlHelp", "cmdReturn", "grdData", "lblGridColumnsTitle",
                             "lblCol1", "lblItems", "Label_N", "lbl_r"}) {
        QVERIFY2(Control<QWidget>(name)->isHidden(), name);
    }

    Compute();
    QCOMPARE(formRuns_, 0);
    QCOMPARE(ReadFile(DataFile()), kScoresLine);
    ReportInput input;
    input.entries = {10, 11, 9, 8, 12, 10, 13, 4};
    input.results = ComputeScores(input.entries, input.options);
    const QString point = QLocale::system().decimalPoint();
    input.decimalSeparator = point.size() == 1 ? point[0].toLatin1() : '.';
    std::vector<std::string> expected;
    ComposeReport(expected, input);
    QStringList lines = Report();
    QCOMPARE(lines.takeLast(), QString());  // the memo's text ends with a line break
    QCOMPARE(lines.size(), static_cast<qsizetype>(expected.size()));
    for (std::size_t i = 0; i < expected.size(); ++i) {
        QCOMPARE(lines[static_cast<qsizetype>(i)], QString::fromStdString(expected[i]));
    }
}

void WorksheetMatrixTest::firstComputeOffersTheIdentityAndAsksOncePerDefaultCell() {
    Start(Switches(true, false));
    TypeScores(kScores);
    QStringList offered;
    script_ = [&](QDialog& form) {
        QCOMPARE(form.windowTitle(), QStringLiteral("Matrix Entry"));
        for (int r = 1; r <= 4; ++r) {
            QStringList row;
            for (int c = 1; c <= 4; ++c) row.append(CellText(form, c, r));
            offered.append(row.join(u' '));
        }
        platform_->confirmAnswers = {true, true, true, true, true, true};
        Press(form, "CloseBtn");
    };
    Compute();
    QCOMPARE(formRuns_, 1);
    QVERIFY(!worksheetShownWithForm_);
    QCOMPARE(offered, QStringList({"1.000 (none) (none) (none)", "0.000 1.000 (none) (none)",
                                   "0.000 0.000 1.000 (none)", "0.000 0.000 0.000 1.000"}));
    // Column by column; the question names the row first.
    QStringList questions;
    for (const auto& [r, c] : {std::pair{2, 1}, {3, 1}, {4, 1}, {3, 2}, {4, 2}, {4, 3}}) {
        questions.append(DefaultCellQuestion(r, c));
    }
    QCOMPARE(platform_->Texts(Kind::Confirm), questions);
    QCOMPARE(ReadFile(DataFile()),
             kScoresLine + " 1.000 0.000 1.000 0.000 0.000 1.000 0.000 0.000 0.000 1.000");
    QCOMPARE(LinesBeforeOutputs(Report(), 5),
             QStringList({" Correlation matrix:", " 1:  1.000 ", " 2:  0.000  1.000 ",
                          " 3:  0.000  0.000  1.000 ", " 4:  0.000  0.000  0.000  1.000 "}));
    QVERIFY(worksheet().isHidden());
    QVERIFY(windows_->results().isVisible());
}

void WorksheetMatrixTest::refusedEntriesAndReturnLeaveNoFileAndNoReport_data() {
    QTest::addColumn<QString>("entry");  // typed into cell (1, 2) before Continue
    QTest::addColumn<QString>("message");
    const QString range = QString::fromLatin1(kMatrixRangeMessage);
    QTest::newRow("exactly 1") << "1" << range;
    QTest::newRow("exactly -1") << "-1" << range;
    QTest::newRow("no entry, straight back") << ""
                                             << "";
}

void WorksheetMatrixTest::refusedEntriesAndReturnLeaveNoFileAndNoReport() {
    QFETCH(QString, entry);
    QFETCH(QString, message);
    Start(Switches(true, false));
    TypeScores(kScores);
    bool stayedOpen = false;
    script_ = [&](QDialog& form) {
        if (!entry.isEmpty()) {
            SetCell(form, 1, 2, entry);
            Press(form, "CloseBtn");
            stayedOpen = form.isVisible();
        }
        Press(form, "ReturnBtn");
    };
    Compute();
    QCOMPARE(formRuns_, 1);
    QCOMPARE(stayedOpen, !entry.isEmpty());
    QStringList shown = platform_->Texts(Kind::Information) + platform_->Texts(Kind::Warning);
    QCOMPARE(shown, message.isEmpty() ? QStringList() : QStringList(message));
    QVERIFY(!QFile::exists(DataFile()));
    QVERIFY(Report().isEmpty());
    QVERIFY(worksheet().isVisible());
    QVERIFY(windows_->results().isHidden());
    QCOMPARE(Control<QLineEdit>("txtInput1")->text(), QStringLiteral("10"));
}

void WorksheetMatrixTest::returnKeepsThePreviousFile() {
    folder_ = std::make_unique<QTemporaryDir>();
    const QByteArray previous = "12 12 12 12 12 12 12 2  1.000 0.300 1.000";
    WriteFile(folder_->filePath("orvale.txt"), previous);
    Start(Switches(true, false));
    TypeScores(kScores);
    script_ = [](QDialog& form) { Press(form, "ReturnBtn"); };
    Compute();
    QCOMPARE(ReadFile(DataFile()), previous);
    QVERIFY(Report().isEmpty());
}

void WorksheetMatrixTest::matrixRoundTripThroughTheFile() {
    Start(Switches(true, false));
    TypeScores(kScores);  // the eighth field, 4, is the matrix's size in the file
    script_ = [](QDialog& form) {
        SetCell(form, 1, 2, "0.5");
        SetCell(form, 1, 3, "-0.25");
        SetCell(form, 1, 4, "0.125");
        SetCell(form, 2, 3, "0.3");
        SetCell(form, 2, 4, "0,75");
        SetCell(form, 3, 4, ".1");
        Press(form, "CloseBtn");
    };
    Compute();
    QVERIFY(platform_->messages.empty());
    const QByteArray saved =
        kScoresLine + " 1.000 0.500 1.000 -0.250 0.300 1.000 0.125 0.750 0.100 1.000";
    QCOMPARE(ReadFile(DataFile()), saved);

    // This run began without a previous-data file: a second Compute starts from the identity
    // again, not from the matrix just entered.
    QTest::mouseClick(windows_->results().findChild<QPushButton*>(QStringLiteral("cmdReturn")),
                      Qt::LeftButton);
    QStringList offered;
    script_ = [&](QDialog& form) {
        offered = {CellText(form, 1, 2), CellText(form, 2, 4), CellText(form, 4, 4)};
        Press(form, "ReturnBtn");
    };
    Compute();
    QCOMPARE(offered, QStringList({"0.000", "0.000", "1.000"}));
    QCOMPARE(ReadFile(DataFile()), saved);

    Start(Switches(true, false));
    QVERIFY(platform_->messages.empty());
    QVERIFY(worksheet().PreviousDataLoaded());
    QCOMPARE(Control<QPushButton>("cmdCompute")->text(), QStringLiteral("Continue"));
    offered.clear();
    script_ = [&](QDialog& form) {
        for (const auto& [c, r] :
             {std::pair{1, 2}, {1, 3}, {1, 4}, {2, 3}, {2, 4}, {3, 4}, {4, 4}}) {
            offered.append(CellText(form, c, r));
        }
        Press(form, "CloseBtn");
    };
    Compute();
    QCOMPARE(offered,
             QStringList({"0.500", "-0.250", "0.125", "0.300", "0.750", "0.100", "1.000"}));
    QCOMPARE(LinesBeforeOutputs(Report(), 5),
             QStringList({" Correlation matrix:", " 1:  1.000 ", " 2:  0.500  1.000 ",
                          " 3: -0.250  0.300  1.000 ", " 4:  0.125  0.750  0.100  1.000 "}));

    // Back on the worksheet, the next Compute offers the matrix just entered.
    QTest::mouseClick(windows_->results().findChild<QPushButton*>(QStringLiteral("cmdReturn")),
                      Qt::LeftButton);
    offered.clear();
    script_ = [&](QDialog& form) {
        offered.append(CellText(form, 2, 4));
        Press(form, "ReturnBtn");
    };
    Compute();
    QCOMPARE(offered, QStringList({"0.750"}));
}

void WorksheetMatrixTest::damagedMatrixItemsReadAsTheScoresDo_data() {
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QString>("error");        // the start of the error message, or empty
    QTest::addColumn<QString>("caption");      // of the Compute button after start-up
    QTest::addColumn<QStringList>("offered");  // cells (1,2) and (1,3) at the first Compute
    QTest::newRow("items missing at the end read as 0")
        << kScoresLine + "1 0.5"
        << ""
        << "Continue" << QStringList{"0.500", "0.000"};
    QTest::newRow("malformed item") << kScoresLine + "1 0.5 1 zero"
                                    << "Invalid numeric input"
                                    << "Compute" << QStringList{"0.000", "0.000"};
    QTest::newRow("decimal comma in the file") << kScoresLine + "1 0,5"
                                               << "Invalid numeric input"
                                               << "Compute" << QStringList{"0.000", "0.000"};
    QTest::newRow("size not a whole number")
        << QByteArray("10 11 9 8 12 10 13 4.5 1 0.5") << "The correlation matrix"
        << "Compute" << QStringList{"0.000", "0.000"};
    QTest::newRow("size beyond the store")
        << QByteArray("10 11 9 8 12 10 13 25 1 0.5") << "The correlation matrix"
        << "Compute" << QStringList{"0.000", "0.000"};
}

void WorksheetMatrixTest::damagedMatrixItemsReadAsTheScoresDo() {
    QFETCH(QByteArray, file);
    QFETCH(QString, error);
    QFETCH(QString, caption);
    QFETCH(QStringList, offered);
    folder_ = std::make_unique<QTemporaryDir>();
    WriteFile(folder_->filePath("orvale.txt"), file);
    Start(Switches(true, false));
    const QStringList errors = platform_->Texts(Kind::Error);
    QCOMPARE(errors.size(), error.isEmpty() ? 0 : 1);
    if (!error.isEmpty()) QVERIFY2(errors[0].startsWith(error), qPrintable(errors[0]));
    QCOMPARE(worksheet().PreviousDataLoaded(), error.isEmpty());
    QCOMPARE(Control<QLineEdit>("txtInput1")->text(), QStringLiteral("10"));
    QCOMPARE(Control<QPushButton>("cmdCompute")->text(), caption);

    TypeScores(kScores);
    QStringList seen;
    script_ = [&](QDialog& form) {
        seen = {CellText(form, 1, 2), CellText(form, 1, 3)};
        QCOMPARE(CellText(form, 2, 2), QStringLiteral("1.000"));
        Press(form, "ReturnBtn");
    };
    Compute();
    QCOMPARE(seen, offered);
}

void WorksheetMatrixTest::gridRoundTripAndReportBlock() {
    Start(Switches(false, true));
    QTableWidget* grid = Grid();
    QVERIFY(grid->isVisible());
    QCOMPARE(grid->columnCount(), 5);
    QCOMPARE(grid->rowCount(), 7);
    QCOMPARE(GridText(0, 0), QStringLiteral("1"));
    QCOMPARE(GridText(6, 0), QStringLiteral("7"));
    QCOMPARE(grid->y(), 200);
    QVERIFY(Control<QLabel>("lblGridColumnsTitle")->isVisible());
    QCOMPARE(Control<QLabel>("lblGridColumnsTitle")->text(), QStringLiteral("Column names"));
    QVERIFY(Control<QLabel>("lblCol4")->isVisible());
    QVERIFY(Control<QLabel>("lblCol5")->isHidden());
    QVERIFY(Control<QLabel>("lblItems")->isVisible());

    const QStringList row0 = {"1", "2,5", "", "-3"};
    for (int c = 1; c <= 4; ++c) grid->setItem(0, c, new QTableWidgetItem(row0[c - 1]));
    grid->setItem(6, 4, new QTableWidgetItem("0.125"));
    TypeScores({"4", "7", "9", "8", "12", "10", "13", "4"});  // the grid's size leads the file
    Compute();
    QVERIFY(platform_->messages.empty());
    QCOMPARE(formRuns_, 0);
    QByteArray items = "1 2.5 0 -3 ";
    for (int i = 0; i < 23; ++i) items += "0 ";
    items += "0.125 ";
    QCOMPARE(ReadFile(DataFile()), "4 7 9 8 12 10 13 4 " + items);
    QStringList block = LinesBeforeOutputs(Report(), 11);
    QCOMPARE(block.mid(0, 4), QStringList({"                  Column names",
                                           " Item    1       2       3       4    ",
                                           "         _____________________________",
                                           "  1:   1.000   2.500   0.000  -3.000"}));
    QCOMPARE(block[9], QStringLiteral("  7:   0.000   0.000   0.000   0.125"));
    QCOMPARE(block[10], QString());

    Start(Switches(false, true));
    QVERIFY(platform_->messages.empty());
    QCOMPARE(GridText(0, 2), QStringLiteral("2.5"));
    QCOMPARE(GridText(0, 3), QStringLiteral("0"));
    QCOMPARE(GridText(6, 4), QStringLiteral("0.125"));
}

void WorksheetMatrixTest::gridTakesItsSizeFromTheFile() {
    folder_ = std::make_unique<QTemporaryDir>();
    WriteFile(folder_->filePath("orvale.txt"), "2 3 9 8 12 10 13 4 1 2 2e6 4.5 5 1e-7");
    Start(Switches(false, true));
    QVERIFY(platform_->messages.empty());
    QCOMPARE(Grid()->columnCount(), 3);
    QCOMPARE(Grid()->rowCount(), 3);
    QCOMPARE(GridText(1, 2), QStringLiteral("4.5"));
    // Large and small values are shown without an exponent, which a cell could not take, so the
    // next Compute accepts them and writes the same values again.
    QCOMPARE(GridText(1, 1), QStringLiteral("2000000"));
    QCOMPARE(GridText(2, 2), QStringLiteral("0.0000001"));
    QVERIFY(Control<QLabel>("lblCol2")->isVisible());
    QVERIFY(Control<QLabel>("lblCol3")->isHidden());
    Compute();
    QVERIFY(platform_->messages.empty());
    QCOMPARE(ReadFile(DataFile()), QByteArray("2 3 9 8 12 10 13 4 1 2 2e+06 4.5 5 1e-07 "));

    // A size the grid cannot take is reported; the scores still load.
    WriteFile(folder_->filePath("orvale.txt"), "2.5 3 9 8 12 10 13 4 1 2");
    Start(Switches(false, true));
    QCOMPARE(platform_->Texts(Kind::Error).size(), 1);
    QVERIFY(platform_->Texts(Kind::Error)[0].startsWith("The item grid"));
    QCOMPARE(Control<QLineEdit>("txtinput8")->text(), QStringLiteral("4"));
    QCOMPARE(Grid()->columnCount(), 5);  // the configured size, empty
    QCOMPARE(GridText(0, 1), QString());
}

void WorksheetMatrixTest::badGridCellStopsCompute() {
    Start(Switches(true, true));
    Grid()->setItem(2, 3, new QTableWidgetItem("1x"));
    TypeScores(kScores);
    Compute();
    QCOMPARE(
        platform_->Texts(Kind::Warning),
        QStringList(QString::fromUtf8(kInvalidCellMessage.data(), kInvalidCellMessage.size())));
    QCOMPARE(formRuns_, 0);
    QVERIFY(!QFile::exists(DataFile()));
    QVERIFY(Report().isEmpty());
    QCOMPARE(Grid()->currentRow(), 2);
    QCOMPARE(Grid()->currentColumn(), 3);
    QCOMPARE(GridText(2, 3), QStringLiteral("1x"));
}

void WorksheetMatrixTest::activatingAndLeavingSelectGridCells() {
    Start(Switches(false, true));
    worksheet().activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&worksheet()));
    // Activation selects the second data column of the first row.
    QCOMPARE(Grid()->currentRow(), 0);
    QCOMPARE(Grid()->currentColumn(), 2);
    Grid()->setCurrentCell(4, 3);
    Control<QLineEdit>("txtInput1")->setFocus();
    Control<QLineEdit>("txtInput2")->setFocus();
    QCOMPARE(Grid()->currentRow(), 0);
    QCOMPARE(Grid()->currentColumn(), 1);

    Grid()->setFocus();
    Grid()->setCurrentCell(5, 2);
    Control<QLineEdit>("txtInput3")->setFocus();
    QCOMPARE(Grid()->currentRow(), 0);
    QCOMPARE(Grid()->currentColumn(), 1);

    // Leaving from the cell editor, in the middle of typing into a cell, leaves the grid too.
    Grid()->setFocus();
    Grid()->setCurrentCell(4, 3);
    QTest::keyClick(Grid(), Qt::Key_5);
    QVERIFY(Grid()->isAncestorOf(QApplication::focusWidget()));
    Control<QLineEdit>("txtInput3")->setFocus();
    QCOMPARE(GridText(4, 3), QStringLiteral("5"));
    QCOMPARE(Grid()->currentRow(), 0);
    QCOMPARE(Grid()->currentColumn(), 1);
    // Finishing an edit with Enter keeps the focus in the grid: nothing is left.
    Grid()->setFocus();
    Grid()->setCurrentCell(3, 2);
    QTest::keyClick(Grid(), Qt::Key_7);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    QTRY_COMPARE(GridText(3, 2), QStringLiteral("7"));  // the editor closes from the event loop
    QCOMPARE(QApplication::focusWidget(), Grid());
    QCOMPARE(Grid()->currentRow(), 3);
    QCOMPARE(Grid()->currentColumn(), 2);
    // Another window taking the focus (a message box, another program) is not leaving the grid.
    QLineEdit otherWindow;
    otherWindow.show();
    otherWindow.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&otherWindow));
    QCOMPARE(Grid()->currentRow(), 3);
    QCOMPARE(Grid()->currentColumn(), 2);
}

void WorksheetMatrixTest::helpPanelOpensAndCloses() {
    Start(Switches(true, false));
    auto* help = Control<QPushButton>("cmdHelp");
    QVERIFY(help->isVisible());
    QCOMPARE(help->text(), QStringLiteral("Help with matrix..."));
    QWidget* panel = Control<QWidget>("pnlHelp");
    QVERIFY(panel->isHidden());

    QTest::mouseClick(help, Qt::LeftButton);
    QVERIFY(panel->isVisible());
    QCOMPARE(panel->pos(), QPoint(12, 142));
    for (const char* name : {"cmdCompute", "btnclearData", "ExitBtn"}) {
        QVERIFY2(Control<QWidget>(name)->isHidden(), name);
    }
    auto* close = Control<QPushButton>("cmdReturn");
    QVERIFY(close->isVisible());
    QCOMPARE(close->text(), QStringLiteral("Close Help"));
    const QStringList help1 = Control<QPlainTextEdit>("memoHelp")->toPlainText().split(u'\n');
    QCOMPARE(help1.size(), 9);
    QCOMPARE(help1[1], QStringLiteral("extension that KEVRO uses when saving matrix files, or a  "
                                      ".txt extension (files created by "));
    QCOMPARE(Control<QPlainTextEdit>("Memo1")->toPlainText().split(u'\n').last(),
             QStringLiteral("0.664 0.564 0.389 1.000"));
    QCOMPARE(Control<QLabel>("Labelx")->text(),
             QStringLiteral("Title: This is a correlation matrix"));

    QTest::mouseClick(close, Qt::LeftButton);
    QVERIFY(panel->isHidden());
    QVERIFY(close->isHidden());
    for (const char* name : {"cmdCompute", "btnclearData", "ExitBtn"}) {
        QVERIFY2(Control<QWidget>(name)->isVisible(), name);
    }
}

QTEST_MAIN(WorksheetMatrixTest)
#include "test_worksheet_matrix.moc"
