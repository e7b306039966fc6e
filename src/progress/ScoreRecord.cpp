#include "progress/ScoreRecord.h"

#include "platform/ShiftJis.h"

#include <algorithm>
#include <array>
#include <cstring>

namespace progress {
namespace {

// The characters a record is made of, spelt in one encoding. A record is
// matched on its bytes, so a history of 100,000 lines is read without
// decoding a single line; the spellings come from the encoders themselves.
struct Spelling {
  std::array<QByteArray, 10> digits;  // full-width ０ to ９
  QByteArray blank;                    // ideographic space
  QByteArray slash, hyphen, period, colon;
  QByteArray point;                    // 点
  std::array<QByteArray, 3> words;     // in the order of drill::Operation
  QByteArray byteOrderMark;

  template <class Encode>
  explicit Spelling(Encode encode) {
    for (int d = 0; d < 10; ++d) digits[std::size_t(d)] = encode(QString(QChar(0xFF10 + d)));
    blank = encode(QStringLiteral("\u3000"));
    slash = encode(QStringLiteral("／"));
    hyphen = encode(QStringLiteral("－"));
    period = encode(QStringLiteral("．"));
    colon = encode(QStringLiteral("："));
    point = encode(QStringLiteral("点"));
    words = {encode(history::kAdditionWord.trimmed()), encode(history::kMultiplicationWord.trimmed()),
             encode(history::kSubtractionWord.trimmed())};
  }
};

const Spelling& ShiftJisSpelling() {
  static const Spelling spelling([](const QString& s) { return platform::ToShiftJis(s); });
  return spelling;
}

const Spelling& Utf8Spelling() {
  static const Spelling spelling = [] {
    Spelling s([](const QString& text) { return text.toUtf8(); });
    s.byteOrderMark = QByteArray("\xEF\xBB\xBF");
    return s;
  }();
  return spelling;
}

// Walks a line from its start; every step takes whole characters, so the
// position never lands inside a double-byte character.
class LineReader {
 public:
  LineReader(QByteArrayView line, const Spelling& spelling)
      : p_(line.data()), end_(line.data() + line.size()), s_(spelling) {}

  bool AtEnd() const { return p_ == end_; }

  bool Take(const QByteArray& token) {
    const qsizetype n = token.size();
    if (n == 0 || end_ - p_ < n || std::memcmp(p_, token.constData(), std::size_t(n)) != 0) return false;
    p_ += n;
    return true;
  }

  bool Take(char ascii, const QByteArray& wide) {
    if (p_ != end_ && *p_ == ascii) {
      ++p_;
      return true;
    }
    return Take(wide);
  }

  // Gives how many blanks were passed over.
  int Blanks() {
    int n = 0;
    for (;; ++n) {
      if (p_ != end_ && (*p_ == ' ' || *p_ == '\t'))
        ++p_;
      else if (!Take(s_.blank))
        return n;
    }
  }

  // A whole number of minDigits to maxDigits digits not followed by another.
  bool Number(int minDigits, int maxDigits, int& value) {
    value = 0;
    int count = 0;
    for (int digit; (digit = Digit()) >= 0; ++count) {
      if (count == maxDigits) return false;
      value = value * 10 + digit;
    }
    return count >= minDigits;
  }

  bool DateSeparator() { return Take('/', s_.slash) || Take('-', s_.hyphen) || Take('.', s_.period); }

  std::optional<drill::Operation> Word() {
    for (std::size_t k = 0; k < s_.words.size(); ++k)
      if (Take(s_.words[k])) return drill::Operation(k);
    return std::nullopt;
  }

 private:
  int Digit() {
    if (p_ == end_) return -1;
    if (*p_ >= '0' && *p_ <= '9') return *p_++ - '0';
    if (static_cast<unsigned char>(*p_) < 0x80) return -1;
    for (int d = 0; d < 10; ++d)
      if (Take(s_.digits[std::size_t(d)])) return d;
    return -1;
  }

