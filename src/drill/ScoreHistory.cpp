#include "drill/ScoreHistory.h"

#include "drill/FolderLock.h"
#include "platform/ShiftJis.h"

#include <QtCore/QFile>
#include <QtCore/QFileInfo>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>

namespace history {
namespace {

// A file descriptor closed when it goes out of scope.
class Fd {
 public:
  explicit Fd(int fd = -1) : fd_(fd) {}
  ~Fd() {
    if (fd_ >= 0) ::close(fd_);
  }
  Fd(const Fd&) = delete;
  Fd& operator=(const Fd&) = delete;
  void reset(int fd) {
    if (fd_ >= 0) ::close(fd_);
    fd_ = fd;
  }
  int get() const { return fd_; }
  bool valid() const { return fd_ >= 0; }
  // Closes now and gives close()'s errno (0 on success).
  int close() {
    const int fd = fd_;
    fd_ = -1;
    // After an EINTR the descriptor is already gone on Linux: no retry.
    if (::close(fd) != 0 && errno != EINTR) return errno;
    return 0;
  }

 private:
  int fd_;
};

// A temporary file that is removed again unless it was put in place.
struct TempFile {
  ~TempFile() {
    if (!path.isEmpty()) ::unlink(path.constData());
  }
  void keep() { path.clear(); }
  QByteArray path;
  Fd fd;
};

QByteArray nativePath(const QString& path) { return QFile::encodeName(path); }

// Opens a history with flags (O_RDONLY or O_WRONLY), never truncating it.
// Only a regular file is a history: a FIFO, a socket or a device in its place
// could hold the window for good (a FIFO nobody writes to) or never end (a
// device), so it is refused as access denied without being waited on. Gives
// the descriptor, or -1 with errno set; st receives the file's status.
int openHistory(const QString& path, int flags, struct stat& st) {
  int fd;
  do fd = ::open(nativePath(path).constData(), flags | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
  while (fd < 0 && errno == EINTR);
  if (fd < 0) {
    if (errno == ENXIO) errno = EACCES;  // a socket, or a FIFO opened for writing
    return -1;
  }
  int err = ::fstat(fd, &st) != 0 ? errno : S_ISREG(st.st_mode) ? 0 : EACCES;
  // Reads and writes of a regular file do not block anyway; clearing the flag
  // keeps them plain.
  if (err == 0 && ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK) != 0) err = errno;
  if (err != 0) {
    ::close(fd);
    errno = err;
    return -1;
  }
  return fd;
}

int openRead(const QString& path) {
  struct stat st;
  return openHistory(path, O_RDONLY, st);
}

// Reads the file from its start to its end into data, in data's own storage
// where it is large enough. Gives 0, or the errno of the failure with data
// holding what was read before it.
int readAll(int fd, QByteArray& data) {
  data.resize(0);
  struct stat st;
  if (::fstat(fd, &st) != 0) return errno;
  // One read of the whole file in the usual case; the extra byte lets the
  // loop see the end without growing the buffer (the file may still grow).
  qsizetype capacity = static_cast<qsizetype>(st.st_size) + 1;
  data.resize(capacity);
  qsizetype size = 0;
  for (;;) {
    if (size == capacity) {
      capacity *= 2;
      data.resize(capacity);
    }
    const ssize_t n = ::read(fd, data.data() + size, static_cast<size_t>(capacity - size));
    if (n < 0) {
      if (errno == EINTR) continue;
      const int err = errno;
      data.truncate(size);
      return err;
    }
    if (n == 0) break;
    size += n;
  }
  data.truncate(size);
  return 0;
}

int writeAll(int fd, const char* data, qsizetype size) {
  while (size > 0) {
    const ssize_t n = ::write(fd, data, static_cast<size_t>(size));
    if (n < 0) {
      if (errno == EINTR) continue;
      return errno;
    }
    data += n;
    size -= n;
  }
  return 0;
}

// The new history: the record, then the old lines as they are, every line
// ended with CR LF.
QByteArray composeHistory(const QByteArray& record, const QByteArray& old) {
  QByteArray out;
  out.reserve(record.size() + old.size() + old.size() / 16 + 4);
  out.append(record).append("\r\n");
  const char* end = old.constData() + old.size();
  const char* rest = ForEachLine(old.constData(), end, [&](const char* p, qsizetype n) {
    out.append(p, n).append("\r\n");
  });
  if (rest != end) out.append(rest, end - rest).append("\r\n");
  return out;
}

[[noreturn]] void raise(int err, const QString& path) { throw InOutError(err, path); }

void syncFolder(const QByteArray& folder) {
  // Makes the rename itself durable. The new contents are already in place
  // when this runs, so a folder that cannot be synced is no reason to tell
  // the user the record was lost.
  Fd dir(::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (dir.valid()) ::fsync(dir.get());
}

// Rewrites the file through fd in place. Used only where no file may be made
// beside the history; the space for the whole new contents is taken before
// the first old byte is overwritten, so a full disk leaves the old history.
void rewriteInPlace(int fd, const QByteArray& contents, const QString& path,
                    const std::function<void()>& afterFlush) {
  // (Where the file system cannot reserve space this protection is lost.)
  if (::fallocate(fd, 0, 0, contents.size()) != 0 && errno != EOPNOTSUPP) raise(errno, path);
  if (::lseek(fd, 0, SEEK_SET) < 0) raise(errno, path);
  if (const int err = writeAll(fd, contents.constData(), contents.size())) raise(err, path);
  if (::ftruncate(fd, contents.size()) != 0) raise(errno, path);
  if (::fsync(fd) != 0) raise(errno, path);
  if (afterFlush) afterFlush();
}

}  // namespace

EInOutError InOutError(int err, const QString& path) {
  switch (err) {
    case ENOENT: {
      // Told apart the way the user needs it: is it the file or its folder?
      struct stat st;
      const QByteArray folder = nativePath(QFileInfo(path).path());
      if (::stat(folder.constData(), &st) != 0 || !S_ISDIR(st.st_mode))
        return EInOutError(3, QStringLiteral("不正なファイル名です"));
      return EInOutError(2, QStringLiteral("ファイルが見つかりません"));
    }
    case ENOTDIR:
      return EInOutError(3, QStringLiteral("不正なファイル名です"));
    case EMFILE:
    case ENFILE:
      return EInOutError(4, QStringLiteral("オープンしたファイルが多すぎます"));
    case EACCES:
    case EPERM:
    case EROFS:
    case EISDIR:
      return EInOutError(5, QStringLiteral("ファイルへのアクセスが拒否されました"));
    case ENOSPC:
    case EDQUOT:
    case EFBIG:
      return EInOutError(101, QStringLiteral("ディスクがいっぱいです"));
    case EAGAIN:
      // The folder's lock, held by another program past the wait.
      return EInOutError(kBusyErrorCode, QStringLiteral("ファイルは他のプログラムが使用中です"));
    default:
      return EInOutError(err, QStringLiteral("I/O エラー (%1)").arg(err));
  }
}

QString FormatScoreRecord(const QDate& date, int score, const QString& operationWord,
                          const QString& minutes, const QString& seconds,
                          const QString& tenths) {
  // The slashes are part of the format, whatever the desktop's date settings.
  return QStringLiteral("%1/%2/%3  %4点%5%6:%7:%8")
      .arg(date.year(), 4, 10, QLatin1Char('0'))
      .arg(date.month())
      .arg(date.day(), 2, 10, QLatin1Char('0'))
      .arg(score)
      .arg(operationWord, minutes, seconds, tenths);
}

void WriteScoreRecord(const QString& path, const QString& recordLine,
                      const std::function<void()>& afterFlush) {
  // The whole read, compose and rename runs under the folder's lock: a
  // program that read the history before this one put its record in would
  // otherwise write its own on top of the old lines and lose this one.
  // A history that is not there, or is no file, fails below as before; no
  // lock file is made for it.
  std::optional<drill::FolderLock> lock;
  struct stat st;
  if (::stat(nativePath(path).constData(), &st) == 0 && S_ISREG(st.st_mode)) {
    lock.emplace(QFileInfo(path).path());
    if (lock->busy()) raise(EAGAIN, path);
  }

  QByteArray old;
  {
    Fd in(openRead(path));
    int err = in.valid() ? readAll(in.get(), old) : errno;
    if (err == 0) err = in.close();
    if (err != 0)
      throw EInOutError(InOutError(err, path).ErrorCode,
                        QStringLiteral("ファイル %1 は開けません").arg(path));
  }

  // Opening for writing without truncating asks the system whether this user
  // may write the history, without changing it. The new contents go to a
  // file beside it that replaces it only once it is complete, so a failure
  // at any point leaves the old history as it was.
  Fd target(openHistory(path, O_WRONLY, st));
  if (!target.valid()) raise(errno, path);

  const QByteArray contents = composeHistory(platform::ToShiftJis(recordLine), old);
  old = QByteArray();

  // A history reached through a symbolic link is replaced where it lives.
  char resolved[PATH_MAX];
  if (::realpath(nativePath(path).constData(), resolved) == nullptr) raise(errno, path);
  const QByteArray real(resolved);
  const qsizetype slash = real.lastIndexOf('/');
  const QByteArray folder = slash > 0 ? real.left(slash) : QByteArray("/");

  TempFile temp;
  QByteArray pattern = folder + "/." + real.mid(slash + 1) + ".XXXXXX";
  temp.fd.reset(::mkostemp(pattern.data(), O_CLOEXEC));
  if (!temp.fd.valid()) {
    const int err = errno;
    if (err == EACCES || err == EPERM) {
      // The folder is closed to us but the file is not.
      rewriteInPlace(target.get(), contents, path, afterFlush);
      if (const int closeErr = target.close()) raise(closeErr, path);
      return;
    }
    raise(err, path);
  }
  temp.path = pattern;

  // The replacement keeps the history's owner and mode. Only root may give
  // a file away; anyone else keeps at least the group where allowed.
  if (::fchown(temp.fd.get(), st.st_uid, st.st_gid) != 0 &&
      ::fchown(temp.fd.get(), static_cast<uid_t>(-1), st.st_gid) != 0) {
    // Not even the group: the replacement stays the writer's, like a new file.
  }
  if (::fchmod(temp.fd.get(), st.st_mode & 07777) != 0) raise(errno, path);

  if (const int err = writeAll(temp.fd.get(), contents.constData(), contents.size()))
    raise(err, path);
  if (::fsync(temp.fd.get()) != 0) raise(errno, path);
  if (afterFlush) afterFlush();
  if (const int err = temp.fd.close()) raise(err, path);
  if (::rename(pattern.constData(), real.constData()) != 0) raise(errno, path);
  temp.keep();
  syncFolder(folder);
  target.close();
}

void ReadScoreFile(const QString& path, ScoreLines& lines) {
  lines = ScoreLines();
  Fd in(openRead(path));
  if (!in.valid()) raise(errno, path);
  int err = readAll(in.get(), lines.bytes);

  // Line ends are found in the bytes: CR and LF never occur inside a
  // character of code page 932.
  const char* begin = lines.bytes.constData();
  const char* end = begin + lines.bytes.size();
  // A record is about 34 bytes; reserving for that saves most regrowth
  // without a counting pass over the whole file.
  lines.starts.reserve(std::size_t(lines.bytes.size() / 32 + 1));
  const char* rest = ForEachLine(begin, end, [&](const char* p, qsizetype) {
    lines.starts.push_back(p - begin);
  });
  // A line cut off by a failed read is not shown as if it were complete.
  if (err == 0 && rest != end) lines.starts.push_back(rest - begin);
  if (err == 0) err = in.close();
  if (err != 0) raise(err, path);
}

void ReadHistoryBytes(const QString& path, QByteArray& bytes) {
  Fd in(openRead(path));
  if (!in.valid()) raise(errno, path);
  int err = readAll(in.get(), bytes);
  if (err == 0) err = in.close();
  if (err != 0) raise(err, path);
}

QString ScoreLines::line(qsizetype index) const {
  // A line runs from its start to the first CR or LF: neither occurs
  // inside a line.
  const char* begin = bytes.constData() + starts[std::size_t(index)];
  const char* limit = index + 1 < size() ? bytes.constData() + starts[std::size_t(index) + 1]
                                         : bytes.constData() + bytes.size();
  const char* end = begin;
  while (end != limit && *end != '\r' && *end != '\n') ++end;
  return platform::FromShiftJis(begin, end - begin);
}

QStringList ScoreLines::all() const {
  QStringList out;
  out.reserve(size());
  for (qsizetype i = 0; i < size(); ++i) out.append(line(i));
  return out;
}

void ReadScoreLines(const QString& path, QStringList& lines) {
  ScoreLines read;
  try {
    ReadScoreFile(path, read);
  } catch (...) {
    lines = read.all();
    throw;
  }
  lines = read.all();
}

}  // namespace history
