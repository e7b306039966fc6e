// The shadow label on screen: copies, backgrounds, graded captions,
// properties, settings objects, automatic size, accelerator and mouse.
// Pictures come from grab(); the text is drawn without antialiasing so that
// every glyph pixel has its exact colour.

#include "common/TestSupport.h"
#include "platform/Application.h"
#include "widgets/ShadoLbl.h"

#include <QtGui/QPainter>
#include <QtTest/QTest>
#include <QtWidgets/QApplication>
#include <QtWidgets/QLineEdit>

#include <gtest/gtest.h>

#include <memory>
#include <set>

namespace {

QFont crispFont(int pixels) {
  QFont font(QString::fromUtf16(platform::kWindowFontFamily));
  font.setPixelSize(pixels);
  font.setStyleStrategy(QFont::NoAntialias);
  return font;
}

QRgb rgb(TColor c) { return ColorToQColor(c).rgb(); }

const QString kSquare = QStringLiteral("■");  // paints a solid block
constexpr TColor kGreen = RGBColor(0, 0xFF, 0);

struct PaintCounter : QObject {
  explicit PaintCounter(QWidget* w) { w->installEventFilter(this); }
  bool eventFilter(QObject*, QEvent* e) override {
    paints += e->type() == QEvent::Paint;
    return false;
  }
  int paints = 0;
};

// A shown white parent with one label of a fixed size on it.
struct Stage {
  std::unique_ptr<QWidget> parent = std::make_unique<QWidget>();
  TShadowLabel* label = new TShadowLabel(parent.get());

  explicit Stage(QRect geometry = {10, 10, 140, 60}) {
    parent->resize(geometry.right() + 30, geometry.bottom() + 30);
    parent->setPalette(QPalette(Qt::black, Qt::white));
    parent->setAutoFillBackground(true);
    label->SetAutoSize(false);
    label->setGeometry(geometry);
    label->setFont(crispFont(30));
    parent->show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(parent.get()));
  }
  QImage picture(QRect area = {}) const {
    QApplication::processEvents();
    return parent->grab(area.isNull() ? label->geometry() : area).toImage().convertToFormat(QImage::Format_RGB32);
  }
};

void setCopy(TShadow* copy, TColor colour, int left, int top, bool visible = true) {
  copy->SetColor(colour);
  copy->SetOffsetLeft(left);
  copy->SetOffsetTop(top);
  copy->SetVisible(visible);
}

}  // namespace

// Each pixel shows the caption where it covers it, else the highlight, else
// the shadow, else the background; disabled, the colours are the system's.
TEST(ShadowLabelLook, CopiesLieUnderTheCaptionAtTheirOffsetsInTheirColours) {
  struct Case {
    int sl, st, hl, ht;
    bool shadow, highlight, enabled;
  };
  for (const Case& c : {Case{2, 2, -1, -1, true, true, true}, Case{-3, 1, 2, -2, true, true, true},
                        Case{1, 1, -1, -1, false, false, true}, Case{3, 0, 0, 3, true, false, true},
                        Case{2, 2, -1, -1, true, true, false}}) {
    Stage stage;
    TShadowLabel* label = stage.label;
    label->SetCaption(kSquare + kSquare);
    label->SetColor(RGBColor(0xFF, 0xFF, 0));
    label->SetAlignment(taCenter);
    label->SetLayout(tlCenter);
    label->SetFontColor(clBlue);
    setCopy(label->Shadow(), clRed, 0, 0, false);
    setCopy(label->Highlight(), kGreen, 0, 0, false);
    const QImage caption = stage.picture();
    setCopy(label->Shadow(), clRed, c.sl, c.st, c.shadow);
    setCopy(label->Highlight(), kGreen, c.hl, c.ht, c.highlight);
    label->setEnabled(c.enabled);
    const QImage all = stage.picture();

    const auto covered = [&](int x, int y) { return caption.valid(x, y) && caption.pixel(x, y) == rgb(clBlue); };
    int mismatches = 0;
    for (int y = 0; y < all.height(); ++y)
      for (int x = 0; x < all.width(); ++x) {
        QRgb expected = qRgb(0xFF, 0xFF, 0);
        if (covered(x, y)) expected = rgb(c.enabled ? clBlue : clBtnShadow);
        else if (c.highlight && covered(x - c.hl, y - c.ht)) expected = rgb(c.enabled ? kGreen : clBtnHighlight);
        else if (c.shadow && covered(x - c.sl, y - c.st)) expected = rgb(c.enabled ? clRed : clGray);
        mismatches += all.pixel(x, y) != expected;
      }
    EXPECT_EQ(mismatches, 0) << c.sl << "," << c.st << " " << c.hl << "," << c.ht << " " << c.enabled;
  }
}

