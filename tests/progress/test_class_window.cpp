// The class overview as CSV and as a window: the rows a small class gives,
// sorting, and a row opening its child's chart.

#include "progress/ClassExport.h"
#include "progress/ClassWindow.h"
#include "progress/ProgressWindow.h"
#include "progress/SafeWrite.h"

#include "common/TestSupport.h"
#include "platform/Exception.h"
#include "platform/ShiftJis.h"

#include <QtCore/QDir>
#include <QtCore/QFile>
#include <QtCore/QSortFilterProxyModel>
#include <QtTest/QTest>
#include <QtWidgets/QApplication>
#include <QtWidgets/QHeaderView>
#include <QtWidgets/QLabel>
#include <QtWidgets/QTableView>

#include <gtest/gtest.h>

using namespace progress;

namespace {

const QDate kToday(2026, 12, 9);

void writeHistory(const QString& child, const QString& name, const QStringList& newestFirst) {
  ASSERT_TRUE(QDir().mkpath(child + "/date"));
  QFile file(child + "/date/" + name);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  for (const QString& line : newestFirst) file.write(platform::ToShiftJis(line) + "\r\n");
}

// A class of five: two with drills, one without, one whose 100-square
// history is a folder (its 25-square one still counts), one with nothing
// readable at all.
QString makeClass() {
  const QString dir = testing_support::makeTempDir();
  writeHistory(dir + "/Tom O'Neil, Jr.", "seiseki.dat",
               {"2026/12/09  100点  かけざん  1:42:3", "2026/12/01  96点  たしざん  2:5:0",
                "2026/11/20  100点  たしざん  2:10:4"});
  writeHistory(dir + "/はな \"Hana\"", "mas25.dat", {"2026/12/08  25点  ひきざん  0:28:1"});
  QDir().mkpath(dir + "/あおい");
  writeHistory(dir + "/けん", "mas25.dat", {"2026/12/03  24点  たしざん  0:40:0"});
  QDir().mkpath(dir + "/けん/date/seiseki.dat");
  QDir().mkpath(dir + "/lost/date/seiseki.dat");
  QDir().mkpath(dir + "/lost/date/mas25.dat");
  return dir;
}

QStringList column(const QTableView* table, int c) {
  QStringList out;
  for (int r = 0; r < table->model()->rowCount(); ++r) out << table->model()->index(r, c).data().toString();
  return out;
}

}  // namespace

TEST(ClassCsv, OneLinePerChildGridAndOperationWithNamesQuoted) {
  const drill::ClassOverview overview = drill::LoadClass(makeClass(), kToday);
  const QList<QByteArray> lines = ClassCsv(ClassRows(overview)).split('\n');
  const QStringList want = {
      "child,grid,op,drills,drills_last_7_days,last_date,last_score,last_time,best_time",
      "lost,,,,,,,,",
      "\"Tom O'Neil, Jr.\",100,add,2,0,2026-12-01,96,125.0,130.4",
      "\"Tom O'Neil, Jr.\",100,mul,1,1,2026-12-09,100,102.3,102.3",
      "あおい,,,0,0,,,,",
      "けん,25,add,1,1,2026-12-03,24,40.0,40.0",
      "\"はな \"\"Hana\"\"\",25,sub,1,1,2026-12-08,25,28.1,28.1",
      "",
  };
  ASSERT_EQ(lines.size(), want.size());
  for (qsizetype i = 0; i < want.size(); ++i) EXPECT_EQ(QString::fromUtf8(lines[i]), want[i]) << i;

  // What cannot be read is said, child by child; the rest is written.
  EXPECT_EQ(overview.Errors(false),
            QStringList({"lost: cannot read date/seiseki.dat (access denied)",
                         "lost: cannot read date/mas25.dat (access denied)",
                         "けん: cannot read date/seiseki.dat (access denied)"}));

  const struct {
    const char* field;
    const char* written;
  } fields[] = {{"plain", "plain"}, {"a,b", "\"a,b\""}, {"say \"hi\"", "\"say \"\"hi\"\"\""}, {"two\nlines", "\"two\nlines\""},
                {"cr\r", "\"cr\r\""}, {"", ""}, {"O'Neil", "O'Neil"}};
  for (const auto& f : fields) EXPECT_EQ(CsvField(QString::fromUtf8(f.field)), QString::fromUtf8(f.written));
}

