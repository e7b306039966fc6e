// Printable sheets: the header draw they share with the drill, the pages of
// the PDF and the text a reader takes from them, and the printer path.

#include "progress/SheetDialog.h"
#include "progress/Sheets.h"

#include "common/TestSupport.h"
#include "platform/Exception.h"

#include <QtCore/QFile>
#include <QtCore/QProcess>
#include <QtCore/QRegularExpression>
#include <QtPrintSupport/QPrinter>
#include <QtWidgets/QRadioButton>
#include <QtWidgets/QSpinBox>

#include <gtest/gtest.h>

#include <set>

using namespace progress;
using drill::Operation;

namespace {

QString run(const QString& program, const QStringList& arguments) {
  QProcess process;
  process.start(program, arguments);
  if (!process.waitForFinished(60000)) return "<timed out>";
  return QString::fromUtf8(process.readAllStandardOutput());
}

int pageCount(const QString& pdf) {
  const QRegularExpressionMatch m = QRegularExpression(R"(Pages:\s+(\d+))").match(run("pdfinfo", {pdf}));
  return m.hasMatch() ? m.captured(1).toInt() : -1;
}

// The words of each line of each page, as a reader of the PDF gets them.
std::vector<std::vector<QStringList>> pageWords(const QString& pdf) {
  std::vector<std::vector<QStringList>> pages;
  for (const QString& page : run("pdftotext", {"-layout", pdf, "-"}).split(u'\f')) {
    std::vector<QStringList> lines;
    for (const QString& line : page.split(u'\n')) {
      const QStringList words = line.simplified().split(u' ', Qt::SkipEmptyParts);
      if (!words.isEmpty()) lines.push_back(words);
    }
    pages.push_back(lines);
  }
  return pages;
}

// The grid of a page: the line that starts with the sign, and the lines
// after it.
std::vector<QStringList> gridRows(const std::vector<QStringList>& page, const QString& sign) {
  for (std::size_t i = 0; i < page.size(); ++i)
    if (page[i].first() == sign) return std::vector<QStringList>(page.begin() + long(i), page.end());
  return {};
}

void expectPermutationRows(const drill::Headers& h, Operation op, int count) {
  std::set<int> tops, lefts;
  for (const QString& t : h.tops) tops.insert(t.toInt());
  for (const QString& l : h.lefts) lefts.insert(l.toInt());
  const int base = op == Operation::Subtraction ? 10 : 0;
  ASSERT_EQ(int(tops.size()), count);
  ASSERT_EQ(int(lefts.size()), count);
  EXPECT_GE(*tops.begin(), base);
  EXPECT_LE(*tops.rbegin(), base + 9);
  EXPECT_GE(*lefts.begin(), 0);
  EXPECT_LE(*lefts.rbegin(), 9);
  EXPECT_NE(h.tops.first().toInt(), base) << "never a leading 0 (10)";
  EXPECT_NE(h.lefts.first(), "0");
  for (const QString& t : h.tops) EXPECT_EQ(t.size(), op == Operation::Subtraction ? 2 : 1);
}

}  // namespace

TEST(Sheets, EveryHeaderRowIsAPermutationAsInADrill) {
  for (drill::GridKind grid : {drill::GridKind::Square100, drill::GridKind::Square25})
    for (Operation op : {Operation::Addition, Operation::Multiplication, Operation::Subtraction}) {
      const std::vector<drill::Headers> sheets = DrawSheets({grid, op, 300, 99});
      ASSERT_EQ(sheets.size(), 300u);
      for (const drill::Headers& h : sheets) expectPermutationRows(h, op, drill::HeaderCount(grid));
    }
  const SheetOptions options{drill::GridKind::Square100, Operation::Addition, 5, 4242};
  EXPECT_EQ(DrawSheets(options).back().tops, DrawSheets(options).back().tops) << "a seed gives the same sheets";
  SheetOptions other = options;
  other.seed = 4243;
  EXPECT_NE(DrawSheets(options).back().tops, DrawSheets(other).back().tops);

  // Sheets on weak facts: every sheet headed by the chosen digits, in orders of their own.
  const std::vector<drill::Headers> weakSheets = DrawSheets(
      {drill::GridKind::Square25, Operation::Subtraction, 20, 7}, drill::HeaderChoice{{0, 2, 4, 6, 8}, {1, 3, 5, 7, 9}});
  for (const drill::Headers& h : weakSheets) {
    QStringList tops = h.tops, lefts = h.lefts;
    tops.sort();
    lefts.sort();
    EXPECT_EQ(tops, QStringList({"10", "12", "14", "16", "18"}));
    EXPECT_EQ(lefts, QStringList({"1", "3", "5", "7", "9"}));
  }
  EXPECT_NE(weakSheets.front().tops, weakSheets.back().tops);
}

