// Painting one push button of the drill window (137 x 57, "はじめる" in the
// window's 32-pixel face, BevelWidth 2) against a QPushButton of the same
// size and caption in the style of the platform. Both are rendered into an
// image the same way, in interleaved blocks of the same process, because
// the machine is shared and noisy; the figure is the ratio of the medians.
//
//   bench_button [paints per block]

#include "platform/Application.h"
#include "widgets/CuteBtn.h"

#include "Stats.h"

#include <QtCore/QElapsedTimer>
#include <QtGui/QImage>
#include <QtTest/QTest>
#include <QtWidgets/QApplication>
#include <QtWidgets/QPushButton>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

using bench::median;

namespace {

constexpr int kBlocks = 15;

// Microseconds per paint over one block.
double paintBlock(QWidget* w, QImage& image, int paints) {
  QElapsedTimer clock;
  clock.start();
  for (int i = 0; i < paints; ++i) w->render(&image);
  return double(clock.nsecsElapsed()) / 1e3 / paints;
}

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  platform::InstallFontSubstitutions();
  const int paints = argc >= 2 ? std::max(10, std::atoi(argv[1])) : 2000;

  QFont font(QString::fromUtf16(platform::kWindowFontFamily));
  font.setPixelSize(32);
  const QString caption = QStringLiteral("はじめる");

  QWidget window;
  window.resize(320, 80);
  auto* cute = new TCuteButton(&window);
  cute->setGeometry(8, 8, 137, 57);
  cute->SetCaption(caption);
  cute->setFont(font);
  cute->SetColor(RGBColor(0xEF, 0xEF, 0xEF));
  cute->SetBevelWidth(2);
  auto* plain = new QPushButton(caption, &window);
  plain->setGeometry(160, 8, 137, 57);
  plain->setFont(font);
  window.show();
  if (!QTest::qWaitForWindowExposed(&window)) return 2;

  QImage image(137, 57, QImage::Format_ARGB32_Premultiplied);
  paintBlock(cute, image, paints / 10);  // warm caches and glyphs
  paintBlock(plain, image, paints / 10);
  std::vector<double> cuteUs, plainUs;
  for (int b = 0; b < kBlocks; ++b) {
    cuteUs.push_back(paintBlock(cute, image, paints));
    plainUs.push_back(paintBlock(plain, image, paints));
  }
  const double c = median(cuteUs), p = median(plainUs);
  std::printf("button_paint paints=%dx%d cute_us=%.2f qpushbutton_us=%.2f ratio=%.2f (goal <= 2)\n", kBlocks, paints,
              c, p, c / p);
  return 0;
}
