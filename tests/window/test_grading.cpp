// Whole drills through real key events: answer entry, grading, the record
// and the closing.

#include "DrillFixture.h"

#include "drill/ScoreHistory.h"
#include "platform/ShiftJis.h"
#include "widgets/CuteBtn.h"
#include "widgets/MMTimer.h"

#include <QtCore/QDate>
#include <QtCore/QRegularExpression>
#include <QtWidgets/QListView>
#include <QtWidgets/QRadioButton>
#include <QtWidgets/QScrollBar>

#include <functional>

using testing_support::recorded;

namespace {

class Drill : public DrillFixture {
 protected:
  // Answers every cell of the 100-square from SaNumEdit1 on, typing into
  // whichever cell has the focus; answer(k) gives the text for cell k.
  template <class Answer>
  void answerAll(Answer answer) {
    ASSERT_EQ(focused(), form->SaNumEdit(1));
    for (int k = 1; k <= 100; ++k) {
      ASSERT_EQ(focused(), form->SaNumEdit(k)) << "before answering cell " << k;
      typeIntoFocus(answer(k), k < 100);
    }
  }

  QString clockText() const {
    return form->SaNumEdit(101)->Text() + ":" + form->SaNumEdit(102)->Text() + ":" +
           form->SaNumEdit(103)->Text();
  }

  QString recordPrefix(int score, const char* word) const {
    const QDate today = QDate::currentDate();
    return QString("%1/%2/%3  %4点  %5  ")
        .arg(today.year())
        .arg(today.month())
        .arg(today.day(), 2, 10, QChar('0'))
        .arg(score)
        .arg(word);
  }

  QStringList historyLines(const QString& path = "date/seiseki.dat") const {
    const QString text = platform::FromShiftJis(readFile(path));
    QStringList lines = text.split("\r\n");
    if (!lines.isEmpty() && lines.last().isEmpty()) lines.removeLast();
    return lines;
  }

  void pressEnterInLastCell() {
    QTest::keyClick(form->SaNumEdit(100), Qt::Key_Return);
    QCoreApplication::processEvents();
  }
};

}  // namespace

TEST_F(Drill, EnterInAnEmptyAnswerCellBeepsAndStays) {
  startDrill();
  QTest::keyClick(focused(), Qt::Key_Return);
  QCoreApplication::processEvents();
  EXPECT_EQ(focused(), form->SaNumEdit(1));
  EXPECT_EQ(recorded().beeps, 1);
  EXPECT_TRUE(form->SaNumEdit(1)->Text().isEmpty());
}

TEST_F(Drill, EnterAfterTheLastColumnGoesToTheNextRow) {
  startDrill();
  form->SaNumEdit(10)->setFocus();
  typeIntoFocus("7");
  EXPECT_EQ(focused(), form->SaNumEdit(11));
  EXPECT_EQ(recorded().beeps, 0);
}

TEST_F(Drill, AllRightScoresAHundredAndClosesTheDrill) {
  writeFile("date/seiseki.dat", platform::ToShiftJis("2003/4/05  98点  たしざん  2:5:3\r\n"));
  startDrill();
  answerAll([&](int k) { return QString::number(expected100(k)); });
  EXPECT_TRUE(recorded().messages.isEmpty());
  EXPECT_TRUE(form->MMTimer1->Enabled());
  pressEnterInLastCell();

  for (int k = 1; k <= 100; ++k) ASSERT_EQ(form->SaNumEdit(k)->FontColor(), clBlue) << k;
  const QStringList lines = historyLines();
  ASSERT_EQ(lines.size(), 2);
  EXPECT_EQ(lines[0], recordPrefix(100, "たしざん") + clockText());
  EXPECT_EQ(lines[1], "2003/4/05  98点  たしざん  2:5:3");
  EXPECT_EQ(form->ScoreListLines(), lines);
  EXPECT_FALSE(form->MMTimer1->Enabled());
  EXPECT_EQ(form->CorrectCount, 0);
  EXPECT_EQ(focused(), form->ListBox1);
  EXPECT_EQ(recorded().messages, QStringList{"しゅうりょう"});
  EXPECT_EQ(recorded().beeps, 1) << "the dropped Enter beeps once, after the box";
  for (QWidget* w : std::initializer_list<QWidget*>{form->CuteButton1, form->RadioButton1,
                                                    form->RadioButton2, form->RadioButton3,
                                                    form->RadioButton4, form->RadioButton6})
    EXPECT_TRUE(w->isEnabled()) << w->objectName().toStdString();
  EXPECT_TRUE(recorded().errors.isEmpty());
}

