// What the push button does with the mouse, the cursor coming and going,
// keys and its accelerator, the click that shuts out queued clicks, and the
// drop-down menu.

#include "test_cutebtn.h"

#include <QtCore/QPointer>
#include <QtCore/QTimer>
#include <QtGui/QMouseEvent>
#include <QtWidgets/QMenu>

#include <stdexcept>

using cutebtn_test::ButtonWindow;
using CuteBtn::bvLowered;
using CuteBtn::bvNone;
using CuteBtn::bvRaised;

namespace {

// What a button reported, in order.
struct Log {
  int clicks = 0;
  QStringList events;

  void attach(TCuteButton* b) {
    b->OnClick = [this](QObject*) { ++clicks; };
    b->OnMouseDown = [this](QObject*, Qt::MouseButton button, Qt::KeyboardModifiers, int x, int y) {
      events << QStringLiteral("down %1 %2,%3").arg(int(button)).arg(x).arg(y);
    };
    b->OnMouseUp = [this](QObject*, Qt::MouseButton button, Qt::KeyboardModifiers, int x, int y) {
      events << QStringLiteral("up %1 %2,%3").arg(int(button)).arg(x).arg(y);
    };
    b->OnMouseEnter = [this](QObject*, Qt::KeyboardModifiers, int x, int y) {
      events << QStringLiteral("enter %1,%2").arg(x).arg(y);
    };
    b->OnMouseLeave = [this](QObject*, Qt::KeyboardModifiers, int, int) { events << QStringLiteral("leave"); };
  }
  int count(const QString& prefix) const {
    return int(std::count_if(events.begin(), events.end(), [&](const QString& e) { return e.startsWith(prefix); }));
  }
};

void key(QWidget* w, QEvent::Type type, int code, bool autoRepeat = false, Qt::KeyboardModifiers mods = {}) {
  const QString text = code == Qt::Key_Space ? QStringLiteral(" ")
                       : code == Qt::Key_Return ? QStringLiteral("\r")
                       : code >= Qt::Key_A && code <= Qt::Key_Z ? QString(QChar(code + 32))
                                                                : QString();
  QKeyEvent e(type, code, mods, text, autoRepeat);
  QApplication::sendEvent(w, &e);
}

// A drop-down menu that notes where it opened and closes itself at once.
struct WatchedMenu {
  QMenu menu;
  int shown = 0;
  QPoint shownAt;
  TCuteButton* button = nullptr;
  CuteBtn::TBevelCut bevelWhileShown = bvNone;
  bool skipWhileShown = false;

  explicit WatchedMenu(TCuteButton* b) : button(b) {
    menu.addAction(QStringLiteral("item"));
    QObject::connect(&menu, &QMenu::aboutToShow, &menu, [this] {
      ++shown;
      bevelWhileShown = button->BevelOuter();
      skipWhileShown = button->SkipClick();
      QTimer::singleShot(0, &menu, [this] {
        shownAt = menu.pos();
        menu.close();
      });
    });
    b->SetDropDownMenu(&menu);
  }
};

}  // namespace

// --- mouse -------------------------------------------------------------------

TEST(CuteBtnMouse, APressLowersAndTakesTheFocusAndItsReleaseInsideClicks) {
  ButtonWindow w(2);
  TCuteButton* b = w[0];
  Log log;
  log.attach(b);
  w.press(w.at(b, {30, 20}));
  EXPECT_EQ(b->BevelOuter(), bvLowered);
  EXPECT_TRUE(b->hasFocus());
  EXPECT_EQ(log.clicks, 0);
  w.release(w.at(b, {31, 21}));
  EXPECT_EQ(log.clicks, 1);
  EXPECT_EQ(b->BevelOuter(), bvRaised);
  EXPECT_EQ(log.events, (QStringList{"enter 30,20", "down 1 30,20", "up 1 31,21"}));
}

