// How the push button draws: the bevel rule on plain images, the caption's
// box, the rings and caption of a real button in each state, and which
// property assignments repaint.

#include "test_cutebtn.h"

#include <QtGui/QFontMetrics>
#include <QtGui/QPainter>
#include <QtWidgets/QMenu>

#include <climits>

using cutebtn_test::ButtonWindow;
using cutebtn_test::PaintCounter;
using cutebtn_test::picture;
using cutebtn_test::rgb;
using CuteBtn::Box;

namespace {

constexpr TColor kFace = RGBColor(0xEF, 0xEF, 0xEF);

// The image as rows of letters: 'a' and 'b' for the two bevel colours, '.'
// for anything else.
QStringList letters(const QImage& image, QRgb a, QRgb b) {
  QStringList rows;
  for (int y = 0; y < image.height(); ++y) {
    QString row;
    for (int x = 0; x < image.width(); ++x)
      row += image.pixel(x, y) == a ? u'a' : image.pixel(x, y) == b ? u'b' : u'.';
    rows << row;
  }
  return rows;
}

// The box that holds every pixel of a colour inside an area, or an empty one.
QRect inkBox(const QImage& image, QRgb colour, QRect area) {
  QRect box;
  for (int y = area.top(); y <= area.bottom(); ++y)
    for (int x = area.left(); x <= area.right(); ++x)
      if (image.pixel(x, y) == colour) box |= QRect(x, y, 1, 1);
  return box;
}

}  // namespace

