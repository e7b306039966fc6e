#include "drill/ScoreHistory.h"

#include "common/TestSupport.h"
#include "platform/ShiftJis.h"

#include <QtCore/QDir>
#include <QtCore/QFile>

#include <gtest/gtest.h>

#include <csignal>
#include <cstring>
#include <vector>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace history;

namespace {

QByteArray bytes(std::initializer_list<unsigned char> list) {
  QByteArray out;
  for (unsigned char c : list) out.append(static_cast<char>(c));
  return out;
}

void writeFile(const QString& path, const QByteArray& data) {
  QFile file(path);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
  ASSERT_EQ(file.write(data), data.size());
}

QByteArray readFile(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return "<unreadable>";
  return file.readAll();
}

QString recordOn(int day, int score) {
  return FormatScoreRecord(QDate(2003, 4, day), score, kAdditionWord, "2", "5", "3");
}

QByteArray encoded(const QString& record) { return platform::ToShiftJis(record); }

// The outcome of a history operation run in a forked child, so that the child
// may drop its privileges or lower its limits without touching the tests.
struct ChildOutcome {
  bool threw = false;
  int code = 0;
  QString text;
  int flushes = 0;
};

ChildOutcome runInChild(const std::function<void()>& prepare,
                        const std::function<void(const std::function<void()>&)>& body) {
  int fds[2];
  if (::pipe(fds) != 0) return {true, -1, "pipe failed", 0};
  const pid_t pid = ::fork();
  if (pid == 0) {
    ::close(fds[0]);
    int flushes = 0;
    QByteArray report;
    try {
      prepare();
      body([&] { ++flushes; });
      report = "0\n0\n";
    } catch (const EInOutError& e) {
      report = "1\n" + QByteArray::number(e.ErrorCode) + "\n" + e.Message().toUtf8();
    } catch (...) {
      report = "1\n-2\nunexpected exception";
    }
    report.prepend(QByteArray::number(flushes) + "\n");
    (void)!::write(fds[1], report.constData(), report.size());
    ::_exit(0);
  }
  ::close(fds[1]);
  QByteArray report;
  char buffer[4096];
  ssize_t n;
  while ((n = ::read(fds[0], buffer, sizeof buffer)) > 0) report.append(buffer, n);
  ::close(fds[0]);
  int status = 0;
  ::waitpid(pid, &status, 0);
  const QList<QByteArray> parts = report.split('\n');
  if (!WIFEXITED(status) || parts.size() < 3) return {true, -1, "child died", 0};
  ChildOutcome out;
  out.flushes = parts[0].toInt();
  out.threw = parts[1] == "1";
  out.code = parts[2].toInt();
  out.text = parts.size() > 3 ? QString::fromUtf8(parts[3]) : QString();
  return out;
}

// A socket file at path, as a server that has gone away leaves one.
void makeSocket(const QByteArray& path) {
  const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
  ASSERT_GE(fd, 0);
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  ASSERT_LT(std::size_t(path.size()), sizeof address.sun_path);
  std::memcpy(address.sun_path, path.constData(), std::size_t(path.size()));
  ASSERT_EQ(::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
  ::close(fd);
}

mode_t fileType(const QByteArray& path) {
  struct stat st;
  return ::stat(path.constData(), &st) == 0 ? st.st_mode & S_IFMT : 0;
}

void dropPrivileges() {
  if (::setgid(65534) != 0 || ::setuid(65534) != 0) throw std::runtime_error("setuid");
}

class ScoreHistoryTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = testing_support::makeTempDir();
    path_ = dir_ + "/seiseki.dat";
  }

  // Every file of the folder but its lock file, which stays once made: a
  // failed rewrite must leave nothing behind.
  QStringList entries() const {
    QStringList all = QDir(dir_).entryList(QDir::Files | QDir::Hidden | QDir::System | QDir::Dirs |
                                           QDir::NoDotAndDotDot);
    all.removeOne(".sorabe.lock");
    return all;
  }

  QStringList lines(const QString& path) const {
    QStringList out;
    ReadScoreLines(path, out);
    return out;
  }

  QString dir_;
  QString path_;
};

}  // namespace

