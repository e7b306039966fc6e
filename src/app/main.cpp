// The program entry: one drill window, shown centred, until it is closed.
// Options open the progress chart or the class overview alone, or write
// printable sheets or a class's CSV and exit;
// the launcher has a command line checked with --check-only first.

#include "app/ChildrenList.h"
#include "app/CommandLine.h"
#include "app/ScoreListMenu.h"
#include "platform/Accessibility.h"
#include "platform/Application.h"
#include "platform/Locale.h"
#include "drill/AnswersFile.h"
#include "drill/WeakFacts.h"
#include "drill/ClassOverview.h"
#include "progress/ClassExport.h"
#include "progress/ClassWindow.h"
#include "progress/ProgressWindow.h"
#include "progress/WeakFactsWindow.h"
#include "progress/SafeWrite.h"
#include "window/Form1.h"

#include <QtCore/QDate>
#include <QtCore/QTime>
#include <QtWidgets/QApplication>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

namespace {

void PrintError(const QString& message) {
  std::fprintf(stderr, "%s: %s\n", qPrintable(platform::ApplicationTitle()), qPrintable(message));
}

// Whether a window could open at all. Without a display the command line is
// still read and answered, rather than ending in the toolkit's abort.
bool DisplayReachable(int argc, char** argv) {
  for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
    if (!qEnvironmentVariableIsEmpty(name)) return true;
  for (int i = 1; i < argc; ++i)
    if (std::strcmp(argv[i], "-platform") == 0) return true;
  return false;
}

// Whether the X display stands behind the offscreen platform: where no
// platform is named and no compositor either, the window goes to the X
// display, and one that cannot be reached (a stale DISPLAY in a remote
// shell) would end the program in the toolkit's abort before the command
// line is read. With the offscreen platform behind it, the command line is
// still read and answered, and a window asked for is refused in one line.
bool StandInForUnreachableDisplay(int argc, char** argv) {
  if (!qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") || !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY")) return false;
  for (int i = 1; i < argc; ++i)
    if (std::strcmp(argv[i], "-platform") == 0) return false;
  qputenv("QT_QPA_PLATFORM", "xcb;offscreen");
  // The toolkit's notes on the display it could not reach would stand
  // before the one line that says so.
  qInstallMessageHandler([](QtMsgType type, const QMessageLogContext& context, const QString& message) {
    if (context.category && std::strncmp(context.category, "qt.qpa.", 7) == 0 && type != QtFatalMsg) return;
    std::fprintf(stderr, "%s\n", qPrintable(qFormatLogMessage(type, context, message)));
  });
  return true;
}

// Reads the command line once the application object has taken Qt's own
// options out; prints what must be printed. Gives the exit code, or -1 to go on.
int ReadCommandLine(progress::CommandLine& line) {
  line = progress::ParseCommandLine(QCoreApplication::arguments(), platform::JapaneseLocale());
  if (!line.error.isEmpty()) {
    PrintError(line.error);
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
  progress::WeakChoice weak;
  if (line.weak) {
    const drill::WeakFacts facts =
        drill::LoadWeakFacts(answers::kAnswersPath, line.sheet.operation, QDate::currentDate());
    if (facts.ranked.empty()) {
      const bool japanese = platform::JapaneseLocale();
      PrintError(japanese ? QStringLiteral("%1 にまだ こたえが ありません: --weak のプリントは作れません")
                                .arg(answers::kAnswersPath)
                          : QStringLiteral("no answers yet in %1: no --weak sheets to make").arg(answers::kAnswersPath));
      return 1;
    }
    weak = drill::ChooseHeaders(facts.ranked);
  }
  try {
    progress::WriteSheetsPdf(line.sheetPath, line.sheet, weak);
  } catch (const progress::WriteError& e) {
    PrintError(e.Text(platform::JapaneseLocale()));
    return 1;
  } catch (const Exception& e) {
    PrintError(e.Message());
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
    PrintError(QStringLiteral("%1: %2").arg(answers::kAnswersPath, QString::fromLocal8Bit(std::strerror(facts.error))));
    return 1;
  }
  std::fputs(drill::WeakFactsText(line.sheet.operation, facts.ranked, line.factCount).toUtf8().constData(), stdout);
  return std::fflush(stdout) == 0 ? 0 : 1;
}

// The class overview as CSV. A history that cannot be read is named on
// stderr and the rest is still written; the status then says something was
// missing.
int WriteClassCsv(const progress::CommandLine& line) {
  const bool japanese = platform::JapaneseLocale();
  const drill::ClassOverview overview = drill::LoadClass(line.classFolder, QDate::currentDate());
  const QStringList errors = overview.Errors(japanese);
  if (overview.folderError) {
    PrintError(errors.first());
    return 1;
  }
  try {
    progress::WriteClassCsv(line.csvPath, progress::ClassRows(overview));
  } catch (const progress::WriteError& e) {
    PrintError(e.Text(japanese));
    return 1;
  }
  for (const QString& error : errors) PrintError(error);
  return errors.isEmpty() ? 0 : 1;
}

// "--check-only ARGS...": are ARGS a right command line? Asked by the
// installed launcher before it makes any folder. They are read as a start
// would read them, Qt's own options taken out by the same application
// class, but on no display; only a refusal is printed. Status 0 or 2.
int CheckOnly(int argc, char** argv, const QString& title) {
  std::vector<char*> args(argv, argv + argc);
  args.erase(args.begin() + 1);
  args.push_back(nullptr);
  int count = argc - 1;
  qputenv("QT_QPA_PLATFORM", "offscreen");
  // Qt's own notes (a missing runtime folder, …) would read as part of the
  // refusal the launcher passes on.
  qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString&) {});
  const std::unique_ptr<QGuiApplication> app(progress::NeedsNoWindow(count, args.data())
                                                 ? new QGuiApplication(count, args.data())
                                                 : new QApplication(count, args.data()));
  const progress::CommandLine line =
      progress::ParseCommandLine(QCoreApplication::arguments(), platform::JapaneseLocale());
  if (line.error.isEmpty()) return 0;
  std::fprintf(stderr, "%s: %s\n", qPrintable(title), qPrintable(line.error));
  return 2;
}

