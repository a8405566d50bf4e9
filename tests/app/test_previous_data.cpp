// SPDX-License-Identifier: GPL-3.0-or-later
// The previous-data file: where it lives, how it is written and read back across runs, what
// malformed files do, Clear Data, and the failures that must never lose the old file or the
// report.
#include <QDir>
#include <QTest>
#include <QTextEdit>

#include "app/previous_data.h"
#include "desktop/program_folder.h"
#include "support/program_driver.h"

using orvale::testing::FakePlatform;
using orvale::testing::FileSizeLimit;
using orvale::testing::ProgramDriver;
using orvale::testing::ReadFile;
using orvale::testing::WriteFile;
using Kind = FakePlatform::Kind;

namespace {

const QStringList kScores = {"10", "12", "9", "8", "11", "10", "13", "7"};

}  // namespace

class PreviousDataTest : public QObject {
    Q_OBJECT
  private slots:
    void programFolderOfExePaths_data();
    void programFolderOfExePaths();
    void dataFolderIsTheUsersUnlessPortable();
    void fileNumbers_data();
    void fileNumbers();

    void entriesComeBackOnTheNextStart();
    void fileLayoutsReadBack_data();
    void fileLayoutsReadBack();
    void failedValidationLeavesTheFile();
    void clearDataEmptiesAndDeletes();
    void unwritableFolderStillShowsTheReport();
    void failedWriteKeepsTheOldFile();
};

void PreviousDataTest::programFolderOfExePaths_data() {
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("folder");
    QTest::newRow("drive and folders") << R"(C:\Program Files\Orvale\ORVALE.EXE)"
                                       << R"(C:\Program Files\Orvale)";
    QTest::newRow("mixed case extension") << R"(D:\tools\orvale.ExE)"
                                          << R"(D:\tools)";
    QTest::newRow("root of a drive") << R"(C:\orvale.exe)"
                                     << "C:";
    QTest::newRow("no folder") << "orvale.exe"
                               << "";
    QTest::newRow("no exe") << R"(C:\tools\orvale)"
                            << "";
    QTest::newRow("exe stops the walk") << R"(C:\a.exe.d\b\orvale.exe)"
                                        << "C:";
    QTest::newRow("dot without exe") << R"(C:\v1.2\orvale.exe)"
                                     << R"(C:\v1.2)";
    QTest::newRow("exe too short at the end") << R"(C:\tools\orvale.ex)"
                                              << "";
    QTest::newRow("forward slashes") << "/opt/orvale/orvale.exe"
                                     << "/opt/orvale";
}

void PreviousDataTest::programFolderOfExePaths() {
    QFETCH(QString, path);
    QFETCH(QString, folder);
    QCOMPARE(orvale::GetProgramFolder(path), folder);
}

void PreviousDataTest::dataFolderIsTheUsersUnlessPortable() {
    // The scores live in the user's folder, made only by the first save; a program folder that
    // already holds a data file (a portable copy) keeps it.
    QTemporaryDir scratch;
    const QString program = scratch.filePath("bin");
    const QString user = scratch.filePath("home/.local/share/orvale");
    QDir().mkpath(program);
    QCOMPARE(orvale::ChooseProgramFolder(program, user), user);
    QVERIFY(!QFileInfo::exists(user));
    QVERIFY(!orvale::SavePreviousData(orvale::DataFilePath(user), kScores));
    QCOMPARE(ReadFile(orvale::DataFilePath(user)), QByteArray("10 12 9 8 11 10 13 7 "));
    QVERIFY(QDir(program).isEmpty());
    WriteFile(orvale::DataFilePath(program), "9 9 9 9 9 9 9 9 ");
    QCOMPARE(orvale::ChooseProgramFolder(program, user), program);
}

