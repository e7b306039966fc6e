// A history too long for a dot a drill, read off the rendered columns: each
// pixel column shows the least, the greatest and the mean of its drills.

#include "progress/ProgressChart.h"

#include <QtGui/QImage>
#include <QtGui/QPainter>

#include <gtest/gtest.h>

#include <cmath>

using namespace progress;

namespace {

// Whether colour is found within a device pixel above or below (x, y).
bool nearRow(const QImage& image, int x, int y, QRgb colour) {
  for (int dy = -1; dy <= 1; ++dy)
    if (image.valid(x, y + dy) && image.pixel(x, y + dy) == colour) return true;
  return false;
}

// A paler shade of colour, as the faint lines are drawn: lighter in every
// channel, and not a grey of the grid, the frame or the text.
bool isPaleShadeOf(QRgb pixel, QColor colour) {
  const QColor c = QColor::fromRgb(pixel);
  const bool grey = c.red() == c.green() && c.green() == c.blue();
  return !grey && c != colour && c.red() >= colour.red() && c.green() >= colour.green() &&
         c.blue() >= colour.blue();
}

bool paleNearRow(const QImage& image, int x, int y, QColor colour) {
  for (int dy = -1; dy <= 1; ++dy)
    if (image.valid(x, y + dy) && isPaleShadeOf(image.pixel(x, y + dy), colour)) return true;
  return false;
}

}  // namespace

TEST(ProgressChartColumns, EachColumnShowsTheLeastTheGreatestAndTheMeanOfItsDrills) {
  const QSize size(900, 560);
  ProgressChart probe;
  ScoreRecords one;
  one.records.resize(1);
  probe.SetRecords(drill::GridKind::Square100, one);
  const int width = int(probe.LayoutFor(size).timePlot.width());

  // Ten drills to a column, the column's times 60 s apart from its base,
  // the base one second sooner every column (so the best drill, ringed,
  // is in the last one); scores 50 to 90, and a last drill of 10 points
  // that belongs to its column and not the next.
  ScoreRecords many;
  for (int i = 0; i < 10 * width; ++i) {
    ScoreRecord r;
    r.date = QDate(2024, 1, 1).addDays(i / 10);
    const int tenths = 600 + 10 * (width - 1 - i / 10) + 600 * (i % 10);
    r.minutes = tenths / 600;
    r.seconds = std::uint8_t(tenths / 10 % 60);
    r.score = std::uint8_t(i % 10 == 9 ? 10 : 50 + 5 * (i % 10));
    r.operation = drill::Operation::Multiplication;
    many.records.push_back(r);
  }
  ProgressChart chart;
  chart.SetRecords(drill::GridKind::Square100, std::move(many));
  const ProgressChart::Layout layout = chart.LayoutFor(size);
  ASSERT_TRUE(layout.dense);
  const QColor colour = ProgressChart::OperationColor(drill::Operation::Multiplication);

  for (double dpr : {1.0, 1.5, 2.0}) {
    QImage image((QSizeF(size) * dpr).toSize(), QImage::Format_RGB32);
    image.setDevicePixelRatio(dpr);
    {
      QPainter painter(&image);
      chart.Paint(painter, size);
    }
    for (int k : {0, width / 4, width / 2, 3 * width / 4}) {
      const int x = int(std::floor((layout.timePlot.left() + k + 0.5) * dpr));
      const auto row = [dpr](double y) { return int(std::floor(y * dpr)); };
      const double base = 60 + (width - 1 - k);  // seconds
      EXPECT_TRUE(nearRow(image, x, row(layout.time(base + 270)), colour.rgb())) << "mean time, column " << k
                                                                                 << " at " << dpr << "x";
      EXPECT_TRUE(paleNearRow(image, x, row(layout.time(base)), colour)) << "fastest, column " << k << " at " << dpr;
      EXPECT_TRUE(paleNearRow(image, x, row(layout.time(base + 540)), colour)) << "slowest, column " << k;
      EXPECT_TRUE(nearRow(image, x, row(layout.score(64)), colour.rgb())) << "mean score, column " << k;
      EXPECT_TRUE(paleNearRow(image, x, row(layout.score(10)), colour)) << "lowest score, column " << k;
      EXPECT_TRUE(paleNearRow(image, x, row(layout.score(90)), colour)) << "highest score, column " << k;
      // Between the least and the mean the column holds no line.
      const QRgb between = image.pixel(x, row(layout.time(base + 135)));
      EXPECT_TRUE(between != colour.rgb() && !isPaleShadeOf(between, colour)) << "column " << k;
    }
  }
}