TEST(CuteBtnMouse, DraggingOffCancelsTheClickAndDraggingBackOnRestoresIt) {
  for (bool tabFocusUp : {true, false}) {
    ButtonWindow w(2);
    TCuteButton* b = w[0];
    b->SetTabFocusUp(tabFocusUp);
    Log log;
    log.attach(b);
    const QPoint off = w.centre(w[1]);
    w.press(w.centre(b));
    w.drag(off);
    EXPECT_EQ(log.count("leave"), 1);
    // A focused button keeps its pressed look while the cursor is away.
    EXPECT_EQ(b->BevelOuter(), tabFocusUp ? bvLowered : bvNone) << tabFocusUp;
    w.drag(w.centre(b));
    EXPECT_EQ(log.count("enter"), 2);
    EXPECT_EQ(b->BevelOuter(), bvLowered) << "back on with the button held";
    w.drag(off);
    EXPECT_EQ(w[1]->BevelOuter(), bvNone) << "no report for the other button while this one holds the mouse";
    w.release(off);
    EXPECT_EQ(log.clicks, 0) << "released off the button";
    EXPECT_EQ(b->BevelOuter(), tabFocusUp ? bvRaised : bvNone);
    EXPECT_EQ(w[1]->BevelOuter(), bvRaised) << "the button under the cursor hears of it after the release";

    w.press(w.centre(b));
    w.drag(off);
    w.drag(w.centre(b));
    w.release(w.centre(b));
    EXPECT_EQ(log.clicks, 1) << "dragged back on before the release";
  }
}

TEST(CuteBtnMouse, ADoubleClickIsOneClickAndPressesTwice) {
  ButtonWindow w;
  Log log;
  log.attach(w[0]);
  w.doubleClick(w.centre(w[0]));
  EXPECT_EQ(log.clicks, 1);
  EXPECT_EQ(log.count("down 1"), 2);
  EXPECT_EQ(log.count("up 1"), 2);
  EXPECT_EQ(w[0]->BevelOuter(), bvRaised);
}

TEST(CuteBtnMouse, TheRightAndMiddleButtonsTakeTheFocusAndReportButNeverPressOrClick) {
  for (Qt::MouseButton button : {Qt::RightButton, Qt::MiddleButton}) {
    ButtonWindow w(2);
    TCuteButton* b = w[0];
    b->SetTabFocusUp(false);
    Log log;
    log.attach(b);
    w.press(w.centre(b), button);
    EXPECT_TRUE(b->hasFocus());
    EXPECT_EQ(b->BevelOuter(), bvRaised) << "the hover bevel of the cursor; no press";
    w.release(w.centre(b), button);
    EXPECT_EQ(log.clicks, 0);
    EXPECT_EQ(log.count(QStringLiteral("down %1").arg(int(button))), 1);
    EXPECT_EQ(log.count(QStringLiteral("up %1").arg(int(button))), 1);
    EXPECT_EQ(b->BevelOuter(), bvRaised);
  }
}

TEST(CuteBtnMouse, TheFrameOfASingleBorderIsNotTheButtonsToPress) {
  ButtonWindow w;
  TCuteButton* b = w[0];
  b->SetBorderStyle(bsSingle);
  Log log;
  log.attach(b);
  w.press(w.at(b, {1, 1}));
  w.release(w.at(b, {1, 1}));
  EXPECT_EQ(log.count("down"), 0);
  EXPECT_EQ(log.count("up"), 0);
  EXPECT_EQ(log.clicks, 0);
  w.click(w.at(b, {2, 2}));
  EXPECT_EQ(log.clicks, 1);
  EXPECT_TRUE(log.events.contains("down 1 0,0")) << "client coordinates start inside the frame";
}

