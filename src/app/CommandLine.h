#pragma once
// The program's command line. Without options it opens the drill window as
// always; the options open the progress chart alone or write printable
// sheets:
//   --progress [--grid 100|25]
//   --sheet FILE.pdf [--grid 100|25] [--op add|mul|sub] [--count N] [--seed S]
//   --sheet FILE.pdf --weak [--op add|mul|sub] [--count N] [--seed S]
//   --facts [--op add|mul|sub]
//   --facts --text [--op add|mul|sub] [--count N]
//   --class DIR [--csv FILE]
//   --children
// Messages for the terminal (errors, the help) are Japanese under a Japanese
// locale and English otherwise.

#include "progress/Sheets.h"

#include <QtCore/QStringList>

#include <optional>

namespace progress {

struct CommandLine {
  enum class Mode { Drill, Progress, Sheet, Facts, FactsText, Class, ClassCsv, Children, Help };
  Mode mode = Mode::Drill;
  QString sheetPath;                  // "-": standard output
  QString classFolder;                // a folder of children's data folders
  QString csvPath;                    // "-": standard output
  SheetOptions sheet;                 // grid also serves --progress, operation --facts
  bool weak = false;                  // sheets whose headers bring back the weak facts
  int factCount = 10;                 // facts listed by --facts --text
  std::optional<std::uint32_t> seed;  // none: a new one from the clock
  QString error;                      // one line for stderr; empty when the line is good
  QString helpText;
};

inline constexpr int kMaxFactsListed = 100;

// True when the arguments ask for sheets, the weak facts as text, a class as CSV, the
// children's list or for the help text: then no window opens, and the program starts without a display.
bool NeedsNoWindow(int argc, char** argv);

// Reads the arguments (the program's name first), with Qt's own options
// already taken out by the application object. Options are spelt with two
// dashes ("--sheet", "--sheet=FILE"); "-h" is the one short option.
CommandLine ParseCommandLine(const QStringList& arguments, bool japanese);

// Columns a text takes on a terminal: two for a full-width character.
int TerminalWidth(const QString& text);

// The line printed when a window is asked for and there is no display.
QString NoDisplayMessage(bool japanese);
// The line printed when a window is asked for and the display named cannot
// be reached.
QString UnreachableDisplayMessage(const QString& display, bool japanese);

}  // namespace progress