TEST(ScoreRecord, WorkedExampleBytes) {
  const QString record = FormatScoreRecord(QDate(2003, 4, 5), 98, kAdditionWord, "2", "5", "3");
  EXPECT_EQ(record, QStringLiteral("2003/4/05  98点  たしざん  2:5:3"));
  const QByteArray line = encoded(record) + "\r\n";
  EXPECT_EQ(line, bytes({0x32, 0x30, 0x30, 0x33, 0x2F, 0x34, 0x2F, 0x30, 0x35, 0x20, 0x20, 0x39,
                         0x38, 0x93, 0x5F, 0x20, 0x20, 0x82, 0xBD, 0x82, 0xB5, 0x82, 0xB4, 0x82,
                         0xF1, 0x20, 0x20, 0x32, 0x3A, 0x35, 0x3A, 0x33, 0x0D, 0x0A}));
  EXPECT_EQ(line.size(), 34);
}

TEST(ScoreRecord, OperationWordBytes) {
  EXPECT_EQ(encoded(kAdditionWord),
            bytes({0x20, 0x20, 0x82, 0xBD, 0x82, 0xB5, 0x82, 0xB4, 0x82, 0xF1, 0x20, 0x20}));
  EXPECT_EQ(encoded(kMultiplicationWord),
            bytes({0x20, 0x20, 0x82, 0xA9, 0x82, 0xAF, 0x82, 0xB4, 0x82, 0xF1, 0x20, 0x20}));
  EXPECT_EQ(encoded(kSubtractionWord),
            bytes({0x20, 0x20, 0x82, 0xD0, 0x82, 0xAB, 0x82, 0xB4, 0x82, 0xF1, 0x20, 0x20}));
}

TEST(ScoreRecord, DatesScoresAndTimesAsTheyStand) {
  EXPECT_EQ(FormatScoreRecord(QDate(2003, 12, 25), 100, kMultiplicationWord, "0", "59", "9"),
            QStringLiteral("2003/12/25  100点  かけざん  0:59:9"));
  EXPECT_EQ(FormatScoreRecord(QDate(2004, 1, 1), 0, kSubtractionWord, "10", "0", "0"),
            QStringLiteral("2004/1/01  0点  ひきざん  10:0:0"));
}

TEST_F(ScoreHistoryTest, EmptyHistoryGetsExactlyTheRecord) {
  writeFile(path_, "");
  EXPECT_TRUE(lines(path_).isEmpty());
  const QString record = recordOn(5, 98);
  WriteScoreRecord(path_, record, {});
  EXPECT_EQ(readFile(path_), encoded(record) + "\r\n");
  EXPECT_EQ(lines(path_), QStringList{record});
}

TEST_F(ScoreHistoryTest, EveryLineEndBecomesCrLfAndEmptyLinesStay) {
  // A hand-edited history: lone LF, lone CR, an empty line, no final line end.
  writeFile(path_, "a\nb\r\r\nc\r\nd");
  EXPECT_EQ(lines(path_), (QStringList{"a", "b", "", "c", "d"}));
  WriteScoreRecord(path_, "new", {});
  EXPECT_EQ(readFile(path_), QByteArray("new\r\na\r\nb\r\n\r\nc\r\nd\r\n"));
  EXPECT_EQ(lines(path_), (QStringList{"new", "a", "b", "", "c", "d"}));

  writeFile(path_, "\n\r\n\r");
  EXPECT_EQ(lines(path_), (QStringList{"", "", ""}));
}

TEST_F(ScoreHistoryTest, NewestRecordComesFirst) {
  writeFile(path_, "");
  for (int day = 1; day <= 3; ++day) WriteScoreRecord(path_, recordOn(day, day), {});
  EXPECT_EQ(lines(path_), (QStringList{recordOn(3, 3), recordOn(2, 2), recordOn(1, 1)}));
  EXPECT_EQ(entries(), QStringList{"seiseki.dat"});
}

TEST_F(ScoreHistoryTest, AfterFlushSeesTheNewContentsOnDisk) {
  writeFile(path_, "old\r\n");
  const QByteArray expected = encoded(recordOn(5, 98)) + "\r\nold\r\n";
  int calls = 0;
  bool seen = false;
  WriteScoreRecord(path_, recordOn(5, 98), [&] {
    ++calls;
    // The history itself, or the file that is about to replace it.
    for (const QString& name : entries())
      if (readFile(dir_ + "/" + name) == expected) seen = true;
  });
  EXPECT_EQ(calls, 1);
  EXPECT_TRUE(seen);
  EXPECT_EQ(readFile(path_), expected);
}

