#include "platform/Exception.h"

#include <utility>

Exception::Exception(QString message) : message_(std::move(message)), utf8_(message_.toUtf8()) {}

EInOutError::EInOutError(int errorCode, QString message)
    : Exception(std::move(message)), ErrorCode(errorCode) {}

bool TryStrToInt(const QString& text, int& value) {
  // Only plain ASCII decimal numbers count; QString::toInt would also take
  // blanks around the number, which a cell never holds.
  if (text.isEmpty()) return false;
  qsizetype i = 0;
  if (text[0] == u'-' || text[0] == u'+') i = 1;
  if (i == text.size()) return false;
  for (qsizetype k = i; k < text.size(); ++k)
    if (text[k] < u'0' || text[k] > u'9') return false;
  bool ok = false;
  const int v = text.toInt(&ok, 10);
  if (!ok) return false;
  value = v;
  return true;
}

int StrToInt(const QString& text) {
  int value = 0;
  if (!TryStrToInt(text, value))
    throw EConvertError(QStringLiteral("'%1' は整数ではありません").arg(text));
  return value;
}
