#include "drill/HeaderDraw.h"

#include "platform/Exception.h"

namespace drill {

int DrawBelow(std::mt19937& generator, int n) {
  return std::uniform_int_distribution<int>(0, n - 1)(generator);
}

std::uint64_t DrawDigitPermutation(const RandomBelow& random) {
  int digits[10];
  digits[0] = random(9) + 1;
  for (int position = 1; position < 10; ++position) {
    int digit;
    bool taken;
    do {
      digit = random(10);
      taken = false;
      for (int n = 0; n < position; ++n) taken = taken || digits[n] == digit;
    } while (taken);
    digits[position] = digit;
  }
  std::uint64_t value = 0;
  for (int digit : digits) value = value * 10 + std::uint64_t(digit);
  return value;
}

QStringList TopHeaders(std::uint64_t permutation, int count, Operation operation) {
  const QString digits = QString::number(permutation);
  QStringList texts;
  for (int j = 0; j < count; ++j)
    texts << (operation == Operation::Subtraction ? QStringLiteral("1") + digits[j] : QString(digits[j]));
  return texts;
}

QStringList LeftHeaders(std::uint64_t permutation, int count) {
  const QString digits = QString::number(permutation);
  QStringList texts;
  for (int i = 0; i < count; ++i) texts << QString(digits[i]);
  return texts;
}

Headers DrawHeaders(Operation operation, int count, const RandomBelow& random) {
  Headers headers;
  headers.tops = TopHeaders(DrawDigitPermutation(random), count, operation);
  headers.lefts = LeftHeaders(DrawDigitPermutation(random), count);
  return headers;
}

long long Answer(Operation operation, long long top, long long left) {
  switch (operation) {
    case Operation::Addition:
      return top + left;
    case Operation::Multiplication:
      return top * left;
    case Operation::Subtraction:
      break;
  }
  return top - left;
}

bool IsRightAnswer(Operation operation, int top, int left, const QString& answer) {
  int value = 0;
  return TryStrToInt(answer, value) && value == Answer(operation, top, left);
}

}  // namespace drill
