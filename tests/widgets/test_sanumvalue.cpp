// The cell's value rules and key rules without a cell: filtering, showing,
// trimming and typing, each under the limits and formatting that change it.

#include "widgets/SaNumKeys.h"
#include "widgets/SaNumValue.h"

#include <gtest/gtest.h>

#include <functional>

using SaNum::TValueFormat;

namespace {

enum class Rule { Filter, Format, Image, Trim, Caret, Digit, Point, Sign, Backspace };

// A format from the defaults (9 integer digits, 3 decimals, minus, commas)
// with one change.
TValueFormat With(const std::function<void(TValueFormat&)>& change) {
  TValueFormat format;
  change(format);
  return format;
}

const TValueFormat kDefault;
const TValueFormat kFixedDecimals = With([](TValueFormat& f) { f.DecimalFixed = true; });
const TValueFormat kFixedInteger = With([](TValueFormat& f) { f.IntegerFixed = true; });
const TValueFormat kNoComma = With([](TValueFormat& f) { f.Comma = false; });
const TValueFormat kNoMinus = With([](TValueFormat& f) { f.Minus = false; });
const TValueFormat kWhole = With([](TValueFormat& f) { f.DecimalLength = 0; });
const TValueFormat kTwoDigits = With([](TValueFormat& f) { f.IntegerLength = 2; f.DecimalLength = 1; });
const TValueFormat kFixedWhole = With([](TValueFormat& f) { f.DecimalFixed = true; f.DecimalLength = 0; });
const TValueFormat kMarks = With([](TValueFormat& f) {
  f.LeftMark = QStringLiteral("¥");
  f.RightMark = QStringLiteral("円");
});

// What a rule makes of `in`: "x" for a key the limits refuse; the caret as
// a number.
QString Apply(Rule rule, const TValueFormat& format, const QString& in) {
  const auto shown = [](const std::optional<QString>& v) { return v ? *v : QStringLiteral("x"); };
  switch (rule) {
    case Rule::Filter: return SaNum::TrimLeadingZeros(SaNum::FilterValue(format, in));
    case Rule::Format: return SaNum::FormatValue(format, in);
    case Rule::Image: return SaNum::FormatImage(format, in);
    case Rule::Trim: return SaNum::TrimLeadingZeros(in);
    case Rule::Caret: return QString::number(SaNum::CaretOffset(format, in));
    case Rule::Digit: return shown(SaNum::WithDigit(format, in, u'7'));
    case Rule::Point: return shown(SaNum::WithPoint(format, in));
    case Rule::Sign: return shown(SaNum::WithSignToggled(format, in));
    case Rule::Backspace: return SaNum::WithoutLast(in);
  }
  return {};
}

}  // namespace