TEST_F(ScoreHistoryTest, UnreadableHistoryIsReportedBeforeAnythingChanges) {
  int calls = 0;
  const auto count = [&] { ++calls; };
  const QString expectedText = QStringLiteral("ファイル %1 は開けません").arg(path_);
  try {
    WriteScoreRecord(path_, "r", count);  // missing
    FAIL();
  } catch (const EInOutError& e) {
    EXPECT_EQ(e.Message(), expectedText);
    EXPECT_EQ(e.ErrorCode, 2);
  }
  EXPECT_TRUE(entries().isEmpty());  // nothing created

  ASSERT_TRUE(QDir(dir_).mkdir("seiseki.dat"));
  try {
    WriteScoreRecord(path_, "r", count);  // a folder where the file should be
    FAIL();
  } catch (const EInOutError& e) {
    EXPECT_EQ(e.Message(), expectedText);
  }
  EXPECT_EQ(entries(), QStringList{"seiseki.dat"});

  const QString inMissingFolder = dir_ + "/date/seiseki.dat";
  try {
    WriteScoreRecord(inMissingFolder, "r", count);
    FAIL();
  } catch (const EInOutError& e) {
    EXPECT_EQ(e.Message(), QStringLiteral("ファイル %1 は開けません").arg(inMissingFolder));
    EXPECT_EQ(e.ErrorCode, 3);
  }
  EXPECT_EQ(calls, 0);
}

TEST_F(ScoreHistoryTest, ReadErrorsNameTheirCause) {
  const auto failure = [&](const QString& path) {
    QStringList out{"stale"};
    try {
      ReadScoreLines(path, out);
    } catch (const EInOutError& e) {
      EXPECT_TRUE(out.isEmpty());
      return std::make_pair(e.ErrorCode, e.Message());
    }
    return std::make_pair(0, QString());
  };
  EXPECT_EQ(failure(path_), std::make_pair(2, QStringLiteral("ファイルが見つかりません")));
  EXPECT_EQ(failure(dir_ + "/date/seiseki.dat"),
            std::make_pair(3, QStringLiteral("不正なファイル名です")));
  writeFile(dir_ + "/date", "a file, not a folder");
  EXPECT_EQ(failure(dir_ + "/date/seiseki.dat"),
            std::make_pair(3, QStringLiteral("不正なファイル名です")));
  ASSERT_TRUE(QDir(dir_).mkdir("seiseki.dat"));
  EXPECT_EQ(failure(path_),
            std::make_pair(5, QStringLiteral("ファイルへのアクセスが拒否されました")));
}

TEST_F(ScoreHistoryTest, RelativePathsResolveAgainstTheWorkingDirectory) {
  const QString saved = QDir::currentPath();
  ASSERT_TRUE(QDir::setCurrent(dir_));
  try {
    WriteScoreRecord(kHistory100, "r", {});
    ADD_FAILURE();
  } catch (const EInOutError& e) {
    EXPECT_EQ(e.Message(), QStringLiteral("ファイル date/seiseki.dat は開けません"));
  }
  QDir().mkdir("date");
  writeFile(kHistory25, "old\r\n");
  WriteScoreRecord(kHistory25, "new", {});
  QStringList out;
  ReadScoreLines(kHistory25, out);
  QDir::setCurrent(saved);
  EXPECT_EQ(out, (QStringList{"new", "old"}));
}

TEST_F(ScoreHistoryTest, OwnerModeAndLinksAreKept) {
  writeFile(path_, "old\r\n");
  ASSERT_EQ(::chmod(QFile::encodeName(path_).constData(), 0604), 0);
  ASSERT_EQ(::chown(QFile::encodeName(path_).constData(), 65534, 65534), 0);
  WriteScoreRecord(path_, "new", {});
  struct stat st;
  ASSERT_EQ(::stat(QFile::encodeName(path_).constData(), &st), 0);
  EXPECT_EQ(st.st_mode & 07777, 0604u);
  EXPECT_EQ(st.st_uid, 65534u);
  EXPECT_EQ(st.st_gid, 65534u);

  // A history reached through a link is rewritten where it lives.
  const QString link = dir_ + "/link.dat";
  ASSERT_TRUE(QFile::link(path_, link));
  WriteScoreRecord(link, "newer", {});
  EXPECT_TRUE(QFileInfo(link).isSymLink());
  EXPECT_EQ(readFile(path_), QByteArray("newer\r\nnew\r\nold\r\n"));
  EXPECT_EQ(entries(), (QStringList{"link.dat", "seiseki.dat"}));
}

