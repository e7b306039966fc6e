#pragma once
// Helpers shared by the cell's tests: a shown, active window holding cells
// in tab order, the window's font, and counting paints.

#include "common/TestSupport.h"
#include "platform/Application.h"
#include "widgets/SaNumEdit.h"

#include <QtCore/QEvent>
#include <QtCore/QMap>
#include <QtTest/QTest>
#include <QtWidgets/QApplication>

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace sanum_test {

inline QFont WindowFont(int pixels, bool bold) {
  QFont f(QString::fromUtf16(platform::kWindowFontFamily));
  f.setPixelSize(pixels);
  f.setBold(bold);
  return f;
}

inline int Beeps() { return testing_support::recorded().beeps; }

// An active window with `count` cells side by side, in tab order; showing
// it gives the first cell the focus.
struct CellWindow {
  std::unique_ptr<QWidget> window = std::make_unique<QWidget>();
  std::vector<TSaNumEdit*> cells;

  explicit CellWindow(int count, int width = 80) {
    window->resize(count * (width + 10) + 10, 80);
    for (int i = 0; i < count; ++i) {
      auto* cell = new TSaNumEdit(window.get());
      cell->setObjectName(QStringLiteral("Cell%1").arg(i + 1));
      cell->setGeometry(10 + i * (width + 10), 10, width, 30);
      cells.push_back(cell);
    }
    window->show();
    window->activateWindow();
    EXPECT_TRUE(QTest::qWaitForWindowActive(window.get()));
  }
  TSaNumEdit* operator[](int i) const { return cells[std::size_t(i)]; }

  // Gives a cell the focus as the user would and lets the events settle.
  void focus(int i) const {
    cells[std::size_t(i)]->setFocus(Qt::TabFocusReason);
    QApplication::processEvents();
  }
};

// Counts paint events per widget.
class PaintCounter : public QObject {
 public:
  void watch(QWidget* w) { w->installEventFilter(this); }
  int count(QObject* w) const { return counts.value(w); }
  int total() const {
    int n = 0;
    for (int c : counts) n += c;
    return n;
  }
  void reset() { counts.clear(); }

 protected:
  bool eventFilter(QObject* o, QEvent* e) override {
    if (e->type() == QEvent::Paint) ++counts[o];
    return false;
  }

 private:
  QMap<QObject*, int> counts;
};

}  // namespace sanum_test
