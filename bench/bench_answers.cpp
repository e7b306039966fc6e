// The answers file's costs, each against a baseline in the same run:
//  - keystroke to repaint in an answer cell while a drill records its focus
//    times, against the same cell with no drill recording;
//  - appending a drill's lines, against writing its score record;
//  - reading the weak facts from 10 years of daily drills, against 1 month;
//  - bytes per drill.

#include "drill/AnswersFile.h"
#include "drill/ScoreHistory.h"
#include "drill/WeakFacts.h"
#include "platform/Application.h"
#include "widgets/CuteBtn.h"
#include "widgets/MMTimer.h"
#include "widgets/SaNumEdit.h"
#include "window/Form1.h"

#include "Keystroke.h"
#include "Stats.h"

#include <QtCore/QDir>
#include <QtCore/QFile>
#include <QtCore/QTemporaryDir>
#include <QtTest/QTest>
#include <QtCore/QTimer>
#include <QtWidgets/QApplication>

#include <cstdio>

using bench::medianMs;
using bench::percentile;

namespace {

std::vector<answers::Answer> drillOf(const QDateTime& when, int cells) {
  std::vector<answers::Answer> lines;
  for (int n = 0; n < cells; ++n)
    lines.push_back({when, cells == 100 ? drill::GridKind::Square100 : drill::GridKind::Square25,
                     drill::Operation::Addition, QString::number(n % 10), QString::number(n / 10 % 10),
                     QString::number(n % 10 + n / 10 % 10), true, 800 + n * 37 % 3000});
  return lines;
}

// Days of daily 100-square drills ending today.
void writeYears(const QString& path, int days) {
  const QDate today = QDate::currentDate();
  const QByteArray todays = answers::FormatAnswers(drillOf(QDateTime(today, QTime(17, 0)), 100));
  QFile file(path);
  if (!file.open(QIODevice::WriteOnly)) return;
  file.write(answers::kHeaderLine);
  for (int d = days - 1; d >= 0; --d)
    file.write(QByteArray(todays).replace(today.toString(Qt::ISODate).toLatin1(),
                                          today.addDays(-d).toString(Qt::ISODate).toLatin1()));
}

// Keystroke-to-repaint samples (µs) in the focused answer cell of form.
struct PaintCounter : QObject {
  long paints = 0;
  bool eventFilter(QObject*, QEvent* e) override {
    if (e->type() == QEvent::Paint) ++paints;
    return false;
  }
};

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  platform::InstallFontSubstitutions();
  QTemporaryDir dir;
  QDir().mkpath(dir.path() + "/date");
  QDir::setCurrent(dir.path());

  // 1. Bytes per drill.
  const QDateTime now = QDateTime::currentDateTime();
  std::printf("bytes per drill: 100-square %lld, 25-square %lld\n",
              qlonglong(answers::FormatAnswers(drillOf(now, 100)).size()),
              qlonglong(answers::FormatAnswers(drillOf(now, 25)).size()));

  // 2. Appending a drill against writing its score record (both synced).
  {
    QByteArray history;
    for (int i = 0; i < 1000; ++i) history += "2003/4/05  98\x93\x5f  \x82\xbd\x82\xb5\x82\xb4\x82\xf1  2:5:3\r\n";
    QFile file(history::kHistory100);
    if (!file.open(QIODevice::WriteOnly)) return 1;
    file.write(history);
  }
  const QString record = history::FormatScoreRecord(now.date(), 98, history::kAdditionWord, "2", "5", "3");
  const auto lines = drillOf(now, 100);
  double recordMs = 0, appendMs = 0;
  for (int block = 0; block < 5; ++block) {
    recordMs += medianMs(9, [&] { history::WriteScoreRecord(history::kHistory100, record, [] {}); });
    appendMs += medianMs(9, [&] { answers::AppendAnswers("date/answers.tsv", lines); });
  }
  std::printf("append 100 answers %.2f ms, write the score record %.2f ms, ratio %.2f\n", appendMs / 5,
              recordMs / 5, appendMs / recordMs);

  // 3. The weak facts from a month and from ten years of daily drills.
  writeYears("month.tsv", 30);
  writeYears("years.tsv", 3650);
  double monthMs = 0, yearsMs = 0;
  for (int block = 0; block < 5; ++block) {
    monthMs += medianMs(9, [] { drill::LoadWeakFacts("month.tsv", drill::Operation::Addition, QDate::currentDate()); });
    yearsMs += medianMs(9, [] { drill::LoadWeakFacts("years.tsv", drill::Operation::Addition, QDate::currentDate()); });
  }
  std::printf("weak facts of 1 month %.2f ms (%lld bytes), 10 years %.2f ms (%lld bytes), ratio %.2f\n", monthMs / 5,
              qlonglong(QFile("month.tsv").size()), yearsMs / 5, qlonglong(QFile("years.tsv").size()),
              yearsMs / monthMs);

  // 4. Keystroke to repaint in an answer cell of a running drill: with the
  // focus times recorded, against the same drill with the application's
  // focus signal blocked (nothing recorded), interleaved in blocks.
  TForm1 form;
  form.show();
  form.activateWindow();
  if (!QTest::qWaitForWindowActive(&form)) return 1;
  form.CuteButton1Click(form.CuteButton1);
  for (int step = 0; step < 3; ++step) form.Timer1Timer(form.Timer1);
  form.MMTimer1->SetEnabled(false);  // the stopwatch's repaints are not the key's
  TSaNumEdit* cell = form.SaNumEdit(45);
  PaintCounter counter;
  cell->installEventFilter(&counter);
  std::vector<double> off, on;
  for (int block = 0; block < 10; ++block) {
    const bool recording = block % 2 == 1;
    cell->setFocus();
    QCoreApplication::processEvents();
    const QSignalBlocker quiet(recording ? nullptr : qApp);
    for (int i = 0; i < 1000; ++i)
      (recording ? on : off).push_back(bench::KeystrokeToRepaintUs(cell, counter.paints, i));
  }
  std::printf("keystroke to repaint p99: recording %.1f us, not recording %.1f us, ratio %.2f\n",
              percentile(on, 0.99), percentile(off, 0.99), percentile(on, 0.99) / percentile(off, 0.99));
  return 0;
}
