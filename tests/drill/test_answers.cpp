// The answers file, the weak-fact ranking and the 25-square header choice.

#include "drill/AnswersFile.h"
#include "drill/WeakFacts.h"

#include "common/TestSupport.h"

#include <QtCore/QDir>
#include <QtCore/QFile>

#include <gtest/gtest.h>

#include <random>
#include <sys/wait.h>
#include <unistd.h>

using answers::Answer;
using drill::FactStats;
using drill::GridKind;
using drill::Operation;

namespace {

QByteArray readFile(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void writeFile(const QString& path, const QByteArray& data) {
  QFile file(path);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
  file.write(data);
}

// A 25-square addition drill graded at `when`: tops 0-4, lefts 5-9, the cell
// at (0, 5) wrong, each cell held 1000 + its index ms.
std::vector<Answer> drillAt(const QDateTime& when) {
  std::vector<Answer> cells;
  for (int n = 0; n < 25; ++n) {
    const int top = n % 5, left = 5 + n / 5;
    cells.push_back({when, GridKind::Square25, Operation::Addition, QString::number(top), QString::number(left),
                     QString::number(n == 0 ? 99 : top + left), n != 0, 1000 + n});
  }
  return cells;
}

const QDateTime kNoon(QDate(2026, 12, 9), QTime(12, 0, 0));

answers::ReadLimits limits(int perFact, QDate since = {}, std::optional<Operation> operation = {}) {
  answers::ReadLimits l;
  l.perFact = perFact;
  l.since = since;
  l.operation = operation;
  return l;
}

}  // namespace

TEST(AnswersFile, AppendsWholeDrillsAfterWhateverTheFileHolds) {
  const QByteArray header = answers::kHeaderLine;
  const QByteArray oneDrill = answers::FormatAnswers(drillAt(kNoon));
  const struct {
    const char* name;
    std::optional<QByteArray> before;  // none: no file yet
    QByteArray expectedStart;          // what the file holds before the new drill
    int answersRead, badLines;
  } cases[] = {
      {"new file gets the header once", std::nullopt, header, 25, 0},
      {"empty file gets the header", QByteArray(), header, 25, 0},
      {"a drill before", header + oneDrill, header + oneDrill, 50, 0},
      {"torn last line: a fresh line first", header + oneDrill + "2026-12-09T12:00:00\t25\tad",
       header + oneDrill + "2026-12-09T12:00:00\t25\tad\n", 50, 1},
      {"overlong lines are skipped, the last one torn", header + QByteArray(1 << 20, 'x') + "\n" + oneDrill +
       QByteArray(1 << 20, 'y'), header + QByteArray(1 << 20, 'x') + "\n" + oneDrill + QByteArray(1 << 20, 'y') + "\n",
       50, 2},
      {"hand-edited and garbage lines are skipped",
       header + "x\n\n2026-13-01T00:00:00\t25\tadd\t1\t2\t3\t1\t5\n" + oneDrill + "\xff\xfe\t\t\t\t\t\t\t\n" +
           "2026-12-09T12:00:00\t25\tadd\t1\t2\t3\t2\t5\n2026-12-09T12:00:00\t25\tadd\t1\t2\t3\t1\t-5\n",
       header + "x\n\n2026-13-01T00:00:00\t25\tadd\t1\t2\t3\t1\t5\n" + oneDrill + "\xff\xfe\t\t\t\t\t\t\t\n" +
           "2026-12-09T12:00:00\t25\tadd\t1\t2\t3\t2\t5\n2026-12-09T12:00:00\t25\tadd\t1\t2\t3\t1\t-5\n",
       50, 5},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const QString path = testing_support::makeTempDir() + "/answers.tsv";
    if (c.before) writeFile(path, *c.before);
    ASSERT_EQ(answers::AppendAnswers(path, drillAt(kNoon)), 0);
    EXPECT_EQ(readFile(path), c.expectedStart + oneDrill);
    const answers::ReadResult read = answers::ReadRecentAnswers(path, {});
    EXPECT_EQ(int(read.answers.size()), c.answersRead);
    EXPECT_EQ(read.badLines, c.badLines);
    ASSERT_FALSE(read.answers.empty());
    EXPECT_EQ(read.answers.back(), drillAt(kNoon).back());
  }
}

TEST(AnswersFile, AFolderInItsPlaceIsAnErrorNotACrash) {
  const QString path = testing_support::makeTempDir() + "/answers.tsv";
  ASSERT_TRUE(QDir().mkdir(path));
  EXPECT_NE(answers::AppendAnswers(path, drillAt(kNoon)), 0);
  EXPECT_NE(answers::ReadRecentAnswers(path, {}).error, 0);
  EXPECT_EQ(answers::ReadRecentAnswers(path + "-missing", {}).error, 0);
}

TEST(AnswersFile, TwoProgramsAppendingNeverInterleaveADrill) {
  const QString path = testing_support::makeTempDir() + "/answers.tsv";
  pid_t children[2];
  for (int p = 0; p < 2; ++p) {
    children[p] = fork();
    ASSERT_GE(children[p], 0);
    if (children[p] == 0) {
      int failures = 0;
      for (int d = 0; d < 50; ++d) {
        std::vector<Answer> cells = drillAt(kNoon.addSecs(p * 1000 + d));
        failures += answers::AppendAnswers(path, cells) != 0;
      }
      _exit(failures);
    }
  }
  for (pid_t child : children) {
    int status = 0;
    waitpid(child, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  }
  const answers::ReadResult read = answers::ReadRecentAnswers(path, limits(0));
  EXPECT_EQ(read.badLines, 0);
  ASSERT_EQ(read.answers.size(), 100u * 25u);
  for (std::size_t n = 0; n < read.answers.size(); n += 25)
    for (std::size_t k = 1; k < 25; ++k) ASSERT_EQ(read.answers[n + k].drill, read.answers[n].drill) << n;
  EXPECT_EQ(readFile(path).count(answers::kHeaderLine), 1);
}

TEST(AnswersFile, ReadingTenYearsCostsWhatAMonthDoes) {
  const QString dir = testing_support::makeTempDir();
  const QDate today(2026, 12, 9);
  auto writeDays = [&](const QString& path, int days) {
    const QByteArray todays = answers::FormatAnswers(drillAt(QDateTime(today, QTime(17, 0))));
    QByteArray data = answers::kHeaderLine;
    for (int d = days - 1; d >= 0; --d)
      data += QByteArray(todays).replace(today.toString(Qt::ISODate).toLatin1(),
                                         today.addDays(-d).toString(Qt::ISODate).toLatin1());
    writeFile(path, data);
    return data.size();
  };
  const qsizetype monthBytes = writeDays(dir + "/month.tsv", 30);
  const qsizetype yearsBytes = writeDays(dir + "/years.tsv", 3650);
  const answers::ReadLimits sixtyDays = limits(0, today.addDays(-59), Operation::Addition);
  const answers::ReadResult month = answers::ReadRecentAnswers(dir + "/month.tsv", sixtyDays);
  const answers::ReadResult years = answers::ReadRecentAnswers(dir + "/years.tsv", sixtyDays);
  EXPECT_EQ(month.bytesRead, monthBytes);
  EXPECT_EQ(month.answers.size(), 30u * 25u);
  EXPECT_EQ(years.answers.size(), 60u * 25u);
  // Sixty days and a block beyond at most, of a file 120 times as long.
  EXPECT_LE(years.bytesRead, 2 * monthBytes + 64 * 1024);
  EXPECT_LT(years.bytesRead * 50, yearsBytes);
  // The same limits by count: 20 answers of each of the 25 facts answered.
  const answers::ReadResult counted =
      answers::ReadRecentAnswers(dir + "/years.tsv", limits(20, {}, Operation::Addition));
  EXPECT_EQ(counted.answers.size(), 20u * 25u);
  EXPECT_LE(counted.bytesRead, 64 * 1024);
}

namespace {

FactStats fact(int top, int left, std::int64_t median, int wrong, bool lastWrong) {
  FactStats s;
  s.fact = {top, left};
  s.medianMs = median;
  s.wrong = wrong;
  s.seen = wrong + 3;
  s.lastWrong = lastWrong;
  return s;
}

}  // namespace

TEST(WeakFacts, RankingRule) {
  const struct {
    const char* name;
    std::vector<FactStats> facts;  // in the expected order, weakest first
  } cases[] = {
      {"latest wrong above any always-right, however slow",
       {fact(1, 1, 900, 1, true), fact(2, 2, 9000, 0, false)}},
      {"latest wrong: more mistakes first, then slower",
       {fact(3, 3, 500, 3, true), fact(1, 1, 900, 1, true), fact(2, 2, 800, 1, true)}},
      {"latest right: slower median first, an old mistake breaks a tie",
       {fact(4, 4, 3000, 0, false), fact(5, 5, 2000, 2, false), fact(6, 6, 2000, 0, false)}},
      {"full ties keep the map's order: row, then column",
       {fact(9, 2, 1000, 0, false), fact(1, 3, 1000, 0, false), fact(2, 3, 1000, 0, false)}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    std::vector<FactStats> shuffled(c.facts.rbegin(), c.facts.rend());
    drill::RankFacts(shuffled);
    for (std::size_t n = 0; n < c.facts.size(); ++n) EXPECT_EQ(shuffled[n].fact, c.facts[n].fact) << n;
  }
}

TEST(WeakFacts, CollectsMediansMistakesAndTheLatestAnswers) {
  auto answer = [](int left, const char* typed, bool right, std::int64_t ms, Operation op = Operation::Subtraction) {
    return Answer{kNoon, GridKind::Square100, op, "17", QString::number(left), typed, right, ms};
  };
  const std::vector<Answer> all = {answer(9, "9", false, 4000), answer(9, "8", true, 1000),
                                   answer(9, "7", false, 3000), answer(8, "9", true, 500),
                                   answer(9, "8", true, 99, Operation::Addition)};
  const std::vector<FactStats> facts = drill::CollectFacts(all, Operation::Subtraction, 3);
  ASSERT_EQ(facts.size(), 2u);
  EXPECT_EQ(facts[1].fact, (answers::Fact{7, 9}));
  EXPECT_EQ(facts[1].medianMs, 3000);
  EXPECT_EQ(facts[1].wrong, 2);
  EXPECT_TRUE(facts[1].lastWrong);
  EXPECT_EQ(facts[1].lastAnswers, QStringList({"7", "8", "9"}));
  EXPECT_EQ(drill::CollectFacts(all, Operation::Subtraction, 2)[1].medianMs, 2000);  // the latest two
  EXPECT_EQ(drill::FactText(Operation::Subtraction, facts[1].fact), "17 - 9 = 8");
  EXPECT_EQ(drill::FactText(Operation::Multiplication, {6, 7}), QString::fromUtf8("6 × 7 = 42"));
}

TEST(WeakFacts, HeaderChoiceCoversTheMostWeakFacts) {
  // Oracle: every pair of five-digit sets, scored by the count covered, then
  // by covering the higher-ranked facts.
  std::vector<unsigned> sets;
  for (unsigned m = 0; m < 1024; ++m)
    if (std::popcount(m) == 5) sets.push_back(m);
  auto mask = [](const std::array<int, 5>& digits) {
    unsigned m = 0;
    for (int d : digits) m |= 1u << d;
    return m;
  };
  auto score = [](const std::vector<FactStats>& ranked, unsigned tops, unsigned lefts) {
    std::uint64_t s = 0;
    const int k = int(ranked.size());
    for (int r = 0; r < k; ++r)
      if ((tops >> ranked[r].fact.top & 1) && (lefts >> ranked[r].fact.left & 1))
        s += (std::uint64_t(1) << k) + (std::uint64_t(1) << (k - 1 - r));
    return s;
  };
  std::mt19937 random(17);
  for (int round = 0; round < 12; ++round) {
    SCOPED_TRACE(round);
    std::vector<FactStats> ranked;
    const int size = 1 + round;
    while (int(ranked.size()) < size) {
      const answers::Fact f{int(random() % 10), int(random() % (round < 6 ? 10 : 4))};
      if (std::none_of(ranked.begin(), ranked.end(), [&](const FactStats& s) { return s.fact == f; }))
        ranked.push_back(fact(f.top, f.left, 1000, 0, false));
    }
    std::uint64_t best = 0;
    for (unsigned t : sets)
      for (unsigned l : sets) best = std::max(best, score(ranked, t, l));
    const drill::HeaderChoice choice = drill::ChooseHeaders(ranked, size);
    EXPECT_EQ(score(ranked, mask(choice.tops), mask(choice.lefts)), best);
    EXPECT_EQ(std::popcount(mask(choice.tops)), 5);
    EXPECT_EQ(std::popcount(mask(choice.lefts)), 5);
    EXPECT_EQ(drill::ChooseHeaders(ranked, size), choice);  // deterministic
    const drill::Headers headers =
        drill::WeakHeaders(choice, Operation::Subtraction, [&random](int n) { return int(random() % unsigned(n)); });
    for (const QString& top : headers.tops) EXPECT_TRUE(mask(choice.tops) >> (top.toInt() - 10) & 1);
  }
}
