// How the cell sizes, lays out and paints itself, and what the mouse, the
// clipboard commands and the popup menu do.

#include "test_sanumedit.h"

#include <QtCore/QMimeData>
#include <QtGui/QClipboard>
#include <QtGui/QContextMenuEvent>
#include <QtGui/QFontMetrics>
#include <QtGui/QImage>
#include <QtGui/QStyleHints>
#include <QtWidgets/QMenu>

using sanum_test::Beeps;
using sanum_test::CellWindow;
using sanum_test::PaintCounter;
using sanum_test::WindowFont;

namespace {

QImage picture(QWidget* w) { return w->grab().toImage().convertToFormat(QImage::Format_RGB32); }

QRgb rgb(TColor c) { return ColorToQColor(c).rgb(); }

// Widget-coordinate point for a client-coordinate point of the cell.
QPoint widgetPoint(const TSaNumEdit& cell, int x, int y) {
  return QPoint(x + cell.FrameWidth(), y + cell.FrameWidth());
}

bool anyPixel(const QImage& image, const QRect& area, QRgb colour) {
  for (int y = area.top(); y <= area.bottom(); ++y)
    for (int x = area.left(); x <= area.right(); ++x)
      if (image.pixel(x, y) == colour) return true;
  return false;
}

struct CellKind {
  const char* name;
  int pixels;
  bool bold;
  int height;
};

}  // namespace

TEST(SaNumEditSize, EveryKindOfCellOfTheWindowComesOutAtItsLaidOutHeight) {
  const CellKind kinds[] = {{"answer", 41, true, 49},
                            {"100-square header", 45, true, 53},
                            {"25-square", 83, true, 91},
                            {"clock", 32, false, 40}};
  QWidget window;
  for (const CellKind& kind : kinds) {
    auto* cell = new TSaNumEdit(&window);
    cell->setGeometry(0, 0, 54, kind.height);
    cell->SetAlignment(taCenter);
    cell->setFont(WindowFont(kind.pixels, kind.bold));
    EXPECT_EQ(cell->height(), kind.height) << kind.name;
    EXPECT_EQ(cell->ClientHeight(), cell->TextHeight() + 4) << kind.name;
    EXPECT_EQ(cell->CaretWidth(), kind.bold ? 2 : 1) << kind.name;
  }
}

TEST(SaNumEditSize, HeightFollowsMarginsBorderAndAutoSize) {
  QWidget window;
  auto* cell = new TSaNumEdit(&window);
  cell->setFont(WindowFont(32, false));
  const int th = cell->TextHeight();
  EXPECT_EQ(cell->height(), th + 4 + 4);
  cell->SetTopMargin(5);
  EXPECT_EQ(cell->height(), th + 7 + 4);
  cell->SetBorderStyle(bsNone);
  EXPECT_EQ(cell->height(), th + 7);
  cell->SetBorderStyle(bsSingle);
  cell->SetCtl3D(false);
  EXPECT_EQ(cell->height(), th + 7 + 2);
  cell->SetAutoSize(false);
  cell->resize(cell->width(), 100);
  cell->SetBottomMargin(9);
  EXPECT_EQ(cell->height(), 100);
}

TEST(SaNumEditSize, GettingAWindowResetsTheColourButALaterOneStays) {
  QWidget window;
  TSaNumEdit cell;
  cell.SetColor(clBlue);
  cell.setParent(&window);
  EXPECT_EQ(cell.Color(), clWindow);
  cell.SetColor(clBlue);
  cell.setFont(WindowFont(41, true));
  EXPECT_EQ(cell.Color(), clBlue);
}

TEST(SaNumEditLayout, TwoDigitAnswersFitTheAnswerCell) {
  QWidget window;
  auto* cell = new TSaNumEdit(&window);
  cell->setGeometry(0, 0, 54, 49);
  cell->SetAlignment(taCenter);
  cell->SetIntegerLength(2);
  cell->setFont(WindowFont(41, true));
  cell->SetText("99");
  const QRect value = cell->ValueRect();
  EXPECT_GE(value.left(), 0);
  EXPECT_LE(value.x() + value.width(), cell->ClientWidth());
  EXPECT_TRUE(cell->FitsWidth("99"));
}