// Each copy is cut at the edges of its own box: the label's box moved by
// the copy's offsets.
TEST(ShadowLabelLook, EveryCopyIsClippedToItsBox) {
  Stage stage({20, 20, 50, 20});
  TShadowLabel* label = stage.label;
  label->SetCaption(kSquare.repeated(3));
  setCopy(label->Shadow(), clRed, 6, 6);
  setCopy(label->Highlight(), kGreen, -6, -6);
  const QImage inside = stage.picture();
  for (int y = 0; y < inside.height(); ++y)
    for (int x = 0; x < inside.width(); ++x) {
      EXPECT_FALSE(inside.pixel(x, y) == rgb(kGreen) && (x >= 44 || y >= 14)) << x << "," << y;
      EXPECT_FALSE(inside.pixel(x, y) == rgb(clRed) && (x < 6 || y < 6)) << x << "," << y;
    }
}

// Transparent, the parent shows wherever there is no text; opaque, the
// label's colour does, composed off-screen or painted straight on.
TEST(ShadowLabelLook, TransparentShowsTheParentOpaqueItsColour) {
  Stage stage;
  TShadowLabel* label = stage.label;
  label->SetCaption(QStringLiteral("Sora"));
  label->SetColor(RGBColor(0x12, 0x34, 0x56));
  QPixmap tile(5, 5);
  tile.fill(QColor(0xF0, 0xE0, 0x80));
  QPainter(&tile).fillRect(0, 0, 2, 5, QColor(0x30, 0x90, 0x30));
  QPalette striped = stage.parent->palette();
  striped.setBrush(QPalette::Window, QBrush(tile));
  stage.parent->setPalette(striped);
  label->hide();
  const QImage parentOnly = stage.picture();
  label->show();
  const std::set<QRgb> text{rgb(clWindowText), rgb(clSilver), rgb(clWhite)};
  for (bool transparent : {true, false})
    for (bool flickerless : {true, false}) {
      label->SetTransparent(transparent);
      label->SetFlickerless(flickerless);
      label->update();
      const QImage picture = stage.picture();
      int background = 0;
      for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x) {
          const QRgb under = transparent ? parentOnly.pixel(x, y) : qRgb(0x12, 0x34, 0x56);
          background += picture.pixel(x, y) == under;
          ASSERT_TRUE(picture.pixel(x, y) == under || text.count(picture.pixel(x, y))) << transparent << flickerless;
        }
      EXPECT_GT(background, picture.width() * picture.height() / 2);
    }
}

