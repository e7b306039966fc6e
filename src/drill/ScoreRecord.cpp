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

// The longest line in the drill's shape, "2003/12/31  100点  たしざん  99999:59:9".
constexpr qsizetype kLongestAsWritten = 39;

// Reads lines in the one shape the drill writes,
//   "2003/4/05  98点  たしざん  2:5:3"
// in Shift-JIS with ASCII digits and two blanks around the score and the
// word. A long history is almost all such lines, and taking each field at
// its known place, straight from the file's bytes, costs a fraction of what
// finding the line's end and then Parse would. A line this reads, Parse
// reads the same (the same limits, the same dates).
class AsWrittenReader {
 public:
  explicit AsWrittenReader(const Spelling& sjis) : s_(sjis) {}

  // Reads the line at p into record and gives where its line end (CR or
  // LF) is; nullptr for a line of any other shape. No step reads past the
  // first byte that does not fit the shape, so kLongestAsWritten + 1 bytes
  // from p must be there to read, but the line may end sooner.
  [[gnu::always_inline]] const char* Take(const char* p, ScoreRecord& record) {
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
      for (std::size_t k = 0; k < s_.words.size(); ++k)
        if (s_.words[k].size == 8 && word == s_.words[k].head) {
          record.operation = drill::Operation(k);
          p += 12;
          return true;
        }
      return false;
    };
    int score, seconds, tenths;
    if (!TakeDate(p, record.date) || !AsciiNumber(p, 3, score) || score > 100 || s_.point.size != 2 ||
        !take(s_.point.bytes[0]) || !take(s_.point.bytes[1]) || !takeWord() || !AsciiNumber(p, 5, record.minutes) ||
        !take(':') || !AsciiNumber(p, 2, seconds) || seconds > 59 || !take(':') || !AsciiNumber(p, 1, tenths) ||
        (*p != '\r' && *p != '\n'))
      return nullptr;
    record.score = std::uint8_t(score);
    record.seconds = std::uint8_t(seconds);
    record.tenths = std::uint8_t(tenths);
    return p;
  }

 private:
  // Takes the date, "2003/4/05", and the two blanks after it. A history
  // goes through its days in order, so a line's year and month are mostly
  // spelt as in the line before: then only the day is read, and counted
  // from the first of that month as DateOf counts it.
  [[gnu::always_inline]] bool TakeDate(const char*& p, QDate& date) {
    std::uint64_t front;
    std::memcpy(&front, p, 8);
    if (month_.size == 0 || ((front ^ month_.bytes) & month_.mask) != 0) {
      const char* const start = p;
      int year, month;
      if (AsciiNumber(p, 4, year) != 4 || *p++ != '/' || !AsciiNumber(p, 2, month) || *p++ != '/') {
        month_.size = 0;
        return false;
      }
      const QDate first(year, month, 1);
      month_.first = first.toJulianDay();
      month_.length = first.isValid() ? first.daysInMonth() : 0;
      month_.size = int(p - start);
      unsigned char mask[8] = {};
      std::memset(mask, 0xFF, std::size_t(month_.size));
      std::memcpy(&month_.mask, mask, 8);
      month_.bytes = front & month_.mask;
    } else {
      p += month_.size;
    }
    int day;
    if (!AsciiNumber(p, 2, day) || day < 1 || day > month_.length || *p++ != ' ' || *p++ != ' ') return false;
    date = QDate::fromJulianDay(month_.first + day - 1);
    return true;
  }

  const Spelling& s_;
  // The year and month last read: their bytes ("2003/4/", 7 or 8 of them)
  // as one word with a mask of the bytes they take in it, and the month's
  // first day and length.
  struct {
    std::uint64_t bytes = 0, mask = 0;
    int size = 0, length = 0;
    qint64 first = 0;
  } month_;
};

// One line without its line end, read from a copy that has one.
bool ParseAsWritten(QByteArrayView line, const Spelling& sjis, ScoreRecord& record) {
  if (line.isEmpty() || line.size() > kLongestAsWritten) return false;
  char text[kLongestAsWritten + 1] = {};
  std::memcpy(text, line.data(), std::size_t(line.size()));
  text[line.size()] = '\n';
  return AsWrittenReader(sjis).Take(text, record) == text + line.size();
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

QString TimeText(std::int64_t tenths) {
  return QStringLiteral("%1:%2.%3").arg(tenths / 600).arg(tenths / 10 % 60, 2, 10, QLatin1Char('0')).arg(tenths % 10);
}

QString ScoreRecord::TimeText() const { return progress::TimeText(TimeTenths()); }

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
  out.skipped = 0;
  // The newest line comes first in the file, so records are laid down from
  // the back of the room made for them and come out oldest first. A record
  // and its line end take some 34 bytes: this is room for the drill's own
  // lines, and more is made in front when a file holds more.
  std::vector<ScoreRecord>& records = out.records;
  records.resize(std::size_t(bytes.size() / 32 + 1));
  ScoreRecord* next = records.data() + records.size();
  const auto room = [&records, &next] {
    if (next != records.data()) return;
    const std::size_t used = records.size();
    records.insert(records.begin(), used, ScoreRecord());
    next = records.data() + used;
  };
  AsWrittenReader asWritten(ShiftJisSpelling());
  const char* p = bytes.data();
  const char* const end = p + bytes.size();
  while (p != end) {
    room();
    // The drill's own lines are read where they lie, and find their own
    // ends; the last few, and every other line, line by line.
    const char* stop = end - p > kLongestAsWritten ? asWritten.Take(p, next[-1]) : nullptr;
    if (stop) {
      --next;
    } else {
      stop = history::FindLineEnd(p, end);
      const QByteArrayView line(p, stop - p);
      if (ParseInto(line, next[-1]))
        --next;
      else if (!IsBlank(line))
        ++out.skipped;
      if (stop == end) break;
    }
    p = stop + 1;
    if (*stop == '\r' && p != end && *p == '\n') ++p;  // CR LF
  }
  records.erase(records.begin(), records.begin() + (next - records.data()));
  // A file put together by hand may be out of order; one date's drills keep
  // the order they were written in.
  const auto byDate = [](const ScoreRecord& a, const ScoreRecord& b) { return a.date < b.date; };
  if (!std::is_sorted(records.begin(), records.end(), byDate))
    std::stable_sort(records.begin(), records.end(), byDate);
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
