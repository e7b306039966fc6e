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

// What a button reported: its clicks, and its mouse events in order.
struct Log {
  int clicks = 0;
  QStringList events;

  explicit Log(TCuteButton* b) {
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

void key(QWidget* w, QEvent::Type type, int code, bool autoRepeat = false) {
  const QString text = code == Qt::Key_Space ? QStringLiteral(" ") : code == Qt::Key_Return ? QStringLiteral("\r") : "";
  QKeyEvent e(type, code, Qt::NoModifier, text, autoRepeat);
  QApplication::sendEvent(w, &e);
}

// A drop-down menu that notes where it opened and closes itself at once.
struct WatchedMenu {
  QMenu menu;
  int shown = 0;
  QPoint shownAt;

  explicit WatchedMenu(TCuteButton* b) {
    menu.addAction(QStringLiteral("item"));
    QObject::connect(&menu, &QMenu::aboutToShow, &menu, [this, b] {
      ++shown;
      EXPECT_TRUE(b->SkipClick());
      QTimer::singleShot(0, &menu, [this] {
        shownAt = menu.pos();
        menu.close();
      });
    });
    b->SetDropDownMenu(&menu);
  }
};

}  // namespace

TEST(CuteBtnMouse, ClickDragOffAndBackAndTheBevelAllTheWay) {
  for (bool tabFocusUp : {true, false}) {
    ButtonWindow w(2);
    TCuteButton* b = w[0];
    b->SetTabFocusUp(tabFocusUp);
    Log log(b);
    const QPoint on = w.centre(b), off = w.centre(w[1]);
    w.press(on);
    EXPECT_EQ(b->BevelOuter(), bvLowered);
    EXPECT_TRUE(b->hasFocus());
    w.drag(off);
    EXPECT_EQ(b->BevelOuter(), tabFocusUp ? bvLowered : bvNone) << "a focused button keeps its look";
    EXPECT_EQ(w[1]->BevelOuter(), bvNone) << "no report for another while this one holds the mouse";
    w.drag(on);
    EXPECT_EQ(b->BevelOuter(), bvLowered) << "back on, the button held";
    w.drag(off);
    w.release(off);
    EXPECT_EQ(log.clicks, 0);
    EXPECT_EQ(b->BevelOuter(), tabFocusUp ? bvRaised : bvNone);
    EXPECT_EQ(w[1]->BevelOuter(), bvRaised) << "the button under the cursor hears of it after the release";
    w.press(on);
    w.drag(off);
    w.drag(on);
    w.release(on);
    EXPECT_EQ(log.clicks, 1);
    EXPECT_EQ(log.count("enter"), 4);
    EXPECT_EQ(log.count("leave"), 3);
    EXPECT_EQ(log.events.first(), "enter 68,28");
    EXPECT_EQ(log.events[1], "down 1 68,28");
  }
}

TEST(CuteBtnMouse, ADoubleClickIsOneClickAndOtherButtonsNeitherPressNorClick) {
  ButtonWindow w;
  TCuteButton* b = w[0];
  Log log(b);
  QTest::mouseDClick(w.handle(), Qt::LeftButton, {}, w.centre(b));
  EXPECT_EQ(log.clicks, 1);
  EXPECT_EQ(log.count("down 1"), 2) << "the second press is still a press";
  EXPECT_EQ(log.count("up 1"), 2);

  QMenu menu;
  menu.addAction(QStringLiteral("item"));
  b->SetPopupMenu(&menu);
  for (Qt::MouseButton button : {Qt::MiddleButton, Qt::RightButton}) {
    ButtonWindow other;
    Log otherLog(other[0]);
    other.press(other.centre(other[0]), button);
    EXPECT_TRUE(other[0]->hasFocus());
    EXPECT_NE(other[0]->BevelOuter(), bvLowered) << "no press";
    other.release(other.centre(other[0]), button);
    EXPECT_EQ(otherLog.count(QStringLiteral("up %1").arg(int(button))), 1);
    EXPECT_EQ(otherLog.clicks, 0);
  }
  w.press(w.centre(b), Qt::RightButton);
  w.release(w.centre(b), Qt::RightButton);
  EXPECT_TRUE(QTest::qWaitFor([&] { return menu.isVisible(); }, 2000)) << "the right button's menu";
  menu.close();

  b->SetBorderStyle(bsSingle);
  w.click(b->mapTo(w.window.get(), QPoint(1, 1)));
  EXPECT_EQ(log.clicks, 1) << "the frame is not the button's to press";
  w.click(b->mapTo(w.window.get(), QPoint(2, 2)));
  EXPECT_TRUE(log.events.contains("down 1 0,0")) << "client coordinates start inside the frame";
}

TEST(CuteBtnMouse, AClickThatDisablesItsOwnButtonEndsAtRestOnceTheLeaveReportComes) {
  ButtonWindow w(2);
  TCuteButton* b = w[0];
  QList<CuteBtn::TBevelCut> bevels;
  b->OnClick = [&](QObject*) {
    b->setEnabled(false);
    bevels << b->BevelOuter();
  };
  b->OnMouseUp = [&](QObject*, Qt::MouseButton, Qt::KeyboardModifiers, int, int) { bevels << b->BevelOuter(); };
  b->OnMouseLeave = [&](QObject*, Qt::KeyboardModifiers, int, int) { bevels << b->BevelOuter(); };
  w.click(w.centre(b));
  // The focus left it; the release inside raised it; then the leave
  // report, as a disabled button is under no cursor, put it to rest.
  EXPECT_EQ(bevels, (QList<CuteBtn::TBevelCut>{bvNone, bvRaised, bvRaised}));
  EXPECT_EQ(b->BevelOuter(), bvNone);
  b->setEnabled(true);
  QApplication::processEvents();
  EXPECT_EQ(b->BevelOuter(), bvRaised) << "enabled again under the cursor";
}

TEST(CuteBtnHover, EnterAndLeaveReportsMoveTheBevelAndADisabledOrHiddenButtonIsUnderNoCursor) {
  ButtonWindow w(2);
  TCuteButton* b = w[0];
  Log log(b);
  auto hoverAndLeave = [&] {
    w.hover(w.centre(b));
    w.park();
  };
  hoverAndLeave();
  EXPECT_EQ(log.events, (QStringList{"enter 68,28", "leave"}));
  EXPECT_EQ(b->BevelOuter(), bvNone);
  b->setFocus();
  hoverAndLeave();
  EXPECT_EQ(b->BevelOuter(), bvRaised) << "focused with TabFocusUp";
  b->SetTabFocusUp(false);
  hoverAndLeave();
  EXPECT_EQ(b->BevelOuter(), bvNone) << "focused without TabFocusUp";

  log.events.clear();
  b->setEnabled(false);
  w.hover(w.centre(b));
  EXPECT_TRUE(log.events.isEmpty()) << "no enter report while disabled";
  b->setEnabled(true);
  QApplication::processEvents();
  b->hide();
  QApplication::processEvents();
  b->show();
  QApplication::processEvents();
  b->setEnabled(false);
  QApplication::processEvents();
  EXPECT_EQ(log.events, (QStringList{"enter 68,28", "leave", "enter 68,28", "leave"}));
  EXPECT_EQ(b->BevelOuter(), bvNone);
}

TEST(CuteBtnKeys, SpaceClicksOnItsReleaseEnterOnEveryKeyDownAndOtherKeysCancelSpace) {
  for (bool tabFocusUp : {true, false}) {
    ButtonWindow w(2);
    TCuteButton* b = w[0];
    b->SetTabFocusUp(tabFocusUp);
    b->setFocus();
    Log log(b);
    QList<QChar> characters;
    b->OnKeyPress = [&](QObject*, QChar& c) { characters << c; };
    const auto resting = tabFocusUp ? bvRaised : bvNone;

    key(b, QEvent::KeyPress, Qt::Key_Space);
    EXPECT_EQ(b->BevelOuter(), bvLowered);
    key(b, QEvent::KeyRelease, Qt::Key_Space, true);  // held: repeats come as pairs
    key(b, QEvent::KeyPress, Qt::Key_Space, true);
    EXPECT_EQ(log.clicks, 0);
    key(b, QEvent::KeyRelease, Qt::Key_Space);
    EXPECT_EQ(log.clicks, 1);
    EXPECT_EQ(b->BevelOuter(), resting);

    key(b, QEvent::KeyPress, Qt::Key_Space);
    key(b, QEvent::KeyPress, Qt::Key_Shift);
    EXPECT_EQ(b->BevelOuter(), resting);
    key(b, QEvent::KeyRelease, Qt::Key_Space);
    EXPECT_EQ(log.clicks, 1) << "another key cancelled the press";

    key(b, QEvent::KeyPress, Qt::Key_Space);
    w.click(w.centre(w[1]));
    b->setFocus();
    key(b, QEvent::KeyRelease, Qt::Key_Space);
    EXPECT_EQ(log.clicks, 1) << "the press ended with the focus";

    for (bool repeat : {false, true, true}) key(b, QEvent::KeyPress, Qt::Key_Return, repeat);
    key(b, QEvent::KeyPress, Qt::Key_Enter);
    EXPECT_EQ(log.clicks, 5);
    EXPECT_EQ(b->BevelOuter(), resting);
    EXPECT_EQ(characters.count(QChar(u' ')), 4);
    EXPECT_EQ(characters.count(QChar(13)), 4);

    // A handler of the key-down that disables the button leaves only the report.
    b->OnKeyDown = [&](QObject*, int&, Qt::KeyboardModifiers) { b->setEnabled(false); };
    key(b, QEvent::KeyPress, Qt::Key_Return);
    key(b, QEvent::KeyPress, Qt::Key_Space);
    EXPECT_EQ(log.clicks, 5);
    EXPECT_FALSE(b->SpaceDown());
  }
}

TEST(CuteBtnKeys, AltAndTheAcceleratorLetterClickAnEnabledButtonAnywhereInItsWindow) {
  ButtonWindow w(2);
  TCuteButton* b = w[0];
  b->SetCaption(QStringLiteral("保存(&S)"));
  Log log(b);
  CuteBtn::TBevelCut during = bvNone;
  b->OnClick = [&](QObject*) { ++log.clicks, during = b->BevelOuter(); };
  w[1]->setFocus();
  QTest::keyClick(w[1], Qt::Key_S, Qt::AltModifier);
  EXPECT_EQ(log.clicks, 1);
  EXPECT_EQ(during, bvLowered);
  EXPECT_EQ(b->BevelOuter(), bvRaised) << "then the resting bevel";
  EXPECT_TRUE(w[1]->hasFocus());
  b->setEnabled(false);
  QTest::keyClick(w[1], Qt::Key_S, Qt::AltModifier);
  b->setEnabled(true);
  b->SetCaption(QStringLiteral("&Go"));
  QTest::keyClick(w[1], Qt::Key_S, Qt::AltModifier);
  EXPECT_EQ(log.clicks, 1) << "disabled, then with another caption";
  QTest::keyClick(w[1], Qt::Key_G, Qt::AltModifier);
  EXPECT_EQ(log.clicks, 2);
}

TEST(CuteBtnClick, WithEgnoreContClickTheClicksQueuedDuringTheHandlerAreDropped) {
  for (bool ignore : {true, false}) {
    ButtonWindow w;
    TCuteButton* b = w[0];
    b->SetEgnoreContClick(ignore);
    int runs = 0;
    b->OnClick = [&](QObject*) {
      if (++runs > 1) return;
      for (QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease, QEvent::MouseButtonPress,
                                QEvent::MouseButtonRelease})
        QCoreApplication::postEvent(b, new QMouseEvent(type, QPointF(30, 20), QPointF(b->mapToGlobal(QPoint(30, 20))),
                                                       Qt::LeftButton, Qt::NoButton, Qt::NoModifier));
    };
    w.click(w.centre(b));
    EXPECT_EQ(runs, ignore ? 1 : 3) << ignore;
    w.click(w.centre(b));
    EXPECT_EQ(runs, ignore ? 2 : 4) << "attached again";
  }
  ButtonWindow w;
  w[0]->SetEgnoreContClick(true);
  w[0]->OnClick = [](QObject*) { throw std::runtime_error("ファイルが見つかりません"); };
  w.click(w.centre(w[0]));
  EXPECT_EQ(testing_support::recorded().errors, QStringList{"ファイルが見つかりません."});
  EXPECT_TRUE(bool(w[0]->OnClick)) << "attached again after the error";

