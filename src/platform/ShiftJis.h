#pragma once
// The history files are Shift-JIS (code page 932); inside the program every
// text is a QString. These two functions are the only crossing between them.

#include <QtCore/QByteArray>
#include <QtCore/QString>

namespace platform {

// Encodes text as code page 932. A character the code page cannot hold
// (and a lone surrogate) becomes one '?'.
QByteArray ToShiftJis(const QString& text);

// Decodes code page 932. Never fails: each byte that does not start a valid
// character becomes one U+FFFD and decoding goes on with the next byte;
// NUL bytes are kept as U+0000.
QString FromShiftJis(const QByteArray& bytes);
QString FromShiftJis(const char* bytes, qsizetype size);

}  // namespace platform
