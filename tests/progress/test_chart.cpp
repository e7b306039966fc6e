// The chart's tick rule, and the chart itself read off rendered pixels.

#include "progress/ProgressChart.h"
#include "progress/ProgressWindow.h"

#include "common/TestSupport.h"
#include "platform/Exception.h"
#include "platform/ShiftJis.h"

#include <QtCore/QDir>
#include <QtCore/QFile>
#include <QtCore/QProcess>
#include <QtGui/QImage>
#include <QtGui/QPainter>
#include <QtTest/QTest>

#include <gtest/gtest.h>

#include <cmath>
#include <random>

using namespace progress;
using drill::Operation;

namespace {

bool isNice(double step) {
  const double fraction = step / std::pow(10.0, std::floor(std::log10(step) + 1e-9));
  for (double nice : {1.0, 2.0, 5.0, 10.0})
    if (std::abs(fraction - nice) < 1e-9) return true;
  return false;
}

ScoreRecord record(int day, int score, Operation operation, int tenths) {
  ScoreRecord r;
  r.date = QDate(2024, 4, day);
  r.score = score;
  r.operation = operation;
  r.minutes = tenths / 600;
  r.seconds = tenths / 10 % 60;
  r.tenths = tenths % 10;
  return r;
}

QImage render(const ProgressChart& chart, QSize size, double dpr) {
  QImage image((QSizeF(size) * dpr).toSize(), QImage::Format_RGB32);
  image.setDevicePixelRatio(dpr);
  QPainter painter(&image);
  chart.Paint(painter, size);
  return image;
}

QRgb pixel(const QImage& image, QPointF logical) {
  const double dpr = image.devicePixelRatio();
  return image.pixel(int(std::floor(logical.x() * dpr)), int(std::floor(logical.y() * dpr)));
}

// Pixels of exactly this colour in a logical square of radius r round p.
int countNear(const QImage& image, QPointF p, double r, QColor colour) {
  const double dpr = image.devicePixelRatio();
  int n = 0;
  for (int y = int((p.y() - r) * dpr); y <= int((p.y() + r) * dpr); ++y)
    for (int x = int((p.x() - r) * dpr); x <= int((p.x() + r) * dpr); ++x)
      if (image.valid(x, y) && image.pixel(x, y) == colour.rgb()) ++n;
  return n;
}

int countColour(const QImage& image, QColor colour) {
  int n = 0;
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x) n += image.pixel(x, y) == colour.rgb();
  return n;
}

// Six drills over four days; the best subtraction is the fast 100 (index 4),
// not the faster 90.
ScoreRecords smallHistory() {
  ScoreRecords h;
  h.records = {record(1, 100, Operation::Addition, 1500), record(1, 95, Operation::Multiplication, 2100),
               record(2, 90, Operation::Subtraction, 1200), record(3, 100, Operation::Addition, 1300),
               record(3, 100, Operation::Subtraction, 1700), record(4, 98, Operation::Addition, 1400)};
  return h;
}

}  // namespace

TEST(ChartScale, NiceTicksCoverTheRangeInNiceSteps) {
  const struct {
    double low, high;
    int maxTicks;
    double first, step;
    int count;
  } cases[] = {
      {0, 100, 6, 0, 20, 6},      {0, 100, 3, 0, 50, 3},     {0, 321.7, 8, 0, 100, 5},
      {1, 100000, 10, 0, 10000, 11}, {1, 7, 8, 1, 1, 7},     {0, 0.37, 5, 0, 0.1, 5},
      {12, 12, 5, 5, 5, 4},       {0, 0, 3, -1, 1, 3},
  };
  for (const auto& c : cases) {
    const Ticks t = NiceTicks(c.low, c.high, c.maxTicks);
    EXPECT_DOUBLE_EQ(t.first, c.first) << c.low << ".." << c.high;
    EXPECT_DOUBLE_EQ(t.step, c.step) << c.low << ".." << c.high;
    EXPECT_EQ(t.count, c.count) << c.low << ".." << c.high;
  }
  EXPECT_EQ(NiceTicks(0, 0.37, 5).decimals(), 1);
  EXPECT_EQ(NiceTicks(0, 100, 6).decimals(), 0);
  EXPECT_EQ(NiceTicks(0, std::nan(""), 5).count, 0);

  std::mt19937 random(7);
  for (int n = 0; n < 2000; ++n) {
    const double low = std::uniform_real_distribution<double>(-1000, 1000)(random);
    const double high = low + std::exp(std::uniform_real_distribution<double>(-5, 12)(random));
    const int maxTicks = 2 + n % 12;
    const Ticks t = NiceTicks(low, high, maxTicks);
    ASSERT_TRUE(isNice(t.step)) << t.step;
    ASSERT_LE(t.first, low + t.step * 1e-9);
    ASSERT_GE(t.last(), high - t.step * 1e-9);
    // Steps round to the nearest nice number, so a few more ticks than asked for may come.
    ASSERT_LE(t.count, 1.5 * (maxTicks - 1) + 2) << low << ".." << high << " / " << maxTicks;
    ASSERT_GE(t.count, 2);
  }
}

