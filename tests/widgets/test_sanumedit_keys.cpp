// Typing into the cell: limits, refusals and beeps, OnChange and undo,
// focus moves, read-only cells and the input method.

#include "test_sanumedit.h"

#include <QtGui/QClipboard>
#include <QtGui/QInputMethodEvent>

using sanum_test::Beeps;
using sanum_test::CellWindow;

namespace {

void type(QWidget* w, const char* keys) { QTest::keyClicks(w, QString::fromLatin1(keys)); }

}  // namespace

TEST(SaNumEditTyping, AnswerCellTakesTwoDigitsASignAndDecimals) {
  CellWindow w(1);
  TSaNumEdit* cell = w[0];
  cell->SetIntegerLength(2);
  w.focus(0);

  type(cell, "-1.5");
  EXPECT_EQ(cell->Text(), "-1.5");
  cell->SetText("");
  type(cell, ".");
  EXPECT_EQ(cell->Text(), "0.");
  cell->SetText("");
  type(cell, "123");
  EXPECT_EQ(cell->Text(), "12");
  EXPECT_EQ(Beeps(), 1);
  cell->SetText("");
  type(cell, "07");
  EXPECT_EQ(cell->Text(), "7");
  cell->SetText("");
  type(cell, "00");
  EXPECT_EQ(cell->Text(), "0");
  type(cell, "5");
  EXPECT_EQ(cell->Text(), "5");
  type(cell, ".1234");
  EXPECT_EQ(cell->Text(), "5.123");
  EXPECT_EQ(Beeps(), 2);

  cell->SetErrorBeep(false);
  cell->SetText("99");
  type(cell, "9");
  EXPECT_EQ(cell->Text(), "99");
  EXPECT_EQ(Beeps(), 2);
}

TEST(SaNumEditTyping, MinusTogglesTheSignWithoutTrimming) {
  CellWindow w(1);
  TSaNumEdit* cell = w[0];
  w.focus(0);
  type(cell, "-");
  EXPECT_EQ(cell->Text(), "-");
  type(cell, "5");
  EXPECT_EQ(cell->Text(), "-5");
  type(cell, "-");
  EXPECT_EQ(cell->Text(), "5");
  type(cell, "-");
  EXPECT_EQ(cell->Text(), "-5");
  cell->SetMinus(false);
  type(cell, "-");
  EXPECT_EQ(Beeps(), 1);
}

TEST(SaNumEditTyping, BackspaceAndDeleteTakeTheLastCharacter) {
  CellWindow w(1);
  TSaNumEdit* cell = w[0];
  w.focus(0);
  int changes = 0;
  cell->OnChange = [&](QObject*) { ++changes; };

  cell->SetText("3.5");
  QTest::keyClick(cell, Qt::Key_Backspace);
  EXPECT_EQ(cell->Text(), "3");  // the point goes with its last decimal
  QTest::keyClick(cell, Qt::Key_Delete);
  EXPECT_EQ(cell->Text(), "");
  EXPECT_EQ(changes, 2);
  QTest::keyClick(cell, Qt::Key_Backspace);
  EXPECT_EQ(changes, 2);
  cell->SetText("-5");
  QTest::keyClick(cell, Qt::Key_Backspace);
  EXPECT_EQ(cell->Text(), "-");
  EXPECT_EQ(Beeps(), 0);

  // A key-down handler that drops the key turns the rule off.
  cell->OnKeyDown = [](QObject*, int& key, Qt::KeyboardModifiers) {
    if (key == Qt::Key_Backspace) key = 0;
  };
  QTest::keyClick(cell, Qt::Key_Backspace);
  EXPECT_EQ(cell->Text(), "-");
  EXPECT_EQ(Beeps(), 0);
}

TEST(SaNumEditTyping, TypingOverASelectionReplacesTheValue) {
  CellWindow w(1);
  TSaNumEdit* cell = w[0];
  w.focus(0);
  int changes = 0;
  cell->OnChange = [&](QObject*) { ++changes; };

  cell->SetText("12");
  cell->SelectAll();
  QTest::keyClick(cell, Qt::Key_Backspace);  // wipes without OnChange
  EXPECT_EQ(cell->Text(), "");
  EXPECT_FALSE(cell->Selected());
  EXPECT_EQ(changes, 0);

  cell->SetText("12");
  cell->SelectAll();
  type(cell, "7");
  EXPECT_EQ(cell->Text(), "7");
  EXPECT_EQ(changes, 1);

  // A refused character still leaves the wiped selection wiped.
  cell->SetIntegerLength(0);
  type(cell, ".5");
  ASSERT_EQ(cell->Text(), "0.5");
  changes = 0;
  cell->SelectAll();
  type(cell, "7");
  EXPECT_EQ(cell->Text(), "");
  EXPECT_EQ(changes, 0);
  EXPECT_EQ(Beeps(), 1);
}

