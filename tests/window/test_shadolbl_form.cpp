// The drill window's title, ShadowLabel1: its settings, and its look over
// the window's own background.

#include "window/DrillFixture.h"
#include "platform/Application.h"
#include "widgets/ShadoLbl.h"

#include <QtGui/QPainter>

using ShadowLabel1 = DrillFixture;

// The caption in grey at (2, 2), then in black at (-1, -1), then in navy at
// (0, 0), from the label's top left corner, over the window's colour, and
// nothing of it beyond the 366 x 35 box (Panel2 begins at 368).
TEST_F(ShadowLabel1, IsDrawnThreeTimesOverTheWindowWithinItsBox) {
  TShadowLabel* label = form->ShadowLabel1;
  EXPECT_EQ(label->geometry(), QRect(0, 0, 366, 35));
  EXPECT_EQ(label->font().pixelSize(), 35);
  EXPECT_TRUE(label->font().bold() && label->Transparent() && label->AutoSize());
  EXPECT_EQ(std::make_tuple(label->Ellipsis(), label->Gradation(), label->GradateVert(), label->TextGradation()),
            std::make_tuple(TShadowLabel::elNone, false, false, TShadowLabel::tgNone));

  const QRect area(0, 0, 368, 50);
  QApplication::processEvents();
  const QImage shown = form->grab(area).toImage().convertToFormat(QImage::Format_RGB32);
  QImage expected(area.size(), QImage::Format_RGB32);
  expected.fill(QColor(0xDB, 0xE0, 0xEE));
  {
    QPainter p(&expected);
    p.setFont(label->font());
    p.setClipRect(QRect(0, 0, 366, 35));
    const int baseline = QFontMetrics(label->font()).ascent();
    for (const auto& [dx, dy, colour] : {std::tuple{2, 2, QColor(0x80, 0x80, 0x80)},
                                         std::tuple{-1, -1, QColor(0, 0, 0)}, std::tuple{0, 0, QColor(0, 0, 0x80)}}) {
      p.setPen(colour);
      p.drawText(QPoint(dx, baseline + dy), QStringLiteral("Sorabe  Ver 1.10"));
    }
  }
  EXPECT_EQ(shown, expected);
  std::set<QRgb> colours;
  for (int y = 0; y < 35; ++y)
    for (int x = 0; x < 366; ++x) colours.insert(shown.pixel(x, y));
  for (QRgb c : {qRgb(0x80, 0x80, 0x80), qRgb(0, 0, 0), qRgb(0, 0, 0x80)}) EXPECT_TRUE(colours.count(c)) << std::hex << c;
}
