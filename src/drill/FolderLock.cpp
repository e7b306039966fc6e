#include "drill/FolderLock.h"

#include <QtCore/QFile>
#include <QtCore/QFileInfo>

#include <atomic>
#include <cerrno>
#include <fcntl.h>
#include <mutex>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace drill {
namespace {

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

std::atomic<milliseconds::rep> timeoutMs{3000};

// One for all folders: the lock is taken rarely and briefly, and one mutex
// also means one descriptor of a lock file at a time, so no close of another
// descriptor can drop this process's lock behind the holder's back.
std::mutex& processMutex() {
  static std::mutex mutex;
  return mutex;
}

// The folder last found busy, and when. A program that holds a lock past the
// wait is hung, not busy; the closing of a drill asks for the lock more than
// once (the history, then the answers), and waiting the full time each turn
// would freeze the window for a multiple of it. So for one wait's length
// after a folder was found busy, its lock is tried once, not waited for.
struct LastBusy {
  std::mutex mutex;
  QString folder;
  Clock::time_point at;

  bool recent(const QString& dir, Clock::time_point now) {
    const std::lock_guard<std::mutex> hold(mutex);
    return dir == folder && now - at < FolderLock::Timeout();
  }
  void note(const QString& dir) {
    const std::lock_guard<std::mutex> hold(mutex);
    folder = dir;
    at = Clock::now();
  }
  void clear(const QString& dir) {
    const std::lock_guard<std::mutex> hold(mutex);
    if (dir == folder) folder.clear();
  }
};

LastBusy& lastBusy() {
  static LastBusy last;
  return last;
}

// The pause before the next try: 1 to 4 ms, varied so that two programs
// trying in turn do not stay in step and keep missing the moments the lock
// is free.
milliseconds nextPause() {
  thread_local unsigned state = unsigned(::getpid()) * 2654435761u ^
                                unsigned(Clock::now().time_since_epoch().count());
  state = state * 1664525u + 1013904223u;
  return milliseconds(1 + (state >> 16) % 4);
}

int openLockFile(const QByteArray& path, FolderLock::Mode mode) {
  // Never blocks on whatever might stand in the lock file's place.
  const int flags = O_CLOEXEC | O_NOCTTY | O_NONBLOCK;
  int fd;
  do fd = ::open(path.constData(), O_RDWR | (mode == FolderLock::Mode::Write ? O_CREAT : 0) | flags, 0666);
  while (fd < 0 && errno == EINTR);
  // A read lock needs no more than reading, as in a folder others own.
  if (fd < 0 && mode == FolderLock::Mode::Read && (errno == EACCES || errno == EPERM || errno == EROFS)) {
    do fd = ::open(path.constData(), O_RDONLY | flags);
    while (fd < 0 && errno == EINTR);
  }
  if (fd < 0) return -1;
  struct stat st;
  const int err = ::fstat(fd, &st) != 0 ? errno : S_ISREG(st.st_mode) ? 0 : EINVAL;
  if (err != 0) {
    ::close(fd);
    errno = err;
    return -1;
  }
  return fd;
}

}  // namespace

milliseconds FolderLock::Timeout() { return milliseconds(timeoutMs.load()); }

milliseconds FolderLock::SetTimeout(milliseconds timeout) {
  return milliseconds(timeoutMs.exchange(timeout.count()));
}

FolderLock FolderLock::ForFile(const QString& path, Mode mode) {
  return FolderLock(QFileInfo(path).path(), mode);
}

FolderLock::FolderLock(const QString& folder, Mode mode) {
  const QString dir = folder.isEmpty() ? QStringLiteral(".") : folder;
  // One deadline for the mutex and the file lock together: the wait as a
  // whole stays within the timeout.
  const Clock::time_point start = Clock::now();
  const Clock::time_point deadline = lastBusy().recent(dir, start) ? start : start + Timeout();
  const auto busy = [&] {
    state_ = State::Busy;
    error_ = EAGAIN;
    release();
    lastBusy().note(dir);
  };
  // Tried in turns like the file lock below rather than with a timed lock:
  // a timed lock on the steady clock is one the thread sanitizer of this
  // toolchain does not see taken, so it would report every release.
  while (!processMutex().try_lock()) {
    const Clock::time_point now = Clock::now();
    if (now >= deadline) {
      busy();
      return;
    }
    std::this_thread::sleep_for(std::min<Clock::duration>(nextPause(), deadline - now));
  }
  ownsMutex_ = true;

  fd_ = openLockFile(QFile::encodeName(dir + QLatin1Char('/') + kFileName), mode);
  if (fd_ < 0) {
    error_ = errno;
    release();
    return;
  }
  struct flock lock {};
  lock.l_type = mode == Mode::Write ? F_WRLCK : F_RDLCK;
  lock.l_whence = SEEK_SET;  // the whole file, however long
  for (;;) {
    if (::fcntl(fd_, F_SETLK, &lock) == 0) {
      state_ = State::Held;
      error_ = 0;
      lastBusy().clear(dir);
      return;
    }
    const int err = errno;
    if (err == EINTR) continue;
    if (err != EAGAIN && err != EACCES) {
      // ENOLCK from a share without a lock service, or a file system that
      // knows no locks: there is nobody to keep out by waiting.
      error_ = err;
      release();
      return;
    }
    const Clock::time_point now = Clock::now();
    if (now >= deadline) {
      busy();
      return;
    }
    std::this_thread::sleep_for(std::min<Clock::duration>(nextPause(), deadline - now));
  }
}

FolderLock::~FolderLock() { release(); }

void FolderLock::release() {
  if (fd_ >= 0) {
    // Closing the descriptor gives the lock back; there is nothing left to
    // do when that reports an error.
    ::close(fd_);
    fd_ = -1;
  }
  if (ownsMutex_) {
    processMutex().unlock();
    ownsMutex_ = false;
  }
}

}  // namespace drill