TEST(SaNumEditTyping, ControlKeysBeepOnlyWhereTheyMeanNothing) {
  CellWindow w(1);
  TSaNumEdit* cell = w[0];
  w.focus(0);
  cell->SetText("12");
  QTest::keyClick(cell, Qt::Key_A, Qt::ControlModifier);
  EXPECT_TRUE(cell->Selected());
  QTest::keyClick(cell, Qt::Key_C, Qt::ControlModifier);
  EXPECT_EQ(QGuiApplication::clipboard()->text(), "12");
  QTest::keyClick(cell, Qt::Key_Right);
  EXPECT_FALSE(cell->Selected());
  QTest::keyClick(cell, Qt::Key_V, Qt::ControlModifier);
  EXPECT_EQ(cell->Text(), "1212");
  QTest::keyClick(cell, Qt::Key_Left, Qt::ShiftModifier);
  EXPECT_TRUE(cell->Selected());
  QTest::keyClick(cell, Qt::Key_X, Qt::ControlModifier);
  EXPECT_EQ(cell->Text(), "");
  EXPECT_EQ(QGuiApplication::clipboard()->text(), "1212");
  EXPECT_EQ(Beeps(), 0);

  QTest::keyClick(cell, Qt::Key_Z, Qt::ControlModifier);
  QTest::keyClick(cell, Qt::Key_Escape);
  type(cell, "a ");
  EXPECT_EQ(Beeps(), 4);
  EXPECT_EQ(cell->Text(), "");  // Ctrl+Z is no undo key
}

TEST(SaNumEditTyping, KeyPressHandlerSeesAndMayReplaceEveryCharacter) {
  CellWindow w(1);
  TSaNumEdit* cell = w[0];
  w.focus(0);
  QString seen;
  cell->OnKeyPress = [&](QObject* sender, QChar& key) {
    EXPECT_EQ(sender, cell);
    seen += key.unicode() < 32 ? QString::number(key.unicode()) : QString(key);
    if (key == u'x') key = u'9';
  };
  type(cell, "1x");
  QTest::keyClick(cell, Qt::Key_Backspace);
  QTest::keyClick(cell, Qt::Key_Left);  // no character
  QTest::keyClick(cell, Qt::Key_C, Qt::ControlModifier);
  EXPECT_EQ(seen, "1x83");
  EXPECT_EQ(cell->Text(), "1");
}

TEST(SaNumEditTyping, ReadOnlyCellDropsEverythingSilently) {
  CellWindow w(2);
  TSaNumEdit* cell = w[0];
  cell->SetReadOnly(true);
  cell->SetEnterFocusMove(true);
  cell->SetText("34");
  w.focus(0);
  int presses = 0;
  cell->OnKeyPress = [&](QObject*, QChar&) { ++presses; };
  type(cell, "5-.a");
  QTest::keyClick(cell, Qt::Key_Backspace);
  QTest::keyClick(cell, Qt::Key_V, Qt::ControlModifier);
  QTest::keyClick(cell, Qt::Key_Return);
  QApplication::processEvents();
  EXPECT_EQ(cell->Text(), "34");
  EXPECT_EQ(Beeps(), 0);
  EXPECT_EQ(presses, 7);
  EXPECT_EQ(QApplication::focusWidget(), cell);
  QTest::keyClick(cell, Qt::Key_A, Qt::ControlModifier);
  QTest::keyClick(cell, Qt::Key_C, Qt::ControlModifier);
  EXPECT_EQ(QGuiApplication::clipboard()->text(), "34");
}

TEST(SaNumEditUndo, UndoSwapsWithTheValueBeforeTheLastEdit) {
  CellWindow w(1);
  TSaNumEdit* cell = w[0];
  w.focus(0);
  int changes = 0;
  cell->OnChange = [&](QObject*) { ++changes; };
  EXPECT_FALSE(cell->UndoAvailable());
  cell->UndoEdit();
  EXPECT_EQ(changes, 0);

  type(cell, "12");
  cell->UndoEdit();
  EXPECT_EQ(cell->Text(), "1");
  EXPECT_TRUE(cell->Selected());
  cell->UndoEdit();
  EXPECT_EQ(cell->Text(), "12");
  EXPECT_EQ(changes, 4);
}