TEST_F(ScoreHistoryTest, ForeignBytesSurviveListingAndRewrite) {
  // Invalid code page 932, NUL bytes and a line of a megabyte.
  const QByteArray invalid = bytes({'x', 0x80, 0x82, 0x20, 0xFF, 'y'});
  const QByteArray withNul("a\0b", 3);
  const QByteArray huge(1 << 20, 'z');
  const QByteArray old = invalid + "\r\n" + withNul + "\r\n" + huge + "\r\n";
  writeFile(path_, old);

  const QStringList listed = lines(path_);
  ASSERT_EQ(listed.size(), 3);
  const QChar bad = QChar::ReplacementCharacter;
  EXPECT_EQ(listed[0], QString(u'x') + bad + bad + u' ' + bad + u'y');
  EXPECT_EQ(listed[1], QString(QByteArray("a\0b", 3)));
  EXPECT_EQ(listed[2].size(), huge.size());

  WriteScoreRecord(path_, "new", {});
  EXPECT_EQ(readFile(path_), "new\r\n" + old);
}

TEST(InOutErrors, OtherCausesKeepTheirOwnNumber) {
  // errno values that happen to equal one of the numbers with a text of
  // their own (EIO is 5, EINTR 4) must not borrow that text.
  EXPECT_EQ(InOutError(EIO, "x").Message(), QStringLiteral("I/O エラー (%1)").arg(EIO));
  EXPECT_EQ(InOutError(EINTR, "x").Message(), QStringLiteral("I/O エラー (%1)").arg(EINTR));
  EXPECT_EQ(InOutError(EMFILE, "x").Message(), QStringLiteral("オープンしたファイルが多すぎます"));
}

// The cases below run the operation in a forked child: as root, file modes
// and quotas do not stop us, so the child drops its privileges or lowers its
// limits first.

TEST_F(ScoreHistoryTest, ReadOnlyHistoryIsNotReplaced) {
  ASSERT_EQ(::chmod(QFile::encodeName(dir_).constData(), 0777), 0);
  writeFile(path_, "old\r\n");
  ASSERT_EQ(::chmod(QFile::encodeName(path_).constData(), 0444), 0);
  const ChildOutcome out = runInChild(dropPrivileges, [&](const std::function<void()>& flushed) {
    WriteScoreRecord(path_, "new", flushed);
  });
  EXPECT_TRUE(out.threw);
  EXPECT_EQ(out.code, 5);
  EXPECT_EQ(out.text, QStringLiteral("ファイルへのアクセスが拒否されました"));
  EXPECT_EQ(out.flushes, 0);
  EXPECT_EQ(readFile(path_), QByteArray("old\r\n"));
  EXPECT_EQ(entries(), QStringList{"seiseki.dat"});
}

TEST_F(ScoreHistoryTest, WritableHistoryInAClosedFolderIsRewrittenInPlace) {
  ASSERT_EQ(::chmod(QFile::encodeName(dir_).constData(), 0755), 0);
  writeFile(path_, "old\r\n");
  ASSERT_EQ(::chmod(QFile::encodeName(path_).constData(), 0666), 0);
  struct stat before, after;
  ASSERT_EQ(::stat(QFile::encodeName(path_).constData(), &before), 0);
  const ChildOutcome out = runInChild(dropPrivileges, [&](const std::function<void()>& flushed) {
    WriteScoreRecord(path_, "new", flushed);
  });
  EXPECT_FALSE(out.threw) << out.text.toStdString();
  EXPECT_EQ(out.flushes, 1);
  EXPECT_EQ(readFile(path_), QByteArray("new\r\nold\r\n"));
  ASSERT_EQ(::stat(QFile::encodeName(path_).constData(), &after), 0);
  EXPECT_EQ(after.st_ino, before.st_ino);

  // Even there a file too large for the disk leaves the old history.
  const QByteArray old(8192, 'o');
  writeFile(path_, old);
  const auto limited = [] {
    dropPrivileges();
    std::signal(SIGXFSZ, SIG_IGN);
    const rlimit limit{8200, 8200};
    ::setrlimit(RLIMIT_FSIZE, &limit);
  };
  const ChildOutcome full = runInChild(limited, [&](const std::function<void()>& flushed) {
    WriteScoreRecord(path_, "new record", flushed);
  });
  EXPECT_EQ(full.text, QStringLiteral("ディスクがいっぱいです"));
  EXPECT_EQ(full.flushes, 0);
  EXPECT_EQ(readFile(path_), old);
}

