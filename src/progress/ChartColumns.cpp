#include "progress/ChartColumns.h"

namespace progress {

// Stepped in whole numbers, each drill's column is the one the floating
// point gives, without a division a drill: `ahead` is
// (2i + 1) * width - 2n * (column - left), kept below 2n.
std::vector<ChartColumns> BinColumns(const std::vector<ScoreRecord>& records, long left, long long width) {
  std::vector<ChartColumns> columns;
  const long long n = static_cast<long long>(records.size());
  if (n == 0) return columns;
  columns.reserve(std::size_t(std::min(n, std::max(width, 1LL))));
  ChartColumns current{left, {}};
  bool holds = false;
  long long ahead = width;
  for (const ScoreRecord& r : records) {
    for (; ahead >= 2 * n; ahead -= 2 * n) {
      if (holds) columns.push_back(current);
      current = {current.x + 1, {}};
      holds = false;
    }
    current.operations[std::size_t(r.operation)].Add(r);
    holds = true;
    ahead += 2 * width;
  }
  columns.push_back(current);
  return columns;
}

}  // namespace progress
