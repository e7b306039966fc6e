// Start-up to the first complete paint, and peak memory, of the drill window
// against a bare Qt window of the same size, each in a fresh process.
//
//   bench_startup [runs]          measures, default 15 runs of each
//   bench_startup --child form|bare  (internal) one start-up

#include "window/Form1.h"
#include "platform/Application.h"

#include "Stats.h"

#include <QtCore/QDir>
#include <QtCore/QElapsedTimer>
#include <QtCore/QFile>
#include <QtCore/QProcess>
#include <QtCore/QTemporaryDir>
#include <QtGui/QPaintEvent>
#include <QtTest/QTest>
#include <QtWidgets/QApplication>

#include <sys/resource.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <vector>

using bench::median;

namespace {

// Reports once the window and every child have painted.
class PaintWatcher : public QObject {
 public:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::Paint) painted.insert(watched);
    return false;
  }
  QSet<QObject*> painted;
};

int child(int argc, char** argv, bool form) {
  QApplication app(argc, argv);
  platform::InstallFontSubstitutions();
  QTemporaryDir dir;
  QDir::setCurrent(dir.path());
  QDir().mkdir("date");
  QFile("date/seiseki.dat").open(QIODevice::WriteOnly);
  QFile("date/mas25.dat").open(QIODevice::WriteOnly);

  std::unique_ptr<QWidget> window;
  if (form) {
    window = std::make_unique<TForm1>();
  } else {
    window = std::make_unique<QWidget>();
    window->setFixedSize(803, 600);
  }
  PaintWatcher watcher;
  window->installEventFilter(&watcher);
  window->show();
  if (!QTest::qWaitForWindowExposed(window.get())) return 2;
  while (!watcher.painted.contains(window.get())) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
  QCoreApplication::processEvents();
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  std::printf("painted %ld\n", usage.ru_maxrss);
  std::fflush(stdout);
  return 0;
}

struct Sample {
  double ms;
  long rssKb;
};

Sample runChild(const QString& program, const char* kind) {
  QProcess process;
  QElapsedTimer clock;
  clock.start();
  process.start(program, {"--child", kind});
  process.waitForStarted();
  QByteArray out;
  while (!out.contains('\n') && process.waitForReadyRead(30000)) out += process.readAllStandardOutput();
  const double ms = clock.nsecsElapsed() / 1e6;
  process.waitForFinished(30000);
  long rss = 0;
  std::sscanf(out.constData(), "painted %ld", &rss);
  return {ms, rss};
}

}  // namespace

int main(int argc, char** argv) {
  if (argc >= 3 && std::strcmp(argv[1], "--child") == 0)
    return child(argc, argv, std::strcmp(argv[2], "form") == 0);

  QCoreApplication app(argc, argv);
  const int runs = argc >= 2 ? std::max(3, std::atoi(argv[1])) : 15;
  const QString self = QCoreApplication::applicationFilePath();
  std::vector<double> formMs, bareMs, formRss, bareRss;
  runChild(self, "bare");  // warm the caches once
  for (int n = 0; n < runs; ++n) {
    // Interleaved, so a noisy moment hits both sides alike.
    const Sample bare = runChild(self, "bare");
    const Sample form = runChild(self, "form");
    bareMs.push_back(bare.ms);
    formMs.push_back(form.ms);
    bareRss.push_back(double(bare.rssKb));
    formRss.push_back(double(form.rssKb));
  }
  const double f = median(formMs), b = median(bareMs);
  const double fr = median(formRss), br = median(bareRss);
  std::printf("startup_to_first_paint runs=%d drill_ms=%.1f bare_ms=%.1f ratio=%.2f (goal <= 1.5)\n",
              runs, f, b, f / b);
  std::printf("peak_rss drill_kb=%.0f bare_kb=%.0f ratio=%.2f (goal <= 1.5)\n", fr, br, fr / br);
  return 0;
}
