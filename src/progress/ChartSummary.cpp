#include "progress/ChartSummary.h"

#include <QtCore/QStringList>

#include <algorithm>
#include <cstdlib>
#include <vector>

namespace progress {
namespace {

constexpr drill::Operation kOperations[] = {drill::Operation::Addition, drill::Operation::Multiplication,
                                            drill::Operation::Subtraction};

QString DateText(const QDate& date) {
  return QStringLiteral("%1年%2月%3日").arg(date.year()).arg(date.month()).arg(date.day());
}

// "1分5.3秒", as it is read aloud ("1:05.3" is read out as its signs).
QString SpokenTime(int tenths) {
  const QString seconds = QStringLiteral("%1.%2秒").arg(tenths / 10 % 60).arg(tenths % 10);
  return tenths >= 600 ? QStringLiteral("%1分").arg(tenths / 600) + seconds : seconds;
}

QString Drill(const ScoreRecord& r) {
  return QStringLiteral("%1点 %2（%3）").arg(int(r.score)).arg(SpokenTime(r.TimeTenths()), DateText(r.date));
}

// The first few drills against the last few: their mean times and scores.
QString Trend(const std::vector<const ScoreRecord*>& drills) {
  if (drills.size() < 2) return QStringLiteral("くらべる記録はまだありません");
  const std::size_t k = std::clamp<std::size_t>(drills.size() / 2, 1, 5);
  const auto mean = [&](std::size_t from, auto field) {
    double total = 0;
    for (std::size_t i = from; i < from + k; ++i) total += field(*drills[i]);
    return total / double(k);
  };
  const auto time = [](const ScoreRecord& r) { return double(r.TimeTenths()); };
  const auto score = [](const ScoreRecord& r) { return double(r.score); };
  const double firstTime = mean(0, time), lastTime = mean(drills.size() - k, time);
  const double firstScore = mean(0, score), lastScore = mean(drills.size() - k, score);
  const int change = int(std::lround(lastTime - firstTime));  // tenths of a second
  QString verdict;
  if (std::abs(change) < 10)
    verdict = QStringLiteral("タイムはほとんど変わりません");
  else
    verdict = QStringLiteral("タイムは %1 %2").arg(SpokenTime(std::abs(change)),
                                                 change < 0 ? QStringLiteral("はやくなりました")
                                                            : QStringLiteral("おそくなりました"));
  return QStringLiteral("はじめの%1回は平均 %2・%3点、さいごの%1回は平均 %4・%5点で、%6")
      .arg(k)
      .arg(SpokenTime(int(std::lround(firstTime))))
      .arg(std::lround(firstScore))
      .arg(SpokenTime(int(std::lround(lastTime))))
      .arg(std::lround(lastScore))
      .arg(verdict);
}

}  // namespace

QString ChartSummary(const ProgressChart& chart) {
  if (const QString message = chart.Message(); !message.isEmpty()) return message.split(u'\n').join(u' ');
  const std::vector<ScoreRecord>& records = chart.Records().records;
  QStringList parts;
  parts << QStringLiteral("%1の成績 %2回、%3から%4まで。")
               .arg(drill::GridName(chart.Grid()))
               .arg(records.size())
               .arg(DateText(records.front().date), DateText(records.back().date));
  for (drill::Operation operation : kOperations) {
    std::vector<const ScoreRecord*> drills;
    for (const ScoreRecord& r : records)
      if (r.operation == operation) drills.push_back(&r);
    if (drills.empty()) continue;
    parts << QStringLiteral("%1 %2回: ベスト %3、さいきん %4。%5。")
                 .arg(drill::OperationName(operation))
                 .arg(drills.size())
                 .arg(Drill(records[*chart.Best(operation)]), Drill(*drills.back()), Trend(drills));
  }
  if (chart.Records().skipped > 0)
    parts << QStringLiteral("記録として読めない行が %1 行あり、とばしました。").arg(chart.Records().skipped);
  return parts.join(u' ');
}

QString HistoryErrorText(const QString& path, const EInOutError& error) {
  // "I/O エラー (n)" carries its number already.
  const QString number = error.Message().contains(QString::number(error.ErrorCode))
                             ? QString()
                             : QStringLiteral("（エラー %1）").arg(error.ErrorCode);
  return QStringLiteral("ファイル %1 は開けません\n%2%3").arg(path, error.Message(), number);
}

}  // namespace progress
