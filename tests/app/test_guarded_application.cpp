// SPDX-License-Identifier: GPL-3.0-or-later
// The handlers' boundary with the desktop. A handler whose call fails for real shows the error box
// itself and leaves the window ready; an error that still escapes an event handler is shown in the
// standard error box, and the program goes on delivering events afterwards. The real platform's
// message boxes and open dialogs show what the handlers pass them.
#include <sys/resource.h>

#include <QProgressDialog>
#include <QtTest>
#include <fstream>
#include <stdexcept>
#include <string>

#include "desktop/guarded_application.h"
#include "desktop/qt_platform.h"
#include "report/compose.h"
#include "support/fake_platform.h"
#include "support/program_driver.h"

namespace {

// Throws from its event handler for the first event it receives, then counts the rest.
class FailingReceiver : public QObject {
  public:
    int delivered = 0;
    bool event(QEvent* event) override {
        if (event->type() != QEvent::User) return QObject::event(event);
        if (delivered++ == 0) throw std::runtime_error("Disk full");
        return true;
    }
};

// The process's mapped address space, in bytes (VmSize in /proc/self/status).
rlim_t AddressSpaceInUse() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmSize:", 0) == 0) return std::stoull(line.substr(7)) * 1024;
    }
    return 0;
}

// Limits the address space to what is mapped now plus `room` bytes for the life of the object:
// small allocations still succeed, a new thread's stack (8 MiB) cannot be mapped.
class AddressSpaceLimit {
  public:
    explicit AddressSpaceLimit(rlim_t room) {
        ::getrlimit(RLIMIT_AS, &saved_);
        rlimit limit = saved_;
        limit.rlim_cur = AddressSpaceInUse() + room;
        ::setrlimit(RLIMIT_AS, &limit);
    }
    ~AddressSpaceLimit() { ::setrlimit(RLIMIT_AS, &saved_); }
    AddressSpaceLimit(const AddressSpaceLimit&) = delete;
    AddressSpaceLimit& operator=(const AddressSpaceLimit&) = delete;

  private:
    rlimit saved_{};
};

}  // namespace

class TestGuardedApplication : public QObject {
    Q_OBJECT
  private slots:
    // Score a Batch when no thread can be started: the handler shows the system's reason in the
    // error box, writes nothing, and the menu item is ready for the next batch.
    void batchWithoutAThreadIsReportedByItsHandler() {
#ifdef ORVALE_SANITIZED
        QSKIP("a sanitizer reserves more address space than the limit leaves");
#endif
        orvale::testing::ProgramDriver program;
        program.Start();
        const QString input = program.folder() + QStringLiteral("/study.csv");
        const QString output = program.folder() + QStringLiteral("/results.csv");
        orvale::testing::WriteFile(input,
                                   "id,BD,SI,DS,CD,VO,LN,MR,SS\nc1,10,10,10,10,10,10,10,10\n");
        orvale::testing::FakePlatform& platform = program.platform();
        platform.openAnswers = {input};
        platform.saveAnswers = {output};
        auto* scoreBatch = program.worksheet().findChild<QAction*>("mnuScoreBatch");
        {
            const AddressSpaceLimit limit(4 * 1024 * 1024);
            scoreBatch->trigger();
        }
        using Kind = orvale::testing::FakePlatform::Kind;
        QCOMPARE(platform.Texts(Kind::Error), QStringList{"Resource temporarily unavailable"});
        QVERIFY(!program.worksheet().BatchRunning());
        QVERIFY(scoreBatch->isEnabled());
        QVERIFY(program.worksheet().findChild<QProgressDialog*>("BatchProgress") == nullptr);
        QVERIFY(!QFile::exists(output));
    }

    // Each open dialog of the worksheet: the filter it passes through the seam becomes one
    // entry per filter in the real dialog, with "All files (*)" once.
    void openDialogsOfferEachFilter_data() {
        QTest::addColumn<QString>("menuItem");
        QTest::addColumn<QStringList>("filters");
        QTest::newRow("Score a Batch...")
            << "mnuScoreBatch" << QStringList{"CSV files (*.csv)", "All files (*)"};
        QTest::newRow("Open Case...")
            << "mnuOpenCase" << QStringList{"ORVALE cases (*.orvale)", "All files (*)"};
    }

    void openDialogsOfferEachFilter() {
        QFETCH(QString, menuItem);
        QFETCH(QStringList, filters);
        orvale::testing::ProgramDriver program;
        program.Start();
        program.worksheet().findChild<QAction*>(menuItem)->trigger();  // the fake cancels
        const QStringList passed = program.platform().openFilters;
        QCOMPARE(passed.size(), 1);
        const auto dialog = orvale::BuildOpenFileDialog(passed[0], nullptr);
        QCOMPARE(dialog->nameFilters(), filters);
        QVERIFY(!dialog->isVisible());
    }

    void escapedErrorIsShownAndTheProgramGoesOn() {
        orvale::testing::FakePlatform platform(QDir::tempPath());
        auto* app = static_cast<orvale::GuardedApplication*>(QCoreApplication::instance());
        app->SetPlatform(&platform);
        FailingReceiver receiver;
        QEvent first(QEvent::User);
        QEvent second(QEvent::User);
        QCOMPARE(QCoreApplication::sendEvent(&receiver, &first), false);
        QCOMPARE(QCoreApplication::sendEvent(&receiver, &second), true);
        QCOMPARE(platform.Texts(orvale::testing::FakePlatform::Kind::Error),
                 QStringList{"Disk full"});
        QCOMPARE(receiver.delivered, 2);
        app->SetPlatform(nullptr);
    }

    void messageBoxesShowTheirTextAsWritten_data() {
        QTest::addColumn<int>("box");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<int>("icon");
        QTest::addColumn<int>("buttons");
        using Box = orvale::Platform::Box;
        QTest::newRow("warning") << int(Box::Warning) << "Warning" << int(QMessageBox::Warning)
                                 << int(QMessageBox::Ok);
        QTest::newRow("information") << int(Box::Information) << "Information"
                                     << int(QMessageBox::Information) << int(QMessageBox::Ok);
        QTest::newRow("confirm") << int(Box::Confirm) << "Confirm" << int(QMessageBox::Question)
                                 << int(QMessageBox::Yes | QMessageBox::No);
        QTest::newRow("error") << int(Box::Error) << QString::fromLatin1(orvale::kProgramTitle)
                               << int(QMessageBox::Critical) << int(QMessageBox::Ok);
    }

    // A message quoting a file name or an entry with "<b>" in it shows those characters; the box
    // never takes them for markup (which would also swallow the line breaks).
    void messageBoxesShowTheirTextAsWritten() {
        QFETCH(int, box);
        QFETCH(QString, caption);
        QFETCH(int, icon);
        QFETCH(int, buttons);
        const QString text = QStringLiteral(
            "The results could not be saved to /tmp/<b>case</b>.txt: "
            "Permission denied\nsecond line");
        const auto message =
            orvale::BuildMessageBox(static_cast<orvale::Platform::Box>(box), text, nullptr);
        QCOMPARE(message->windowTitle(), caption);
        QCOMPARE(int(message->icon()), icon);
        QCOMPARE(int(message->standardButtons()), buttons);
        QCOMPARE(message->text(), text);
        QCOMPARE(message->textFormat(), Qt::PlainText);
        QVERIFY(!message->isVisible());
    }
};

int main(int argc, char** argv) {
    orvale::GuardedApplication app(argc, argv);
    TestGuardedApplication test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_guarded_application.moc"
