#include "drill/ScoreRecord.h"

#include "platform/ShiftJis.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>

namespace progress {
namespace {

// A character's spelling in bytes. Its first eight bytes are also kept as
// one word with a mask, so that matching it is usually one compare.
struct Token {
  char bytes[16] = {};
  unsigned char size = 0;
  std::uint64_t head = 0, mask = 0;

  Token() = default;
  explicit Token(const QByteArray& spelt) : size(static_cast<unsigned char>(std::min<qsizetype>(spelt.size(), 16))) {
    std::memcpy(bytes, spelt.constData(), size);
    std::memcpy(&head, bytes, 8);
    for (int i = 0; i < std::min<int>(size, 8); ++i) reinterpret_cast<unsigned char*>(&mask)[i] = 0xFF;
  }
};

// The characters a record is made of, spelt in one encoding. A record is
// matched on its bytes, so a history of 100,000 lines is read without
// decoding a single line; the spellings come from the encoders themselves.
struct Spelling {
  std::array<Token, 10> digits;  // full-width ０ to ９
  Token blank;                   // ideographic space
  Token slash, hyphen, period, colon;
  Token point;                   // 点
  std::array<Token, 3> words;    // in the order of drill::Operation
  Token byteOrderMark;

  template <class Encode>
  explicit Spelling(Encode encode) {
    for (int d = 0; d < 10; ++d) digits[std::size_t(d)] = Token(encode(QString(QChar(0xFF10 + d))));
    blank = Token(encode(QStringLiteral("\u3000")));
    slash = Token(encode(QStringLiteral("／")));
    hyphen = Token(encode(QStringLiteral("－")));
    period = Token(encode(QStringLiteral("．")));
    colon = Token(encode(QStringLiteral("：")));
    point = Token(encode(QStringLiteral("点")));
    words = {Token(encode(history::kAdditionWord.trimmed())), Token(encode(history::kMultiplicationWord.trimmed())),
             Token(encode(history::kSubtractionWord.trimmed()))};
  }
};

const Spelling& ShiftJisSpelling() {
  static const Spelling spelling([](const QString& s) { return platform::ToShiftJis(s); });
  return spelling;
}

const Spelling& Utf8Spelling() {
  static const Spelling spelling = [] {
    Spelling s([](const QString& text) { return text.toUtf8(); });
    s.byteOrderMark = Token(QByteArray("\xEF\xBB\xBF"));
    return s;
  }();
  return spelling;
}

// Walks a line from its start; every step takes whole characters, so the
// position never lands inside a double-byte character. The steps a record
// takes many times are forced inline: called, they cost a third of a long
// history's parse.
class LineReader {
 public:
  LineReader(QByteArrayView line, const Spelling& spelling)
      : p_(line.data()), end_(line.data() + line.size()), s_(spelling) {}

  bool AtEnd() const { return p_ == end_; }

  bool Take(const Token& token) {
    if (token.size == 0 || end_ - p_ < token.size) return false;
    if (end_ - p_ >= 8) {
      std::uint64_t word;
      std::memcpy(&word, p_, 8);
      if ((word & token.mask) != token.head) return false;
      if (token.size > 8 && std::memcmp(p_ + 8, token.bytes + 8, token.size - 8u) != 0) return false;
    } else if (std::memcmp(p_, token.bytes, token.size) != 0) {
      return false;
    }
    p_ += token.size;
    return true;
  }

  bool Take(char ascii, const Token& wide) {
    if (p_ != end_ && *p_ == ascii) {
      ++p_;
      return true;
    }
    return Take(wide);
  }

  // Gives how many blanks were passed over.
  [[gnu::always_inline]] int Blanks() {
    int n = 0;
    while (p_ != end_) {
      if (*p_ == ' ' || *p_ == '\t')
        ++p_;
      else if (*p_ != s_.blank.bytes[0] || !Take(s_.blank))
        break;
      ++n;
    }
    return n;
  }

  // A whole number of minDigits to maxDigits digits not followed by another.
  [[gnu::always_inline]] bool Number(int minDigits, int maxDigits, int& value) {
    value = 0;
    int count = 0;
    for (int digit; (digit = Digit()) >= 0; ++count) {
      if (count == maxDigits) return false;
      value = value * 10 + digit;
    }
    return count >= minDigits;
  }

  bool DateSeparator() { return Take('/', s_.slash) || Take('-', s_.hyphen) || Take('.', s_.period); }

  bool Word(drill::Operation& operation) {
    for (std::size_t k = 0; k < s_.words.size(); ++k)
      if (Take(s_.words[k])) {
        operation = drill::Operation(k);
        return true;
      }
    return false;
  }

 private:
  int Digit() {
    if (p_ == end_) return -1;
    if (*p_ >= '0' && *p_ <= '9') return *p_++ - '0';
    // The full-width digits share their first byte.
    if (*p_ != s_.digits[0].bytes[0]) return -1;
    for (int d = 0; d < 10; ++d)
      if (Take(s_.digits[std::size_t(d)])) return d;
    return -1;
  }

