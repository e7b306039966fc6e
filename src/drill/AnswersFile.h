#pragma once
// date/answers.tsv: one line per answer cell of every graded drill, beside
// the score histories, which it never touches. UTF-8, LF, tab-separated, a
// header line naming the columns first:
//   drill  grid  op  top  left  answer  right  ms
// A drill's lines are appended in one write under the folder's lock
// (drill::FolderLock) and synced, so two programs on one folder never
// interleave them. The file is
// read from its end, only as far back as asked, so years of drills cost what
// a month does.

#include "drill/Grid.h"
#include "drill/HeaderDraw.h"

#include <QtCore/QByteArray>
#include <QtCore/QDateTime>
#include <QtCore/QString>

#include <cstdint>
#include <optional>
#include <vector>

namespace answers {

inline const QString kAnswersPath = QStringLiteral("date/answers.tsv");
inline constexpr char kHeaderLine[] = "drill\tgrid\top\ttop\tleft\tanswer\tright\tms\n";

// One answer cell of a graded drill.
struct Answer {
  QDateTime drill;  // local time of the grading, to the second
  drill::GridKind grid = drill::GridKind::Square100;
  drill::Operation operation = drill::Operation::Addition;
  QString top;      // the header texts as shown
  QString left;
  QString answer;   // as typed; may be empty or not a number
  bool right = false;
  std::int64_t ms = 0;  // how long the cell held the focus, summed

  bool operator==(const Answer&) const = default;
};

// The fact an answer is about: the digit of its column (a subtraction's top
// header less 10) and of its row. Nothing when a header is not such a digit
// (an edited 25-square header).
struct Fact {
  int top = 0;
  int left = 0;
  bool operator==(const Fact&) const = default;
};
std::optional<Fact> FactOf(const Answer& answer);

// "add", "mul", "sub": the operation as the file and the command line name it.
QString OperationKey(drill::Operation operation);
std::optional<drill::Operation> OperationFromKey(QStringView key);

// The lines of answers, each ending in LF, without the header line.
QByteArray FormatAnswers(const std::vector<Answer>& answers);

// Parses one line (without its LF); nothing when it is not a whole line of
// the file's form.
std::optional<Answer> ParseAnswerLine(QByteArrayView line);

// Appends the lines of one drill to the file at path, creating it with its
// header line when it is new, on a fresh line when the last one was torn.
// Gives 0, or the errno of the failure (nothing is appended then); EAGAIN
// when another program held the folder's lock past the wait.
int AppendAnswers(const QString& path, const std::vector<Answer>& answers);

// How far back to read: lines of a drill before `since` end the reading, and
// so does having `perFact` answers of every fact met so far (of `operation`,
// or of all three when none is given); a fact last answered further back
// than that is no longer a weak fact of today. perFact 0 reads on.
struct ReadLimits {
  QDate since;
  int perFact = 20;
  std::optional<drill::Operation> operation;
};

struct ReadResult {
  std::vector<Answer> answers;  // oldest first, of `operation` only when given
  int badLines = 0;             // lines skipped: edited, torn, garbage
  std::int64_t bytesRead = 0;
  int error = 0;                // errno when the file could not be read; 0 for a missing file
};

ReadResult ReadRecentAnswers(const QString& path, const ReadLimits& limits);

}  // namespace answers