TEST_F(ScoreHistoryTest, DiskFullInTheMiddleKeepsTheOldHistory) {
  QByteArray old;
  for (int i = 0; i < 2000; ++i) old += encoded(recordOn(1 + i % 28, i % 101)) + "\r\n";
  writeFile(path_, old);
  const auto limited = [&] {
    std::signal(SIGXFSZ, SIG_IGN);
    const rlimit limit{static_cast<rlim_t>(old.size() / 2), static_cast<rlim_t>(old.size() / 2)};
    ::setrlimit(RLIMIT_FSIZE, &limit);
  };
  const ChildOutcome out = runInChild(limited, [&](const std::function<void()>& flushed) {
    WriteScoreRecord(path_, recordOn(5, 98), flushed);
  });
  EXPECT_TRUE(out.threw);
  EXPECT_EQ(out.code, 101);
  EXPECT_EQ(out.text, QStringLiteral("ディスクがいっぱいです"));
  EXPECT_EQ(out.flushes, 0);
  EXPECT_EQ(readFile(path_), old);
  EXPECT_EQ(entries(), QStringList{"seiseki.dat"});
}

TEST_F(ScoreHistoryTest, ANodeThatIsNoRegularFileIsRefusedWithoutBeingWaitedOn) {
  // A FIFO nobody writes to would hold an open for good, a device would
  // never end: neither is a history. Each operation runs in a child that an
  // alarm ends, so a wait shows as a failure instead of a hung test.
  const QByteArray path = QFile::encodeName(path_);
  const std::pair<const char*, std::function<void()>> nodes[] = {
      {"FIFO", [&] { ASSERT_EQ(::mkfifo(path.constData(), 0600), 0); }},
      {"socket", [&] { makeSocket(path); }},
      {"character device", [&] { ASSERT_EQ(::symlink("/dev/zero", path.constData()), 0); }},
  };
  for (const auto& [what, make] : nodes) {
    SCOPED_TRACE(what);
    ::unlink(path.constData());
    make();
    const mode_t type = fileType(path);
    const auto withAlarm = [] { ::alarm(10); };

    const ChildOutcome listed = runInChild(withAlarm, [&](const auto&) {
      QStringList out;
      ReadScoreLines(path_, out);
    });
    EXPECT_TRUE(listed.threw);
    EXPECT_EQ(listed.code, 5);
    EXPECT_EQ(listed.text, QStringLiteral("ファイルへのアクセスが拒否されました"));

    const ChildOutcome recorded = runInChild(withAlarm, [&](const auto& afterFlush) {
      WriteScoreRecord(path_, recordOn(5, 98), afterFlush);
    });
    EXPECT_TRUE(recorded.threw);
    EXPECT_EQ(recorded.code, 5);
    EXPECT_EQ(recorded.text, QStringLiteral("ファイル %1 は開けません").arg(path_));
    EXPECT_EQ(recorded.flushes, 0);

    EXPECT_EQ(fileType(path), type) << "the node is left as it was";
    EXPECT_EQ(entries(), QStringList{"seiseki.dat"});
  }
}

TEST(ScoreHistory, LineEndsAreFoundWhereverTheyFallInAWord) {
  // Line ends at every place within and across the eight-byte steps, bytes
  // next to CR and LF in value, and non-ASCII bytes; each walked against a
  // byte-by-byte reading of the same rule.
  const QByteArray cases[] = {
      "", "\r", "\n", "\r\n", "\n\r", "\r\r\n\n", "abc", "abcdefg\r\n", "abcdefgh\r\n", "abcdefghi\n",
      "1234567\r\nabcdefgh\rxyz", "\x0b\x0c\x0e\x8d\x8a\r\x0d\x0a", QByteArray(40, 'x') + "\r\n" + QByteArray(33, 'y'),
      "\x93\xfa\x96\x7b\r\n\x81\x40\r\r", QByteArray("a\0b\r\n\0", 6)};
  for (const QByteArray& bytes : cases) {
    std::vector<QByteArray> walked, expected;
    const char* end = bytes.constData() + bytes.size();
    const char* rest = ForEachLine(bytes.constData(), end, [&](const char* p, qsizetype n) { walked.emplace_back(p, n); });
    qsizetype start = 0;
    for (qsizetype i = 0; i < bytes.size(); ++i) {
      if (bytes[i] != '\r' && bytes[i] != '\n') continue;
      expected.push_back(bytes.mid(start, i - start));
      if (bytes[i] == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') ++i;
      start = i + 1;
    }
    EXPECT_EQ(walked, expected) << bytes.toHex().toStdString();
    EXPECT_EQ(rest - bytes.constData(), start) << bytes.toHex().toStdString();
  }
}
