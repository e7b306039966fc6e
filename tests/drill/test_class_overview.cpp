// A class folder read child by child: what each child's histories sum up
// to, which folders are children, and what is kept as an error.

#include "drill/ClassOverview.h"

#include "common/TestSupport.h"
#include "platform/ShiftJis.h"

#include <QtCore/QDir>
#include <QtCore/QFile>

#include <gtest/gtest.h>

#include <utime.h>

using drill::GridKind;
using drill::Operation;

namespace {

const QDate kToday(2026, 12, 9);

// Writes a history, newest line first, as the drill does.
void writeHistory(const QString& child, GridKind grid, const QStringList& newestFirst) {
  ASSERT_TRUE(QDir().mkpath(child + "/date"));
  QFile file(child + u'/' + drill::HistoryPath(grid));
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  for (const QString& line : newestFirst) file.write(platform::ToShiftJis(line) + "\r\n");
}

QString line(const QDate& date, int score, const char* op, int minutes, int seconds, int tenths) {
  return QStringLiteral("%1/%2/%3  %4点  %5  %6:%7:%8")
      .arg(date.year())
      .arg(date.month())
      .arg(date.day(), 2, 10, QLatin1Char('0'))
      .arg(score)
      .arg(QString::fromUtf8(op))
      .arg(minutes)
      .arg(seconds)
      .arg(tenths);
}

}  // namespace

TEST(ClassOverview, SumsUpEachChildPerGridAndOperation) {
  const QString dir = testing_support::makeTempDir();
  // はな: two operations on the 100-square, one on the 25-square; one
  // drill is older than a week, one is dated tomorrow (a wrong clock).
  writeHistory(dir + "/はな", GridKind::Square100,
               {line(kToday.addDays(1), 90, "たしざん", 1, 50, 0), line(kToday, 100, "かけざん", 2, 10, 5),
                line(kToday.addDays(-6), 100, "たしざん", 2, 0, 0), line(kToday.addDays(-6), 100, "たしざん", 1, 55, 0),
                line(kToday.addDays(-7), 98, "たしざん", 1, 40, 0), "a line no drill wrote"});
  writeHistory(dir + "/はな", GridKind::Square25, {line(kToday.addDays(-30), 25, "ひきざん", 0, 31, 2)});
  // Tom: 25 subtraction drills, every one faster than the last.
  QStringList many;
  for (int i = 0; i < 25; ++i) many.prepend(line(kToday.addDays(i - 30), 80, "ひきざん", 0, 59 - i, 0));
  writeHistory(dir + "/Tom", GridKind::Square100, many);

  const drill::ClassOverview overview = drill::LoadClass(dir, kToday, 2);
  ASSERT_EQ(overview.children.size(), 2u);
  const struct {
    int child;
    GridKind grid;
    Operation operation;
    int drills, lately;
    QDate last;
    int lastScore, lastTenths, bestTenths;
    std::vector<std::int32_t> recent;
  } cases[] = {
      // The best is the highest score, then the fastest: not the faster 98.
      {1, GridKind::Square100, Operation::Addition, 4, 2, kToday.addDays(1), 90, 1100, 1150, {1000, 1150, 1200, 1100}},
      {1, GridKind::Square100, Operation::Multiplication, 1, 1, kToday, 100, 1305, 1305, {1305}},
      {1, GridKind::Square25, Operation::Subtraction, 1, 0, kToday.addDays(-30), 25, 312, 312, {312}},
      // Only the last 20 times, oldest first.
      {0, GridKind::Square100, Operation::Subtraction, 25, 1, kToday.addDays(-6), 80, 350, 350,
       {540, 530, 520, 510, 500, 490, 480, 470, 460, 450, 440, 430, 420, 410, 400, 390, 380, 370, 360, 350}},
  };
  std::size_t seen[2] = {};
  for (const auto& c : cases) {
    const drill::ChildOverview& child = overview.children[std::size_t(c.child)];
    const auto found = std::find_if(child.summaries.begin(), child.summaries.end(), [&](const drill::DrillSummary& s) {
      return s.grid == c.grid && s.operation == c.operation;
    });
    ASSERT_NE(found, child.summaries.end()) << child.name.toStdString();
    ++seen[c.child];
    EXPECT_EQ(found->drills, c.drills) << child.name.toStdString();
    EXPECT_EQ(found->drillsLately, c.lately) << child.name.toStdString();
    EXPECT_EQ(found->last.date, c.last) << child.name.toStdString();
    EXPECT_EQ(found->last.score, c.lastScore) << child.name.toStdString();
    EXPECT_EQ(found->last.TimeTenths(), c.lastTenths) << child.name.toStdString();
    EXPECT_EQ(found->best.TimeTenths(), c.bestTenths) << child.name.toStdString();
    EXPECT_EQ(found->recentTenths, c.recent) << child.name.toStdString();
  }
  EXPECT_EQ(overview.children[0].name, "Tom");
  EXPECT_EQ(seen[0], overview.children[0].summaries.size());
  EXPECT_EQ(seen[1], overview.children[1].summaries.size());
  EXPECT_EQ(overview.children[1].skipped, 1);
  EXPECT_TRUE(overview.Errors(true).isEmpty());
}

