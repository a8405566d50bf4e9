// SPDX-License-Identifier: GPL-3.0-or-later
// Prints median timings of the desktop program (not a test: nothing is asserted):
//   - start-up of the real executable until its worksheet is shown (offscreen), as a process;
//   - start-up inside a running application: both windows created and the worksheet shown;
//   - one Compute click until the report is in the shown viewer.
// Usage: measure_app [runs]   (run with QT_QPA_PLATFORM=offscreen)
#include <QApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QTest>
#include <QWindow>
#include <algorithm>
#include <cstdio>
#include <vector>

#include "support/program_driver.h"

namespace {

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const std::size_t middle = values.size() / 2;
    return values.size() % 2 == 1 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

void Report(const char* what, const std::vector<double>& milliseconds) {
    std::printf("%-58s median %8.2f ms  (min %.2f, max %.2f, %zu runs)\n", what,
                Median(milliseconds), *std::min_element(milliseconds.begin(), milliseconds.end()),
                *std::max_element(milliseconds.begin(), milliseconds.end()), milliseconds.size());
}

double Elapsed(const QElapsedTimer& timer) {
    return timer.nsecsElapsed() / 1e6;
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 21;

    std::vector<double> process;
    for (int i = 0; i < runs; ++i) {
        QProcess orvale;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        environment.insert(QStringLiteral("ORVALE_QUIT_AFTER_SHOW"), QStringLiteral("1"));
        orvale.setProcessEnvironment(environment);
        QElapsedTimer timer;
        timer.start();
        orvale.start(QStringLiteral(ORVALE_PATH), {});
        if (!orvale.waitForFinished(10000) || orvale.exitCode() != 0) {
            std::fprintf(stderr, "orvale did not start and end cleanly\n");
            return 1;
        }
        process.push_back(Elapsed(timer));
    }
    Report("start-up of the orvale process until the worksheet shows", process);

    std::vector<double> inProcess;
    for (int i = 0; i < runs; ++i) {
        orvale::testing::ProgramDriver program;
        QElapsedTimer timer;
        timer.start();
        program.Start();
        while (!program.worksheet().windowHandle() ||
               !program.worksheet().windowHandle()->isExposed()) {
            QApplication::processEvents();
        }
        QApplication::processEvents();
        inProcess.push_back(Elapsed(timer));
    }
    Report("windows created and worksheet shown (in process)", inProcess);

    std::vector<double> compute;
    orvale::testing::ProgramDriver program;
    program.Start();
    program.TypeScores({"12", "11", "9", "8", "13", "10", "12", "7"});
    QWidget* computeButton = program.worksheetControl("cmdCompute");
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer timer;
        timer.start();
        QTest::mouseClick(computeButton, Qt::LeftButton);
        QApplication::processEvents();
        compute.push_back(Elapsed(timer));
        if (!program.results().isVisible() || program.memoResults()->toPlainText().isEmpty()) {
            std::fprintf(stderr, "Compute showed no report\n");
            return 1;
        }
        program.Click(program.resultsControl("cmdClearResults"));
        program.Click(program.resultsControl("cmdReturn"));
        QApplication::processEvents();
    }
    Report("Compute click until the report shows", compute);
    return 0;
}