TEST(SaNumValueRules, EachRuleUnderTheFormatThatShapesIt) {
  const struct {
    Rule rule;
    const TValueFormat& format;
    QString in;
    QString out;
  } rows[] = {
      // Written text becomes a number the cell can hold.
      {Rule::Filter, kDefault, u"１，２３４．５"_qs, "1234.5"},
      {Rule::Filter, kDefault, u"－７"_qs, "-7"},
      {Rule::Filter, kDefault, u"１２あ３"_qs, "12"},  // another wide character ends it
      {Rule::Filter, kDefault, "12.3456", "12.345"},
      {Rule::Filter, kDefault, "1.2.3", "1.2"},
      {Rule::Filter, kDefault, "5-", "5"},
      {Rule::Filter, kDefault, "1234567890", ""},  // too many digits is emptied, not shortened
      {Rule::Filter, kNoMinus, "-5", ""},
      {Rule::Filter, kWhole, "12.5", "12"},
      {Rule::Filter, kTwoDigits, "123", ""},
      // Shown: grouped, fixed parts filled in.
      {Rule::Format, kDefault, "1234567.5", "1,234,567.5"},
      {Rule::Format, kDefault, "-123", "-123"},
      {Rule::Format, kDefault, "123456", "123,456"},
      {Rule::Format, kDefault, "", ""},
      {Rule::Format, kFixedDecimals, "12.5", "12.500"},
      {Rule::Format, kFixedDecimals, "", "0.000"},
      {Rule::Format, kFixedDecimals, "-", "-0.000"},
      {Rule::Format, kFixedDecimals, "1.23", "1.230"},
      {Rule::Format, kFixedInteger, "", "0"},
      {Rule::Format, kNoComma, "1234", "1234"},
      {Rule::Image, kMarks, "", ""},  // marks never stand alone
      {Rule::Image, kMarks, "1234", u"¥1,234円"_qs},
      {Rule::Image, With([](TValueFormat& f) { f = kMarks; f.IntegerFixed = true; }), "", u"¥0円"_qs},
      // Leading zeros go from the integer part only.
      {Rule::Trim, kDefault, "007", "7"},
      {Rule::Trim, kDefault, "000", "0"},
      {Rule::Trim, kDefault, ".5", "0.5"},
      {Rule::Trim, kDefault, "-.5", "-0.5"},
      {Rule::Trim, kDefault, "00.5", "0.5"},
      {Rule::Trim, kDefault, "0.05", "0.05"},
      {Rule::Trim, kDefault, "-0", "-0"},
      {Rule::Trim, kDefault, "-", "-"},
      {Rule::Trim, kDefault, "-007", "-7"},
      {Rule::Trim, kDefault, "100", "100"},
      // The caret stands after what was typed: not after the right mark or
      // the zeros fixed decimals add.
      {Rule::Caret, kDefault, "", "0"},
      {Rule::Caret, kDefault, "1234", "5"},
      {Rule::Caret, kMarks, "1234", "6"},
      {Rule::Caret, kFixedDecimals, "1.2", "3"},
      {Rule::Caret, kFixedDecimals, "", "1"},
      // Decimals undo brought back that the fixed decimals no longer show:
      // the caret stays at the end of "0.".
      {Rule::Caret, kFixedWhole, "0.9", "2"},
      // Typing.
      {Rule::Digit, kDefault, "", "7"},
      {Rule::Digit, kDefault, "0", "7"},
      {Rule::Digit, kDefault, "123456789", "x"},
      {Rule::Digit, kDefault, "1.23", "1.237"},
      {Rule::Digit, kDefault, "1.234", "x"},
      {Rule::Digit, kTwoDigits, "-12", "x"},
      {Rule::Point, kDefault, "", "."},  // the cell trims it to "0." as it takes it
      {Rule::Point, kDefault, "1.2", "x"},
      {Rule::Point, kWhole, "1", "x"},
      {Rule::Sign, kDefault, "", "-"},
      {Rule::Sign, kDefault, "12", "-12"},
      {Rule::Sign, kDefault, "-12", "12"},
      {Rule::Sign, kNoMinus, "12", "x"},
      {Rule::Backspace, kDefault, "12", "1"},
      {Rule::Backspace, kDefault, "1.5", "1"},  // the point goes with its last decimal
      {Rule::Backspace, kDefault, "-", ""},
  };
  for (const auto& row : rows)
    EXPECT_EQ(Apply(row.rule, row.format, row.in), row.out)
        << "rule " << int(row.rule) << " on \"" << row.in.toStdString() << "\"";
}

TEST(SaNumKeyRules, TheCharacterEachKeyYields) {
  const Qt::KeyboardModifiers none, shift = Qt::ShiftModifier, ctrl = Qt::ControlModifier,
                                    alt = Qt::AltModifier;
  const struct {
    int key;
    Qt::KeyboardModifiers modifiers;
    QString text;
    char16_t yields;
  } rows[] = {
      {Qt::Key_5, none, "5", u'5'},        {Qt::Key_Minus, none, "-", u'-'},
      {Qt::Key_A, shift, "A", u'A'},       {Qt::Key_Return, none, "\r", 13},
      {Qt::Key_Enter, none, "\r", 13},     {Qt::Key_Backspace, none, "\b", 8},
      {Qt::Key_Escape, none, "\x1b", 27},  {Qt::Key_C, ctrl, "\x03", 3},
      {Qt::Key_Z, ctrl, "\x1a", 26},       {Qt::Key_5, ctrl, "5", 0},
      {Qt::Key_5, alt, "5", 0},            {Qt::Key_Return, alt, "\r", 0},
      {Qt::Key_Left, none, "", 0},         {Qt::Key_Delete, none, "\x7f", 0},
      {Qt::Key_F1, none, "", 0},           {0, none, u"５"_qs, u'５'},  // an input method's wide digit
  };
  for (const auto& row : rows)
    EXPECT_EQ(SaNum::CharacterOf(row.key, SaNum::ShiftState(row.modifiers), row.text), QChar(row.yields))
        << std::hex << row.key;
  EXPECT_TRUE(SaNum::IsEditingKey(Qt::Key_Delete) && SaNum::IsEditingKey(Qt::Key_Home));
  EXPECT_FALSE(SaNum::IsEditingKey(Qt::Key_Tab) || SaNum::IsEditingKey(Qt::Key_5));
  EXPECT_TRUE(SaNum::IsTab(Qt::Key_Backtab));
  EXPECT_EQ(SaNum::Narrowed(u'５'), QChar(u'5'));
  EXPECT_EQ(SaNum::Narrowed(u'－'), QChar(u'-'));
  EXPECT_EQ(SaNum::Narrowed(u'．'), QChar(u'.'));
}
