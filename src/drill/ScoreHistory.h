#pragma once
// The score history files: one record per line, newest first, Shift-JIS with
// CR LF line ends. A new record is put on top by rewriting the whole file.
// Failures are raised as EInOutError with the texts the error box shows.

#include "platform/Exception.h"

#include <QtCore/QDate>
#include <QtCore/QString>
#include <QtCore/QStringList>

#include <bit>
#include <cstdint>
#include <cstring>
#include <functional>
#include <vector>

namespace history {

// The two histories, relative to the working directory. The paths appear as
// they stand in error texts ("ファイル date/seiseki.dat は開けません").
inline const QString kHistory100 = QStringLiteral("date/seiseki.dat");
inline const QString kHistory25 = QStringLiteral("date/mas25.dat");

// The operation words of a record: two blanks, the word, two blanks.
inline const QString kAdditionWord = QStringLiteral("  たしざん  ");
inline const QString kMultiplicationWord = QStringLiteral("  かけざん  ");
inline const QString kSubtractionWord = QStringLiteral("  ひきざん  ");

// One record without its line end, e.g. "2003/4/05  98点  たしざん  2:5:3".
// The times are the clock fields' texts as they stand.
QString FormatScoreRecord(const QDate& date, int score, const QString& operationWord,
                          const QString& minutes, const QString& seconds,
                          const QString& tenths);

// Puts recordLine on top of the history at path. The old lines are kept byte
// for byte; each line of the new file ends with CR LF. afterFlush is called
// once the new contents are on disk, before the file is closed, and not at
// all when the history cannot be read or may not be written.
// A history that cannot be read raises "ファイル <path> は開けません"; any later
// failure raises the error for its cause and leaves the old history as it was.
// The rewrite holds the lock of the history's folder (drill::FolderLock);
// when another program holds it past the wait, the busy error is raised and
// the history is left as it was.
void WriteScoreRecord(const QString& path, const QString& recordLine,
                      const std::function<void()>& afterFlush);

// A history as read from disk: its bytes, and where each line lies in them.
// Lines are decoded only when asked for, so a long history is listed
// without turning every line into a string first.
struct ScoreLines {
  QByteArray bytes;
  std::vector<qsizetype> starts;  // where each line begins in bytes

  qsizetype size() const { return qsizetype(starts.size()); }
  QString line(qsizetype index) const;
  QStringList all() const;
};

// Reads the history at path into lines. CR, LF and CR LF each end a line; a
// last line without line end counts. On failure lines holds the lines read
// so far and EInOutError is raised.
void ReadScoreFile(const QString& path, ScoreLines& lines);

// Reads the bytes of the history at path into bytes, reusing its storage: a
// reader of many histories on one thread keeps one buffer for them all, and
// fresh pages for every file would cost more than the reading. Raises
// EInOutError as ReadScoreFile does.
void ReadHistoryBytes(const QString& path, QByteArray& bytes);

// The first CR or LF in [p, end), or end. Eight bytes at a time: a line is
// some 34 bytes, too short for two memchr calls a line to pay off. A byte
// that is CR or LF becomes zero in one of the two words below, and the
// lowest byte flagged in either is a true one (a false flag only ever sits
// above a true one of its word).
inline const char* FindLineEnd(const char* p, const char* end) {
  constexpr std::uint64_t kOnes = 0x0101010101010101u, kHighs = 0x8080808080808080u;
  for (; end - p >= 8; p += 8) {
    std::uint64_t word;
    std::memcpy(&word, p, 8);
    const std::uint64_t cr = word ^ (kOnes * '\r'), lf = word ^ (kOnes * '\n');
    const std::uint64_t hit = (((cr - kOnes) & ~cr) | ((lf - kOnes) & ~lf)) & kHighs;
    if (hit != 0) {
      if constexpr (std::endian::native == std::endian::little) return p + std::countr_zero(hit) / 8;
      else return p + std::countl_zero(hit) / 8;
    }
  }
  while (p != end && *p != '\r' && *p != '\n') ++p;
  return p;
}

// Calls line(begin, length) for every line of [begin, end): CR, LF and CR LF
// each end a line, and text after the last line end is a line of its own.
// Gives the position after the last line end.
template <class F>
const char* ForEachLine(const char* begin, const char* end, F line) {
  const char* start = begin;
  for (const char* stop; (stop = FindLineEnd(start, end)) != end;) {
    line(start, stop - start);
    start = stop + 1;
    if (*stop == '\r' && start != end && *start == '\n') ++start;  // CR LF
  }
  return start;
}

// Replaces lines with the lines of the history at path, in file order. CR, LF
// and CR LF each end a line; a last line without line end counts. On failure
// lines holds the lines read so far and EInOutError is raised.
void ReadScoreLines(const QString& path, QStringList& lines);

// The error of a history whose folder's lock another program holds.
inline constexpr int kBusyErrorCode = 32;

// The error for a file operation on path that failed with errno value err:
// 2 file not found, 3 path not found (a missing folder), 4 too many open
// files, 5 access denied, 101 disk full, EAGAIN kBusyErrorCode (the folder's
// lock held elsewhere); any other cause keeps its errno value and reads
// "I/O エラー (<errno>)".
EInOutError InOutError(int err, const QString& path);

}  // namespace history
