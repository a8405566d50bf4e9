// SPDX-License-Identifier: GPL-3.0-or-later
// "Score a Batch..." through the real worksheet: a 100,000-row file scored while the event loop
// keeps running, its results byte for byte those of orvale-score --batch and its skipped rows
// those orvale-score reports; Cancel and real write faults leave the old results file untouched;
// a FIFO is read to its writer's end, and neither a writer that never comes nor one gone quiet
// keeps Cancel or the end of the program waiting.
#include <fcntl.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QLabel>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QProgressDialog>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QTest>
#include <QTimer>
#include <optional>
#include <thread>

#include "cli/scorer_process.h"
#include "support/program_driver.h"

using orvale::testing::FakePlatform;
using orvale::testing::ProgramDriver;
using orvale::testing::ReadFile;
using orvale::testing::WriteFile;
using Kind = FakePlatform::Kind;

namespace {

constexpr int kRows = 100000;
const QByteArray kOldResults = "results of an earlier batch\n";

// kRows cases with scores from a fixed sequence; three of them invalid, at known lines.
QByteArray LargeBatch() {
    QByteArray csv = "id,BD,SI,DS,CD,VO,LN,MR,SS\n";
    unsigned seed = 17;
    for (int row = 0; row < kRows; ++row) {
        csv += "case" + QByteArray::number(row);
        for (int k = 0; k < 8; ++k) {
            seed = seed * 1103515245U + 12345U;
            csv += ',' + QByteArray::number(1 + (seed >> 16) % 19);
        }
        csv += '\n';
        if (row == 1) csv += "bad1,10,10,10,10,10,10,10\n";
        if (row == 5000) csv += "bad2,10,10,25,10,10,10,10,10\n";
        if (row == 70000) csv += "bad3,10,x,10,10,10,10,10,10\n";
    }
    return csv;
}

// Files the batch may have left in folder besides the ones named.
QStringList OtherFiles(const QString& folder, const QStringList& expected) {
    QStringList files = QDir(folder).entryList(QDir::Files | QDir::Hidden);
    for (const QString& name : expected) files.removeAll(name);
    return files;
}

}  // namespace

class BatchScoringTest : public QObject {
    Q_OBJECT
  private slots:
    void initTestCase() {
        input_ = input_folder_.filePath(QStringLiteral("study.csv"));
        WriteFile(input_, LargeBatch());
    }
    void init() {
        program_ = std::make_unique<ProgramDriver>();
        program_->Start();
        results_ = program_->folder() + QStringLiteral("/results.csv");
    }
    void cleanup() { program_.reset(); }

    void scoresLikeTheCommandLineWhileTheWorksheetRuns();
    void cancelFromADroppedFileLeavesTheOldResults();
    void failuresLeaveTheOldResults_data();
    void failuresLeaveTheOldResults();
    void aFifoIsReadUntilItsWriterEndsOrTheRunStops_data();
    void aFifoIsReadUntilItsWriterEndsOrTheRunStops();
    void resultsToAPipeWithoutReaderCanBeCancelled();
    void resultsToAPipeNotReadCanBeCancelled_data();
    void resultsToAPipeNotReadCanBeCancelled();

  private:
    QProgressDialog* progress() {
        return program_->worksheet().findChild<QProgressDialog*>("BatchProgress");
    }
    void WaitForTheEnd() {
        QTRY_VERIFY_WITH_TIMEOUT(!program_->worksheet().BatchRunning(), 120000);
    }
    QTemporaryDir input_folder_;
    QString input_;
    QString results_;
    std::unique_ptr<ProgramDriver> program_;
};

