#include "drill/AnswersFile.h"

#include "drill/FolderLock.h"

#include <QtCore/QFile>
#include <QtCore/QFileInfo>

#include <algorithm>
#include <array>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace answers {
namespace {

constexpr qsizetype kChunk = 64 * 1024;
constexpr qsizetype kMaxLine = 4096;
const QString kTimeFormat = QStringLiteral("yyyy-MM-ddTHH:mm:ss");

// A tab or a line end inside a field would break the line's form.
QByteArray field(const QString& text) {
  QByteArray bytes = text.toUtf8();
  for (char& c : bytes)
    if (c == '\t' || c == '\n' || c == '\r') c = ' ';
  return bytes;
}

bool toInt64(QByteArrayView text, std::int64_t& value) {
  if (text.isEmpty() || text.size() > 18) return false;
  value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return false;
    value = value * 10 + (c - '0');
  }
  return true;
}

// "2026-12-09T14:03:12", read without the general date parser: a view reads
// thousands of these.
QDateTime ParseTime(QByteArrayView text) {
  if (text.size() != 19 || text[4] != '-' || text[7] != '-' || text[10] != 'T' || text[13] != ':' ||
      text[16] != ':')
    return {};
  auto number = [&text](int from, int digits) {
    int value = 0;
    for (int n = from; n < from + digits; ++n) {
      const char c = text[n];
      if (c < '0' || c > '9') return -1;
      value = value * 10 + (c - '0');
    }
    return value;
  };
  const int parts[] = {number(0, 4), number(5, 2), number(8, 2), number(11, 2), number(14, 2), number(17, 2)};
  // A part that is not all digits is no part: QDate takes year -1 as a
  // year before the first, so it must not get that far.
  for (const int part : parts)
    if (part < 0) return {};
  const QDate date(parts[0], parts[1], parts[2]);
  const QTime time(parts[3], parts[4], parts[5]);
  if (!date.isValid() || !time.isValid()) return {};
  return QDateTime(date, time);
}

class Fd {
 public:
  explicit Fd(int fd) : fd_(fd) {}
  ~Fd() {
    if (fd_ >= 0) ::close(fd_);
  }
  Fd(const Fd&) = delete;
  Fd& operator=(const Fd&) = delete;
  int get() const { return fd_; }

 private:
  int fd_;
};

ssize_t preadFull(int fd, char* data, qsizetype size, off_t at) {
  qsizetype done = 0;
  while (done < size) {
    const ssize_t n = ::pread(fd, data + done, size_t(size - done), at + done);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return -1;
    if (n == 0) break;
    done += n;
  }
  return done;
}

}  // namespace

std::optional<Fact> FactOf(const Answer& answer) {
  bool okTop = false, okLeft = false;
  int top = answer.top.toInt(&okTop);
  const int left = answer.left.toInt(&okLeft);
  if (answer.operation == drill::Operation::Subtraction) top -= 10;
  if (!okTop || !okLeft || top < 0 || top > 9 || left < 0 || left > 9) return std::nullopt;
  return Fact{top, left};
}

QString OperationKey(drill::Operation operation) {
  switch (operation) {
    case drill::Operation::Addition:
      return QStringLiteral("add");
    case drill::Operation::Multiplication:
      return QStringLiteral("mul");
    case drill::Operation::Subtraction:
      break;
  }
  return QStringLiteral("sub");
}

std::optional<drill::Operation> OperationFromKey(QStringView key) {
  for (drill::Operation op :
       {drill::Operation::Addition, drill::Operation::Multiplication, drill::Operation::Subtraction})
    if (key == OperationKey(op)) return op;
  return std::nullopt;
}

QByteArray FormatAnswers(const std::vector<Answer>& answers) {
  QByteArray out;
  out.reserve(qsizetype(answers.size()) * 40);
  for (const Answer& a : answers) {
    out += a.drill.toString(kTimeFormat).toLatin1();
    out += a.grid == drill::GridKind::Square100 ? "\t100\t" : "\t25\t";
    out += OperationKey(a.operation).toLatin1();
    out += '\t' + field(a.top) + '\t' + field(a.left) + '\t' + field(a.answer);
    out += a.right ? "\t1\t" : "\t0\t";
    out += QByteArray::number(qlonglong(a.ms));
    out += '\n';
  }
  return out;
}

