// SPDX-License-Identifier: GPL-3.0-or-later
// The results viewer: Save Output (CR LF lines, replacing, empty memo, failures), printing to a
// PDF printer through the platform, the line-printer layout rules, and the memo's look.

#include <sys/stat.h>
#include <sys/sysmacros.h>

#include <QAction>
#include <QDir>
#include <QPrinter>
#include <QTest>
#include <cmath>

#include "support/program_driver.h"
#include "viewer/text_device.h"

using orvale::PrintedLine;
using orvale::testing::FakePlatform;
using orvale::testing::PdfPageCount;
using orvale::testing::ProgramDriver;
using orvale::testing::ReadFile;
using orvale::testing::WriteFile;
using Kind = FakePlatform::Kind;

namespace {

const QStringList kScores = {"12", "11", "9", "8", "13", "10", "12", "7"};

// Monospaced stand-in metrics: 10 pixels a character, a 10-pixel font, a 100 x 100 page.
orvale::TextDeviceMetrics SmallPage() {
    return {[](const QString& text) { return static_cast<int>(text.size()) * 10; }, 10, 100, 100};
}

QString Describe(const std::vector<PrintedLine>& lines) {
    QStringList parts;
    for (const PrintedLine& line : lines) {
        parts.append(QStringLiteral("%1@%2:%3").arg(line.page).arg(line.top).arg(line.text));
    }
    return parts.join(u' ');
}

}  // namespace

class ResultsViewerTest : public QObject {
    Q_OBJECT
  private slots:
    void init() {
        program_ = std::make_unique<ProgramDriver>();
        program_->Start();
        program_->TypeScores(kScores);
        program_->Compute();
        QVERIFY(program_->results().isVisible());
    }
    void cleanup() { program_.reset(); }

    void memoWrapsInCourierAndKeepsSelectionVisible();
    void saveWritesCrLfLinesAndReplaces();
    void saveCancelledOrFailedChangesNothing();
    void saveOntoDevicesWritesThroughOrRefuses();
    void saveOfEmptyMemoMakesEmptyFile();
    void printWithoutPrinterReportsError();
    void printAllPaginatesLongReports();
    void printSelectionNeedsSelection();
    void textDeviceLayout_data();
    void textDeviceLayout();

  private:
    void Save() { program_->Click(program_->resultsControl("cmdSaveOutput")); }
    void Trigger(const char* action) {
        program_->results().findChild<QAction*>(QString::fromLatin1(action))->trigger();
    }
    std::unique_ptr<ProgramDriver> program_;
};

void ResultsViewerTest::memoWrapsInCourierAndKeepsSelectionVisible() {
    QPlainTextEdit* memo = program_->memoResults();
    QVERIFY(!memo->isReadOnly());
    QCOMPARE(memo->font().families().value(0), QStringLiteral("Courier New"));
    QCOMPARE(memo->font().pixelSize(), 12);
    QCOMPARE(memo->lineWrapMode(), QPlainTextEdit::WidgetWidth);
    const QPalette palette = memo->palette();
    QCOMPARE(palette.color(QPalette::Inactive, QPalette::Highlight),
             palette.color(QPalette::Active, QPalette::Highlight));
    // The widest report lines (103 characters) fit the memo without wrapping.
    const QFontMetrics metrics(memo->font());
    QVERIFY(metrics.horizontalAdvance(QString(103, u'-')) <=
            memo->viewport()->width() - 2 * memo->document()->documentMargin());
    const QList<QAction*> menu = program_->results().findChildren<QAction*>();
    QStringList captions;
    for (const QAction* action : menu) captions.append(action->text().remove(u'&'));
    QVERIFY(captions.contains(QStringLiteral("Printer options...")));
    QVERIFY(captions.contains(QStringLiteral("Print All")));
    QVERIFY(captions.contains(QStringLiteral("Print Selection")));
}