// Column x (row y, vertical) gets GradationColor + (Color - GradationColor)
// * x / 99 per component, truncated, off-screen or straight on.
TEST(ShadowLabelLook, GradientsFollowTheFormulaAlongTheirLine) {
  const TColor from = RGBColor(0x00, 0x10, 0xFF), to = RGBColor(0xDB, 0xE0, 0xEE);
  for (bool vertical : {false, true})
    for (bool flickerless : {true, false}) {
      Stage stage(vertical ? QRect(10, 10, 30, 100) : QRect(10, 10, 100, 30));
      stage.label->SetGradation(true);
      stage.label->SetGradateVert(vertical);
      stage.label->SetGradationColor(from);
      stage.label->SetColor(to);
      stage.label->SetFlickerless(flickerless);
      const QImage picture = stage.picture();
      for (int along : {0, 1, 33, 50, 98, 99}) {
        const auto formula = [&](int shift) {
          const int a = int(from >> shift) & 0xFF, b = int(to >> shift) & 0xFF;
          return int(a + double((b - a) * along) / 99);
        };
        for (int across : {0, 14, 29})
          EXPECT_EQ(picture.pixel(vertical ? across : along, vertical ? along : across),
                    qRgb(formula(0), formula(8), formula(16)))
              << vertical << flickerless << " at " << along;
      }
    }
}

// Each graded character has a box of its own width from the left edge on;
// the colours are read per box. "■" is two bytes in code page 932.
TEST(ShadowLabelLook, GradedCaptionsColourEachCharacterBySplitAndFormula) {
  const QRgb navy = qRgb(0, 0, 0x80), maroon = qRgb(0x80, 0, 0), mid = qRgb(0, 0xA0, 0), half = qRgb(0x40, 0, 0x40);
  using G = TShadowLabel::TTextGradation;
  struct Case {
    int squares;
    G gradation;
    TAlignment alignment;
    std::vector<QRgb> colours;
    bool lastAtRightEdge = false, enabled = true;
  };
  const Case cases[] = {
      {3, G::tg2Colors, taLeftJustify, {navy, half, maroon}},
      {4, G::tg2Colors, taLeftJustify, {navy, qRgb(0x2A, 0, 0x55), qRgb(0x55, 0, 0x2A), maroon}},
      {3, G::tg2Colors, taCenter, {navy, half, maroon}},  // still from the left
      {4, G::tg3Colors, taLeftJustify, {navy, mid, mid, maroon}},
      {3, G::tg3Colors, taLeftJustify, {navy, mid, maroon}},  // 2 + 1
      {3, G::tg3Colors, taRightJustify, {navy, mid, maroon}, true},  // the lone one placed right
      {2, G::tg3Colors, taLeftJustify, {navy, maroon}},  // as two colours
      {1, G::tg2Colors, taLeftJustify, {navy}},  // the plain caption
      {3, G::tg2Colors, taLeftJustify, {navy, half, maroon}, false, false},  // disabled too
  };
  for (const Case& c : cases) {
    Stage stage({10, 10, 200, 40});
    TShadowLabel* label = stage.label;
    label->SetCaption(kSquare.repeated(c.squares));
    label->SetFontColor(clNavy);
    label->SetTextMidColor(RGBColor(0, 0xA0, 0));
    label->SetTextGradation(c.gradation);
    label->SetAlignment(c.alignment);
    label->setEnabled(c.enabled);
    setCopy(label->Shadow(), clRed, 0, 0, false);
    setCopy(label->Highlight(), clRed, 0, 0, false);
    const QImage picture = stage.picture();
    const int w = label->fontMetrics().horizontalAdvance(kSquare);
    for (int i = 0; i < c.squares; ++i) {
      const int left = c.lastAtRightEdge && i == c.squares - 1 ? label->width() - w : i * w;
      std::set<QRgb> seen;
      for (int y = 0; y < picture.height(); ++y)
        for (int x = left; x < left + w; ++x)
          if (picture.pixel(x, y) != qRgb(255, 255, 255)) seen.insert(picture.pixel(x, y));
      EXPECT_EQ(seen, std::set<QRgb>{c.colours[std::size_t(i)]}) << c.squares << " " << c.gradation << " " << i;
    }
  }
}

