// Errors that escape an event handler: shown in the standard error box, and the program goes on
// delivering events afterwards.
#include <QtTest>

#include <stdexcept>

#include "app/guarded_application.h"
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
};

int main(int argc, char** argv) {
    orvale::GuardedApplication app(argc, argv);
    TestGuardedApplication test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_guarded_application.moc"