void ResultsViewerTest::saveWritesCrLfLinesAndReplaces() {
    QTemporaryDir folder;
    const QString path = folder.filePath("case.txt");
    FakePlatform& platform = program_->platform();
    platform.saveAnswers = {path, path, path};
    Save();
    QCOMPARE(platform.offeredSaveNames, QStringList{"results.txt"});
    QCOMPARE(platform.saveFilters, QStringList{"*.txt"});
    const QByteArray saved = ReadFile(path);
    const QStringList memoLines = program_->ResultLines();
    QByteArray expected;
    for (const QString& line : memoLines.mid(0, memoLines.size() - 1)) {
        expected += line.toUtf8() + "\r\n";
    }
    QCOMPARE(saved, expected);
    QVERIFY(saved.endsWith("\r\n"));
    QCOMPARE(saved.count("\n"), saved.count("\r\n"));

    // The same name again replaces the file (the dialog asked); the last name is offered.
    program_->memoResults()->setPlainText(QStringLiteral("edited\nby hand"));
    Save();
    QCOMPARE(platform.offeredSaveNames.value(1), path);
    QCOMPARE(ReadFile(path), QByteArray("edited\r\nby hand\r\n"));
    // A no-break space typed in the memo (or in the notes it shows) is saved as typed.
    program_->memoResults()->setPlainText(QStringLiteral("a\u00A0b"));
    Save();
    QCOMPARE(ReadFile(path), QByteArray("a\xC2\xA0"
                                        "b\r\n"));
    QVERIFY(platform.messages.empty());
    QCOMPARE(QDir(folder.path()).entryList(QDir::Files), QStringList{"case.txt"});
}

void ResultsViewerTest::saveCancelledOrFailedChangesNothing() {
    FakePlatform& platform = program_->platform();
    const QString memoText = program_->memoResults()->toPlainText();
    Save();  // cancelled
    QVERIFY(platform.messages.empty());
    QCOMPARE(platform.offeredSaveNames.size(), 1);

    QTemporaryDir folder;
    platform.saveAnswers = {folder.filePath("missing/folder/results.txt")};
    Save();
    QCOMPARE(platform.Texts(Kind::Error).size(), 1);
    QVERIFY(platform.Texts(Kind::Error)[0].contains(QStringLiteral("missing/folder/results.txt")));
    QCOMPARE(program_->memoResults()->toPlainText(), memoText);
    QVERIFY(program_->results().isVisible());

    // A write cut short (a full disk) leaves the earlier file whole.
    const QString path = folder.filePath("results.txt");
    WriteFile(path, "earlier results\r\n");
    platform.saveAnswers = {path};
    {
        const orvale::testing::FileSizeLimit limit(100);
        Save();
    }
    QCOMPARE(platform.Texts(Kind::Error).size(), 2);
    QVERIFY(platform.Texts(Kind::Error).join(u'\n').contains(QStringLiteral("File too large")));
    QCOMPARE(ReadFile(path), QByteArray("earlier results\r\n"));
    QCOMPARE(QDir(folder.path()).entryList(QDir::Files), QStringList{"results.txt"});
}

void ResultsViewerTest::saveOntoDevicesWritesThroughOrRefuses() {
    // A null and a full device (made by mknod, which needs root) and a folder, as a save dialog
    // may return them after its replace question: each stays what it was.
    QTemporaryDir folder;
    const QByteArray null = QFile::encodeName(folder.filePath("null"));
    const QByteArray full = QFile::encodeName(folder.filePath("full"));
    if (::mknod(null.constData(), S_IFCHR | 0600, makedev(1, 3)) != 0 ||
        ::mknod(full.constData(), S_IFCHR | 0600, makedev(1, 7)) != 0) {
        QSKIP("mknod needs root");
    }
    FakePlatform& platform = program_->platform();
    platform.saveAnswers = {QString::fromLocal8Bit(null), QString::fromLocal8Bit(full),
                            folder.path()};
    for (int k = 0; k < 3; ++k) Save();
    const QStringList errors = platform.Texts(Kind::Error);
    QCOMPARE(errors.size(), 2);
    QVERIFY(errors[0].contains(QString::fromLocal8Bit(full)));
    QVERIFY(errors[0].contains(QStringLiteral("No space left on device")));
    QVERIFY(errors[1].contains(QStringLiteral("it is a folder, not a file")));
    for (const QByteArray& node : {null, full}) {
        struct stat info {};
        QVERIFY(::lstat(node.constData(), &info) == 0 && S_ISCHR(info.st_mode));
    }
    QCOMPARE(QDir(folder.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::System),
             QStringList({"full", "null"}));
}

void ResultsViewerTest::saveOfEmptyMemoMakesEmptyFile() {
    QTemporaryDir folder;
    const QString path = folder.filePath("empty.txt");
    WriteFile(path, "old content");
    program_->Click(program_->resultsControl("cmdClearResults"));
    program_->platform().saveAnswers = {path};
    Save();
    QVERIFY(QFile::exists(path));
    QCOMPARE(ReadFile(path), QByteArray());
    QVERIFY(program_->platform().messages.empty());
}

void ResultsViewerTest::printWithoutPrinterReportsError() {
    FakePlatform& platform = program_->platform();
    QCOMPARE(platform.printerQueries, 0);  // nothing asks for the printer until printing
    Trigger("mnuPrint");
    QCOMPARE(platform.Texts(Kind::Error),
             QStringList{QStringLiteral("There is no default printer currently selected")});
    QCOMPARE(platform.printerQueries, 1);
    QVERIFY(program_->results().isVisible());
}

