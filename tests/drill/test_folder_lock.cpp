// The folder's lock: programs and threads recording into one folder keep
// every record; a lock held elsewhere past the wait is the ordinary write
// error and changes nothing; no lock to be had is no reason to fail.

#include "drill/AnswersFile.h"
#include "drill/FolderLock.h"
#include "drill/ScoreHistory.h"

#include "common/TestSupport.h"

#include <QtCore/QDir>
#include <QtCore/QElapsedTimer>
#include <QtCore/QFile>

#include <gtest/gtest.h>

#include <atomic>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

using drill::FolderLock;

namespace {

QByteArray readFile(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

void writeFile(const QString& path, const QByteArray& data) {
  QFile file(path);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
  file.write(data);
}

// Writer w records "w:n" into each history, n counting up; gives the failures.
// Writers that record back to back can find the folder busy for the whole
// wait on a loaded machine (the lock is not handed over in turn): that
// record is tried again, as the child would press again after the message,
// and must then be written once.
int recordDrills(int w, int drills, const QStringList& histories) {
  constexpr int kBusy = 32;
  int failures = 0;
  for (int n = 0; n < drills; ++n)
    for (const QString& path : histories)
      for (int attempt = 0;; ++attempt) try {
          history::WriteScoreRecord(path, QStringLiteral("%1:%2").arg(w).arg(n), {});
          break;
        } catch (const EInOutError& e) {
          if (e.ErrorCode != kBusy || attempt == 5) {
            ++failures;
            break;
          }
        }
  return failures;
}

// Takes the folder's lock, says so through ready, and holds it until release
// is closed at its other end.
void holdUntilReleased(const QString& dir, int ready, int release) {
  const FolderLock lock(dir);
  char c = lock.state() == FolderLock::State::Held ? 'y' : 'n';
  (void)!::write(ready, &c, 1);
  (void)!::read(release, &c, 1);
}

const std::vector<answers::Answer> kOneAnswer = {{QDateTime(QDate(2026, 12, 9), QTime(12, 0)),
                                                  drill::GridKind::Square25, drill::Operation::Addition, "1", "2",
                                                  "3", true, 900}};

struct ShortWait {
  explicit ShortWait(int ms) : saved(FolderLock::SetTimeout(std::chrono::milliseconds(ms))) {}
  ~ShortWait() { FolderLock::SetTimeout(saved); }
  std::chrono::milliseconds saved;
};

}  // namespace

TEST(FolderLock, WritersIntoOneFolderKeepEveryRecordInOrder) {
  // fcntl locks are the process's: threads are kept apart by the mutex.
  const struct { const char* name; bool processes; int writers, drills; } cases[] = {
      {"two programs, both histories", true, 2, 500}, {"threads of one program", false, 4, 40}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const QString dir = testing_support::makeTempDir();
    const QStringList histories = {dir + "/seiseki.dat", dir + "/mas25.dat"};
    for (const QString& path : histories) writeFile(path, "");
    std::vector<pid_t> programs;
    std::vector<std::thread> threads;
    std::atomic<int> failures = 0;
    for (int w = 0; w < c.writers; ++w) {
      if (!c.processes) {
        threads.emplace_back([&, w] { failures += recordDrills(w, c.drills, histories); });
      } else if (programs.emplace_back(::fork()) == 0) {
        ::_exit(std::min(recordDrills(w, c.drills, histories), 100));
      }
    }
    for (std::thread& thread : threads) thread.join();
    for (pid_t pid : programs) {
      int status = -1;
      ::waitpid(pid, &status, 0);
      failures += WIFEXITED(status) ? WEXITSTATUS(status) : 1000;
    }
    EXPECT_EQ(failures, 0);
    for (const QString& path : histories) {
      QStringList lines;
      history::ReadScoreLines(path, lines);
      ASSERT_EQ(lines.size(), c.writers * c.drills);
      std::vector<int> next(std::size_t(c.writers), c.drills);  // newest first: counting down
      for (const QString& line : lines)
        ASSERT_EQ(line.section(':', 1).toInt(), --next.at(std::size_t(line.section(':', 0, 0).toInt())))
            << line.toStdString();
    }
    EXPECT_EQ(QDir(dir).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
              QStringList({".sorabe.lock", "mas25.dat", "seiseki.dat"}));
  }
}

TEST(FolderLock, HeldElsewherePastTheWaitChangesNothing) {
  const ShortWait wait(400);
  for (const bool inProcess : {false, true}) {
    SCOPED_TRACE(inProcess ? "held by another thread" : "held by another program");
    const QString dir = testing_support::makeTempDir();
    const QString history = dir + "/seiseki.dat", answersFile = dir + "/answers.tsv";
    writeFile(history, "old\r\n");
    writeFile(answersFile, answers::kHeaderLine);
    int ready[2], release[2];
    ASSERT_EQ(::pipe(ready) | ::pipe(release), 0);
    std::thread holder;
    pid_t program = -1;
    if (inProcess) {
      holder = std::thread(holdUntilReleased, dir, ready[1], release[0]);
    } else if ((program = ::fork()) == 0) {
      ::close(release[1]);
      holdUntilReleased(dir, ready[1], release[0]);
      ::_exit(0);
    }
    char held = 0;
    ASSERT_EQ(::read(ready[0], &held, 1), 1);
    ASSERT_EQ(held, 'y');

    QElapsedTimer clock;
    clock.start();
    int flushes = 0;
    try {
      history::WriteScoreRecord(history, "new", [&] { ++flushes; });
      ADD_FAILURE() << "recorded while the lock was held";
    } catch (const EInOutError& e) {
      EXPECT_EQ(e.ErrorCode, history::kBusyErrorCode);
      EXPECT_EQ(e.Message(), QStringLiteral("ファイルは他のプログラムが使用中です"));
    }
    // Asked again straight after, the lock is tried once: one wait in all.
    EXPECT_EQ(answers::AppendAnswers(answersFile, kOneAnswer), EAGAIN);
    EXPECT_EQ(answers::ReadRecentAnswers(answersFile, {}).error, 0);  // a reader reads all the same
    EXPECT_GE(clock.elapsed(), 400);
    EXPECT_LT(clock.elapsed(), 700);
    EXPECT_EQ(flushes, 0);
    EXPECT_EQ(readFile(history), "old\r\n");
    EXPECT_EQ(readFile(answersFile), answers::kHeaderLine);

    ::close(release[1]);
    if (holder.joinable()) holder.join();
    if (program > 0) ::waitpid(program, nullptr, 0);
    for (int fd : {ready[0], ready[1], release[0]}) ::close(fd);
    history::WriteScoreRecord(history, "new", {});
    EXPECT_EQ(readFile(history), "new\r\nold\r\n");
    EXPECT_EQ(answers::AppendAnswers(answersFile, kOneAnswer), 0);
  }
}

TEST(FolderLock, NoLockToBeHadIsNoReasonToFail) {
  const std::pair<const char*, int (*)(const char*)> places[] = {
      {"a folder in the lock file's place", [](const char* p) { return ::mkdir(p, 0755); }},
      {"a FIFO", [](const char* p) { return ::mkfifo(p, 0600); }},
      {"a link to a device", [](const char* p) { return ::symlink("/dev/null", p); }},
  };
  for (const auto& [what, make] : places) {
    SCOPED_TRACE(what);
    const QString dir = testing_support::makeTempDir();
    ASSERT_EQ(make(QFile::encodeName(dir + "/.sorabe.lock").constData()), 0);
    EXPECT_EQ(FolderLock(dir).state(), FolderLock::State::Unlocked);
    writeFile(dir + "/seiseki.dat", "old\r\n");
    history::WriteScoreRecord(dir + "/seiseki.dat", "new", {});
    EXPECT_EQ(readFile(dir + "/seiseki.dat"), "new\r\nold\r\n");
    EXPECT_EQ(answers::AppendAnswers(dir + "/answers.tsv", kOneAnswer), 0);
  }
  // The lock file is made for everyone, as the umask allows; a reader makes none.
  const QString dir = testing_support::makeTempDir(), empty = testing_support::makeTempDir();
  const mode_t saved = ::umask(027);
  EXPECT_EQ(FolderLock(dir).state(), FolderLock::State::Held);
  ::umask(saved);
  struct stat st;
  ASSERT_EQ(::stat(QFile::encodeName(dir + "/.sorabe.lock").constData(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0640u);
  EXPECT_EQ(FolderLock(dir, FolderLock::Mode::Read).state(), FolderLock::State::Held);
  EXPECT_EQ(FolderLock(empty, FolderLock::Mode::Read).error(), ENOENT);
  EXPECT_TRUE(QDir(empty).isEmpty(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot));
}