void PreviousDataTest::fileNumbers_data() {
    QTest::addColumn<QByteArray>("token");
    QTest::addColumn<bool>("valid");
    QTest::addColumn<double>("value");
    QTest::newRow("integer") << QByteArray("12") << true << 12.0;
    QTest::newRow("leading zero") << QByteArray("09") << true << 9.0;
    QTest::newRow("trailing point") << QByteArray("7.") << true << 7.0;
    QTest::newRow("leading point") << QByteArray(".5") << true << 0.5;
    QTest::newRow("plus sign") << QByteArray("+5") << true << 5.0;
    QTest::newRow("minus sign") << QByteArray("-3.25") << true << -3.25;
    QTest::newRow("exponent") << QByteArray("1.25E1") << true << 12.5;
    QTest::newRow("negative exponent") << QByteArray("125e-1") << true << 12.5;
    QTest::newRow("word") << QByteArray("ten") << false << 0.0;
    QTest::newRow("comma") << QByteArray("12,5") << false << 0.0;
    QTest::newRow("two points") << QByteArray("1.2.3") << false << 0.0;
    QTest::newRow("lone point") << QByteArray(".") << false << 0.0;
    QTest::newRow("lone sign") << QByteArray("-") << false << 0.0;
    QTest::newRow("bare exponent") << QByteArray("1e") << false << 0.0;
    QTest::newRow("infinity") << QByteArray("inf") << false << 0.0;
    QTest::newRow("hexadecimal") << QByteArray("0x10") << false << 0.0;
}

void PreviousDataTest::fileNumbers() {
    QFETCH(QByteArray, token);
    QFETCH(bool, valid);
    QFETCH(double, value);
    const std::optional<double> parsed = orvale::ParseFileNumber(token.toStdString());
    QCOMPARE(parsed.has_value(), valid);
    if (valid) QCOMPARE(*parsed, value);
}

void PreviousDataTest::entriesComeBackOnTheNextStart() {
    ProgramDriver program;
    program.Start();
    QStringList typed = kScores;
    typed[0] = "09";
    typed[1] = "7.";
    typed[2] = "12.50";
    program.TypeScores(typed);
    program.field(3)->setText(QStringLiteral("1 1"));  // pasted blank: written without it
    program.Compute();
    QVERIFY(program.platform().messages.empty());
    QCOMPARE(ReadFile(program.dataFile()), QByteArray("09 7. 12.50 11 11 10 13 7 "));

    program.radioGroup("RadioGroup2")->setItemIndex(2);
    program.Restart();
    QCOMPARE(program.FieldTexts(), (QStringList{"9", "7", "12.5", "11", "11", "10", "13", "7"}));
    QVERIFY(program.worksheet().PreviousDataLoaded());
    QCOMPARE(program.radioGroup("RadioGroup2")->itemIndex(), 0);  // options are not kept
    QVERIFY(program.platform().messages.empty());
}

void PreviousDataTest::fileLayoutsReadBack_data() {
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QStringList>("fields");
    QTest::addColumn<QString>("error");
    QTest::newRow("one line") << QByteArray("10 12 9 8 11 10 13 7 ")
                              << QStringList{"10", "12", "9", "8", "11", "10", "13", "7"}
                              << QString();
    QTest::newRow("eight lines, tabs and CR LF")
        << QByteArray("10\r\n12\n\t9\n8\n11\n  10\n13\n7")
        << QStringList{"10", "12", "9", "8", "11", "10", "13", "7"} << QString();
    QTest::newRow("five numbers") << QByteArray("10 12 9 8 11")
                                  << QStringList{"10", "12", "9", "8", "11", "0", "0", "0"}
                                  << QString();
    QTest::newRow("many digits") << QByteArray("10.1234567 1e1 0.000012345 12 12 12 12 12")
                                 << QStringList{"10.1235", "10", "1.2345e-05", "12",
                                                "12",      "12", "12",         "12"}
                                 << QString();
    QTest::newRow("word in third place")
        << QByteArray("10 12 nine 8 11 10 13 7") << QStringList{"10", "12", "", "", "", "", "", ""}
        << "Invalid numeric input";
    QTest::newRow("empty file") << QByteArray()
                                << QStringList{"0", "0", "0", "0", "0", "0", "0", "0"} << QString();
}

void PreviousDataTest::fileLayoutsReadBack() {
    QFETCH(QByteArray, content);
    QFETCH(QStringList, fields);
    QFETCH(QString, error);
    ProgramDriver program;
    WriteFile(program.dataFile(), content);
    program.Start();
    QCOMPARE(program.FieldTexts(), fields);
    QCOMPARE(program.platform().Texts(Kind::Error),
             error.isEmpty() ? QStringList() : QStringList{error});
    QCOMPARE(program.worksheet().PreviousDataLoaded(), error.isEmpty());
    for (int k = 0; k < 8; ++k) QVERIFY(program.field(k)->isVisible());
    QVERIFY(program.worksheet().isVisible());
}

