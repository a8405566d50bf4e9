// SPDX-License-Identifier: GPL-3.0-or-later
// The desktop program: the worksheet and the results viewer over the scoring core.
//
// Two switches serve the build, not the user: ORVALE_SCREENSHOT=DIR saves the windows with a
// sample case as DIR/worksheet.png, DIR/results.png and DIR/chart.png (the profile chart window)
// in a scratch data folder, and ends;
// ORVALE_QUIT_AFTER_SHOW=1 ends once the worksheet has painted itself (start-up timing).
#include <QApplication>
#include <QDir>
#include <QIcon>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextEdit>
#include <QTimer>

#include "app/program_identity.h"
#include "app/score_field.h"
#include "app/startup.h"
#include "desktop/guarded_application.h"
#include "desktop/qt_platform.h"
#include "viewer/chart_window.h"

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

int RunScreenshots(QApplication& app, const QString& folder) {
    QTemporaryDir dataFolder;
    orvale::QtPlatform platform(dataFolder.path());
    orvale::ProgramWindows windows(platform);
    const QStringList sample = {"12", "11", "9", "8", "13", "10", "12", "7"};
    for (int k = 0; k < sample.size(); ++k) {
        windows.worksheet()
            .findChild<QLineEdit*>(QString::fromLatin1(orvale::kScoreFieldNames.at(k)))
            ->setText(sample[k]);
    }
    windows.worksheet().findChild<QTextEdit*>("memoComments")->setPlainText("Case 0417, age 9");
    bool saved = true;
    QTimer::singleShot(300, &app, [&] {
        saved = windows.worksheet().grab().save(QDir(folder).filePath("worksheet.png"));
        windows.worksheet().cmdComputeClick();
        // Show the score table rather than the heading.
        auto* memo = windows.results().findChild<QPlainTextEdit*>("memoResults");
        const QTextBlock outputs = memo->document()->find(" OUTPUTS:").block();
        memo->verticalScrollBar()->setValue(std::max(0, outputs.blockNumber() - 1));
        QTimer::singleShot(300, &app, [&] {
            saved = windows.results().grab().save(QDir(folder).filePath("results.png")) && saved;
            windows.results().mnuProfileChartClick();
            QTimer::singleShot(300, &app, [&] {
                QWidget* chart = windows.results().chartWindow();
                saved = chart != nullptr &&
                        chart->grab().save(QDir(folder).filePath("chart.png")) && saved;
                QCoreApplication::exit(0);
            });
        });
    });
    app.exec();
    return saved ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    orvale::SetProgramIdentity();
    if (const std::optional<int> status = orvale::HandleCommandLine(argc, argv)) return *status;
    orvale::BeginOpeningDisplay(argv[0]);
    orvale::GuardedApplication app(argc, argv);
    orvale::EndOpeningDisplay();
    app.setWindowIcon(QIcon(QStringLiteral(":/icons/org.orvale.Orvale.png")));
    if (qEnvironmentVariableIsSet("ORVALE_SCREENSHOT")) {
        return RunScreenshots(app, qEnvironmentVariable("ORVALE_SCREENSHOT"));
    }
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
