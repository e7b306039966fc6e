#include "platform/ShiftJis.h"

#include <QtCore/QSysInfo>

#include <cerrno>
#include <cstring>
#include <iconv.h>
#include <stdexcept>
#include <string>

namespace platform {
namespace {

constexpr const char* kShiftJis = "CP932";
constexpr const char* kUtf16 =
    QSysInfo::ByteOrder == QSysInfo::LittleEndian ? "UTF-16LE" : "UTF-16BE";

// One conversion descriptor per direction and thread: opening one loads the
// code page tables, which costs far more than converting a record.
class Converter {
 public:
  Converter(const char* to, const char* from) : cd_(iconv_open(to, from)) {
    if (cd_ == reinterpret_cast<iconv_t>(-1))
      throw std::runtime_error(std::string("iconv cannot convert ") + from + " to " + to);
  }
  ~Converter() { iconv_close(cd_); }
  Converter(const Converter&) = delete;
  Converter& operator=(const Converter&) = delete;

  // Converts as much as it can; on return errno tells why it stopped
  // (0 when the input is used up).
  void run(const char*& in, size_t& inLeft, char*& out, size_t& outLeft) {
    iconv(cd_, nullptr, nullptr, nullptr, nullptr);
    char* src = const_cast<char*>(in);
    errno = 0;
    if (iconv(cd_, &src, &inLeft, &out, &outLeft) != static_cast<size_t>(-1)) errno = 0;
    in = src;
  }

 private:
  iconv_t cd_;
};

Converter& encoder() {
  thread_local Converter c(kShiftJis, kUtf16);
  return c;
}

Converter& decoder() {
  thread_local Converter c(kUtf16, kShiftJis);
  return c;
}

}  // namespace

QByteArray ToShiftJis(const QString& text) {
  // A UTF-16 unit never needs more than two bytes of code page 932, and a
  // surrogate pair becomes a single '?', so the output cannot outgrow this.
  QByteArray out(text.size() * 2, Qt::Uninitialized);
  const char* in = reinterpret_cast<const char*>(text.utf16());
  size_t inLeft = static_cast<size_t>(text.size()) * 2;
  char* dst = out.data();
  size_t outLeft = static_cast<size_t>(out.size());
  while (inLeft > 0) {
    encoder().run(in, inLeft, dst, outLeft);
    if (inLeft == 0) break;
    Q_ASSERT(errno != E2BIG);
    // Not representable, or a broken surrogate: one '?' for the character.
    const char16_t unit = *reinterpret_cast<const char16_t*>(in);
    size_t skip = 2;
    if (QChar::isHighSurrogate(unit) && inLeft >= 4 &&
        QChar::isLowSurrogate(*reinterpret_cast<const char16_t*>(in + 2)))
      skip = 4;
    *dst++ = '?';
    --outLeft;
    in += skip;
    inLeft -= skip;
  }
  out.truncate(dst - out.data());
  return out;
}

QString FromShiftJis(const char* bytes, qsizetype size) {
  // Every byte yields at most one UTF-16 unit: a pair of bytes decodes to one
  // character of the basic plane, any other byte to one character.
  QString out(size, Qt::Uninitialized);
  const char* in = bytes;
  size_t inLeft = static_cast<size_t>(size);
  char* dst = reinterpret_cast<char*>(out.data());
  size_t outLeft = static_cast<size_t>(size) * 2;
  while (inLeft > 0) {
    decoder().run(in, inLeft, dst, outLeft);
    if (inLeft == 0) break;
    Q_ASSERT(errno != E2BIG);
    // An invalid or cut-off sequence: replace its first byte only, so the
    // bytes after it (a line end, say) are read for what they are.
    const char16_t replacement = QChar::ReplacementCharacter;
    std::memcpy(dst, &replacement, 2);
    dst += 2;
    outLeft -= 2;
    ++in;
    --inLeft;
  }
  out.truncate((dst - reinterpret_cast<char*>(out.data())) / 2);
  return out;
}

QString FromShiftJis(const QByteArray& bytes) {
  return FromShiftJis(bytes.constData(), bytes.size());
}

}  // namespace platform