void BatchScoringTest::scoresLikeTheCommandLineWhileTheWorksheetRuns() {
    // Options other than the first choices, which orvale-score is told in its own words.
    program_->radioGroup("RadioGroup2")->setItemIndex(3);
    program_->radioGroup("RadioGroup1")->setItemIndex(1);
    program_->worksheet().findChild<QRadioButton*>("RadioButton2")->setChecked(true);
    FakePlatform& platform = program_->platform();
    platform.openAnswers = {input_};
    platform.saveAnswers = {program_->folder() + QStringLiteral("/results")};
    program_->worksheet().findChild<QAction*>("mnuScoreBatch")->trigger();
    QCOMPARE(platform.offeredSaveNames, QStringList{"results.csv"});
    QVERIFY(program_->worksheet().BatchRunning());

    int ticks = 0, partialProgress = 0, withTotal = 0;
    const QString total = QStringLiteral(" of %1 rows done").arg(QLocale().toString(kRows + 3));
    QTimer timer;
    connect(&timer, &QTimer::timeout, [&] {
        if (!program_->worksheet().BatchRunning()) return;
        ++ticks;
        withTotal += progress()->labelText().contains(total);
        if (progress()->value() > 0 && progress()->value() < progress()->maximum()) {
            ++partialProgress;
        }
    });
    timer.start(5);
    WaitForTheEnd();
    QVERIFY2(ticks >= 2 && partialProgress >= 1 && withTotal >= 1,
             qPrintable(QStringLiteral("%1 ticks, %2 with progress, %3 with the total")
                            .arg(ticks)
                            .arg(partialProgress)
                            .arg(withTotal)));
    QVERIFY(progress() == nullptr);
    QVERIFY(platform.messages.empty());

    const orvale::test::ProcessResult cli =
        orvale::test::RunScorer({"--ci", "90", "--method", "glutting", "--bonferroni", "--abnormal",
                                 "10", "--batch", input_.toStdString()});
    QCOMPARE(cli.status, 1);
    const QByteArray written = ReadFile(results_);
    QVERIFY(written == QByteArray::fromStdString(cli.out));  // QCOMPARE would print 128 MB
    QCOMPARE(OtherFiles(program_->folder(), {"results.csv", "settings.ini"}), QStringList());

    // The summary: the counts, and the skipped rows as orvale-score names them.
    QWidget* summary = program_->worksheet().findChild<QWidget*>("BatchSummary");
    QVERIFY(summary != nullptr && summary->isVisible());
    QCOMPARE(summary->findChild<QLabel*>("lblBatchSummary")->text(),
             QStringLiteral("%1 rows scored, 3 rows skipped.\nThe results are in %2.")
                 .arg(QLocale().toString(kRows), results_));
    QStringList expected = QString::fromStdString(cli.err).split(u'\n', Qt::SkipEmptyParts);
    QCOMPARE(expected.size(), 3);
    for (QString& line : expected) {
        line.replace(QRegularExpression("^orvale-score: .*:(\\d+): "),
                     QStringLiteral("Line \\1: "));
    }
    const auto* list = summary->findChild<QPlainTextEdit*>("memoBatchSkipped");
    QCOMPARE(list->toPlainText().split(u'\n'), expected);
    QVERIFY(list->toPlainText().startsWith("Line 4: "));
    program_->Click(summary->findChild<QPushButton*>("cmdBatchCopy"));
    QCOMPARE(platform.clipboardText, list->toPlainText());
    summary->close();
}

void BatchScoringTest::cancelFromADroppedFileLeavesTheOldResults() {
    WriteFile(results_, kOldResults);
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(input_)});
    QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&program_->worksheet(), &enter);
    QVERIFY(enter.isAccepted());
    QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    program_->platform().saveAnswers = {results_};
    QCoreApplication::sendEvent(&program_->worksheet(), &drop);
    QVERIFY(program_->platform().openAnswers.empty());  // no open dialog for a dropped file
    QVERIFY(program_->worksheet().BatchRunning());

    // Exit while it runs asks first; No keeps the batch going.
    program_->platform().confirmAnswers = {true, false};
    program_->worksheet().ExitBtnClick();
    QCOMPARE(program_->platform().Texts(Kind::Confirm).value(1),
             "A batch is still being scored into " + results_ +
                 ". Stop it and exit? Its results will not be written.");
    QCOMPARE(program_->platform().endApplicationCalls, 0);
    QVERIFY(program_->worksheet().BatchRunning());

    const QList<QPushButton*> buttons = progress()->findChildren<QPushButton*>();
    QCOMPARE(buttons.size(), 1);
    program_->Click(buttons[0]);
    WaitForTheEnd();
    QCOMPARE(ReadFile(results_), kOldResults);
    QCOMPARE(OtherFiles(program_->folder(), {"results.csv", "settings.ini"}), QStringList());
    QCOMPARE(
        program_->platform().Texts(Kind::Information),
        QStringList{"Batch scoring was cancelled; no results were written to " + results_ + "."});
    QVERIFY(program_->worksheet().findChild<QWidget*>("BatchSummary") == nullptr);
}

void BatchScoringTest::failuresLeaveTheOldResults_data() {
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("message");
    QTest::newRow("file-size limit") << "limit"
                                     << "The results could not be written to %2: File too large";
    QTest::newRow("unusable header")
        << "header"
        << "The batch could not be read from %1: header: missing column(s) BD, SI";
    QTest::newRow("folder") << "folder"
                            << "The batch could not be read from %1: it is a folder, not a file";
}

