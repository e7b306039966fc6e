#pragma once
// The numeric cell's value rules, without a widget: what a text becomes
// when written into a cell, how a value is shown, and what each typed key
// makes of it. TSaNumEdit holds a TValueFormat and runs every change of its
// value through these functions.

#include <QtCore/QString>

#include <optional>

// The parts of a value text: sign, integer digits, point, decimals.
struct TSaNumParts {
  QString Sign;
  QString Integer;
  QString Point;
  QString Decimals;
};

namespace SaNum {

// The cell's limits and formatting, as its published properties set them.
struct TValueFormat {
  int IntegerLength = 9;   // integer digits a value may have
  int DecimalLength = 3;   // decimals a value may have; 0: no point
  bool Minus = true;       // a value may be negative
  bool Comma = true;       // integer digits shown in groups of three
  bool IntegerFixed = false;  // an empty integer part shown as "0"
  bool DecimalFixed = false;  // decimals shown padded to DecimalLength
  QString LeftMark;        // shown before a value, never alone
  QString RightMark;       // shown after a value, never alone

  friend bool operator==(const TValueFormat&, const TValueFormat&) = default;
};

// The plain character an input method's full-width digit, minus or point
// stands for; any other character unchanged.
QChar Narrowed(QChar c);

// Integer digits (a leading minus is not one) and decimals of a value text.
int IntegerDigits(const QString& value);
int DecimalDigits(const QString& value);

TSaNumParts SplitValue(const QString& value);
QString JoinValue(const QString& sign, const QString& integer, const QString& point, const QString& decimals);
QString GroupThousands(const QString& digits);

// The value as shown: grouped, fixed parts filled in.
QString FormatValue(const TValueFormat& format, const QString& value);
// The shown value between the marks; empty for an empty shown value.
QString FormatImage(const TValueFormat& format, const QString& value);
// The shown value up to the caret: what was typed, with the fixed parts
// filled in, the zeros of fixed decimals not counted.
QString CaretText(const TValueFormat& format, const QString& value);
// Where the caret stands in the image: after what was typed, the right
// mark and the zeros of fixed decimals not counted.
int CaretOffset(const TValueFormat& format, const QString& value);

// Turns any text into a value the cell can hold: full-width digits and
// signs are narrowed, commas dropped, and the text is cut at the first
// character that cannot continue a number. A number with more integer
// digits than the cell allows is not shortened (that would change it) but
// emptied.
QString FilterValue(const TValueFormat& format, const QString& text);
QString TrimLeadingZeros(const QString& text);

// What typing makes of a value; none when the limits refuse the key. The
// widget checks the visible width (eoORInputStop) on top.
std::optional<QString> WithDigit(const TValueFormat& format, const QString& value, QChar digit);
std::optional<QString> WithPoint(const TValueFormat& format, const QString& value);
// "-" toggles the sign; zeros are left alone, so an empty cell becomes a
// lone "-" that the next digits complete.
std::optional<QString> WithSignToggled(const TValueFormat& format, const QString& value);
// Backspace: the last character, and a point left at the end with it.
QString WithoutLast(const QString& value);

}  // namespace SaNum