TEST(ClassOverview, ChildrenAreSortedAsAPersonSortsAndBadHistoriesAreKeptAsErrors) {
  const QString dir = testing_support::makeTempDir();
  for (const char* name : {"child 10", "child 2", "Child 1", ".trash", "no date", "lost"}) QDir().mkpath(dir + '/' + name);
  QFile(dir + "/notes.txt").open(QIODevice::WriteOnly);
  writeHistory(dir + "/child 2", GridKind::Square25, {line(kToday, 100, "たしざん", 0, 30, 0)});
  // A folder where the history should be cannot be read: the child's other
  // history still counts.
  QDir().mkpath(dir + "/child 2/date/seiseki.dat");
  QDir().mkpath(dir + "/lost/date/seiseki.dat");
  QDir().mkpath(dir + "/lost/date/mas25.dat");
  // A file where the "date" folder should be is no child without drills either.
  QFile(dir + "/child 10/date").open(QIODevice::WriteOnly);

  const drill::ClassOverview overview = drill::LoadClass(dir, kToday);
  const struct {
    const char* name;
    std::size_t summaries, errors;
  } cases[] = {{"Child 1", 0, 0}, {"child 2", 1, 1}, {"child 10", 0, 2}, {"lost", 0, 2}, {"no date", 0, 0}};
  ASSERT_EQ(overview.children.size(), std::size(cases));
  for (std::size_t i = 0; i < std::size(cases); ++i) {
    const drill::ChildOverview& child = overview.children[i];
    EXPECT_EQ(child.name, QString::fromUtf8(cases[i].name));
    EXPECT_EQ(child.folder, dir + '/' + cases[i].name);
    EXPECT_EQ(child.summaries.size(), cases[i].summaries) << cases[i].name;
    EXPECT_EQ(child.errors.size(), cases[i].errors) << cases[i].name;
  }
  EXPECT_EQ(overview.Errors(true).first(),
            "child 2: date/seiseki.dat を読めません（ファイルへのアクセスが拒否されました）");
  EXPECT_EQ(overview.Errors(false).first(), "child 2: cannot read date/seiseki.dat (access denied)");

  const drill::ClassOverview missing = drill::LoadClass(dir + "/nobody", kToday);
  EXPECT_TRUE(missing.folderError.has_value());
  EXPECT_TRUE(missing.children.empty());
  EXPECT_TRUE(missing.Errors(false).first().startsWith("cannot read the class folder " + dir + "/nobody"));
}

TEST(ClassOverview, TheLatestDrillIsTheNewestOverBothHistories) {
  const QString dir = testing_support::makeTempDir();
  const auto touch = [](const QString& path, time_t when) {
    const utimbuf times{when, when};
    ASSERT_EQ(::utime(QFile::encodeName(path).constData(), &times), 0);
  };
  const struct {
    QDate big, small;          // the newest date of each history; invalid: none
    bool smallWrittenLast;
    std::optional<GridKind> latest;
  } cases[] = {
      {{}, {}, false, std::nullopt},
      {kToday, {}, false, GridKind::Square100},
      {{}, kToday, false, GridKind::Square25},
      {kToday.addDays(-1), kToday, false, GridKind::Square25},
      {kToday, kToday.addDays(-1), true, GridKind::Square100},
      // The same day: the history written last holds the later drill.
      {kToday, kToday, true, GridKind::Square25},
      {kToday, kToday, false, GridKind::Square100},
  };
  int n = 0;
  for (const auto& c : cases) {
    const QString child = dir + QStringLiteral("/%1").arg(++n);
    QDir().mkpath(child);
    if (c.big.isValid())
      writeHistory(child, GridKind::Square100, {line(c.big, 91, "かけざん", 1, 2, 3), line(c.big, 99, "たしざん", 3, 2, 1)});
    if (c.small.isValid()) writeHistory(child, GridKind::Square25, {line(c.small, 24, "ひきざん", 0, 20, 1)});
    if (c.big.isValid() && c.small.isValid()) {
      touch(child + "/date/seiseki.dat", c.smallWrittenLast ? 1000 : 2000);
      touch(child + "/date/mas25.dat", c.smallWrittenLast ? 2000 : 1000);
    }
    std::vector<drill::HistoryError> errors;
    const std::optional<drill::LatestDrill> latest = drill::LatestDrillOf(child, &errors);
    EXPECT_TRUE(errors.empty()) << n;
    ASSERT_EQ(latest.has_value(), c.latest.has_value()) << n;
    if (!latest) continue;
    EXPECT_EQ(latest->grid, *c.latest) << n;
    // The first line of a history is its newest drill.
    EXPECT_EQ(latest->record.score, *c.latest == GridKind::Square100 ? 91 : 24) << n;
  }
}
