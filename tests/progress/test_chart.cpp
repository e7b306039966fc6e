// The chart's tick rule, and the chart itself read off rendered pixels.

#include "progress/ProgressChart.h"
#include "progress/ProgressWindow.h"
#include "progress/SaveDialog.h"

#include "common/TestSupport.h"
#include "platform/Exception.h"
#include "platform/ShiftJis.h"

#include <QtCore/QDir>
#include <QtCore/QFile>
#include <QtCore/QProcess>
#include <QtGui/QAccessible>
#include <QtGui/QImage>
#include <QtGui/QPainter>
#include <QtTest/QTest>
#include <QtWidgets/QFileDialog>

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
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

TEST(ProgressChartPixels, AnEmptyUnreadableOrMissingHistoryIsToldInTheDrillsWordsAndNoDrillIsDrawn) {
  const QString dir = testing_support::makeTempDir();
  const QString old = QDir::currentPath();
  QDir::setCurrent(dir);
  const QByteArray records = QStringLiteral("2024/4/03  100点  たしざん  1:40:2\r\n2024/4/02  97点  かけざん  2:01:5\r\n"
                                            "2024/4/01  95点  たしざん  1:52:0\r\n").toUtf8();
  const struct {
    const char* what;
    std::function<void()> make;  // the folder as the chart finds it
    QStringList says;
  } cases[] = {
      {"empty", [] { QFile f("date/mas25.dat"); f.open(QIODevice::WriteOnly); }, {"まだ記録がありません"}},
      {"UTF-16", [&] {
         QFile f("date/mas25.dat");
         f.open(QIODevice::WriteOnly);
         f.write("\xFF\xFE");
         const QString text = QString::fromUtf8(records);
         f.write(reinterpret_cast<const char*>(text.utf16()), text.size() * 2);
       }, {"3 行", "読めませんでした"}},
      {"malformed", [] {
         QFile f("date/mas25.dat");
         f.open(QIODevice::WriteOnly);
         f.write("hello\r\n\r\n2024/13/01  90点  たしざん  1:00:0\r\n");
       }, {"2 行", "読めませんでした"}},
      {"no folder", [] { QDir("date").removeRecursively(); },
       {"ファイル date/mas25.dat は開けません", "不正なファイル名です（エラー 3）"}},
      {"no file", [] { QDir().mkdir("date"); }, {"ファイルが見つかりません（エラー 2）"}},
      {"a folder", [] { QDir().mkpath("date/mas25.dat"); }, {"ファイルへのアクセスが拒否されました（エラー 5）"}},
  };
  for (const auto& c : cases) {
    QDir("date").removeRecursively();
    QDir().mkdir("date");
    c.make();
    ProgressWindow window(drill::GridKind::Square25);
    const QString message = window.Chart().Message();
    for (const QString& part : c.says) EXPECT_TRUE(message.contains(part)) << c.what << ": " << message.toStdString();
    EXPECT_EQ(window.ChartView()->accessibleDescription(), message.split(u'\n').join(u' ')) << c.what;
    // The message in the middle, no drill anywhere.
    const QImage image = render(window.Chart(), QSize(600, 400), 1);
    for (Operation op : {Operation::Addition, Operation::Multiplication, Operation::Subtraction})
      EXPECT_EQ(countColour(image, ProgressChart::OperationColor(op)), 0) << c.what;
    EXPECT_LT(countColour(image.copy(100, 170, 400, 60), Qt::white), 400 * 60) << c.what;
  }
  QDir::setCurrent(old);
}

