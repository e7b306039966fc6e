// The answers file's bytes, read from the end as the weak-facts views read
// it. The reader never reads more than the file holds, gives only answers of
// the operation asked for, each of which writes back as a line it reads
// again, and a reading bounded by a count of answers per fact gives nothing
// the whole reading does not.

#include "FuzzCheck.h"

#include "drill/AnswersFile.h"

#include <QtCore/QCoreApplication>
#include <QtCore/QFile>

#include <algorithm>
#include <string>
#include <unistd.h>

namespace {

QString answersPath;

QString Show(const answers::Answer& a) {
  return QString::fromUtf8(answers::FormatAnswers({a}));
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
  static QCoreApplication app(*argc, *argv);
  const char* folder = ::access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp";
  std::string name = std::string(folder) + "/sorabe-fuzz-answers-XXXXXX";
  const int fd = ::mkstemp(name.data());
  if (fd < 0) std::abort();
  ::close(fd);
  answersPath = QString::fromLocal8Bit(name.c_str());
  std::atexit([] { ::unlink(answersPath.toLocal8Bit().constData()); });
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  // The first byte chooses the reading's bounds; the rest is the file.
  const int choice = size > 0 ? data[0] : 0;
  const QByteArray bytes(reinterpret_cast<const char*>(data) + (size > 0), qsizetype(size > 0 ? size - 1 : 0));
  {
    QFile file(answersPath);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size()) std::abort();
  }

  answers::ReadLimits all;
  all.perFact = 0;
  answers::ReadLimits bounded;
  bounded.perFact = 1 + (choice & 3);
  if (choice & 4) bounded.since = QDate(2026, 1, 1);
  if (const int op = (choice >> 3) & 3; op < 3) bounded.operation = drill::Operation(op);

  const answers::ReadResult whole = answers::ReadRecentAnswers(answersPath, all);
  const answers::ReadResult part = answers::ReadRecentAnswers(answersPath, bounded);
  const QString detail = fuzz::Show(bytes.left(256));
  const qsizetype lines = bytes.count('\n') + 1;

  for (const answers::ReadResult* r : {&whole, &part}) {
    FUZZ_CHECK(r->error == 0, detail);
    FUZZ_CHECK(r->bytesRead >= 0 && r->bytesRead <= bytes.size(), detail);
    FUZZ_CHECK(r->badLines >= 0 && qsizetype(r->answers.size()) + r->badLines <= lines, detail);
  }
  for (const answers::Answer& a : whole.answers) {
    const QByteArray line = answers::FormatAnswers({a});
    FUZZ_CHECK(line.endsWith('\n') && line.count('\n') == 1, Show(a));
    const std::optional<answers::Answer> again = answers::ParseAnswerLine(QByteArrayView(line).chopped(1));
    FUZZ_CHECK(again && *again == a, Show(a));
  }
  for (const answers::Answer& a : part.answers) {
    FUZZ_CHECK(!bounded.operation || a.operation == *bounded.operation, Show(a));
    FUZZ_CHECK(std::find(whole.answers.begin(), whole.answers.end(), a) != whole.answers.end(), Show(a));
  }
  return 0;
}