std::optional<Answer> ParseAnswerLine(QByteArrayView line) {
  std::array<QByteArrayView, 8> f;
  qsizetype start = 0;
  for (int n = 0; n < 8; ++n) {
    const qsizetype tab = n < 7 ? line.indexOf('\t', start) : line.size();
    if (tab < 0) return std::nullopt;
    f[n] = line.sliced(start, tab - start);
    start = tab + 1;
  }
  if (line.sliced(f[7].data() - line.data()).contains('\t')) return std::nullopt;
  Answer a;
  a.drill = ParseTime(f[0]);
  if (!a.drill.isValid()) return std::nullopt;
  if (f[1] == "100")
    a.grid = drill::GridKind::Square100;
  else if (f[1] == "25")
    a.grid = drill::GridKind::Square25;
  else
    return std::nullopt;
  const auto op = OperationFromKey(QString::fromLatin1(f[2]));
  if (!op) return std::nullopt;
  a.operation = *op;
  if (!QUtf8StringView(f[5]).isValidUtf8()) return std::nullopt;
  // The writer turns a CR in a cell's text into a blank; a line holding one
  // was not written as it stands, and would not read back as itself.
  for (int n = 3; n <= 5; ++n)
    if (f[n].contains('\r')) return std::nullopt;
  a.top = QString::fromUtf8(f[3]);
  a.left = QString::fromUtf8(f[4]);
  a.answer = QString::fromUtf8(f[5]);
  if (f[6] != "0" && f[6] != "1") return std::nullopt;
  a.right = f[6] == "1";
  if (!toInt64(f[7], a.ms)) return std::nullopt;
  return a;
}

int AppendAnswers(const QString& path, const std::vector<Answer>& answers) {
  // The folder's lock keeps a second program from writing the header line
  // too, or from seeing the end before this drill's lines are all there.
  const drill::FolderLock lock(QFileInfo(path).path());
  if (lock.busy()) return lock.error();
  // The end is checked and written through one descriptor, opened under the
  // lock, so it is the file as the last holder left it.
  Fd fd(::open(QFile::encodeName(path).constData(),
               O_RDWR | O_APPEND | O_CREAT | O_CLOEXEC | O_NOCTTY, 0644));
  if (fd.get() < 0) return errno;
  struct stat st;
  if (::fstat(fd.get(), &st) != 0) return errno;
  if (!S_ISREG(st.st_mode)) return EACCES;

  QByteArray data;
  if (st.st_size == 0) {
    data = kHeaderLine;
  } else {
    // A line torn by a power cut must not swallow the first new one.
    char last = '\n';
    if (preadFull(fd.get(), &last, 1, st.st_size - 1) == 1 && last != '\n') data = "\n";
  }
  data += FormatAnswers(answers);

  qsizetype done = 0;
  while (done < data.size()) {
    const ssize_t n = ::write(fd.get(), data.constData() + done, size_t(data.size() - done));
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) {
      const int err = errno;
      // A partial drill is cut back, so no half drill is left for others.
      // Under the lock the file's end is still this drill's start; where the
      // folder gives no lock, the end is checked to be this drill's first.
      struct stat now;
      if (done > 0 && (lock.state() == drill::FolderLock::State::Held ||
                       (::fstat(fd.get(), &now) == 0 && now.st_size == st.st_size + done)))
        [[maybe_unused]] const int cut = ::ftruncate(fd.get(), st.st_size);
      return err;
    }
    done += n;
  }
  if (::fsync(fd.get()) != 0) return errno;
  return 0;
}

