#include "app/CommandLine.h"

#include <QtCore/QFileInfo>

#include <algorithm>
#include <cstring>
#include <map>

namespace progress {
namespace {

struct Option {
  const char* name;  // spelt "--name" on the command line
  const char* value;  // what it takes, named in the help; null for a switch
  const char16_t* valueJa;
  const char* help;
  const char16_t* helpJa;
};

const Option kOptions[] = {
    {"help", nullptr, nullptr, "show this help and exit (also -h)", u"この説明を表示して終了します (-h も同じ)"},
    {"progress", nullptr, nullptr, "open the progress chart of the history in this folder",
     u"このフォルダの成績をグラフで表示します"},
    {"sheet", "FILE.pdf", u"ファイル.pdf", "write printable sheets and their answers to FILE.pdf\n"
     "(- writes to standard output) and exit", u"プリントとこたえを ファイル.pdf に書いて終了します\n"
     u"(- なら標準出力に書きます)"},
    {"grid", "100|25", u"100|25", "the grid: 100 (default) or 25", u"マスの数: 100 (既定) か 25"},
    {"op", "add|mul|sub", u"add|mul|sub", "the operation of the sheets or the facts (default add)",
     u"計算: add たしざん (既定), mul かけざん, sub ひきざん"},
    {"count", "N", u"N", "how many sheets, 1 to 500 (default 1);\nwith --facts --text: how many facts (default 10)",
     u"プリントの枚数: 1 から 500 (既定 1)\n--facts --text では表示する数 (既定 10)"},
    {"facts", nullptr, nullptr, "open the weak facts of the answers in this folder",
     u"このフォルダのこたえから にがてな計算を表示します"},
    {"text", nullptr, nullptr, "with --facts: print the weakest facts, one a line, and exit",
     u"--facts といっしょに: にがてな計算を1行ずつ表示して終了します"},
    {"weak", nullptr, nullptr, "with --sheet: 25-square sheets on the weak facts",
     u"--sheet といっしょに: にがてな計算の25マスのプリント"},
    {"class", "DIR", u"フォルダ", "open the class overview of DIR, a folder holding one\n"
     "data folder per child, each named after its child", u"クラスの成績を表示します。フォルダには 子ども一人に\n"
     u"一つずつ、その子の名前の 成績のフォルダが あります"},
    {"csv", "FILE", u"ファイル", "with --class: write the overview as CSV (UTF-8) to FILE\n"
     "(- writes to standard output) and exit", u"--class といっしょに: クラスの成績を CSV (UTF-8) で\n"
     u"ファイルに書いて終了します (- なら標準出力に書きます)"},
    {"children", nullptr, nullptr, "list the children in children/ of this folder, each with\n"
     "the last drill, and exit", u"このフォルダの children/ にいる子どもたちと 最後のドリルを\n表示して終了します"},
    {"seed", "S", u"S", "seed of the header draw, 0 to 4294967295: the same seed\ngives the same sheets "
     "(default: from the clock)", u"問題を選ぶ種 (0 から 4294967295): 同じ種なら\n同じプリントになります (既定: 時計から)"},
};
static_assert(kMaxSheets == 500, "the help names the largest count");

const Option* FindOption(const QString& name) {
  for (const Option& option : kOptions)
    if (name == QLatin1String(option.name)) return &option;
  return nullptr;
}


QString HelpText(const QString& program, bool japanese) {
  QString text = japanese ? QStringLiteral("使い方: %1 [--progress [--grid 100|25]]\n"
                                           "        %1 --sheet ファイル.pdf [--grid 100|25] [--op add|mul|sub]\n"
                                           "               [--count N] [--seed S] [--weak]\n"
                                           "        %1 --facts [--text] [--op add|mul|sub] [--count N]\n"
                                           "        %1 --class フォルダ [--csv ファイル]\n"
                                           "100マス計算のドリルです。オプションがなければドリルのウインドウを開きます。\n\n")
                          : QStringLiteral("Usage: %1 [--progress [--grid 100|25]]\n"
                                           "       %1 --sheet FILE.pdf [--grid 100|25] [--op add|mul|sub]\n"
                                           "              [--count N] [--seed S] [--weak]\n"
                                           "       %1 --facts [--text] [--op add|mul|sub] [--count N]\n"
                                           "       %1 --class DIR [--csv FILE]\n"
                                           "The 100-square arithmetic drill. Without options it opens the drill "
                                           "window.\n\n");
  text = text.arg(program);
  constexpr int kColumn = 24;
  for (const Option& option : kOptions) {
    QString left = QStringLiteral("  --") + QLatin1String(option.name);
    if (option.value)
      left += u' ' + (japanese ? QString::fromUtf16(option.valueJa) : QString::fromUtf8(option.value));
    const QString help = japanese ? QString::fromUtf16(option.helpJa) : QString::fromUtf8(option.help);
    text += left + QString(std::max(1, kColumn - TerminalWidth(left)), u' ') +
            help.split(u'\n').join(u'\n' + QString(kColumn, u' ')) + u'\n';
  }
  return text;
}

// A refusal is one line on the terminal, whatever the user typed into the
// value it quotes: control characters are shown as escapes.
QString OneLine(const QString& message) {
  QString out;
  out.reserve(message.size());
  for (const QChar c : message) {
    const char16_t u = c.unicode();
    if (u == u'\n')
      out += QStringLiteral("\\n");
    else if (u == u'\r')
      out += QStringLiteral("\\r");
    else if (u == u'\t')
      out += QStringLiteral("\\t");
    else if (u < 0x20 || u == 0x7F)
      out += QStringLiteral("\\x%1").arg(int(u), 2, 16, QLatin1Char('0'));
    else
      out += c;
  }
  return out;
}

}  // namespace

int TerminalWidth(const QString& text) {
  int width = 0;
  for (const QChar c : text) {
    const char16_t u = c.unicode();
    const bool wide = (u >= 0x2E80 && u <= 0xD7A3) || (u >= 0xF900 && u <= 0xFAFF) || (u >= 0xFF00 && u <= 0xFF60) ||
                      (u >= 0xFFE0 && u <= 0xFFE6);
    width += wide ? 2 : 1;
  }
  return width;
}

bool NeedsNoWindow(int argc, char** argv) {
  for (int i = 1; i < argc; ++i) {
    const char* arg = argv[i];
    if (std::strcmp(arg, "--") == 0) break;
    if (std::strcmp(arg, "--sheet") == 0 || std::strncmp(arg, "--sheet=", 8) == 0) return true;
    if (std::strcmp(arg, "--text") == 0 || std::strcmp(arg, "--children") == 0) return true;
    if (std::strcmp(arg, "--csv") == 0 || std::strncmp(arg, "--csv=", 6) == 0) return true;
    if (std::strcmp(arg, "--help") == 0 || std::strcmp(arg, "-h") == 0) return true;
    // The next argument is this option's value, whatever it looks like
    // ("--seed -- --help" asks for the help), as ParseCommandLine reads it.
    if (std::strncmp(arg, "--", 2) == 0 && std::strchr(arg, '=') == nullptr)
      if (const Option* option = FindOption(QString::fromLocal8Bit(arg + 2)); option && option->value) ++i;
  }
  return false;
}

QString NoDisplayMessage(bool japanese) {
  return japanese ? QStringLiteral("ウインドウを開く画面がありません (DISPLAY が設定されていません)")
                  : QStringLiteral("no display to open the window on (DISPLAY is not set)");
}

QString UnreachableDisplayMessage(const QString& display, bool japanese) {
  return japanese ? QStringLiteral("画面 %1 に接続できないため、ウインドウを開けません").arg(display)
                  : QStringLiteral("cannot reach the display %1 to open the window on").arg(display);
}

CommandLine ParseCommandLine(const QStringList& arguments, bool japanese) {
  CommandLine line;
  const auto say = [japanese](const char16_t* ja, const char* en) {
    return japanese ? QString::fromUtf16(ja) : QString::fromUtf8(en);
  };
  const auto fail = [&line](const QString& message) {
    line.error = OneLine(message);
    return line;
  };

  // Every option's values in the order given; a switch gets an empty one.
  std::map<std::string, QStringList> given;
  QStringList positional;
  bool help = false, optionsEnded = false;
  for (qsizetype i = 1; i < arguments.size(); ++i) {
    const QString& arg = arguments[i];
    if (optionsEnded || arg == QStringLiteral("-") || !arg.startsWith(u'-')) {
      positional << arg;
      continue;
    }
    if (arg == QStringLiteral("--")) {
      optionsEnded = true;
      continue;
    }
    if (arg == QStringLiteral("-h")) {
      help = true;
      continue;
    }
    if (!arg.startsWith(QStringLiteral("--"))) {
      // "-sheet" is not "--sheet": a single dash takes one letter.
      if (FindOption(arg.mid(1).section(u'=', 0, 0)))
        return fail(say(u"'%1' というオプションはありません (オプションはダッシュ2つで書きます: -%1)",
                        "unknown option '%1' (options take two dashes: -%1)")
                        .arg(arg));
      return fail(say(u"'%1' というオプションはありません", "unknown option '%1'").arg(arg));
    }
    const qsizetype equals = arg.indexOf(u'=');
    const QString name = arg.mid(2, equals < 0 ? -1 : equals - 2);
    const Option* option = FindOption(name);
    if (!option) return fail(say(u"'--%1' というオプションはありません", "unknown option '--%1'").arg(name));
    QString value;
    if (!option->value) {
      if (equals >= 0) return fail(say(u"--%1 は値をとりません", "--%1 takes no value").arg(name));
    } else if (equals >= 0) {
      value = arg.mid(equals + 1);
    } else if (i + 1 < arguments.size()) {
      value = arguments[++i];
    } else {
      return fail(say(u"--%1 のあとに値がありません", "--%1 needs a value after it").arg(name));
    }
    if (name == QStringLiteral("help")) help = true;
    given[option->name] << value;
  }

  line.helpText = HelpText(QFileInfo(arguments.value(0, QStringLiteral("Sorabe"))).fileName(), japanese);
  if (help) {
    line.mode = CommandLine::Mode::Help;
    return line;
  }
  if (!positional.isEmpty())
    return fail(say(u"余分な引数 '%1' があります", "unexpected argument '%1'").arg(positional.first()));
  for (const auto& [name, values] : given)
    if (FindOption(QString::fromStdString(name))->value && values.size() > 1)
      return fail(say(u"--%1 が2回以上あります", "--%1 is given more than once").arg(QString::fromStdString(name)));
  const auto isSet = [&given](const char* name) { return given.count(name) > 0; };
  const auto value = [&given](const char* name) { return given.at(name).first(); };

  if (isSet("children") && given.size() > 1)
    return fail(say(u"--children はほかのオプションといっしょに使えません", "--children takes no other option"));
  for (const char* other : {"progress", "sheet", "facts"})
    if (isSet("class") && isSet(other))
      return fail(say(u"--class と --%1 は一緒に使えません", "--class and --%1 cannot be used together").arg(other));
  if (isSet("csv") && !isSet("class"))
    return fail(say(u"--csv は --class といっしょにだけ使います", "--csv is used only with --class"));
  if (isSet("progress") && isSet("sheet"))
    return fail(say(u"--progress と --sheet は一緒に使えません", "--progress and --sheet cannot be used together"));
  for (const char* other : {"progress", "sheet"})
    if (isSet("facts") && isSet(other))
      return fail(say(u"--facts と --%1 は一緒に使えません", "--facts and --%1 cannot be used together").arg(other));
  if (isSet("text") && !isSet("facts"))
    return fail(say(u"--text は --facts といっしょにだけ使います", "--text is used only with --facts"));
  if (isSet("weak") && !isSet("sheet"))
    return fail(say(u"--weak は --sheet といっしょにだけ使います", "--weak is used only with --sheet"));
  if (isSet("facts")) {
    line.mode = isSet("text") ? CommandLine::Mode::FactsText : CommandLine::Mode::Facts;
    if (isSet("grid"))
      return fail(say(u"--grid は --progress か --sheet といっしょにだけ使います",
                      "--grid is used only with --progress or --sheet"));
    if (isSet("seed"))
      return fail(say(u"--seed は --sheet といっしょにだけ使います", "--seed is used only with --sheet"));
    if (isSet("count") && !isSet("text"))
      return fail(say(u"--count は --sheet か --facts --text といっしょにだけ使います",
                      "--count is used only with --sheet or --facts --text"));
  } else if (isSet("sheet")) {
    line.mode = CommandLine::Mode::Sheet;
    line.sheetPath = value("sheet");
    if (line.sheetPath.isEmpty()) return fail(say(u"--sheet にはファイル名が要ります", "--sheet needs a file name"));
    // Sheets are only ever PDF: another name would hold a PDF under a
    // name that promises something else.
    if (line.sheetPath != QStringLiteral("-") && !line.sheetPath.endsWith(QStringLiteral(".pdf"), Qt::CaseInsensitive))
      return fail(say(u"--sheet のファイル名は .pdf で終わります ('%1' ではなく。標準出力なら -)",
                      "--sheet writes a PDF: the file name must end in .pdf, not '%1' (- for standard output)")
                      .arg(line.sheetPath));
  } else if (isSet("progress")) {
    line.mode = CommandLine::Mode::Progress;
  } else if (isSet("children")) {
    line.mode = CommandLine::Mode::Children;
  } else if (isSet("class")) {
    line.mode = isSet("csv") ? CommandLine::Mode::ClassCsv : CommandLine::Mode::Class;
    line.classFolder = value("class");
    if (line.classFolder.isEmpty())
      return fail(say(u"--class にはフォルダ名が要ります", "--class needs a folder"));
    if (isSet("csv")) {
      line.csvPath = value("csv");
      if (line.csvPath.isEmpty()) return fail(say(u"--csv にはファイル名が要ります", "--csv needs a file name"));
    }
  }
  const bool factsMode = line.mode == CommandLine::Mode::Facts || line.mode == CommandLine::Mode::FactsText;
  if (line.mode != CommandLine::Mode::Sheet && !factsMode)
    for (const char* sheetOnly : {"op", "count", "seed"})
      if (isSet(sheetOnly))
        return fail(say(u"--%1 は --sheet といっしょにだけ使います", "--%1 is used only with --sheet").arg(sheetOnly));
  const bool classMode = line.mode == CommandLine::Mode::Class || line.mode == CommandLine::Mode::ClassCsv;
  if ((line.mode == CommandLine::Mode::Drill || classMode) && isSet("grid"))
    return fail(say(u"--grid は --progress か --sheet といっしょにだけ使います",
                    "--grid is used only with --progress or --sheet"));

  if (isSet("weak")) {
    if (isSet("grid") && value("grid") != QStringLiteral("25"))
      return fail(say(u"--weak は25マスのプリントです (--grid '%1' は使えません)",
                      "--weak makes 25-square sheets; --grid cannot be '%1'")
                      .arg(value("grid")));
    line.weak = true;
    line.sheet.grid = drill::GridKind::Square25;
  }
  if (isSet("grid")) {
    const QString grid = value("grid");
    if (grid == QStringLiteral("100"))
      line.sheet.grid = drill::GridKind::Square100;
    else if (grid == QStringLiteral("25"))
      line.sheet.grid = drill::GridKind::Square25;
    else
      return fail(say(u"--grid は 100 か 25 です ('%1' ではなく)", "--grid must be 100 or 25, not '%1'").arg(grid));
  }
  if (isSet("op")) {
    const QString op = value("op");
    if (op == QStringLiteral("add"))
      line.sheet.operation = drill::Operation::Addition;
    else if (op == QStringLiteral("mul"))
      line.sheet.operation = drill::Operation::Multiplication;
    else if (op == QStringLiteral("sub"))
      line.sheet.operation = drill::Operation::Subtraction;
    else
      return fail(say(u"--op は add か mul か sub です ('%1' ではなく)", "--op must be add, mul or sub, not '%1'")
                      .arg(op));
  }
  if (isSet("count")) {
    // The same option counts the facts listed or the sheets made.
    const bool facts = line.mode == CommandLine::Mode::FactsText;
    const int most = facts ? kMaxFactsListed : kMaxSheets;
    bool ok = false;
    const QString count = value("count");
    const int n = count.toInt(&ok);
    if (!ok || n < 1 || n > most)
      return fail(say(u"--count は 1 から %1 までの整数です ('%2' ではなく)",
                      "--count must be a whole number from 1 to %1, not '%2'")
                      .arg(most)
                      .arg(count));
    (facts ? line.factCount : line.sheet.count) = n;
  }
  if (isSet("seed")) {
    bool ok = false;
    const QString seed = value("seed");
    const uint n = seed.toUInt(&ok);
    if (!ok)
      return fail(say(u"--seed は 0 から 4294967295 までの整数です ('%1' ではなく)",
                      "--seed must be a whole number from 0 to 4294967295, not '%1'")
                      .arg(seed));
    line.seed = n;
  }
  return line;
}

}  // namespace progress
