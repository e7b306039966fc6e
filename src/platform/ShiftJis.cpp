#include "platform/ShiftJis.h"

#include <QtCore/QSysInfo>

#include <cerrno>
#include <cstring>
#include <iconv.h>
#include <stdexcept>
#include <string>
#include <vector>

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

// Decoding is a look-up in a table taken from iconv once per process: the
// histories are decoded line by line, and a call into iconv per line would
// cost more than the decoding itself.
class DecodeTable {
 public:
  static constexpr char16_t kNone = 0xFFFF;  // never the result of decoding

  DecodeTable() {
    Converter iconv(kUtf16, kShiftJis);
    std::memset(lead_, -1, sizeof lead_);
    int leads = 0;
    for (int b = 0; b < 256; ++b) {
      const char in[1] = {static_cast<char>(b)};
      single_[b] = decodeOne(iconv, in, 1);
      if (single_[b] == kNone && errno == EINVAL) lead_[b] = static_cast<short>(leads++);
    }
    pairs_.assign(static_cast<size_t>(leads) * 256, kNone);
    for (int b = 0; b < 256; ++b) {
      if (lead_[b] < 0) continue;
      for (int t = 0; t < 256; ++t) {
        const char in[2] = {static_cast<char>(b), static_cast<char>(t)};
        pairs_[static_cast<size_t>(lead_[b]) * 256 + t] = decodeOne(iconv, in, 2);
      }
    }
  }

  // Decodes [p, end) into out (room for one unit per byte); gives the end of
  // what was written.
  char16_t* decode(const unsigned char* p, const unsigned char* end, char16_t* out) const {
    while (p != end) {
      const unsigned char b = *p;
      const char16_t c = single_[b];
      if (c != kNone) {
        *out++ = c;
        ++p;
        continue;
      }
      if (lead_[b] >= 0 && end - p >= 2) {
        const char16_t pair = pairs_[static_cast<size_t>(lead_[b]) * 256 + p[1]];
        if (pair != kNone) {
          *out++ = pair;
          p += 2;
          continue;
        }
      }
      // An invalid or cut-off sequence: replace its first byte only, so the
      // bytes after it (a line end, say) are read for what they are.
      *out++ = QChar::ReplacementCharacter;
      ++p;
    }
    return out;
  }

 private:
  // The one character that exactly these bytes decode to, else kNone with
  // errno telling why (EINVAL: the bytes begin a longer character).
  static char16_t decodeOne(Converter& iconv, const char* in, size_t size) {
    char16_t unit = kNone;
    char* out = reinterpret_cast<char*>(&unit);
    size_t outLeft = sizeof unit;
    iconv.run(in, size, out, outLeft);
    return size == 0 && outLeft == 0 ? unit : kNone;
  }

  char16_t single_[256];
  short lead_[256];
  std::vector<char16_t> pairs_;
};

const DecodeTable& decodeTable() {
  static const DecodeTable table;
  return table;
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
  // Every byte yields at most one UTF-16 unit.
  QString out(size, Qt::Uninitialized);
  const auto* in = reinterpret_cast<const unsigned char*>(bytes);
  char16_t* begin = reinterpret_cast<char16_t*>(out.data());
  out.truncate(decodeTable().decode(in, in + size, begin) - begin);
  return out;
}

QString FromShiftJis(const QByteArray& bytes) {
  return FromShiftJis(bytes.constData(), bytes.size());
}

}  // namespace platform
