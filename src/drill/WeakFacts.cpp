#include "drill/WeakFacts.h"

#include <algorithm>
#include <bit>
#include <map>
#include <numeric>

namespace drill {
namespace {

constexpr int kLastAnswersKept = 5;
constexpr int kMostWeakest = 30;  // keeps every weight of the choice within 64 bits

std::int64_t Median(std::vector<std::int64_t> values) {
  std::sort(values.begin(), values.end());
  const std::size_t n = values.size();
  if (n == 0) return 0;
  return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

// Every set of five digits out of ten, as a bit mask, smallest digits first.
std::vector<unsigned> FiveOfTen() {
  std::vector<unsigned> sets;
  for (unsigned mask = 0; mask < 1024; ++mask)
    if (std::popcount(mask) == 5) sets.push_back(mask);
  // In order of their digits read ascending: {0,1,2,3,4} first.
  std::sort(sets.begin(), sets.end(), [](unsigned a, unsigned b) {
    for (int d = 0; d < 10; ++d)
      if (((a >> d) & 1) != ((b >> d) & 1)) return ((a >> d) & 1) != 0;
    return false;
  });
  return sets;
}

std::array<int, 5> Digits(unsigned mask) {
  std::array<int, 5> digits{};
  int n = 0;
  for (int d = 0; d < 10; ++d)
    if (mask & (1u << d)) digits[std::size_t(n++)] = d;
  return digits;
}

}  // namespace

std::vector<FactStats> CollectFacts(const std::vector<answers::Answer>& answers, Operation operation, int perFact) {
  // Newest first, so the latest perFact of each fact are the first met.
  std::map<std::pair<int, int>, std::vector<const answers::Answer*>> byFact;
  for (auto it = answers.rbegin(); it != answers.rend(); ++it) {
    if (it->operation != operation) continue;
    const auto fact = answers::FactOf(*it);
    if (!fact) continue;
    auto& list = byFact[{fact->left, fact->top}];
    if (perFact <= 0 || int(list.size()) < perFact) list.push_back(&*it);
  }
  std::vector<FactStats> facts;
  for (const auto& [key, list] : byFact) {
    FactStats stats;
    stats.fact = {key.second, key.first};
    std::vector<std::int64_t> times;
    for (const answers::Answer* a : list) {
      times.push_back(a->ms);
      stats.wrong += a->right ? 0 : 1;
      if (stats.lastAnswers.size() < kLastAnswersKept) stats.lastAnswers << a->answer;
    }
    stats.seen = int(list.size());
    stats.lastWrong = !list.front()->right;
    stats.medianMs = Median(std::move(times));
    facts.push_back(std::move(stats));
  }
  return facts;
}

bool RanksAbove(const FactStats& a, const FactStats& b) {
  if (a.lastWrong != b.lastWrong) return a.lastWrong;
  if (a.lastWrong) {
    if (a.wrong != b.wrong) return a.wrong > b.wrong;
    if (a.medianMs != b.medianMs) return a.medianMs > b.medianMs;
  } else {
    if (a.medianMs != b.medianMs) return a.medianMs > b.medianMs;
    if (a.wrong != b.wrong) return a.wrong > b.wrong;
  }
  if (a.fact.left != b.fact.left) return a.fact.left < b.fact.left;
  return a.fact.top < b.fact.top;
}

void RankFacts(std::vector<FactStats>& facts) { std::sort(facts.begin(), facts.end(), RanksAbove); }

WeakFacts LoadWeakFacts(const QString& answersPath, Operation operation, const QDate& today) {
  answers::ReadLimits limits;
  limits.since = today.addDays(1 - kDaysRead);
  limits.perFact = kAnswersPerFact;
  limits.operation = operation;
  answers::ReadResult read = answers::ReadRecentAnswers(answersPath, limits);
  WeakFacts facts;
  facts.ranked = CollectFacts(read.answers, operation, kAnswersPerFact);
  RankFacts(facts.ranked);
  facts.badLines = read.badLines;
  facts.error = read.error;
  return facts;
}

QString WeakFactsText(Operation operation, const std::vector<FactStats>& ranked, int count) {
  QString text;
  for (int n = 0; n < std::min(count, int(ranked.size())); ++n) {
    const FactStats& f = ranked[std::size_t(n)];
    text += QStringLiteral("%1\t%2\t%3\t%4\n")
                .arg(FactText(operation, f.fact))
                .arg(double(f.medianMs) / 1000.0, 0, 'f', 1)
                .arg(f.wrong)
                .arg(f.seen);
  }
  return text;
}

int TopHeaderValue(Operation operation, int digit) {
  return operation == Operation::Subtraction ? digit + 10 : digit;
}

QString FactText(Operation operation, answers::Fact fact) {
  const int top = TopHeaderValue(operation, fact.top);
  const char16_t* sign = operation == Operation::Addition        ? u"+"
                         : operation == Operation::Multiplication ? u"×"
                                                                  : u"-";
  return QStringLiteral("%1 %2 %3 = %4")
      .arg(top)
      .arg(QString::fromUtf16(sign))
      .arg(fact.left)
      .arg(Answer(operation, top, fact.left));
}

HeaderChoice ChooseHeaders(const std::vector<FactStats>& ranked, int weakest) {
  const int k = std::clamp(std::min(weakest, int(ranked.size())), 0, kMostWeakest);
  // A covered fact is worth more than all rank weights together, so the count
  // comes first; a fact's rank weight is more than those of all below it.
  const std::uint64_t covered = std::uint64_t(1) << k;
  static const std::vector<unsigned> sets = FiveOfTen();
  std::uint64_t best = 0;
  HeaderChoice choice{Digits(sets.front()), Digits(sets.front())};
  bool any = false;
  for (unsigned tops : sets) {
    // With the tops fixed, each left digit adds the facts of its row alone.
    std::array<std::uint64_t, 10> row{};
    for (int r = 0; r < k; ++r) {
      const answers::Fact f = ranked[std::size_t(r)].fact;
      if (tops & (1u << f.top)) row[std::size_t(f.left)] += covered + (std::uint64_t(1) << (k - 1 - r));
    }
    std::array<int, 10> order;
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), [&row](int a, int b) { return row[std::size_t(a)] > row[std::size_t(b)]; });
    unsigned lefts = 0;
    std::uint64_t score = 0;
    for (int n = 0; n < 5; ++n) {
      lefts |= 1u << order[std::size_t(n)];
      score += row[std::size_t(order[std::size_t(n)])];
    }
    if (!any || score > best) {
      any = true;
      best = score;
      choice = {Digits(tops), Digits(lefts)};
    }
  }
  return choice;
}

int CoveredCount(const HeaderChoice& choice, const std::vector<FactStats>& ranked, int weakest) {
  int count = 0;
  for (int r = 0; r < std::min(weakest, int(ranked.size())); ++r) {
    const answers::Fact f = ranked[std::size_t(r)].fact;
    const bool top = std::find(choice.tops.begin(), choice.tops.end(), f.top) != choice.tops.end();
    const bool left = std::find(choice.lefts.begin(), choice.lefts.end(), f.left) != choice.lefts.end();
    count += top && left ? 1 : 0;
  }
  return count;
}

Headers WeakHeaders(const HeaderChoice& choice, Operation operation, const RandomBelow& random) {
  auto shuffled = [&random](std::array<int, 5> digits) {
    for (int n = 4; n > 0; --n) std::swap(digits[std::size_t(n)], digits[std::size_t(random(n + 1))]);
    return digits;
  };
  Headers headers;
  for (int d : shuffled(choice.tops)) headers.tops << QString::number(TopHeaderValue(operation, d));
  for (int d : shuffled(choice.lefts)) headers.lefts << QString::number(d);
  return headers;
}

}  // namespace drill
