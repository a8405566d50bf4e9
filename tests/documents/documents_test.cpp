// SPDX-License-Identifier: GPL-3.0-or-later
// orvale-score --format pdf|odt with no display: the PDF's text against the report line by line,
// its pages against the printing rule plus the chart page, a chart page with ink, its title; the
// ODT's lines and picture, and two ODT exports alike but for the time.
#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QRegularExpression>
#include <QString>
#include <cstring>
#include <regex>
#include <utility>

#include "cli/scorer_process.h"
#include "documents/report_document.h"
#include "engine/scoring.h"
#include "engine/tables.h"
#include "report/compose.h"

namespace orvale {
namespace {

using test::ReadFile;
using test::RunScorer;
using test::ScratchFolder;

const std::vector<std::string> kScores = {"12", "11", "9", "8", "13", "10", "12", "7"};

// The PDF's text metrics need fonts, so a (display-less) GUI application.
void EnsureGuiApplication() {
    static int argc = 1;
    static char name[] = "documents_test";
    static char* argv[] = {name, nullptr};
    static QGuiApplication application(argc, argv);
}

std::string Shell(const std::string& command) {
    std::string output;
    if (FILE* pipe = ::popen(command.c_str(), "r")) {
        char buffer[4096];
        std::size_t n;
        while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) output.append(buffer, n);
        ::pclose(pipe);
    }
    return output;
}

std::vector<std::string> Split(const std::string& text, char separator) {
    std::vector<std::string> parts;
    std::size_t start = 0;
    for (std::size_t end; (end = text.find(separator, start)) != std::string::npos;
         start = end + 1) {
        parts.push_back(text.substr(start, end - start));
    }
    parts.push_back(text.substr(start));
    return parts;
}

std::string RightTrimmed(std::string line) {
    while (!line.empty() && line.back() == ' ') line.pop_back();
    return line;
}

// Lines with trailing blanks removed and the blank lines at either end dropped (pdftotext
// leaves out the blank lines at the top of a page).
std::vector<std::string> Body(std::vector<std::string> lines) {
    for (std::string& line : lines) line = RightTrimmed(line);
    while (!lines.empty() && lines.back().empty()) lines.pop_back();
    while (!lines.empty() && lines.front().empty()) lines.erase(lines.begin());
    return lines;
}

TEST(Documents, PdfHoldsTheReportOnPrintedPagesThenTheChart) {
    ScratchFolder scratch;
    const std::string pdf = (scratch.path() / "case.pdf").string();
    std::vector<std::string> arguments = {"--format", "pdf", "--output", pdf};
    arguments.insert(arguments.end(), kScores.begin(), kScores.end());
    // No display at all, and an A4 locale.
    const test::ProcessResult run = RunScorer(arguments, "", {"LC_ALL=C", "DISPLAY=", "LANG=C"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.err, "");
    EXPECT_EQ(run.out, "");

    const std::vector<std::string> report = Split(RunScorer(kScores).out, '\n');
    // The pages the printer's rule fills with the report's lines, as the viewer holds them.
    QStringList memo;
    for (std::size_t i = 0; i + 1 < report.size(); ++i) memo << QString::fromStdString(report[i]);
    EnsureGuiApplication();
    const std::vector<PrintedLine> laidOut =
        LayoutTextDevice(memo.join(u'\n'), PdfTextMetrics(QPageSize::A4));
    const int textPages = laidOut.back().page + 1;

    const std::string info = Shell("pdfinfo " + test::ShellQuote(pdf));
    EXPECT_NE(info.find("Title:           ORVALE report"), std::string::npos) << info;
    EXPECT_NE(info.find("Pages:           " + std::to_string(textPages + 1) + "\n"),
              std::string::npos)
        << info;
    EXPECT_NE(info.find("(A4)"), std::string::npos) << info;
    // Where the locale measures in US units, Letter.
    const std::string letter = (scratch.path() / "letter.pdf").string();
    arguments[3] = letter;
    ASSERT_EQ(RunScorer(arguments, "", {"LC_ALL=en_US.UTF-8", "DISPLAY="}).status, 0);
    const std::string letterInfo = Shell("pdfinfo " + test::ShellQuote(letter));
    EXPECT_NE(letterInfo.find("(letter)"), std::string::npos) << letterInfo;

    // Text of every page at the font's pitch (4.8 points) from the left margin (15 mm).
    const std::vector<std::string> pages =
        Split(Shell("pdftotext -layout -fixed 4.8 -x 42 -y 0 -W 560 -H 842 " +
                    test::ShellQuote(pdf) + " -"),
              '\f');
    ASSERT_GE(pages.size(), static_cast<std::size_t>(textPages + 1));
    std::vector<int> pagesOf;
    for (std::size_t i = 0, printed = 0; i + 1 < report.size(); ++i) {
        pagesOf.push_back(report[i].empty() ? (pagesOf.empty() ? 0 : pagesOf.back())
                                            : laidOut[printed++].page);
    }
    std::size_t next = 0;
    for (int page = 0; page <= textPages; ++page) {
        std::vector<std::string> lines = Body(Split(pages[page], '\n'));
        ASSERT_FALSE(lines.empty());
        // The footer closes every page.
        const std::string footer = lines.back();
        lines.pop_back();
        EXPECT_EQ(footer.rfind("ORVALE 1.0.0", 0), 0u) << footer;
        EXPECT_TRUE(std::regex_search(
            footer, std::regex(R"( \d{4}-\d\d-\d\dT\d\d:\d\d:\d\d(Z|[+-]\d\d:\d\d) )")))
            << footer;
        EXPECT_NE(footer.find("page " + std::to_string(page + 1) + " of " +
                              std::to_string(textPages + 1)),
                  std::string::npos)
            << footer;
        if (page == textPages) break;
        // The report's lines on this page: its printed lines and the blank lines among them
        // (a blank line belongs to the page of the line before it).
        std::vector<std::string> expected;
        for (; next < report.size() - 1; ++next) {
            if (!report[next].empty() && pagesOf[next] != page) break;
            expected.push_back(report[next]);
        }
        EXPECT_EQ(Body(lines), Body(expected)) << "page " << page + 1;
    }

    // The chart page carries ink in the chart's area (upper part of the page): rasterised at
    // 30 dpi, a blank page would be all white.
    const std::string prefix = (scratch.path() / "chart").string();
    Shell("pdftoppm -r 30 -gray -f " + std::to_string(textPages + 1) + " -l " +
          std::to_string(textPages + 1) + " " + test::ShellQuote(pdf) + " " +
          test::ShellQuote(prefix));
    std::string pgm;
    for (const auto& entry : std::filesystem::directory_iterator(scratch.path())) {
        if (entry.path().extension() == ".pgm") pgm = ReadFile(entry.path());
    }
    ASSERT_GT(pgm.size(), 100u);
    // P5 header: "P5\n<width> <height>\n255\n", then one byte a pixel.
    std::istringstream header(pgm);
    std::string magic;
    int width = 0, height = 0, maximum = 0;
    header >> magic >> width >> height >> maximum;
    const std::size_t data = pgm.size() - static_cast<std::size_t>(width) * height;
    int dark = 0;
    for (int y = height / 10; y < height / 2; ++y) {
        for (int x = 0; x < width; ++x) {
            dark += static_cast<unsigned char>(pgm[data + y * width + x]) < 128;
        }
    }
    EXPECT_GT(dark, width * height / 200) << "chart page looks blank";
}

TEST(Documents, OdtHoldsEveryLineAndTheChartPicture) {
    ScratchFolder scratch;
    const std::string odt = (scratch.path() / "case.odt").string();
    std::vector<std::string> arguments = {"--format", "odt", "--output", odt};
    arguments.insert(arguments.end(), kScores.begin(), kScores.end());
    const test::ProcessResult run = RunScorer(arguments, "", {"LC_ALL=C", "DISPLAY="});
    ASSERT_EQ(run.status, 0) << run.err;

    const std::string listing = Shell("unzip -l " + test::ShellQuote(odt));
    EXPECT_NE(listing.find("Pictures/"), std::string::npos) << listing;
    // Each paragraph read as OpenDocument reads it: white space in the XML collapses to one
    // blank and is dropped at the paragraph's start; <text:s text:c="n"/> stands for n blanks.
    const QString content =
        QString::fromUtf8(Shell("unzip -p " + test::ShellQuote(odt) + " content.xml"));
    QStringList paragraphs;
    const QRegularExpression paragraph(QStringLiteral("<text:p[^>]*/>|<text:p[^>]*>(.*?)</text:p>"),
                                       QRegularExpression::DotMatchesEverythingOption);
    const QRegularExpression blanks(QStringLiteral("<text:s(?: text:c=\"(\\d+)\")?/>"));
    for (const auto& match : paragraph.globalMatch(content)) {
        QString text = match.captured(1);
        text.replace(QRegularExpression(QStringLiteral("\\s+")), QStringLiteral(" "));
        text.remove(QRegularExpression(QStringLiteral("</?text:span[^>]*>")));
        while (text.startsWith(u' ')) text.remove(0, 1);
        QString plain;
        qsizetype at = 0;
        for (const auto& blank : blanks.globalMatch(text)) {
            plain += text.mid(at, blank.capturedStart() - at);
            plain += QString(blank.captured(1).isEmpty() ? 1 : blank.captured(1).toInt(), u' ');
            at = blank.capturedEnd();
        }
        plain += text.mid(at);
        plain.replace(QStringLiteral("&lt;"), QStringLiteral("<"))
            .replace(QStringLiteral("&gt;"), QStringLiteral(">"))
            .replace(QStringLiteral("&apos;"), QStringLiteral("'"))
            .replace(QStringLiteral("&quot;"), QStringLiteral("\""))
            .replace(QStringLiteral("&amp;"), QStringLiteral("&"));
        // A line's first blank is written as a no-break space, which OpenDocument keeps.
        if (plain.startsWith(QChar::Nbsp)) plain[0] = u' ';
        paragraphs << plain;
    }
    const std::vector<std::string> report = Split(RunScorer(kScores).out, '\n');
    ASSERT_GE(paragraphs.size(), static_cast<qsizetype>(report.size() - 1));
    EXPECT_TRUE(paragraphs.last().startsWith(QStringLiteral("ORVALE ") + ORVALE_VERSION +
                                             QStringLiteral(", exported 20")))
        << paragraphs.last().toStdString();
    // Every run of text is in the monospace font, or the columns would not line up; the chart
    // is 16 cm wide.
    QMap<QString, QString> families;
    const QRegularExpression style(
        QStringLiteral("<style:style style:name=\"(\\w+)\"[^>]*>\\s*<style:text-properties "
                       "fo:font-family=\"([^\"]*)\""));
    for (const auto& match : style.globalMatch(content))
        families[match.captured(1)] = match.captured(2);
    const QRegularExpression span(QStringLiteral("<text:span text:style-name=\"(\\w+)\""));
    int spans = 0;
    for (const auto& match : span.globalMatch(content)) {
        ++spans;
        EXPECT_EQ(families.value(match.captured(1)), QStringLiteral("Courier New"))
            << match.captured(1).toStdString();
    }
    EXPECT_GT(spans, 50);
    EXPECT_TRUE(content.contains(QStringLiteral("svg:width=\"453.5"))) << "chart width";
    for (std::size_t i = 0; i + 1 < report.size(); ++i) {
        EXPECT_EQ(RightTrimmed(paragraphs[static_cast<qsizetype>(i)].toStdString()),
                  RightTrimmed(report[i]))
            << i;
    }
}

// Two exports of one report, each by a process of its own (with its own random hash seed, which
// QT_HASH_SEED left empty does not fix), hold the same files in the same order, byte for byte
// once the export time is taken out of content.xml.
TEST(Documents, OdtExportsOfOneReportDifferOnlyInTheTime) {
    ScratchFolder scratch;
    const std::regex stamp(R"(exported \d{4}-\d\d-\d\dT\d\d:\d\d:\d\d(Z|[+-]\d\d:\d\d))");
    std::vector<std::pair<std::string, std::string>> exports[2];  // members: name, contents
    for (auto& members : exports) {
        const std::string odt = (scratch.path() / "case.odt").string();
        std::vector<std::string> arguments = {"--format", "odt", "--output", odt};
        arguments.insert(arguments.end(), kScores.begin(), kScores.end());
        const auto run = RunScorer(arguments, "", {"LC_ALL=C", "DISPLAY=", "QT_HASH_SEED="});
        ASSERT_EQ(run.status, 0) << run.err;
        for (const std::string& name : Split(Shell("unzip -Z1 " + test::ShellQuote(odt)), '\n')) {
            if (name.empty()) continue;
            std::string contents =
                Shell("unzip -p " + test::ShellQuote(odt) + " " + test::ShellQuote(name));
            if (name == "content.xml") {
                EXPECT_TRUE(std::regex_search(contents, stamp));
                contents = std::regex_replace(contents, stamp, "exported (time)");
            }
            members.emplace_back(name, contents);
        }
    }
    ASSERT_EQ(exports[0].size(), 4u);  // mimetype, the picture, the manifest and content.xml
    ASSERT_EQ(exports[1].size(), 4u);
    for (std::size_t i = 0; i < exports[0].size(); ++i) {
        EXPECT_EQ(exports[0][i].first, exports[1][i].first);
        EXPECT_TRUE(exports[0][i].second == exports[1][i].second) << exports[0][i].first;
    }
}

}  // namespace
}  // namespace orvale
