#include "app/CommandLine.h"

#include <QtCore/QCommandLineParser>

#include <cstring>

namespace progress {

bool NeedsNoWindow(int argc, char** argv) {
  for (int i = 1; i < argc; ++i) {
    const char* arg = argv[i];
    if (std::strcmp(arg, "--") == 0) break;
    if (std::strcmp(arg, "--sheet") == 0 || std::strncmp(arg, "--sheet=", 8) == 0) return true;
    if (std::strcmp(arg, "--text") == 0) return true;
    if (std::strcmp(arg, "--help") == 0 || std::strcmp(arg, "-help") == 0 || std::strcmp(arg, "-h") == 0)
      return true;
  }
  return false;
}

CommandLine ParseCommandLine(const QStringList& arguments) {
  CommandLine line;
  QCommandLineParser parser;
  parser.setApplicationDescription(QStringLiteral("Sorabe: the 100-square arithmetic drill."));
  parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
  const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")},
                                QStringLiteral("Show this help and exit."));
  const QCommandLineOption progress(QStringLiteral("progress"),
                                    QStringLiteral("Open the progress chart of a history in the current folder."));
  const QCommandLineOption sheet(QStringLiteral("sheet"),
                                 QStringLiteral("Write printable sheets with answer pages to FILE.pdf and exit."),
                                 QStringLiteral("FILE.pdf"));
  const QCommandLineOption grid(QStringLiteral("grid"), QStringLiteral("The grid: 100 (default) or 25."),
                                QStringLiteral("100|25"));
  const QCommandLineOption op(QStringLiteral("op"), QStringLiteral("The operation of the sheets (default add)."),
                              QStringLiteral("add|mul|sub"));
  const QCommandLineOption count(QStringLiteral("count"),
                                 QStringLiteral("How many sheets, 1 to %1 (default 1).").arg(kMaxSheets),
                                 QStringLiteral("N"));
  const QCommandLineOption seed(QStringLiteral("seed"),
                                QStringLiteral("Seed of the header draw, 0 to 4294967295: the same seed gives the "
                                               "same sheets (default: from the clock)."),
                                QStringLiteral("S"));
  const QCommandLineOption facts(QStringLiteral("facts"),
                                 QStringLiteral("Open the weak facts of the answers in the current folder."));
  const QCommandLineOption text(QStringLiteral("text"),
                                QStringLiteral("With --facts: print the weakest facts, one a line, and exit."));
  const QCommandLineOption weak(QStringLiteral("weak"),
                                QStringLiteral("With --sheet: 25-square sheets whose headers bring back the weak "
                                               "facts."));
  parser.addOptions({help, progress, sheet, grid, op, count, seed, facts, text, weak});

  const auto fail = [&line](const QString& message) {
    line.error = message;
    return line;
  };
  if (!parser.parse(arguments)) return fail(parser.errorText());
  line.helpText = parser.helpText();
  if (parser.isSet(help)) {
    line.mode = CommandLine::Mode::Help;
    return line;
  }
  if (!parser.positionalArguments().isEmpty())
    return fail(QStringLiteral("Unexpected argument '%1'.").arg(parser.positionalArguments().first()));
  for (const QCommandLineOption* single : {&sheet, &grid, &op, &count, &seed})
    if (parser.values(*single).size() > 1)
      return fail(QStringLiteral("--%1 is given more than once.").arg(single->names().first()));

  if (int(parser.isSet(progress)) + int(parser.isSet(sheet)) + int(parser.isSet(facts)) > 1)
    return fail(QStringLiteral("--progress, --sheet and --facts cannot be used together."));
  if (parser.isSet(text) && !parser.isSet(facts)) return fail(QStringLiteral("--text is used only with --facts."));
  if (parser.isSet(weak) && !parser.isSet(sheet)) return fail(QStringLiteral("--weak is used only with --sheet."));
  if (parser.isSet(facts)) {
    line.mode = parser.isSet(text) ? CommandLine::Mode::FactsText : CommandLine::Mode::Facts;
    if (parser.isSet(grid)) return fail(QStringLiteral("--grid is used only with --progress or --sheet."));
    if (parser.isSet(seed)) return fail(QStringLiteral("--seed is used only with --sheet."));
    if (parser.isSet(count) && !parser.isSet(text))
      return fail(QStringLiteral("--count is used only with --sheet or --facts --text."));
  } else if (parser.isSet(sheet)) {
    line.mode = CommandLine::Mode::Sheet;
    line.sheetPath = parser.value(sheet);
    if (line.sheetPath.isEmpty()) return fail(QStringLiteral("--sheet needs a file name."));
  } else if (parser.isSet(progress)) {
    line.mode = CommandLine::Mode::Progress;
  }
  const bool factsMode = line.mode == CommandLine::Mode::Facts || line.mode == CommandLine::Mode::FactsText;
  if (line.mode != CommandLine::Mode::Sheet && !factsMode)
    for (const QCommandLineOption* sheetOnly : {&op, &count, &seed})
      if (parser.isSet(*sheetOnly))
        return fail(QStringLiteral("--%1 is used only with --sheet.").arg(sheetOnly->names().first()));
  if (line.mode == CommandLine::Mode::Drill && parser.isSet(grid))
    return fail(QStringLiteral("--grid is used only with --progress or --sheet."));

  if (parser.isSet(weak)) {
    if (parser.isSet(grid) && parser.value(grid) != QStringLiteral("25"))
      return fail(QStringLiteral("--weak makes 25-square sheets; --grid cannot be '%1'.").arg(parser.value(grid)));
    line.weak = true;
    line.sheet.grid = drill::GridKind::Square25;
  }
  if (parser.isSet(grid)) {
    const QString value = parser.value(grid);
    if (value == QStringLiteral("100"))
      line.sheet.grid = drill::GridKind::Square100;
    else if (value == QStringLiteral("25"))
      line.sheet.grid = drill::GridKind::Square25;
    else
      return fail(QStringLiteral("--grid must be 100 or 25, not '%1'.").arg(value));
  }
  if (parser.isSet(op)) {
    const QString value = parser.value(op);
    if (value == QStringLiteral("add"))
      line.sheet.operation = drill::Operation::Addition;
    else if (value == QStringLiteral("mul"))
      line.sheet.operation = drill::Operation::Multiplication;
    else if (value == QStringLiteral("sub"))
      line.sheet.operation = drill::Operation::Subtraction;
    else
      return fail(QStringLiteral("--op must be add, mul or sub, not '%1'.").arg(value));
  }
  if (parser.isSet(count) && line.mode == CommandLine::Mode::FactsText) {
    bool ok = false;
    const QString value = parser.value(count);
    const int n = value.toInt(&ok);
    if (!ok || n < 1 || n > kMaxFactsListed)
      return fail(
          QStringLiteral("--count must be a whole number from 1 to %1, not '%2'.").arg(kMaxFactsListed).arg(value));
    line.factCount = n;
  } else if (parser.isSet(count)) {
    bool ok = false;
    const QString value = parser.value(count);
    const int n = value.toInt(&ok);
    if (!ok || n < 1 || n > kMaxSheets)
      return fail(QStringLiteral("--count must be a whole number from 1 to %1, not '%2'.").arg(kMaxSheets).arg(value));
    line.sheet.count = n;
  }
  if (parser.isSet(seed)) {
    bool ok = false;
    const QString value = parser.value(seed);
    const uint n = value.toUInt(&ok);
    if (!ok)
      return fail(QStringLiteral("--seed must be a whole number from 0 to 4294967295, not '%1'.").arg(value));
    line.seed = n;
  }
  return line;
}

}  // namespace progress
