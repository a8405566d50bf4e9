// SPDX-License-Identifier: GPL-3.0-or-later
// Case files through the real worksheet: save, reopen in a new run and reproduce the report (and
// orvale-score --case gives the same report), the modified mark and the Save/Discard/Cancel
// question, bad files that change nothing, dropped files, and the flows without a case file.
#include <sys/stat.h>

#include <QMenuBar>
#include <QMimeData>
#include <QProcess>
#include <QRadioButton>
#include <QTest>
#include <QTextBrowser>
#include <QTextEdit>

#include "app/case_document.h"
#include "app/notes_memo.h"
#include "batch/case_file.h"
#include "desktop/core_text.h"
#include "files/case_file_read.h"
#include "report/program_info.h"
#include "support/program_driver.h"

using orvale::testing::FakePlatform;
using orvale::testing::ProgramDriver;
using orvale::testing::ReadFile;
using orvale::testing::WriteFile;
using Kind = FakePlatform::Kind;
using SaveChoice = orvale::Platform::SaveChoice;

namespace {

const QStringList kScores = {"10", "15", "10", "10", "16", "10", "10", "10"};

orvale::CaseValues ParseCase(const QString& path) {
    return orvale::ReadCaseFile(orvale::FileNameBytes(path)).values.value_or(orvale::CaseValues{});
}

}  // namespace

class CaseFileTest : public orvale::testing::ProgramTest {
    Q_OBJECT
  private slots:
    void savedCaseReopensAndReproducesTheReport();
    void modifiedCaseAsksBeforeItIsLeft();
    void withoutCaseFileNothingNewIsAsked();
    void badCaseFilesChangeNothing_data();
    void badCaseFilesChangeNothing();
    void droppedCaseFileOpens();
    void notesWrapAsTheBoxShowsThem();
    void menusAndTheRecentList();
    void saveKeysOfTheReadme();

  private:
    QTextEdit* notes() { return program_->worksheet().findChild<QTextEdit*>("memoComments"); }
    QAction* action(const char* name) {
        return program_->worksheet().findChild<QAction*>(QString::fromLatin1(name));
    }
    QString SaveSampleCase(const QString& name);
};

QString CaseFileTest::SaveSampleCase(const QString& name) {
    program_->TypeScores(kScores);
    program_->radioGroup("RadioGroup2")->setItemIndex(3);
    program_->radioGroup("RadioGroup3")->setItemIndex(1);
    program_->radioGroup("RadioGroup1")->setItemIndex(1);
    program_->radioGroup("RadioGroup4")->setItemIndex(1);
    program_->worksheet().findChild<QRadioButton*>("RadioButton3")->setChecked(true);
    // A no-break space, and a U+FEFF at the very start, are saved as typed, as the report shows
    // them.
    notes()->setPlainText(
        QStringLiteral("\uFEFFCase\u00A00417\nReferred by the school for reading "
                       "difficulties and for a slow pace in class work; retest in six months"));
    program_->platform().saveAnswers.push_back(program_->folder() + '/' + name);
    action("mnuSaveCaseAs")->trigger();
    return program_->folder() + '/' + name + ".orvale";
}

void CaseFileTest::savedCaseReopensAndReproducesTheReport() {
    const QString path = SaveSampleCase(QStringLiteral("child"));
    QCOMPARE(program_->platform().saveFilters.last(), QStringLiteral("ORVALE cases (*.orvale)"));
    QVERIFY(program_->platform().messages.empty());
    QCOMPARE(program_->worksheet().Case().FilePath(), path);
    QVERIFY(program_->worksheet().windowTitle().startsWith("child.orvale[*] - "));
    QVERIFY(!program_->worksheet().isWindowModified());
    program_->Compute();
    // The memo's document as it holds the report, a no-break space kept (toPlainText drops it).
    const auto report = [this] {
        return program_->memoResults()->document()->toRawText().replace(QChar::ParagraphSeparator,
                                                                        u'\n');
    };
    const QString first = report();
    QVERIFY(first.contains(u"\uFEFFCase\u00A00417"));

    // Next week: a new run, the case opened from the recent list, the same report.
    program_->Restart();
    program_->TypeScores(QStringList(8, "3"));
    QAction* recent = action("mnuRecentCase1");
    QVERIFY(recent != nullptr);
    QCOMPARE(recent->data().toString(), path);
    recent->trigger();
    QCOMPARE(program_->field(1)->text(), QStringLiteral("15"));
    QVERIFY(program_->results().isHidden());  // opening does not compute
    QVERIFY(!program_->worksheet().Case().Modified());
    program_->Compute();
    QCOMPARE(report(), first);

    QProcess scorer;
    scorer.start(QStringLiteral(ORVALE_SCORE_PATH), {QStringLiteral("--case"), path});
    QVERIFY(scorer.waitForFinished(30000));
    QCOMPARE(scorer.exitCode(), 0);
    QCOMPARE(QString::fromUtf8(scorer.readAllStandardOutput()), first);
}

