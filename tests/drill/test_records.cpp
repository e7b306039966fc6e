// Reading history lines back as records: what the drill writes, what older
// or hand-edited files hold, and what is passed over.

#include "drill/ScoreRecord.h"

#include "common/TestSupport.h"
#include "platform/Exception.h"
#include "platform/ShiftJis.h"

#include <QtCore/QDir>
#include <QtCore/QFile>
#include <QtCore/QFileInfo>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <optional>
#include <vector>

using namespace progress;
using drill::Operation;

namespace {

QByteArray sjis(const QString& text) { return platform::ToShiftJis(text); }

void writeFile(const QString& path, const QByteArray& data) {
  QFile file(path);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
  ASSERT_EQ(file.write(data), data.size());
}

struct Expected {
  int year, month, day, score;
  Operation operation;
  int minutes, seconds, tenths;
};

void expectRecord(const std::optional<ScoreRecord>& record, const Expected& e, const QByteArray& line) {
  ASSERT_TRUE(record.has_value()) << line.toStdString();
  EXPECT_EQ(record->date, QDate(e.year, e.month, e.day)) << line.toStdString();
  EXPECT_EQ(record->score, e.score) << line.toStdString();
  EXPECT_EQ(record->operation, e.operation) << line.toStdString();
  EXPECT_EQ(record->minutes, e.minutes) << line.toStdString();
  EXPECT_EQ(record->seconds, e.seconds) << line.toStdString();
  EXPECT_EQ(record->tenths, e.tenths) << line.toStdString();
}

}  // namespace

TEST(ScoreRecordParser, ReadsWhatTheDrillWritesAndWhatAPersonTypes) {
  const struct {
    const char* line;  // UTF-8 here; the file holds it in Shift-JIS
    Expected expected;
  } cases[] = {
      // The worked example, byte for byte as the drill writes it.
      {"2003/4/05  98点  たしざん  2:5:3", {2003, 4, 5, 98, Operation::Addition, 2, 5, 3}},
      {"2003/12/25  100点  かけざん  0:59:9", {2003, 12, 25, 100, Operation::Multiplication, 0, 59, 9}},
      {"2004/1/01  0点  ひきざん  10:0:0", {2004, 1, 1, 0, Operation::Subtraction, 10, 0, 0}},
      {"2024/2/29  96点  ひきざん  0:48:7", {2024, 2, 29, 96, Operation::Subtraction, 0, 48, 7}},  // 25-square
      // Typed by hand.
      {"2003/04/05  98点  たしざん  02:05:3", {2003, 4, 5, 98, Operation::Addition, 2, 5, 3}},
      {"2003-4-5 98 点 かけざん 2:05.3", {2003, 4, 5, 98, Operation::Multiplication, 2, 5, 3}},
      {"2003.4.5\t98点たしざん2:5:3\t", {2003, 4, 5, 98, Operation::Addition, 2, 5, 3}},
      {"　２００３／４／０５　９８点　ひきざん　２：５：３", {2003, 4, 5, 98, Operation::Subtraction, 2, 5, 3}},
      {"  2003/4/05  98点  たしざん  120:5:3  ", {2003, 4, 5, 98, Operation::Addition, 120, 5, 3}},
  };
  for (const auto& c : cases) {
    const QByteArray line = sjis(QString::fromUtf8(c.line));
    expectRecord(ParseScoreRecord(QByteArrayView(line)), c.expected, line);
    // The same line as the score list shows it.
    expectRecord(ParseScoreRecord(QString::fromUtf8(c.line)), c.expected, line);
  }

  const std::optional<ScoreRecord> worked = ParseScoreRecord(QStringLiteral("2004/1/01  0点  ひきざん  10:0:0"));
  ASSERT_TRUE(worked);
  EXPECT_EQ(worked->TimeTenths(), 6000);
  EXPECT_EQ(worked->TimeText(), "10:00.0");
}

TEST(ScoreRecordParser, EveryRecordTheDrillFormatsReadsBack) {
  const QString words[] = {history::kAdditionWord, history::kMultiplicationWord, history::kSubtractionWord};
  const QDate dates[] = {QDate(2003, 4, 5), QDate(1999, 12, 31), QDate(2024, 2, 29), QDate(9999, 1, 1)};
  const char* times[][3] = {{"0", "0", "0"}, {"2", "5", "3"}, {"10", "0", "0"}, {"59", "59", "9"}};
  for (int op = 0; op < 3; ++op)
    for (const QDate& date : dates)
      for (int score : {0, 4, 98, 100})
        for (const auto& t : times) {
          const QString line = history::FormatScoreRecord(date, score, words[op], t[0], t[1], t[2]);
          const QByteArray bytes = sjis(line);
          expectRecord(ParseScoreRecord(QByteArrayView(bytes)),
                       {date.year(), date.month(), date.day(), score, Operation(op), atoi(t[0]), atoi(t[1]), atoi(t[2])},
                       bytes);
        }
}

