// The shadow label on screen: its copies, backgrounds, graded captions,
// properties, settings objects, automatic size, accelerator and mouse.
// Pictures are taken with grab() and read pixel by pixel; the text is drawn
// without antialiasing so that every glyph pixel has its exact colour.

#include "common/TestSupport.h"
#include "platform/Application.h"
#include "widgets/ShadoLbl.h"

#include <QtGui/QPainter>
#include <QtTest/QTest>
#include <QtWidgets/QApplication>
#include <QtWidgets/QLineEdit>

#include <gtest/gtest.h>

#include <functional>
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

// The solid square "■" paints a block of one colour.
const QString kSquare = QStringLiteral("■");

class PaintCounter : public QObject {
 public:
  explicit PaintCounter(QWidget* w) { w->installEventFilter(this); }
  int paints = 0;

 protected:
  bool eventFilter(QObject*, QEvent* e) override {
    if (e->type() == QEvent::Paint) ++paints;
    return false;
  }
};

// Diagonal stripes, so that what shows through a label can be told apart.
class Striped : public QWidget {
 public:
  using QWidget::QWidget;

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter p(this);
    for (int y = 0; y < height(); ++y)
      for (int x = 0; x < width(); ++x)
        if ((x + y) % 5 < 2) p.fillRect(x, y, 1, 1, QColor(0x30, 0x90, 0x30));
        else p.fillRect(x, y, 1, 1, QColor(0xF0, 0xE0, 0x80));
  }
};

// A shown parent with one label of a fixed size on it.
struct Stage {
  std::unique_ptr<QWidget> parent;
  TShadowLabel* label;

  explicit Stage(QRect geometry = {10, 10, 140, 60}, QWidget* background = nullptr)
      : parent(background ? background : new QWidget) {
    parent->resize(geometry.right() + 30, geometry.bottom() + 30);
    QPalette palette = parent->palette();
    palette.setColor(QPalette::Window, Qt::white);
    parent->setPalette(palette);
    parent->setAutoFillBackground(!background);
    label = new TShadowLabel(parent.get());
    label->SetAutoSize(false);
    label->setGeometry(geometry);
    label->setFont(crispFont(30));
    parent->show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(parent.get()));
  }

  // What the parent shows in a rectangle (the label's box by default).
  QImage picture(QRect area = {}) const {
    QApplication::processEvents();
    return parent->grab(area.isNull() ? label->geometry() : area)
        .toImage()
        .convertToFormat(QImage::Format_RGB32);
  }
};

void hideCopies(TShadowLabel* label) {
  label->Shadow()->SetVisible(false);
  label->Highlight()->SetVisible(false);
}

bool at(const QImage& image, int x, int y, QRgb colour) {
  return image.rect().contains(x, y) && image.pixel(x, y) == colour;
}

}  // namespace

