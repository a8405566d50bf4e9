// SPDX-License-Identifier: GPL-3.0-or-later
// Errors that escape an event handler: shown in the standard error box, and the program goes on
// delivering events afterwards.
#include <QtTest>
#include <stdexcept>

#include "desktop/guarded_application.h"
#include "desktop/qt_platform.h"
#include "report/compose.h"
#include "support/fake_platform.h"

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

}  // namespace

class TestGuardedApplication : public QObject {
    Q_OBJECT
  private slots:
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
