// The program entry: one drill window, shown centred, until it is closed.
// Options open the progress chart alone or write printable sheets and exit.

#include "app/CommandLine.h"
#include "app/ScoreListMenu.h"
#include "drill/AnswersFile.h"
#include "drill/WeakFacts.h"
#include "platform/Accessibility.h"
#include "platform/Application.h"
#include "progress/ProgressWindow.h"
#include "progress/WeakFactsWindow.h"
#include "window/Form1.h"

#include <QtCore/QDate>
#include <QtCore/QTime>
#include <QtWidgets/QApplication>

#include <cstdio>
#include <cstring>

namespace {

// Reads the command line once the application object has taken Qt's own
// options out; prints what must be printed. Gives the exit code, or -1 to go on.
int ReadCommandLine(progress::CommandLine& line) {
  line = progress::ParseCommandLine(QCoreApplication::arguments());
  if (!line.error.isEmpty()) {
    std::fprintf(stderr, "%s: %s\n", qPrintable(platform::ApplicationTitle()), qPrintable(line.error));
    return 2;
  }
  if (line.mode == progress::CommandLine::Mode::Help) {
    std::fputs(qPrintable(line.helpText), stdout);
    return 0;
  }
  return -1;
}

int WriteSheets(progress::CommandLine& line) {
  if (line.seed) {
    line.sheet.seed = *line.seed;
  } else {
    const QTime now = QTime::currentTime();
    line.sheet.seed = std::uint32_t(now.msecsSinceStartOfDay());
  }
  try {
    progress::WriteSheetsPdf(line.sheetPath, line.sheet);
  } catch (const Exception& e) {
    std::fprintf(stderr, "%s: %s\n", qPrintable(platform::ApplicationTitle()), qPrintable(e.Message()));
    return 1;
  }
  return 0;
}

// The weak facts of the answers in the working folder, weakest first, on
// stdout. No answers yet is no list and no error.
int PrintWeakFacts(const progress::CommandLine& line) {
  const drill::WeakFacts facts =
      drill::LoadWeakFacts(answers::kAnswersPath, line.sheet.operation, QDate::currentDate());
  if (facts.error != 0) {
    std::fprintf(stderr, "%s: %s: %s\n", qPrintable(platform::ApplicationTitle()),
                 qPrintable(answers::kAnswersPath), std::strerror(facts.error));
    return 1;
  }
  std::fputs(drill::WeakFactsText(line.sheet.operation, facts.ranked, line.factCount).toUtf8().constData(), stdout);
  return std::fflush(stdout) == 0 ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  const QString title = platform::ApplicationTitleFromPath(QString::fromLocal8Bit(argv[0]));
  progress::CommandLine line;

  if (progress::NeedsNoWindow(argc, argv)) {
    // Sheets and the help text need no window, so no display either.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    platform::SetApplicationTitle(title);
    platform::InstallFontSubstitutions();
    if (const int code = ReadCommandLine(line); code >= 0) return code;
    if (line.mode == progress::CommandLine::Mode::FactsText) return PrintWeakFacts(line);
    if (line.mode != progress::CommandLine::Mode::Sheet) return 2;  // only sheets, the facts' text and help come this way
    return WriteSheets(line);
  }

  QApplication app(argc, argv);
  platform::SetApplicationTitle(title);
  platform::InstallFontSubstitutions();
  // The desktop entry this program belongs to (its icon and name on Wayland).
  QGuiApplication::setDesktopFileName(QStringLiteral("org.sorabe.Sorabe"));
  a11y::Install();
  if (const int code = ReadCommandLine(line); code >= 0) return code;

  if (line.mode == progress::CommandLine::Mode::Progress) {
    progress::ProgressWindow window(line.sheet.grid);
    window.show();
    return app.exec();
  }

  if (line.mode == progress::CommandLine::Mode::Facts) {
    progress::WeakFactsWindow* window = progress::WeakFactsWindow::Open(line.sheet.operation, nullptr);
    window->setAttribute(Qt::WA_QuitOnClose, true);
    return app.exec();
  }

  TForm1 form;
  progress::InstallScoreListMenu(&form);
  form.CenterOnScreen();
  form.show();
  return app.exec();
}
