#pragma once
// The lock of a data folder: whoever rewrites a history or appends to the
// answers file of a folder holds it, so two programs recording into one
// folder (two windows, or two machines on a shared drive) never lose each
// other's records.
//
// It is an fcntl record lock on "<folder>/.sorabe.lock", which file servers
// pass on to each other (NFS, SMB). The file is made when first needed and
// never removed: removing it while another program waits on it would let the
// two hold locks on two different files. fcntl locks belong to a process, so
// a mutex keeps the threads of this process apart as well.
//
// The lock is never waited on for longer than the timeout: a program hung
// while holding it (on another machine, say) makes this one give up with
// "busy" instead of freezing. For the timeout's length after that, the
// folder's lock is tried once without waiting, so a task that takes it
// several times in a row does not wait the full time again each turn. Where no lock can be had at all for another
// reason (a folder that takes no new file, a share without a lock service),
// the holder goes on without one, as it always could.
//
// A lock is not taken twice by one thread: the second waits for the first
// and gives up at the timeout.

#include <QtCore/QString>

#include <chrono>

namespace drill {

class FolderLock {
 public:
  enum class Mode { Write, Read };
  enum class State {
    Held,      // this process holds the folder's lock
    Busy,      // another program (or thread) held it past the timeout
    Unlocked,  // no lock could be had for another reason: go on without
  };

  inline static const QString kFileName = QStringLiteral(".sorabe.lock");

  // Takes the lock of folder, waiting at most Timeout(). Readers use Read:
  // they keep out writers of other programs but not each other, and within
  // this process they are kept apart like writers. A reader never makes the
  // lock file: where there is none, nothing was ever written under it.
  explicit FolderLock(const QString& folder, Mode mode = Mode::Write);
  // The lock of the folder that holds the file at path.
  static FolderLock ForFile(const QString& path, Mode mode = Mode::Write);
  ~FolderLock();

  FolderLock(const FolderLock&) = delete;
  FolderLock& operator=(const FolderLock&) = delete;

  State state() const { return state_; }
  bool busy() const { return state_ == State::Busy; }
  // Why the lock is not held: EAGAIN when busy, otherwise the errno of what
  // failed (0 while held).
  int error() const { return error_; }

  // How long a lock is waited for (3 s unless changed). Tests shorten it;
  // gives the previous value.
  static std::chrono::milliseconds Timeout();
  static std::chrono::milliseconds SetTimeout(std::chrono::milliseconds timeout);

 private:
  void release();

  int fd_ = -1;
  bool ownsMutex_ = false;
  State state_ = State::Unlocked;
  int error_ = 0;
};

}  // namespace drill