// Undo exchanges the value and the undo text as they stand: a limit set
// since the last edit does not re-shape the value undo brings back; it holds
// for what is typed next.
TEST(SaNumEditUndo, UndoBringsBackTheEarlierValueWhateverTheLimitsSayNow) {
  struct Case {
    const char* name;
    int integerLength;
    const char* typed;
    void (*changeLimit)(TSaNumEdit*);
    const char* later;    // the value when undo is chosen
    const char* earlier;  // the value before the last typed character
  };
  const Case cases[] = {
      {"a point typed with IntegerLength 0", 0, ".5", nullptr, "0.5", "0."},
      {"IntegerLength 3 after 12345", 9, "12345", [](TSaNumEdit* c) { c->SetIntegerLength(3); }, "", "1234"},
      {"Minus off after -5", 9, "-5", [](TSaNumEdit* c) { c->SetMinus(false); }, "", "-"},
      {"DecimalLength 1 after 1.234", 9, "1.234", [](TSaNumEdit* c) { c->SetDecimalLength(1); }, "1.2",
       "1.23"},
  };
  CellWindow w(int(std::size(cases)));
  for (int i = 0; i < int(std::size(cases)); ++i) {
    const Case& c = cases[i];
    TSaNumEdit* cell = w[i];
    w.focus(i);
    cell->SetIntegerLength(c.integerLength);
    type(cell, c.typed);
    if (c.changeLimit) c.changeLimit(cell);
    EXPECT_EQ(cell->Text().toStdString(), c.later) << c.name;
    EXPECT_EQ(cell->UndoText().toStdString(), c.earlier) << c.name;
    cell->UndoEdit();
    EXPECT_EQ(cell->Text().toStdString(), c.earlier) << c.name;
    EXPECT_TRUE(cell->Selected()) << c.name;
    cell->UndoEdit();
    EXPECT_EQ(cell->Text().toStdString(), c.later) << c.name << ": undoing twice returns to the later value";
    EXPECT_EQ(cell->UndoText().toStdString(), c.earlier) << c.name;
  }
}

TEST(SaNumEditFocus, EnterAndArrowsMoveAlongTheTabOrderAfterTheKey) {
  CellWindow w(3);
  for (TSaNumEdit* c : w.cells) {
    c->SetEnterFocusMove(true);
    c->SetArrowFocusMove(true);
  }
  // Tab order 1, 3, 2: the moves follow it, not the places on screen.
  QWidget::setTabOrder(w[0], w[2]);
  QWidget::setTabOrder(w[2], w[1]);
  w[1]->SetText("5");
  w.focus(0);

  QWidget* focusDuringKeyPress = nullptr;
  w[0]->OnKeyPress = [&](QObject*, QChar&) { focusDuringKeyPress = QApplication::focusWidget(); };
  w[0]->SetText("4");
  QTest::keyClick(w[0], Qt::Key_Return);
  EXPECT_EQ(focusDuringKeyPress, w[0]);
  EXPECT_EQ(QApplication::focusWidget(), w[0]);  // not yet: the move is queued
  QApplication::processEvents();
  EXPECT_EQ(QApplication::focusWidget(), w[2]);

  QTest::keyClick(w[2], Qt::Key_Down);
  QApplication::processEvents();
  EXPECT_EQ(QApplication::focusWidget(), w[1]);
  EXPECT_TRUE(w[1]->Selected());  // reached by a move: AutoSelect
  QTest::keyClick(w[1], Qt::Key_Up);
  QApplication::processEvents();
  EXPECT_EQ(QApplication::focusWidget(), w[2]);
  EXPECT_EQ(Beeps(), 0);

  w[2]->SetOptions({eoArrowDown});
  QTest::keyClick(w[2], Qt::Key_Up);
  QApplication::processEvents();
  EXPECT_EQ(QApplication::focusWidget(), w[2]);
  w[2]->SetArrowFocusMove(false);
  QTest::keyClick(w[2], Qt::Key_Down);
  QApplication::processEvents();
  EXPECT_EQ(QApplication::focusWidget(), w[2]);
}