TEST(CuteBtnMouse, AClickThatDisablesItsOwnButtonEndsAtRestOnceTheLeaveReportComes) {
  ButtonWindow w(2);
  TCuteButton* b = w[0];
  Log log;
  log.attach(b);
  QList<CuteBtn::TBevelCut> bevels;
  b->OnClick = [&](QObject*) {
    b->setEnabled(false);
    bevels << b->BevelOuter();
  };
  b->OnMouseUp = [&](QObject*, Qt::MouseButton, Qt::KeyboardModifiers, int, int) { bevels << b->BevelOuter(); };
  b->OnMouseLeave = [&](QObject*, Qt::KeyboardModifiers, int, int) { bevels << b->BevelOuter(); };
  w.click(w.centre(b));
  // The focus left it; the release inside raised it; then, a disabled
  // button being under no cursor, the leave report put it to rest.
  EXPECT_EQ(bevels, (QList<CuteBtn::TBevelCut>{bvNone, bvRaised, bvRaised}));
  EXPECT_EQ(b->BevelOuter(), bvNone);
  EXPECT_FALSE(b->MouseInside());
  b->setEnabled(true);
  QApplication::processEvents();
  EXPECT_EQ(b->BevelOuter(), bvRaised) << "enabled again under the cursor";
}

// --- the cursor coming and going -----------------------------------------------

TEST(CuteBtnHover, TheCursorRaisesTheBevelAndItsLeavingLowersItUnlessTheButtonHoldsTheFocus) {
  ButtonWindow w(2);
  TCuteButton* b = w[0];
  Log log;
  log.attach(b);
  w.hover(w.at(b, {10, 12}));
  EXPECT_EQ(log.events, QStringList{"enter 10,12"});
  EXPECT_EQ(b->BevelOuter(), bvRaised);
  w.park();
  EXPECT_EQ(log.count("leave"), 1);
  EXPECT_EQ(b->BevelOuter(), bvNone);

  b->setFocus();
  w.hover(w.centre(b));
  w.park();
  EXPECT_EQ(b->BevelOuter(), bvRaised) << "focused, with TabFocusUp";
  b->SetTabFocusUp(false);
  w.hover(w.centre(b));
  w.park();
  EXPECT_EQ(b->BevelOuter(), bvNone) << "focused, without TabFocusUp";
  w[1]->setFocus();
  b->setFocus();
  EXPECT_EQ(b->BevelOuter(), bvNone) << "without TabFocusUp the focus leaves the bevel alone";
}

TEST(CuteBtnHover, ADisabledButtonGetsNoEnterReportButTheLeaveOfACursorThatWasOverIt) {
  ButtonWindow w;
  TCuteButton* b = w[0];
  Log log;
  log.attach(b);
  b->setEnabled(false);
  w.hover(w.centre(b));
  EXPECT_EQ(log.count("enter"), 0);
  EXPECT_EQ(b->BevelOuter(), bvNone);
  b->setEnabled(true);
  QApplication::processEvents();
  EXPECT_EQ(log.count("enter"), 1) << "enabled under a still cursor";
  EXPECT_EQ(b->BevelOuter(), bvRaised);
  b->setEnabled(false);
  QApplication::processEvents();
  EXPECT_EQ(log.count("leave"), 1) << "disabled under a still cursor";
  EXPECT_EQ(b->BevelOuter(), bvNone);
  w.park();
  EXPECT_EQ(log.count("leave"), 1) << "reported once";
}

TEST(CuteBtnHover, HidingTheButtonUnderTheCursorReportsItsLeavingAndShowingItItsComing) {
  ButtonWindow w;
  TCuteButton* b = w[0];
  Log log;
  log.attach(b);
  w.hover(w.centre(b));
  b->hide();
  QApplication::processEvents();
  EXPECT_EQ(log.count("leave"), 1);
  EXPECT_EQ(b->BevelOuter(), bvNone);
  b->show();
  QApplication::processEvents();
  EXPECT_EQ(log.count("enter"), 2);
  EXPECT_EQ(b->BevelOuter(), bvRaised);
}