TEST(SaNumEditLayout, CentredValueAndCaretOfTheWorkedExample) {
  CellWindow w(1, 54);
  TSaNumEdit* cell = w[0];
  cell->SetAlignment(taCenter);
  cell->setFont(WindowFont(40, false));  // a digit is half the em: 20 px
  cell->SetText("5");
  ASSERT_EQ(cell->ClientWidth(), 50);
  ASSERT_EQ(cell->TextWidth("5"), 21);
  EXPECT_EQ(cell->ValueRect().x(), 15);
  EXPECT_EQ(cell->ValueRect().width(), 21);
  EXPECT_EQ(cell->LayoutRect(), cell->ValueRect());
  w.focus(0);
  EXPECT_EQ(cell->CaretPoint().x(), 35);
  EXPECT_EQ(cell->CaretRect().x(), 35 + cell->FrameWidth());

  // An empty cell puts the caret one pixel left of where the value starts.
  cell->SetText("");
  EXPECT_EQ(cell->CaretPoint().x(), cell->ValueRect().x() - 1);
}

TEST(SaNumEditLayout, MarksAndAlignmentPlaceTheGroup) {
  QWidget window;
  auto* cell = new TSaNumEdit(&window);
  cell->setGeometry(0, 0, 124, 30);
  cell->setFont(WindowFont(20, false));
  cell->SetLeftMark("$");
  cell->SetRightMark("ab");
  cell->SetText("123");
  const int l = cell->TextWidth("$");
  const int t = cell->TextWidth("123");
  const int r = cell->TextWidth("ab");
  const int cw = cell->ClientWidth();

  // Right-justified: the right mark ends one pixel inside the right margin.
  EXPECT_EQ(cell->RightMarkRect().x() + r, cw - 2 - 1);
  EXPECT_EQ(cell->ValueRect().x() + t, cell->RightMarkRect().x());
  EXPECT_EQ(cell->LeftMarkRect().x() + l, cell->ValueRect().x());
  cell->SetAlignment(taLeftJustify);
  EXPECT_EQ(cell->LeftMarkRect().x(), 2);
  cell->SetAlignment(taCenter);
  const int total = l + t + r;
  EXPECT_EQ(cell->LeftMarkRect().x(), 2 + (cw - 4) / 2 - total / 2);
  EXPECT_EQ(cell->RightMarkRect().x(), 2 + (cw - 4) / 2 + total / 2 - r);

  // Vertical placement.
  const int ch = cell->ClientHeight();
  const int th = cell->TextHeight();
  cell->SetVertAlignment(taTopJustify);
  EXPECT_EQ(cell->ValueRect().y(), 2);
  cell->SetVertAlignment(taBottomJustify);
  EXPECT_EQ(cell->ValueRect().y(), ch - th - 2);

  // Marks take no room around an empty value.
  cell->SetText("");
  EXPECT_EQ(cell->LeftMarkRect().width(), 0);
  EXPECT_EQ(cell->RightMarkRect().width(), 0);
}

TEST(SaNumEditLayout, FixedIntegerPartKeepsTheDigitsInPlace) {
  QWidget window;
  auto* cell = new TSaNumEdit(&window);
  cell->setGeometry(0, 0, 200, 30);
  cell->setFont(WindowFont(20, false));
  cell->SetAlignment(taLeftJustify);
  cell->SetIntegerFixed(true);
  cell->SetIntegerLength(5);
  EXPECT_EQ(cell->LayoutText(), "-00,000");
  cell->SetText("7");
  const QRect box = cell->LayoutRect();
  EXPECT_EQ(box.width(), cell->TextWidth("-00,000"));
  const int rightEdge = cell->ValueRect().x() + cell->ValueRect().width();
  EXPECT_EQ(rightEdge, box.x() + box.width());
  cell->SetText("7812");
  EXPECT_EQ(cell->LayoutRect(), box);
  EXPECT_EQ(cell->ValueRect().x() + cell->ValueRect().width(), rightEdge);
}