void ResultsViewerTest::printAllPaginatesLongReports() {
    QTemporaryDir folder;
    const QString pdf = folder.filePath("all.pdf");
    FakePlatform& platform = program_->platform();
    // Pages for a memo of this many lines, within the line heights of the printer's font: a
    // text line is the font height plus 2 device pixels, an empty line the font height, and a
    // page takes lines until the next would start within two line heights of the bottom.
    const auto checkPages = [&](int lines) {
        QPrinter& printer = *platform.DefaultPrinter();
        QFont font(QStringLiteral("Courier New"));
        font.setPointSize(8);
        const QFontMetrics metrics(font, &printer);
        const double height = printer.height();
        const double most = (height - 2.0 * metrics.height()) / metrics.height() + 1;
        const double fewest = (height - 2.0 * (metrics.height() + 2)) / (metrics.height() + 2);
        const int pages = PdfPageCount(pdf);
        QVERIFY2(pages >= std::ceil(lines / most) && pages <= std::ceil(lines / fewest),
                 qPrintable(QStringLiteral("%1 lines on %2 pages").arg(lines).arg(pages)));
    };
    platform.UsePdfPrinter(pdf);
    Trigger("mnuPrint");
    QVERIFY(platform.messages.empty());
    checkPages(program_->ResultLines().size());

    for (int i = 0; i < 4; ++i) {
        program_->Click(program_->resultsControl("cmdReturn"));
        program_->Compute();
    }
    platform.UsePdfPrinter(pdf);
    Trigger("mnuPrint");
    checkPages(program_->ResultLines().size());
    QVERIFY(PdfPageCount(pdf) >= 5);
    QVERIFY(platform.messages.empty());
}

void ResultsViewerTest::printSelectionNeedsSelection() {
    QTemporaryDir folder;
    const QString pdf = folder.filePath("selection.pdf");
    FakePlatform& platform = program_->platform();
    platform.UsePdfPrinter(pdf);
    QTextCursor cursor = program_->memoResults()->textCursor();
    cursor.clearSelection();
    program_->memoResults()->setTextCursor(cursor);
    Trigger("mnuPrintSelection");
    QCOMPARE(platform.Texts(Kind::Warning),
             QStringList{QStringLiteral("You have not selected any text.")});
    QCOMPARE(platform.printerQueries, 0);
    QVERIFY(!QFile::exists(pdf));

    cursor.movePosition(QTextCursor::Start);
    cursor.movePosition(QTextCursor::Down, QTextCursor::KeepAnchor, 3);
    program_->memoResults()->setTextCursor(cursor);
    program_->Click(program_->resultsControl("cmdSaveOutput"));  // focus leaves the memo
    Trigger("mnuPrintSelection");
    QCOMPARE(platform.Texts(Kind::Warning).size(), 1);
    QCOMPARE(PdfPageCount(pdf), 1);
    QVERIFY(program_->memoResults()->textCursor().hasSelection());
}

void ResultsViewerTest::textDeviceLayout_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("layout");
    QTest::newRow("text lines are font height plus 2") << "ab\ncd\n"
                                                       << "0@0:ab 0@12:cd";
    QTest::newRow("empty lines are font height") << "ab\n\n\ncd\n"
                                                 << "0@0:ab 0@32:cd";
    QTest::newRow("long line breaks after the last character that fits")
        << QString("abcdefghijKLMNOPQRSTuvwxy\n") << "0@0:abcdefghij 0@12:KLMNOPQRST 0@24:uvwxy";
    QTest::newRow("exactly the page width stays whole") << "abcdefghij\nk"
                                                        << "0@0:abcdefghij 0@12:k";
    // 12-pixel lines on a 100-pixel page: a line that would start below 100 - 24 starts a page.
    QTest::newRow("page break") << "1\n2\n3\n4\n5\n6\n7\n8\n9\n"
                                << "0@0:1 0@12:2 0@24:3 0@36:4 0@48:5 0@60:6 0@72:7 1@0:8 1@12:9";
    QTest::newRow("tabs and form feed") << "a\tb\fc\n"
                                        << "0@0:a       b 1@0:c";
    QTest::newRow("nothing to print") << "\n"
                                      << "";
}

void ResultsViewerTest::textDeviceLayout() {
    QFETCH(QString, text);
    QFETCH(QString, layout);
    QCOMPARE(Describe(orvale::LayoutTextDevice(text, SmallPage())), layout);
}

QTEST_MAIN(ResultsViewerTest)
#include "test_results_viewer.moc"
