// SPDX-License-Identifier: GPL-3.0-or-later
// Exporting the report: a PDF (and, for comparison, an OpenDocument text) of a memo holding
// three reports, as Export PDF... makes it, rendered in memory under the offscreen platform.
#include <benchmark/benchmark.h>

#include <QGuiApplication>

#include "documents/report_document.h"
#include "engine/scoring.h"
#include "report/compose.h"

namespace {

using namespace orvale;

ReportDocument ThreeReports() {
    static int argc = 1;
    static char name[] = "bench_export";
    static char* argv[] = {name, nullptr};
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static QGuiApplication application(argc, argv);
    const SubtestEntries cases[] = {
        {12, 11, 9, 8, 13, 10, 12, 7}, {15, 19, 10, 1, 19, 10, 15, 1}, {10, 7, 6, 5, 7, 7, 10, 5}};
    std::vector<std::string> lines;
    ReportDocument document;
    for (const SubtestEntries& entries : cases) {
        ReportInput input;
        input.entries = entries;
        input.results = ComputeScores(entries, input.options);
        ComposeReport(lines, input);
        document.results = input.results;
    }
    for (const std::string& line : lines) document.lines << QString::fromStdString(line);
    document.exportedAt = std::chrono::system_clock::now();
    return document;
}

void BM_ExportPdfOfThreeReports(benchmark::State& state) {
    const ReportDocument document = ThreeReports();
    for (auto _ : state) benchmark::DoNotOptimize(RenderReportPdf(document, QPageSize::A4));
    state.SetLabel(std::to_string(document.lines.size()) + " lines");
}
BENCHMARK(BM_ExportPdfOfThreeReports)->Unit(benchmark::kMillisecond);

void BM_ExportOdtOfThreeReports(benchmark::State& state) {
    const ReportDocument document = ThreeReports();
    for (auto _ : state) benchmark::DoNotOptimize(RenderReportOdt(document));
}
BENCHMARK(BM_ExportOdtOfThreeReports)->Unit(benchmark::kMillisecond);

}  // namespace
