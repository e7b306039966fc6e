// The folder's lock: two programs or two threads recording into one folder
// keep every record; a lock held elsewhere past the wait is the ordinary
// write error and changes nothing; no lock to be had is no reason to fail.

#include "drill/AnswersFile.h"
#include "drill/FolderLock.h"
#include "drill/ScoreHistory.h"

#include "common/TestSupport.h"

#include <QtCore/QDir>
#include <QtCore/QElapsedTimer>
#include <QtCore/QFile>

#include <gtest/gtest.h>

#include <atomic>
#include <fcntl.h>
#include <functional>
#include <future>
#include <map>
#include <memory>
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

// The records of writer w ("w:n") in file order, newest first.
std::map<int, std::vector<int>> recordsByWriter(const QString& path) {
  QStringList lines;
  history::ReadScoreLines(path, lines);
  std::map<int, std::vector<int>> out;
  for (const QString& line : lines) out[line.section(':', 0, 0).toInt()].push_back(line.section(':', 1).toInt());
  return out;
}

std::vector<int> countingDown(int from) {
  std::vector<int> out;
  for (int n = from - 1; n >= 0; --n) out.push_back(n);
  return out;
}

std::vector<answers::Answer> oneAnswer() {
  return {{QDateTime(QDate(2026, 12, 9), QTime(12, 0)), drill::GridKind::Square25, drill::Operation::Addition,
           "1", "2", "3", true, 900}};
}

// Shortens the wait for the length of a test.
struct ShortWait {
  explicit ShortWait(int ms) : saved(FolderLock::SetTimeout(std::chrono::milliseconds(ms))) {}
  ~ShortWait() { FolderLock::SetTimeout(saved); }
  std::chrono::milliseconds saved;
};

}  // namespace