void CaseFileTest::modifiedCaseAsksBeforeItIsLeft() {
    const QString path = SaveSampleCase(QStringLiteral("first"));
    const QByteArray saved = ReadFile(path);
    FakePlatform& platform = program_->platform();
    program_->field(0)->setFocus();
    QTest::keyClick(program_->field(0), Qt::Key_9);
    QVERIFY(program_->worksheet().isWindowModified());

    // Cancel keeps everything; Discard goes on without saving; Save writes the change first.
    const QString other = SaveSampleCase(QStringLiteral("second"));
    QTest::keyClick(program_->field(0), Qt::Key_End);
    QTest::keyClick(program_->field(0), Qt::Key_1);
    platform.Clear();
    platform.saveChoices = {SaveChoice::Cancel};
    platform.openAnswers = {path};
    action("mnuOpenCase")->trigger();
    QCOMPARE(platform.Texts(Kind::SaveQuestion),
             QStringList{"The case second.orvale has been changed. Save the changes?"});
    QCOMPARE(program_->worksheet().Case().FilePath(), other);
    QCOMPARE(platform.openAnswers.size(), std::size_t{1});  // no dialog after Cancel

    platform.saveChoices = {SaveChoice::Discard};
    action("mnuOpenCase")->trigger();
    QCOMPARE(program_->worksheet().Case().FilePath(), path);
    QCOMPARE(ReadFile(path), saved);
    QCOMPARE(QString::fromStdString(ParseCase(other).entries[0]), QStringLiteral("10"));

    QTest::keyClick(program_->field(2), Qt::Key_Backspace);
    platform.Clear();
    platform.confirmAnswers = {true, true};
    platform.saveChoices = {SaveChoice::Cancel, SaveChoice::Save};
    program_->Click(program_->worksheetControl("ExitBtn"));
    QCOMPARE(platform.endApplicationCalls, 0);
    program_->Click(program_->worksheetControl("ExitBtn"));
    QCOMPARE(platform.endApplicationCalls, 1);
    QCOMPARE(QString::fromStdString(ParseCase(path).entries[2]),
             QStringLiteral("1"));  // saved on the way out
    QCOMPARE(platform.Texts(Kind::Confirm), QStringList(2, "Exit from program?"));
}

void CaseFileTest::withoutCaseFileNothingNewIsAsked() {
    FakePlatform& platform = program_->platform();
    program_->TypeScores(kScores);
    QCOMPARE(program_->worksheet().windowTitle(), QString::fromLatin1(orvale::kProgramTitle));
    platform.confirmAnswers = {true, true};
    program_->Click(program_->worksheetControl("ExitBtn"));
    program_->Compute();
    program_->Click(program_->resultsControl("cmdExit"));
    program_->Click(program_->resultsControl("cmdReturn"));
    program_->worksheet().close();
    QCOMPARE(platform.Texts(Kind::Confirm), QStringList(2, "Exit from program?"));
    QVERIFY(platform.Texts(Kind::SaveQuestion).isEmpty());
    QCOMPARE(platform.endApplicationCalls, 3);
    QCOMPARE(ReadFile(program_->dataFile()), QByteArray("10 15 10 10 16 10 10 10 "));
}

void CaseFileTest::badCaseFilesChangeNothing_data() {
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("reason");
    QTest::newRow("not JSON") << "csv"
                              << "it is not a case file (no valid JSON: ";
    QTest::newRow("wrong schema") << "schema"
                                  << "its schema version is 7; this program reads";
    QTest::newRow("bad score") << "score"
                               << "the CODING entry \"--3\" is not a number";
    QTest::newRow("option out of range") << "option"
                                         << "the option \"ci\" must be 95 or 90";
    QTest::newRow("huge file") << "huge"
                               << "the file is larger than 64 KiB";
    QTest::newRow("FIFO") << "fifo"
                          << "it is not a regular file";
    QTest::newRow("folder") << "folder"
                            << "it is a folder, not a file";
    QTest::newRow("missing") << "missing"
                             << "No such file or directory";
}