  QAction action(QStringLiteral("&Run"));
  int runs = 0;
  QObject::connect(&action, &QAction::triggered, [&] { ++runs; });
  w[0]->OnClick = nullptr;
  w[0]->SetAction(&action);
  w.click(w.centre(w[0]));
  EXPECT_EQ(runs, 1) << "without OnClick the action runs";
  EXPECT_EQ(w[0]->Caption(), "&Run");
  action.setEnabled(false);
  EXPECT_FALSE(w[0]->isEnabled());
}

TEST(CuteBtnDropDown, ByMouseAtOnceOrAfterTheDelayUnderTheButtonAndThePressClicksNothing) {
  ButtonWindow w;
  TCuteButton* b = w[0];
  Log log(b);
  WatchedMenu watch(b);
  w.press(w.centre(b));
  EXPECT_EQ(watch.shown, 1) << "no delay: on the press";
  EXPECT_EQ(watch.shownAt, b->mapToGlobal(QPoint(0, b->height())));
  EXPECT_EQ(b->BevelOuter(), bvRaised) << "the press ended as if released";
  EXPECT_EQ(log.events.last(), "up 1 0,0");
  w.release(w.centre(b));
  EXPECT_EQ(log.clicks, 0);
  EXPECT_EQ(log.count("up"), 1) << "the real release is not heard";
  EXPECT_FALSE(b->SkipClick());

  b->SetDropDownDelay(60000);
  w.press(w.centre(b));
  const QPointer<TCuteButtonTimer> timer = b->DropDownTimer();
  ASSERT_TRUE(timer);
  EXPECT_EQ(timer->FCuteButton, b);
  w.release(w.centre(b));
  EXPECT_EQ(log.clicks, 1) << "released before the delay";
  EXPECT_FALSE(timer) << "the release freed it";

  b->SetDropDownDelay(30);
  w.press(w.centre(b));
  EXPECT_EQ(watch.shown, 1) << "not before the delay";
  EXPECT_TRUE(QTest::qWaitFor([&] { return watch.shown == 2; }, 5000));
  w.release(w.centre(b));
  EXPECT_EQ(log.clicks, 1) << "the menu took the press";
}

