// SPDX-License-Identifier: GPL-3.0-or-later
// The profile chart window of the results viewer: resizable and non-modal, it shows the chart of
// the latest Compute at whatever size the user gives it, saves it as a PNG or SVG picture and
// copies it to the clipboard. The drawing itself is the core's PaintProfileChart.
#pragma once

#include <QWidget>

#include "engine/scoring.h"

class QPushButton;

namespace orvale {

class Platform;

inline constexpr const char* kDefaultChartFileName = "profile.png";

// Draws the chart to fill the widget.
class ChartView : public QWidget {
  public:
    explicit ChartView(QWidget* parent);
    void SetResults(const ScoringResults& results, const ScoringOptions& options);

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    ScoringResults results_{};
    ScoringOptions options_{};
};

class ChartWindow : public QWidget {
    Q_OBJECT
  public:
    ChartWindow(Platform& platform, QWidget* parent);
    void SetResults(const ScoringResults& results, const ScoringOptions& options);

    // The chart as a picture of the given size in pixels.
    QImage Render(QSize size) const;

  public slots:
    void cmdSaveImageClick();
    void cmdCopyImageClick();

  private:
    // The chart as the file fileName holds it: SVG for a name ending in .svg, PNG otherwise.
    QByteArray Picture(const QString& fileName) const;

    Platform& platform_;
    ChartView* chart_ = nullptr;
    QPushButton* cmdSaveImage = nullptr;
    QPushButton* cmdCopyImage = nullptr;
    ScoringResults results_{};
    ScoringOptions options_{};
    QString saveFileName_;  // offered by the next Save Image...
};

}  // namespace orvale
