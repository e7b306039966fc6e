// Where the program's parts meet: the command line that opens the chart or
// writes sheets, and sheets whose first page holds the headers a drill
// draws from the same seed.

#include "app/ChildrenList.h"
#include "app/CommandLine.h"
#include "progress/Sheets.h"
#include "widgets/MMTimer.h"
#include "window/DrillFixture.h"

using namespace progress;
using drill::Operation;

using SheetsAsTheDrillDraws = DrillFixture;

TEST_F(SheetsAsTheDrillDraws, TheFirstSheetOfASeedHasTheHeadersADrillDrawsFromIt) {
  for (Operation op : {Operation::Addition, Operation::Subtraction}) {
    form->SeedRandom(777);
    (op == Operation::Subtraction ? form->RadioButton3 : form->RadioButton1)->setChecked(true);
    startDrill();
    const drill::Headers sheet = DrawSheets({drill::GridKind::Square100, op, 1, 777}).front();
    for (int j = 1; j <= 10; ++j) EXPECT_EQ(form->XEdit(j)->Text(), sheet.tops[j - 1]) << j;
    for (int i = 1; i <= 10; ++i) EXPECT_EQ(form->YEdit(i)->Text(), sheet.lefts[i - 1]) << i;
    form->MMTimer1->SetEnabled(false);
    form->CuteButton1->setEnabled(true);
    form->RadioButton1->setEnabled(true);
    form->RadioButton3->setEnabled(true);
  }
}