// Each pixel shows the caption if the caption covers it, else the highlight,
// else the shadow, else the background: the copies lie beneath in that order.
TEST(ShadowLabelLook, CopiesLieUnderTheCaptionAtTheirOffsetsInTheirColours) {
  struct Case {
    int shadowLeft, shadowTop, highlightLeft, highlightTop;
    bool shadowVisible, highlightVisible, enabled;
  };
  const Case cases[] = {{2, 2, -1, -1, true, true, true},   {-3, 1, 2, -2, true, true, true},
                        {1, 1, -1, -1, false, false, true}, {3, 0, 0, 3, true, false, true},
                        {2, 2, -1, -1, true, true, false}};
  const QRgb background = qRgb(0xFF, 0xFF, 0x00);
  for (const Case& c : cases) {
    Stage stage;
    TShadowLabel* label = stage.label;
    label->SetCaption(kSquare + kSquare);
    label->SetColor(RGBColor(0xFF, 0xFF, 0x00));
    label->SetAlignment(taCenter);
    label->SetLayout(tlCenter);
    label->SetFontColor(clBlue);
    hideCopies(label);
    const QImage caption = stage.picture();
    const QRgb text = c.enabled ? rgb(clBlue) : rgb(clBtnShadow);
    const QRgb shadow = c.enabled ? rgb(clRed) : rgb(clGray);
    const QRgb highlight = c.enabled ? qRgb(0, 0xFF, 0) : rgb(clBtnHighlight);

    label->Shadow()->SetColor(clRed);
    label->Shadow()->SetOffsetLeft(c.shadowLeft);
    label->Shadow()->SetOffsetTop(c.shadowTop);
    label->Shadow()->SetVisible(c.shadowVisible);
    label->Highlight()->SetColor(RGBColor(0, 0xFF, 0));
    label->Highlight()->SetOffsetLeft(c.highlightLeft);
    label->Highlight()->SetOffsetTop(c.highlightTop);
    label->Highlight()->SetVisible(c.highlightVisible);
    label->setEnabled(c.enabled);
    const QImage all = stage.picture();

    const QRgb blue = rgb(clBlue);
    int mismatches = 0;
    for (int y = 0; y < all.height(); ++y)
      for (int x = 0; x < all.width(); ++x) {
        QRgb expected = background;
        if (at(caption, x, y, blue))
          expected = text;
        else if (c.highlightVisible && at(caption, x - c.highlightLeft, y - c.highlightTop, blue))
          expected = highlight;
        else if (c.shadowVisible && at(caption, x - c.shadowLeft, y - c.shadowTop, blue))
          expected = shadow;
        if (all.pixel(x, y) != expected) ++mismatches;
      }
    EXPECT_EQ(mismatches, 0) << "shadow " << c.shadowLeft << "," << c.shadowTop << " highlight "
                             << c.highlightLeft << "," << c.highlightTop << " enabled " << c.enabled;
  }
}

// Whatever the label paints stays inside its box: a caption too big for it
// is cut at the edges, copies included. Each copy is also cut at the edges
// of its own box, the label's box moved by its offsets.
TEST(ShadowLabelLook, NothingIsPaintedOutsideTheLabel) {
  for (bool transparent : {true, false}) {
    Stage stage({20, 20, 50, 20});
    TShadowLabel* label = stage.label;
    label->SetCaption(kSquare + kSquare + kSquare);
    label->SetTransparent(transparent);
    label->Shadow()->SetColor(clRed);
    label->Shadow()->SetOffsetLeft(6);
    label->Shadow()->SetOffsetTop(6);
    label->Highlight()->SetColor(RGBColor(0, 0xFF, 0));
    label->Highlight()->SetOffsetLeft(-6);
    label->Highlight()->SetOffsetTop(-6);
    const QImage inside = stage.picture();
    int highlights = 0;
    for (int y = 0; y < inside.height(); ++y)
      for (int x = 0; x < inside.width(); ++x) {
        const QRgb p = inside.pixel(x, y);
        highlights += p == qRgb(0, 0xFF, 0);
        EXPECT_FALSE(p == qRgb(0, 0xFF, 0) && (x >= 50 - 6 || y >= 20 - 6)) << x << "," << y;
        EXPECT_FALSE(p == rgb(clRed) && (x < 6 || y < 6)) << x << "," << y;
      }
    EXPECT_GT(highlights, 0);
    const QRect around(0, 0, 90, 60);
    const QImage shown = stage.picture(around);
    label->hide();
    const QImage hidden = stage.picture(around);
    for (int y = 0; y < shown.height(); ++y)
      for (int x = 0; x < shown.width(); ++x)
        if (!label->geometry().contains(x, y)) {
          ASSERT_EQ(shown.pixel(x, y), hidden.pixel(x, y)) << x << "," << y;
        }
  }
}

