// How the push button draws: the bevel and caption rules on plain images,
// the rings, caption, frames of a real button in each state, and which
// property assignments repaint.

#include "test_cutebtn.h"

#include <QtGui/QFontMetrics>
#include <QtGui/QPainter>
#include <QtWidgets/QMenu>

#include <climits>

using cutebtn_test::ButtonWindow;
using cutebtn_test::rgb;
using CuteBtn::Box;

namespace {

constexpr TColor kFace = RGBColor(0xEF, 0xEF, 0xEF);

QImage picture(QWidget* w) {
  QApplication::processEvents();
  return w->grab().toImage().convertToFormat(QImage::Format_RGB32);
}

// The box around every pixel of one colour in an area.
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
    QStringList rows;  // 'a' top colour, 'b' bottom colour
  } cases[] = {
      {1, {"aaaaab", "a....b", "a....b", "a....b", "bbbbbb"}},
      {2, {"aaaaab", "aaaabb", "aa..bb", "abbbbb", "bbbbbb"}},
      // Rings past the middle still draw, as lines across it; six rings
      // reach across this image, the rest would fall off it.
      {4, {"aaaaab", "aaaabb", "aababb", "abbabb", "bbbbbb"}},
      {INT_MAX, {"bbbaaa", "bbaaaa", "bbbaaa", "bbbaaa", "bbaaaa"}},
  };
  for (const auto& c : cases) {
    QImage image(6, 5, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter p(&image);
    const Box left = CuteBtn::DrawBevel(p, {0, 0, 6, 5}, Qt::red, Qt::blue, c.width);
    p.end();
    QStringList rows;
    for (int y = 0; y < 5; ++y) {
      rows << QString();
      for (int x = 0; x < 6; ++x)
        rows.back() += image.pixel(x, y) == qRgb(255, 0, 0) ? u'a' : image.pixel(x, y) == qRgb(0, 0, 255) ? u'b' : u'.';
    }
    EXPECT_EQ(rows, c.rows) << c.width;
    if (c.width < 3) {
      EXPECT_EQ(left, (Box{c.width, c.width, 6 - c.width, 5 - c.width}));
    } else {
      EXPECT_GT(left.left, left.right);
    }
  }
}

TEST(CuteBtnRules, TheCaptionBoxFollowsBevelsMarginsAndThePressAndTheLineItsPlacement) {
  const struct {
    const char* what;
    CuteBtn::CaptionPlacement placement;
    Box box;
  } cases[] = {
      {"drill window at rest", {2, false, taCenter, tlCenter, -1, -1, false}, {4, 4, 133, 53}},
      {"drill window pressed", {2, false, taCenter, tlCenter, -1, -1, true}, {6, 6, 133, 53}},
      {"flat: one bevel's inset", {2, true, taCenter, tlCenter, -1, -1, false}, {2, 2, 135, 55}},
      {"centred ignores margins", {2, false, taCenter, tlCenter, 10, 10, false}, {4, 4, 133, 53}},
      {"left and top margins", {2, false, taLeftJustify, tlTop, 10, 6, false}, {14, 10, 133, 53}},
      {"right, bottom, pressed", {2, false, taRightJustify, tlBottom, 10, 6, true}, {6, 6, 123, 47}},
      {"a margin of 0 is a margin", {1, false, taLeftJustify, tlBottom, 0, 0, false}, {2, 2, 135, 55}},
  };
  for (const auto& c : cases) EXPECT_EQ(CuteBtn::TextBox(QSize(137, 57), c.placement), c.box) << c.what;
  const Box huge = CuteBtn::TextBox({137, 57}, {INT_MAX, false, taLeftJustify, tlTop, INT_MAX, INT_MAX, true});
  EXPECT_GT(huge.left, huge.right) << "no overflow";

  const Box box{4, 4, 133, 53};
  EXPECT_EQ(CuteBtn::TextOrigin(box, {60, 20}, taLeftJustify, tlTop), QPoint(4, 4));
  EXPECT_EQ(CuteBtn::TextOrigin(box, {60, 20}, taRightJustify, tlBottom), QPoint(73, 33));
  EXPECT_EQ(CuteBtn::TextOrigin(box, {60, 20}, taCenter, tlCenter), QPoint(38, 18));
  EXPECT_EQ(CuteBtn::TextOrigin({0, 0, 10, 10}, {13, 13}, taCenter, tlCenter), QPoint(-2, -2)) << "rounds down";
}