  const char* p_;
  const char* end_;
  const Spelling& s_;
};

std::optional<ScoreRecord> Parse(QByteArrayView line, const Spelling& spelling) {
  LineReader in(line, spelling);
  ScoreRecord record;
  int year, month, day;
  in.Take(spelling.byteOrderMark);
  in.Blanks();
  if (!in.Number(4, 4, year) || !in.DateSeparator() || !in.Number(1, 2, month) ||
      !in.DateSeparator() || !in.Number(1, 2, day) || in.Blanks() == 0)
    return std::nullopt;
  if (!QDate::isValid(year, month, day)) return std::nullopt;
  record.date = QDate(year, month, day);

  if (!in.Number(1, 3, record.score) || record.score > 100) return std::nullopt;
  in.Blanks();
  if (!in.Take(spelling.point)) return std::nullopt;
  in.Blanks();
  const std::optional<drill::Operation> operation = in.Word();
  if (!operation) return std::nullopt;
  record.operation = *operation;
  in.Blanks();

  if (!in.Number(1, 5, record.minutes) || !in.Take(':', spelling.colon) ||
      !in.Number(1, 2, record.seconds) || record.seconds > 59 ||
      !(in.Take(':', spelling.colon) || in.Take('.', spelling.period)) ||
      !in.Number(1, 2, record.tenths) || record.tenths > 9)
    return std::nullopt;
  in.Blanks();
  if (!in.AtEnd()) return std::nullopt;
  return record;
}

bool IsBlank(QByteArrayView line) {
  return std::all_of(line.begin(), line.end(), [](char c) { return c == ' ' || c == '\t'; });
}

// Line i of a history without its line end: a line's span holds its text and
// the one line end (CR, LF or CR LF) after it, and no line holds CR or LF.
QByteArrayView LineBytes(const history::ScoreLines& lines, qsizetype i) {
  const char* data = lines.bytes.constData();
  const qsizetype begin = lines.starts[std::size_t(i)];
  qsizetype end = i + 1 < lines.size() ? lines.starts[std::size_t(i) + 1] : lines.bytes.size();
  while (end > begin && (data[end - 1] == '\n' || data[end - 1] == '\r')) --end;
  return QByteArrayView(data + begin, end - begin);
}

}  // namespace

QString ScoreRecord::TimeText() const {
  return QStringLiteral("%1:%2.%3").arg(minutes).arg(seconds, 2, 10, QLatin1Char('0')).arg(tenths);
}

std::optional<ScoreRecord> ParseScoreRecord(QByteArrayView line) {
  if (std::optional<ScoreRecord> record = Parse(line, ShiftJisSpelling())) return record;
  // Only a line with non-ASCII bytes can read differently in UTF-8.
  if (std::any_of(line.begin(), line.end(), [](char c) { return static_cast<unsigned char>(c) >= 0x80; }))
    return Parse(line, Utf8Spelling());
  return std::nullopt;
}

std::optional<ScoreRecord> ParseScoreRecord(const QString& line) {
  return ParseScoreRecord(QByteArrayView(line.toUtf8()));
}

ScoreRecords ParseScoreLines(const history::ScoreLines& lines) {
  ScoreRecords out;
  out.records.reserve(std::size_t(lines.size()));
  // The newest line comes first in the file.
  for (qsizetype i = lines.size() - 1; i >= 0; --i) {
    const QByteArrayView line = LineBytes(lines, i);
    if (std::optional<ScoreRecord> record = ParseScoreRecord(line))
      out.records.push_back(*record);
    else if (!IsBlank(line))
      ++out.skipped;
  }
  // A file put together by hand may be out of order; one date's drills keep
  // the order they were written in.
  const auto byDate = [](const ScoreRecord& a, const ScoreRecord& b) { return a.date < b.date; };
  if (!std::is_sorted(out.records.begin(), out.records.end(), byDate))
    std::stable_sort(out.records.begin(), out.records.end(), byDate);
  return out;
}

ScoreRecords ReadScoreRecords(const QString& path) {
  history::ScoreLines lines;
  history::ReadScoreFile(path, lines);
  return ParseScoreLines(lines);
}

}  // namespace progress