TEST(ShadowLabelLook, ATransparentLabelShowsItsParentAnOpaqueOneItsColour) {
  Stage stage({10, 10, 140, 40}, new Striped);
  TShadowLabel* label = stage.label;
  label->SetCaption(QStringLiteral("Sora"));
  label->SetFontColor(clBlue);
  label->SetTransparent(true);
  const QImage through = stage.picture();
  label->hide();
  const QImage parentOnly = stage.picture();
  label->show();
  int textPixels = 0, parentPixels = 0;
  for (int y = 0; y < through.height(); ++y)
    for (int x = 0; x < through.width(); ++x) {
      const QRgb p = through.pixel(x, y);
      if (p == parentOnly.pixel(x, y))
        ++parentPixels;
      else if (p == rgb(clBlue) || p == rgb(clSilver) || p == rgb(clWhite))
        ++textPixels;
      else
        ADD_FAILURE() << "pixel " << x << "," << y << " is neither text nor parent";
    }
  EXPECT_GT(textPixels, 50);
  EXPECT_GT(parentPixels, through.width() * through.height() / 2);

  // Opaque, painted off-screen or straight on, the same picture over the
  // label's colour alone.
  label->SetTransparent(false);
  label->SetColor(RGBColor(0x12, 0x34, 0x56));
  const QImage offscreen = stage.picture();
  label->SetFlickerless(false);
  label->update();
  const QImage direct = stage.picture();
  EXPECT_EQ(offscreen, direct);
  int own = 0;
  for (int y = 0; y < offscreen.height(); ++y)
    for (int x = 0; x < offscreen.width(); ++x) {
      const QRgb p = offscreen.pixel(x, y);
      own += p == qRgb(0x12, 0x34, 0x56);
      EXPECT_TRUE(p == qRgb(0x12, 0x34, 0x56) || p == rgb(clBlue) || p == rgb(clSilver) ||
                  p == rgb(clWhite))
          << x << "," << y;
    }
  EXPECT_GT(own, offscreen.width() * offscreen.height() / 2);
}

// Column x (row y, vertical) gets GradationColor + (Color - GradationColor)
// * x / 99 per component, truncated, painted off-screen or straight on.
TEST(ShadowLabelLook, GradientsFollowTheFormulaAlongTheirLine) {
  const TColor from = RGBColor(0x00, 0x10, 0xFF), to = RGBColor(0xDB, 0xE0, 0xEE);
  for (bool vertical : {false, true}) {
    for (bool flickerless : {true, false}) {
      Stage stage(vertical ? QRect(10, 10, 30, 100) : QRect(10, 10, 100, 30));
      TShadowLabel* label = stage.label;
      label->SetGradation(true);
      label->SetGradateVert(vertical);
      label->SetGradationColor(from);
      label->SetColor(to);
      label->SetFlickerless(flickerless);
      const QImage picture = stage.picture();
      for (int along : {0, 1, 33, 50, 98, 99}) {
        const auto formula = [&](int shift) {
          const int a = int(from >> shift) & 0xFF, b = int(to >> shift) & 0xFF;
          return int(a + double((b - a) * along) / 99);
        };
        const QRgb expected = qRgb(formula(0), formula(8), formula(16));
        for (int across : {0, 14, 29}) {
          const int x = vertical ? across : along, y = vertical ? along : across;
          EXPECT_EQ(picture.pixel(x, y), expected)
              << "vertical " << vertical << " flickerless " << flickerless << " at " << along;
        }
      }
    }
  }
}

