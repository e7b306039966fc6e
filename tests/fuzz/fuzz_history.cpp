// A history file's bytes: read as the score list reads them, then parsed
// into records as the progress chart does. Every line is either a valid
// record or counted as skipped (blank lines aside), and the quick reader of
// the drill's own shape agrees with the lenient one wherever it reads a line.

#include "FuzzCheck.h"

#include "drill/ScoreHistory.h"
#include "drill/ScoreListModel.h"
#include "drill/ScoreRecord.h"
#include "platform/ShiftJis.h"

#include <QtCore/QCoreApplication>
#include <QtCore/QFile>

#include <algorithm>
#include <optional>
#include <string>
#include <unistd.h>

namespace {

QString historyPath;

QString Show(const progress::ScoreRecord& r) {
  return QStringLiteral("%1 %2点 op%3 %4").arg(r.date.toString(Qt::ISODate)).arg(r.score).arg(int(r.operation)).arg(r.TimeText());
}

bool Same(const progress::ScoreRecord& a, const progress::ScoreRecord& b) {
  return a.date == b.date && a.score == b.score && a.operation == b.operation && a.minutes == b.minutes &&
         a.seconds == b.seconds && a.tenths == b.tenths;
}

bool Valid(const progress::ScoreRecord& r) {
  return r.date.isValid() && r.score <= 100 && r.seconds <= 59 && r.tenths <= 9 && r.minutes >= 0 &&
         r.minutes <= 99999 && unsigned(r.operation) <= 2u;
}

void CheckReadersAgree(QByteArrayView line) {
  progress::ScoreRecord quick, lenient;
  const bool quickRead = progress::detail::ParseAsWritten(line, quick);
  const bool lenientRead = progress::detail::ParseLenient(line, lenient);
  const QString detail = fuzz::Show(line.toByteArray());
  FUZZ_CHECK(!quickRead || lenientRead, detail);
  if (quickRead) FUZZ_CHECK(Same(quick, lenient), detail + u'\n' + Show(quick) + QStringLiteral(" / ") + Show(lenient));
  if (quickRead) FUZZ_CHECK(Valid(quick), detail + u'\n' + Show(quick));
  if (lenientRead) FUZZ_CHECK(Valid(lenient), detail + u'\n' + Show(lenient));
}

bool IsLineEnd(char c) { return c == '\r' || c == '\n'; }

}  // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
  static QCoreApplication app(*argc, *argv);
  // In memory where there is such a folder: a file truncated and written
  // again on a disk is flushed at every close, and the run would wait on it.
  const char* folder = ::access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp";
  std::string name = std::string(folder) + "/sorabe-fuzz-history-XXXXXX";
  const int fd = ::mkstemp(name.data());
  if (fd < 0) std::abort();
  ::close(fd);
  historyPath = QString::fromLocal8Bit(name.c_str());
  std::atexit([] { ::unlink(historyPath.toLocal8Bit().constData()); });
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
  // The whole input as one line, line ends and all.
  CheckReadersAgree(QByteArrayView(bytes));

  {
    QFile file(historyPath);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size()) std::abort();
  }
  history::ScoreLines lines;
  history::ReadScoreFile(historyPath, lines);
  FUZZ_CHECK(lines.bytes == bytes, QString());

  // CR, LF and CR LF each end one line; a last line without an end counts.
  qsizetype expected = 0;
  for (qsizetype i = 0; i < bytes.size(); ++i) {
    if (!IsLineEnd(bytes[i])) continue;
    ++expected;
    if (bytes[i] == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') ++i;
  }
  if (!bytes.isEmpty() && !IsLineEnd(bytes.back())) ++expected;
  FUZZ_CHECK(lines.size() == expected, QStringLiteral("%1 lines, expected %2").arg(lines.size()).arg(expected));

  ScoreListModel model;
  model.Assign(lines);
  FUZZ_CHECK(model.rowCount() == lines.size(), QString());

  qsizetype blank = 0;
  std::vector<progress::ScoreRecord> alone;  // newest first, as in the file
  for (qsizetype i = 0; i < lines.size(); ++i) {
    const qsizetype begin = lines.starts[std::size_t(i)];
    FUZZ_CHECK(begin >= 0 && begin <= bytes.size(), QString());
    if (i > 0) FUZZ_CHECK(begin > lines.starts[std::size_t(i) - 1], QString());
    qsizetype end = begin;
    while (end < bytes.size() && !IsLineEnd(bytes[end])) ++end;
    const QByteArrayView raw(bytes.constData() + begin, end - begin);
    const QString text = lines.line(i);
    FUZZ_CHECK(text == platform::FromShiftJis(raw.data(), raw.size()), fuzz::Show(text));
    FUZZ_CHECK(model.data(model.index(int(i))).toString() == text, fuzz::Show(text));
    CheckReadersAgree(raw);
    // The file read whole must read as its lines read alone.
    if (const std::optional<progress::ScoreRecord> r = progress::ParseScoreRecord(raw)) alone.insert(alone.begin(), *r);
    // Blank: blanks only, or the one NUL byte a UTF-16 line end leaves.
    if (std::all_of(raw.begin(), raw.end(), [](char c) { return c == ' ' || c == '\t'; }) ||
        (raw.size() == 1 && raw[0] == '\0'))
      ++blank;
  }

  const progress::ScoreRecords records = progress::ParseScoreLines(lines);
  FUZZ_CHECK(qsizetype(records.records.size()) + records.skipped + blank == lines.size(),
             QStringLiteral("%1 records, %2 skipped, %3 blank, %4 lines")
                 .arg(records.records.size()).arg(records.skipped).arg(blank).arg(lines.size()));
  for (const progress::ScoreRecord& r : records.records) FUZZ_CHECK(Valid(r), Show(r));
  std::stable_sort(alone.begin(), alone.end(), [](const auto& a, const auto& b) { return a.date < b.date; });
  FUZZ_CHECK(alone.size() == records.records.size(),
             QStringLiteral("%1 records, %2 from the lines alone").arg(records.records.size()).arg(alone.size()));
  for (std::size_t i = 0; i < alone.size(); ++i)
    FUZZ_CHECK(Same(alone[i], records.records[i]), Show(alone[i]) + QStringLiteral(" / ") + Show(records.records[i]));
  FUZZ_CHECK(std::is_sorted(records.records.begin(), records.records.end(),
                            [](const auto& a, const auto& b) { return a.date < b.date; }),
             QString());
  return 0;
}
