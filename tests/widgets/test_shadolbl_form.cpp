// The drill window's title, ShadowLabel1: its settings, and its look drawn
// over the window's own background.

#include "main/DrillFixture.h"
#include "platform/Application.h"
#include "widgets/ShadoLbl.h"

#include <QtGui/QPainter>

#include <tuple>

using ShadowLabel1 = DrillFixture;

TEST_F(ShadowLabel1, KeepsTheSettingsOfTheLayout) {
  TShadowLabel* label = form->ShadowLabel1;
  EXPECT_EQ(label->geometry(), QRect(0, 0, 366, 35));
  EXPECT_EQ(label->Caption(), QStringLiteral("Sorabe  Ver 1.10"));
  EXPECT_EQ(label->font().family(), QString::fromUtf16(platform::kWindowFontFamily));
  EXPECT_EQ(label->font().pixelSize(), 35);
  EXPECT_TRUE(label->font().bold());
  EXPECT_EQ(label->FontColor(), clNavy);
  EXPECT_TRUE(label->Transparent());
  EXPECT_TRUE(label->AutoSize());
  EXPECT_EQ(std::make_tuple(label->Ellipsis(), label->Gradation(), label->GradateVert(),
                            label->TextGradation(), label->Alignment(), label->Layout()),
            std::make_tuple(TShadowLabel::elNone, false, false, TShadowLabel::tgNone,
                            taLeftJustify, tlTop));
  const TShadow* h = label->Highlight();
  const TShadow* s = label->Shadow();
  EXPECT_EQ(std::make_tuple(h->Visible(), h->Color(), h->OffsetLeft(), h->OffsetTop()),
            std::make_tuple(true, clBlack, -1, -1));
  EXPECT_EQ(std::make_tuple(s->Visible(), s->Color(), s->OffsetLeft(), s->OffsetTop()),
            std::make_tuple(true, clGray, 2, 2));
}

// The caption in grey at (2, 2), then in black at (-1, -1), then in navy at
// (0, 0), each from the label's top left corner, over the window's colour,
// and nothing of it beyond the 366 x 35 box (Panel2 begins at 368).
TEST_F(ShadowLabel1, IsDrawnThreeTimesOverTheWindowWithinItsBox) {
  const QRect area(0, 0, 368, 50);
  QApplication::processEvents();
  const QImage shown = form->grab(area).toImage().convertToFormat(QImage::Format_RGB32);

  QImage expected(area.size(), QImage::Format_RGB32);
  expected.fill(QColor(0xDB, 0xE0, 0xEE));
  {
    QPainter p(&expected);
    p.setFont(form->ShadowLabel1->font());
    p.setClipRect(QRect(0, 0, 366, 35));
    const QString caption = QStringLiteral("Sorabe  Ver 1.10");
    const int baseline = QFontMetrics(form->ShadowLabel1->font()).ascent();
    const std::tuple<int, int, QColor> copies[] = {{2, 2, QColor(0x80, 0x80, 0x80)},
                                                   {-1, -1, QColor(0, 0, 0)},
                                                   {0, 0, QColor(0, 0, 0x80)}};
    for (const auto& [dx, dy, colour] : copies) {
      p.setPen(colour);
      p.drawText(QPoint(dx, baseline + dy), caption);
    }
  }
  int differing = 0;
  for (int y = 0; y < area.height(); ++y)
    for (int x = 0; x < area.width(); ++x) differing += shown.pixel(x, y) != expected.pixel(x, y);
  EXPECT_EQ(differing, 0);
  // The three colours all show.
  for (QRgb colour : {qRgb(0x80, 0x80, 0x80), qRgb(0, 0, 0), qRgb(0, 0, 0x80)}) {
    bool found = false;
    for (int y = 0; y < 35 && !found; ++y)
      for (int x = 0; x < 366 && !found; ++x) found = shown.pixel(x, y) == colour;
    EXPECT_TRUE(found) << std::hex << colour;
  }
}
