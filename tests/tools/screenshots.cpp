// SPDX-License-Identifier: GPL-3.0-or-later
// The pictures of the documentation (scripts/screenshots.sh): the real windows with a sample case,
// saved as DIR/worksheet.png, DIR/results.png (the score table in view) and DIR/chart.png (the
// profile chart window). The previous-data file goes to a scratch folder, so no real one is
// touched. Built with the tests, never installed.
// Usage: orvale_screenshots DIR
#include <QApplication>
#include <QDir>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextEdit>
#include <QTimer>
#include <algorithm>
#include <cstdio>

#include "app/program_identity.h"
#include "app/score_field.h"
#include "app/startup.h"
#include "desktop/qt_platform.h"
#include "viewer/chart_window.h"

namespace {

constexpr int kSettleMilliseconds = 300;  // time for a window to be shown and painted

void FillSampleCase(orvale::TfrmTemplate& worksheet) {
    const QStringList sample = {"12", "11", "9", "8", "13", "10", "12", "7"};
    for (int k = 0; k < sample.size(); ++k) {
        worksheet.findChild<QLineEdit*>(QString::fromLatin1(orvale::kScoreFieldNames.at(k)))
            ->setText(sample[k]);
    }
    worksheet.findChild<QTextEdit*>("memoComments")->setPlainText("Case 0417, age 9");
}

// Scrolls the report so that the score table shows rather than the heading.
void ShowScoreTable(orvale::TfrmTemplateResults& results) {
    auto* memo = results.findChild<QPlainTextEdit*>("memoResults");
    const QTextBlock outputs = memo->document()->find(" OUTPUTS:").block();
    memo->verticalScrollBar()->setValue(std::max(0, outputs.blockNumber() - 1));
}

}  // namespace

int main(int argc, char** argv) {
    orvale::SetProgramIdentity();
    QApplication app(argc, argv);
    if (argc != 2) {
        std::fputs("usage: orvale_screenshots DIR\n", stderr);
        return 2;
    }
    const QDir folder(QString::fromLocal8Bit(argv[1]));
    QTemporaryDir dataFolder;
    orvale::QtPlatform platform(dataFolder.path());
    orvale::ProgramWindows windows(platform);
    FillSampleCase(windows.worksheet());
    bool saved = true;
    const auto save = [&saved, &folder](QWidget* window, const char* name) {
        saved = window != nullptr && window->grab().save(folder.filePath(name)) && saved;
    };
    QTimer::singleShot(kSettleMilliseconds, &app, [&] {
        save(&windows.worksheet(), "worksheet.png");
        windows.worksheet().cmdComputeClick();
        ShowScoreTable(windows.results());
        QTimer::singleShot(kSettleMilliseconds, &app, [&] {
            save(&windows.results(), "results.png");
            windows.results().mnuProfileChartClick();
            QTimer::singleShot(kSettleMilliseconds, &app, [&] {
                save(windows.results().chartWindow(), "chart.png");
                QCoreApplication::exit(0);
            });
        });
    });
    app.exec();
    return saved ? 0 : 1;
}