TEST(SheetsPdf, SheetsThenAnswerPagesWhoseTextHoldsTheHeadersAndAnswers) {
  const QString dir = testing_support::makeTempDir();
  for (const SheetOptions& options : {SheetOptions{drill::GridKind::Square100, Operation::Subtraction, 3, 12345},
                                      SheetOptions{drill::GridKind::Square25, Operation::Multiplication, 2, 7}}) {
    const QString pdf = dir + "/sheets.pdf";
    WriteSheetsPdf(pdf, options);
    ASSERT_EQ(pageCount(pdf), 2 * options.count);
    EXPECT_TRUE(run("pdfinfo", {pdf}).contains("595 x 842 pts (A4)"));

    const std::vector<drill::Headers> sheets = DrawSheets(options);
    const auto pages = pageWords(pdf);
    const QString sign = drill::OperationSign(options.operation);
    const int n = drill::HeaderCount(options.grid);
    for (int s = 0; s < options.count; ++s) {
      const auto& sheetPage = pages[std::size_t(s)];
      const QString all = [&] {
        QStringList words;
        for (const QStringList& line : sheetPage) words << line;
        return words.join(' ');
      }();
      for (const char* field : {"なまえ", "ひづけ", "じかん"}) EXPECT_TRUE(all.contains(field)) << field;

      const std::vector<QStringList> rows = gridRows(sheetPage, sign);
      ASSERT_GE(int(rows.size()), n + 1) << all.toStdString();
      EXPECT_EQ(rows[0].mid(1), sheets[std::size_t(s)].tops) << "sheet " << s;
      for (int i = 0; i < n; ++i) EXPECT_EQ(rows[std::size_t(i) + 1], QStringList{sheets[std::size_t(s)].lefts[i]});

      const std::vector<QStringList> answers = gridRows(pages[std::size_t(options.count + s)], sign);
      ASSERT_GE(int(answers.size()), n + 1);
      EXPECT_EQ(answers[0].mid(1), sheets[std::size_t(s)].tops);
      for (int i = 0; i < n; ++i) {
        const QStringList& row = answers[std::size_t(i) + 1];
        ASSERT_EQ(row.size(), n + 1) << row.join(' ').toStdString();
        EXPECT_EQ(row[0], sheets[std::size_t(s)].lefts[i]);
        for (int j = 0; j < n; ++j)
          EXPECT_EQ(row[j + 1].toLongLong(),
                    drill::Answer(options.operation, sheets[std::size_t(s)].tops[j].toInt(), row[0].toInt()));
      }
    }
  }
}

TEST(SheetsPdf, CellsAreAtLeastFifteenMillimetresAndTheFileIsAllOrNothing) {
  const QString dir = testing_support::makeTempDir();
  WriteSheetsPdf(dir + "/one.pdf", {drill::GridKind::Square100, Operation::Subtraction, 1, 5});
  // Word boxes in points: neighbouring top headers (10 to 19, each a word
  // found once on the page) stand one cell apart.
  const QString boxes = run("pdftotext", {"-bbox", "-f", "1", "-l", "1", dir + "/one.pdf", "-"});
  const drill::Headers sheet = DrawSheets({drill::GridKind::Square100, Operation::Subtraction, 1, 5}).front();
  std::vector<double> centres;
  for (const QString& top : sheet.tops) {
    const QRegularExpression word(QStringLiteral(R"re(xMin="([\d.]+)" yMin="[\d.]+" xMax="([\d.]+)" yMax="[\d.]+">%1<)re")
                                      .arg(top));
    const QRegularExpressionMatch m = word.match(boxes);
    ASSERT_TRUE(m.hasMatch()) << top.toStdString();
    centres.push_back((m.captured(1).toDouble() + m.captured(2).toDouble()) / 2);
  }
  for (std::size_t j = 1; j < centres.size(); ++j)
    EXPECT_GE((centres[j] - centres[j - 1]) * 25.4 / 72, 15.0) << "cell " << j;

  EXPECT_THROW(WriteSheetsPdf(dir + "/missing/sheets.pdf", {}), Exception);
  EXPECT_FALSE(QFile::exists(dir + "/missing"));
}

TEST(SheetsPrinter, TheSheetDialogPrintsTheChosenSheetsAndTheirAnswers) {
  SheetDialog dialog(drill::GridKind::Square25, Operation::Multiplication);
  EXPECT_TRUE(dialog.OperationButton(Operation::Multiplication)->isChecked()) << "the drill's operation first";
  dialog.OperationButton(Operation::Subtraction)->setChecked(true);
  dialog.CountBox()->setValue(3);
  const SheetOptions options = dialog.Options();
  EXPECT_EQ(options.grid, drill::GridKind::Square25);
  EXPECT_EQ(options.operation, Operation::Subtraction);
  EXPECT_EQ(options.count, 3);

  // A printer that prints to a file, as the print dialog's "print to file".
  const QString pdf = testing_support::makeTempDir() + "/printed.pdf";
  QPrinter printer(QPrinter::HighResolution);
  printer.setOutputFormat(QPrinter::PdfFormat);
  printer.setOutputFileName(pdf);
  dialog.Print(printer);
  EXPECT_EQ(pageCount(pdf), 6);
  const auto pages = pageWords(pdf);
  EXPECT_FALSE(gridRows(pages[0], "－").empty());
  EXPECT_EQ(gridRows(pages[5], "－").size(), 6u);
}