TEST(CuteBtnMouse, TheRightButtonPopsUpThePopupMenu) {
  ButtonWindow w;
  TCuteButton* b = w[0];
  QMenu menu;
  menu.addAction(QStringLiteral("item"));
  b->SetPopupMenu(&menu);
  w.press(w.centre(b), Qt::RightButton);
  w.release(w.centre(b), Qt::RightButton);
  EXPECT_TRUE(QTest::qWaitFor([&] { return menu.isVisible(); }, 2000));
  menu.close();
}

// --- keys ------------------------------------------------------------------------

TEST(CuteBtnKeys, SpaceClicksOnItsReleaseUnlessAnotherKeyCameBetween) {
  for (bool tabFocusUp : {true, false}) {
    ButtonWindow w;
    TCuteButton* b = w[0];
    b->SetTabFocusUp(tabFocusUp);
    b->setFocus();
    Log log;
    log.attach(b);
    const auto resting = tabFocusUp ? bvRaised : bvNone;

    key(b, QEvent::KeyPress, Qt::Key_Space);
    EXPECT_EQ(b->BevelOuter(), bvLowered);
    for (int i = 0; i < 3; ++i) {  // held: Qt reports repeats as pairs
      key(b, QEvent::KeyRelease, Qt::Key_Space, true);
      key(b, QEvent::KeyPress, Qt::Key_Space, true);
    }
    EXPECT_EQ(log.clicks, 0);
    key(b, QEvent::KeyRelease, Qt::Key_Space);
    EXPECT_EQ(log.clicks, 1);
    EXPECT_EQ(b->BevelOuter(), resting);

    key(b, QEvent::KeyPress, Qt::Key_Space);
    key(b, QEvent::KeyPress, Qt::Key_A);
    EXPECT_FALSE(b->SpaceDown());
    EXPECT_EQ(b->BevelOuter(), resting);
    key(b, QEvent::KeyRelease, Qt::Key_A);
    key(b, QEvent::KeyRelease, Qt::Key_Space);
    EXPECT_EQ(log.clicks, 1) << "the other key cancelled the press";
  }
}

TEST(CuteBtnKeys, EnterClicksOnEveryKeyDownAutoRepeatIncluded) {
  ButtonWindow w;
  TCuteButton* b = w[0];
  b->setFocus();
  Log log;
  log.attach(b);
  CuteBtn::TBevelCut during = bvNone;
  b->OnClick = [&](QObject*) {
    ++log.clicks;
    during = b->BevelOuter();
  };
  key(b, QEvent::KeyPress, Qt::Key_Return);
  key(b, QEvent::KeyPress, Qt::Key_Return, true);
  key(b, QEvent::KeyPress, Qt::Key_Return, true);
  key(b, QEvent::KeyPress, Qt::Key_Enter);
  EXPECT_EQ(log.clicks, 4);
  EXPECT_EQ(during, bvLowered);
  EXPECT_EQ(b->BevelOuter(), bvRaised);
}

TEST(CuteBtnKeys, AButtonDisabledByItsKeyDownHandlerOnlyReportsTheKey) {
  for (int code : {int(Qt::Key_Space), int(Qt::Key_Return)}) {
    ButtonWindow w(2);
    TCuteButton* b = w[0];
    b->setFocus();
    Log log;
    log.attach(b);
    int downs = 0, presses = 0;
    b->OnKeyDown = [&](QObject*, int&, Qt::KeyboardModifiers) {
      ++downs;
      b->setEnabled(false);
    };
    b->OnKeyPress = [&](QObject*, QChar&) { ++presses; };
    key(b, QEvent::KeyPress, code);
    key(b, QEvent::KeyRelease, code);
    EXPECT_EQ(downs, 1);
    EXPECT_EQ(presses, 0);
    EXPECT_EQ(log.clicks, 0);
    EXPECT_FALSE(b->SpaceDown());
  }
}

