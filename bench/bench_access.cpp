// Keystroke-to-repaint time of an answer cell in the drill window, with a
// screen reader listening against the same without one.
//
// One drill window, started as a child starts it; the keys go to an answer
// cell in the middle of the 100-square, a digit then Backspace, each sample
// timed until that cell's paintEvent has run. Blocks with accessibility on
// and off alternate in the same process, because the machine is shared and
// noisy.
//
// "On" is what a screen reader brings: QAccessible::setActive(true) raises
// the flag every report tests, the events are built, and each one is taken
// as a bridge and its client take it: the interface is looked up and its
// role, name, description, state, text and caret are read. Started under a
// real accessibility bus (QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 on xcb with
// at-spi running), the events go to Qt's own AT-SPI bridge instead.

#include "platform/Accessibility.h"
#include "window/Form1.h"
#include "platform/Application.h"
#include "platform/Sound.h"
#include "widgets/CuteBtn.h"
#include "widgets/MMTimer.h"
#include "widgets/SaNumEdit.h"

#include "Keystroke.h"
#include "Stats.h"

#include <QtCore/QDir>
#include <QtCore/QElapsedTimer>
#include <QtCore/QFile>
#include <QtCore/QTemporaryDir>
#include <QtCore/QTimer>
#include <QtGui/QAccessible>
#include <QtTest/QTest>
#include <QtWidgets/QApplication>

#include <algorithm>
#include <cstdio>
#include <vector>

using bench::percentile;

namespace {

constexpr int kTarget = 45;  // an answer cell in the middle of the grid
constexpr int kKeystrokes = 10000;
constexpr int kBlocks = 10;

long events = 0;

// What the AT-SPI bridge and a screen reader ask of the interface for each
// event, done at once instead of over the bus.
void TakeLikeAScreenReader(QAccessibleEvent* event) {
  ++events;
  QAccessibleInterface* iface = event->accessibleInterface();
  if (!iface) return;
  QString said = iface->text(QAccessible::Name) + iface->text(QAccessible::Description);
  volatile int sink = int(iface->role()) + int(iface->state().focused) + int(said.size());
  if (QAccessibleTextInterface* text = iface->textInterface())
    sink = sink + text->cursorPosition() + int(text->text(0, text->characterCount()).size());
  (void)sink;
}

class PaintWatch : public QObject {
 public:
  QWidget* target = nullptr;
  long paints = 0;

 protected:
  bool eventFilter(QObject* o, QEvent* e) override {
    if (o == target && e->type() == QEvent::Paint) ++paints;
    return false;
  }
};

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  platform::SetApplicationTitle(QStringLiteral("Sorabe"));
  platform::InstallFontSubstitutions();
  platform::SetBeepHook([] {});
  platform::SetSoundHook([](const QString&) {});
  platform::SetMessageBoxHook([](const QString&) {});
  platform::SetErrorBoxHook([](const QString&) {});
  a11y::Install();
  // The bridge comes up once it has reached the bus, a moment after start.
  QElapsedTimer waited;
  waited.start();
  while (!qEnvironmentVariableIsEmpty("QT_LINUX_ACCESSIBILITY_ALWAYS_ON") && !QAccessible::isActive() &&
         waited.elapsed() < 5000)
    QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
  const bool realBus = QAccessible::isActive();
  if (!realBus) a11y::SetWatcher(&TakeLikeAScreenReader);

  // The window reads its histories from the working folder.
  QTemporaryDir folder;
  QDir::setCurrent(folder.path());
  QDir().mkdir(QStringLiteral("date"));
  for (const char* name : {"date/seiseki.dat", "date/mas25.dat"}) {
    QFile file(QString::fromLatin1(name));
    if (!file.open(QIODevice::WriteOnly)) return 1;
  }

  TForm1 form;
  form.show();
  form.activateWindow();
  if (!QTest::qWaitForWindowActive(&form)) std::printf("warning: the window did not become active\n");
  QCoreApplication::processEvents();
  form.CuteButton1Click(form.CuteButton1);
  for (int step = 0; step < 3; ++step) form.Timer1Timer(form.Timer1);
  form.MMTimer1->SetEnabled(false);  // the clock is not what is measured
  TSaNumEdit* cell = form.SaNumEdit(kTarget);
  cell->setFocus(Qt::TabFocusReason);
  QCoreApplication::processEvents();

  PaintWatch watch;
  watch.target = cell;
  cell->installEventFilter(&watch);
  auto keystroke = [&](int i) { return bench::KeystrokeToRepaintUs(cell, watch.paints, i); };
  // Only observers hear this: on a real bus Qt's bridge stays connected and
  // only our reports stop, as when no screen reader is running.
  auto listening = [](bool on) { QAccessible::setActive(on); };

  for (int i = 0; i < 200; ++i) keystroke(i);  // warm-up, not measured

  std::vector<double> offTimes, onTimes;
  offTimes.reserve(kKeystrokes);
  onTimes.reserve(kKeystrokes);
  long onEvents = 0;
  const int perBlock = kKeystrokes / kBlocks;
  for (int b = 0; b < kBlocks; ++b) {
    listening(false);
    for (int i = 0; i < perBlock; ++i) offTimes.push_back(keystroke(i));
    listening(true);
    const long before = events;
    for (int i = 0; i < perBlock; ++i) onTimes.push_back(keystroke(i));
    onEvents += events - before;
  }
  listening(false);

  const double off50 = percentile(offTimes, 0.50), off99 = percentile(offTimes, 0.99);
  const double on50 = percentile(onTimes, 0.50), on99 = percentile(onTimes, 0.99);
  std::printf("access_keystroke_repaint mode=%s keystrokes=%d off_p50_us=%.1f off_p99_us=%.1f "
              "on_p50_us=%.1f on_p99_us=%.1f ratio_p50=%.2f ratio_p99=%.2f (goal <= 1.2)\n",
              realBus ? "at-spi-bus" : "in-process-reader", int(onTimes.size()), off50, off99, on50, on99,
              on50 / off50, on99 / off99);
  if (!realBus)
    std::printf("events_per_keystroke_on=%.2f name=\"%s\" final_text=\"%s\"\n",
                double(onEvents) / double(onTimes.size()),
                qPrintable(QAccessible::queryAccessibleInterface(cell)->text(QAccessible::Name)),
                qPrintable(cell->Text()));
  return 0;
}