TEST(CuteBtnLook, TheRingsLieWhereTheStateAndTheSettingsPutThem) {
  enum State { Rest, Hovered, Focused, Pressed, Disabled };
  constexpr TColor kLight = RGBColor(0xFF, 0xFF, 0xC0), kDark = RGBColor(0x40, 0x20, 0x00);
  const struct {
    State state;
    int bevelWidth;
    bool flat, ownColours;
    const char* left;  // ring by ring from the client edge: Light, Dark, Face
    const char* bottom;
  } cases[] = {
      {Rest, 2, false, false, "LLF", "DDF"},       {Hovered, 2, false, false, "LLLLF", "DDDDF"},
      {Focused, 2, false, true, "LLLLF", "DDDDF"}, {Pressed, 2, false, false, "DDLLF", "LLDDF"},
      {Disabled, 2, false, false, "LLF", "DDF"},   {Rest, 1, false, true, "LF", "DF"},
      {Hovered, 1, false, false, "LLF", "DDF"},    {Pressed, 1, false, true, "DLF", "LDF"},
      {Rest, 2, true, false, "FFF", "FFF"},        {Hovered, 2, true, true, "LLF", "DDF"},
      {Pressed, 2, true, false, "DDF", "LLF"},
  };
  for (const auto& c : cases) {
    ButtonWindow w;
    TCuteButton* b = w[0];
    b->SetBevelWidth(c.bevelWidth);
    b->SetFlat(c.flat);
    if (c.ownColours) {
      b->SetBevelHighlightColor(kLight);
      b->SetBevelShadowColor(kDark);
    }
    if (c.state == Hovered) w.hover(w.centre(b));
    if (c.state == Focused || c.state == Disabled) b->setFocus(Qt::TabFocusReason);
    if (c.state == Pressed) w.press(w.centre(b));
    if (c.state == Disabled) b->setEnabled(false);
    const QImage image = picture(b);
    const QRgb light = rgb(c.ownColours ? kLight : clBtnHighlight), dark = rgb(c.ownColours ? kDark : clBtnShadow);
    auto name = [&](int x, int y) {
      const QRgb px = image.pixel(x, y);
      return px == light ? 'L' : px == dark ? 'D' : px == rgb(kFace) ? 'F' : '?';
    };
    std::string left, bottom;
    for (int i = 0; c.left[i]; ++i) left += name(i, 28), bottom += name(68, 56 - i);
    const std::string what = std::to_string(c.state) + " width " + std::to_string(c.bevelWidth) + (c.flat ? " flat" : "");
    EXPECT_EQ(left, c.left) << what;
    EXPECT_EQ(bottom, c.bottom) << what;
    // Top-right and bottom-left corners belong to the bottom colour.
    EXPECT_EQ(name(136, 0), c.bottom[0]) << what;
    EXPECT_EQ(name(0, 56), c.bottom[0]) << what;
  }
}

TEST(CuteBtnLook, TheCaptionKeepsToItsPlacementMovesByWhatThePressGivesAndUnderlinesItsAccelerator) {
  const struct {
    TAlignment alignment;
    TTextLayout layout;
    int marginX, marginY;
    QPoint pressShift;
  } cases[] = {
      {taCenter, tlCenter, -1, -1, {1, 1}},     {taLeftJustify, tlTop, -1, -1, {2, 2}},
      {taLeftJustify, tlTop, 10, 6, {2, 2}},    {taRightJustify, tlBottom, 10, 6, {0, 0}},
      {taCenter, tlBottom, 10, -1, {1, 0}},
  };
  for (const auto& c : cases) {
    ButtonWindow w;
    TCuteButton* b = w[0];
    b->SetAlignment(c.alignment);
    b->SetLayout(c.layout);
    b->SetMarginX(c.marginX);
    b->SetMarginY(c.marginY);
    const QRect rest = inkBox(picture(b), rgb(clWindowText), b->rect());
    // The ink lies in the line's box where its placement puts it.
    const QSize extent = QFontMetrics(b->font()).size(Qt::TextSingleLine, QStringLiteral("Abc"));
    const QPoint origin = CuteBtn::TextOrigin(b->TextBoxPainted(), extent, c.alignment, c.layout);
    const QString what = QStringLiteral("%1 %2 margins %3,%4").arg(c.alignment).arg(c.layout).arg(c.marginX).arg(c.marginY);
    EXPECT_TRUE(QRect(origin, extent).adjusted(-1, -1, 1, 1).contains(rest)) << what.toStdString();
    if (c.alignment == taLeftJustify) {
      EXPECT_EQ(origin.x(), 4 + std::max(c.marginX, 0)) << what.toStdString();
    }
    if (c.layout == tlBottom) {
      EXPECT_EQ(origin.y() + extent.height(), 53 - std::max(c.marginY, 0)) << what.toStdString();
    }
    w.press(w.centre(b));
    const QRect pressed = inkBox(picture(b), rgb(clWindowText), b->rect());
    EXPECT_EQ(pressed.topLeft() - rest.topLeft(), c.pressShift) << what.toStdString();
    w.release(w.centre(b));
    if (c.alignment != taCenter || c.layout != tlCenter) continue;
    b->SetCaption(QStringLiteral("&Abc"));
    EXPECT_GT(inkBox(picture(b), rgb(clWindowText), b->rect()).bottom(), rest.bottom()) << "underlined";
  }
}

