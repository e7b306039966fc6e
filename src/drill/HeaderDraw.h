#pragma once
// The header draw of a grid: the numbers along its top and down its left,
// drawn at the end of a countdown. The drill window and the printable sheets
// both draw here, so a sheet's headers follow the drill's rules exactly.

#include <QtCore/QStringList>

#include <cstdint>
#include <functional>
#include <random>

namespace drill {

enum class Operation : std::uint8_t { Addition, Multiplication, Subtraction };

// A uniform whole number from 0 to n - 1.
using RandomBelow = std::function<int(int n)>;

// A uniform whole number from 0 to n - 1 taken from generator: the one way
// the drill and the sheets turn their generator's output into a draw.
int DrawBelow(std::mt19937& generator, int n);

// Ten digits 0 to 9, each once, in random order, the first never 0, read as
// one decimal number (so its text always has ten characters).
std::uint64_t DrawDigitPermutation(const RandomBelow& random);

// The texts of `count` header cells (10 or 5) taken from a permutation by
// position: the top row gets "1" in front in subtraction (10 to 19), so an
// answer is never negative; the left column always holds the plain digits.
QStringList TopHeaders(std::uint64_t permutation, int count, Operation operation);
QStringList LeftHeaders(std::uint64_t permutation, int count);

struct Headers {
  QStringList tops;
  QStringList lefts;
};

// Both header rows of one grid, the top one drawn first, as a drill draws
// them.
Headers DrawHeaders(Operation operation, int count, const RandomBelow& random);

// The right answer of the cell under top and beside left.
long long Answer(Operation operation, long long top, long long left);

// Whether the answer text of the cell under top and beside left is right.
// Wide arithmetic: an edited header may hold any 32-bit number. An answer
// that is not a whole number ("1.5", a lone "-") is wrong.
bool IsRightAnswer(Operation operation, int top, int left, const QString& answer);

}  // namespace drill