TEST_F(Drill, AllWrongScoresZeroAndMarksEveryCellRed) {
  startDrill();
  answerAll([](int) { return QString("99"); });
  pressEnterInLastCell();
  for (int k = 1; k <= 100; ++k) ASSERT_EQ(form->SaNumEdit(k)->FontColor(), clRed) << k;
  EXPECT_EQ(historyLines().value(0), recordPrefix(0, "たしざん") + clockText());
}

TEST_F(Drill, SubtractionAndMultiplicationGradeAgainstTheirHeaders) {
  form->RadioButton3->setChecked(true);
  startDrill();
  form->XEdit(1)->SetText("13");
  form->YEdit(1)->SetText("5");
  // Right everywhere except cell 2, where 8 is typed but something else is due.
  answerAll([&](int k) { return k == 1 ? QString("8") : QString::number(expected100(k) + (k == 2)); });
  pressEnterInLastCell();
  EXPECT_EQ(form->SaNumEdit(1)->FontColor(), clBlue);
  EXPECT_EQ(form->SaNumEdit(2)->FontColor(), clRed);
  EXPECT_EQ(historyLines().value(0), recordPrefix(99, "ひきざん") + clockText());

  form->RadioButton2->setChecked(true);
  startDrill();
  answerAll([&](int k) { return QString::number(expected100(k)); });
  pressEnterInLastCell();
  EXPECT_EQ(historyLines().value(0), recordPrefix(100, "かけざん") + clockText());
  EXPECT_EQ(historyLines().size(), 2);
}

TEST_F(Drill, OneEmptyCellRefusesTheClosingButFreesTheGridKind) {
  startDrill();
  answerAll([](int) { return QString("1"); });
  form->SaNumEdit(55)->SetText("");
  form->SaNumEdit(100)->setFocus();
  recorded().beeps = 0;
  pressEnterInLastCell();
  EXPECT_EQ(recorded().beeps, 1);
  EXPECT_EQ(focused(), form->SaNumEdit(100));
  EXPECT_TRUE(readFile("date/seiseki.dat").isEmpty());
  EXPECT_TRUE(form->MMTimer1->Enabled());
  EXPECT_TRUE(form->RadioButton4->isEnabled());
  EXPECT_TRUE(form->RadioButton6->isEnabled());
  EXPECT_FALSE(form->RadioButton1->isEnabled());
  EXPECT_FALSE(form->CuteButton1->isEnabled());
  EXPECT_TRUE(recorded().messages.isEmpty());
}

TEST_F(Drill, DigitsAndBackspaceInTheLastCellReachItAndEnableNothing) {
  startDrill();
  form->SaNumEdit(100)->setFocus();
  QTest::keyClicks(form->SaNumEdit(100), "4");
  QTest::keyClick(form->SaNumEdit(100), Qt::Key_5);
  EXPECT_EQ(form->SaNumEdit(100)->Text(), "45");
  QTest::keyClick(form->SaNumEdit(100), Qt::Key_Backspace);
  EXPECT_EQ(form->SaNumEdit(100)->Text(), "4");
  EXPECT_FALSE(form->RadioButton4->isEnabled());
  EXPECT_FALSE(form->RadioButton6->isEnabled());
  EXPECT_EQ(recorded().beeps, 0);
}

TEST_F(Drill, EnterAgainWritesASecondEqualRecord) {
  startDrill();
  answerAll([&](int k) { return QString::number(expected100(k) + (k % 2)); });
  pressEnterInLastCell();
  form->SaNumEdit(100)->setFocus();
  pressEnterInLastCell();
  const QStringList lines = historyLines();
  ASSERT_EQ(lines.size(), 2);
  EXPECT_EQ(lines[0], lines[1]);
  EXPECT_EQ(lines[0], recordPrefix(50, "たしざん") + clockText());
  EXPECT_EQ(recorded().messages.size(), 2);
}

TEST_F(Drill, AHistoryThatCannotBeWrittenKeepsTheDrillOpenAndARetryCountsOnce) {
  startDrill();
  answerAll([&](int k) { return QString::number(expected100(k) + (k <= 10)); });
  // A folder where the history should be: it can be neither read nor written.
  QFile::remove("date/seiseki.dat");
  QDir().mkdir("date/seiseki.dat");
  pressEnterInLastCell();
  ASSERT_EQ(recorded().errors, QStringList{"ファイル date/seiseki.dat は開けません."});
  EXPECT_EQ(form->SaNumEdit(1)->FontColor(), clRed);
  EXPECT_EQ(form->SaNumEdit(11)->FontColor(), clBlue);
  EXPECT_TRUE(form->MMTimer1->Enabled());
  EXPECT_FALSE(form->CuteButton1->isEnabled());
  EXPECT_TRUE(recorded().messages.isEmpty());
  EXPECT_EQ(recorded().beeps, 0) << "the failed closing ends the key's handling";

  QDir().rmdir("date/seiseki.dat");
  writeFile("date/seiseki.dat", {});
  form->SaNumEdit(100)->setFocus();
  pressEnterInLastCell();
  EXPECT_EQ(historyLines(), QStringList{recordPrefix(90, "たしざん") + clockText()});
  EXPECT_EQ(recorded().messages, QStringList{"しゅうりょう"});
}