TEST(ProgressChartPixels, DrillsInDateOrderInTheirOperationsColourWithTheBestRinged) {
  ProgressChart chart;
  chart.SetRecords(drill::GridKind::Square100, smallHistory());
  ASSERT_EQ(chart.Best(Operation::Addition), 3u) << "100 in 130 s beats 100 in 150 s";
  ASSERT_EQ(chart.Best(Operation::Subtraction), 4u) << "a score of 100 beats a faster 90";
  ASSERT_EQ(chart.Best(Operation::Multiplication), 1u);

  const QSize size(800, 520);
  for (double dpr : {1.0, 2.0}) {
    const QImage image = render(chart, size, dpr);
    ASSERT_EQ(image.width(), int(800 * dpr));
    const ProgressChart::Layout layout = chart.LayoutFor(size);
    ASSERT_FALSE(layout.dense);
    const auto& records = chart.Records().records;
    double lastX = -1;
    for (std::size_t i = 0; i < records.size(); ++i) {
      const QColor colour = ProgressChart::OperationColor(records[i].operation);
      const QPointF time = layout.TimePoint(i, records[i]);
      const QPointF score = layout.ScorePoint(i, records[i]);
      EXPECT_EQ(pixel(image, time), colour.rgb()) << "drill " << i << " at " << dpr << "x";
      EXPECT_EQ(pixel(image, score), colour.rgb()) << "score " << i << " at " << dpr << "x";
      EXPECT_GT(time.x(), lastX) << "oldest on the left";
      lastX = time.x();
      EXPECT_TRUE(layout.timePlot.contains(time));
      // The longer the drill, the higher its dot.
      EXPECT_NEAR(layout.timePlot.bottom() - time.y(),
                  records[i].TimeSeconds() / layout.timeTicks.last() * layout.timePlot.height(), 1.0);

      const bool best = chart.Best(records[i].operation) == i;
      const QPointF ringTop(time.x(), time.y() - ProgressChart::kBestRing);
      EXPECT_EQ(countNear(image, ringTop, 1.5, colour) > 0, best) << "ring of drill " << i << " at " << dpr << "x";
    }
  }
}

TEST(ProgressChartPixels, EmptyAndUnreadableHistoriesShowTextAndNoDrills) {
  ProgressChart chart;
  chart.SetRecords(drill::GridKind::Square25, {});
  for (int state = 0; state < 2; ++state) {
    const QImage image = render(chart, QSize(600, 400), 1);
    for (Operation op : {Operation::Addition, Operation::Multiplication, Operation::Subtraction})
      EXPECT_EQ(countColour(image, ProgressChart::OperationColor(op)), 0);
    // The message in the middle.
    const QImage middle = image.copy(150, 180, 300, 40);
    EXPECT_LT(countColour(middle, Qt::white), 300 * 40) << "state " << state;
    chart.SetError(drill::GridKind::Square25, QStringLiteral("ファイル date/mas25.dat を読めません"));
  }
}

