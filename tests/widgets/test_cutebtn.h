#pragma once
// Helpers shared by the push button's tests: an active window holding
// buttons in the drill window's look, mouse input that goes the way a real
// pointer's does (through the window, so Qt grabs on press and makes
// double-clicks), and reading pixels.

#include "common/TestSupport.h"
#include "platform/Application.h"
#include "widgets/CuteBtn.h"

#include <QtGui/QCursor>
#include <QtGui/QImage>
#include <QtTest/QTest>
#include <QtWidgets/QApplication>

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace cutebtn_test {

inline QRgb rgb(TColor c) { return ColorToQColor(c).rgb(); }

inline QImage picture(QWidget* w) {
  QApplication::processEvents();
  return w->grab().toImage().convertToFormat(QImage::Format_RGB32);
}

// An active window with buttons side by side, each 137 x 57 in the drill
// window's look.
struct ButtonWindow {
  std::unique_ptr<QWidget> window = std::make_unique<QWidget>();
  std::vector<TCuteButton*> buttons;

  explicit ButtonWindow(int count = 1) {
    // The cursor starts away from the new window, wherever the last test left it.
    QCursor::setPos(QPoint(2000, 2000));
    QApplication::processEvents();
    window->resize(count * 160 + 20, 120);
    for (int i = 0; i < count; ++i) {
      auto* b = new TCuteButton(window.get());
      b->setObjectName(QStringLiteral("CuteButton%1").arg(i + 1));
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
    // No button starts with the focus: the window itself holds it.
    window->setFocus();
    park();
  }
  ~ButtonWindow() {
    for (Qt::MouseButton b : {Qt::LeftButton, Qt::RightButton})
      if (QGuiApplication::mouseButtons().testFlag(b)) QTest::mouseRelease(handle(), b, {}, QPoint(1, 1));
  }
  TCuteButton* operator[](int i) const { return buttons[std::size_t(i)]; }
  QWindow* handle() const { return window->windowHandle(); }

  // Window point of a point in a button (widget coordinates).
  QPoint at(TCuteButton* b, QPoint p) const { return b->mapTo(window.get(), p); }
  QPoint centre(TCuteButton* b) const { return at(b, b->rect().center()); }
  // A point of the window outside every button.
  QPoint outside() const { return QPoint(5, 110); }

  // The pointer as a person moves it with no button held: Qt tells the
  // widgets it enters and leaves.
  void hover(QPoint windowPoint) const {
    QCursor::setPos(window->mapToGlobal(windowPoint));
    QApplication::processEvents();
  }
  void park() const { hover(outside()); }

  void press(QPoint p, Qt::MouseButton b = Qt::LeftButton) const {
    QCursor::setPos(window->mapToGlobal(p));
    QTest::mousePress(handle(), b, {}, p);
    QApplication::processEvents();
  }
  // A move with a button held: it goes to the button that took the press.
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
  void doubleClick(QPoint p) const {
    QCursor::setPos(window->mapToGlobal(p));
    QTest::mouseDClick(handle(), Qt::LeftButton, {}, p);
    QApplication::processEvents();
  }
};

// Counts paint events per widget.
class PaintCounter : public QObject {
 public:
  explicit PaintCounter(QWidget* w) : widget_(w) {
    w->installEventFilter(this);
    QApplication::processEvents();
    count = 0;
  }
  // Paints that followed since the last call.
  int settle() {
    QApplication::processEvents();
    return std::exchange(count, 0);
  }
  int count = 0;

 protected:
  bool eventFilter(QObject* o, QEvent* e) override {
    if (o == widget_ && e->type() == QEvent::Paint) ++count;
    return false;
  }

 private:
  QWidget* widget_;
};

}  // namespace cutebtn_test