// Each graded character gets a box of its own width from the left edge on;
// the colours are read per box.
TEST(ShadowLabelLook, GradedCaptionsColourEachCharacterBySplitAndFormula) {
  const TColor green = RGBColor(0x00, 0xA0, 0x00);
  struct Case {
    const char* what;
    int squares;
    TShadowLabel::TTextGradation gradation;
    TAlignment alignment;
    std::vector<QRgb> colours;  // one per character, left to right
    bool lastAtRightEdge = false;
    bool enabled = true;
  };
  const QRgb navy = qRgb(0, 0, 0x80), maroon = qRgb(0x80, 0, 0), mid = qRgb(0, 0xA0, 0);
  const Case cases[] = {
      {"two colours, three characters", 3, TShadowLabel::tg2Colors, taLeftJustify,
       {navy, qRgb(0x40, 0, 0x40), maroon}},
      {"two colours, four characters", 4, TShadowLabel::tg2Colors, taLeftJustify,
       {navy, qRgb(0x2A, 0, 0x55), qRgb(0x55, 0, 0x2A), maroon}},
      {"two colours, centred: still from the left", 3, TShadowLabel::tg2Colors, taCenter,
       {navy, qRgb(0x40, 0, 0x40), maroon}},
      {"three colours, four characters: 2 + 2", 4, TShadowLabel::tg3Colors, taLeftJustify,
       {navy, mid, mid, maroon}},
      {"three colours, three double-byte characters: 2 + 1", 3, TShadowLabel::tg3Colors,
       taLeftJustify, {navy, mid, maroon}},
      {"three colours, 2 + 1, right-aligned: the lone one at the right", 3, TShadowLabel::tg3Colors,
       taRightJustify, {navy, mid, maroon}, true},
      {"three colours, two characters: as two colours", 2, TShadowLabel::tg3Colors, taLeftJustify,
       {navy, maroon}},
      {"one character: the plain caption", 1, TShadowLabel::tg2Colors, taLeftJustify, {navy}},
      {"disabled: still from the font colour", 3, TShadowLabel::tg2Colors, taLeftJustify,
       {navy, qRgb(0x40, 0, 0x40), maroon}, false, false},
  };
  for (const Case& c : cases) {
    Stage stage({10, 10, 200, 40});
    TShadowLabel* label = stage.label;
    label->SetCaption(kSquare.repeated(c.squares));
    label->SetFontColor(clNavy);
    label->SetTextMidColor(green);
    label->SetTextGradation(c.gradation);
    label->SetAlignment(c.alignment);
    label->SetColor(clWhite);
    label->setEnabled(c.enabled);
    hideCopies(label);
    const QImage picture = stage.picture();
    const int w = label->fontMetrics().horizontalAdvance(kSquare);
    for (int i = 0; i < c.squares; ++i) {
      int left = i * w;
      if (c.lastAtRightEdge && i == c.squares - 1) left = label->width() - w;
      std::set<QRgb> seen;
      for (int y = 0; y < picture.height(); ++y)
        for (int x = left; x < left + w; ++x)
          if (picture.pixel(x, y) != qRgb(255, 255, 255)) seen.insert(picture.pixel(x, y));
      EXPECT_EQ(seen, std::set<QRgb>{c.colours[std::size_t(i)]}) << c.what << ", character " << i;
    }
  }
}

TEST(ShadowLabelLook, LayoutMovesTheTextBlockInsideTheLabel) {
  Stage stage({10, 10, 60, 70});
  TShadowLabel* label = stage.label;
  label->SetCaption(kSquare);
  hideCopies(label);
  const int h = label->fontMetrics().height();
  const auto top = [&](TTextLayout layout) {
    label->SetLayout(layout);
    const QImage picture = stage.picture();
    for (int y = 0; y < picture.height(); ++y)
      for (int x = 0; x < picture.width(); ++x)
        if (picture.pixel(x, y) == rgb(clWindowText)) return y;
    return -1;
  };
  const int atTop = top(tlTop);
  ASSERT_GE(atTop, 0);
  EXPECT_EQ(top(tlCenter) - atTop, (70 - h) / 2);
  EXPECT_EQ(top(tlBottom) - atTop, 70 - h);
}

TEST(ShadowLabelLook, AnAcceleratorIsUnderlinedAndFocusesItsControl) {
  Stage stage({10, 10, 100, 40});
  TShadowLabel* label = stage.label;
  hideCopies(label);
  label->SetCaption(QStringLiteral("Name"));
  const QImage plain = stage.picture();
  label->SetCaption(QStringLiteral("&Name"));
  const QImage marked = stage.picture();
  // Only below the baseline, and only under the "N".
  const QFontMetrics m = label->fontMetrics();
  const int n = m.horizontalAdvance(QStringLiteral("N"));
  int differing = 0;
  for (int y = 0; y < plain.height(); ++y)
    for (int x = 0; x < plain.width(); ++x)
      if (plain.pixel(x, y) != marked.pixel(x, y)) {
        ++differing;
        EXPECT_TRUE(y > m.ascent() - 1 && x < n) << x << "," << y;
      }
  EXPECT_GT(differing, 0);

  auto* edit = new QLineEdit(stage.parent.get());
  edit->setGeometry(10, 60, 80, 20);
  edit->show();
  label->SetFocusControl(edit);
  stage.parent->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(stage.parent.get()));
  QTest::keyClick(stage.parent.get(), Qt::Key_N, Qt::AltModifier);
  EXPECT_TRUE(edit->hasFocus());
  edit->clearFocus();
  label->SetShowAccelChar(false);
  QTest::keyClick(stage.parent.get(), Qt::Key_N, Qt::AltModifier);
  EXPECT_FALSE(edit->hasFocus());
}

