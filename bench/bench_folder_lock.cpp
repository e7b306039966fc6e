// What the folder's lock costs a record: WriteScoreRecord into a folder
// where the lock is taken, against the same into a folder where no lock can
// be had (a folder stands in the lock file's place), measured in one run,
// the two taken in turn so that a slow moment of the disk hits both alike.

#include "drill/FolderLock.h"
#include "drill/ScoreHistory.h"
#include "platform/ShiftJis.h"

#include "Stats.h"

#include <QtCore/QCoreApplication>
#include <QtCore/QDate>
#include <QtCore/QDir>
#include <QtCore/QFile>
#include <QtCore/QTemporaryDir>

#include <chrono>
#include <cstdio>

namespace {

double msOf(const std::function<void()>& f) {
  const auto start = std::chrono::steady_clock::now();
  f();
  return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
}

bool makeHistory(const QString& path, int records) {
  QByteArray content;
  for (int i = 0; i < records; ++i)
    content += platform::ToShiftJis(history::FormatScoreRecord(QDate(2003, 4, 5).addDays(i % 3000), i % 101,
                                                               history::kAdditionWord, "2", "5", "3")) +
               "\r\n";
  QFile file(path);
  return file.open(QIODevice::WriteOnly) && file.write(content) == content.size();
}

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  QTemporaryDir dir;
  const QString locked = dir.path() + "/locked", unlocked = dir.path() + "/unlocked";
  if (!QDir().mkpath(locked) || !QDir().mkpath(unlocked + "/" + drill::FolderLock::kFileName)) return 1;
  const QString record =
      history::FormatScoreRecord(QDate(2004, 1, 1), 98, history::kAdditionWord, "2", "5", "3");

  std::printf("%8s | %12s %12s %6s | %12s\n", "records", "locked ms", "unlocked ms", "ratio", "lock only ms");
  for (int records : {1000, 10000}) {
    const QString name = QStringLiteral("/seiseki%1.dat").arg(records);
    if (!makeHistory(locked + name, records) || !makeHistory(unlocked + name, records)) return 1;
    const int runs = 41;
    std::vector<double> withLock, withoutLock;
    for (int run = 0; run < runs; ++run) {
      withLock.push_back(msOf([&] { history::WriteScoreRecord(locked + name, record, [] {}); }));
      withoutLock.push_back(msOf([&] { history::WriteScoreRecord(unlocked + name, record, [] {}); }));
    }
    const double lockOnly = bench::medianMs(1001, [&] { const drill::FolderLock lock(locked); });
    const double a = bench::median(withLock), b = bench::median(withoutLock);
    std::printf("%8d | %12.3f %12.3f %6.2f | %12.4f\n", records, a, b, a / b, lockOnly);
  }
  std::puts("locked = WriteScoreRecord under the folder's lock; unlocked = the same where no lock "
            "can be had; lock only = taking and giving back a free lock");
  return 0;
}
