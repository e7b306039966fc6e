#pragma once
// A history too long for a dot a drill is drawn a pixel column at a time:
// per operation and column, the least, the greatest and the mean of the
// times and scores of the drills that fall in it. The binning is here,
// without a painter; the chart only places each column's figures.

#include "drill/ScoreRecord.h"

#include <array>
#include <cstdint>
#include <limits>
#include <vector>

namespace progress {

// One operation's drills in one pixel column, in whole numbers (tenths of
// a second and points).
struct ChartColumn {
  int count = 0;
  int fastest = std::numeric_limits<int>::max(), slowest = 0;
  int lowest = std::numeric_limits<int>::max(), highest = 0;
  std::int64_t totalTime = 0, totalScore = 0;

  void Add(const ScoreRecord& r) {
    const int time = r.TimeTenths();
    ++count;
    fastest = std::min(fastest, time);
    slowest = std::max(slowest, time);
    lowest = std::min(lowest, int(r.score));
    highest = std::max(highest, int(r.score));
    totalTime += time;
    totalScore += r.score;
  }
  double MeanTenths() const { return double(totalTime) / count; }
  double MeanScore() const { return double(totalScore) / count; }
};

// A pixel column that holds drills, with each operation's share of them
// (indexed by drill::Operation; an operation without drills there has
// count 0).
struct ChartColumns {
  long x = 0;
  std::array<ChartColumn, 3> operations{};
};

// The drills of records, oldest first, spread evenly over a plot `width`
// whole pixels wide whose left edge is the pixel column `left`: drill i of
// n lies at left + (i + 0.5) * width / n, in column
// left + floor((2i + 1) * width / 2n). Gives the columns that hold drills,
// left to right.
std::vector<ChartColumns> BinColumns(const std::vector<ScoreRecord>& records, long left, long long width);

}  // namespace progress