// The status of a finished event loop. Qt's Wayland client of this release
// can hang for ever while tearing down its connection at exit (its event
// thread waits on a read the main thread never finishes). Everything the
// program keeps is on disk by then, so on Wayland it ends without that
// teardown.
int Finish(int status) {
  if (QGuiApplication::platformName().startsWith(QLatin1String("wayland"))) {
    std::fflush(nullptr);
    std::_Exit(status);
  }
  return status;
}

}  // namespace

int main(int argc, char** argv) {
  const QString title = platform::ApplicationTitleFromPath(QString::fromLocal8Bit(argv[0]));
  if (argc > 1 && std::strcmp(argv[1], "--check-only") == 0) return CheckOnly(argc, argv, title);
  progress::CommandLine line;

  if (progress::NeedsNoWindow(argc, argv) || !DisplayReachable(argc, argv)) {
    // Sheets, the weak facts as text and the help need no window, so no display either.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    platform::SetApplicationTitle(title);
    platform::InstallFontSubstitutions();
    if (const int code = ReadCommandLine(line); code >= 0) return code;
    if (line.mode == progress::CommandLine::Mode::FactsText) return PrintWeakFacts(line);
    if (line.mode == progress::CommandLine::Mode::ClassCsv) return WriteClassCsv(line);
    if (line.mode == progress::CommandLine::Mode::Children)
      return progress::PrintChildren(QStringLiteral("children"), platform::JapaneseLocale());
    if (line.mode != progress::CommandLine::Mode::Sheet) {
      // Sheets and help are all NeedsNoWindow lets through: a window was
      // asked for where there is no display.
      PrintError(progress::NoDisplayMessage(platform::JapaneseLocale()));
      return 1;
    }
    return WriteSheets(line);
  }

  const bool standIn = StandInForUnreachableDisplay(argc, argv);
  QApplication app(argc, argv);
  if (standIn) {
    qInstallMessageHandler(nullptr);
    qunsetenv("QT_QPA_PLATFORM");  // not handed on to what the program starts
  }
  platform::SetApplicationTitle(title);
  platform::InstallFontSubstitutions();
  if (standIn && QGuiApplication::platformName() == QLatin1String("offscreen")) {
    if (const int code = ReadCommandLine(line); code >= 0) return code;
    PrintError(progress::UnreachableDisplayMessage(qEnvironmentVariable("DISPLAY"), platform::JapaneseLocale()));
    return 1;
  }
  // The desktop entry this program belongs to (its icon and name on Wayland).
  QGuiApplication::setDesktopFileName(QStringLiteral("org.sorabe.Sorabe"));
  a11y::Install();
  if (const int code = ReadCommandLine(line); code >= 0) return code;

  if (line.mode == progress::CommandLine::Mode::Progress) {
    progress::ProgressWindow window(line.sheet.grid);
    window.show();
    return Finish(app.exec());
  }

  if (line.mode == progress::CommandLine::Mode::Class) {
    progress::ClassWindow window(line.classFolder, QDate::currentDate());
    window.show();
    for (const QString& error : window.Model().Overview().Errors(platform::JapaneseLocale())) PrintError(error);
    return Finish(app.exec());
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
  return Finish(app.exec());
}
