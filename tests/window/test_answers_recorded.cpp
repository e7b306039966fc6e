// The answers file as a drill writes it: one line per graded cell with the
// time it held the focus, nothing for a drill left before grading, and no
// error box when the file cannot be written.

#include "DrillFixture.h"

#include "drill/AnswersFile.h"

#include <QtWidgets/QRadioButton>

using testing_support::recorded;

namespace {

class AnswersRecorded : public DrillFixture {
 protected:
  void SetUp() override {
    DrillFixture::SetUp();
    form->MonotonicMs = [this] { return clock_; };
    form->RadioButton6->setChecked(true);
  }

  // Answers the 25-square: cell k is held 100·k ms; cell `wrongCell` is wrong.
  void answer25(int wrongCell, int upTo = 25) {
    for (int k = 1; k <= upTo; ++k) {
      ASSERT_EQ(focused(), form->Edit25masu(k));
      const int x = form->X25masu((k - 1) % 5 + 1)->Text().toInt();
      const int y = form->Y25masu((k - 1) / 5 + 1)->Text().toInt();
      clock_ += 100 * k;
      typeIntoFocus(QString::number(x + y + (k == wrongCell)), true);
    }
  }

  std::vector<answers::Answer> fileAnswers() const {
    answers::ReadLimits all;
    all.perFact = 0;
    return answers::ReadRecentAnswers(answers::kAnswersPath, all).answers;
  }

  std::int64_t clock_ = 5000;
};

}  // namespace

TEST_F(AnswersRecorded, AGradedDrillWritesEachCellOnceWithItsFocusTime) {
  startDrill();
  clock_ += 777;  // the focus sits in the first cell from the countdown's end
  answer25(7);
  const QByteArray history = readFile("date/mas25.dat");
  ASSERT_FALSE(history.isEmpty());

  const std::vector<answers::Answer> lines = fileAnswers();
  ASSERT_EQ(lines.size(), 25u);
  for (int k = 1; k <= 25; ++k) {
    const answers::Answer& a = lines[std::size_t(k - 1)];
    SCOPED_TRACE(k);
    EXPECT_EQ(a.grid, drill::GridKind::Square25);
    EXPECT_EQ(a.operation, drill::Operation::Addition);
    EXPECT_EQ(a.top, form->X25masu((k - 1) % 5 + 1)->Text());
    EXPECT_EQ(a.left, form->Y25masu((k - 1) / 5 + 1)->Text());
    EXPECT_EQ(a.answer, form->Edit25masu(k)->Text());
    EXPECT_EQ(a.right, k != 7);
    EXPECT_EQ(a.ms, 100 * k + (k == 1 ? 777 : 0));
    EXPECT_LE(qAbs(a.drill.secsTo(QDateTime::currentDateTime())), 5);
  }
  EXPECT_TRUE(readFile(answers::kAnswersPath).startsWith(answers::kHeaderLine));

  // Enter again grades the same drill again: a second record, no second lines.
  form->Edit25masu(25)->setFocus();
  QTest::keyClick(form->Edit25masu(25), Qt::Key_Return);
  EXPECT_EQ(fileAnswers().size(), 25u);
  EXPECT_EQ(readFile("date/mas25.dat").size(), 2 * history.size());
}

TEST_F(AnswersRecorded, ADrillLeftBeforeGradingWritesNothing) {
  startDrill();
  answer25(0, 24);
  form->close();
  EXPECT_FALSE(QFile::exists(answers::kAnswersPath));
}

TEST_F(AnswersRecorded, AnUnwritableFileIsOneLineOnStderrAndTheRecordIsStillWritten) {
  QDir().mkdir(answers::kAnswersPath);  // a folder in its place
  for (int drill = 0; drill < 2; ++drill) {
    startDrill();
    ::testing::internal::CaptureStderr();
    answer25(0);
    const std::string err = ::testing::internal::GetCapturedStderr();
    EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), drill == 0 ? 1 : 0) << err;
  }
  EXPECT_TRUE(recorded().errors.isEmpty());
  EXPECT_EQ(recorded().messages.size(), 2);
  EXPECT_EQ(readFile("date/mas25.dat").count("\r\n"), 2);
}

TEST_F(AnswersRecorded, AClosingStoppedByTheHistoryKeepsItsGradedCells) {
  QFile::remove("date/mas25.dat");
  QDir().mkdir("date/mas25.dat");
  startDrill();
  answer25(3);
  ASSERT_EQ(recorded().errors.size(), 1);
  EXPECT_EQ(fileAnswers().size(), 25u);
}