TEST(ClassCsv, WritesSafelyOrSaysWhy) {
  const drill::ClassOverview overview = drill::LoadClass(makeClass(), kToday);
  const std::vector<ClassRow> rows = ClassRows(overview);
  const QString dir = testing_support::makeTempDir();
  WriteClassCsv(dir + "/class.csv", rows);
  QFile csv(dir + "/class.csv");
  ASSERT_TRUE(csv.open(QIODevice::ReadOnly));
  EXPECT_EQ(csv.readAll(), ClassCsv(rows));
  WriteClassPdf(dir + "/class.pdf", "クラスの成績", rows);
  QFile pdf(dir + "/class.pdf");
  ASSERT_TRUE(pdf.open(QIODevice::ReadOnly));
  EXPECT_TRUE(pdf.readAll().startsWith("%PDF"));
  // A folder in the way: an error naming it, nothing left behind.
  QDir().mkpath(dir + "/taken.csv");
  EXPECT_THROW(WriteClassCsv(dir + "/taken.csv", rows), WriteError);
  EXPECT_EQ(QDir(dir).entryList(QDir::Files).size(), 2);
}

TEST(ClassWindow, ShowsSortsAndOpensAChildsChart) {
  const QString dir = makeClass();
  ClassWindow window(dir, kToday);
  window.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
  EXPECT_EQ(window.windowTitle(), "クラスの成績");
  QTableView* table = window.Table();
  EXPECT_EQ(column(table, ClassModel::Child),
            QStringList({"lost", "Tom O'Neil, Jr.", "Tom O'Neil, Jr.", "あおい", "けん", "はな \"Hana\""}));
  EXPECT_EQ(column(table, ClassModel::Grid).value(3), "まだ ドリルが ありません");
  EXPECT_EQ(column(table, ClassModel::Grid).value(0), "成績を読めません");
  EXPECT_TRUE(window.ErrorLine()->isVisible());
  EXPECT_TRUE(window.ErrorLine()->text().contains("lost: date/mas25.dat を読めません"));
  EXPECT_EQ(table->model()->index(1, ClassModel::RecentTimes).data(Qt::AccessibleTextRole).toString(),
            "さいきん 2 回: 2:10.4 から 2:05.0、はやく なりました");

  // Sorting goes by the values: times as times, rows without drills first.
  const struct {
    int column;
    Qt::SortOrder order;
    QStringList shown;  // that column's texts, top to bottom
  } sorts[] = {
      {ClassModel::LastTime, Qt::AscendingOrder, {"", "", "0:28.1", "0:40.0", "1:42.3", "2:05.0"}},
      {ClassModel::Drills, Qt::DescendingOrder, {"2", "1", "1", "1", "", ""}},
      {ClassModel::LastDate, Qt::DescendingOrder, {"2026-12-09", "2026-12-08", "2026-12-03", "2026-12-01", "", ""}},
      {ClassModel::Child, Qt::DescendingOrder,
       {"はな \"Hana\"", "けん", "あおい", "Tom O'Neil, Jr.", "Tom O'Neil, Jr.", "lost"}},
  };
  for (const auto& s : sorts) {
    table->horizontalHeader()->setSortIndicator(s.column, s.order);
    EXPECT_EQ(column(table, s.column), s.shown) << s.column;
  }
  // What is saved is the table as shown.
  EXPECT_EQ(window.ShownRows().front().child->name, "はな \"Hana\"");

  // A double click, and Enter, open the chart of the row's child and grid.
  const struct {
    int row;
    bool byKey;
    QString folder;
    drill::GridKind grid;
  } opens[] = {{0, false, dir + "/はな \"Hana\"", drill::GridKind::Square25},
               {3, true, dir + "/Tom O'Neil, Jr.", drill::GridKind::Square100},
               {2, true, dir + "/あおい", drill::GridKind::Square100}};
  for (const auto& o : opens) {
    const QModelIndex index = table->model()->index(o.row, ClassModel::LastDate);
    table->setCurrentIndex(index);
    if (o.byKey) {
      QTest::keyClick(table, Qt::Key_Return);
    } else {
      const QPoint at = table->visualRect(index).center();
      QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, at);
      QTest::mouseDClick(table->viewport(), Qt::LeftButton, {}, at);
    }
    auto* chart = qobject_cast<ProgressWindow*>(QApplication::activeWindow());
    if (!chart)
      for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* p = qobject_cast<ProgressWindow*>(w); p && p->isVisible() && p->Folder() == o.folder) chart = p;
    ASSERT_NE(chart, nullptr) << o.row;
    EXPECT_EQ(chart->Folder(), o.folder);
    EXPECT_EQ(chart->Chart().Grid(), o.grid);
    EXPECT_TRUE(chart->windowTitle().endsWith(QDir(o.folder).dirName()));
  }
  const QWidgetList windows = QApplication::topLevelWidgets();
  const qsizetype charts = std::count_if(windows.begin(), windows.end(),
                                         [&dir](QWidget* w) {
                                           auto* chart = qobject_cast<ProgressWindow*>(w);
                                           return chart && chart->isVisible() && chart->Folder().startsWith(dir);
                                         });
  EXPECT_EQ(charts, 3);
  EXPECT_THROW(window.Save(testing_support::makeTempDir() + "/class.txt"), Exception);
}