TEST(CuteBtnLook, DisabledTheCaptionIsEtchedAndTheFaceTakesTheDisabledColourOnlyIfUsed) {
  constexpr TColor kOwn = RGBColor(0xA0, 0xB0, 0xC0);
  ButtonWindow w;
  TCuteButton* b = w[0];
  b->SetDisabledColor(kOwn);
  b->setEnabled(false);
  QImage image = picture(b);
  const QRect text(4, 4, 129, 49);
  EXPECT_EQ(image.pixel(10, 10), rgb(kFace));
  const QRect light = inkBox(image, rgb(clBtnHighlight), text), shadow = inkBox(image, rgb(clBtnShadow), text);
  EXPECT_TRUE(inkBox(image, rgb(clWindowText), text).isEmpty());
  ASSERT_FALSE(light.isEmpty() || shadow.isEmpty());
  EXPECT_EQ(light.bottom(), shadow.bottom() + 1) << "the light copy lies one down and right, beneath";
  EXPECT_GE(light.left(), shadow.left());
  b->SetUseDisabledColor(true);
  EXPECT_EQ(picture(b).pixel(10, 10), rgb(kOwn));
  b->setEnabled(true);
  EXPECT_EQ(picture(b).pixel(10, 10), rgb(kFace));
}

TEST(CuteBtnLook, FramesAndTheFocusRectangleLieOutsideAndInsideTheRules) {
  ButtonWindow w;
  TCuteButton* b = w[0];
  b->SetBorderStyle(bsSingle);
  EXPECT_EQ(b->ClientRect(), QRect(2, 2, 133, 53)) << "the widget keeps its size";
  QImage image = picture(b);
  EXPECT_EQ(image.pixel(0, 28), rgb(clBtnShadow)) << "the sunken edge";
  EXPECT_EQ(image.pixel(136, 28), rgb(clBtnHighlight));
  EXPECT_EQ(image.pixel(2, 28), rgb(clBtnHighlight)) << "the inner bevel on the client edge";
  EXPECT_EQ(b->TextBoxPainted(), (Box{4, 4, 129, 49})) << "in client coordinates";
  b->SetCtl3D(false);
  EXPECT_EQ(picture(b).pixel(0, 28), qRgb(0, 0, 0)) << "one line";
  EXPECT_EQ(b->ClientRect(), QRect(1, 1, 135, 55));

  b->SetBorderStyle(bsNone);
  b->SetShowFocusRect(true);
  EXPECT_EQ(picture(b).pixel(6, 6), rgb(kFace)) << "no focus, no frame";
  b->setFocus();
  image = picture(b);
  // Every other pixel of the caption box inset by 2 (6, 6 to 130, 50) inverted.
  const QRgb inverted = rgb(kFace) ^ 0x00FFFFFF;
  EXPECT_EQ(image.pixel(6, 6), inverted);
  EXPECT_EQ(image.pixel(7, 6), rgb(kFace));
  EXPECT_EQ(image.pixel(6, 50), inverted);
  EXPECT_EQ(image.pixel(130, 8), inverted);
}

TEST(CuteBtnProperties, DefaultsAndWhatEachAssignmentRepaints) {
  enum Reaction { Always, IfChanged, WhileDisabled, StoreOnly };
  QMenu menu;
  const struct {
    const char* name;
    QVariant byDefault, other;
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
      {"Width", 75, 90, IfChanged},  // a new size repaints as any resize does
      {"Height", 25, 30, IfChanged},
  };
  for (bool enabled : {true, false}) {
    QWidget window;
    auto* b = new TCuteButton(&window);
    b->setEnabled(enabled);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    int paints = 0;
    struct Counter : QObject {
      int* n;
      bool eventFilter(QObject*, QEvent* e) override {
        if (e->type() == QEvent::Paint) ++*n;
        return false;
      }
    } counter;
    counter.n = &paints;
    b->installEventFilter(&counter);
    auto painted = [&] {
      QApplication::processEvents();
      return std::exchange(paints, 0) > 0;
    };
    painted();
    for (const auto& row : table) {
      const std::string what = std::string(row.name) + (enabled ? " enabled" : " disabled");
      EXPECT_EQ(b->property(row.name), row.byDefault) << what;
      ASSERT_TRUE(b->setProperty(row.name, row.byDefault)) << what;
      EXPECT_EQ(painted(), row.reaction == Always) << what << ": the same value";
      ASSERT_TRUE(b->setProperty(row.name, row.other)) << what;
      EXPECT_EQ(b->property(row.name), row.other) << what;
      EXPECT_EQ(painted(), row.reaction <= IfChanged || (row.reaction == WhileDisabled && !enabled)) << what;
      b->setProperty(row.name, row.byDefault);
      painted();
    }
  }
  TCuteButton b;
  b.SetMarginX(-7);
  b.SetBevelWidth(0);
  EXPECT_EQ(b.MarginX(), -1) << "a margin below -1 is stored as -1";
  EXPECT_EQ(b.BevelWidth(), 1);
  b.SetFlat(true);
  EXPECT_EQ(b.BevelInner(), CuteBtn::bvNone);
}