void CaseFileTest::badCaseFilesChangeNothing() {
    QFETCH(QString, kind);
    QFETCH(QString, reason);
    const QString path = SaveSampleCase(QStringLiteral("good"));
    QByteArray content = ReadFile(path);
    const QString bad = program_->folder() + QStringLiteral("/bad.orvale");
    if (kind == "csv") WriteFile(bad, "BD,SI\n10,12\n");
    if (kind == "schema") WriteFile(bad, content.replace("\"schema\": 1", "\"schema\": 7"));
    if (kind == "score") WriteFile(bad, content.replace("\"CD\": \"10\"", "\"CD\": \"--3\""));
    if (kind == "option") WriteFile(bad, content.replace("\"ci\": 90", "\"ci\": 80"));
    if (kind == "huge") WriteFile(bad, content + QByteArray(70 * 1024, ' '));
    if (kind == "fifo") QCOMPARE(::mkfifo(QFile::encodeName(bad).constData(), 0600), 0);
    if (kind == "folder") QVERIFY(QDir().mkdir(bad));

    program_->TypeScores(QStringList(8, "4"));
    notes()->setPlainText(QStringLiteral("other child"));
    const orvale::ScoringOptions before = program_->worksheet().Options();
    program_->platform().Clear();
    program_->platform().saveChoices = {SaveChoice::Discard};
    program_->platform().openAnswers = {bad};
    action("mnuOpenCase")->trigger();
    const QStringList warnings = program_->platform().Texts(Kind::Warning);
    QCOMPARE(warnings.size(), 1);
    QVERIFY2(warnings[0].startsWith("The case could not be opened from " + bad + ": " + reason),
             qPrintable(warnings[0]));
    for (int k = 0; k < 8; ++k) QCOMPARE(program_->field(k)->text(), QStringLiteral("4"));
    QCOMPARE(notes()->toPlainText(), QStringLiteral("other child"));
    QCOMPARE(program_->worksheet().Options().confidenceMethod, before.confidenceMethod);
    QCOMPARE(program_->worksheet().Case().FilePath(), path);
}

void CaseFileTest::droppedCaseFileOpens() {
    const QString path = SaveSampleCase(QStringLiteral("dropped"));
    program_->Click(program_->worksheetControl("btnclearData"));
    program_->Restart();
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(path)});
    QWidget& sheet = program_->worksheet();
    QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&sheet, &enter);
    QVERIFY(enter.isAccepted());
    QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&sheet, &drop);
    QCOMPARE(program_->worksheet().Case().FilePath(), path);
    QCOMPARE(program_->field(4)->text(), QStringLiteral("16"));
    QCOMPARE(program_->worksheet().Options().cutoffIndex, 3);

    data.setUrls({QUrl::fromLocalFile(program_->folder() + "/notes.txt")});
    QDragEnterEvent other(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    other.setAccepted(false);
    QCoreApplication::sendEvent(&sheet, &other);
    QVERIFY(!other.isAccepted());
}

void CaseFileTest::notesWrapAsTheBoxShowsThem() {
    // orvale-score --case reproduces the box's lines without a box: the two must agree.
    const QString word = QStringLiteral("abcdefghij");
    const QStringList texts = {
        QStringLiteral("Referred by the school for reading difficulties; ").repeated(4).trimmed(),
        word.repeated(12),
        QStringLiteral("a\n\nb\n"),
        QStringLiteral("x ").repeated(60),
        QStringLiteral("Case 0417   retest in six months, ") + word.repeated(9) + " end",
        QString(88, u'y') + QStringLiteral(" z ") + QString(92, u'w'),
    };
    for (const QString& text : texts) {
        notes()->setPlainText(text);
        QStringList expected;
        for (const std::string& line : orvale::NotesLines(text.toStdString())) {
            expected << QString::fromStdString(line);
        }
        QCOMPARE(orvale::DisplayedLines(*notes()), expected);
    }
}