TEST(SaNumEditLayout, FixedDecimalsAreShownButTheCaretFollowsTheTyping) {
  CellWindow w(1, 120);
  TSaNumEdit* cell = w[0];
  cell->SetDecimalFixed(true);
  cell->SetDecimalLength(2);
  cell->SetText("3.5");
  EXPECT_EQ(cell->DisplayImage(), "3.50");
  w.focus(0);
  const QFontMetrics metrics(cell->font());
  EXPECT_EQ(cell->CaretPoint().x(), cell->ValueRect().x() + metrics.horizontalAdvance("3.5"));
  EXPECT_LT(cell->CaretPoint().x(), cell->ValueRect().x() + metrics.horizontalAdvance("3.50"));
}

TEST(SaNumEditPaint, SelectionFillsValueAndMarksButNotTheMargins) {
  QWidget window;
  auto* cell = new TSaNumEdit(&window);
  cell->setGeometry(0, 0, 160, 30);
  cell->setFont(WindowFont(20, false));
  const TColor face = RGBColor(0xD2, 0xF7, 0xDD);
  cell->SetColor(face);
  cell->SetAlignment(taCenter);
  cell->SetLeftMark("$");
  cell->SetRightMark("%");
  cell->SetText("12");
  cell->SelectAll();
  const QImage image = picture(cell);
  const QRect lm = cell->LeftMarkRect();
  const QRect rm = cell->RightMarkRect();
  const QRect vr = cell->ValueRect();
  // The top row of each rectangle lies above the glyphs.
  EXPECT_EQ(image.pixel(widgetPoint(*cell, lm.x(), lm.y())), rgb(clHighlight));
  EXPECT_EQ(image.pixel(widgetPoint(*cell, vr.x() + vr.width() / 2, vr.y())), rgb(clHighlight));
  EXPECT_EQ(image.pixel(widgetPoint(*cell, rm.x() + rm.width() - 1, rm.y())), rgb(clHighlight));
  EXPECT_EQ(image.pixel(widgetPoint(*cell, lm.x() - 1, lm.y())), rgb(face));
  EXPECT_EQ(image.pixel(widgetPoint(*cell, rm.x() + rm.width(), rm.y())), rgb(face));
  EXPECT_EQ(image.pixel(widgetPoint(*cell, 0, 0)), rgb(face));
  EXPECT_TRUE(anyPixel(image, vr.translated(cell->FrameWidth(), cell->FrameWidth()), rgb(clHighlightText)));

  cell->ClearSelection();
  const QImage plain = picture(cell);
  EXPECT_EQ(plain.pixel(widgetPoint(*cell, vr.x() + vr.width() / 2, vr.y())), rgb(face));
}

TEST(SaNumEditPaint, DisabledCellUsesItsDisabledColourEvenWhenSelected) {
  QWidget window;
  auto* cell = new TSaNumEdit(&window);
  cell->setGeometry(0, 0, 120, 30);
  cell->setFont(WindowFont(24, true));
  const TColor grey = RGBColor(0x80, 0x20, 0x20);
  cell->SetDisabledColor(grey);
  cell->SetText("88");
  cell->SelectAll();
  cell->setEnabled(false);
  const QImage image = picture(cell);
  const QRect vr = cell->ValueRect().translated(cell->FrameWidth(), cell->FrameWidth());
  EXPECT_TRUE(anyPixel(image, vr, rgb(grey)));
  EXPECT_FALSE(anyPixel(image, vr, rgb(clHighlight)));
  EXPECT_EQ(image.pixel(vr.x() + vr.width() / 2, vr.y()), rgb(clWindow));
}

