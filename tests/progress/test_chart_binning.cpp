// The dense chart's columns without a painter: every drill lands in the
// pixel column its place on the axis falls in, and each column holds the
// least, greatest, sum and count of each operation's drills there.

#include "progress/ChartColumns.h"

#include <gtest/gtest.h>

#include <cmath>
#include <map>

using namespace progress;

namespace {

std::vector<ScoreRecord> Drills(long long n) {
  std::vector<ScoreRecord> records(static_cast<std::size_t>(n));
  for (long long i = 0; i < n; ++i) {
    ScoreRecord& r = records[std::size_t(i)];
    r.date = QDate(2024, 1, 1).addDays(i / 3);
    r.operation = drill::Operation(i * 7 % 3);
    r.score = std::uint8_t(i * 37 % 101);
    r.minutes = int(i * 13 % 5);
    r.seconds = std::uint8_t(i * 29 % 60);
    r.tenths = std::uint8_t(i % 10);
  }
  return records;
}

}  // namespace

TEST(ChartBinning, EveryDrillInTheColumnOfItsPlaceAndEachColumnSummed) {
  const struct {
    long long drills, width;
    long left;
  } rows[] = {
      {1, 800, 76},  {3, 10, 0},    {7, 3, 0},         {800, 800, 5},
      {801, 800, 5}, {2, 1000, 10}, {100000, 733, 62}, {1601, 800, 62},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(testing::Message() << row.drills << " drills over " << row.width << " px");
    const std::vector<ScoreRecord> records = Drills(row.drills);
    // The same columns, found one drill at a time in floating point.
    std::map<long, ChartColumns> expected;
    for (long long i = 0; i < row.drills; ++i) {
      const long x = row.left + long(std::floor((double(i) + 0.5) * double(row.width) / double(row.drills)));
      ChartColumns& column = expected[x];
      column.x = x;
      column.operations[std::size_t(records[std::size_t(i)].operation)].Add(records[std::size_t(i)]);
    }
    const std::vector<ChartColumns> got = BinColumns(records, row.left, row.width);
    ASSERT_EQ(got.size(), expected.size());
    auto want = expected.begin();
    for (const ChartColumns& column : got) {
      ASSERT_EQ(column.x, want->first);
      for (std::size_t op = 0; op < 3; ++op) {
        const ChartColumn& a = column.operations[op];
        const ChartColumn& b = want->second.operations[op];
        EXPECT_EQ(std::tie(a.count, a.fastest, a.slowest, a.lowest, a.highest, a.totalTime, a.totalScore),
                  std::tie(b.count, b.fastest, b.slowest, b.lowest, b.highest, b.totalTime, b.totalScore))
            << "column " << column.x << ", operation " << op;
      }
      ++want;
    }
  }
  EXPECT_TRUE(BinColumns({}, 0, 800).empty());
}
