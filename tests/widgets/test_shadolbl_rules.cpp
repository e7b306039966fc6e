// The shadow label's rules that need no window: gradient colours, the
// three-colour split, the painted caption and the placement of the text.

#include "widgets/ShadoLblRules.h"

#include <QtGui/QImage>

#include <gtest/gtest.h>

#include <vector>

using namespace ShadoLbl;

namespace {

constexpr Rgb kNavy{0x00, 0x00, 0x80};
constexpr Rgb kMaroon{0x80, 0x00, 0x00};

std::vector<Rgb> steps(Rgb start, Rgb end, int n) {
  std::vector<Rgb> out;
  for (int i = 0; i < n; ++i) out.push_back(GradientStep(start, end, i, n));
  return out;
}

Rgb pixel(const QImage& image, int x, int y) {
  const QRgb p = image.pixel(x, y);
  return {qRed(p), qGreen(p), qBlue(p)};
}

}  // namespace

TEST(ShadowLabelRules, GradedCharactersTruncateEachComponent) {
  EXPECT_EQ(steps(kNavy, kMaroon, 2), (std::vector<Rgb>{kNavy, kMaroon}));
  EXPECT_EQ(steps(kNavy, kMaroon, 3), (std::vector<Rgb>{kNavy, {0x40, 0, 0x40}, kMaroon}));
  EXPECT_EQ(steps(kNavy, kMaroon, 4),
            (std::vector<Rgb>{kNavy, {0x2A, 0, 0x55}, {0x55, 0, 0x2A}, kMaroon}));
  // A falling component truncates toward zero too: 255 - 255/2 is 127.5.
  EXPECT_EQ(GradientStep({255, 0, 0}, {0, 0, 0}, 1, 3), (Rgb{127, 0, 0}));
}

// Floating arithmetic gives 49 * (1 / 49.0) = 0.999…, which would truncate
// to 0: a gradient whose steps are whole numbers must hit each of them.
TEST(ShadowLabelRules, StepsThatAreWholeNumbersAreExact) {
  for (int n = 2; n <= 256; ++n) {
    const int last = n - 1;
    for (int i = 0; i < n; ++i) {
      const Rgb c = GradientStep({0, last, 0}, {last, 0, 0}, i, n);
      ASSERT_EQ(c, (Rgb{i, last - i, 0})) << "n=" << n << " i=" << i;
    }
  }
}

TEST(ShadowLabelRules, AOnePixelGradientIsItsStartColour) {
  EXPECT_EQ(GradientStep(kNavy, kMaroon, 0, 1), kNavy);
  QImage column(1, 7, QImage::Format_RGB32), row(9, 1, QImage::Format_RGB32);
  FillGradientBitmap(column, kNavy, kMaroon, false);
  FillGradientBitmap(row, kNavy, kMaroon, true);
  for (int y = 0; y < 7; ++y) EXPECT_EQ(pixel(column, 0, y), kNavy);
  for (int x = 0; x < 9; ++x) EXPECT_EQ(pixel(row, x, 0), kNavy);
}

TEST(ShadowLabelRules, ACaptionSplitsAtHalfItsCodePage932Bytes) {
  struct Case {
    const char16_t* caption;
    const char16_t* first;
  };
  const Case cases[] = {
      {u"ABCD", u"AB"},
      {u"ABCDE", u"AB"},
      {u"あいう", u"あい"},       // 6 bytes: the first two characters start within 3
      {u"あAB", u"あ"},           // 4 bytes: "A" starts at byte 2
      {u"ABあ", u"AB"},
      {u"ｱｲｳｴ", u"ｱｲ"},           // half-width katakana are single bytes
      {u"한ABC", u"한A"},         // not in the code page: one "?"
      {u"\U0002000BAB", u"\U0002000B"},  // a surrogate pair is one character, one "?"
  };
  for (const Case& c : cases) {
    const QString caption = QString::fromUtf16(c.caption);
    EXPECT_EQ(caption.left(ThreeColorSplit(caption)), QString::fromUtf16(c.first))
        << caption.toStdString();
  }
}

TEST(ShadowLabelRules, CharactersAreCodePoints) {
  const QString text = QString::fromUtf16(u"a\U0002000Bあ");
  EXPECT_EQ(CharacterCount(text), 3);
  const std::vector<QStringView> chars = Characters(text);
  ASSERT_EQ(chars.size(), 3u);
  EXPECT_EQ(chars[1].size(), 2);
  // A lone surrogate is a character of its own.
  EXPECT_EQ(CharacterCount(QString(QChar(0xD800)) + QChar(u'a')), 2);
  EXPECT_EQ(Cp932Length(u"＋"), 2);
  EXPECT_EQ(Cp932Length(u"ｱ"), 1);
  EXPECT_EQ(Cp932Length(u"\U0002000B"), 1);
}

TEST(ShadowLabelRules, AnEmptyCaptionOrALoneAmpersandGetsABlank) {
  struct Case {
    const char16_t* caption;
    bool showAccelChar;
    const char16_t* painted;
  };
  const Case cases[] = {{u"", true, u" "},   {u"", false, u" "},    {u"&", true, u"& "},
                        {u"&", false, u"&"}, {u"&&", true, u"&&"}, {u"A", true, u"A"}};
  for (const Case& c : cases)
    EXPECT_EQ(PaintedCaption(QString::fromUtf16(c.caption), c.showAccelChar),
              QString::fromUtf16(c.painted))
        << QString::fromUtf16(c.caption).toStdString() << " " << c.showAccelChar;
}

TEST(ShadowLabelRules, TheTextBlockMovesByLayoutTruncatingTowardZero) {
  EXPECT_EQ(LayoutShift(tlTop, 35, 12), 0);
  EXPECT_EQ(LayoutShift(tlCenter, 35, 12), 11);
  EXPECT_EQ(LayoutShift(tlCenter, 35, 40), -2);
  EXPECT_EQ(LayoutShift(tlBottom, 35, 12), 23);
  EXPECT_EQ(LayoutShift(tlBottom, 35, 40), -5);
}

TEST(ShadowLabelRules, FlagsFollowTheProperties) {
  EXPECT_EQ(LabelTextFlags(taLeftJustify, false, true, elNone), (TextFlags{}));
  EXPECT_EQ(LabelTextFlags(taCenter, true, false, elPath),
            (TextFlags{taCenter, true, true, elPath}));
}