TEST(CommandLineOptions, ReadsTheOptionsAndRefusesBadValuesWithOneLine) {
  using Mode = CommandLine::Mode;
  const struct {
    QStringList arguments;
    Mode mode;
    const char* error;  // a part of the message; null when the line is good
  } cases[] = {
      {{}, Mode::Drill, nullptr},
      {{"--progress"}, Mode::Progress, nullptr},
      {{"--sheet", "a.pdf"}, Mode::Sheet, nullptr},
      {{"--sheet=a.pdf", "--grid=25", "--op", "sub", "--count", "10", "--seed", "4294967295"}, Mode::Sheet, nullptr},
      {{"--help"}, Mode::Help, nullptr},
      {{"--grid", "50", "--progress"}, Mode::Drill, "--grid must be 100 or 25"},
      {{"--sheet", "a.pdf", "--op", "div"}, Mode::Sheet, "--op must be add, mul or sub"},
      // A value quoted in a refusal keeps it on one line.
      {{"--sheet", "a.pdf", "--op", "add\nmul\x1b"}, Mode::Sheet, "not 'add\\nmul\\x1b'"},
      {{"--sheet", "a.pdf", "--count", "0"}, Mode::Sheet, "--count must be a whole number from 1 to 500"},
      {{"--sheet", "a.pdf", "--count", "two"}, Mode::Sheet, "--count must be"},
      {{"--sheet", "a.pdf", "--seed", "4294967296"}, Mode::Sheet, "--seed must be"},
      {{"--sheet"}, Mode::Drill, "--sheet needs a value"},
      {{"--sheet", "-"}, Mode::Sheet, nullptr},  // standard output
      {{"--sheet", "a.PDF"}, Mode::Sheet, nullptr},
      {{"--sheet", "a.png"}, Mode::Drill, "must end in .pdf, not 'a.png'"},
      {{"--sheet=a"}, Mode::Drill, "must end in .pdf, not 'a'"},
      {{"-sheet", "a.pdf"}, Mode::Drill, "unknown option '-sheet' (options take two dashes: --sheet)"},
      {{"-progress"}, Mode::Drill, "unknown option '-progress'"},
      {{"--progress=yes"}, Mode::Drill, "--progress takes no value"},
      {{"--sheet", "a.pdf", "--progress"}, Mode::Drill, "cannot be used together"},
      {{"--sheet", "a.pdf", "--count", "2", "--count", "3"}, Mode::Drill, "more than once"},
      {{"--progress", "--op", "add"}, Mode::Progress, "--op is used only with --sheet"},
      {{"--grid", "25"}, Mode::Drill, "--grid is used only with"},
      {{"--frobnicate"}, Mode::Drill, "unknown option '--frobnicate'"},
      {{"history.dat"}, Mode::Drill, "unexpected argument 'history.dat'"},
      {{"--", "--progress"}, Mode::Drill, "unexpected argument '--progress'"},
      {{"--facts", "--op", "mul"}, Mode::Facts, nullptr},
      {{"--facts", "--text", "--op", "sub", "--count", "100"}, Mode::FactsText, nullptr},
      {{"--sheet", "a.pdf", "--weak", "--grid", "25", "--count", "500"}, Mode::Sheet, nullptr},
      {{"--text", "--op", "add"}, Mode::Drill, "--text is used only with --facts"},
      {{"--facts", "--count", "3"}, Mode::Facts, "--count is used only with --sheet or --facts --text"},
      {{"--facts", "--text", "--count", "101"}, Mode::FactsText, "--count must be a whole number from 1 to 100"},
      {{"--facts", "--grid", "25"}, Mode::Facts, "--grid is used only with"},
      {{"--facts", "--progress"}, Mode::Drill, "cannot be used together"},
      {{"--text=1", "--facts"}, Mode::Drill, "--text takes no value"},
      {{"--weak"}, Mode::Drill, "--weak is used only with --sheet"},
      {{"--sheet", "a.pdf", "--weak", "--grid", "100"}, Mode::Sheet, "--weak makes 25-square sheets"},
      {{"--children"}, Mode::Children, nullptr},
      {{"--children", "--grid", "25"}, Mode::Drill, "--children takes no other option"},
      {{"--children", "--class", "c"}, Mode::Drill, "--children takes no other option"},
  };
  for (const auto& c : cases) {
    const CommandLine line = ParseCommandLine(QStringList{"Sorabe"} + c.arguments, false);
    const std::string what = c.arguments.join(' ').toStdString();
    if (c.error) {
      EXPECT_TRUE(line.error.contains(QString::fromUtf8(c.error))) << what << ": " << line.error.toStdString();
      EXPECT_FALSE(line.error.contains(u'\n')) << what;
      continue;
    }
    EXPECT_TRUE(line.error.isEmpty()) << what << ": " << line.error.toStdString();
    EXPECT_EQ(line.mode, c.mode) << what;
  }
  const CommandLine full = ParseCommandLine(
      {"Sorabe", "--sheet=a.pdf", "--grid=25", "--op", "sub", "--count", "10", "--seed", "4294967295"}, false);
  EXPECT_EQ(full.sheetPath, "a.pdf");
  EXPECT_TRUE(full.sheet.grid == drill::GridKind::Square25 && full.sheet.operation == Operation::Subtraction);
  EXPECT_EQ(full.sheet.count, 10);
  EXPECT_EQ(full.seed, 4294967295u);
  EXPECT_FALSE(ParseCommandLine({"Sorabe", "--sheet", "a.pdf"}, false).seed.has_value());
  // Under a Japanese locale the same refusals and the help speak Japanese.
  EXPECT_EQ(ParseCommandLine({"Sorabe", "--count", "0", "--sheet", "a.pdf"}, true).error,
            "--count は 1 から 500 までの整数です ('0' ではなく)");
  EXPECT_TRUE(ParseCommandLine({"Sorabe", "-h"}, true).helpText.startsWith("使い方: Sorabe"));

  const char* sheetArgs[] = {"Sorabe", "--count", "2", "--sheet=x.pdf"};
  EXPECT_TRUE(NeedsNoWindow(4, const_cast<char**>(sheetArgs)));
  const char* help[] = {"Sorabe", "--progress", "-h"};
  EXPECT_TRUE(NeedsNoWindow(3, const_cast<char**>(help)));
  const char* factsText[] = {"Sorabe", "--facts", "--text"};
  EXPECT_TRUE(NeedsNoWindow(3, const_cast<char**>(factsText)));
  const CommandLine facts = ParseCommandLine({"Sorabe", "--facts", "--text", "--op", "sub", "--count", "7"}, false);
  EXPECT_TRUE(facts.sheet.operation == Operation::Subtraction && facts.factCount == 7);
  const CommandLine weak = ParseCommandLine({"Sorabe", "--sheet", "w.pdf", "--weak"}, false);
  EXPECT_TRUE(weak.weak && weak.sheet.grid == drill::GridKind::Square25);
  const char* plain[] = {"Sorabe", "--progress", "--", "--sheet"};
  EXPECT_FALSE(NeedsNoWindow(4, const_cast<char**>(plain)));
  // "--" as the value of --seed ends no options: the help follows.
  const char* valueDashes[] = {"Sorabe", "--seed", "--", "--help"};
  EXPECT_EQ(ParseCommandLine({"Sorabe", "--seed", "--", "--help"}, false).mode, CommandLine::Mode::Help);
  EXPECT_TRUE(NeedsNoWindow(4, const_cast<char**>(valueDashes)));
}

