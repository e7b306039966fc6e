#pragma once
// The two grids of a drill and the operations as the drill window, the
// progress chart and the sheets name them: how many headers a row has,
// which history holds the drills, what a grid and an operation are called,
// the operation's sign.

#include "drill/HeaderDraw.h"
#include "drill/ScoreHistory.h"

#include <QtCore/QString>

namespace drill {

// The two grids, as the drill window's radio buttons RadioButton4 and
// RadioButton6 choose them.
enum class GridKind { Square100, Square25 };

inline int HeaderCount(GridKind kind) { return kind == GridKind::Square100 ? 10 : 5; }

inline QString HistoryPath(GridKind kind) {
  return kind == GridKind::Square100 ? history::kHistory100 : history::kHistory25;
}

inline QString GridName(GridKind kind) {
  return kind == GridKind::Square100 ? QStringLiteral("100マス") : QStringLiteral("25マス");
}

// "たしざん", "かけざん", "ひきざん": the words of the history records.
inline QString OperationName(Operation operation) {
  switch (operation) {
    case Operation::Addition:
      return history::kAdditionWord.trimmed();
    case Operation::Multiplication:
      return history::kMultiplicationWord.trimmed();
    case Operation::Subtraction:
      break;
  }
  return history::kSubtractionWord.trimmed();
}

// The sign the drill shows in the grid's corner.
inline QString OperationSign(Operation operation) {
  switch (operation) {
    case Operation::Addition:
      return QStringLiteral("＋");
    case Operation::Multiplication:
      return QStringLiteral("×");
    case Operation::Subtraction:
      break;
  }
  return QStringLiteral("－");
}

}  // namespace drill
