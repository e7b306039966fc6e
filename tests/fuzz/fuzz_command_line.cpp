// The program's command line. The input is the arguments after the
// program's name, separated by NUL bytes. The reply is either an action the
// program can carry out, or one line for stderr (then it exits with status
// 2 and has written nothing). Whether the arguments need a window is told
// before the application object exists; it must agree with the action, or
// the program would exit 2 without a word, or want a display for sheets.

#include "FuzzCheck.h"

#include "app/CommandLine.h"

#include <QtCore/QCoreApplication>

#include <string>
#include <vector>

namespace {

using progress::CommandLine;

QString ShowArguments(const QStringList& arguments) {
  QString out;
  for (const QString& a : arguments) out += fuzz::Show(a) + u' ';
  return out;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
  static QCoreApplication app(*argc, *argv);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::vector<std::string> words{"Sorabe"};
  std::string word;
  for (std::size_t i = 0; i < size && words.size() < 64; ++i) {
    if (data[i] == 0) {
      words.push_back(word);
      word.clear();
    } else {
      word += char(data[i]);
    }
  }
  if (size > 0 && words.size() < 64) words.push_back(word);

  std::vector<char*> argv;
  QStringList arguments;
  for (std::string& w : words) {
    argv.push_back(w.data());
    arguments << QString::fromLocal8Bit(w.c_str());
  }
  argv.push_back(nullptr);

  const CommandLine line = progress::ParseCommandLine(arguments, false);
  // The Japanese messages say the same thing.
  const CommandLine ja = progress::ParseCommandLine(arguments, true);
  const bool noWindow = progress::NeedsNoWindow(int(words.size()), argv.data());
  const QString detail = ShowArguments(arguments) + QStringLiteral("-> ") + fuzz::Show(line.error);

  FUZZ_CHECK(line.mode == ja.mode && line.error.isEmpty() == ja.error.isEmpty(), detail + fuzz::Show(ja.error));
  for (QChar c : ja.error) FUZZ_CHECK(c.unicode() >= 0x20 && c.unicode() != 0x7F, fuzz::Show(ja.error));
  if (!line.error.isEmpty()) {
    for (QChar c : line.error) FUZZ_CHECK(c.unicode() >= 0x20 && c.unicode() != 0x7F, detail);
    return 0;
  }
  switch (line.mode) {
    case CommandLine::Mode::Help:
      FUZZ_CHECK(noWindow, detail);
      FUZZ_CHECK(!line.helpText.isEmpty(), detail);
      break;
    case CommandLine::Mode::Sheet:
      FUZZ_CHECK(noWindow, detail);
      FUZZ_CHECK(!line.sheetPath.isEmpty(), detail);
      FUZZ_CHECK(line.sheet.count >= 1 && line.sheet.count <= progress::kMaxSheets, detail);
      FUZZ_CHECK(unsigned(line.sheet.operation) <= 2u, detail);
      break;
    case CommandLine::Mode::FactsText:
      FUZZ_CHECK(noWindow, detail);
      FUZZ_CHECK(line.factCount >= 1 && line.factCount <= progress::kMaxFactsListed, detail);
      FUZZ_CHECK(unsigned(line.sheet.operation) <= 2u, detail);
      break;
    case CommandLine::Mode::ClassCsv:
      FUZZ_CHECK(noWindow, detail);
      FUZZ_CHECK(!line.classFolder.isEmpty() && !line.csvPath.isEmpty(), detail);
      break;
    case CommandLine::Mode::Children:
      FUZZ_CHECK(noWindow, detail);
      break;
    case CommandLine::Mode::Class:
      FUZZ_CHECK(!noWindow, detail);
      FUZZ_CHECK(!line.classFolder.isEmpty(), detail);
      break;
    case CommandLine::Mode::Facts:
    case CommandLine::Mode::Progress:
    case CommandLine::Mode::Drill:
      FUZZ_CHECK(!noWindow, detail);
      break;
  }
  FUZZ_CHECK(line.sheet.grid == drill::GridKind::Square100 || line.sheet.grid == drill::GridKind::Square25, detail);
  return 0;
}
