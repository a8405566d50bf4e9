// SPDX-License-Identifier: GPL-3.0-or-later
#include "documents/report_document.h"

#include <QBuffer>
#include <QFontMetrics>
#include <QHashSeed>
#include <QImage>
#include <QPainter>
#include <QPdfWriter>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextDocumentWriter>
#include <QUrl>

#include "documents/fonts.h"
#include "documents/profile_chart.h"
#include "report/iso_time.h"
#include "report/program_info.h"

namespace orvale {

namespace {

constexpr double kPageMarginMm = 15.0;
constexpr int kFooterLines = 3;  // the footer's band: a gap of two lines, then the footer line
// The chart keeps the proportions it is designed in (7 wide, 5 high).
constexpr double kChartAspect = 5.0 / 7.0;
// The chart picture of the OpenDocument file: pixels, and its width on the page.
constexpr int kOdtChartPixelsWide = 1400;
// Qt's OpenDocument writer reads an image's width as pixels at 96 per inch: 16 cm.
constexpr double kOdtChartWidth = 16.0 / 2.54 * 96.0;

void ConfigureWriter(QPdfWriter& writer, QPageSize::PageSizeId pageSize) {
    writer.setPdfVersion(QPagedPaintDevice::PdfVersion_A1b);
    writer.setPageSize(QPageSize(pageSize));
    writer.setPageMargins(QMarginsF(kPageMarginMm, kPageMarginMm, kPageMarginMm, kPageMarginMm),
                          QPageLayout::Millimeter);
}

int FooterHeight(const QFontMetrics& metrics) {
    return kFooterLines * metrics.height();
}

QImage ChartImage(const ReportDocument& document) {
    const int height = static_cast<int>(kOdtChartPixelsWide * kChartAspect);
    QImage image(kOdtChartPixelsWide, height, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    PaintProfileChart(painter, QRectF(image.rect()), document.results, document.options);
    return image;
}

QString ExportStamp(const ReportDocument& document) {
    return QString::fromStdString(IsoTimeWithOffset(document.exportedAt));
}

// Qt's OpenDocument writer lists content.xml's automatic styles in the order of a hash set of
// format numbers, which follows the process's random hash seed: two exports of one report would
// differ for no reason. While an object of this class lives, new hashes take Qt's fixed seed and
// so the writer's set its fixed order. Hashes made before keep their own seeds and those made
// after take a fresh random one (other threads' hashes made meanwhile lose only the seed's
// protection against crafted keys); a seed fixed from the start (QT_HASH_SEED=0) stays fixed.
class FixedHashSeed {
  public:
    FixedHashSeed() : wasRandom_(static_cast<size_t>(QHashSeed::globalSeed()) != 0) {
        QHashSeed::setDeterministicGlobalSeed();
    }
    ~FixedHashSeed() {
        if (wasRandom_) QHashSeed::resetRandomGlobalSeed();
    }
    FixedHashSeed(const FixedHashSeed&) = delete;
    FixedHashSeed& operator=(const FixedHashSeed&) = delete;

  private:
    bool wasRandom_;
};

}  // namespace

QPageSize::PageSizeId PageSizeFor(const QLocale& locale) {
    return locale.measurementSystem() == QLocale::ImperialUSSystem ? QPageSize::Letter
                                                                   : QPageSize::A4;
}

QString ProgramAndVersion() {
    return QStringLiteral("%1 %2").arg(QLatin1String(kProgramName), QLatin1String(kProgramVersion));
}

TextDeviceMetrics PdfTextMetrics(QPageSize::PageSizeId pageSize) {
    QBuffer scratch;
    scratch.open(QIODevice::WriteOnly);
    QPdfWriter writer(&scratch);
    ConfigureWriter(writer, pageSize);
    const QFontMetrics metrics(FixedPitchPrintFont(kPrintPointSize), &writer);
    return FontTextDeviceMetrics(metrics, writer.width(), writer.height() - FooterHeight(metrics));
}

QByteArray RenderReportPdf(const ReportDocument& document, QPageSize::PageSizeId pageSize) {
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    {
        QPdfWriter writer(&buffer);
        ConfigureWriter(writer, pageSize);
        writer.setTitle(QString::fromLatin1(kDocumentTitle));
        writer.setCreator(ProgramAndVersion());
        QPainter painter(&writer);
        painter.setFont(FixedPitchPrintFont(kPrintPointSize));
        const QFontMetrics metrics(painter.font(), &writer);
        const int bodyHeight = writer.height() - FooterHeight(metrics);
        const std::vector<PrintedLine> lines = LayoutTextDevice(
            document.lines.join(u'\n'), FontTextDeviceMetrics(metrics, writer.width(), bodyHeight));
        const int pages = LayoutPageCount(lines) + 1;  // the chart's page last
        const QString stamp = ExportStamp(document);
        const auto footer = [&](int page) {
            const QRect band(0, writer.height() - metrics.height(), writer.width(),
                             metrics.height());
            painter.drawText(band, Qt::AlignLeft | Qt::AlignVCenter, ProgramAndVersion());
            painter.drawText(band, Qt::AlignHCenter | Qt::AlignVCenter, stamp);
            painter.drawText(band, Qt::AlignRight | Qt::AlignVCenter,
                             QStringLiteral("page %1 of %2").arg(page + 1).arg(pages));
        };
        PaintLaidOutText(painter, writer, lines, QPoint(0, 0), footer);
        writer.newPage();
        const double chartHeight = std::min<double>(bodyHeight, writer.width() * kChartAspect);
        PaintProfileChart(painter, QRectF(0, 0, writer.width(), chartHeight), document.results,
                          document.options);
        footer(pages - 1);
    }
    return buffer.data();
}

QByteArray RenderReportOdt(const ReportDocument& document) {
    QTextDocument text;
    const QFont font = FixedPitchPrintFont(kPrintPointSize);
    text.setDefaultFont(font);
    QTextCharFormat monospace;
    monospace.setFont(font);
    // Qt's OpenDocument writer names a style's font from the single-family property only; the
    // list that QFont and setFontFamilies set is not written, and every line would be in "Sans".
    // The first family is the one word processors know (or substitute metric-compatibly).
    monospace.setProperty(QTextFormat::OldFontFamily, font.families().value(0));
    QTextCursor cursor(&text);
    cursor.setBlockCharFormat(monospace);
    for (qsizetype i = 0; i < document.lines.size(); ++i) {
        if (i > 0) cursor.insertBlock(QTextBlockFormat(), monospace);
        // OpenDocument drops white space at the start of a paragraph, and Qt's writer writes a
        // single leading blank as plain white space: the column would be lost. A no-break
        // space in its place looks and measures the same and is kept.
        QString line = document.lines[i];
        if (line.startsWith(u' ')) line[0] = QChar::Nbsp;
        cursor.insertText(line, monospace);
    }

    const QImage chart = ChartImage(document);
    const QUrl name(QStringLiteral("profile-chart.png"));
    text.addResource(QTextDocument::ImageResource, name, chart);
    QTextBlockFormat newPage;
    newPage.setPageBreakPolicy(QTextFormat::PageBreak_AlwaysBefore);
    cursor.insertBlock(newPage, monospace);
    QTextImageFormat picture;
    picture.merge(monospace);
    picture.setName(name.toString());
    picture.setWidth(kOdtChartWidth);
    picture.setHeight(kOdtChartWidth * kChartAspect);
    cursor.insertImage(picture);
    // Where the PDF has its footers: which program made the document, and when.
    cursor.insertBlock(QTextBlockFormat(), monospace);
    cursor.insertText(ProgramAndVersion() + QStringLiteral(", exported ") + ExportStamp(document),
                      monospace);

    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    QTextDocumentWriter writer(&buffer, "ODF");
    {
        const FixedHashSeed fixedSeed;
        writer.write(&text);
    }
    return buffer.data();
}

}  // namespace orvale