TEST(CommandLineOptions, ClassOverviewNeedsADisplayOnlyForItsWindow) {
  using Mode = CommandLine::Mode;
  const struct {
    QStringList arguments;
    Mode mode;
    const char* error;  // part of the refusal; null when accepted
    bool noWindow;      // as told before the application object exists
    const char* folder, *csv;
  } cases[] = {
      {{"--class", "4年2組"}, Mode::Class, nullptr, false, "4年2組", ""},
      {{"--class=/srv/class", "--csv", "out.csv"}, Mode::ClassCsv, nullptr, true, "/srv/class", "out.csv"},
      {{"--csv=-", "--class", "c"}, Mode::ClassCsv, nullptr, true, "c", "-"},
      {{"--csv", "out.csv"}, Mode::Drill, "--csv is used only with --class", true, "", ""},
      {{"--class"}, Mode::Drill, "--class needs a value", false, "", ""},
      {{"--class="}, Mode::Drill, "--class needs a folder", false, "", ""},
      {{"--class", "c", "--csv="}, Mode::Drill, "--csv needs a file name", true, "", ""},
      {{"--class", "c", "--progress"}, Mode::Drill, "--class and --progress cannot be used together", false, "", ""},
      {{"--class", "c", "--sheet", "a.pdf"}, Mode::Drill, "cannot be used together", true, "", ""},
      {{"--class", "c", "--grid", "25"}, Mode::Drill, "--grid is used only with", false, "", ""},
      {{"--class", "c", "--op", "mul"}, Mode::Drill, "--op is used only with --sheet", false, "", ""},
      // The value of --class is read as a folder whatever it looks like, by both readers.
      {{"--class", "--csv", "x"}, Mode::Drill, "unexpected argument 'x'", false, "", ""},
  };
  for (const auto& c : cases) {
    const QStringList arguments = QStringList{"Sorabe"} + c.arguments;
    const CommandLine line = ParseCommandLine(arguments, false);
    const std::string what = c.arguments.join(' ').toStdString();
    std::vector<QByteArray> bytes;
    std::vector<char*> argv;
    for (const QString& a : arguments) bytes.push_back(a.toLocal8Bit());
    for (QByteArray& b : bytes) argv.push_back(b.data());
    EXPECT_EQ(NeedsNoWindow(int(argv.size()), argv.data()), c.noWindow) << what;
    if (c.error) {
      EXPECT_TRUE(line.error.contains(QString::fromUtf8(c.error))) << what << ": " << line.error.toStdString();
      EXPECT_FALSE(ParseCommandLine(arguments, true).error.isEmpty()) << what;
      continue;
    }
    EXPECT_TRUE(line.error.isEmpty()) << what << ": " << line.error.toStdString();
    EXPECT_EQ(line.mode, c.mode) << what;
    EXPECT_EQ(line.classFolder, QString::fromUtf8(c.folder)) << what;
    EXPECT_EQ(line.csvPath, QString::fromUtf8(c.csv)) << what;
  }
  EXPECT_TRUE(ParseCommandLine({"Sorabe", "--help"}, false).helpText.contains("--class DIR [--csv FILE]"));
}

// The children's list lines up on a terminal, where a full-width name takes
// two columns a character; a child without drills says so in one cell.
TEST(ChildrenList, ColumnsLineUpByTerminalColumns) {
  const auto drill = [](int day, drill::GridKind grid, Operation op) {
    ScoreRecord record;
    record.date = QDate(2026, 12, day);
    record.score = 98;
    record.seconds = 5;
    record.operation = op;
    return drill::LatestDrill{grid, record};
  };
  const std::vector<ChildLine> children = {{"はなこ", drill(7, drill::GridKind::Square25, Operation::Multiplication)},
                                           {"Tom O'Neil", std::nullopt},
                                           {"ken", drill(8, drill::GridKind::Square100, Operation::Addition)}};
  for (bool japanese : {false, true}) {
    const QStringList lines = ChildrenText(children, japanese).split(u'\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 4);
    EXPECT_EQ(TerminalWidth(lines[1].left(lines[1].indexOf(u"2026-12-07"))),
              TerminalWidth(lines[3].left(lines[3].indexOf(u"2026-12-08"))));
    EXPECT_TRUE(lines[1].simplified().endsWith(japanese ? u"25マス かけざん 98点 0:05.0" : u"25 mul 98 0:05.0"))
        << lines[1].toStdString();
    EXPECT_TRUE(lines[2].startsWith(u"Tom O'Neil  ") && !lines[2].endsWith(u' ')) << lines[2].toStdString();
  }
}