ReadResult ReadRecentAnswers(const QString& path, const ReadLimits& limits) {
  ReadResult result;
  // A reader takes the folder's lock too, so it never sees half a drill
  // being written. When the lock stays busy it reads all the same: a drill
  // being written may then count with part of its answers, and a line torn
  // off at the end is skipped.
  const drill::FolderLock lock(QFileInfo(path).path(), drill::FolderLock::Mode::Read);
  Fd fd(::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK));
  if (fd.get() < 0) {
    result.error = errno == ENOENT ? 0 : errno;
    return result;
  }
  struct stat st;
  if (::fstat(fd.get(), &st) != 0 || !S_ISREG(st.st_mode)) {
    result.error = EACCES;
    return result;
  }

  // Facts of each operation: 3 × 100 counters of answers kept.
  std::array<int, 300> seen{};
  int factsMet = 0, factsFull = 0;
  std::vector<Answer> newestFirst;

  off_t end = st.st_size;
  QByteArray carry;   // the start of a line whose beginning lies further back
  bool lastLine = true;  // the file's last line: torn unless it ends in LF
  // A line longer than any the program writes is garbage: it is skipped as it
  // is read instead of being gathered, so a file of one endless line costs no
  // more than its bytes.
  bool skipping = false;
  const auto skipOverlong = [&] {
    if (carry.size() <= kMaxLine) return;
    carry.clear();
    skipping = true;
    ++result.badLines;
  };
  bool done = false;
  while (!done && (end > 0 || !carry.isEmpty())) {
    QByteArray block;
    if (end > 0) {
      const qsizetype size = qsizetype(std::min<off_t>(kChunk, end));
      block.resize(size);
      const ssize_t n = preadFull(fd.get(), block.data(), size, end - size);
      if (n != size) {
        result.error = n < 0 ? errno : EIO;
        break;
      }
      result.bytesRead += size;
      end -= size;
    }
    block += carry;
    carry.clear();
    qsizetype stop = block.size();
    if (skipping) {
      const qsizetype lf = block.lastIndexOf('\n');
      if (lf < 0) continue;  // still inside the overlong line
      stop = lf;
      skipping = false;
    } else if (lastLine) {
      lastLine = false;
      if (!block.endsWith('\n')) {
        const qsizetype lf = block.lastIndexOf('\n');
        if (lf >= 0 || end == 0) {
          ++result.badLines;  // torn by a cut-off write
          stop = std::max<qsizetype>(lf, 0);
        } else {
          carry = block;  // the torn line goes back further still
          skipOverlong();
          lastLine = !skipping;
          continue;
        }
      } else {
        stop = block.size() - 1;
      }
    }
    // Lines from stop (the end of the text not yet read, its LF excluded)
    // back to the block's first LF; what lies before that is the end of a
    // line that begins in an earlier block.
    while (!done) {
      const qsizetype lf = stop > 0 ? block.lastIndexOf('\n', stop - 1) : -1;
      if (lf < 0 && end > 0) {
        carry = block.left(stop);
        skipOverlong();
        break;
      }
      const QByteArrayView line = QByteArrayView(block).sliced(lf + 1, stop - (lf + 1));
      if (!(lf < 0 && line == QByteArrayView(kHeaderLine).chopped(1)) && !line.isEmpty()) {
        if (const auto answer = ParseAnswerLine(line)) {
          if (limits.since.isValid() && answer->drill.date() < limits.since) {
            done = true;
            break;
          }
          if (!limits.operation || *limits.operation == answer->operation) {
            if (const auto fact = FactOf(*answer)) {
              int& count = seen[std::size_t(answer->operation) * 100 + std::size_t(fact->left * 10 + fact->top)];
              if (count == 0) ++factsMet;
              if (++count == limits.perFact) ++factsFull;
            }
            newestFirst.push_back(*answer);
          }
        } else {
          ++result.badLines;
        }
      }
      if (limits.perFact > 0 && factsFull == factsMet && factsMet > 0) done = true;
      if (lf < 0) break;
      stop = lf;
    }
    if (end == 0 && carry.isEmpty()) break;
  }
  result.answers.assign(newestFirst.rbegin(), newestFirst.rend());
  return result;
}

}  // namespace answers
