// Keystroke-to-repaint time of an answer cell in a window full of cells.
//
// Each sample is one key sent to the focused cell followed by event
// processing until that cell's paintEvent has run. The same loop on a
// plain widget that only calls update() in keyPressEvent is the baseline;
// both run in the same process, interleaved in blocks, because the machine
// is shared and noisy. Paint events of the other cells are counted too:
// a keystroke should repaint its own cell and nothing else.

#include "platform/Application.h"
#include "platform/Sound.h"
#include "widgets/SaNumEdit.h"

#include "Keystroke.h"
#include "Stats.h"

#include <QtCore/QElapsedTimer>
#include <QtGui/QPainter>
#include <QtTest/QTest>
#include <QtWidgets/QApplication>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <vector>

using bench::percentile;

namespace {

constexpr int kCells = 125;
constexpr int kTarget = 44;  // a cell in the middle of the grid
constexpr int kKeystrokes = 10000;
constexpr int kBlocks = 10;

// The baseline: repaints itself on every key and does nothing else.
class PlainWidget : public QWidget {
 public:
  using QWidget::QWidget;

 protected:
  void keyPressEvent(QKeyEvent*) override { update(); }
  void paintEvent(QPaintEvent*) override {
    QPainter p(this);
    p.fillRect(rect(), Qt::white);
  }
};

class PaintWatch : public QObject {
 public:
  QWidget* target = nullptr;
  long targetPaints = 0;
  long otherPaints = 0;

 protected:
  bool eventFilter(QObject* o, QEvent* e) override {
    if (e->type() == QEvent::Paint) {
      if (o == target)
        ++targetPaints;
      else
        ++otherPaints;
    }
    return false;
  }
};

QFont answerFont() {
  QFont f(QString::fromUtf16(platform::kWindowFontFamily));
  f.setPixelSize(41);
  f.setBold(true);
  return f;
}

QRect gridCell(int k) {
  const int row = k / 10;
  const int col = k % 10;
  return QRect(56 + 52 * col + (col % 2), 112 + 48 * row, 54, 49);
}

// A window of answer cells laid out like the drill's grid; the target slot
// holds either a cell or the plain baseline widget.
struct Grid {
  std::unique_ptr<QWidget> window = std::make_unique<QWidget>();
  QWidget* target = nullptr;
  PaintWatch watch;

  explicit Grid(bool plain) {
    window->resize(803, 112 + 48 * ((kCells + 9) / 10) + 10);
    for (int k = 0; k < kCells; ++k) {
      QWidget* w = nullptr;
      if (k == kTarget && plain) {
        auto* p = new PlainWidget(window.get());
        p->setFocusPolicy(Qt::StrongFocus);
        p->setAttribute(Qt::WA_OpaquePaintEvent);
        w = p;
      } else {
        auto* cell = new TSaNumEdit(window.get());
        cell->setGeometry(gridCell(k));
        cell->SetAlignment(taCenter);
        cell->SetIntegerLength(2);
        cell->SetEnterFocusMove(true);
        cell->SetArrowFocusMove(true);
        cell->setFont(answerFont());
        cell->SetFontColor(clBlue);
        w = cell;
      }
      w->setGeometry(gridCell(k));
      w->installEventFilter(&watch);
      if (k == kTarget) target = w;
    }
    watch.target = target;
    window->show();
    activate();
  }

  // Only one window is active at a time; the measured cell must have the
  // focus (and so its caret), as it has while the child types.
  bool activate() {
    window->activateWindow();
    const bool active = QTest::qWaitForWindowActive(window.get());
    target->setFocus(Qt::TabFocusReason);
    QApplication::processEvents();
    return active && target->hasFocus();
  }

  // Sends one key and waits for the target's repaint; returns microseconds.
  double keystroke(int i) { return bench::KeystrokeToRepaintUs(target, watch.targetPaints, i); }
};

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  platform::InstallFontSubstitutions();
  platform::SetBeepHook([] {});

  Grid cells(false);
  Grid plain(true);
  std::vector<double> cellTimes;
  std::vector<double> plainTimes;
  cellTimes.reserve(kKeystrokes);
  plainTimes.reserve(kKeystrokes);

  // Warm-up, not measured.
  for (int i = 0; i < 200; ++i) {
    cells.keystroke(i);
    plain.keystroke(i);
  }

  const int perBlock = kKeystrokes / kBlocks;
  bool focused = true;
  long cellOthers = 0;
  long plainOthers = 0;
  // Activation repaints a whole window; only paints during typing count.
  for (int b = 0; b < kBlocks; ++b) {
    focused = plain.activate() && focused;
    long others = plain.watch.otherPaints;
    for (int i = 0; i < perBlock; ++i) plainTimes.push_back(plain.keystroke(i));
    plainOthers += plain.watch.otherPaints - others;
    focused = cells.activate() && focused;
    others = cells.watch.otherPaints;
    for (int i = 0; i < perBlock; ++i) cellTimes.push_back(cells.keystroke(i));
    cellOthers += cells.watch.otherPaints - others;
  }
  if (!focused) std::printf("warning: a measured widget did not have the focus\n");

  const double p50 = percentile(cellTimes, 0.50);
  const double p99 = percentile(cellTimes, 0.99);
  const double b50 = percentile(plainTimes, 0.50);
  const double b99 = percentile(plainTimes, 0.99);
  std::printf("keystroke_repaint keystrokes=%d p50_us=%.1f p99_us=%.1f baseline_p50_us=%.1f "
              "baseline_p99_us=%.1f ratio_p50=%.2f ratio_p99=%.2f\n",
              int(cellTimes.size()), p50, p99, b50, b99, p50 / b50, p99 / b99);
  std::printf("other_cell_paints_per_keystroke=%.4f (baseline window %.4f; goal 0)\n",
              double(cellOthers) / double(cellTimes.size()),
              double(plainOthers) / double(plainTimes.size()));
  std::printf("final_text=\"%s\"\n", qPrintable(static_cast<TSaNumEdit*>(cells.target)->Text()));
  return 0;
}
