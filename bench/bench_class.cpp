// Opening the class overview of 40 children with 10,000 drills each (7,000
// on the 100-square, 3,000 on the 25-square), against reading every byte of
// their histories, measured in the same run.

#include "drill/ClassOverview.h"
#include "drill/ScoreHistory.h"
#include "drill/ScoreRecord.h"
#include "platform/ShiftJis.h"
#include "progress/ClassWindow.h"

#include "PlainRead.h"
#include "Stats.h"

#include <QtCore/QCoreApplication>
#include <QtCore/QDate>
#include <QtCore/QDir>
#include <QtCore/QFile>
#include <QtCore/QTemporaryDir>

#include <cstdio>
#include <fcntl.h>
#include <unistd.h>

using bench::medianMs;
using bench::readAllPlain;

namespace {

constexpr int kChildren = 40;
constexpr int kDrills100 = 7000;
constexpr int kDrills25 = 3000;

// Every byte through one small buffer, kept nowhere.
qsizetype readThrough(const QByteArray& path) {
  const int fd = ::open(path.constData(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return 0;
  static char buffer[1 << 16];
  qsizetype total = 0;
  ssize_t n;
  while ((n = ::read(fd, buffer, sizeof buffer)) > 0) total += n;
  ::close(fd);
  return total;
}

// A history as the drill writes it: newest first, one drill a day or so.
QByteArray makeHistory(int records, int seed, const QDate& today) {
  const QString words[] = {history::kAdditionWord, history::kMultiplicationWord, history::kSubtractionWord};
  QByteArray content;
  content.reserve(records * 36);
  for (int i = 0; i < records; ++i) {
    const int n = i + seed;
    content += platform::ToShiftJis(history::FormatScoreRecord(today.addDays(-i / 3), 60 + n % 41, words[n % 3],
                                                               QString::number(1 + n % 4), QString::number(n % 60),
                                                               QString::number(n % 10))) +
               "\r\n";
  }
  return content;
}

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  QTemporaryDir dir;
  const QDate today(2026, 12, 9);
  QList<QByteArray> files;
  qsizetype bytes = 0;
  for (int c = 0; c < kChildren; ++c) {
    const QString child = dir.path() + QStringLiteral("/child %1").arg(c + 1);
    QDir().mkpath(child + QStringLiteral("/date"));
    for (const auto& [name, records] : {std::pair{history::kHistory100, kDrills100}, {history::kHistory25, kDrills25}}) {
      const QByteArray content = makeHistory(records, c, today);
      QFile file(child + u'/' + name);
      if (!file.open(QIODevice::WriteOnly) || file.write(content) != content.size()) return 1;
      files << QFile::encodeName(file.fileName());
      bytes += content.size();
    }
  }

  const int runs = 15;
  qsizetype sink = 0;
  const double through = medianMs(runs, [&] {
    for (const QByteArray& file : files) sink += readThrough(file);
  });
  const double read = medianMs(runs, [&] {
    for (const QByteArray& file : files) sink += readAllPlain(file).size();
  });
  // What the window does before it is shown: load the class, fill the model.
  const auto open = [&](int threads) {
    return medianMs(runs, [&] {
      progress::ClassModel model;
      model.SetOverview(drill::LoadClass(dir.path(), today, threads));
      sink += model.rowCount();
    });
  };
  // The floor: the history reader and record parser alone, one thread.
  const double parsed = medianMs(runs, [&] {
    for (const QByteArray& file : files) sink += progress::ReadScoreRecords(QFile::decodeName(file)).records.size();
  });
  const double one = open(1);
  const double all = open(0);

  std::printf("class of %d children, %d drills each, %.1f MB of histories\n", kChildren, kDrills100 + kDrills25,
              double(bytes) / 1e6);
  std::printf("%-28s %10s %8s\n", "", "ms", "ratio");
  std::printf("%-28s %10.2f %8.2f\n", "read all bytes", read, 1.0);
  std::printf("%-28s %10.2f %8.2f\n", "read through a 64 KiB buffer", through, through / read);
  std::printf("%-28s %10.2f %8.2f\n", "ReadScoreRecords, one thread", parsed, parsed / read);
  std::printf("%-28s %10.2f %8.2f\n", "overview, one thread", one, one / read);
  std::printf("%-28s %10.2f %8.2f\n", "overview, all processors", all, all / read);
  std::puts("overview = LoadClass + ClassModel::SetOverview (as the window opens); read = every history's "
            "bytes into memory, one file after another (as bench_history); target: overview at most 3x read");
  if (sink < 0) std::puts("");
  return 0;
}
