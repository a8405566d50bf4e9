// SPDX-License-Identifier: GPL-3.0-or-later
// The desktop program: the worksheet and the results viewer over the scoring core.
//
// One switch serves the build, not the user: ORVALE_QUIT_AFTER_SHOW=1 ends once the worksheet has
// painted itself (start-up timing). The documentation's pictures come from a tool of their own,
// tests/tools/screenshots.cpp.
#include <QApplication>
#include <QIcon>
#include <QTimer>

#include "app/program_identity.h"
#include "app/startup.h"
#include "desktop/guarded_application.h"
#include "desktop/qt_platform.h"

namespace {

// Ends the program once the watched window has painted itself for the first time.
class QuitAfterFirstPaint : public QObject {
  public:
    using QObject::QObject;
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint) {
            QTimer::singleShot(0, [] { QCoreApplication::exit(0); });
        }
        return QObject::eventFilter(watched, event);
    }
};

}  // namespace

int main(int argc, char** argv) {
    orvale::SetProgramIdentity();
    if (const std::optional<int> status = orvale::HandleCommandLine(argc, argv)) return *status;
    orvale::BeginOpeningDisplay(argv[0]);
    orvale::GuardedApplication app(argc, argv);
    orvale::EndOpeningDisplay();
    app.setWindowIcon(QIcon(QStringLiteral(":/icons/org.orvale.Orvale.png")));
    orvale::QtPlatform platform;
    app.SetPlatform(&platform);
    orvale::ProgramWindows windows(platform);
    QuitAfterFirstPaint quitAfterPaint;
    if (qEnvironmentVariableIsSet("ORVALE_QUIT_AFTER_SHOW")) {
        windows.worksheet().installEventFilter(&quitAfterPaint);
    }
    const int status = app.exec();
    app.SetPlatform(nullptr);  // the platform goes before the application object
    return status;
}