TEST(ProgressChartPixels, AHundredThousandDrillsAreDrawnAsColumnsAcrossThePlot) {
  ScoreRecords many;
  std::mt19937 random(1);
  for (int i = 0; i < 100000; ++i)
    many.records.push_back(record(1 + i % 28, 60 + i % 41, Operation(i % 3), 600 + int(random() % 3000)));
  ProgressChart chart;
  chart.SetRecords(drill::GridKind::Square100, std::move(many));
  const QSize size(900, 560);
  const ProgressChart::Layout layout = chart.LayoutFor(size);
  ASSERT_TRUE(layout.dense);
  const QImage image = render(chart, size, 2);
  // Every operation shows at both ends of the plot.
  for (Operation op : {Operation::Addition, Operation::Multiplication, Operation::Subtraction}) {
    const QColor colour = ProgressChart::OperationColor(op);
    for (double x : {layout.timePlot.left() + 2, layout.timePlot.right() - 2}) {
      const QImage strip = image.copy(int(x * 2) - 2, int(layout.timePlot.top() * 2), 4,
                                      int(layout.timePlot.height() * 2));
      EXPECT_GT(countColour(strip, colour), 0) << int(op) << " at x " << x;
    }
    const std::size_t best = *chart.Best(op);
    const QPointF ring = layout.TimePoint(best, chart.Records().records[best]);
    EXPECT_GT(countNear(image, {ring.x(), ring.y() - ProgressChart::kBestRing}, 1.5, colour), 0);
  }
}

TEST(ProgressChartPixels, LinesAreCrispAtTwiceTheScale) {
  ProgressChart chart;
  chart.SetRecords(drill::GridKind::Square100, smallHistory());
  const QSize size(700, 480);
  const QImage image = render(chart, size, 2);
  const ProgressChart::Layout layout = chart.LayoutFor(size);
  // Down the plot's left edge the frame is one solid colour, and the pixels
  // beside it carry none of it: nothing is smeared across two columns.
  const int x = int(layout.timePlot.left() * 2);
  const int y0 = int(layout.timePlot.top() * 2) + 10, y1 = int(layout.timePlot.bottom() * 2) - 10;
  const QRgb frame = image.pixel(x, y0);
  EXPECT_NE(frame, qRgb(255, 255, 255));
  for (int y = y0; y < y1; ++y) {
    ASSERT_EQ(image.pixel(x, y), frame) << y;
    ASSERT_EQ(image.pixel(x - 1, y), qRgb(255, 255, 255)) << y;
  }
}

TEST(ProgressWindowTest, ReadsTheHistoryOfItsGridAndSavesPngAndPdf) {
  const QString dir = testing_support::makeTempDir();
  const QString old = QDir::currentPath();
  QDir::setCurrent(dir);
  QDir().mkdir("date");
  {
    QFile file("date/mas25.dat");
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(platform::ToShiftJis(QStringLiteral("2024/4/02  100点  かけざん  0:50:1\r\n"
                                                   "2024/4/01  96点  かけざん  0:55:0\r\nnot a record\r\n")));
  }
  {
    ProgressWindow window(drill::GridKind::Square25);
    window.resize(700, 500);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    EXPECT_EQ(window.windowTitle(), "成績グラフ 25マス");
    EXPECT_EQ(window.Chart().Records().records.size(), 2u);
    EXPECT_EQ(window.Chart().Records().skipped, 1);

    // It redraws for its new size.
    const QImage before = window.ChartView()->grab().toImage();
    window.resize(900, 650);
    QCoreApplication::processEvents();
    const QImage after = window.ChartView()->grab().toImage();
    EXPECT_NE(before.size(), after.size());
    EXPECT_GT(countColour(after, ProgressChart::OperationColor(Operation::Multiplication)), 20);

    window.Save(dir + "/chart.png");
    const QImage png(dir + "/chart.png");
    EXPECT_EQ(png.size(), window.ChartView()->size() * 2) << "saved at twice the size";
    EXPECT_GT(countColour(png, ProgressChart::OperationColor(Operation::Multiplication)), 40);

    window.Save(dir + "/chart.pdf");
    QProcess text;
    text.start("pdftotext", {dir + "/chart.pdf", "-"});
    ASSERT_TRUE(text.waitForFinished(30000));
    const QString pdfText = QString::fromUtf8(text.readAllStandardOutput());
    EXPECT_TRUE(pdfText.contains("成績グラフ 25マス")) << pdfText.toStdString();
    EXPECT_TRUE(pdfText.contains("かけざん")) << pdfText.toStdString();

    EXPECT_THROW(window.Save(dir + "/missing/chart.png"), Exception);

    // A history that goes missing shows why instead of a chart.
    QFile::remove("date/mas25.dat");
    window.Reload();
    EXPECT_TRUE(window.Chart().Error().contains("ファイルが見つかりません"));
  }
  QDir::setCurrent(old);
}
