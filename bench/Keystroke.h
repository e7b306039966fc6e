#pragma once
// Keystroke to repaint: the latency a child feels while typing into a cell.

#include <QtCore/QCoreApplication>
#include <QtCore/QElapsedTimer>
#include <QtTest/QTest>
#include <QtWidgets/QWidget>

namespace bench {

// Sends one key to target (a digit on even i, Backspace on odd i, so the
// text never grows) and waits until the paint counter moves. Gives the
// microseconds from the key to the repaint.
inline double KeystrokeToRepaintUs(QWidget* target, const long& paints, int i) {
  const long before = paints;
  QElapsedTimer clock;
  clock.start();
  if (i % 2 == 0)
    QTest::keyClick(target, Qt::Key(Qt::Key_1 + (i / 2) % 9));
  else
    QTest::keyClick(target, Qt::Key_Backspace);
  while (paints == before) QCoreApplication::processEvents(QEventLoop::AllEvents);
  return double(clock.nsecsElapsed()) / 1000.0;
}

}  // namespace bench
