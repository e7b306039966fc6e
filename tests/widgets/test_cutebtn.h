#pragma once
// Helpers shared by the push button's tests: an active window of buttons in
// the drill window's look, and mouse input that goes through the window as
// a real pointer's does (so Qt grabs on press and makes double-clicks).

#include "common/TestSupport.h"
#include "platform/Application.h"
#include "widgets/CuteBtn.h"

#include <QtGui/QCursor>
#include <QtTest/QTest>
#include <QtWidgets/QApplication>

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace cutebtn_test {

inline QRgb rgb(TColor c) { return ColorToQColor(c).rgb(); }

// Buttons of 137 x 57 side by side; the window itself holds the focus and
// the cursor is outside every button.
struct ButtonWindow {
  std::unique_ptr<QWidget> window = std::make_unique<QWidget>();
  std::vector<TCuteButton*> buttons;

  explicit ButtonWindow(int count = 1) {
    QCursor::setPos(QPoint(2000, 2000));  // away from where the last test left it
    window->resize(count * 160 + 20, 120);
    for (int i = 0; i < count; ++i) {
      auto* b = new TCuteButton(window.get());
      b->setGeometry(20 + i * 160, 20, 137, 57);
      b->SetCaption(QStringLiteral("Abc"));
      QFont font(QString::fromUtf16(platform::kWindowFontFamily));
      font.setPixelSize(32);
      b->setFont(font);
      b->SetColor(RGBColor(0xEF, 0xEF, 0xEF));
      b->SetBevelWidth(2);
      buttons.push_back(b);
    }
    window->show();
    window->activateWindow();
    EXPECT_TRUE(QTest::qWaitForWindowActive(window.get()));
    window->setFocus();
    park();
  }
  ~ButtonWindow() {
    for (Qt::MouseButton b : {Qt::LeftButton, Qt::RightButton})
      if (QGuiApplication::mouseButtons().testFlag(b)) QTest::mouseRelease(handle(), b, {}, QPoint(1, 1));
  }
  TCuteButton* operator[](int i) const { return buttons[std::size_t(i)]; }
  QWindow* handle() const { return window->windowHandle(); }
  QPoint centre(TCuteButton* b) const { return b->mapTo(window.get(), b->rect().center()); }

  // The pointer moved with no button held.
  void hover(QPoint p) const {
    QCursor::setPos(window->mapToGlobal(p));
    QApplication::processEvents();
  }
  void park() const { hover(QPoint(5, 110)); }
  void press(QPoint p, Qt::MouseButton b = Qt::LeftButton) const {
    QCursor::setPos(window->mapToGlobal(p));
    QTest::mousePress(handle(), b, {}, p);
    QApplication::processEvents();
  }
  // Moved with a button held: the move goes to the button that took the press.
  void drag(QPoint p) const {
    QTest::mouseMove(handle(), p);
    QApplication::processEvents();
  }
  void release(QPoint p, Qt::MouseButton b = Qt::LeftButton) const {
    QTest::mouseRelease(handle(), b, {}, p);
    QApplication::processEvents();
  }
  void click(QPoint p) const {
    press(p);
    release(p);
  }
};

}  // namespace cutebtn_test