TEST(FolderLock, TwoProgramsRecordingIntoOneFolderKeepEveryRecord) {
  const QString dir = testing_support::makeTempDir();
  const QString histories[] = {dir + "/seiseki.dat", dir + "/mas25.dat"};
  for (const QString& path : histories) writeFile(path, "");
  constexpr int kDrills = 500;
  pid_t writers[2];
  for (int w = 0; w < 2; ++w) {
    writers[w] = ::fork();
    ASSERT_GE(writers[w], 0);
    if (writers[w] == 0) {
      int failures = 0;
      for (int n = 0; n < kDrills; ++n)
        for (const QString& path : histories) try {
            history::WriteScoreRecord(path, QStringLiteral("%1:%2").arg(w).arg(n), {});
          } catch (const EInOutError&) {
            ++failures;
          }
      ::_exit(std::min(failures, 100));
    }
  }
  for (pid_t writer : writers) {
    int status = 0;
    ::waitpid(writer, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
  }
  for (const QString& path : histories) {
    SCOPED_TRACE(path.toStdString());
    const auto records = recordsByWriter(path);
    ASSERT_EQ(records.size(), 2u);
    for (const auto& [writer, numbers] : records) EXPECT_EQ(numbers, countingDown(kDrills)) << writer;
  }
  EXPECT_EQ(QDir(dir).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
            QStringList({".sorabe.lock", "mas25.dat", "seiseki.dat"}));
}

TEST(FolderLock, ThreadsOfOneProgramTakeTurns) {
  // fcntl locks are the process's: without the mutex these threads would all
  // hold the lock at once and lose records.
  const QString path = testing_support::makeTempDir() + "/seiseki.dat";
  writeFile(path, "");
  constexpr int kThreads = 4, kDrills = 40;
  std::vector<std::thread> threads;
  std::atomic<int> failures = 0;
  for (int t = 0; t < kThreads; ++t)
    threads.emplace_back([&, t] {
      for (int n = 0; n < kDrills; ++n) try {
          history::WriteScoreRecord(path, QStringLiteral("%1:%2").arg(t).arg(n), {});
        } catch (const EInOutError&) {
          ++failures;
        }
    });
  for (std::thread& thread : threads) thread.join();
  EXPECT_EQ(failures, 0);
  const auto records = recordsByWriter(path);
  ASSERT_EQ(records.size(), std::size_t(kThreads));
  for (const auto& [thread, numbers] : records) EXPECT_EQ(numbers, countingDown(kDrills)) << thread;
}

TEST(FolderLock, HeldElsewherePastTheWaitChangesNothing) {
  // Held by another program (a plain fcntl lock, as any version of this
  // program takes it) or by another thread of this one.
  const std::pair<const char*, std::function<std::function<void()>(const QString&)>> holders[] = {
      {"another program",
       [](const QString& dir) -> std::function<void()> {
         int ready[2], release[2];
         if (::pipe(ready) != 0 || ::pipe(release) != 0) return {};
         const pid_t pid = ::fork();
         if (pid == 0) {
           const int fd = ::open(QFile::encodeName(dir + "/.sorabe.lock").constData(), O_RDWR | O_CREAT, 0666);
           struct flock lock {};
           lock.l_type = F_WRLCK;
           const bool held = fd >= 0 && ::fcntl(fd, F_SETLK, &lock) == 0;
           char c = held ? 'y' : 'n';
           ::close(release[1]);
           (void)!::write(ready[1], &c, 1);
           (void)!::read(release[0], &c, 1);  // until the test closes its end
           ::_exit(0);
         }
         char c = 'n';
         ::close(release[0]);
         (void)!::read(ready[0], &c, 1);
         EXPECT_EQ(c, 'y');
         return [=] {
           ::close(release[1]);
           ::waitpid(pid, nullptr, 0);
           ::close(ready[0]);
           ::close(ready[1]);
         };
       }},
      {"another thread",
       [](const QString& dir) -> std::function<void()> {
         auto done = std::make_shared<std::promise<void>>();
         auto held = std::make_shared<std::promise<void>>();
         std::future<void> heldNow = held->get_future();
         auto thread = std::make_shared<std::thread>([dir, done, held] {
           const FolderLock lock(dir);
           held->set_value();
           done->get_future().wait();
         });
         heldNow.wait();
         return [=] {
           done->set_value();
           thread->join();
         };
       }},
  };
  const ShortWait wait(400);
  for (const auto& [holder, hold] : holders) {
    SCOPED_TRACE(holder);
    const QString dir = testing_support::makeTempDir();
    const QString history = dir + "/seiseki.dat", answersFile = dir + "/answers.tsv";
    writeFile(history, "old\r\n");
    writeFile(answersFile, answers::kHeaderLine);
    const std::function<void()> release = hold(dir);
    ASSERT_TRUE(release);

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
    EXPECT_EQ(answers::AppendAnswers(answersFile, oneAnswer()), EAGAIN);
    // A reader reads all the same.
    EXPECT_EQ(answers::ReadRecentAnswers(answersFile, {}).error, 0);
    EXPECT_GE(clock.elapsed(), 400);
    EXPECT_LT(clock.elapsed(), 700);
    EXPECT_EQ(flushes, 0);
    EXPECT_EQ(readFile(history), "old\r\n");
    EXPECT_EQ(readFile(answersFile), answers::kHeaderLine);

    release();
    history::WriteScoreRecord(history, "new", {});
    EXPECT_EQ(readFile(history), "new\r\nold\r\n");
    EXPECT_EQ(answers::AppendAnswers(answersFile, oneAnswer()), 0);
  }
}

TEST(FolderLock, NoLockToBeHadIsNoReasonToFail) {
  const std::pair<const char*, std::function<void(const QByteArray&)>> places[] = {
      {"a folder in the lock file's place", [](const QByteArray& p) { ASSERT_EQ(::mkdir(p.constData(), 0755), 0); }},
      {"a FIFO in its place", [](const QByteArray& p) { ASSERT_EQ(::mkfifo(p.constData(), 0600), 0); }},
      {"a link to a device", [](const QByteArray& p) { ASSERT_EQ(::symlink("/dev/null", p.constData()), 0); }},
  };
  const ShortWait wait(2000);
  for (const auto& [what, make] : places) {
    SCOPED_TRACE(what);
    const QString dir = testing_support::makeTempDir();
    make(QFile::encodeName(dir + "/.sorabe.lock"));
    EXPECT_EQ(FolderLock(dir).state(), FolderLock::State::Unlocked);
    writeFile(dir + "/seiseki.dat", "old\r\n");
    QElapsedTimer clock;
    clock.start();
    history::WriteScoreRecord(dir + "/seiseki.dat", "new", {});
    EXPECT_EQ(answers::AppendAnswers(dir + "/answers.tsv", oneAnswer()), 0);
    EXPECT_LT(clock.elapsed(), 1000) << "nothing to wait for";
    EXPECT_EQ(readFile(dir + "/seiseki.dat"), "new\r\nold\r\n");
  }

  // Where a lock can be had, its file is made for everyone, as the umask allows.
  const QString dir = testing_support::makeTempDir();
  const mode_t saved = ::umask(027);
  EXPECT_EQ(FolderLock(dir).state(), FolderLock::State::Held);
  ::umask(saved);
  struct stat st;
  ASSERT_EQ(::stat(QFile::encodeName(dir + "/.sorabe.lock").constData(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0640u);
  EXPECT_EQ(FolderLock(dir, FolderLock::Mode::Read).state(), FolderLock::State::Held);
  // A reader makes no lock file.
  const QString empty = testing_support::makeTempDir();
  EXPECT_EQ(FolderLock(empty, FolderLock::Mode::Read).error(), ENOENT);
  EXPECT_TRUE(QDir(empty).isEmpty(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot));
}