TEST(SaNumEditPaint, EmptyCellWithMarksShowsOnlyItsBackground) {
  QWidget window;
  auto* cell = new TSaNumEdit(&window);
  cell->setGeometry(0, 0, 120, 30);
  cell->setFont(WindowFont(20, false));
  const TColor face = RGBColor(0xD2, 0xF7, 0xDD);
  cell->SetColor(face);
  cell->SetLeftMark("$");
  cell->SetRightMark("%");
  const QRect client(cell->FrameWidth(), cell->FrameWidth(), cell->ClientWidth(), cell->ClientHeight());
  QImage image = picture(cell);
  for (int y = client.top(); y <= client.bottom(); ++y)
    for (int x = client.left(); x <= client.right(); ++x) ASSERT_EQ(image.pixel(x, y), rgb(face)) << x << "," << y;

  cell->SetIntegerLength(1);
  cell->SetIntegerFixed(true);  // now a "0" stands between the marks
  image = picture(cell);
  const QRect lm = cell->LeftMarkRect().translated(cell->FrameWidth(), cell->FrameWidth());
  ASSERT_GT(lm.width(), 0);
  ASSERT_TRUE(client.contains(lm));
  bool inked = false;
  for (int y = lm.top(); y <= lm.bottom(); ++y)
    for (int x = lm.left(); x <= lm.right(); ++x) inked = inked || image.pixel(x, y) != rgb(face);
  EXPECT_TRUE(inked);
}

TEST(SaNumEditPaint, CaretIsABlockAfterTheValueOnlyWhileFocused) {
  QStyleHints* hints = QGuiApplication::styleHints();
  const int flash = hints->cursorFlashTime();
  hints->setCursorFlashTime(0);  // a steady caret
  CellWindow w(2, 80);
  TSaNumEdit* cell = w[1];
  cell->setFont(WindowFont(24, true));
  cell->SetText("12");
  w.focus(1);
  cell->ClearSelection();
  const QRect caret = cell->CaretRect();
  ASSERT_EQ(caret.size(), QSize(2, cell->TextHeight()));
  const QImage focused = picture(cell);
  // The caret inverts what lies beneath it: the background turns dark.
  EXPECT_NE(focused.pixel(caret.x(), caret.y()), rgb(clWindow));
  EXPECT_EQ(focused.pixel(caret.x() + 2, caret.y()), rgb(clWindow));
  w.focus(0);
  EXPECT_FALSE(cell->CaretExists());
  EXPECT_EQ(picture(cell).pixel(caret.x(), caret.y()), rgb(clWindow));
  hints->setCursorFlashTime(flash);
}

TEST(SaNumEditPaint, TypingRepaintsOnlyItsOwnCell) {
  // Cells overlapping their neighbours by a few pixels, as in the drill's grid.
  QWidget window;
  window.resize(400, 200);
  std::vector<TSaNumEdit*> cells;
  for (int row = 0; row < 3; ++row)
    for (int col = 0; col < 5; ++col) {
      auto* cell = new TSaNumEdit(&window);
      cell->setGeometry(10 + 52 * col + (col % 2), 10 + 48 * row, 54, 49);
      cell->SetAlignment(taCenter);
      cell->SetIntegerLength(2);
      cell->setFont(WindowFont(41, true));
      cells.push_back(cell);
    }
  window.show();
  window.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
  TSaNumEdit* cell = cells[7];
  cell->setFocus(Qt::TabFocusReason);
  QApplication::processEvents();

  PaintCounter counter;
  counter.watch(&window);
  for (TSaNumEdit* c : cells) counter.watch(c);
  for (const char* keys : {"9", "9", "\b", "\b", "7"}) {
    counter.reset();
    if (keys[0] == '\b')
      QTest::keyClick(cell, Qt::Key_Backspace);
    else
      QTest::keyClicks(cell, keys);
    QApplication::processEvents();
    EXPECT_GE(counter.count(cell), 1);
    EXPECT_EQ(counter.total(), counter.count(cell)) << "after " << keys;
  }
  EXPECT_EQ(cell->Text(), "7");
}

TEST(SaNumEditClipboard, CopyPutsTheValueOrTheImage) {
  TSaNumEdit cell;
  cell.SetLeftMark("$");
  cell.SetText("1234");
  QGuiApplication::clipboard()->setText("old");
  cell.CopyToClipboard();  // nothing selected
  EXPECT_EQ(QGuiApplication::clipboard()->text(), "old");
  cell.SelectAll();
  cell.CopyToClipboard();
  EXPECT_EQ(QGuiApplication::clipboard()->text(), "1234");
  cell.SetImageCopy(true);
  cell.CopyToClipboard();
  EXPECT_EQ(QGuiApplication::clipboard()->text(), "$1,234");

  int changes = 0;
  cell.OnChange = [&](QObject*) { ++changes; };
  cell.SetImageCopy(false);
  cell.CutToClipboard();
  EXPECT_EQ(cell.Text(), "");
  EXPECT_EQ(changes, 1);
  cell.UndoEdit();
  EXPECT_EQ(cell.Text(), "1234");
}