TEST_F(Drill, AnswersThatAreNoWholeNumbersAreWrong) {
  startDrill();
  answerAll([&](int k) { return QString::number(expected100(k)); });
  form->SaNumEdit(3)->SetText("1.5");
  form->SaNumEdit(4)->SetText("-");
  form->SaNumEdit(100)->setFocus();
  pressEnterInLastCell();
  EXPECT_EQ(form->SaNumEdit(3)->FontColor(), clRed);
  EXPECT_EQ(form->SaNumEdit(4)->FontColor(), clRed);
  EXPECT_EQ(historyLines().value(0), recordPrefix(98, "たしざん") + clockText());
  EXPECT_TRUE(recorded().errors.isEmpty());
}

TEST_F(Drill, WithoutDrawnHeadersTheClosingIsRefused) {
  // No drill has started: the headers are empty.
  for (int k = 1; k <= 100; ++k) form->SaNumEdit(k)->SetText("3");
  form->SaNumEdit(100)->setFocus();
  pressEnterInLastCell();
  EXPECT_EQ(recorded().beeps, 1);
  EXPECT_TRUE(readFile("date/seiseki.dat").isEmpty());
  EXPECT_TRUE(recorded().errors.isEmpty());
  EXPECT_EQ(form->SaNumEdit(1)->FontColor(), clBlue);
}

TEST_F(Drill, TheTwentyFiveSquareScoresFourPointsACellInItsOwnHistory) {
  form->RadioButton6->setChecked(true);
  startDrill();
  for (int k = 1; k <= 25; ++k) {
    ASSERT_EQ(focused(), form->Edit25masu(k));
    const int x = form->X25masu((k - 1) % 5 + 1)->Text().toInt();
    const int y = form->Y25masu((k - 1) / 5 + 1)->Text().toInt();
    typeIntoFocus(QString::number(x + y + (k == 13)), k < 25);
  }
  QTest::keyClick(form->Edit25masu(25), Qt::Key_Return);
  EXPECT_EQ(form->Edit25masu(13)->FontColor(), clRed);
  EXPECT_EQ(historyLines("date/mas25.dat").value(0), recordPrefix(96, "たしざん") + clockText());
  EXPECT_TRUE(readFile("date/seiseki.dat").isEmpty());
  EXPECT_EQ(form->ScoreListLines(), historyLines("date/mas25.dat"));
}

// A history longer than the list, scrolled to its end: every refill shows
// the list from its first entry, the newest record.
TEST_F(Drill, ARefilledScoreListShowsItsFirstEntry) {
  QByteArray history;
  for (int n = 0; n < 80; ++n)
    history += platform::ToShiftJis(history::FormatScoreRecord(QDate(2003, 4, 1), n, history::kAdditionWord,
                                                               "1", "2", "3") + "\r\n");
  writeFile("date/seiseki.dat", history);
  writeFile("date/mas25.dat", history);
  form->LoadScoreList(TForm1::GridKind::Square100);

  const std::pair<const char*, std::function<void()>> refills[] = {
      {"25マス", [&] { form->RadioButton6->setChecked(true); }},
      {"100マス", [&] { form->RadioButton4->setChecked(true); }},
      {"the closing", [&] {
         startDrill();
         for (int k = 1; k <= 100; ++k) form->SaNumEdit(k)->SetText("1");
         pressEnterInLastCell();
       }},
  };
  QListView* list = form->ListBox1;
  for (const auto& [name, refill] : refills) {
    QCoreApplication::processEvents();
    list->scrollToBottom();
    ASSERT_GT(list->verticalScrollBar()->value(), 0) << name;
    refill();
    QCoreApplication::processEvents();
    EXPECT_EQ(list->verticalScrollBar()->value(), 0) << name;
    EXPECT_EQ(list->indexAt(QPoint(2, 2)).row(), 0) << name;
  }
  EXPECT_EQ(recorded().messages, QStringList{"しゅうりょう"});
}
