#pragma once
// The progress chart of one grid kind's history, drawn with QPainter onto
// anything that paints: the chart window, a PNG, a PDF page. Oldest drill on
// the left; above, the time of every drill in seconds; below, its score; one
// colour per operation, with a legend and a ring round the best drill of each
// operation. No widget lives here.

#include "progress/ChartScale.h"
#include "drill/Grid.h"
#include "drill/ScoreRecord.h"

#include <QtCore/QRectF>
#include <QtGui/QColor>
#include <QtGui/QFont>

#include <array>
#include <optional>
#include <vector>

class QPainter;

namespace progress {

class ProgressChart {
 public:
  void SetRecords(drill::GridKind grid, ScoreRecords records);
  // A history that could not be read: the chart shows why.
  void SetError(drill::GridKind grid, const QString& message);

  drill::GridKind Grid() const { return grid_; }
  const ScoreRecords& Records() const { return records_; }
  const QString& Error() const { return error_; }
  // What the chart says instead of drawing drills: the error, that no line
  // of the history could be read (and how many there were), or that there
  // are no records yet. Empty when there are drills to draw.
  QString Message() const;

  // The best drill of an operation, as an index into Records().records: the
  // highest score, then the shortest time, then the earliest.
  std::optional<std::size_t> Best(drill::Operation operation) const;

  static QColor OperationColor(drill::Operation operation);

  // Where everything goes when the chart fills a rectangle of this size.
  struct Layout {
    QRectF timePlot, scorePlot;
    LinearScale x, time, score;
    Ticks xTicks, timeTicks, scoreTicks;
    struct LegendEntry {
      drill::Operation operation;
      QRectF text;  // its dot stands left of it
      QString label;
    };
    std::vector<LegendEntry> legend;  // in rows, wrapped to the width
    bool dense = false;  // too many drills for a dot each: one column of marks per pixel

    QPointF TimePoint(std::size_t index, const ScoreRecord& record) const;
    QPointF ScorePoint(std::size_t index, const ScoreRecord& record) const;
  };
  Layout LayoutFor(QSizeF size) const;

  // Paints the whole chart into (0, 0, size) of painter's coordinates.
  void Paint(QPainter& painter, QSizeF size) const;

  // Radius of the ring round a best drill.
  static constexpr double kBestRing = 8;

 private:
  void PaintAxes(QPainter& painter, const Layout& layout) const;
  void PaintDrills(QPainter& painter, const Layout& layout) const;
  void PaintLegend(QPainter& painter, const Layout& layout) const;
  QString LegendLabel(drill::Operation operation) const;
  QFont font(int pixelSize, bool bold = false) const;
  static void DrawLabel(QPainter& painter, const QRectF& box, Qt::Alignment alignment, const QString& text);

  drill::GridKind grid_ = drill::GridKind::Square100;
  ScoreRecords records_;
  QString error_;
  struct OperationSummary {
    std::size_t count = 0;
    std::optional<std::size_t> best;
  };
  std::array<OperationSummary, 3> summaries_{};
  int slowestTenths_ = 0;  // the time axis reaches past it
};

// Saves the chart as a PNG image (twice the size in pixels, crisp on a
// high-density screen) or, for a path ending in ".pdf", as an A4 landscape
// PDF page; size is the chart's size on screen. Raises Exception on failure,
// leaving no file behind.
void SaveChart(const ProgressChart& chart, const QString& path, QSizeF size);

}  // namespace progress