// Every published property: its default, and what setting it does. Setting
// the value a property already holds does nothing.
TEST(ShadowLabelProperties, DefaultsAndWhatSettingThemDoes) {
  enum Reaction { StoreOnly, Repaint, Remeasure };
  const QVariant tg2 = QVariant::fromValue(ShadoLbl::tg2Colors), tg3 = QVariant::fromValue(ShadoLbl::tg3Colors);
  const std::tuple<const char*, QVariant, QVariant, Reaction, const char*, QVariant> rows[] = {
      {"Alignment", QVariant::fromValue(taLeftJustify), QVariant::fromValue(taCenter), Repaint, nullptr, {}},
      {"AutoSize", true, false, StoreOnly, nullptr, {}},
      {"Caption", QString(), QStringLiteral("alpha"), Remeasure, nullptr, {}},
      {"Color", uint(RGBColor(255, 255, 255)), uint(clRed), Repaint, nullptr, {}},  // the parent's at first
      {"Ellipsis", QVariant::fromValue(ShadoLbl::elNone), QVariant::fromValue(ShadoLbl::elEnd), Repaint, nullptr, {}},
      {"Flickerless", true, false, StoreOnly, nullptr, {}},
      {"FontColor", uint(clWindowText), uint(clRed), Repaint, nullptr, {}},
      {"GradateVert", false, true, Repaint, nullptr, {}},
      {"Gradation", false, true, Repaint, nullptr, {}},
      {"GradationColor", uint(clBlue), uint(clRed), Repaint, nullptr, {}},
      {"Layout", QVariant::fromValue(tlTop), QVariant::fromValue(tlBottom), Repaint, nullptr, {}},
      {"ParentColor", true, false, Repaint, nullptr, {}},
      {"ShowAccelChar", true, false, Remeasure, "Caption", QStringLiteral("&Go")},
      {"TextGradation", QVariant::fromValue(ShadoLbl::tgNone), tg2, Repaint, nullptr, {}},
      {"TextGradationColor", uint(clMaroon), uint(clRed), StoreOnly, nullptr, {}},
      {"TextGradationColor", uint(clMaroon), uint(clRed), Repaint, "TextGradation", tg2},
      {"TextMidColor", uint(clNavy), uint(clRed), StoreOnly, "TextGradation", tg2},
      {"TextMidColor", uint(clNavy), uint(clRed), Repaint, "TextGradation", tg3},
      {"Transparent", false, true, Repaint, nullptr, {}},
      {"WordWrap", false, true, Remeasure, "Caption", QStringLiteral("alpha beta")},
  };
  for (const auto& [name, defaultValue, other, reaction, givenName, given] : rows) {
    const std::string what = std::string(name) + (givenName ? std::string(" after ") + givenName : "");
    Stage stage;
    EXPECT_EQ(TShadowLabel(stage.parent.get()).property(name), defaultValue) << what;
    TShadowLabel* label = stage.label;
    if (givenName) label->setProperty(givenName, given);
    label->SetAutoSize(true);
    label->resize(label->width() / 2, label->height());  // so that measuring shows
    QApplication::processEvents();
    const QSize before = label->size();
    PaintCounter counter(label);
    label->setProperty(name, label->property(name));
    QApplication::processEvents();
    EXPECT_EQ(counter.paints, 0) << what << ": the same value again";
    ASSERT_TRUE(label->setProperty(name, other)) << what;
    QApplication::processEvents();
    EXPECT_EQ(label->property(name), other) << what;
    EXPECT_EQ(counter.paints > 0, reaction != StoreOnly) << what;
    EXPECT_EQ(label->size() != before, reaction == Remeasure) << what;
  }
}