TEST(ScoreRecordParser, RefusesLinesThatAreNotRecords) {
  const char* lines[] = {
      "",
      "2003/4/05",
      "2003/4/05  98点  たしざん",
      "2003/2/30  98点  たしざん  2:5:3",     // no such day
      "2003/13/05  98点  たしざん  2:5:3",    // no such month
      "03/4/05  98点  たしざん  2:5:3",       // the year has four digits
      "20030/4/05  98点  たしざん  2:5:3",
      "2003/4/0598点  たしざん  2:5:3",       // the score must stand apart from the date
      "2003/4/05  101点  たしざん  2:5:3",    // above the best score
      "2003/4/05  -1点  たしざん  2:5:3",
      "2003/4/05  98  たしざん  2:5:3",       // no 点
      "2003/4/05  98点  わりざん  2:5:3",     // no such operation
      "2003/4/05  98点  たしざん  2:60:3",    // seconds 0 to 59
      "2003/4/05  98点  たしざん  2:5:10",    // tenths 0 to 9
      "2003/4/05  98点  たしざん  2:5",
      "2003/4/05  98点  たしざん  2::3",
      "2003/4/05  98点  たしざん  2:5:3 x",   // something after the time
      "2003/4/05  98点  たしざん  2:5:3  2003/4/05  98点  たしざん  2:5:3",
      "2003/4/05  98点  たしざん  123456:5:3",
  };
  for (const char* line : lines) {
    const QByteArray bytes = sjis(QString::fromUtf8(line));
    EXPECT_FALSE(ParseScoreRecord(QByteArrayView(bytes))) << line;
  }
  // Bytes the score list shows as replacement characters or U+0000.
  const QByteArray good = sjis(QStringLiteral("2003/4/05  98点  たしざん  2:5:3"));
  QByteArray nul = good;
  nul.insert(12, '\0');
  EXPECT_FALSE(ParseScoreRecord(QByteArrayView(nul)));
  QByteArray trailingNul = good + QByteArray(1, '\0');
  EXPECT_FALSE(ParseScoreRecord(QByteArrayView(trailingNul)));
  QByteArray brokenWord = good;
  brokenWord[17] = char(0xFF);  // inside "たしざん"
  EXPECT_FALSE(ParseScoreRecord(QByteArrayView(brokenWord)));
  QByteArray cutLead = good + char(0x82);  // a lead byte without its trail byte
  EXPECT_FALSE(ParseScoreRecord(QByteArrayView(cutLead)));
}

TEST(ScoreRecordParser, LinesInTheDrillsShapeReadAsTheyWouldInAnyOtherShape) {
  // Lines that look as the drill writes them are read by a quicker path.
  // A leading blank changes nothing in a record but sends it down the
  // general one, so the two must agree on every line here: those that only
  // look right (no such day, a score above 100, 60 seconds, a word of the
  // right length that is not an operation) as much as those that are.
  // Lines of one date follow each other, as in a history.
  const char* dates[] = {"2023/4/05", "2024/2/28", "2024/2/29", "2023/2/29", "2023/4/31", "2023/12/31", "2023/13/01",
                         "2023/0/10", "2023/1/00", "0000/1/01", "2023/04/5", "2023/4/005", "20234/1/01"};
  const char* scores[] = {"0", "007", "99", "100", "101", "999", "1000"};
  const char* words[] = {"たしざん", "かけざん", "ひきざん", "わりざん", "たしざ ", "たしざんん"};
  const char* times[] = {"0:0:0", "99999:59:9", "100000:0:0", "2:60:3", "2:59:10", "2:5:09",
                         "2:05:3", "2:5.3", "2:5:3 ", "2:5:3　", "2:5:", "2:5:3\r"};
  int read = 0, refused = 0;
  for (const char* date : dates)
    for (const char* score : scores)
      for (const char* word : words)
        for (const char* time : times) {
          const QByteArray line = sjis(QStringLiteral("%1  %2点  %3  %4").arg(date, score, QString::fromUtf8(word), time));
          const QByteArray blankFirst = " " + line;
          const std::optional<ScoreRecord> quick = ParseScoreRecord(QByteArrayView(line));
          const std::optional<ScoreRecord> general = ParseScoreRecord(QByteArrayView(blankFirst));
          ASSERT_EQ(quick.has_value(), general.has_value()) << line.toStdString();
          if (!quick) {
            ++refused;
            continue;
          }
          ++read;
          ASSERT_EQ(quick->date, general->date) << line.toStdString();
          ASSERT_EQ(quick->score, general->score) << line.toStdString();
          ASSERT_EQ(quick->operation, general->operation) << line.toStdString();
          ASSERT_EQ(quick->TimeTenths(), general->TimeTenths()) << line.toStdString();
        }
  // 5 dates that exist, 4 scores, 3 words and 7 times that are good.
  EXPECT_EQ(read, 5 * 4 * 3 * 7);
  EXPECT_EQ(refused, 13 * 7 * 6 * 12 - read);
}

