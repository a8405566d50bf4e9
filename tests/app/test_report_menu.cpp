// SPDX-License-Identifier: GPL-3.0-or-later
// The viewer's Report and Help menus through the real window: enabled only after a Compute and
// until Clear Results, Copy Report, the chart window (non-modal, resizable, Save Image... as PNG
// and SVG, Copy), Export PDF... and Export OpenDocument... of an edited memo, and About.
#include <QAction>
#include <QImage>
#include <QMenuBar>
#include <QProcess>
#include <QPushButton>
#include <QTest>

#include "report/program_info.h"
#include "support/program_driver.h"
#include "viewer/chart_window.h"

using orvale::testing::FakePlatform;
using orvale::testing::ProgramDriver;
using orvale::testing::ReadFile;
using Kind = FakePlatform::Kind;

namespace {
const QStringList kScores = {"12", "11", "9", "8", "13", "10", "12", "7"};
const char* const kReportActions[] = {"mnuProfileChart", "mnuExportPdf", "mnuExportOdt",
                                      "mnuCopyReport"};
}  // namespace

class ReportMenuTest : public orvale::testing::ProgramTest {
    Q_OBJECT
  private slots:
    void itemsFollowComputeAndClear();
    void chartWindowSavesAndCopies();
    void exportsKeepTheEditedMemo();
    void aboutNamesTheVersion();

  private:
    QAction* Action(const char* name) {
        return program_->results().findChild<QAction*>(QString::fromLatin1(name));
    }
    void Compute() {
        program_->TypeScores(kScores);
        program_->Compute();
    }
};

void ReportMenuTest::itemsFollowComputeAndClear() {
    // "Report" stands after "Printer options..." in the menu bar.
    QStringList menus;
    for (QAction* action : program_->results().menuBar()->actions())
        menus << action->text().remove(u'&');
    QCOMPARE(menus.mid(0, 2), (QStringList{"Printer options...", "Report"}));
    for (const char* name : kReportActions) QVERIFY(!Action(name)->isEnabled());
    Compute();
    for (const char* name : kReportActions) QVERIFY(Action(name)->isEnabled());
    // Copied as typed: a no-break space in the memo stays one.
    program_->memoResults()->appendPlainText(QStringLiteral("a\u00A0b"));
    Action("mnuCopyReport")->trigger();
    QVERIFY(program_->platform().clipboardText.endsWith(QStringLiteral("\na\u00A0b")));
    program_->Click(program_->resultsControl("cmdClearResults"));
    for (const char* name : kReportActions) QVERIFY(!Action(name)->isEnabled());
    QVERIFY(program_->platform().messages.empty());
}

void ReportMenuTest::chartWindowSavesAndCopies() {
    Compute();
    Action("mnuProfileChart")->trigger();
    orvale::ChartWindow* chart = program_->results().chartWindow();
    QVERIFY(chart != nullptr && chart->isVisible());
    QVERIFY(!chart->isModal());
    chart->resize(900, 700);  // resizable
    QCOMPARE(chart->size(), QSize(900, 700));

    QTemporaryDir folder;
    FakePlatform& platform = program_->platform();
    // A name typed without an extension gets the PNG picture's.
    platform.saveAnswers = {folder.filePath("chart"), folder.filePath("chart.svg")};
    auto* save = chart->findChild<QPushButton*>("cmdSaveImage");
    QTest::mouseClick(save, Qt::LeftButton);
    QTest::mouseClick(save, Qt::LeftButton);
    QCOMPARE(platform.offeredSaveNames.value(0), QStringLiteral("profile.png"));
    const QImage png = QImage::fromData(ReadFile(folder.filePath("chart.png")), "PNG");
    QCOMPARE(png.size(), QSize(1400, 1000));
    const QByteArray svg = ReadFile(folder.filePath("chart.svg"));
    QVERIFY(svg.contains("<svg"));
    QVERIFY(svg.contains("95% CLs using traditional method"));

    QTest::mouseClick(chart->findChild<QPushButton*>("cmdCopyImage"), Qt::LeftButton);
    QCOMPARE(platform.clipboardImage.size(), QSize(1400, 1000));
    QVERIFY(platform.messages.empty());
    // Clear Results leaves nothing to show.
    program_->Click(program_->resultsControl("cmdClearResults"));
    QVERIFY(!chart->isVisible());
}

void ReportMenuTest::exportsKeepTheEditedMemo() {
    Compute();
    // A no-break space typed in the memo is exported as typed.
    program_->memoResults()->appendPlainText(QStringLiteral("Seen by the school, 3\u00A0May"));
    QTemporaryDir folder;
    FakePlatform& platform = program_->platform();
    platform.saveAnswers = {folder.filePath("case"), folder.filePath("case.odt")};  // + ".pdf"
    Action("mnuExportPdf")->trigger();
    Action("mnuExportOdt")->trigger();
    QCOMPARE(platform.offeredSaveNames, (QStringList{"results.pdf", "results.odt"}));
    QCOMPARE(platform.saveFilters, (QStringList{"*.pdf", "*.odt"}));
    QVERIFY(platform.messages.empty());

    QProcess text;
    text.start("pdftotext", {"-layout", folder.filePath("case.pdf"), "-"});
    QVERIFY(text.waitForFinished());
    QVERIFY(text.readAllStandardOutput().contains("Seen by the school, 3"));
    QProcess content;
    content.start("unzip", {"-p", folder.filePath("case.odt"), "content.xml"});
    QVERIFY(content.waitForFinished());
    QVERIFY(content.readAllStandardOutput().contains("Seen by the school, 3\xC2\xA0May"));

    // A folder that is not there: the error box names the file, nothing is left behind.
    platform.saveAnswers = {folder.filePath("missing/case.pdf")};
    Action("mnuExportPdf")->trigger();
    QCOMPARE(platform.Texts(Kind::Error).size(), 1);
    QVERIFY(platform.Texts(Kind::Error).value(0).contains("missing/case.pdf"));
    QVERIFY(platform.Texts(Kind::Error).value(0).contains("No such file or directory"));
}

void ReportMenuTest::aboutNamesTheVersion() {
    Action("mnuAbout")->trigger();
    const QStringList shown = program_->platform().Texts(Kind::Information);
    QCOMPARE(shown.size(), 1);
    QVERIFY(shown[0].contains(QStringLiteral("ORVALE version ") + orvale::kProgramVersion));
    QVERIFY(shown[0].contains(QStringLiteral("GNU General Public License, version 3")));
}

QTEST_MAIN(ReportMenuTest)
#include "test_report_menu.moc"