void BatchScoringTest::failuresLeaveTheOldResults() {
    QFETCH(QString, kind);
    QFETCH(QString, message);
    WriteFile(results_, kOldResults);
    QString input = input_;
    if (kind == "header") {
        input = program_->folder() + QStringLiteral("/scores.csv");
        WriteFile(input, "name,age\nAnna,9\n");
    }
    if (kind == "folder") input = input_folder_.path();
    {
        std::optional<orvale::testing::FileSizeLimit> limit;  // a real limit: the write fails
        if (kind == "limit") limit.emplace(1 << 20);
        program_->platform().openAnswers = {input};
        program_->platform().saveAnswers = {results_};
        program_->worksheet().findChild<QAction*>("mnuScoreBatch")->trigger();
        WaitForTheEnd();
    }

    const QStringList errors = program_->platform().Texts(Kind::Error);
    QCOMPARE(errors.size(), 1);
    message.replace("%1", input).replace("%2", results_);
    QVERIFY2(errors[0].startsWith(message), qPrintable(errors[0]));
    QCOMPARE(ReadFile(results_), kOldResults);
    QCOMPARE(OtherFiles(program_->folder(), {"results.csv", "settings.ini", "scores.csv"}),
             QStringList());
    QVERIFY(program_->worksheet().findChild<QWidget*>("BatchSummary") == nullptr);
}

void BatchScoringTest::aFifoIsReadUntilItsWriterEndsOrTheRunStops_data() {
    QTest::addColumn<QString>("writer");  // none, silent (writes, stays open) or whole (closes)
    QTest::addColumn<QString>("ending");  // cancel, exit, or the writer's end
    QTest::newRow("no writer, Cancel") << "none"
                                       << "cancel";
    QTest::newRow("no writer, Exit") << "none"
                                     << "exit";
    QTest::newRow("silent writer, Cancel") << "silent"
                                           << "cancel";
    QTest::newRow("silent writer, Exit") << "silent"
                                         << "exit";
    QTest::newRow("whole input") << "whole"
                                 << "end";
}