TEST(SaNumEditFocus, RefusedEnterBeepsAndStays) {
  CellWindow w(2);
  w.focus(0);
  QTest::keyClick(w[0], Qt::Key_Return);  // EnterFocusMove off
  QApplication::processEvents();
  EXPECT_EQ(QApplication::focusWidget(), w[0]);
  EXPECT_EQ(Beeps(), 1);

  // The drill's answer cells cancel Enter in an empty cell this way.
  w[0]->SetEnterFocusMove(true);
  w[0]->OnKeyPress = [&](QObject* sender, QChar& key) {
    if (key == QChar(13) && static_cast<TSaNumEdit*>(sender)->Text().isEmpty()) key = QChar(0);
  };
  QTest::keyClick(w[0], Qt::Key_Return);
  QApplication::processEvents();
  EXPECT_EQ(QApplication::focusWidget(), w[0]);
  EXPECT_EQ(Beeps(), 2);
  type(w[0], "3");
  QTest::keyClick(w[0], Qt::Key_Return);
  QApplication::processEvents();
  EXPECT_EQ(QApplication::focusWidget(), w[1]);
  EXPECT_EQ(Beeps(), 2);
}

TEST(SaNumEditFocus, CellWithoutAWindowAroundItHasNowhereToMove) {
  TSaNumEdit cell;
  cell.SetEnterFocusMove(true);
  cell.SetArrowFocusMove(true);
  cell.show();
  cell.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&cell));
  QTest::keyClick(&cell, Qt::Key_Return);
  QTest::keyClick(&cell, Qt::Key_Down);
  QApplication::processEvents();
  EXPECT_EQ(Beeps(), 0);
  EXPECT_EQ(cell.Text(), "");
}

TEST(SaNumEditFocus, TabSelectsAndLeavingTidiesUp) {
  CellWindow w(2);
  int enters = 0;
  int exits = 0;
  w[1]->OnEnter = [&](QObject*) { ++enters; };
  w[1]->OnExit = [&](QObject*) { ++exits; };
  w[1]->SetText("12");
  w.focus(0);
  QTest::keyClick(w[0], Qt::Key_Tab);
  ASSERT_EQ(QApplication::focusWidget(), w[1]);
  EXPECT_TRUE(w[1]->Selected());
  EXPECT_TRUE(w[1]->CaretExists());

  w[1]->SetText("");
  type(w[1], "-");
  int changes = 0;
  w[1]->OnChange = [&](QObject*) { ++changes; };
  QTest::keyClick(w[1], Qt::Key_Tab, Qt::ShiftModifier);
  ASSERT_EQ(QApplication::focusWidget(), w[0]);
  EXPECT_EQ(w[1]->Text(), "");  // a lone minus is not a number
  EXPECT_EQ(changes, 0);
  EXPECT_FALSE(w[1]->CaretExists());
  EXPECT_EQ(enters, 1);
  EXPECT_EQ(exits, 1);

  w[1]->SetOptions({eoMinusOnly});
  w[1]->SetText("-");
  w.focus(1);
  EXPECT_TRUE(w[1]->Selected());
  w.focus(0);
  EXPECT_EQ(w[1]->Text(), "-");
  EXPECT_FALSE(w[1]->Selected());  // HideSelection
}

TEST(SaNumEditInput, FullWidthCharactersFromTheInputMethodTypeLikePlainKeys) {
  CellWindow w(1);
  TSaNumEdit* cell = w[0];
  w.focus(0);
  QString seen;
  cell->OnKeyPress = [&](QObject*, QChar& key) { seen += key; };
  QInputMethodEvent commit;
  commit.setCommitString(u"－１２．５"_qs);
  QApplication::sendEvent(cell, &commit);
  EXPECT_EQ(cell->Text(), "-12.5");
  EXPECT_EQ(seen, "-12.5");

  QInputMethodEvent other;
  other.setCommitString(u"あ"_qs);
  QApplication::sendEvent(cell, &other);
  EXPECT_EQ(cell->Text(), "-12.5");
  EXPECT_EQ(Beeps(), 1);

  EXPECT_EQ(cell->inputMethodQuery(Qt::ImCursorRectangle).toRect(), cell->CaretRect());
  EXPECT_EQ(cell->inputMethodQuery(Qt::ImFont).value<QFont>(), cell->font());
}

TEST(SaNumEditInput, WidthStopRefusesWhatWouldNotShow) {
  CellWindow w(1, 40);
  TSaNumEdit* cell = w[0];
  cell->SetOptions({eoORInputStop});
  w.focus(0);
  type(cell, "1111111111");
  const QString kept = cell->Text();
  EXPECT_LT(kept.size(), 9);  // the length limit alone would allow 9 digits
  EXPECT_GT(Beeps(), 0);
  EXPECT_LE(cell->ImageWidth(kept), cell->AvailableWidth());
  EXPECT_GT(cell->ImageWidth(kept + "1"), cell->AvailableWidth());
}
