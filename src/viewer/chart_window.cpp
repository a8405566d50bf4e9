// SPDX-License-Identifier: GPL-3.0-or-later
#include "viewer/chart_window.h"

#include <QBuffer>
#include <QHBoxLayout>
#include <QImage>
#include <QPainter>
#include <QPushButton>
#include <QVBoxLayout>

#include "desktop/platform.h"
#include "desktop/run_guarded.h"
#include "desktop/user_files.h"
#include "documents/profile_chart.h"
#include "report/chart_svg.h"

namespace orvale {

namespace {

// The chart's design proportions (7 wide, 5 high) at a size that prints and projects well.
constexpr QSize kPictureSize(1400, 1000);
constexpr QSize kInitialWindowSize(760, 580);

}  // namespace

ChartView::ChartView(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("chartProfile"));
    setMinimumSize(350, 250);
}

void ChartView::SetResults(const ScoringResults& results, const ScoringOptions& options) {
    results_ = results;
    options_ = options;
    update();
}

void ChartView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    PaintProfileChart(painter, QRectF(rect()), results_, options_);
}

ChartWindow::ChartWindow(Platform& platform, QWidget* parent)
    : QWidget(parent, Qt::Window),
      platform_(platform),
      saveFileName_(QString::fromLatin1(kDefaultChartFileName)) {
    setObjectName(QStringLiteral("frmProfileChart"));
    setWindowTitle(QStringLiteral("Profile Chart"));
    chart_ = new ChartView(this);
    cmdSaveImage = new QPushButton(QStringLiteral("Save Image..."), this);
    cmdSaveImage->setObjectName(QStringLiteral("cmdSaveImage"));
    cmdCopyImage = new QPushButton(QStringLiteral("Copy"), this);
    cmdCopyImage->setObjectName(QStringLiteral("cmdCopyImage"));
    connect(cmdSaveImage, &QPushButton::clicked, this, &ChartWindow::cmdSaveImageClick);
    connect(cmdCopyImage, &QPushButton::clicked, this, &ChartWindow::cmdCopyImageClick);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cmdSaveImage);
    buttons->addWidget(cmdCopyImage);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(chart_, 1);
    layout->addLayout(buttons);
    resize(kInitialWindowSize);
}

void ChartWindow::SetResults(const ScoringResults& results, const ScoringOptions& options) {
    results_ = results;
    options_ = options;
    chart_->SetResults(results, options);
}

QImage ChartWindow::Render(QSize size) const {
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    PaintProfileChart(painter, QRectF(image.rect()), results_, options_);
    return image;
}

void ChartWindow::cmdSaveImageClick() {
    // A name without an extension is saved as a PNG picture and named so.
    const std::optional<QString> chosen = platform_.GetSaveFileNameWithSuffix(
        this, saveFileName_, QStringLiteral("PNG image (*.png);;SVG image (*.svg)"),
        QStringLiteral(".png"));
    if (!chosen) return;
    saveFileName_ = *chosen;
    std::optional<QString> reason;
    if (!RunGuarded(platform_, [&] { reason = WriteWholeFile(*chosen, Picture(*chosen)); })) {
        return;
    }
    if (reason) {
        platform_.ShowError(
            QStringLiteral("The chart could not be saved to %1: %2").arg(*chosen, *reason));
    }
}

QByteArray ChartWindow::Picture(const QString& fileName) const {
    // The SVG picture is the core's, the same that orvale-score --format svg writes.
    if (fileName.endsWith(QStringLiteral(".svg"), Qt::CaseInsensitive)) {
        return QByteArray::fromStdString(ProfileChartSvg(results_, options_));
    }
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    Render(kPictureSize).save(&buffer, "PNG");
    return buffer.data();
}

void ChartWindow::cmdCopyImageClick() {
    QImage image;
    if (RunGuarded(platform_, [&] { image = Render(kPictureSize); })) {
        platform_.SetClipboardImage(image);
    }
}

}  // namespace orvale