TEST(CuteBtnDropDown, ByKeySpaceOpensTheMenuAndEnterOnlyWithoutADelay) {
  for (int delay : {0, 20}) {
    ButtonWindow w;
    TCuteButton* b = w[0];
    b->setFocus();
    Log log(b);
    WatchedMenu watch(b);
    b->SetDropDownDelay(delay);
    key(b, QEvent::KeyPress, Qt::Key_Space);
    EXPECT_TRUE(QTest::qWaitFor([&] { return watch.shown == 1; }, 5000)) << delay;
    EXPECT_FALSE(b->SpaceDown()) << "the menu ended the press";
    key(b, QEvent::KeyRelease, Qt::Key_Space);
    key(b, QEvent::KeyPress, Qt::Key_Return);
    EXPECT_EQ(watch.shown, delay == 0 ? 2 : 1);
    EXPECT_EQ(log.clicks, delay == 0 ? 0 : 1) << delay;
    EXPECT_EQ(b->BevelOuter(), bvRaised);
  }
}

TEST(CuteBtnDropDown, TheTimerGoesWithItsButtonAndAGoneMenuIsForgotten) {
  ButtonWindow w(2);
  WatchedMenu watch(w[0]);
  w[0]->SetDropDownDelay(60000);
  w[0]->setFocus();
  key(w[0], QEvent::KeyPress, Qt::Key_Space);
  const QPointer<TCuteButtonTimer> byKey = w[0]->DropDownTimer();
  key(w[0], QEvent::KeyPress, Qt::Key_Space, true);
  EXPECT_EQ(w[0]->DropDownTimer(), byKey) << "one timer at a time";
  key(w[0], QEvent::KeyRelease, Qt::Key_Space);
  EXPECT_FALSE(byKey) << "the key-up freed it";
  w.press(w.centre(w[0]));
  const QPointer<TCuteButtonTimer> byMouse = w[0]->DropDownTimer();
  ASSERT_TRUE(byMouse);
  delete w[0];
  EXPECT_FALSE(byMouse);

  // Not told that its menu went, the button forgets it and clicks as one
  // without a menu.
  Log log(w[1]);
  auto* menu = new QMenu;
  w[1]->SetDropDownMenu(menu);
  delete menu;
  w.click(w.centre(w[1]));
  EXPECT_EQ(log.clicks, 1);
}