void BatchScoringTest::aFifoIsReadUntilItsWriterEndsOrTheRunStops() {
    QFETCH(QString, writer);
    QFETCH(QString, ending);
    const QString fifo = program_->folder() + QStringLiteral("/pipe.csv");
    QCOMPARE(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    WriteFile(results_, kOldResults);
    FakePlatform& platform = program_->platform();
    platform.openAnswers = {fifo};
    platform.saveAnswers = {results_};
    program_->worksheet().findChild<QAction*>("mnuScoreBatch")->trigger();
    QVERIFY(program_->worksheet().BatchRunning());

    // The second row has a cell too many, which the summary names as orvale-score does.
    const QByteArray text =
        "id,BD,SI,DS,CD,VO,LN,MR,SS\n"
        "a,12,11,9,8,13,10,12,7\n"
        "b,10,10,10,10,10,10,10,10,10\n";
    int fd = -1;
    if (writer != "none") {
        // Opening for writing without waiting succeeds once the run has the FIFO open. QTRY
        // evaluates its condition again after success: the FIFO is opened only once.
        const QByteArray path = QFile::encodeName(fifo);
        QTRY_VERIFY(fd >= 0 ||
                    (fd = ::open(path.constData(), O_WRONLY | O_NONBLOCK | O_CLOEXEC)) >= 0);
        QCOMPARE(::write(fd, text.constData(), text.size()), text.size());
        if (writer == "whole") ::close(std::exchange(fd, -1));
    }
    const auto closeWriter = qScopeGuard([&fd] {
        if (fd >= 0) ::close(fd);
    });

    if (ending == "exit") {
        program_->platform().confirmAnswers = {true, true};
        program_->worksheet().ExitBtnClick();
        QCOMPARE(platform.endApplicationCalls, 1);
        program_.reset();  // returns: the run, still waiting for input, has stopped
        return;
    }
    if (ending == "cancel") {
        program_->Click(progress()->findChild<QPushButton*>());
        QTRY_VERIFY_WITH_TIMEOUT(!program_->worksheet().BatchRunning(), 30000);
        QCOMPARE(platform.Texts(Kind::Information),
                 QStringList{"Batch scoring was cancelled; no results were written to " + results_ +
                             "."});
        QCOMPARE(ReadFile(results_), kOldResults);
    } else {
        WaitForTheEnd();
        QVERIFY(platform.messages.empty());
        const orvale::test::ProcessResult cli =
            orvale::test::RunScorer({"--batch", "-"}, text.toStdString());
        QCOMPARE(ReadFile(results_), QByteArray::fromStdString(cli.out));
        QCOMPARE(
            program_->worksheet().findChild<QPlainTextEdit*>("memoBatchSkipped")->toPlainText(),
            QStringLiteral("Line 3: 10 cells where the header has 9; row skipped"));
    }
    QCOMPARE(OtherFiles(program_->folder(), {"results.csv", "settings.ini"}), QStringList());
}

void BatchScoringTest::resultsToAPipeWithoutReaderCanBeCancelled() {
    // The results wait for a program to read the pipe; Cancel ends the wait and the pipe stays.
    const QString pipe = program_->folder() + QStringLiteral("/results.pipe");
    QCOMPARE(::mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
    FakePlatform& platform = program_->platform();
    platform.openAnswers = {input_};
    platform.saveAnswers = {pipe};
    program_->worksheet().findChild<QAction*>("mnuScoreBatch")->trigger();
    QVERIFY(program_->worksheet().BatchRunning());
    program_->Click(progress()->findChild<QPushButton*>());
    QTRY_VERIFY_WITH_TIMEOUT(!program_->worksheet().BatchRunning(), 30000);
    QCOMPARE(platform.Texts(Kind::Information),
             QStringList{"Batch scoring was cancelled; no results were written to " + pipe + "."});
    QVERIFY(QFileInfo(pipe).isFile() == false && QFileInfo::exists(pipe));
}

void BatchScoringTest::resultsToAPipeNotReadCanBeCancelled_data() {
    QTest::addColumn<QString>("ending");  // cancel, exit, or the reader reads on
    QTest::newRow("Cancel") << "cancel";
    QTest::newRow("Exit") << "exit";
    QTest::newRow("reader reads on") << "read";
}

void BatchScoringTest::resultsToAPipeNotReadCanBeCancelled() {
    // A program has the pipe open for reading but reads nothing for now: once the pipe is full
    // the results wait for room, and Cancel or Exit ends that wait; once it reads, it gets them
    // all.
    QFETCH(QString, ending);
    const QString pipe = program_->folder() + QStringLiteral("/results.pipe");
    const QByteArray path = QFile::encodeName(pipe);
    QCOMPARE(::mkfifo(path.constData(), 0600), 0);
    const int reader = ::open(path.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    QVERIFY(reader >= 0);
    const auto closeReader = qScopeGuard([reader] { ::close(reader); });
    FakePlatform& platform = program_->platform();
    platform.openAnswers = {input_};
    platform.saveAnswers = {pipe};
    program_->worksheet().findChild<QAction*>("mnuScoreBatch")->trigger();
    QVERIFY(program_->worksheet().BatchRunning());
    // The pipe fills up (every page of it in use; the last may have a little room left), and
    // the run, with far more results than that to write, waits for room in it.
    const int capacity = ::fcntl(reader, F_GETPIPE_SZ);
    int held = 0;
    QTRY_VERIFY_WITH_TIMEOUT(::ioctl(reader, FIONREAD, &held) == 0 && held > capacity - 4096,
                             30000);
    if (ending == "exit") {
        platform.confirmAnswers = {true, true};
        program_->worksheet().ExitBtnClick();
        QCOMPARE(platform.endApplicationCalls, 1);
        program_.reset();  // returns: the run, waiting to write, has stopped
        return;
    }
    if (ending == "read") {
        QByteArray received;
        std::thread reading([&] {
            ::fcntl(reader, F_SETFL, ::fcntl(reader, F_GETFL) & ~O_NONBLOCK);
            char buffer[1 << 16];
            for (ssize_t got; (got = ::read(reader, buffer, sizeof buffer)) > 0;) {
                received.append(buffer, got);
            }
        });
        WaitForTheEnd();
        reading.join();
        const orvale::test::ProcessResult cli =
            orvale::test::RunScorer({"--batch", input_.toStdString()});
        QVERIFY(received == QByteArray::fromStdString(cli.out));  // QCOMPARE would print it all
        QCOMPARE(platform.Texts(Kind::Error), QStringList());
        return;
    }
    program_->Click(progress()->findChild<QPushButton*>());
    QTRY_VERIFY_WITH_TIMEOUT(!program_->worksheet().BatchRunning(), 30000);
    QCOMPARE(platform.Texts(Kind::Information),
             QStringList{"Batch scoring was cancelled; no results were written to " + pipe + "."});
    QCOMPARE(platform.Texts(Kind::Error), QStringList());
}

QTEST_MAIN(BatchScoringTest)
#include "test_batch_scoring.moc"