void CaseFileTest::menusAndTheRecentList() {
    const auto captions = [](const QList<QAction*>& actions) {
        QStringList texts;
        for (const QAction* item : actions) {
            if (!item->isSeparator()) texts << item->text().remove(u'&');
        }
        return texts;
    };
    auto* file = program_->worksheet().findChild<QMenu*>("mnuFile");
    QCOMPARE(captions(program_->worksheet().findChild<QMenuBar*>("MainMenu")->actions()),
             (QStringList{"File", "Help"}));
    QCOMPARE(captions(file->actions()), (QStringList{"Open Case...", "Save Case", "Save Case As...",
                                                     "Score a Batch...", "Exit"}));

    // Nine cases saved: the eight latest are listed, the newest first.
    QTemporaryDir folder;
    for (int i = 1; i <= 9; ++i) {
        program_->platform().saveAnswers = {
            folder.filePath(QStringLiteral("case%1.orvale").arg(i))};
        action("mnuSaveCaseAs")->trigger();
    }
    QStringList expected{"Open Case...", "Save Case", "Save Case As..."};
    for (int k = 1; k <= 8; ++k) expected << QStringLiteral("%1 case%2.orvale").arg(k).arg(10 - k);
    expected << "Score a Batch..."
             << "Exit";
    QCOMPARE(captions(file->actions()), expected);
    // A listed case that has gone: a warning that names it, and it leaves the list.
    QVERIFY(QFile::remove(folder.filePath("case5.orvale")));
    action("mnuRecentCase5")->trigger();
    const QStringList warnings = program_->platform().Texts(Kind::Warning);
    QCOMPARE(warnings.size(), 1);
    QVERIFY(warnings[0].contains(folder.filePath("case5.orvale")));
    expected.removeAt(7);
    for (int k = 5; k <= 7; ++k)
        expected[2 + k] = QStringLiteral("%1 case%2.orvale").arg(k).arg(9 - k);
    QCOMPARE(captions(file->actions()), expected);

    // Help: the README's how-to in a window, and About with the version and licence.
    action("mnuHowToUse")->trigger();
    auto* help = program_->worksheet().findChild<QTextBrowser*>("HowToUse");
    QVERIFY(help != nullptr && help->isVisible());
    QVERIFY(help->toPlainText().contains("Score a Batch..."));
    action("mnuAbout")->trigger();
    const QString about = program_->platform().Texts(Kind::Information).value(0);
    QVERIFY(about.contains(QStringLiteral("ORVALE version ") + orvale::kProgramVersion));
    QVERIFY(about.contains("GNU General Public License"));
    // Exit asks the Exit button's question; No keeps the program.
    action("mnuExit")->trigger();
    QCOMPARE(program_->platform().Texts(Kind::Confirm), QStringList{"Exit from program?"});
    QCOMPARE(program_->platform().endApplicationCalls, 0);
}

// The README's keys: Ctrl+Shift+S saves under a name it asks for, Ctrl+S saves the case in use
// without asking.
void CaseFileTest::saveKeysOfTheReadme() {
    program_->TypeScores(kScores);
    FakePlatform& platform = program_->platform();
    QWidget& sheet = program_->worksheet();
    const QString first = program_->folder() + QStringLiteral("/first.orvale");
    const QString second = program_->folder() + QStringLiteral("/second.orvale");
    platform.saveAnswers = {first};
    QTest::keyClick(&sheet, Qt::Key_S, Qt::ControlModifier | Qt::ShiftModifier);
    QCOMPARE(program_->worksheet().Case().FilePath(), first);

    QTest::keyClick(program_->field(1), Qt::Key_Backspace);
    QTest::keyClick(&sheet, Qt::Key_S, Qt::ControlModifier);
    QCOMPARE(QString::fromStdString(ParseCase(first).entries[1]), QStringLiteral("1"));
    QCOMPARE(platform.offeredSaveNames, QStringList{"case.orvale"});

    platform.saveAnswers = {second};
    QTest::keyClick(&sheet, Qt::Key_S, Qt::ControlModifier | Qt::ShiftModifier);
    QCOMPARE(platform.offeredSaveNames, (QStringList{"case.orvale", first}));
    QCOMPARE(program_->worksheet().Case().FilePath(), second);
    QVERIFY(platform.messages.empty());
}

QTEST_MAIN(CaseFileTest)
#include "test_case_files.moc"