TEST(ScoreRecords, AFileIsReadInDateOrderAndItsOtherLinesCounted) {
  const QString path = testing_support::makeTempDir() + "/seiseki.dat";
  // Newest first, but for one line put in by hand out of order, and one
  // saved as UTF-8 by an editor.
  const QByteArray file = sjis(QStringLiteral("2003/4/07  90点  ひきざん  1:0:0")) + "\r\n" +
                          sjis(QStringLiteral("2003/4/06  95点  かけざん  1:10:0")) + "\r" +  // lone CR
                          "\r\n" +                                                          // a blank line
                          sjis(QStringLiteral("2003/4/06  80点  たしざん  1:20:0")) + "\n" +  // lone LF
                          "this is not a record\r\n" + QByteArray(1 << 20, 'x') + "\r\n" + QByteArray("\0\0\0", 3) +
                          "\r\n   \r\n" + sjis(QStringLiteral("2003/4/08  70点  たしざん  3:0:0")) + "\r\n" +
                          QByteArray("\xEF\xBB\xBF") + QStringLiteral("2003/4/04  60点  かけざん  4:0:0").toUtf8() +
                          "\r\n" + sjis(QStringLiteral("2003/4/05  98点  たしざん  2:5:3"));  // no line end
  writeFile(path, file);
  const QDateTime modified = QFileInfo(path).lastModified();

  const ScoreRecords read = ReadScoreRecords(path);
  EXPECT_EQ(read.skipped, 3) << "the text, the long line and the NUL bytes; blank lines are not counted";
  // In date order; the two drills of 6 April in the order they were written.
  const int scores[] = {60, 98, 80, 95, 90, 70};
  ASSERT_EQ(read.records.size(), std::size(scores));
  for (std::size_t i = 0; i < std::size(scores); ++i) EXPECT_EQ(read.records[i].score, scores[i]) << i;
  EXPECT_EQ(read.records[0].operation, Operation::Multiplication);
  EXPECT_EQ(read.records[0].date, QDate(2003, 4, 4));

  QFile again(path);
  ASSERT_TRUE(again.open(QIODevice::ReadOnly));
  EXPECT_EQ(again.readAll(), file) << "the history is only read";
  EXPECT_EQ(QFileInfo(path).lastModified(), modified);
}

TEST(ScoreRecords, AMissingHistoryRaisesTheScoreListsError) {
  const QString dir = testing_support::makeTempDir();
  try {
    ReadScoreRecords(dir + "/seiseki.dat");
    FAIL() << "no error";
  } catch (const EInOutError& e) {
    EXPECT_EQ(e.ErrorCode, 2);
    EXPECT_EQ(e.Message(), "ファイルが見つかりません");
  }
  EXPECT_FALSE(QFileInfo::exists(dir + "/seiseki.dat")) << "reading creates nothing";
}

TEST(ScoreRecords, AHundredThousandRecordHistory) {
  const QString path = testing_support::makeTempDir() + "/seiseki.dat";
  const QString words[] = {history::kAdditionWord, history::kMultiplicationWord, history::kSubtractionWord};
  QByteArray content;
  const int count = 100000;
  const QDate first(2003, 4, 5);
  for (int i = count - 1; i >= 0; --i)  // newest first
    content += sjis(history::FormatScoreRecord(first.addDays(i / 10), i % 101, words[i % 3], QString::number(i % 12),
                                               QString::number(i % 60), QString::number(i % 10))) +
               "\r\n";
  writeFile(path, content);
  const ScoreRecords read = ReadScoreRecords(path);
  ASSERT_EQ(read.records.size(), std::size_t(count));
  EXPECT_EQ(read.skipped, 0);
  for (int i : {0, 1, 12345, count - 1}) {
    const ScoreRecord& r = read.records[std::size_t(i)];
    EXPECT_EQ(r.date, first.addDays(i / 10));
    EXPECT_EQ(r.score, i % 101);
    EXPECT_EQ(r.operation, Operation(i % 3));
    EXPECT_EQ(r.TimeTenths(), (i % 12) * 600 + (i % 60) * 10 + i % 10);
  }
}

