#pragma once
// A history line read back as a record: the date, the score, the operation
// and the time. The drill itself never reads its records again; the progress
// chart does, so it reads what the drill writes and what a person may have
// typed into the file by hand, and passes over every line it cannot read.

#include "drill/HeaderDraw.h"
#include "drill/ScoreHistory.h"

#include <QtCore/QByteArrayView>
#include <QtCore/QDate>

#include <cstdint>
#include <optional>
#include <vector>

namespace progress {

// Sixteen bytes: a long history's records stay small.
struct ScoreRecord {
  QDate date;
  std::int32_t minutes = 0;
  std::uint8_t score = 0;    // 0 to 100
  std::uint8_t seconds = 0;  // 0 to 59
  std::uint8_t tenths = 0;   // 0 to 9
  drill::Operation operation = drill::Operation::Addition;

  int TimeTenths() const { return minutes * 600 + seconds * 10 + tenths; }
  double TimeSeconds() const { return TimeTenths() / 10.0; }
  // "2:05.3", the way the chart labels a time.
  QString TimeText() const;
};

// A time given in tenths of a second, written as ScoreRecord::TimeText writes it.
QString TimeText(std::int64_t tenths);

// Reads one line, given as the bytes of the file without its line end.
// Besides "2003/4/05  98点  たしざん  2:5:3" it takes leading zeros
// ("2003/04/05", "02:05:3"), "-" or "." between the date's parts, any run of
// blanks (tab, ideographic space) where blanks stand and none around "点" and
// the operation word, full-width digits and signs, "2:05.3" for the time,
// and lines saved as UTF-8 by an editor. The date must exist, the score lie
// from 0 to 100, the seconds from 0 to 59 and the tenths from 0 to 9.
std::optional<ScoreRecord> ParseScoreRecord(QByteArrayView line);
// The same for a line as the score list shows it.
std::optional<ScoreRecord> ParseScoreRecord(const QString& line);

// The two readers a line goes through, held against each other by the fuzz
// tests: the quick one for the one shape the drill writes, and the one for
// every shape a person may type, with the Shift-JIS spellings. A line both
// read must come out the same.
namespace detail {
bool ParseAsWritten(QByteArrayView line, ScoreRecord& record);
bool ParseLenient(QByteArrayView line, ScoreRecord& record);
}  // namespace detail

// The records of one history.
struct ScoreRecords {
  std::vector<ScoreRecord> records;  // oldest first; one date's drills in the order they were written
  qsizetype skipped = 0;             // lines that are not records (blank lines are not counted)
};

// The records among the lines of a history, read in full.
ScoreRecords ParseScoreLines(const history::ScoreLines& lines);

// The records among a history's bytes, into out, whose storage is reused.
void ParseScoreBytes(QByteArrayView bytes, ScoreRecords& out);

// Reads the history at path (only reads it) and parses its lines. A history
// that cannot be read raises EInOutError as the score list does.
ScoreRecords ReadScoreRecords(const QString& path);
// The same into records, reading through buffer; both keep their storage
// from one history to the next, so a reader of many histories (the class
// overview) takes fresh memory only for the longest.
void ReadScoreRecords(const QString& path, ScoreRecords& records, QByteArray& buffer);

}  // namespace progress