TEST(SaNumEditClipboard, PasteIsCleanedAndAppended) {
  TSaNumEdit cell;
  int changes = 0;
  cell.OnChange = [&](QObject*) { ++changes; };
  QGuiApplication::clipboard()->setText("1,234");
  cell.PasteFromClipboard();
  EXPECT_EQ(cell.Text(), "1234");

  QGuiApplication::clipboard()->setText(u"５６"_qs);
  cell.PasteFromClipboard();
  EXPECT_EQ(cell.Text(), "123456");
  cell.SelectAll();
  cell.PasteFromClipboard();
  EXPECT_EQ(cell.Text(), "56");
  EXPECT_FALSE(cell.Selected());
  EXPECT_EQ(changes, 3);

  cell.SetIntegerLength(2);
  cell.SetText("12");
  QGuiApplication::clipboard()->setText("5");
  cell.PasteFromClipboard();
  EXPECT_EQ(cell.Text(), "");  // 125 has too many digits
  EXPECT_EQ(Beeps(), 0);
  cell.UndoEdit();
  EXPECT_EQ(cell.Text(), "12");

  auto* image = new QMimeData;
  image->setData("application/octet-stream", "12");
  QGuiApplication::clipboard()->setMimeData(image);
  changes = 0;
  cell.PasteFromClipboard();
  EXPECT_EQ(cell.Text(), "12");
  EXPECT_EQ(changes, 0);
}

namespace {

QMap<int, bool> menuStates(TSaNumEdit& cell) {
  cell.PopupOpening();
  QMap<int, bool> states;
  for (QAction* item : cell.PopupMenu()->actions())
    if (!item->isSeparator()) states[item->data().toInt()] = item->isEnabled();
  return states;
}

QAction* menuItem(TSaNumEdit& cell, int tag) {
  for (QAction* item : cell.PopupMenu()->actions())
    if (item->data().toInt() == tag) return item;
  return nullptr;
}

}  // namespace

TEST(SaNumEditMenu, ItemsAreTheEditingCommandsInOrder) {
  TSaNumEdit cell;
  QStringList captions;
  for (QAction* item : cell.PopupMenu()->actions()) captions << (item->isSeparator() ? "-" : item->text());
  EXPECT_EQ(captions, QStringList({u"元に戻す(&U)"_qs, "-", u"切り取り(&T)"_qs, u"コピー(&C)"_qs,
                                   u"貼り付け(&P)"_qs, u"削除(&D)"_qs, "-", u"すべて選択(&A)"_qs}));

  cell.SetText("42");
  menuItem(cell, 7)->trigger();
  EXPECT_TRUE(cell.Selected());
  menuItem(cell, 3)->trigger();
  EXPECT_EQ(QGuiApplication::clipboard()->text(), "42");
  int changes = 0;
  cell.OnChange = [&](QObject*) { ++changes; };
  menuItem(cell, 5)->trigger();  // delete: no OnChange
  EXPECT_EQ(cell.Text(), "");
  EXPECT_EQ(changes, 0);
  menuItem(cell, 0)->trigger();
  EXPECT_EQ(cell.Text(), "42");
  EXPECT_EQ(changes, 1);
}

