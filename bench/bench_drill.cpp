// The drill window at work, offscreen:
//  - CPU time of the program while the stopwatch runs, against the same
//    window idle for the same time;
//  - the closing of a 100-square drill (grading, record, list reload) with
//    a history of 100,000 records, against a plain copy of that file.
//
//   bench_drill [seconds of stopwatch, default 30]

#include "window/Form1.h"
#include "drill/ScoreHistory.h"
#include "platform/Application.h"
#include "platform/ShiftJis.h"
#include "platform/Sound.h"
#include "widgets/CuteBtn.h"
#include "widgets/MMTimer.h"
#include "widgets/SaNumEdit.h"

#include "Stats.h"

#include <QtCore/QDir>
#include <QtCore/QElapsedTimer>
#include <QtCore/QEventLoop>
#include <QtCore/QFile>
#include <QtCore/QTemporaryDir>
#include <QtCore/QTimer>
#include <QtTest/QTest>
#include <QtWidgets/QApplication>

#include <fcntl.h>
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <vector>

using bench::median;

namespace {

double cpuSeconds() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec +
         (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

// CPU share of one core while the event loop runs for the given time.
double cpuShare(int seconds) {
  const double before = cpuSeconds();
  QElapsedTimer wall;
  wall.start();
  // A plain event loop: QTest::qWait would poll and cost CPU of its own.
  QEventLoop loop;
  QTimer::singleShot(seconds * 1000, &loop, &QEventLoop::quit);
  loop.exec();
  return (cpuSeconds() - before) / (wall.nsecsElapsed() / 1e9);
}

void startDrill(TForm1& form) {
  form.CuteButton1Click(form.CuteButton1);
  for (int step = 0; step < 3; ++step) form.Timer1Timer(form.Timer1);
}

// Copies a file the way the history is rewritten: read it all, write it
// all to a new file, flush it to disk, replace the old one.
void plainCopy(const char* from, const char* to) {
  QFile in(from);
  in.open(QIODevice::ReadOnly);
  const QByteArray bytes = in.readAll();
  const int fd = ::open(to, O_WRONLY | O_CREAT | O_TRUNC, 0644);
  if (fd < 0 || ::write(fd, bytes.constData(), size_t(bytes.size())) != bytes.size()) std::abort();
  ::fsync(fd);
  ::close(fd);
  ::rename(to, from);
}

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  platform::InstallFontSubstitutions();
  platform::SetSoundHook([](const QString&) {});
  platform::SetBeepHook([] {});
  platform::SetMessageBoxHook([](const QString&) {});
  const int seconds = argc >= 2 ? std::max(2, std::atoi(argv[1])) : 30;

  QTemporaryDir dir;
  QDir::setCurrent(dir.path());
  QDir().mkdir("date");
  QFile("date/mas25.dat").open(QIODevice::WriteOnly);
  {
    QFile history("date/seiseki.dat");
    history.open(QIODevice::WriteOnly);
    const QByteArray record = platform::ToShiftJis("2003/4/05  98点  たしざん  2:5:3\r\n");
    QByteArray all;
    all.reserve(record.size() * 100000);
    for (int n = 0; n < 100000; ++n) all += record;
    history.write(all);
  }

  TForm1 form;
  form.show();
  if (!QTest::qWaitForWindowExposed(&form)) return 1;
  QTest::qWait(200);

  // CPU: idle window, then the same window with the stopwatch running.
  const double idle = cpuShare(seconds);
  startDrill(form);
  const double running = cpuShare(seconds);
  const bool stillRunning = form.MMTimer1->Enabled();
  std::printf("stopwatch_cpu seconds=%d running=%.3f%% idle=%.3f%% of a core (goal < 1%%); timer %s\n",
              seconds, running * 100, idle * 100, stillRunning ? "still running" : "SWITCHED ITSELF OFF");

  // The closing with 100,000 records, against a plain copy of the file.
  std::vector<double> closing, copying;
  for (int run = 0; run < 7; ++run) {
    startDrill(form);
    for (int k = 1; k <= 100; ++k) form.SaNumEdit(k)->SetText(QString::number(k % 19));
    QChar key(13);
    QElapsedTimer clock;
    clock.start();
    form.SaNumEdit100KeyPress(form.SaNumEdit(100), key);
    closing.push_back(clock.nsecsElapsed() / 1e6);
    if (form.ScoreListLines().size() != 100001 + run) std::abort();

    clock.restart();
    plainCopy("date/seiseki.dat", "date/copy.tmp");
    copying.push_back(clock.nsecsElapsed() / 1e6);
  }
  const double c = median(closing), p = median(copying);
  std::printf("closing_100000_records closing_ms=%.1f plain_copy_ms=%.1f ratio=%.2f\n", c, p, c / p);
  return 0;
}
