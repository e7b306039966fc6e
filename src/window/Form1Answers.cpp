// What the drill window adds to the answers file: how long each answer cell
// held the focus during a drill, and one line per cell once it is graded.

#include "window/Form1.h"

#include "drill/AnswersFile.h"
#include "platform/Application.h"
#include "platform/Exception.h"
#include "widgets/SaNumEdit.h"

#include <QtCore/QDateTime>
#include <QtWidgets/QApplication>

#include <algorithm>
#include <cstdio>
#include <cstring>

void TForm1::StartCellTimes(const Grid& grid) {
  cellTimes_ = CellTimes{};
  cellTimes_.cells = grid.answers;
  cellTimes_.running = true;
  cellTimes_.since = MonotonicMs();
}

void TForm1::FocusChanged(QWidget* now) {
  if (!cellTimes_.running) return;
  const std::int64_t at = MonotonicMs();
  if (cellTimes_.focused >= 0) cellTimes_.ms[std::size_t(cellTimes_.focused)] += at - cellTimes_.since;
  const auto& cells = cellTimes_.cells;
  const auto found = std::find(cells.begin(), cells.end(), now);
  cellTimes_.focused = found == cells.end() ? -1 : int(found - cells.begin());
  cellTimes_.since = at;
}

void TForm1::SettleCellTimes(bool keepRunning) {
  if (!cellTimes_.running) return;
  FocusChanged(QApplication::focusWidget());  // counts the cell holding the focus up to now
  cellTimes_.running = keepRunning;
}

void TForm1::AppendGradedAnswers(const Grid& grid, GridKind kind) {
  const std::size_t from = cellTimes_.appended;
  const std::size_t to = std::min(cellTimes_.graded, grid.answers.size());
  if (to <= from || cellTimes_.cells.data() != grid.answers.data()) return;
  cellTimes_.appended = to;

  const QDateTime now = QDateTime::currentDateTime();
  const QDateTime drill(now.date(), QTime(now.time().hour(), now.time().minute(), now.time().second()));
  const drill::Operation operation = CheckedOperation();
  const std::size_t columns = grid.tops.size();
  std::vector<answers::Answer> lines;
  lines.reserve(to - from);
  for (std::size_t n = from; n < to; ++n) {
    const QString top = grid.tops[n % columns]->Text();
    const QString left = grid.lefts[n / columns]->Text();
    const QString answer = grid.answers[n]->Text();
    int topValue = 0, leftValue = 0;
    const bool right = TryStrToInt(top, topValue) && TryStrToInt(left, leftValue) &&
                       drill::IsRightAnswer(operation, topValue, leftValue, answer);
    lines.push_back({drill, kind, operation, top, left, answer, right, cellTimes_.ms[n]});
  }
  const int err = answers::AppendAnswers(AnswersPath, lines);
  if (err != 0 && !answersFailureReported_) {
    // Never a box in the middle of a drill: the score record is what the
    // child sees; the answers are for the grown-ups.
    answersFailureReported_ = true;
    std::fprintf(stderr, "%s: %s: %s\n", qPrintable(platform::ApplicationTitle()), qPrintable(AnswersPath),
                 std::strerror(err));
  }
}
