#pragma once
// The weak facts of one operation: every fact the child has answered, its
// median time and mistakes over the answers read, ranked weakest first; and
// the 25-square headers that bring the weakest facts back.

#include "drill/AnswersFile.h"

#include <QtCore/QDate>
#include <QtCore/QStringList>

#include <array>
#include <vector>

namespace drill {

struct FactStats {
  answers::Fact fact;
  std::int64_t medianMs = 0;  // over the answers read, wrong ones too
  int wrong = 0;              // how many of them were wrong
  int seen = 0;
  bool lastWrong = false;     // the latest answer was wrong
  QStringList lastAnswers;    // the latest few as typed, latest first
};

// Gathers the answers of operation fact by fact, keeping the latest perFact
// of each (answers oldest first). Facts never answered are left out.
std::vector<FactStats> CollectFacts(const std::vector<answers::Answer>& answers, Operation operation,
                                    int perFact = 20);

// The ranking, weakest first:
//  1. a fact whose latest answer was wrong ranks above every fact whose
//     latest answer was right; among them, more mistakes first, then the
//     slower median;
//  2. the others by their median, slower first, then more mistakes;
//  3. ties keep the map's order: row (left digit), then column (top digit),
//     so the same answers always give the same ranking.
// A fact is ranked from its first answer; the median is over what there is.
bool RanksAbove(const FactStats& a, const FactStats& b);
void RankFacts(std::vector<FactStats>& facts);

// The weak facts of an operation as the views show them: the answers of the
// last 60 days up to `today`, the latest 20 of each fact, ranked.
inline constexpr int kDaysRead = 60;
inline constexpr int kAnswersPerFact = 20;
struct WeakFacts {
  std::vector<FactStats> ranked;
  int badLines = 0;
  int error = 0;  // errno when the answers file could not be read
};
WeakFacts LoadWeakFacts(const QString& answersPath, Operation operation, const QDate& today);

// The ranked list for a terminal, weakest first, at most count facts: the
// fact, its median in seconds, its mistakes, how often it was answered;
// tab-separated, one a line.
QString WeakFactsText(Operation operation, const std::vector<FactStats>& ranked, int count);

// "7 + 8 = 15", "17 - 9 = 8", "6 × 7 = 42": the top header first.
QString FactText(Operation operation, answers::Fact fact);
int TopHeaderValue(Operation operation, int digit);

// Five top and five left digits of a 25-square.
struct HeaderChoice {
  std::array<int, 5> tops{};
  std::array<int, 5> lefts{};
  bool operator==(const HeaderChoice&) const = default;
};

// The weakest `weakest` facts of ranked count; a choice covers a fact when its
// top and left digits are both in it. The choice covers as many of them as
// any can; among those, it covers the higher-ranked ones (a weaker fact
// outweighs all below it together); then the smallest digits. Digits come
// out in ascending order.
HeaderChoice ChooseHeaders(const std::vector<FactStats>& ranked, int weakest = 10);

// How many of the weakest facts a choice covers.
int CoveredCount(const HeaderChoice& choice, const std::vector<FactStats>& ranked, int weakest = 10);

// The header texts of a choice, each row and column in random order.
Headers WeakHeaders(const HeaderChoice& choice, Operation operation, const RandomBelow& random);

}  // namespace drill