TEST(ScoreRecords, HistoriesReadThroughOneBufferKeepNothingOfTheOneBefore) {
  // One reader goes through a long history, a short one, a missing one and
  // an empty one, as a worker of the class overview does; each must read as
  // if it were read alone.
  const QString dir = testing_support::makeTempDir();
  const QByteArray lineA = sjis(QStringLiteral("2003/4/06  95点  かけざん  1:10:0"));
  const QByteArray lineB = sjis(QStringLiteral("2003/4/05  98点  たしざん  2:5:3"));
  QByteArray longHistory;
  for (int i = 0; i < 500; ++i) longHistory += lineA + "\r\n";
  const struct {
    const char* name;
    std::optional<QByteArray> content;  // none: no file
    std::size_t records;
    qsizetype skipped;
  } cases[] = {{"long", longHistory + "junk\r\n", 500, 1},
               {"short, no line end", lineB, 1, 0},
               {"missing", std::nullopt, 0, 0},
               {"empty", QByteArray(), 0, 0},
               {"short again", lineB + "\r\n" + lineA + "\r\n", 2, 0}};
  ScoreRecords records;
  QByteArray buffer;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const QString path = dir + "/" + c.name;
    if (c.content) writeFile(path, *c.content);
    bool raised = false;
    try {
      ReadScoreRecords(path, records, buffer);
    } catch (const EInOutError&) {
      raised = true;
    }
    EXPECT_EQ(raised, !c.content);
    EXPECT_EQ(records.records.size(), c.records);
    EXPECT_EQ(records.skipped, c.skipped);
    if (!c.content) continue;
    const ScoreRecords alone = ReadScoreRecords(path);
    ASSERT_EQ(alone.records.size(), records.records.size());
    for (std::size_t i = 0; i < alone.records.size(); ++i) {
      EXPECT_EQ(records.records[i].date, alone.records[i].date);
      EXPECT_EQ(records.records[i].TimeTenths(), alone.records[i].TimeTenths());
    }
  }
}

TEST(ScoreRecords, AWholeFileReadsAsItsLinesReadOneByOne) {
  // The drill's own lines are read where they lie in the file and find
  // their own ends; other lines are cut out first. Either way, and wherever
  // a line sits against the end of the file, the file reads as its lines
  // read alone, newest first.
  const QByteArray pool[] = {
      sjis(QStringLiteral("2003/4/05  98点  たしざん  2:5:3")),
      sjis(QStringLiteral("2003/4/5  100点  かけざん  99999:59:9")),  // the longest fields
      sjis(QStringLiteral("2003/12/31  0点  ひきざん  0:0:0")),
      sjis(QStringLiteral("2003/2/30  50点  たしざん  1:0:0")),  // no such day
      sjis(QStringLiteral("2003/4/05  98点  たしざん  2:5:3 ")),
      sjis(QStringLiteral("2003/4/05  98点  たしざん  2:5:31")),
      sjis(QStringLiteral("2003/4/5 7点たしざん0:0:0")),  // short: more room is made
      QStringLiteral("2003/4/06  95点  かけざん  1:10:0").toUtf8(),
      QByteArray("2003/4/05  98\x93"), QByteArray(), QByteArray("  \t"), QByteArray("not a record")};
  const char* const ends[] = {"\r\n", "\n", "\r"};
  ScoreRecords whole;  // kept from one file to the next, as the class overview keeps it
  for (unsigned seed = 1; seed <= 40; ++seed) {
    SCOPED_TRACE(seed);
    std::srand(seed);
    QByteArray file;
    std::vector<ScoreRecord> expected;
    qsizetype skipped = 0;
    const int count = seed % 4 == 0 ? 300 : std::rand() % 12;
    for (int i = 0; i < count; ++i) {
      const QByteArray& line = seed % 4 == 0 ? pool[6] : pool[std::size_t(std::rand()) % std::size(pool)];
      file += line;
      if (i + 1 < count || seed % 3 != 0) file += ends[std::rand() % 3];  // every third file: no last line end
      if (const std::optional<ScoreRecord> r = ParseScoreRecord(QByteArrayView(line)))
        expected.insert(expected.begin(), *r);
      else if (!line.trimmed().isEmpty())
        ++skipped;
    }
    std::stable_sort(expected.begin(), expected.end(), [](auto& a, auto& b) { return a.date < b.date; });
    // In storage of its own size: a read past its end fails under the address sanitizer.
    const std::vector<char> exact(file.begin(), file.end());
    ParseScoreBytes(QByteArrayView(exact.data(), qsizetype(exact.size())), whole);
    EXPECT_EQ(whole.skipped, skipped);
    ASSERT_EQ(whole.records.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
      EXPECT_EQ(whole.records[i].date, expected[i].date) << i;
      EXPECT_EQ(whole.records[i].score, expected[i].score) << i;
      EXPECT_EQ(whole.records[i].operation, expected[i].operation) << i;
      EXPECT_EQ(whole.records[i].TimeTenths(), expected[i].TimeTenths()) << i;
    }
  }
}