TEST(CuteBtnKeys, KeyEventsComeBeforeTheButtonsOwnReactionAndMayChangeTheKey) {
  ButtonWindow w;
  TCuteButton* b = w[0];
  b->setFocus();
  Log log;
  log.attach(b);
  QList<QChar> characters;
  b->OnKeyDown = [&](QObject*, int& k, Qt::KeyboardModifiers) {
    if (k == Qt::Key_Return) k = 0;  // the handler takes Enter away
  };
  b->OnKeyPress = [&](QObject*, QChar& c) { characters << c; };
  key(b, QEvent::KeyPress, Qt::Key_Return);
  EXPECT_EQ(log.clicks, 0);
  key(b, QEvent::KeyPress, Qt::Key_Space);
  key(b, QEvent::KeyRelease, Qt::Key_Space);
  EXPECT_EQ(log.clicks, 1);
  EXPECT_EQ(characters, (QList<QChar>{QChar(13), QChar(u' ')}));
}

TEST(CuteBtnKeys, ASpacePressEndsWhenTheFocusLeaves) {
  ButtonWindow w(2);
  TCuteButton* b = w[0];
  b->setFocus();
  Log log;
  log.attach(b);
  key(b, QEvent::KeyPress, Qt::Key_Space);
  w.click(w.centre(w[1]));
  b->setFocus();
  key(b, QEvent::KeyRelease, Qt::Key_Space);
  EXPECT_EQ(log.clicks, 0);
}

TEST(CuteBtnKeys, AltAndTheAcceleratorLetterClickAnEnabledButtonAnywhereInItsWindow) {
  ButtonWindow w(2);
  TCuteButton* b = w[0];
  b->SetCaption(QStringLiteral("&Start"));
  w[1]->SetCaption(QStringLiteral("保存(&V)"));
  Log log;
  log.attach(b);
  CuteBtn::TBevelCut during = bvNone;
  b->OnClick = [&](QObject*) {
    ++log.clicks;
    during = b->BevelOuter();
  };
  w[1]->setFocus();
  QTest::keyClick(w[1], Qt::Key_S, Qt::AltModifier);
  EXPECT_EQ(log.clicks, 1);
  EXPECT_EQ(during, bvLowered);
  EXPECT_EQ(b->BevelOuter(), bvRaised) << "then the resting bevel";
  EXPECT_TRUE(w[1]->hasFocus()) << "the accelerator does not move the focus";

  int others = 0;
  w[1]->OnClick = [&](QObject*) { ++others; };
  QTest::keyClick(w[1], Qt::Key_V, Qt::AltModifier);
  EXPECT_EQ(others, 1);

  b->setEnabled(false);
  QTest::keyClick(w[1], Qt::Key_S, Qt::AltModifier);
  EXPECT_EQ(log.clicks, 1) << "disabled: passed on";
  b->setEnabled(true);
  b->SetCaption(QStringLiteral("&Go"));
  QTest::keyClick(w[1], Qt::Key_S, Qt::AltModifier);
  EXPECT_EQ(log.clicks, 1) << "the old letter is gone with the old caption";
  QTest::keyClick(w[1], Qt::Key_G, Qt::AltModifier);
  EXPECT_EQ(log.clicks, 2);
}

// --- EgnoreContClick -------------------------------------------------------------