TEST(ShadowLabelProperties, SettingsObjectsChangeOnceAndCopyIntoTheLabelsOwn) {
  const auto values = [](const TShadow* s) { return std::make_tuple(s->Visible(), s->Color(), s->OffsetLeft(), s->OffsetTop()); };
  TShadow source;
  int changes = 0;
  source.OnChange = [&](QObject* sender) { changes += sender == &source; };
  for (int twice = 0; twice < 2; ++twice) {
    source.SetVisible(false);
    source.SetColor(clRed);
    source.SetOffsetLeft(-4);
    source.SetOffsetTop(7);
  }
  EXPECT_EQ(changes, 4);

  Stage stage;
  TShadowLabel* label = stage.label;
  TShadow* own = label->Highlight();
  EXPECT_EQ(values(own), std::make_tuple(true, clWhite, -1, -1));
  EXPECT_EQ(values(label->Shadow()), std::make_tuple(true, clSilver, 1, 1));
  QApplication::processEvents();
  PaintCounter counter(label);
  label->SetHighlight(&source);
  QApplication::processEvents();
  EXPECT_GT(counter.paints, 0);
  EXPECT_EQ(label->Highlight(), own);
  EXPECT_EQ(values(own), values(&source));
  int ownChanges = 0;
  own->OnChange = [&](QObject*) { ++ownChanges; };
  label->SetHighlight(&source);  // the same values: still one change
  EXPECT_EQ(ownChanges, 1);

  // None is ignored, and nothing else is taken for a settings object.
  counter.paints = 0;
  label->SetShadow(nullptr);
  QObject stranger;
  EXPECT_FALSE(label->setProperty("Shadow", QVariant::fromValue(&stranger)));
  QApplication::processEvents();
  EXPECT_EQ(counter.paints, 0);
  EXPECT_EQ(values(label->Shadow()), std::make_tuple(true, clSilver, 1, 1));
}

TEST(ShadowLabelSize, AutoSizeFitsTheCaptionWithoutTheCopiesOffsets) {
  Stage stage({100, 10, 50, 20});
  TShadowLabel* label = stage.label;
  setCopy(label->Shadow(), clRed, 6, 6);
  label->SetAutoSize(true);
  const QFontMetrics m = label->fontMetrics();
  EXPECT_EQ(label->geometry(), QRect(100, 10, m.horizontalAdvance(u' '), m.height()));
  const int right = label->geometry().right();
  label->SetAlignment(taRightJustify);
  label->SetCaption(QStringLiteral("Sorabe  Ver 1.10"));  // keeps the right edge
  const int w = m.horizontalAdvance(label->Caption());
  EXPECT_EQ(label->geometry(), QRect(right + 1 - w, 10, w, m.height()));
  label->setFont(crispFont(16));
  EXPECT_EQ(label->height(), QFontMetrics(crispFont(16)).height());
  EXPECT_EQ(label->geometry().right(), right);
}

TEST(ShadowLabelInput, AcceleratorFocusesItsControlAndAClickComesBeforeMouseUp) {
  Stage stage;
  TShadowLabel* label = stage.label;
  label->SetCaption(QStringLiteral("&Name"));
  auto* edit = new QLineEdit(stage.parent.get());
  edit->show();
  label->SetFocusControl(edit);
  stage.parent->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(stage.parent.get()));
  QTest::keyClick(stage.parent.get(), Qt::Key_N, Qt::AltModifier);
  EXPECT_TRUE(edit->hasFocus());

  QStringList seen;
  label->OnMouseDown = [&](QObject*, Qt::MouseButton, Qt::KeyboardModifiers, int x, int) { seen << QString::number(x); };
  label->OnClick = [&](QObject* sender) { seen << (sender == label ? "click" : "?"); };
  label->OnMouseUp = [&](QObject*, Qt::MouseButton, Qt::KeyboardModifiers, int x, int) { seen << QString::number(x); };
  QTest::mouseClick(label, Qt::LeftButton, {}, QPoint(5, 6));
  QTest::mousePress(label, Qt::LeftButton, {}, QPoint(7, 6));
  QTest::mouseRelease(label, Qt::LeftButton, {}, QPoint(500, 8));  // outside: no click
  EXPECT_EQ(seen, (QStringList{"5", "click", "5", "7", "500"}));
  label->OnClick = [](QObject*) { throw std::runtime_error("no"); };
  QTest::mouseClick(label, Qt::LeftButton, {}, QPoint(5, 6));
  EXPECT_EQ(testing_support::recorded().errors, QStringList{"no."});
}
