#include "widgets/SaNumValue.h"

namespace SaNum {

namespace {

constexpr QChar kPoint = u'.';
constexpr QChar kMinus = u'-';

bool isAsciiDigit(QChar c) { return c >= u'0' && c <= u'9'; }

}  // namespace

QChar Narrowed(QChar c) {
  const char16_t u = c.unicode();
  if (u >= 0xFF10 && u <= 0xFF19) return QChar(char16_t(u'0' + (u - 0xFF10)));
  if (u == 0xFF0D) return kMinus;
  if (u == 0xFF0E) return kPoint;
  return c;
}

int IntegerDigits(const QString& value) {
  const qsizetype point = value.indexOf(kPoint);
  qsizetype n = point >= 0 ? point : value.size();
  if (value.startsWith(kMinus)) --n;
  return int(n);
}

int DecimalDigits(const QString& value) {
  const qsizetype point = value.indexOf(kPoint);
  return point >= 0 ? int(value.size() - point - 1) : 0;
}

TSaNumParts SplitValue(const QString& value) {
  TSaNumParts parts;
  QString rest = value;
  if (rest.startsWith(kMinus)) {
    parts.Sign = QString(kMinus);
    rest.remove(0, 1);
  }
  const qsizetype point = rest.indexOf(kPoint);
  if (point >= 0) {
    parts.Integer = rest.left(point);
    parts.Point = QString(kPoint);
    parts.Decimals = rest.mid(point + 1);
  } else {
    parts.Integer = rest;
  }
  return parts;
}

QString JoinValue(const QString& sign, const QString& integer, const QString& point, const QString& decimals) {
  return sign + integer + point + decimals;
}

QString GroupThousands(const QString& digits) {
  QString grouped;
  const qsizetype n = digits.size();
  grouped.reserve(n + n / 3);
  for (qsizetype i = 0; i < n; ++i) {
    if (i > 0 && (n - i) % 3 == 0) grouped += u',';
    grouped += digits[i];
  }
  return grouped;
}

QString FormatValue(const TValueFormat& format, const QString& value) {
  TSaNumParts p = SplitValue(value);
  if (format.Comma) p.Integer = GroupThousands(p.Integer);
  if (format.DecimalFixed) {
    p.Decimals = (p.Decimals + QString(format.DecimalLength, u'0')).left(format.DecimalLength);
    if (format.DecimalLength > 0) p.Point = QString(kPoint);
  }
  if (p.Integer.isEmpty() && (format.IntegerFixed || format.DecimalFixed)) p.Integer = QStringLiteral("0");
  return JoinValue(p.Sign, p.Integer, p.Point, p.Decimals);
}

QString FormatImage(const TValueFormat& format, const QString& value) {
  const QString shown = FormatValue(format, value);
  if (shown.isEmpty()) return QString();
  return format.LeftMark + shown + format.RightMark;
}

QString CaretText(const TValueFormat& format, const QString& value) {
  const TSaNumParts p = SplitValue(value);
  QString integer = format.Comma ? GroupThousands(p.Integer) : p.Integer;
  if (integer.isEmpty() && (format.IntegerFixed || format.DecimalFixed)) integer = QStringLiteral("0");
  const qsizetype typed = p.Sign.size() + integer.size() + p.Point.size() + p.Decimals.size();
  // What was typed is the front of the shown value, except for decimals
  // that fixed decimals no longer show (a value undo brought back from
  // before DecimalLength shrank): the caret stays at the end of what is shown.
  return FormatValue(format, value).left(typed);
}

int CaretOffset(const TValueFormat& format, const QString& value) {
  if (FormatImage(format, value).isEmpty()) return 0;
  return int(format.LeftMark.size() + CaretText(format, value).size());
}

QString FilterValue(const TValueFormat& format, const QString& text) {
  QString narrow;
  narrow.reserve(text.size());
  for (QChar c : text) {
    const char16_t u = c.unicode();
    if (u < 0x80) {
      narrow += c;
    } else if (u == 0xFF0C) {
      continue;  // full-width comma
    } else {
      const QChar n = Narrowed(c);
      if (n == c) break;  // any other wide character ends the text
      narrow += n;
    }
  }

  QString taken;
  taken.reserve(narrow.size());
  bool point = false;
  for (qsizetype i = 0; i < narrow.size(); ++i) {
    const QChar c = narrow[i];
    if (isAsciiDigit(c)) {
      taken += c;
    } else if (c == u',') {
      continue;
    } else if (c == kPoint) {
      if (format.DecimalLength == 0 || point) break;
      point = true;
      taken += c;
    } else if (c == kMinus) {
      if (!format.Minus || i != 0) break;
      taken += c;
    } else {
      break;
    }
  }

  if (taken.isEmpty()) return taken;
  const qsizetype p = taken.indexOf(kPoint);
  if (p >= 0 && taken.size() - p - 1 > format.DecimalLength) taken.truncate(p + 1 + format.DecimalLength);
  if (IntegerDigits(taken) > format.IntegerLength) taken.clear();
  return taken;
}

QString TrimLeadingZeros(const QString& text) {
  QString sign;
  QString rest = text;
  if (rest.startsWith(kMinus)) {
    sign = QString(kMinus);
    rest.remove(0, 1);
  }
  qsizetype zeros = 0;
  while (zeros < rest.size() && rest[zeros] == u'0') ++zeros;
  rest.remove(0, zeros);
  if (zeros > 0 && rest.isEmpty()) rest = QStringLiteral("0");
  if (rest.startsWith(kPoint)) rest.prepend(u'0');
  return sign + rest;
}

std::optional<QString> WithDigit(const TValueFormat& format, const QString& value, QChar digit) {
  const bool inDecimals = format.DecimalLength > 0 && value.contains(kPoint);
  const bool allowed = inDecimals ? DecimalDigits(value) < format.DecimalLength
                                  : IntegerDigits(value) < format.IntegerLength;
  if (!allowed) return std::nullopt;
  return TrimLeadingZeros(value + digit);
}

std::optional<QString> WithPoint(const TValueFormat& format, const QString& value) {
  if (format.DecimalLength == 0 || value.contains(kPoint)) return std::nullopt;
  return value + kPoint;
}

std::optional<QString> WithSignToggled(const TValueFormat& format, const QString& value) {
  if (!format.Minus) return std::nullopt;
  if (value.contains(kMinus)) return QString(value).remove(kMinus);
  return kMinus + value;
}

QString WithoutLast(const QString& value) {
  QString shorter = value;
  shorter.chop(1);
  if (shorter.endsWith(kPoint)) shorter.chop(1);
  return shorter;
}

}  // namespace SaNum