TEST(CuteBtnClick, WithEgnoreContClickTheClicksQueuedDuringTheHandlerAreDropped) {
  for (bool ignore : {true, false}) {
    ButtonWindow w;
    TCuteButton* b = w[0];
    b->SetEgnoreContClick(ignore);
    int runs = 0;
    bool attachedDuring = true;
    b->OnClick = [&](QObject*) {
      ++runs;
      attachedDuring = bool(b->OnClick);
      if (runs > 1) return;
      // Two more clicks arrive while the handler is busy.
      const QPointF local(30, 20), global = b->mapToGlobal(QPoint(30, 20));
      for (int i = 0; i < 2; ++i) {
        QCoreApplication::postEvent(b, new QMouseEvent(QEvent::MouseButtonPress, local, global, Qt::LeftButton,
                                                       Qt::LeftButton, Qt::NoModifier));
        QCoreApplication::postEvent(b, new QMouseEvent(QEvent::MouseButtonRelease, local, global, Qt::LeftButton,
                                                       Qt::NoButton, Qt::NoModifier));
      }
    };
    w.click(w.centre(b));
    QApplication::processEvents();
    EXPECT_EQ(runs, ignore ? 1 : 3) << ignore;
    EXPECT_EQ(attachedDuring, !ignore);
    ASSERT_TRUE(bool(b->OnClick)) << "attached again";
    w.click(w.centre(b));
    EXPECT_EQ(runs, ignore ? 2 : 4);
  }
}

TEST(CuteBtnClick, AHandlerThatThrowsIsReportedAndAttachedAgain) {
  ButtonWindow w;
  TCuteButton* b = w[0];
  b->SetEgnoreContClick(true);
  b->OnClick = [](QObject*) { throw std::runtime_error("ファイルが見つかりません"); };
  w.click(w.centre(b));
  EXPECT_EQ(testing_support::recorded().errors, QStringList{"ファイルが見つかりません."});
  EXPECT_TRUE(bool(b->OnClick));
}

TEST(CuteBtnClick, WithoutOnClickTheActionRunsAndLendsItsLook) {
  ButtonWindow w;
  TCuteButton* b = w[0];
  b->OnClick = nullptr;
  QAction action(QStringLiteral("&Run"));
  int runs = 0;
  QObject::connect(&action, &QAction::triggered, [&] { ++runs; });
  b->SetAction(&action);
  EXPECT_EQ(b->Caption(), "&Run");
  w.click(w.centre(b));
  EXPECT_EQ(runs, 1);
  action.setEnabled(false);
  EXPECT_FALSE(b->isEnabled());
}

// --- the drop-down menu --------------------------------------------------------------

TEST(CuteBtnDropDown, WithoutADelayThePressOpensTheMenuUnderTheButtonAndNothingClicks) {
  ButtonWindow w;
  TCuteButton* b = w[0];
  Log log;
  log.attach(b);
  WatchedMenu watch(b);
  w.press(w.centre(b));
  EXPECT_EQ(watch.shown, 1);
  EXPECT_EQ(watch.shownAt, b->mapToGlobal(QPoint(0, b->height())));
  EXPECT_EQ(watch.bevelWhileShown, bvLowered);
  EXPECT_TRUE(watch.skipWhileShown);
  EXPECT_EQ(b->BevelOuter(), bvRaised) << "the press ended as if released";
  EXPECT_TRUE(log.events.contains("up 1 0,0"));
  w.release(w.centre(b));
  EXPECT_EQ(log.clicks, 0);
  EXPECT_EQ(log.count("up"), 1) << "the real release is not heard again";
  EXPECT_FALSE(b->SkipClick());
  w.click(w.centre(b));
  EXPECT_EQ(watch.shown, 2);
}

TEST(CuteBtnDropDown, WithADelayAQuickPressClicksAndAHeldPressOpensTheMenu) {
  ButtonWindow w;
  TCuteButton* b = w[0];
  Log log;
  log.attach(b);
  WatchedMenu watch(b);
  b->SetDropDownDelay(60000);
  w.press(w.centre(b));
  const QPointer<TCuteButtonTimer> timer = b->DropDownTimer();
  ASSERT_TRUE(timer);
  EXPECT_EQ(timer->FCuteButton, b);
  EXPECT_EQ(timer->parent(), b);
  w.release(w.centre(b));
  EXPECT_EQ(log.clicks, 1);
  EXPECT_EQ(watch.shown, 0);
  EXPECT_FALSE(timer) << "the release freed the timer";

  b->SetDropDownDelay(30);
  w.press(w.centre(b));
  EXPECT_EQ(watch.shown, 0) << "not before the delay";
  EXPECT_TRUE(QTest::qWaitFor([&] { return watch.shown == 1; }, 5000));
  EXPECT_EQ(b->DropDownTimer(), nullptr);
  w.release(w.centre(b));
  EXPECT_EQ(log.clicks, 1) << "the menu took this press";
  EXPECT_EQ(b->BevelOuter(), bvRaised);
}