// ---------------------------------------------------------------------------
// Properties

// Every published property: its default, and what setting it does. Setting
// the value a property already holds does nothing.
TEST(ShadowLabelProperties, DefaultsAndWhatSettingThemDoes) {
  enum Reaction { StoreOnly, Repaint, Remeasure };
  struct Row {
    const char* name;
    QVariant defaultValue;
    QVariant other;
    Reaction reaction;
    const char* givenName = nullptr;  // set before, when the reaction depends on it
    QVariant given = {};
  };
  const QVariant tg2 = QVariant::fromValue(ShadoLbl::tg2Colors);
  const QVariant tg3 = QVariant::fromValue(ShadoLbl::tg3Colors);
  const Row rows[] = {
      {"Alignment", QVariant::fromValue(taLeftJustify), QVariant::fromValue(taCenter), Repaint},
      {"AutoSize", true, false, StoreOnly},
      {"Caption", QString(), QStringLiteral("alpha"), Remeasure},
      {"Color", uint(RGBColor(255, 255, 255)), uint(clRed), Repaint},  // the parent's, at first
      {"Ellipsis", QVariant::fromValue(ShadoLbl::elNone), QVariant::fromValue(ShadoLbl::elEnd), Repaint},
      {"Flickerless", true, false, StoreOnly},
      {"FontColor", uint(clWindowText), uint(clRed), Repaint},
      {"GradateVert", false, true, Repaint},
      {"Gradation", false, true, Repaint},
      {"GradationColor", uint(clBlue), uint(clRed), Repaint},
      {"Layout", QVariant::fromValue(tlTop), QVariant::fromValue(tlBottom), Repaint},
      {"ParentColor", true, false, Repaint},
      {"ShowAccelChar", true, false, Remeasure, "Caption", QStringLiteral("&Go")},
      {"TextGradation", QVariant::fromValue(ShadoLbl::tgNone), tg2, Repaint},
      {"TextGradationColor", uint(clMaroon), uint(clRed), StoreOnly},
      {"TextGradationColor", uint(clMaroon), uint(clRed), Repaint, "TextGradation", tg2},
      {"TextMidColor", uint(clNavy), uint(clRed), StoreOnly},
      {"TextMidColor", uint(clNavy), uint(clRed), StoreOnly, "TextGradation", tg2},
      {"TextMidColor", uint(clNavy), uint(clRed), Repaint, "TextGradation", tg3},
      {"Transparent", false, true, Repaint},
      {"WordWrap", false, true, Remeasure, "Caption", QStringLiteral("alpha beta")},
  };
  for (const Row& row : rows) {
    const std::string what = std::string(row.name) + (row.givenName ? std::string(" with ") + row.givenName : "");
    Stage stage;
    EXPECT_EQ(TShadowLabel(stage.parent.get()).property(row.name), row.defaultValue) << what;
    TShadowLabel* label = stage.label;
    if (row.givenName) {
      ASSERT_TRUE(label->setProperty(row.givenName, row.given)) << what;
    }
    label->SetAutoSize(true);
    label->resize(label->width() / 2, label->height());  // so that measuring shows
    QApplication::processEvents();
    const QSize before = label->size();
    PaintCounter counter(label);

    ASSERT_TRUE(label->setProperty(row.name, label->property(row.name))) << what;
    QApplication::processEvents();
    EXPECT_EQ(counter.paints, 0) << what << ": the same value again";

    ASSERT_TRUE(label->setProperty(row.name, row.other)) << what;
    QApplication::processEvents();
    EXPECT_EQ(label->property(row.name), row.other) << what;
    EXPECT_EQ(counter.paints > 0, row.reaction != StoreOnly) << what;
    EXPECT_EQ(label->size() != before, row.reaction == Remeasure) << what;
  }
}

