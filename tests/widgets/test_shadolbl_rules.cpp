// The shadow label's rules that need no window: gradient steps, the
// three-colour split, the painted caption and the placement of the text.

#include "widgets/ShadoLblRules.h"

#include <QtGui/QImage>

#include <gtest/gtest.h>

using namespace ShadoLbl;

// Floating arithmetic gives 49 * (1 / 49.0) = 0.999…, which would truncate
// to 0: a gradient whose steps are whole numbers must hit each of them. A
// gradient one pixel long is its start colour.
TEST(ShadowLabelRules, GradientStepsThatAreWholeNumbersAreExact) {
  for (int n = 2; n <= 256; ++n)
    for (int i = 0; i < n; ++i)
      ASSERT_EQ(GradientStep({0, n - 1, 0}, {n - 1, 0, 0}, i, n), (Rgb{i, n - 1 - i, 0})) << n << " " << i;
  const Rgb navy{0, 0, 0x80}, maroon{0x80, 0, 0};
  EXPECT_EQ(GradientStep(navy, maroon, 0, 1), navy);
  QImage column(1, 7, QImage::Format_RGB32);
  FillGradientBitmap(column, navy, maroon, false);
  EXPECT_EQ(column.pixel(0, 6), qRgb(0, 0, 0x80));
}

TEST(ShadowLabelRules, ACaptionSplitsAtHalfItsCodePage932Bytes) {
  const std::pair<const char16_t*, const char16_t*> cases[] = {
      {u"ABCD", u"AB"},
      {u"ABCDE", u"AB"},
      {u"あいう", u"あい"},              // 6 bytes: two characters start within 3
      {u"あAB", u"あ"},                  // 4 bytes: "A" starts at byte 2
      {u"ｱｲｳｴ", u"ｱｲ"},                  // half-width katakana are single bytes
      {u"한ABC", u"한A"},                // not in the code page: one "?"
      {u"\U0002000BAB", u"\U0002000B"},  // a surrogate pair: one character, one "?"
  };
  for (const auto& [caption, first] : cases) {
    const QString text = QString::fromUtf16(caption);
    EXPECT_EQ(text.left(ThreeColorSplit(text)), QString::fromUtf16(first)) << text.toStdString();
  }
}

TEST(ShadowLabelRules, PaintedCaptionAndLayoutShift) {
  EXPECT_EQ(PaintedCaption(QString(), false), QStringLiteral(" "));
  EXPECT_EQ(PaintedCaption(QStringLiteral("&"), true), QStringLiteral("& "));
  EXPECT_EQ(PaintedCaption(QStringLiteral("&"), false), QStringLiteral("&"));
  EXPECT_EQ(PaintedCaption(QStringLiteral("&&"), true), QStringLiteral("&&"));
  EXPECT_EQ(LayoutShift(tlCenter, 35, 12), 11);
  EXPECT_EQ(LayoutShift(tlCenter, 35, 40), -2);  // toward zero
  EXPECT_EQ(LayoutShift(tlBottom, 35, 40), -5);
  EXPECT_EQ(LayoutShift(tlTop, 35, 12), 0);
}
