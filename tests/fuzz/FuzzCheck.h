#pragma once
// What every fuzz target shares: the entry points libFuzzer calls, and a
// check that stops the run with the broken rule and the values involved.
// The same targets are built with libFuzzer (make fuzz) and with the replay
// main that feeds them the committed corpus (make test).

#include <QtCore/QByteArray>
#include <QtCore/QString>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv);
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

namespace fuzz {

[[noreturn]] inline void Fail(const char* rule, const char* file, int line, const QString& detail) {
  std::fprintf(stderr, "%s:%d: broken: %s\n", file, line, rule);
  if (!detail.isEmpty()) std::fprintf(stderr, "  %s\n", detail.toUtf8().constData());
  std::fflush(stderr);
  std::abort();
}

// Shows a string with every unit outside printable ASCII as \uXXXX.
inline QString Show(const QString& s) {
  QString out = QStringLiteral("\"");
  for (QChar c : s) {
    if (c.unicode() >= 0x20 && c.unicode() < 0x7F)
      out += c;
    else
      out += QStringLiteral("\\u%1").arg(int(c.unicode()), 4, 16, QLatin1Char('0'));
  }
  return out + u'"';
}

inline QString Show(const QByteArray& b) { return QString::fromLatin1(b.toHex(' ')); }

}  // namespace fuzz

#define FUZZ_CHECK(rule, detail) \
  do {                           \
    if (!(rule)) ::fuzz::Fail(#rule, __FILE__, __LINE__, (detail)); \
  } while (0)