TEST(CuteBtnDropDown, SpaceOpensTheMenuAndItsReleaseClicksNothing) {
  for (int delay : {0, 20}) {
    ButtonWindow w;
    TCuteButton* b = w[0];
    b->setFocus();
    Log log;
    log.attach(b);
    WatchedMenu watch(b);
    b->SetDropDownDelay(delay);
    key(b, QEvent::KeyPress, Qt::Key_Space);
    EXPECT_TRUE(QTest::qWaitFor([&] { return watch.shown == 1; }, 5000)) << delay;
    EXPECT_TRUE(b->DropDownByKey());
    EXPECT_FALSE(b->SpaceDown()) << "the menu ended the press";
    EXPECT_EQ(b->BevelOuter(), bvRaised);
    key(b, QEvent::KeyRelease, Qt::Key_Space);
    EXPECT_EQ(log.clicks, 0) << delay;
  }
}

TEST(CuteBtnDropDown, EnterOpensTheMenuOnlyWithoutADelayAndClicksOtherwise) {
  ButtonWindow w;
  TCuteButton* b = w[0];
  b->setFocus();
  Log log;
  log.attach(b);
  WatchedMenu watch(b);
  key(b, QEvent::KeyPress, Qt::Key_Return);
  EXPECT_EQ(watch.shown, 1);
  EXPECT_EQ(log.clicks, 0);
  b->SetDropDownDelay(500);
  key(b, QEvent::KeyPress, Qt::Key_Return);
  EXPECT_EQ(watch.shown, 1);
  EXPECT_EQ(log.clicks, 1);
  EXPECT_EQ(b->DropDownTimer(), nullptr) << "Enter arms no timer";
}

TEST(CuteBtnDropDown, APendingTimerGoesWithItsButtonAndAKeyUpFreesIt) {
  ButtonWindow w(2);
  WatchedMenu watch(w[0]);
  w[0]->SetDropDownDelay(60000);
  w[0]->setFocus();
  key(w[0], QEvent::KeyPress, Qt::Key_Space);
  const QPointer<TCuteButtonTimer> byKey = w[0]->DropDownTimer();
  ASSERT_TRUE(byKey);
  key(w[0], QEvent::KeyPress, Qt::Key_Space, true);
  EXPECT_EQ(w[0]->DropDownTimer(), byKey) << "one timer at a time";
  key(w[0], QEvent::KeyRelease, Qt::Key_Space);
  EXPECT_FALSE(byKey);

  w.press(w.centre(w[0]));
  const QPointer<TCuteButtonTimer> byMouse = w[0]->DropDownTimer();
  ASSERT_TRUE(byMouse);
  delete w[0];
  EXPECT_FALSE(byMouse);
}

// The button is not told when its menu goes: it forgets the menu instead of
// popping up what is no longer there.
TEST(CuteBtnDropDown, AMenuDestroyedWhileTheButtonHoldsItIsForgotten) {
  ButtonWindow w;
  TCuteButton* b = w[0];
  Log log;
  log.attach(b);
  auto* menu = new QMenu;
  menu->addAction(QStringLiteral("item"));
  b->SetDropDownMenu(menu);
  delete menu;
  EXPECT_EQ(b->DropDownMenu(), nullptr);
  w.click(w.centre(b));
  EXPECT_EQ(log.clicks, 1);
}