TEST(ShadowLabelProperties, ColourFollowsTheParentUntilSet) {
  TShadowLabel alone;
  EXPECT_EQ(alone.Color(), clWindow);
  Stage stage;
  TShadowLabel* label = stage.label;
  QPalette palette = stage.parent->palette();
  palette.setColor(QPalette::Window, QColor(0xDB, 0xE0, 0xEE));
  stage.parent->setPalette(palette);
  EXPECT_EQ(label->Color(), RGBColor(0xDB, 0xE0, 0xEE));
  EXPECT_EQ(stage.picture().pixel(5, 5), qRgb(0xDB, 0xE0, 0xEE));
  label->SetColor(clWindow);
  EXPECT_FALSE(label->ParentColor());
  EXPECT_EQ(stage.picture().pixel(5, 5), rgb(clWindow));
}

TEST(ShadowLabelProperties, TheCopiesStartWithTheirOwnDefaults) {
  TShadowLabel label;
  const TShadow* h = label.Highlight();
  const TShadow* s = label.Shadow();
  EXPECT_EQ(std::make_tuple(h->Visible(), h->Color(), h->OffsetLeft(), h->OffsetTop()),
            std::make_tuple(true, clWhite, -1, -1));
  EXPECT_EQ(std::make_tuple(s->Visible(), s->Color(), s->OffsetLeft(), s->OffsetTop()),
            std::make_tuple(true, clSilver, 1, 1));
  TShadow fresh;
  EXPECT_EQ(std::make_tuple(fresh.Visible(), fresh.Color(), fresh.OffsetLeft(), fresh.OffsetTop()),
            std::make_tuple(true, clSilver, 1, 1));
}

TEST(ShadowLabelProperties, ASettingsObjectFiresOnChangeOncePerChange) {
  TShadow shadow;
  int changes = 0;
  QObject* sender = nullptr;
  shadow.OnChange = [&](QObject* s) {
    ++changes;
    sender = s;
  };
  const std::pair<const char*, QVariant> values[] = {
      {"Visible", false}, {"Color", uint(clRed)}, {"OffsetLeft", -4}, {"OffsetTop", 7}};
  for (const auto& [name, value] : values) {
    const int before = changes;
    shadow.setProperty(name, shadow.property(name));
    EXPECT_EQ(changes, before) << name;
    shadow.setProperty(name, value);
    shadow.setProperty(name, value);
    EXPECT_EQ(changes, before + 1) << name;
    EXPECT_EQ(shadow.property(name), value) << name;
  }
  EXPECT_EQ(sender, &shadow);

  TShadow copy;
  int copyChanges = 0;
  copy.OnChange = [&](QObject*) { ++copyChanges; };
  copy.Assign(shadow);
  EXPECT_EQ(copyChanges, 1);
  EXPECT_EQ(std::make_tuple(copy.Visible(), copy.Color(), copy.OffsetLeft(), copy.OffsetTop()),
            std::make_tuple(false, clRed, -4, 7));
  copy.Assign(shadow);  // the same values: still one change
  EXPECT_EQ(copyChanges, 2);
}

TEST(ShadowLabelProperties, AssigningACopyCopiesItsValuesAndRepaints) {
  Stage stage;
  TShadowLabel* label = stage.label;
  TShadow* own = label->Highlight();
  TShadow source;
  source.SetColor(clRed);
  source.SetOffsetLeft(3);
  source.SetVisible(false);
  QApplication::processEvents();
  PaintCounter counter(label);
  ASSERT_TRUE(label->setProperty("Highlight", QVariant::fromValue(&source)));
  QApplication::processEvents();
  EXPECT_GT(counter.paints, 0);
  EXPECT_EQ(label->Highlight(), own);
  EXPECT_EQ(std::make_tuple(own->Visible(), own->Color(), own->OffsetLeft(), own->OffsetTop()),
            std::make_tuple(false, clRed, 3, 1));
  label->SetShadow(&source);
  EXPECT_EQ(label->Shadow()->Color(), clRed);

  // None is ignored; neither is anything else taken for a settings object.
  QApplication::processEvents();
  counter.paints = 0;
  label->SetHighlight(nullptr);
  QObject stranger;
  EXPECT_FALSE(label->setProperty("Shadow", QVariant::fromValue(&stranger)));
  QApplication::processEvents();
  EXPECT_EQ(counter.paints, 0);
  EXPECT_EQ(label->Highlight()->Color(), clRed);
  EXPECT_EQ(label->Shadow()->Color(), clRed);

  // A change inside one of the label's own objects repaints it too.
  label->Shadow()->SetOffsetTop(5);
  QApplication::processEvents();
  EXPECT_GT(counter.paints, 0);
}

