#include "progress/ProgressChart.h"

#include "progress/ChartColumns.h"

#include "platform/Application.h"
#include "platform/Exception.h"
#include "progress/SafeWrite.h"

#include <QtGui/QFontMetricsF>
#include <QtGui/QPaintEngine>
#include <QtGui/QPainter>
#include <QtGui/QStaticText>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>

namespace progress {
namespace {

constexpr double kMargin = 14;
constexpr double kAxisWidth = 62;   // tick labels and the axis title left of a plot
constexpr double kPanelGap = 16;
constexpr double kDotRadius = 3.5;
constexpr double kMinDotSpacing = 4;  // closer than this, drills are drawn as columns
constexpr double kLegendRow = 22;
constexpr double kMinPrintedLine = 0.5;  // points: thinner lines all but vanish on paper

const QColor kText(0x20, 0x20, 0x20);
const QColor kMuted(0x70, 0x70, 0x70);
const QColor kGridLine(0xE2, 0xE2, 0xE2);
const QColor kFrame(0x90, 0x90, 0x90);
const QColor kErrorText(0xA0, 0x10, 0x10);

constexpr drill::Operation kOperations[] = {drill::Operation::Addition, drill::Operation::Multiplication,
                                            drill::Operation::Subtraction};

std::size_t Slot(drill::Operation operation) { return std::size_t(operation); }

QString DateText(const QDate& date) {
  return QStringLiteral("%1/%2/%3").arg(date.year()).arg(date.month()).arg(date.day(), 2, 10, QLatin1Char('0'));
}

QString TickText(double value, const Ticks& ticks) { return QString::number(value, 'f', ticks.decimals()); }

// Device pixels per unit of the painter's coordinates, so lines fall on
// whole device pixels (crisp at 2x) and dense columns are one device pixel.
double DeviceScale(const QPainter& painter) {
  const double scale = painter.device() ? painter.device()->devicePixelRatioF() : 1.0;
  return scale > 0 ? scale : 1.0;
}

double Snap(double v, double scale) { return std::round(v * scale) / scale; }

bool OnWholePixels(QPointF p) { return p.x() == std::floor(p.x()) && p.y() == std::floor(p.y()); }

// The width of a line meant to be as thin as the device draws: a hairline
// on a screen or an image; on paper (a PDF page, a printer) half a point,
// as a printed hairline is barely seen.
double ThinLine(const QPainter& painter) {
  if (!painter.paintEngine() || painter.paintEngine()->type() != QPaintEngine::Pdf || !painter.device()) return 0;
  const double devicePerUnit = std::sqrt(std::abs(painter.deviceTransform().determinant()));
  if (!(devicePerUnit > 0)) return 0;
  return painter.device()->logicalDpiX() * kMinPrintedLine / 72 / devicePerUnit;
}

// An axis-aligned line as thin as the device draws. On an image (or a
// window) a line from one whole device pixel to another is filled as a
// rectangle: the same pixels the pen sets, both ends included, but the pen
// sets them one at a time and costs many times as much. Anywhere else (a
// PDF page, a line between pixels) the line is drawn with the pen.
void DrawHairline(QPainter& painter, QPointF from, QPointF to, const QColor& colour) {
  const QTransform& device = painter.deviceTransform();
  if (painter.paintEngine() && painter.paintEngine()->type() == QPaintEngine::Raster &&
      device.type() <= QTransform::TxScale &&
      !painter.testRenderHint(QPainter::Antialiasing)) {
    const QPointF a = device.map(from), b = device.map(to);
    if ((a.x() == b.x() || a.y() == b.y()) && OnWholePixels(a) && OnWholePixels(b)) {
      const QRectF pixels = QRectF(a, b).normalized().adjusted(0, 0, 1, 1);
      painter.fillRect(device.inverted().mapRect(pixels), colour);
      return;
    }
  }
  painter.setPen(QPen(colour, ThinLine(painter)));
  painter.drawLine(from, to);
}

void DrawHairlineFrame(QPainter& painter, const QRectF& rect, const QColor& colour) {
  DrawHairline(painter, rect.topLeft(), rect.topRight(), colour);
  DrawHairline(painter, rect.bottomLeft(), rect.bottomRight(), colour);
  DrawHairline(painter, rect.topLeft(), rect.bottomLeft(), colour);
  DrawHairline(painter, rect.topRight(), rect.bottomRight(), colour);
}

}  // namespace

void ProgressChart::SetRecords(drill::GridKind grid, ScoreRecords records) {
  grid_ = grid;
  records_ = std::move(records);
  error_.clear();
  summaries_ = {};
  slowestTenths_ = 0;
  for (std::size_t i = 0; i < records_.records.size(); ++i) {
    const ScoreRecord& r = records_.records[i];
    slowestTenths_ = std::max(slowestTenths_, r.TimeTenths());
    OperationSummary& summary = summaries_[Slot(r.operation)];
    ++summary.count;
    if (summary.best) {
      const ScoreRecord& b = records_.records[*summary.best];
      if (r.score < b.score || (r.score == b.score && r.TimeTenths() >= b.TimeTenths())) continue;
    }
    summary.best = i;
  }
}

void ProgressChart::SetError(drill::GridKind grid, const QString& message) {
  SetRecords(grid, {});
  error_ = message;
}

std::optional<std::size_t> ProgressChart::Best(drill::Operation operation) const {
  return summaries_[Slot(operation)].best;
}

QString ProgressChart::Message() const {
  if (!error_.isEmpty()) return error_;
  if (!records_.records.empty()) return {};
  if (records_.skipped > 0)
    return QStringLiteral("成績ファイルの %1 行は、どれも記録として読めませんでした。\n"
                          "Shift-JIS か UTF-8 のテキストとして保存すると読めます。")
        .arg(records_.skipped);
  return QStringLiteral("まだ記録がありません");
}

QColor ProgressChart::OperationColor(drill::Operation operation) {
  // Told apart also by readers with a red-green colour weakness.
  switch (operation) {
    case drill::Operation::Addition:
      return QColor(0x00, 0x72, 0xB2);
    case drill::Operation::Multiplication:
      return QColor(0x00, 0x9E, 0x73);
    case drill::Operation::Subtraction:
      break;
  }
  return QColor(0xD5, 0x5E, 0x00);
}

void ProgressChart::DrawLabel(QPainter& painter, const QRectF& box, Qt::Alignment alignment,
                              const QString& text) {
  // Charts draw the same few dozen labels on every repaint: each is laid
  // out once (in the window thread, the only one that paints charts), which
  // saves most of the cost of painting a chart.
  static QHash<QString, QStaticText> labels;
  const QFont& font = painter.font();
  const QString key = QString::number(font.pixelSize()) + (font.bold() ? u'b' : u'r') + text;
  auto found = labels.find(key);
  if (found == labels.end()) {
    if (labels.size() >= 1024) labels.clear();  // dates and counts come and go
    QStaticText label(text);
    label.setTextFormat(Qt::PlainText);
    label.setPerformanceHint(QStaticText::AggressiveCaching);
    label.prepare(QTransform(), font);
    found = labels.insert(key, label);
  }
  const QSizeF size = found->size();
  double x = box.left(), y = box.top();
  if (alignment & Qt::AlignRight) x = box.right() - size.width();
  if (alignment & Qt::AlignHCenter) x = box.center().x() - size.width() / 2;
  if (alignment & Qt::AlignBottom) y = box.bottom() - size.height();
  if (alignment & Qt::AlignVCenter) y = box.center().y() - size.height() / 2;
  painter.drawStaticText(QPointF(x, y), *found);
}

QFont ProgressChart::font(int pixelSize, bool bold) const {
  QFont f(QString::fromUtf16(platform::kWindowFontFamily));
  f.setPixelSize(pixelSize);
  f.setBold(bold);
  return f;
}

QString ProgressChart::LegendLabel(drill::Operation operation) const {
  const OperationSummary& summary = summaries_[Slot(operation)];
  const ScoreRecord& best = records_.records[*summary.best];
  return QStringLiteral("%1 %2回  ベスト %3（%4点）")
      .arg(drill::OperationName(operation))
      .arg(summary.count)
      .arg(best.TimeText())
      .arg(int(best.score));
}

ProgressChart::Layout ProgressChart::LayoutFor(QSizeF size) const {
  Layout layout;
  const double n = double(records_.records.size());
  const double left = std::round(kMargin + kAxisWidth);
  const double right = std::round(size.width() - kMargin - 6);

  // The legend runs in rows above the plots: an entry that does not fit
  // beside the one before starts a new row. Only an entry wider than a
  // whole row is shortened.
  const QFontMetricsF metrics(font(13));
  double x = left, y = kMargin + 28;
  for (drill::Operation operation : kOperations) {
    if (summaries_[Slot(operation)].count == 0) continue;
    QString label = LegendLabel(operation);
    double width = metrics.horizontalAdvance(label) + 1;
    if (x > left && x + 16 + width > right) {
      x = left;
      y += kLegendRow;
    }
    if (x + 16 + width > right) {
      width = std::max(0.0, right - x - 16);
      label = metrics.elidedText(label, Qt::ElideRight, width);
    }
    layout.legend.push_back({operation, QRectF(x + 16, y, width, 20), label});
    x += 16 + width + 24;
  }
  const double top = std::round(y + 30);
  const double bottom = std::round(size.height() - kMargin - 40 - (records_.skipped > 0 ? 18 : 0));
  const double plotHeight = std::max(40.0, bottom - top - kPanelGap);
  const double timeHeight = std::round(plotHeight * 0.68);
  layout.timePlot = QRectF(left, top, std::max(20.0, right - left), timeHeight);
  layout.scorePlot = QRectF(left, top + timeHeight + kPanelGap, layout.timePlot.width(),
                            std::max(20.0, plotHeight - timeHeight));

  layout.x = {0.5, n + 0.5, layout.timePlot.left(), layout.timePlot.right()};
  layout.xTicks = CountTicks(1, std::max(1.0, n), std::max(2, int(layout.timePlot.width() / 90)));

  layout.timeTicks = NiceTicks(0, std::max(1.0, slowestTenths_ / 10.0), std::max(2, int(timeHeight / 36)));
  layout.time = {0, layout.timeTicks.last(), layout.timePlot.bottom(), layout.timePlot.top()};
  layout.scoreTicks = NiceTicks(0, 100, std::max(2, int(layout.scorePlot.height() / 26)));
  layout.score = {0, layout.scoreTicks.last(), layout.scorePlot.bottom(), layout.scorePlot.top()};
  layout.dense = n * kMinDotSpacing > layout.timePlot.width();
  return layout;
}

QPointF ProgressChart::Layout::TimePoint(std::size_t index, const ScoreRecord& record) const {
  return {x(double(index) + 1), time(record.TimeSeconds())};
}

QPointF ProgressChart::Layout::ScorePoint(std::size_t index, const ScoreRecord& record) const {
  return {x(double(index) + 1), score(record.score)};
}

void ProgressChart::Paint(QPainter& painter, QSizeF size) const {
  painter.save();
  painter.setRenderHint(QPainter::Antialiasing, false);
  painter.setRenderHint(QPainter::TextAntialiasing, true);
  painter.fillRect(QRectF(QPointF(0, 0), size), Qt::white);

  const QString title = QStringLiteral("成績グラフ %1").arg(drill::GridName(grid_));
  painter.setPen(kText);
  painter.setFont(font(18, true));
  DrawLabel(painter, QRectF(kMargin, kMargin, size.width() - 2 * kMargin, 24), Qt::AlignLeft | Qt::AlignVCenter,
            title);

  const std::vector<ScoreRecord>& records = records_.records;
  const QRectF middle(kMargin, kMargin, size.width() - 2 * kMargin, size.height() - 2 * kMargin);
  if (const QString message = Message(); !message.isEmpty()) {
    painter.setFont(font(20));
    painter.setPen(error_.isEmpty() && records_.skipped == 0 ? kMuted : kErrorText);
    painter.drawText(middle, Qt::AlignCenter | Qt::TextWordWrap, message);
    painter.restore();
    return;
  }

  painter.setFont(font(13));
  painter.setPen(kMuted);
  DrawLabel(painter, QRectF(kMargin, kMargin, size.width() - 2 * kMargin, 24), Qt::AlignRight | Qt::AlignVCenter,
            QStringLiteral("%1回  %2 〜 %3")
                       .arg(records.size())
                       .arg(DateText(records.front().date), DateText(records.back().date)));

  const Layout layout = LayoutFor(size);
  PaintLegend(painter, layout);
  PaintAxes(painter, layout);
  PaintDrills(painter, layout);

  if (records_.skipped > 0) {
    painter.setFont(font(12));
    painter.setPen(kMuted);
    DrawLabel(painter, QRectF(kMargin, size.height() - kMargin - 16, size.width() - 2 * kMargin, 16),
              Qt::AlignLeft | Qt::AlignVCenter,
              QStringLiteral("記録として読めない行が %1 行あり、とばしました").arg(records_.skipped));
  }
  painter.restore();
}

void ProgressChart::PaintLegend(QPainter& painter, const Layout& layout) const {
  painter.setFont(font(13));
  for (const Layout::LegendEntry& entry : layout.legend) {
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setPen(Qt::NoPen);
    painter.setBrush(OperationColor(entry.operation));
    painter.drawEllipse(QPointF(entry.text.left() - 10, entry.text.top() + 10), 5.5, 5.5);
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setPen(kText);
    DrawLabel(painter, entry.text, Qt::AlignLeft | Qt::AlignVCenter, entry.label);
  }
}

void ProgressChart::PaintAxes(QPainter& painter, const Layout& layout) const {
  const double scale = DeviceScale(painter);
  painter.setFont(font(12));
  const QFontMetricsF metrics(painter.font());
  const double n = double(records_.records.size());

  struct Panel {
    QRectF plot;
    const LinearScale& y;
    const Ticks& ticks;
    QString title;
  };
  const Panel panels[] = {{layout.timePlot, layout.time, layout.timeTicks, QStringLiteral("タイム（秒）")},
                          {layout.scorePlot, layout.score, layout.scoreTicks, QStringLiteral("点数")}};
  for (const Panel& panel : panels) {
    for (int i = 0; i < panel.ticks.count; ++i) {
      const double y = Snap(panel.y(panel.ticks.at(i)), scale);
      DrawHairline(painter, QPointF(panel.plot.left(), y), QPointF(panel.plot.right(), y), kGridLine);
    }
    for (int i = 0; i < layout.xTicks.count; ++i) {
      const double value = layout.xTicks.at(i);
      if (value < 1 || value > n) continue;
      const double x = Snap(layout.x(value), scale);
      DrawHairline(painter, QPointF(x, panel.plot.top()), QPointF(x, panel.plot.bottom()), kGridLine);
    }
    DrawHairlineFrame(painter, panel.plot, kFrame);

    painter.setPen(kText);
    for (int i = 0; i < panel.ticks.count; ++i) {
      const double y = panel.y(panel.ticks.at(i));
      DrawLabel(painter, QRectF(panel.plot.left() - 48, y - 8, 42, 16), Qt::AlignRight | Qt::AlignVCenter,
                TickText(panel.ticks.at(i), panel.ticks));
    }
    // The axis title runs up the left edge.
    painter.save();
    painter.translate(kMargin, panel.plot.center().y());
    painter.rotate(-90);
    DrawLabel(painter, QRectF(-panel.plot.height() / 2, 0, panel.plot.height(), metrics.height()), Qt::AlignCenter,
              panel.title);
    painter.restore();
  }

  const QRectF& below = layout.scorePlot;
  for (int i = 0; i < layout.xTicks.count; ++i) {
    const double value = layout.xTicks.at(i);
    if (value < 1 || value > n) continue;
    const double x = layout.x(value);
    DrawLabel(painter, QRectF(x - 40, below.bottom() + 3, 80, 16), Qt::AlignHCenter | Qt::AlignTop,
              TickText(value, layout.xTicks));
  }
  const QRectF axisTitle(below.left(), below.bottom() + 20, below.width(), 18);
  DrawLabel(painter, axisTitle, Qt::AlignHCenter | Qt::AlignVCenter, QStringLiteral("何回目（古い順）"));
  painter.setPen(kMuted);
  DrawLabel(painter, axisTitle, Qt::AlignLeft | Qt::AlignVCenter, DateText(records_.records.front().date));
  DrawLabel(painter, axisTitle, Qt::AlignRight | Qt::AlignVCenter, DateText(records_.records.back().date));
}

void ProgressChart::PaintDrills(QPainter& painter, const Layout& layout) const {
  const std::vector<ScoreRecord>& records = records_.records;
  painter.save();
  if (!layout.dense) {
    // A dot for every drill, each operation's dots joined in date order.
    std::array<QList<QPointF>, 3> times, scores;
    for (std::size_t i = 0; i < records.size(); ++i) {
      times[Slot(records[i].operation)].append(layout.TimePoint(i, records[i]));
      scores[Slot(records[i].operation)].append(layout.ScorePoint(i, records[i]));
    }
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setBrush(Qt::NoBrush);
    for (drill::Operation operation : kOperations) {
      // One device pixel wide on a screen: a wider pen is stroked as a
      // filled path, ten times dearer. On paper, half a point.
      QColor line = OperationColor(operation);
      line.setAlphaF(0.6);
      painter.setPen(QPen(line, ThinLine(painter)));
      painter.drawPolyline(times[Slot(operation)]);
      painter.drawPolyline(scores[Slot(operation)]);
    }
    painter.setPen(Qt::NoPen);
    for (drill::Operation operation : kOperations) {
      painter.setBrush(OperationColor(operation));
      for (auto* points : {&times[Slot(operation)], &scores[Slot(operation)]})
        for (const QPointF& p : *points) painter.drawEllipse(p, kDotRadius, kDotRadius);
    }
  } else {
    // More drills than room for dots: per operation and pixel column,
    // the mean of the times (and scores) that fall in it as a line, and
    // their least and greatest as faint lines (ChartColumns.h). Only each
    // column's figures are placed on the axes, so the painting costs as
    // much as the plot is wide. Columns are whole pixels of the chart,
    // their lines on whole device pixels.
    const double scale = DeviceScale(painter);
    struct Trace {
      QPolygonF top, bottom, mean;
    };
    std::array<std::array<Trace, 2>, 3> traces;  // per operation: times, scores
    // The plot's edges are whole pixels (LayoutFor rounds them).
    for (const ChartColumns& column :
         BinColumns(records, std::lround(layout.timePlot.left()), std::llround(layout.timePlot.width()))) {
      const double x = (std::floor((double(column.x) + 0.5) * scale) + 0.5) / scale;
      for (std::size_t op = 0; op < column.operations.size(); ++op) {
        const ChartColumn& c = column.operations[op];
        if (c.count == 0) continue;
        Trace& times = traces[op][0];
        times.top.append(QPointF(x, layout.time(c.slowest / 10.0)));
        times.bottom.append(QPointF(x, layout.time(c.fastest / 10.0)));
        times.mean.append(QPointF(x, layout.time(c.MeanTenths() / 10.0)));
        Trace& scores = traces[op][1];
        scores.top.append(QPointF(x, layout.score(c.highest)));
        scores.bottom.append(QPointF(x, layout.score(c.lowest)));
        scores.mean.append(QPointF(x, layout.score(c.MeanScore())));
      }
    }
    // Aliased: a line with a point in every device pixel column gains
    // nothing from antialiasing and costs many times as much with it. The
    // span of the drills is drawn as two faint lines, not a filled band:
    // blending a band over the plot would cost more than the rest together.
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setBrush(Qt::NoBrush);
    for (drill::Operation operation : kOperations) {
      // An opaque pale tint: blending costs more than the line.
      const QColor colour = OperationColor(operation);
      const QColor faint = QColor::fromRgbF(float(0.35 * colour.redF() + 0.65), float(0.35 * colour.greenF() + 0.65),
                                            float(0.35 * colour.blueF() + 0.65));
      painter.setPen(QPen(faint, ThinLine(painter)));
      for (const Trace& t : traces[Slot(operation)]) {
        painter.drawPolyline(t.top);
        painter.drawPolyline(t.bottom);
      }
    }
    for (drill::Operation operation : kOperations) {
      painter.setPen(QPen(OperationColor(operation), ThinLine(painter)));
      for (const Trace& t : traces[Slot(operation)]) painter.drawPolyline(t.mean);
    }
  }

  // The best drill of each operation, ringed in white and its colour so the
  // ring stands out on a crowded plot.
  painter.setRenderHint(QPainter::Antialiasing, true);
  painter.setBrush(Qt::NoBrush);
  for (drill::Operation operation : kOperations) {
    const std::optional<std::size_t> best = Best(operation);
    if (!best) continue;
    const QPointF p = layout.TimePoint(*best, records[*best]);
    painter.setPen(QPen(Qt::white, 5));
    painter.drawEllipse(p, kBestRing, kBestRing);
    painter.setPen(QPen(OperationColor(operation), 2.5));
    painter.drawEllipse(p, kBestRing, kBestRing);
  }
  painter.restore();
}

void SaveChart(const ProgressChart& chart, const QString& path, QSizeF size) {
  SavePicture(path, size, QStringLiteral("成績グラフ %1").arg(drill::GridName(chart.Grid())),
              QStringLiteral("グラフは .png か .pdf のファイルに保存します"),
              [&](QPainter& painter) { chart.Paint(painter, size); });
}

}  // namespace progress