void PreviousDataTest::failedValidationLeavesTheFile() {
    ProgramDriver program;
    program.Start();
    program.TypeScores(kScores);
    program.Compute();
    const QByteArray saved = ReadFile(program.dataFile());
    program.Click(program.resultsControl("cmdReturn"));
    program.field(4)->setText(QStringLiteral("25"));
    program.Compute();
    QCOMPARE(program.platform().Texts(Kind::Warning).size(), 1);
    QCOMPARE(ReadFile(program.dataFile()), saved);
    program.Restart();
    QCOMPARE(program.FieldTexts(), kScores);
}

void PreviousDataTest::clearDataEmptiesAndDeletes() {
    ProgramDriver program;
    program.Start();
    program.TypeScores(kScores);
    auto* notes = program.worksheet().findChild<QTextEdit*>("memoComments");
    notes->setPlainText(QStringLiteral("notes"));
    program.radioGroup("RadioGroup3")->setItemIndex(1);
    program.Compute();
    QVERIFY(QFile::exists(program.dataFile()));
    program.Click(program.resultsControl("cmdReturn"));
    program.Click(program.worksheetControl("btnclearData"));
    QCOMPARE(program.FieldTexts(), QStringList(8, QString()));
    QVERIFY(notes->toPlainText().isEmpty());
    QVERIFY(!QFile::exists(program.dataFile()));
    QCOMPARE(program.worksheet().focusWidget(), program.field(0));
    QCOMPARE(program.radioGroup("RadioGroup3")->itemIndex(), 1);  // options untouched
    QVERIFY(!program.memoResults()->toPlainText().isEmpty());     // so is the report
    QVERIFY(program.platform().messages.empty());                 // no question asked
    program.Restart();
    QCOMPARE(program.FieldTexts(), QStringList(8, QString()));
    QCOMPARE(program.worksheet().focusWidget(), program.field(0));
}

void PreviousDataTest::unwritableFolderStillShowsTheReport() {
    // The program folder is a regular file: nothing can be created in it.
    QTemporaryDir scratch;
    const QString notAFolder = scratch.filePath("not-a-folder");
    WriteFile(notAFolder, "x");
    FakePlatform platform(notAFolder);
    orvale::ProgramWindows windows(platform);
    QVERIFY(platform.messages.empty());
    auto* field = windows.worksheet().findChild<QLineEdit*>("txtInput1");
    for (int k = 0; k < 8; ++k) {
        windows.worksheet()
            .findChild<QLineEdit*>(QString::fromLatin1(orvale::testing::kFieldNames.at(k)))
            ->setText(kScores[k]);
    }
    windows.worksheet().cmdComputeClick();
    const QStringList errors = platform.Texts(Kind::Error);
    QCOMPARE(errors.size(), 1);
    QVERIFY(errors[0].contains(QStringLiteral("orvale.txt")));
    QVERIFY(windows.results().isVisible());
    QVERIFY(!windows.results().findChild<QPlainTextEdit*>("memoResults")->toPlainText().isEmpty());
    QCOMPARE(ReadFile(notAFolder), QByteArray("x"));
    QCOMPARE(field->text(), kScores[0]);
}

void PreviousDataTest::failedWriteKeepsTheOldFile() {
    ProgramDriver program;
    const QByteArray old = "11 11 11 11 11 11 11 11 ";
    WriteFile(program.dataFile(), old);
    program.Start();
    program.TypeScores(kScores);
    {
        const FileSizeLimit limit(4);  // the new line cannot be written in full
        program.Compute();
    }
    const QStringList errors = program.platform().Texts(Kind::Error);
    QCOMPARE(errors.size(), 1);
    QVERIFY2(errors[0].contains(QStringLiteral("File too large")), qPrintable(errors[0]));
    QCOMPARE(ReadFile(program.dataFile()), old);
    QVERIFY(program.results().isVisible());
    QVERIFY(program.ResultLines().contains(
        QStringLiteral(" VOCABULARY subtest scaled score =            11")));
    QCOMPARE(QDir(program.folder()).entryList(QDir::Files), QStringList{"orvale.txt"});
}

QTEST_MAIN(PreviousDataTest)
#include "test_previous_data.moc"