// ---------------------------------------------------------------------------
// Automatic size

TEST(ShadowLabelSize, AutoSizeFitsTheCaptionWithoutTheCopiesOffsets) {
  Stage stage({100, 10, 50, 20});
  TShadowLabel* label = stage.label;
  label->Shadow()->SetOffsetLeft(6);
  label->Shadow()->SetOffsetTop(6);
  label->SetAutoSize(true);
  const QFontMetrics m = label->fontMetrics();
  EXPECT_EQ(label->geometry(), QRect(100, 10, m.horizontalAdvance(u' '), m.height()));

  label->SetCaption(QStringLiteral("Sorabe"));
  EXPECT_EQ(label->geometry(), QRect(100, 10, m.horizontalAdvance(QStringLiteral("Sorabe")), m.height()));

  // Right-aligned, the label keeps its right edge.
  const int right = label->geometry().right();
  label->SetAlignment(taRightJustify);
  label->SetCaption(QStringLiteral("Sorabe  Ver 1.10"));
  EXPECT_EQ(label->geometry().right(), right);
  EXPECT_EQ(label->width(), m.horizontalAdvance(QStringLiteral("Sorabe  Ver 1.10")));

  // A new font is measured again.
  label->setFont(crispFont(16));
  EXPECT_EQ(label->height(), QFontMetrics(crispFont(16)).height());
  EXPECT_EQ(label->geometry().right(), right);

  // With word wrap the caption wraps at the width the label has.
  label->SetAlignment(taLeftJustify);
  label->SetAutoSize(false);
  label->SetCaption(QStringLiteral("alpha beta"));
  label->resize(QFontMetrics(crispFont(16)).horizontalAdvance(QStringLiteral("alpha b")), 10);
  label->SetWordWrap(true);
  label->SetAutoSize(true);
  EXPECT_EQ(label->height(), 2 * QFontMetrics(crispFont(16)).height());

  label->SetAutoSize(false);
  const QRect kept = label->geometry();
  label->SetCaption(QStringLiteral("a much longer caption than before"));
  EXPECT_EQ(label->geometry(), kept);
}

// ---------------------------------------------------------------------------
// Mouse

TEST(ShadowLabelMouse, PressAndReleaseOverTheLabelClickBeforeMouseUp) {
  Stage stage({10, 10, 100, 30});
  TShadowLabel* label = stage.label;
  QStringList seen;
  label->OnMouseDown = [&](QObject* s, Qt::MouseButton b, Qt::KeyboardModifiers, int x, int y) {
    EXPECT_EQ(s, label);
    seen << QStringLiteral("down %1 %2,%3").arg(int(b)).arg(x).arg(y);
  };
  label->OnClick = [&](QObject*) { seen << QStringLiteral("click"); };
  label->OnMouseUp = [&](QObject*, Qt::MouseButton, Qt::KeyboardModifiers, int x, int y) {
    seen << QStringLiteral("up %1,%2").arg(x).arg(y);
  };
  QTest::mousePress(label, Qt::LeftButton, {}, QPoint(5, 6));
  QTest::mouseRelease(label, Qt::LeftButton, {}, QPoint(7, 8));
  EXPECT_EQ(seen, (QStringList{"down 1 5,6", "click", "up 7,8"}));

  // Released outside: no click. A handler that fails ends in the error box.
  seen.clear();
  QTest::mousePress(label, Qt::LeftButton, {}, QPoint(5, 6));
  QTest::mouseRelease(label, Qt::LeftButton, {}, QPoint(500, 8));
  EXPECT_EQ(seen, (QStringList{"down 1 5,6", "up 500,8"}));
  label->OnClick = [](QObject*) { throw std::runtime_error("no"); };
  QTest::mouseClick(label, Qt::LeftButton, {}, QPoint(5, 6));
  EXPECT_EQ(testing_support::recorded().errors, QStringList{"no."});
}
