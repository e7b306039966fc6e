// The progress features against baselines measured in the same run:
// - a 100,000-record history parsed and charted (as the chart window opens),
//   against only reading the file as the score list does, and a repaint of
//   the chart at a new size (what a resize costs); the parse also of a
//   history with one drill a day;
// - a 10-sheet PDF (20 pages), against an empty 20-page PDF.

#include "drill/ScoreHistory.h"
#include "platform/Application.h"
#include "platform/ShiftJis.h"
#include "progress/ProgressChart.h"
#include "progress/SafeWrite.h"
#include "progress/Sheets.h"

#include "Stats.h"

#include <QtCore/QElapsedTimer>
#include <QtCore/QFile>
#include <QtCore/QTemporaryDir>
#include <QtGui/QGuiApplication>
#include <QtGui/QImage>
#include <QtGui/QPainter>
#include <QtGui/QPdfWriter>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

using bench::medianMs;

int main(int argc, char** argv) {
  QGuiApplication app(argc, argv);
  platform::InstallFontSubstitutions();
  QTemporaryDir dir;
  // 100,000 drills, newest first, drillsADay to a date.
  const auto writeHistory = [](const QString& path, int drillsADay) {
    const QString words[] = {history::kAdditionWord, history::kMultiplicationWord, history::kSubtractionWord};
    QByteArray content;
    const QDate start(2003, 4, 5);
    for (int i = 100000 - 1; i >= 0; --i)
      content += platform::ToShiftJis(history::FormatScoreRecord(start.addDays(i / drillsADay), 60 + i % 41,
                                                                 words[i % 3], QString::number(1 + i % 5),
                                                                 QString::number(i % 60), QString::number(i % 10))) +
                 "\r\n";
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(content) == content.size();
  };
  const QString path = dir.path() + "/seiseki.dat";
  // The record reader keeps what it learnt of the line before (the year and
  // month, the first of that month); one drill a day gives a new date on
  // every line.
  const QString oneADayPath = dir.path() + "/one-a-day.dat";
  if (!writeHistory(path, 8) || !writeHistory(oneADayPath, 1)) return 1;
  qsizetype sink = 0;
  const int runs = 15;

  const QSize size(900, 560);
  QImage screen(size * 2, QImage::Format_RGB32);
  screen.setDevicePixelRatio(2);
  // What opening the chart window costs: read, parse, paint.
  const auto open = [&] {
    progress::ProgressChart chart;
    chart.SetRecords(drill::GridKind::Square100, progress::ReadScoreRecords(path));
    QPainter painter(&screen);
    chart.Paint(painter, size);
  };
  // The first time in a process, before any chart's labels are laid out.
  const double firstOpen = medianMs(1, open);

  const double read = medianMs(runs, [&] {
    history::ScoreLines lines;
    history::ReadScoreFile(path, lines);
    sink += lines.size();
  });
  history::ScoreLines lines;
  history::ReadScoreFile(path, lines);
  const double parsed = medianMs(runs, [&] { sink += qsizetype(progress::ParseScoreLines(lines).records.size()); });
  history::ScoreLines oneADay;
  history::ReadScoreFile(oneADayPath, oneADay);
  const double parsedOneADay =
      medianMs(runs, [&] { sink += qsizetype(progress::ParseScoreLines(oneADay).records.size()); });
  progress::ProgressChart chart;
  chart.SetRecords(drill::GridKind::Square100, progress::ParseScoreLines(lines));
  const double painted = medianMs(runs, [&] {
    QPainter painter(&screen);
    chart.Paint(painter, size);
  });
  const double opened = medianMs(runs, open);
  int step = 0;
  const double resized = medianMs(runs, [&] {
    QPainter painter(&screen);
    chart.Paint(painter, QSize(700 + 20 * (step++ % 10), 500));
  });

  std::printf("100,000 records, chart %dx%d at 2x\n", size.width(), size.height());
  std::printf("  read (ReadScoreFile, as the score list)  %8.2f ms\n", read);
  std::printf("  parse the lines (8 drills a day)         %8.2f ms\n", parsed);
  std::printf("  parse the lines (1 drill a day)          %8.2f ms\n", parsedOneADay);
  std::printf("  paint the chart                          %8.2f ms\n", painted);
  std::printf("  open: read + parse + paint               %8.2f ms  = %.2fx the read (goal < 5x)\n", opened,
              opened / read);
  std::printf("  first open in the process (one run)      %8.2f ms  = %.2fx the read\n", firstOpen, firstOpen / read);
  std::printf("  repaint at a new size (a resize)         %8.2f ms\n", resized);

  const QString pdf = dir.path() + "/sheets.pdf";
  const double sheets = medianMs(7, [&] {
    progress::WriteSheetsPdf(pdf, {drill::GridKind::Square100, drill::Operation::Addition, 10, 1});
  });
  const qint64 sheetBytes = QFile(pdf).size();
  const double empty = medianMs(7, [&] {
    progress::WriteFileSafely(pdf, [](QIODevice& file) {
      QPdfWriter writer(&file);
      writer.setResolution(600);
      QPainter painter(&writer);
      for (int page = 1; page < 20; ++page) writer.newPage();
      return painter.end();
    });
  });
  std::printf("PDF | 10 sheets + 10 answer pages %.2f ms (%lld bytes) | empty 20 pages %.2f ms (%lld bytes) | "
              "ratio %.2fx\n",
              sheets, (long long)sheetBytes, empty, (long long)QFile(pdf).size(), sheets / empty);
  if (sink < 0) std::puts("");
  return 0;
}