TEST(CuteBtnRules, EachRingGivesTheTopColourTheLeftAndTopAndTheBottomColourTheRightAndBottom) {
  const struct {
    int width;
    QStringList rows;
    Box left;
  } cases[] = {
      {1, {"aaaaab", "a....b", "a....b", "a....b", "bbbbbb"}, {1, 1, 5, 4}},
      {2, {"aaaaab", "aaaabb", "aa..bb", "abbbbb", "bbbbbb"}, {2, 2, 4, 3}},
      // Rings past the middle still draw, as lines through it.
      {4, {"aaaaab", "aaaabb", "aababb", "abbabb", "bbbbbb"}, {4, 4, 2, 1}},
  };
  for (const auto& c : cases) {
    QImage image(6, 5, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter p(&image);
    const Box left = CuteBtn::DrawBevel(p, {0, 0, 6, 5}, Qt::red, Qt::blue, c.width);
    p.end();
    EXPECT_EQ(letters(image, qRgb(255, 0, 0), qRgb(0, 0, 255)), c.rows) << "width " << c.width;
    EXPECT_EQ(left, c.left) << "width " << c.width;
  }
}

TEST(CuteBtnRules, TheWidestBevelDrawsOnlyWhatCanShowAndNeverOverflows) {
  QImage image(6, 5, QImage::Format_RGB32);
  image.fill(Qt::white);
  QPainter p(&image);
  const Box left = CuteBtn::DrawBevel(p, {0, 0, 6, 5}, Qt::red, Qt::blue, INT_MAX);
  p.end();
  // Six rings reach across this image; the rest would fall off it.
  EXPECT_EQ(letters(image, qRgb(255, 0, 0), qRgb(0, 0, 255)),
            (QStringList{"bbbaaa", "bbaaaa", "bbbaaa", "bbbaaa", "bbaaaa"}));
  EXPECT_GT(left.left, 1 << 20);
  EXPECT_LT(left.right, -(1 << 20));
}

TEST(CuteBtnRules, TheCaptionBoxFollowsBevelsMarginsAndThePress) {
  using CuteBtn::CaptionPlacement;
  const QSize drill(137, 57);
  const struct {
    const char* what;
    CaptionPlacement placement;
    Box box;
  } cases[] = {
      {"drill window at rest", {2, false, taCenter, tlCenter, -1, -1, false}, {4, 4, 133, 53}},
      {"drill window pressed", {2, false, taCenter, tlCenter, -1, -1, true}, {6, 6, 133, 53}},
      {"flat: inset by one bevel", {2, true, taCenter, tlCenter, -1, -1, false}, {2, 2, 135, 55}},
      {"centred ignores margins", {2, false, taCenter, tlCenter, 10, 10, false}, {4, 4, 133, 53}},
      {"left and top margins", {2, false, taLeftJustify, tlTop, 10, 6, false}, {14, 10, 133, 53}},
      {"right and bottom margins", {2, false, taRightJustify, tlBottom, 10, 6, true}, {6, 6, 123, 47}},
      {"a margin of 0 is a margin", {1, false, taLeftJustify, tlBottom, 0, 0, false}, {2, 2, 135, 55}},
  };
  for (const auto& c : cases) EXPECT_EQ(CuteBtn::TextBox(drill, c.placement), c.box) << c.what;

  const Box huge = CuteBtn::TextBox(drill, {INT_MAX, false, taLeftJustify, tlTop, INT_MAX, INT_MAX, true});
  EXPECT_GT(huge.left, huge.right);
  EXPECT_GT(huge.top, huge.bottom);
}

TEST(CuteBtnRules, ALineStartsWhereItsPlacementPutsIt) {
  const Box box{4, 4, 133, 53};
  const QSize extent(60, 20);
  EXPECT_EQ(CuteBtn::TextOrigin(box, extent, taLeftJustify, tlTop), QPoint(4, 4));
  EXPECT_EQ(CuteBtn::TextOrigin(box, extent, taRightJustify, tlBottom), QPoint(73, 33));
  EXPECT_EQ(CuteBtn::TextOrigin(box, extent, taCenter, tlCenter), QPoint(4 + 34, 4 + 14));
  // Wider than the box: centred all the same, rounding down.
  EXPECT_EQ(CuteBtn::TextOrigin({0, 0, 10, 10}, QSize(13, 13), taCenter, tlCenter), QPoint(-2, -2));
}

TEST(CuteBtnRules, TheFocusFrameInvertsEveryOtherPixelOfItsEdgeOnce) {
  QImage image(7, 5, QImage::Format_RGB32);
  image.fill(Qt::white);
  QPainter p(&image);
  CuteBtn::DrawFocusRect(p, {1, 1, 6, 4});
  p.end();
  EXPECT_EQ(letters(image, qRgb(0, 0, 0), qRgb(255, 255, 255)),
            (QStringList{"bbbbbbb", "bababab", "bbbbbbb", "bababab", "bbbbbbb"}));
}

// --- a real button, on pixels of grab() ------------------------------------

namespace {

enum class State { Rest, Hovered, Focused, Pressed, Disabled };

// What ring i (counted from the client edge) shows on the left column and
// on the bottom row: 'L' the highlight, 'D' the shadow colour, 'F' the face.
struct Rings {
  const char* left;
  const char* bottom;
};

}  // namespace

TEST(CuteBtnLook, TheRingsLieWhereTheStateAndTheSettingsPutThem) {
  constexpr TColor kLight = RGBColor(0xFF, 0xFF, 0xC0), kDark = RGBColor(0x40, 0x20, 0x00);
  const struct {
    State state;
    int bevelWidth;
    bool flat;
    bool ownColours;
    Rings rings;
  } cases[] = {
      {State::Rest, 2, false, false, {"LLF", "DDF"}},
      {State::Hovered, 2, false, false, {"LLLLF", "DDDDF"}},
      {State::Focused, 2, false, true, {"LLLLF", "DDDDF"}},
      {State::Pressed, 2, false, false, {"DDLLF", "LLDDF"}},
      {State::Disabled, 2, false, false, {"LLF", "DDF"}},
      {State::Rest, 1, false, true, {"LF", "DF"}},
      {State::Hovered, 1, false, false, {"LLF", "DDF"}},
      {State::Pressed, 1, false, true, {"DLF", "LDF"}},
      {State::Rest, 2, true, false, {"FFF", "FFF"}},
      {State::Hovered, 2, true, true, {"LLF", "DDF"}},
      {State::Pressed, 2, true, false, {"DDF", "LLF"}},
  };
  for (const auto& c : cases) {
    ButtonWindow w(2);
    TCuteButton* b = w[0];
    b->SetBevelWidth(c.bevelWidth);
    b->SetFlat(c.flat);
    if (c.ownColours) {
      b->SetBevelHighlightColor(kLight);
      b->SetBevelShadowColor(kDark);
    }
    w[1]->setFocus();
    switch (c.state) {
      case State::Rest: break;
      case State::Hovered: w.hover(w.centre(b)); break;
      case State::Focused: b->setFocus(Qt::TabFocusReason); break;
      case State::Pressed: w.press(w.centre(b)); break;
      case State::Disabled:
        b->setFocus();
        b->setEnabled(false);
        break;
    }
    const QImage image = picture(b);
    const QRgb light = c.ownColours ? rgb(kLight) : rgb(clBtnHighlight);
    const QRgb dark = c.ownColours ? rgb(kDark) : rgb(clBtnShadow);
    auto name = [&](QRgb px) { return px == light ? 'L' : px == dark ? 'D' : px == rgb(kFace) ? 'F' : '?'; };
    std::string left, bottom;
    for (int i = 0; c.rings.left[i]; ++i) {
      left += name(image.pixel(i, 28));
      bottom += name(image.pixel(68, 56 - i));
    }
    const std::string what = "state " + std::to_string(int(c.state)) + " width " + std::to_string(c.bevelWidth) +
                             (c.flat ? " flat" : "");
    EXPECT_EQ(left, c.rings.left) << what;
    EXPECT_EQ(bottom, c.rings.bottom) << what;
    // The corners follow the ring rule: top-right and bottom-left are the
    // bottom colour's.
    if (c.rings.left[0] != 'F') {
      EXPECT_EQ(name(image.pixel(136, 0)), c.rings.bottom[0]) << what;
      EXPECT_EQ(name(image.pixel(0, 56)), c.rings.bottom[0]) << what;
      EXPECT_EQ(name(image.pixel(0, 0)), c.rings.left[0]) << what;
    }
  }
}

TEST(CuteBtnLook, TheCaptionKeepsToItsPlacementAndMovesByWhatThePressGives) {
  const struct {
    TAlignment alignment;
    TTextLayout layout;
    int marginX, marginY;
    QPoint pressShift;
  } cases[] = {
      {taCenter, tlCenter, -1, -1, {1, 1}},
      {taLeftJustify, tlTop, -1, -1, {2, 2}},
      {taLeftJustify, tlTop, 10, 6, {2, 2}},
      {taRightJustify, tlBottom, 10, 6, {0, 0}},
      {taCenter, tlBottom, 10, -1, {1, 0}},
  };
  const QRgb ink = rgb(clBlack);
  for (const auto& c : cases) {
    ButtonWindow w;
    TCuteButton* b = w[0];
    b->SetFontColor(clBlack);
    b->SetAlignment(c.alignment);
    b->SetLayout(c.layout);
    b->SetMarginX(c.marginX);
    b->SetMarginY(c.marginY);
    const QRect rest = inkBox(picture(b), ink, b->rect());
    const Box t = b->TextBoxPainted();
    // The line's own box, as the font measures it, lies where its placement
    // puts it in the text box, and the ink lies within it.
    const QSize extent = QFontMetrics(b->font()).size(Qt::TextSingleLine, QStringLiteral("Abc"));
    const QPoint origin = CuteBtn::TextOrigin(t, extent, c.alignment, c.layout);
    const QString what = QStringLiteral("alignment %1 layout %2 margins %3,%4")
                             .arg(int(c.alignment)).arg(int(c.layout)).arg(c.marginX).arg(c.marginY);
    EXPECT_TRUE(QRect(origin, extent).adjusted(-1, -1, 1, 1).contains(rest)) << what.toStdString();
    const int left = c.alignment == taLeftJustify ? origin.x() - std::max(c.marginX, 0)
                     : c.alignment == taRightJustify ? 137 - (origin.x() + extent.width()) - c.marginX
                                                     : 4;
    const int top = c.layout == tlTop ? origin.y() - std::max(c.marginY, 0)
                    : c.layout == tlBottom ? 57 - (origin.y() + extent.height()) - std::max(c.marginY, 0)
                                           : 4;
    EXPECT_EQ(left, 4) << "the bevels' inset, then the margin: " << what.toStdString();
    EXPECT_EQ(top, 4) << what.toStdString();

    w.press(w.centre(b));
    const QRect pressed = inkBox(picture(b), ink, b->rect());
    EXPECT_EQ(pressed.topLeft() - rest.topLeft(), c.pressShift) << what.toStdString();
    EXPECT_EQ(pressed.size(), rest.size()) << what.toStdString();
    w.release(w.centre(b));
  }
}

TEST(CuteBtnLook, TheAcceleratorIsUnderlinedAndADoubledAmpersandShowsOnce) {
  ButtonWindow w(3);
  w[0]->SetCaption(QStringLiteral("Abc"));
  w[1]->SetCaption(QStringLiteral("&Abc"));
  w[2]->SetCaption(QStringLiteral("A&&c"));
  auto inkRows = [&](TCuteButton* b) { return inkBox(picture(b), rgb(clWindowText), b->rect()); };
  const QRect plain = inkRows(w[0]);
  const QRect underlined = inkRows(w[1]);
  EXPECT_GT(underlined.bottom(), plain.bottom()) << "an underline beneath the A";
  EXPECT_NEAR(underlined.left(), plain.left(), 2) << "the same place: the marker takes no room";
  const QRect doubled = inkRows(w[2]);
  EXPECT_LT(doubled.bottom(), underlined.bottom()) << "no underline";
  const QFontMetrics metrics(w[2]->font());
  EXPECT_NEAR(doubled.width(), metrics.horizontalAdvance(QStringLiteral("A&c")), 4);
  EXPECT_TRUE(QKeySequence::mnemonic(QStringLiteral("A&&c")).isEmpty());
}

TEST(CuteBtnLook, ADisabledButtonEtchesItsCaptionAndShowsItsDisabledColourOnlyIfItUsesIt) {
  constexpr TColor kOwn = RGBColor(0xA0, 0xB0, 0xC0);
  ButtonWindow w(2);
  TCuteButton* b = w[0];
  b->SetDisabledColor(kOwn);
  b->setEnabled(false);
  QImage image = picture(b);
  const QRect text(4, 4, 129, 49);
  EXPECT_EQ(image.pixel(10, 10), rgb(kFace)) << "UseDisabledColor is off";
  const QRect light = inkBox(image, rgb(clBtnHighlight), text);
  const QRect shadow = inkBox(image, rgb(clBtnShadow), text);
  EXPECT_TRUE(inkBox(image, rgb(clWindowText), text).isEmpty());
  ASSERT_FALSE(shadow.isEmpty());
  ASSERT_FALSE(light.isEmpty());
  // The light copy lies one pixel down and right, beneath the shadow.
  EXPECT_EQ(light.bottom(), shadow.bottom() + 1);
  EXPECT_LE(light.right(), shadow.right() + 1);
  EXPECT_GE(light.left(), shadow.left());

  b->SetUseDisabledColor(true);
  image = picture(b);
  EXPECT_EQ(image.pixel(10, 10), rgb(kOwn));
  b->setEnabled(true);
  image = picture(b);
  EXPECT_EQ(image.pixel(10, 10), rgb(kFace));
  EXPECT_FALSE(inkBox(image, rgb(clWindowText), text).isEmpty());
}

TEST(CuteBtnLook, ASingleBorderFramesTheClientAreaWhichKeepsTheRules) {
  ButtonWindow w;
  TCuteButton* b = w[0];
  b->SetBorderStyle(bsSingle);
  EXPECT_EQ(b->size(), QSize(137, 57));
  EXPECT_EQ(b->ClientRect(), QRect(2, 2, 133, 53));
  QImage image = picture(b);
  EXPECT_EQ(image.pixel(0, 28), rgb(clBtnShadow)) << "the sunken edge";
  EXPECT_EQ(image.pixel(136, 28), rgb(clBtnHighlight));
  EXPECT_EQ(image.pixel(2, 28), rgb(clBtnHighlight)) << "the inner bevel on the client edge";
  EXPECT_EQ(image.pixel(6, 28), rgb(kFace));
  EXPECT_EQ(b->TextBoxPainted(), (Box{4, 4, 129, 49}));

  b->SetCtl3D(false);
  image = picture(b);
  EXPECT_EQ(image.pixel(0, 28), qRgb(0, 0, 0)) << "a one-pixel line";
  EXPECT_EQ(image.pixel(1, 28), rgb(clBtnHighlight));
  EXPECT_EQ(b->ClientRect(), QRect(1, 1, 135, 55));
}

TEST(CuteBtnLook, TheFocusFrameSitsTwoPixelsInsideTheCaptionBoxWhileFocused) {
  ButtonWindow w(2);
  TCuteButton* b = w[0];
  b->SetShowFocusRect(true);
  EXPECT_EQ(picture(b).pixel(6, 6), rgb(kFace)) << "not focused: no frame";
  b->setFocus();
  const QImage image = picture(b);
  const QRgb inverted = rgb(kFace) ^ 0x00FFFFFF;
  EXPECT_EQ(image.pixel(6, 6), inverted);
  EXPECT_EQ(image.pixel(7, 6), rgb(kFace));
  EXPECT_EQ(image.pixel(8, 6), inverted);
  EXPECT_EQ(image.pixel(6, 50), inverted) << "the bottom row: 131 x 51 from the corner at 6, 6";
  EXPECT_EQ(image.pixel(130, 8), inverted);
}

// --- the property table ------------------------------------------------------

TEST(CuteBtnProperties, DefaultsAndWhatEachAssignmentRepaints) {
  enum Reaction { Always, IfChanged, WhileDisabled, StoreOnly };
  QMenu menu;
  const struct {
    const char* name;
    QVariant byDefault;
    QVariant other;
    Reaction reaction;
  } table[] = {
      {"Alignment", QVariant::fromValue(taCenter), QVariant::fromValue(taLeftJustify), Always},
      {"BevelWidth", 1, 3, Always},
      {"BevelHighlightColor", uint(clBtnHighlight), uint(clWhite), IfChanged},
      {"BevelShadowColor", uint(clBtnShadow), uint(clBlack), IfChanged},
      {"BorderStyle", QVariant::fromValue(bsNone), QVariant::fromValue(bsSingle), IfChanged},
      {"Color", uint(clBtnFace), uint(clSilver), IfChanged},
      {"DisabledColor", uint(clGray), uint(clMaroon), WhileDisabled},
      {"DropDownDelay", 0, 500, StoreOnly},
      {"DropDownMenu", QVariant::fromValue<QMenu*>(nullptr), QVariant::fromValue(&menu), IfChanged},
      {"EgnoreContClick", false, true, StoreOnly},
      {"Flat", false, true, IfChanged},
      {"Layout", QVariant::fromValue(tlCenter), QVariant::fromValue(tlBottom), IfChanged},
      {"MarginX", -1, 10, IfChanged},
      {"MarginY", -1, 10, IfChanged},
      {"ShowFocusRect", false, true, IfChanged},
      {"TabFocusUp", true, false, StoreOnly},
      {"UseDisabledColor", false, true, WhileDisabled},
      {"Caption", QString(), QStringLiteral("Go"), IfChanged},
      {"FontColor", uint(clWindowText), uint(clNavy), IfChanged},
      {"Hint", QString(), QStringLiteral("starts a drill"), StoreOnly},
      {"Tag", qint64(0), qint64(7), StoreOnly},
      {"TabStop", true, false, StoreOnly},
      // A new size repaints as any resize does.
      {"Width", 75, 90, IfChanged},
      {"Height", 25, 30, IfChanged},
  };
  for (bool enabled : {true, false}) {
    QWidget window;
    window.resize(200, 100);
    auto* b = new TCuteButton(&window);
    b->setEnabled(enabled);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    PaintCounter paints(b);
    for (const auto& row : table) {
      const std::string what = std::string(row.name) + (enabled ? " enabled" : " disabled");
      EXPECT_EQ(b->property(row.name), row.byDefault) << what;
      const bool repaintsSame = row.reaction == Always;
      const bool repaintsChange = row.reaction == Always || row.reaction == IfChanged ||
                                  (row.reaction == WhileDisabled && !enabled);
      ASSERT_TRUE(b->setProperty(row.name, row.byDefault)) << what;
      EXPECT_EQ(paints.settle() > 0, repaintsSame) << what << ": assigning the same value";
      ASSERT_TRUE(b->setProperty(row.name, row.other)) << what;
      EXPECT_EQ(b->property(row.name), row.other) << what;
      EXPECT_EQ(paints.settle() > 0, repaintsChange) << what << ": assigning another value";
      b->setProperty(row.name, row.byDefault);
      paints.settle();
    }
  }
}

TEST(CuteBtnProperties, MarginsBelowMinusOneStoreMinusOneAndFlatTakesTheInnerBevelAway) {
  TCuteButton b;
  b.SetMarginX(-7);
  b.SetMarginY(INT_MIN);
  EXPECT_EQ(b.MarginX(), -1);
  EXPECT_EQ(b.MarginY(), -1);
  EXPECT_EQ(b.BevelOuter(), CuteBtn::bvNone);
  EXPECT_EQ(b.BevelInner(), CuteBtn::bvRaised);
  b.SetFlat(true);
  EXPECT_EQ(b.BevelInner(), CuteBtn::bvNone);
  b.SetFlat(false);
  EXPECT_EQ(b.BevelInner(), CuteBtn::bvRaised);
  b.SetBevelWidth(0);
  EXPECT_EQ(b.BevelWidth(), 1) << "a bevel is one pixel at the least";
}