TEST(SaNumEditMenu, EnabledItemsFollowTheState) {
  CellWindow w(2);
  TSaNumEdit& cell = *w[1];
  QGuiApplication::clipboard()->setText("7");
  cell.SetText("42");
  w.focus(0);
  auto s = menuStates(cell);  // takes the focus, which selects
  EXPECT_EQ(QApplication::focusWidget(), &cell);
  EXPECT_EQ(s, (QMap<int, bool>{{0, false}, {2, true}, {3, true}, {4, true}, {5, true}, {7, false}}));
  cell.ClearSelection();
  s = menuStates(cell);
  EXPECT_EQ(s, (QMap<int, bool>{{0, false}, {2, false}, {3, false}, {4, true}, {5, false}, {7, true}}));

  cell.SetReadOnly(true);
  s = menuStates(cell);
  EXPECT_EQ(s, (QMap<int, bool>{{0, false}, {2, false}, {3, false}, {4, false}, {5, false}, {7, true}}));
  cell.SelectAll();
  s = menuStates(cell);
  EXPECT_EQ(s, (QMap<int, bool>{{0, false}, {2, false}, {3, true}, {4, false}, {5, false}, {7, false}}));

  cell.SetReadOnly(false);
  QChar key = u'1';
  cell.InputDigit(key);
  QGuiApplication::clipboard()->clear();
  s = menuStates(cell);
  EXPECT_TRUE(s[0]);
  EXPECT_FALSE(s[4]);
}

TEST(SaNumEditMenu, RightClickOpensTheMenuOverAFocusedCell) {
  CellWindow w(2);
  w[1]->SetText("5");
  w.focus(0);
  QContextMenuEvent menu(QContextMenuEvent::Mouse, QPoint(5, 5), w[1]->mapToGlobal(QPoint(5, 5)));
  QApplication::sendEvent(w[1], &menu);
  ASSERT_TRUE(w[1]->PopupMenu()->isVisible());
  EXPECT_EQ(QApplication::focusWidget(), w[1]);
  EXPECT_TRUE(menuItem(*w[1], 3)->isEnabled());  // selected on entering
  w[1]->PopupMenu()->close();
  QApplication::processEvents();
  EXPECT_TRUE(w[1]->Selected());

  auto* replacement = new QMenu(w.window.get());
  w[1]->SetPopupMenu(replacement);
  EXPECT_EQ(w[1]->PopupMenu(), replacement);
}

TEST(SaNumEditMouse, ClickFocusesWithoutSelectingAndDoubleClickSelects) {
  CellWindow w(2);
  w[1]->SetText("12");
  w.focus(0);
  int clicks = 0;
  int doubles = 0;
  w[1]->OnClick = [&](QObject*) { ++clicks; };
  w[1]->OnDblClick = [&](QObject*) { ++doubles; };
  const QPoint middle = w[1]->rect().center();
  QTest::mouseClick(w[1], Qt::LeftButton, {}, middle);
  EXPECT_EQ(QApplication::focusWidget(), w[1]);
  EXPECT_FALSE(w[1]->Selected());
  EXPECT_EQ(clicks, 1);

  QTest::mouseDClick(w[1], Qt::LeftButton, {}, middle);
  EXPECT_TRUE(w[1]->Selected());
  EXPECT_EQ(doubles, 1);
  QTest::mouseClick(w[1], Qt::LeftButton, {}, middle);
  EXPECT_FALSE(w[1]->Selected());
}

TEST(SaNumEditMouse, DraggingOverTheValueSelectsIt) {
  CellWindow w(1, 120);
  TSaNumEdit* cell = w[0];
  cell->SetText("345");
  w.focus(0);
  QTest::mouseClick(cell, Qt::LeftButton, {}, QPoint(4, 4));
  ASSERT_FALSE(cell->Selected());
  const QRect value = cell->ValueRectangle();
  ASSERT_GT(value.width(), 0);
  QTest::mousePress(cell, Qt::LeftButton, {}, QPoint(3, 20));
  QMouseEvent outside(QEvent::MouseMove, QPointF(3, 20), cell->mapToGlobal(QPointF(3, 20)), Qt::NoButton,
                      Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(cell, &outside);
  EXPECT_FALSE(cell->Selected());
  const QPointF over = widgetPoint(*cell, value.x() + 1, 0);
  QMouseEvent move(QEvent::MouseMove, over, cell->mapToGlobal(over), Qt::NoButton, Qt::LeftButton,
                   Qt::NoModifier);
  QApplication::sendEvent(cell, &move);
  EXPECT_TRUE(cell->Selected());
  QTest::mouseRelease(cell, Qt::LeftButton, {}, over.toPoint());
}