  const char* p_;
  const char* end_;
  const Spelling& s_;
};

// The date of a year, month and day, or a null date when there is no such
// day. A history goes through its days in order, so the first of the last
// month asked for is kept with the month's length, and a day of that month
// is counted from it: building a date from its parts costs many times as
// much.
QDate DateOf(int year, int month, int day) {
  thread_local int lastYear = 0, lastMonth = 0, length = 0;
  thread_local QDate first;
  if (year != lastYear || month != lastMonth) {
    lastYear = year;
    lastMonth = month;
    first = QDate(year, month, 1);
    length = first.isValid() ? first.daysInMonth() : 0;
  }
  return day >= 1 && day <= length ? first.addDays(day - 1) : QDate();
}

bool Parse(QByteArrayView line, const Spelling& spelling, ScoreRecord& record) {
  LineReader in(line, spelling);
  int year, month, day;
  in.Take(spelling.byteOrderMark);
  in.Blanks();
  if (!in.Number(4, 4, year) || !in.DateSeparator() || !in.Number(1, 2, month) ||
      !in.DateSeparator() || !in.Number(1, 2, day) || in.Blanks() == 0)
    return false;
  record.date = DateOf(year, month, day);
  if (!record.date.isValid()) return false;

  int score, seconds, tenths;
  if (!in.Number(1, 3, score) || score > 100) return false;
  in.Blanks();
  if (!in.Take(spelling.point)) return false;
  in.Blanks();
  if (!in.Word(record.operation)) return false;
  in.Blanks();

  if (!in.Number(1, 5, record.minutes) || !in.Take(':', spelling.colon) || !in.Number(1, 2, seconds) ||
      seconds > 59 || !(in.Take(':', spelling.colon) || in.Take('.', spelling.period)) ||
      !in.Number(1, 2, tenths) || tenths > 9)
    return false;
  record.score = std::uint8_t(score);
  record.seconds = std::uint8_t(seconds);
  record.tenths = std::uint8_t(tenths);
  in.Blanks();
  return in.AtEnd();
}

// Up to maxDigits ASCII digits at p, not followed by another: how many
// there were, or 0.
[[gnu::always_inline]] inline int AsciiNumber(const char*& p, int maxDigits, int& value) {
  value = 0;
  int count = 0;
  for (; static_cast<unsigned char>(*p - '0') < 10; ++p, ++count) {
    if (count == maxDigits) return 0;
    value = value * 10 + (*p - '0');
  }
  return count;
}

// Takes the date at p in the drill's shape, "2003/4/05", and the two
// blanks after it. A history goes through its days in order, so a line's
// year and month are mostly spelt as in the line before: then only the day
// is read. p must have 16 bytes to read.
bool TakeDateAsWritten(const char*& p, QDate& date) {
  // The year and month last read, with their bytes ("2003/4/", 7 or 8 of
  // them) as one word and a mask of the bytes they take in it.
  thread_local struct {
    std::uint64_t bytes = 0, mask = 0;
    int size = 0, year = 0, month = 0;
  } last;
  std::uint64_t front;
  std::memcpy(&front, p, 8);
  if (last.size == 0 || ((front ^ last.bytes) & last.mask) != 0) {
    const char* const start = p;
    if (AsciiNumber(p, 4, last.year) != 4 || *p++ != '/' || !AsciiNumber(p, 2, last.month) || *p++ != '/') {
      last.size = 0;
      return false;
    }
    last.size = int(p - start);
    unsigned char mask[8] = {};
    std::memset(mask, 0xFF, std::size_t(last.size));
    std::memcpy(&last.mask, mask, 8);
    last.bytes = front & last.mask;
  } else {
    p += last.size;
  }
  int day;
  if (!AsciiNumber(p, 2, day) || *p++ != ' ' || *p++ != ' ') return false;
  date = DateOf(last.year, last.month, day);
  return true;
}

// Reads a line in the one shape the drill writes,
//   "2003/4/05  98点  たしざん  2:5:3"
// in Shift-JIS with ASCII digits and two blanks around the score and the
// word. A long history is almost all such lines, and taking each field at
// its known place costs a fraction of what Parse spends on the forms a
// person may type. Any other line is refused here and goes to Parse; a line
// this reads, Parse reads the same (the same limits, the same DateOf).
bool ParseAsWritten(QByteArrayView line, const Spelling& sjis, ScoreRecord& record) {
  // From "2003/1/01  0点  たしざん  0:0:0" to a five-digit minute count.
  // The line is read from a copy that ends in NUL bytes, which match
  // nothing the shape asks for, so no step need look out for the end of the
  // line. The copy is made in two fixed-size pieces that overlap, which
  // the compiler does in a few moves rather than a call.
  constexpr qsizetype kShortest = 31, kLongest = 39;
  static_assert(24 + 16 > kLongest && kShortest >= 24 && kShortest >= 16);
  if (line.size() < kShortest || line.size() > kLongest) return false;
  char text[kLongest + 13] = {};
  std::memcpy(text, line.data(), 24);
  std::memcpy(text + line.size() - 16, line.data() + line.size() - 16, 16);
  const char* p = text;
  const auto take = [&](char c) {
    if (*p != c) return false;
    ++p;
    return true;
  };
  // Two blanks, the word, two blanks.
  const auto takeWord = [&] {
    if (p[0] != ' ' || p[1] != ' ' || p[10] != ' ' || p[11] != ' ') return false;
    std::uint64_t word;
    std::memcpy(&word, p + 2, 8);
    for (std::size_t k = 0; k < sjis.words.size(); ++k)
      if (sjis.words[k].size == 8 && word == sjis.words[k].head) {
        record.operation = drill::Operation(k);
        p += 12;
        return true;
      }
    return false;
  };
  int score, seconds, tenths;
  if (!TakeDateAsWritten(p, record.date) || !AsciiNumber(p, 3, score) || score > 100 ||
      sjis.point.size != 2 || !take(sjis.point.bytes[0]) || !take(sjis.point.bytes[1]) || !takeWord() ||
      !AsciiNumber(p, 5, record.minutes) || !take(':') || !AsciiNumber(p, 2, seconds) || seconds > 59 ||
      !take(':') || !AsciiNumber(p, 1, tenths) || p != text + line.size())
    return false;
  record.score = std::uint8_t(score);
  record.seconds = std::uint8_t(seconds);
  record.tenths = std::uint8_t(tenths);
  return record.date.isValid();
}

static_assert(sizeof(ScoreRecord) == 16, "a long history holds a hundred thousand of these");

// A line of one NUL byte is no line: a history saved as UTF-16 splits at
// the CR and the LF of its line ends with a NUL byte between them (and after
// the last), and only its lines are lines the reader should be told about.
bool IsBlank(QByteArrayView line) {
  if (line.size() == 1 && line[0] == '\0') return true;
  return std::all_of(line.begin(), line.end(), [](char c) { return c == ' ' || c == '\t'; });
}

}  // namespace

QString ScoreRecord::TimeText() const {
  return QStringLiteral("%1:%2.%3").arg(minutes).arg(int(seconds), 2, 10, QLatin1Char('0')).arg(int(tenths));
}

namespace {

bool ParseInto(QByteArrayView line, ScoreRecord& record) {
  const Spelling& sjis = ShiftJisSpelling();
  if (ParseAsWritten(line, sjis, record) || Parse(line, sjis, record)) return true;
  // Only a line with non-ASCII bytes can read differently in UTF-8.
  return std::any_of(line.begin(), line.end(), [](char c) { return static_cast<unsigned char>(c) >= 0x80; }) &&
         Parse(line, Utf8Spelling(), record);
}

}  // namespace

bool detail::ParseAsWritten(QByteArrayView line, ScoreRecord& record) {
  return progress::ParseAsWritten(line, ShiftJisSpelling(), record);
}

bool detail::ParseLenient(QByteArrayView line, ScoreRecord& record) {
  return Parse(line, ShiftJisSpelling(), record);
}

std::optional<ScoreRecord> ParseScoreRecord(QByteArrayView line) {
  ScoreRecord record;
  if (ParseInto(line, record)) return record;
  return std::nullopt;
}

std::optional<ScoreRecord> ParseScoreRecord(const QString& line) {
  return ParseScoreRecord(QByteArrayView(line.toUtf8()));
}

void ParseScoreBytes(QByteArrayView bytes, ScoreRecords& out) {
  out.records.clear();
  out.skipped = 0;
  // A record is some 34 bytes with its line end: room for the drill's own
  // lines without a counting pass.
  out.records.reserve(std::size_t(bytes.size() / 32 + 1));
  const auto take = [&out](const char* text, qsizetype size) {
    const QByteArrayView line(text, size);
    if (ParseInto(line, out.records.emplace_back())) return;
    out.records.pop_back();
    if (!IsBlank(line)) ++out.skipped;
  };
  const char* const end = bytes.data() + bytes.size();
  if (const char* rest = history::ForEachLine(bytes.data(), end, take); rest != end) take(rest, end - rest);
  // The newest line comes first in the file.
  std::reverse(out.records.begin(), out.records.end());
  // A file put together by hand may be out of order; one date's drills keep
  // the order they were written in.
  const auto byDate = [](const ScoreRecord& a, const ScoreRecord& b) { return a.date < b.date; };
  if (!std::is_sorted(out.records.begin(), out.records.end(), byDate))
    std::stable_sort(out.records.begin(), out.records.end(), byDate);
}

ScoreRecords ParseScoreLines(const history::ScoreLines& lines) {
  ScoreRecords out;
  ParseScoreBytes(QByteArrayView(lines.bytes), out);
  return out;
}

void ReadScoreRecords(const QString& path, ScoreRecords& records, QByteArray& buffer) {
  records.records.clear();
  records.skipped = 0;
  history::ReadHistoryBytes(path, buffer);
  ParseScoreBytes(QByteArrayView(buffer), records);
}

ScoreRecords ReadScoreRecords(const QString& path) {
  ScoreRecords records;
  QByteArray buffer;
  ReadScoreRecords(path, records, buffer);
  return records;
}

}  // namespace progress
