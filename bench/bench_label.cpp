// Painting the drill window's title: a TShadowLabel set up as ShadowLabel1
// (366 x 35, "Sorabe  Ver 1.10", bold 35, navy, transparent, grey shadow at
// 2, 2, black highlight at -1, -1) against a QLabel with the same caption
// and font, both on a window of the drill's colour. The same shadow label
// with its caption graded in two colours is measured too.
//
// Each sample is a synchronous repaint() of one label: its parent's
// background beneath it, then the label. The kinds run interleaved in
// blocks, as the machine is shared and noisy; medians of the blocks.
//
//   bench_label [repaints per block]

#include "platform/Application.h"
#include "widgets/ShadoLbl.h"

#include "Stats.h"

#include <QtCore/QElapsedTimer>
#include <QtTest/QTest>
#include <QtWidgets/QApplication>
#include <QtWidgets/QLabel>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

using bench::median;

namespace {

constexpr int kBlocks = 15;

QFont titleFont() {
  QFont f(QString::fromUtf16(platform::kWindowFontFamily));
  f.setPixelSize(35);
  f.setBold(true);
  return f;
}

const QString kCaption = QStringLiteral("Sorabe  Ver 1.10");

TShadowLabel* makeTitle(QWidget* parent, int top) {
  auto* label = new TShadowLabel(parent);
  label->SetCaption(kCaption);
  label->setFont(titleFont());
  label->setGeometry(0, top, 366, 35);
  label->SetFontColor(clNavy);
  label->SetTransparent(true);
  label->Highlight()->SetColor(clBlack);
  label->Highlight()->SetOffsetLeft(-1);
  label->Highlight()->SetOffsetTop(-1);
  label->Shadow()->SetColor(clGray);
  label->Shadow()->SetOffsetLeft(2);
  label->Shadow()->SetOffsetTop(2);
  return label;
}

// Microseconds per repaint over n repaints.
double timeRepaints(QWidget* w, int n) {
  QElapsedTimer clock;
  clock.start();
  for (int i = 0; i < n; ++i) w->repaint();
  return double(clock.nsecsElapsed()) / 1000.0 / n;
}

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  platform::InstallFontSubstitutions();
  const int perBlock = argc >= 2 ? std::max(10, std::atoi(argv[1])) : 400;

  QWidget window;
  window.resize(400, 150);
  window.setAutoFillBackground(true);
  QPalette palette = window.palette();
  palette.setColor(QPalette::Window, QColor(0xDB, 0xE0, 0xEE));
  window.setPalette(palette);

  TShadowLabel* title = makeTitle(&window, 0);
  TShadowLabel* graded = makeTitle(&window, 50);
  graded->SetTextGradation(TShadowLabel::tg2Colors);
  auto* plain = new QLabel(kCaption, &window);
  plain->setFont(titleFont());
  plain->setGeometry(0, 100, 366, 35);
  plain->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  QPalette navy = plain->palette();
  navy.setColor(QPalette::WindowText, QColor(0, 0, 0x80));
  plain->setPalette(navy);

  window.show();
  if (!QTest::qWaitForWindowExposed(&window)) return 2;
  for (QWidget* w : {static_cast<QWidget*>(title), static_cast<QWidget*>(graded),
                     static_cast<QWidget*>(plain)})
    timeRepaints(w, 50);  // warm the glyph caches

  std::vector<double> titleUs, gradedUs, plainUs;
  for (int b = 0; b < kBlocks; ++b) {
    plainUs.push_back(timeRepaints(plain, perBlock));
    titleUs.push_back(timeRepaints(title, perBlock));
    gradedUs.push_back(timeRepaints(graded, perBlock));
  }
  const double t = median(titleUs), g = median(gradedUs), q = median(plainUs);
  std::printf("paint_title repaints=%d shadow_label_us=%.1f qlabel_us=%.1f ratio=%.2f (goal <= 3)\n",
              kBlocks * perBlock, t, q, t / q);
  std::printf("paint_title_graded shadow_label_us=%.1f qlabel_us=%.1f ratio=%.2f\n", g, q, g / q);
  return 0;
}