TEST(ProgressChartLayout, DrillsAreCountedInWholeNumbersAndTheLegendWrapsUncut) {
  for (std::size_t n : {1u, 2u, 3u, 12u}) {
    ScoreRecords h = smallHistory();
    h.records.resize(n, h.records.back());
    ProgressChart chart;
    chart.SetRecords(drill::GridKind::Square100, h);
    const Ticks ticks = chart.LayoutFor(QSizeF(900, 560)).xTicks;
    QList<double> labelled;
    for (int i = 0; i < ticks.count; ++i)
      if (ticks.at(i) >= 1 && ticks.at(i) <= double(n)) labelled << ticks.at(i);
    for (double t : labelled) EXPECT_EQ(t, std::floor(t)) << n << " drills";
    EXPECT_EQ(ticks.decimals(), 0) << n << " drills";
    if (n <= 3) {
      EXPECT_EQ(labelled.size(), qsizetype(n)) << "every drill is numbered";
    }
  }

  // Long counts and times in the narrowest window: the legend takes rows.
  ScoreRecords many;
  for (int i = 0; i < 30000; ++i) many.records.push_back(record(1 + i % 28, 100, Operation(i % 3), 35990 + i % 7));
  ProgressChart chart;
  chart.SetRecords(drill::GridKind::Square100, std::move(many));
  const QSizeF size(560, 360);
  const ProgressChart::Layout layout = chart.LayoutFor(size);
  ASSERT_EQ(layout.legend.size(), 3u);
  QRectF previous;
  for (const auto& entry : layout.legend) {
    EXPECT_FALSE(entry.label.contains(u'…')) << entry.label.toStdString();
    EXPECT_LE(entry.text.right(), size.width());
    EXPECT_FALSE(entry.text.intersects(previous));
    EXPECT_LT(entry.text.bottom(), layout.timePlot.top());
    previous = entry.text;
  }
  EXPECT_GT(layout.legend.back().text.top(), layout.legend.front().text.top()) << "wrapped";
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

TEST(ProgressWindowTest, AScreenReaderFindsAFrameNamedByItsTitleHoldingTheChartInWords) {
  const QString dir = testing_support::makeTempDir();
  const QString old = QDir::currentPath();
  QDir::setCurrent(dir);
  QDir().mkdir("date");
  {
    QFile file("date/seiseki.dat");
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(platform::ToShiftJis(QStringLiteral("2024/4/03  100点  たしざん  1:40:2\r\n"
                                                   "2024/4/02  97点  かけざん  2:01:5\r\n"
                                                   "2024/4/01  95点  たしざん  1:52:0\r\n")));
  }
  ProgressWindow window(drill::GridKind::Square100);
  QAccessibleInterface* frame = QAccessible::queryAccessibleInterface(&window);
  ASSERT_NE(frame, nullptr);
  EXPECT_EQ(frame->role(), QAccessible::Window);
  EXPECT_EQ(frame->text(QAccessible::Name), "成績グラフ 100マス");
  QAccessibleInterface* chart = QAccessible::queryAccessibleInterface(window.ChartView());
  ASSERT_NE(chart, nullptr);
  EXPECT_EQ(chart->role(), QAccessible::Chart);
  EXPECT_EQ(chart->text(QAccessible::Name), "成績グラフ 100マス");
  const QString description = chart->text(QAccessible::Description);
  for (const char* part : {"100マスの成績 3回、2024年4月1日から2024年4月3日まで。",
                           "たしざん 2回: ベスト 100点 1分40.2秒（2024年4月3日）、さいきん 100点 1分40.2秒",
                           "平均 1分52.0秒・95点", "タイムは 11.8秒 はやくなりました",
                           "かけざん 1回: ベスト 97点 2分1.5秒（2024年4月2日）", "くらべる記録はまだありません"})
    EXPECT_TRUE(description.contains(QString::fromUtf8(part))) << part << "\n" << description.toStdString();
  EXPECT_FALSE(description.contains("ひきざん"));
  QDir::setCurrent(old);
}

TEST(SaveDialogs, StartInPicturesOrDocumentsElseHomeThenWhereTheLastSaveWent) {
  const QString dir = testing_support::makeTempDir();
  QDir(dir).mkpath("config");
  QDir(dir).mkpath("Bilder");
  {
    QFile dirs(dir + "/config/user-dirs.dirs");
    ASSERT_TRUE(dirs.open(QIODevice::WriteOnly));
    dirs.write(QStringLiteral("XDG_PICTURES_DIR=\"%1/Bilder\"\nXDG_DOCUMENTS_DIR=\"%1/Dokumente\"\n").arg(dir).toUtf8());
  }
  const QByteArray config = qgetenv("XDG_CONFIG_HOME");
  qputenv("XDG_CONFIG_HOME", QFile::encodeName(dir + "/config"));
  const QString home = QDir::homePath();
  const struct {
    SaveKind kind;
    QString remembered;  // the folder of the last save in this run
    QString start;
  } cases[] = {
      {SaveKind::Picture, {}, dir + "/Bilder"},
      {SaveKind::Document, {}, home},  // no Documents folder
      {SaveKind::Document, dir, dir},
      {SaveKind::Picture, dir, dir},
      {SaveKind::Picture, dir + "/gone", dir + "/Bilder"},
  };
  for (const auto& c : cases) {
    RememberSaveFolder(c.remembered);
    const auto dialog = MakeSaveDialog(nullptr, "t", "seiseki-100.png", "PNG (*.png)", c.kind);
    EXPECT_EQ(dialog->directory().absolutePath(), QDir(c.start).absolutePath()) << c.remembered.toStdString();
    EXPECT_EQ(dialog->acceptMode(), QFileDialog::AcceptSave);
  }
  RememberSaveFolder({});
  if (config.isNull())
    qunsetenv("XDG_CONFIG_HOME");
  else
    qputenv("XDG_CONFIG_HOME", config);
}

TEST(SaveDialogs, ANameWithoutASuffixOfTheFiltersGetsTheChosenFiltersSuffix) {
  const QString both = QStringLiteral("PNG 画像 (*.png);;PDF (*.pdf)");
  const struct {
    const char *path, *chosen, *expected;
  } names[] = {{"/a/note", "PDF (*.pdf)", "/a/note.pdf"},      {"/a/note", "PNG 画像 (*.png)", "/a/note.png"},
               {"/a/note", "", "/a/note.png"},                 {"/a/note.PDF", "PNG 画像 (*.png)", "/a/note.PDF"},
               {"/a/note.csv", "PDF (*.pdf)", "/a/note.csv.pdf"}, {"/a/v1.png.bak", "", "/a/v1.png.bak.png"}};
  for (const auto& n : names)
    EXPECT_EQ(WithFilterSuffix(QString::fromUtf8(n.path), both, QString::fromUtf8(n.chosen)), QString::fromUtf8(n.expected))
        << n.path << " " << n.chosen;
}
