// Shift-JIS (code page 932) at the file boundary. The input is read twice:
// as bytes to decode, and as UTF-16 units to encode.
//   - decoding never fails, and gives at most one unit a byte;
//   - bytes that decode cleanly come back from encoding as they were, or
//     as the code page's preferred spelling of the same characters;
//   - a string comes back from encoding and decoding as it was, each
//     character the code page cannot hold as one '?'.

#include "FuzzCheck.h"

#include "platform/ShiftJis.h"

#include <QtCore/QCoreApplication>

namespace {

using platform::FromShiftJis;
using platform::ToShiftJis;

void CheckBytes(const QByteArray& bytes) {
  const QString text = FromShiftJis(bytes);
  FUZZ_CHECK(text.size() <= bytes.size(), fuzz::Show(bytes));
  if (text.contains(QChar::ReplacementCharacter)) return;

  // A character with two codes (the NEC and IBM rows) is written in the one
  // the encoder prefers, so the round trip may change such bytes, but the
  // preferred spelling is a fixed point and reads as the same text.
  const QByteArray again = ToShiftJis(text);
  FUZZ_CHECK(FromShiftJis(again) == text, fuzz::Show(bytes) + u'\n' + fuzz::Show(again));
  FUZZ_CHECK(ToShiftJis(FromShiftJis(again)) == again, fuzz::Show(again));
  FUZZ_CHECK(again.size() == bytes.size(), fuzz::Show(bytes) + u'\n' + fuzz::Show(again));
  // ASCII and the single-byte katakana have one code only.
  bool singleOnly = true;
  for (char b : bytes) {
    const auto u = static_cast<unsigned char>(b);
    if (u >= 0x80 && !(u >= 0xA1 && u <= 0xDF)) singleOnly = false;
  }
  if (singleOnly) FUZZ_CHECK(again == bytes, fuzz::Show(bytes) + u'\n' + fuzz::Show(again));
}

// The characters of s, surrogate pairs kept together.
QStringList Characters(const QString& s) {
  QStringList out;
  for (qsizetype i = 0; i < s.size(); ++i) {
    const bool pair = s[i].isHighSurrogate() && i + 1 < s.size() && s[i + 1].isLowSurrogate();
    out << s.mid(i, pair ? 2 : 1);
    if (pair) ++i;
  }
  return out;
}

void CheckText(const QString& s) {
  // Character by character: one the code page holds reads back as itself,
  // one it cannot hold as '?', and a few (U+2016 and the like) as the
  // character the code page writes for them. A whole string reads back as
  // its characters do one by one.
  QString expected;
  for (const QString& c : Characters(s)) {
    const QString back = FromShiftJis(ToShiftJis(c));
    FUZZ_CHECK(back.size() == 1 && !back.front().isSurrogate() && back != QChar::ReplacementCharacter,
               fuzz::Show(c) + u'\n' + fuzz::Show(back));
    expected += back;
  }
  const QByteArray encoded = ToShiftJis(s);
  FUZZ_CHECK(encoded.size() <= 2 * s.size(), fuzz::Show(s));
  FUZZ_CHECK(FromShiftJis(encoded) == expected,
             fuzz::Show(s) + u'\n' + fuzz::Show(FromShiftJis(encoded)) + u'\n' + fuzz::Show(expected));
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
  static QCoreApplication app(*argc, *argv);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
  CheckBytes(bytes);
  QString text(qsizetype(size / 2), Qt::Uninitialized);
  for (std::size_t i = 0; i + 1 < size; i += 2) text[qsizetype(i / 2)] = QChar(char16_t(data[i] | data[i + 1] << 8));
  CheckText(text);
  return 0;
}
