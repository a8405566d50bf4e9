// SPDX-License-Identifier: GPL-3.0-or-later
// orvale-score --format json|pdf|odt with no display: the PDF's text against the report line by
// line, its pages against the printing rule plus the chart page, a chart page with ink, its
// title; the ODT's lines and picture, and two ODT exports alike but for the time; JSON values bit
// for bit against ComputeScores, and JSON Lines rows against single-case JSON.
#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QString>
#include <cstring>
#include <regex>
#include <utility>

#include "engine/scoring.h"
#include "engine/tables.h"
#include "report/compose.h"
#include "report/report_document.h"
#include "scorer_process.h"

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

// Every figure of the JSON against the engine's own double, bit for bit.
void ExpectFiguresMatch(const QJsonObject& results, const ScoringResults& r,
                        const ScoringOptions& options) {
    const auto same = [&](const QString& name, double expected) {
        const QJsonValue value = results.value(name);
        ASSERT_TRUE(value.isDouble()) << name.toStdString();
        const double got = value.toDouble();
        EXPECT_EQ(std::memcmp(&got, &expected, sizeof got), 0)
            << name.toStdString() << ": " << got << " vs " << expected;
    };
    for (int i = 0; i < kScoreCount; ++i) {
        const QString s = QString::fromLatin1(kScoreTable[i].abbreviation);
        if (i == kGAI && !options.calculateGai) {
            EXPECT_TRUE(results.value(s).isNull());
            continue;
        }
        same(s, r.scores[i]);
        same(s + "_lower", r.lowerLimits[i]);
        same(s + "_upper", r.upperLimits[i]);
        same(s + "_percentile", r.percentiles[i]);
        same(s + "_lower_percentile", r.lowerPercentiles[i]);
        same(s + "_upper_percentile", r.upperPercentiles[i]);
    }
    const char* pairs[] = {"VC_PR", "VC_WM", "VC_PS", "PR_WM", "PR_PS", "WM_PS", "FSIQ_GAI"};
    const ScoreArray& tested = options.trueScoreDifferences ? r.trueScores : r.scores;
    for (int p = 0; p < kPairCount; ++p) {
        const QString pair = QString::fromLatin1(pairs[p]);
        if (p == kIndexPairCount && !options.calculateGai) continue;
        const Extended difference =
            static_cast<Extended>(tested[kPairTable[p].first]) - tested[kPairTable[p].second];
        same(pair + "_difference", ToDouble(difference));
        same(pair + "_p_one_tailed", r.oneTailedP[p]);
        same(pair + "_p_two_tailed", r.twoTailedP[p]);
        same(pair + "_percent_beyond", r.percentBeyond[p]);
        const QJsonValue verdict = results.value(pair + "_bonferroni");
        if (options.applyBonferroni) {
            EXPECT_EQ(" " + verdict.toString().toStdString(), r.verdicts[p]);
        } else {
            EXPECT_TRUE(verdict.isNull());
        }
    }
    EXPECT_EQ(results.value("low_count").toInt(), r.lowCount);
    EXPECT_EQ(results.value("difference_count").toInt(), r.differenceCount);
    same("chi_square", ToDouble(r.chiSquare));
    same("chi_square_p", ToDouble(r.chiSquareP));
}

TEST(Documents, JsonCarriesEveryFigureBitForBitAndJsonlRowsAgree) {
    struct Case {
        std::vector<std::string> options;
        ScoringOptions scoring;
    };
    const Case cases[] = {
        {{}, {}},
        {{"--method", "glutting", "--ci", "90", "--differences", "true", "--bonferroni",
          "--abnormal", "15"},
         {3, true, true, true, 3}},
        {{"--no-gai", "--bonferroni"}, {0, false, true, false, 1}},
    };
    const std::vector<SubtestEntries> entries = {{15, 19, 10, 1, 19, 10, 15, 1},
                                                 {12, 11, 9, 8, 13, 10, 12, 7.5}};
    for (const Case& c : cases) {
        std::string csv = "id,BD,SI,DS,CD,VO,LN,MR,SS\n";
        std::vector<QJsonObject> singles;
        for (std::size_t k = 0; k < entries.size(); ++k) {
            std::vector<std::string> arguments = c.options;
            arguments.insert(arguments.end(), {"--format", "json"});
            csv += "case" + std::to_string(k);
            for (double value : entries[k]) {
                std::ostringstream text;
                text << value;
                arguments.push_back(text.str());
                csv += "," + text.str();
            }
            csv += "\n";
            const test::ProcessResult run = RunScorer(arguments);
            ASSERT_EQ(run.status, 0) << run.err;
            QJsonParseError error{};
            const QJsonDocument json =
                QJsonDocument::fromJson(QByteArray::fromStdString(run.out), &error);
            ASSERT_EQ(error.error, QJsonParseError::NoError) << run.out;
            const QJsonObject object = json.object();
            EXPECT_EQ(object.value("schema").toInt(), 1);
            EXPECT_EQ(object.value("version").toString(), "1.0.0");
            EXPECT_EQ(object.value("inputs").toObject().value("SS").toDouble(), entries[k][7]);
            ExpectFiguresMatch(object.value("results").toObject(),
                               ComputeScores(entries[k], c.scoring), c.scoring);
            singles.push_back(object);
        }
        std::vector<std::string> arguments = c.options;
        arguments.insert(arguments.end(), {"--batch", "-", "--format", "jsonl"});
        const test::ProcessResult batch = RunScorer(arguments, csv);
        ASSERT_EQ(batch.status, 0) << batch.err;
        const std::vector<std::string> rows = Split(batch.out, '\n');
        ASSERT_EQ(rows.size(), entries.size() + 1);  // one line each, then the final line feed
        for (std::size_t k = 0; k < entries.size(); ++k) {
            QJsonObject row = QJsonDocument::fromJson(QByteArray::fromStdString(rows[k])).object();
            EXPECT_EQ(row.take("id").toString().toStdString(), "case" + std::to_string(k));
            QJsonObject single = singles[k];
            single.remove("notes");
            EXPECT_EQ(row, single) << rows[k];
        }
    }
}

}  // namespace
}  // namespace orvale
