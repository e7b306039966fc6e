// The drill window as built: size, controls at start, first activation,
// tab order, the 25-square panel covering the 100-square, error boxes.

#include "DrillFixture.h"

#include "platform/Exception.h"
#include "widgets/Panel.h"
#include "platform/ShiftJis.h"
#include "widgets/CuteBtn.h"
#include "widgets/MMTimer.h"

#include <QtCore/QTimer>
#include <QtGui/QImage>
#include <QtWidgets/QLabel>
#include <QtWidgets/QListView>
#include <QtWidgets/QRadioButton>

#include <cstring>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

using testing_support::recorded;

namespace {

using Window = DrillFixture;

QStringList allCellNames() {
  QStringList names;
  for (int k = 1; k <= 103; ++k) names << QString("SaNumEdit%1").arg(k);
  for (int j = 1; j <= 10; ++j) names << QString("XEdit%1").arg(j) << QString("YEdit%1").arg(j);
  for (int k = 1; k <= 25; ++k) names << QString("Edit25masu%1").arg(k);
  for (int j = 1; j <= 5; ++j) names << QString("X25masu%1").arg(j) << QString("Y25masu%1").arg(j);
  return names;
}

}  // namespace

TEST_F(Window, IsAFixedDialogWithAnEightHundredThreeBySixHundredClientArea) {
  EXPECT_EQ(form->size(), QSize(803, 600));
  EXPECT_EQ(form->minimumSize(), QSize(803, 600));
  EXPECT_EQ(form->maximumSize(), QSize(803, 600));
  const Qt::WindowFlags flags = form->windowFlags();
  EXPECT_FALSE(flags & Qt::WindowMinimizeButtonHint);
  EXPECT_FALSE(flags & Qt::WindowMaximizeButtonHint);
  EXPECT_TRUE(flags & Qt::WindowCloseButtonHint);
  EXPECT_EQ(form->windowTitle(), "Sorabe");
  EXPECT_EQ(form->windowIcon().availableSizes().value(0), QSize(32, 32));
  EXPECT_EQ(form->palette().color(QPalette::Window), QColor(0xDB, 0xE0, 0xEE));
}

TEST_F(Window, EveryControlIsFoundByItsComponentName) {
  for (const QString& name : allCellNames()) {
    auto* cell = qobject_cast<TSaNumEdit*>(form->FindComponent(name));
    ASSERT_NE(cell, nullptr) << name.toStdString();
    EXPECT_EQ(form->FindCell(name), cell);
  }
  for (const char* name : {"ShadowLabel1", "Panel1", "Panel2", "Panel3", "RadioButton1",
                           "RadioButton2", "RadioButton3", "RadioButton4", "RadioButton6",
                           "Label1", "Label21", "Label22", "Label23", "Label24", "Label25",
                           "ListBox1", "CuteButton1", "CuteButton2"})
    EXPECT_NE(form->FindComponent(name), nullptr) << name;
  EXPECT_EQ(form->findChild<QTimer*>("Timer1"), form->Timer1);
  EXPECT_EQ(form->findChild<TMMTimer*>("MMTimer1"), form->MMTimer1);
  EXPECT_THROW(form->FindCell("SaNumEdit104"), Exception);
}

TEST_F(Window, StartsIdleWithAdditionOnTheHundredSquare) {
  EXPECT_TRUE(form->RadioButton1->isChecked());
  EXPECT_TRUE(form->RadioButton4->isChecked());
  EXPECT_FALSE(form->RadioButton2->isChecked() || form->RadioButton3->isChecked() ||
               form->RadioButton6->isChecked());
  EXPECT_FALSE(form->Panel1->isVisible());
  EXPECT_FALSE(form->Panel3->isVisible());
  EXPECT_EQ(form->Panel1->Caption(), "3");
  EXPECT_FALSE(form->Timer1->isActive());
  EXPECT_EQ(form->Timer1->interval(), 1000);
  EXPECT_EQ(form->Timer1->timerType(), Qt::PreciseTimer);
  EXPECT_FALSE(form->MMTimer1->Enabled());
  EXPECT_EQ(form->MMTimer1->Interval(), 100u);
  for (int k = 101; k <= 103; ++k) EXPECT_EQ(form->SaNumEdit(k)->Text(), "0");
  for (const QString& name : allCellNames()) {
    if (name == "SaNumEdit101" || name == "SaNumEdit102" || name == "SaNumEdit103") continue;
    EXPECT_TRUE(form->FindCell(name)->Text().isEmpty()) << name.toStdString();
  }
  for (QWidget* w : std::initializer_list<QWidget*>{form->CuteButton1, form->CuteButton2,
                                                    form->RadioButton1, form->RadioButton2,
                                                    form->RadioButton3, form->RadioButton4,
                                                    form->RadioButton6})
    EXPECT_TRUE(w->isEnabled()) << w->objectName().toStdString();
  EXPECT_EQ(form->CorrectCount, 0);
  EXPECT_EQ(form->Label21->text(), "＋");
  EXPECT_EQ(form->Label1->text(), "＋");
  EXPECT_EQ(form->Label25->text(), "100マス成績表");
}

TEST_F(Window, ControlsStandWhereTheLayoutPutsThem) {
  EXPECT_EQ(form->SaNumEdit(1)->geometry(), QRect(56, 112, 54, 49));
  EXPECT_EQ(form->SaNumEdit(2)->geometry().left(), 109);
  EXPECT_EQ(form->SaNumEdit(10)->geometry().left(), 525);
  EXPECT_EQ(form->SaNumEdit(100)->geometry(), QRect(525, 112 + 48 * 9, 54, 49));
  EXPECT_EQ(form->XEdit(1)->geometry(), QRect(56, 58, 54, 53));
  EXPECT_EQ(form->YEdit(4)->geometry(), QRect(0, 112 + 48 * 3, 54, 53));
  EXPECT_EQ(form->YEdit(5)->geometry(), QRect(1, 112 + 48 * 4, 54, 53));
  EXPECT_EQ(form->SaNumEdit(101)->geometry(), QRect(592, 40, 41, 40));
  EXPECT_EQ(form->SaNumEdit(103)->geometry(), QRect(743, 40, 41, 40));
  EXPECT_EQ(form->Edit25masu(1)->geometry(), QRect(104, 88, 89, 91));
  EXPECT_EQ(form->Edit25masu(25)->geometry(), QRect(104 + 88 * 4, 441, 89, 91));
  EXPECT_EQ(form->X25masu(5)->geometry(), QRect(104 + 88 * 4, 0, 89, 91));
  EXPECT_EQ(form->Y25masu(5)->geometry(), QRect(16, 440, 89, 91));
  EXPECT_EQ(form->Panel3->geometry(), QRect(0, 50, 579, 548));
  EXPECT_EQ(form->Panel1->geometry(), QRect(224, 208, 233, 185));
  EXPECT_EQ(form->ListBox1->geometry(), QRect(579, 136, 222, 145));
  EXPECT_EQ(form->CuteButton1->geometry(), QRect(648, 464, 137, 57));
  EXPECT_EQ(form->CuteButton2->geometry(), QRect(648, 536, 137, 57));
}

TEST_F(Window, CellsCarryTheSettingsOfTheirKind) {
  TSaNumEdit* answer = form->SaNumEdit(5);
  EXPECT_EQ(answer->Alignment(), taCenter);
  EXPECT_EQ(answer->IntegerLength(), 2);
  EXPECT_TRUE(answer->EnterFocusMove());
  EXPECT_TRUE(answer->ArrowFocusMove());
  EXPECT_EQ(answer->FontColor(), clBlue);
  EXPECT_EQ(answer->font().pixelSize(), 41);
  EXPECT_TRUE(answer->font().bold());
  EXPECT_FALSE(form->SaNumEdit(100)->EnterFocusMove());
  EXPECT_TRUE(form->XEdit(3)->ReadOnly());
  EXPECT_EQ(form->XEdit(3)->Color(), RGBColor(0xD2, 0xF7, 0xDD));
  EXPECT_EQ(form->XEdit(3)->FontColor(), clGray);
  EXPECT_EQ(form->XEdit(3)->cursor().shape(), Qt::ArrowCursor);
  EXPECT_FALSE(form->X25masu(3)->ReadOnly());
  EXPECT_EQ(form->Edit25masu(7)->Color(), clWhite);
  EXPECT_EQ(form->Edit25masu(7)->IntegerLength(), 9);
  EXPECT_TRUE(form->Edit25masu(24)->EnterFocusMove());
  EXPECT_FALSE(form->Edit25masu(25)->EnterFocusMove());
  EXPECT_FALSE(form->Edit25masu(7)->ArrowFocusMove());
  EXPECT_EQ(form->SaNumEdit(102)->Color(), clWindow);
  EXPECT_EQ(form->SaNumEdit(102)->IntegerLength(), 9);
}

TEST_F(Window, FirstActivationFocusesStartAndEmptiesTheHeaders) {
  EXPECT_EQ(focused(), form->CuteButton1);
  for (int j = 1; j <= 10; ++j) EXPECT_TRUE(form->XEdit(j)->Text().isEmpty());
}

TEST_F(Window, LaterActivationsLeaveHeadersAndFocusAlone) {
  form->XEdit(1)->SetText("7");
  form->SaNumEdit(3)->setFocus();
  QWidget other;
  other.show();
  other.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&other));
  form->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
  EXPECT_EQ(form->XEdit(1)->Text(), "7");
  EXPECT_EQ(focused(), form->SaNumEdit(3));
}

TEST_F(Window, TabRunsThroughTheAnswerCellsRowByRow) {
  form->SaNumEdit(1)->setFocus();
  QCoreApplication::processEvents();
  for (int k = 2; k <= 100; ++k) {
    QTest::keyClick(focused(), Qt::Key_Tab);
    ASSERT_EQ(focused(), form->SaNumEdit(k)) << "after SaNumEdit" << k - 1;
  }
  // After the grid: the clock fields, the list, then the operation button.
  QTest::keyClick(focused(), Qt::Key_Tab);
  EXPECT_EQ(focused(), form->SaNumEdit(101));
  QTest::keyClick(focused(), Qt::Key_Tab);
  QTest::keyClick(focused(), Qt::Key_Tab);
  QTest::keyClick(focused(), Qt::Key_Tab);
  EXPECT_EQ(focused(), form->ListBox1);
  // From the buttons, the tab order goes on to the checked operation button.
  form->CuteButton2->setFocus();
  QTest::keyClick(focused(), Qt::Key_Tab);
  EXPECT_EQ(focused(), form->RadioButton1);
  QTest::keyClick(focused(), Qt::Key_Tab);
  EXPECT_EQ(focused(), form->SaNumEdit(1)) << "an unchecked radio button is no tab stop";
}

TEST_F(Window, TheTwentyFiveSquarePanelCoversTheHundredSquareAndLeavesItUnchanged) {
  form->SaNumEdit(12)->SetText("42");
  form->XEdit(2)->SetText("5");
  const QImage before = form->grab().toImage();
  form->Panel3->show();
  QCoreApplication::processEvents();
  const QImage covered = form->grab().toImage();
  // Nothing of the 100-square shows through: the panel's area holds only
  // the panel and the 25-square's own controls.
  const QRect panel = form->Panel3->geometry();
  for (int k : {1, 12, 55, 100}) {
    const QRect cell = form->SaNumEdit(k)->geometry().intersected(panel);
    bool differs = false;
    for (int y = cell.top(); y <= cell.bottom() && !differs; y += 3)
      for (int x = cell.left(); x <= cell.right() && !differs; x += 3)
        differs = covered.pixel(x, y) != before.pixel(x, y);
    EXPECT_TRUE(differs) << "SaNumEdit" << k << " shows through";
  }
  EXPECT_EQ(QColor(covered.pixel(5, 590)), QColor(0xDB, 0xE0, 0xEE));
  form->Panel3->hide();
  QCoreApplication::processEvents();
  EXPECT_EQ(form->grab().toImage(), before);
  EXPECT_EQ(form->SaNumEdit(12)->Text(), "42");
}

TEST_F(Window, CountdownPanelLiesAboveBothGrids) {
  form->Panel3->show();
  form->Panel1->show();
  QCoreApplication::processEvents();
  const QPoint centre = form->Panel1->geometry().center();
  EXPECT_EQ(form->childAt(centre), form->Panel1);
}

TEST_F(Window, CloseButtonEndsTheWindow) {
  form->CuteButton2Click(form->CuteButton2);
  EXPECT_FALSE(form->isVisible());
}

class WindowWithoutHistory : public DrillFixture {
 protected:
  WindowWithoutHistory() { createHistories_ = false; }
};

TEST_F(WindowWithoutHistory, AMissingHistoryReachesTheErrorBoxAndTheWindowKeepsRunning) {
  ASSERT_EQ(recorded().errors.size(), 1);
  EXPECT_EQ(recorded().errors[0], "不正なファイル名です.");
  EXPECT_TRUE(form->ScoreListLines().isEmpty());
  EXPECT_EQ(focused(), form->CuteButton1);
  // The window goes on: mode changes and a start still work.
  QDir().mkdir("date");
  writeFile("date/seiseki.dat", "line one\r\n");
  form->RadioButton6->setChecked(true);
  EXPECT_EQ(recorded().errors.value(1), "ファイルが見つかりません.");
  EXPECT_TRUE(form->Panel3->isVisible());
  form->RadioButton4->setChecked(true);
  EXPECT_EQ(form->ScoreListLines(), QStringList{"line one"});
}

// Histories that are no regular files: a FIFO nobody writes to and a socket.
class WindowWithForeignHistories : public DrillFixture {
 protected:
  void prepareFolder() override {
    // Should anything wait on the FIFO, the alarm ends the test program.
    ::alarm(60);
    QFile::remove("date/seiseki.dat");
    QFile::remove("date/mas25.dat");
    ASSERT_EQ(::mkfifo("date/seiseki.dat", 0600), 0);
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::strcpy(address.sun_path, "date/mas25.dat");
    ASSERT_EQ(::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    ::close(fd);
  }
  void TearDown() override {
    ::alarm(0);
    DrillFixture::TearDown();
  }
};

TEST_F(WindowWithForeignHistories, AreRefusedAtOnceAndTheWindowKeepsRunning) {
  const QString denied = "ファイルへのアクセスが拒否されました.";
  EXPECT_EQ(recorded().errors, QStringList{denied});
  EXPECT_EQ(focused(), form->CuteButton1);
  form->RadioButton6->setChecked(true);
  EXPECT_EQ(recorded().errors.value(1), denied);

  // A whole drill on the 25-square: its record cannot be written.
  startDrill();
  for (int k = 1; k <= 25; ++k) typeIntoFocus("1", k < 25);
  QTest::keyClick(form->Edit25masu(25), Qt::Key_Return);
  EXPECT_EQ(recorded().errors.value(2), "ファイル date/mas25.dat は開けません.");
  EXPECT_TRUE(form->MMTimer1->Enabled()) << "the closing stopped before the record";

  struct stat st;
  ASSERT_EQ(::stat("date/seiseki.dat", &st), 0);
  EXPECT_TRUE(S_ISFIFO(st.st_mode));
  ASSERT_EQ(::stat("date/mas25.dat", &st), 0);
  EXPECT_TRUE(S_ISSOCK(st.st_mode));
  // No temporary file left behind; the graded cells went to the answers file.
  EXPECT_EQ(QDir("date").entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot),
            QStringList({".sorabe.lock", "answers.tsv", "mas25.dat", "seiseki.dat"}));
}

TEST_F(Window, FirstActivationListsTheHundredSquareHistory) {
  writeFile("date/seiseki.dat", platform::ToShiftJis("2004/1/01  100点  たしざん  1:2:3\r\n"));
  form->LoadScoreList(TForm1::GridKind::Square100);
  EXPECT_EQ(form->ScoreListLines(), QStringList{"2004/1/01  100点  たしざん  1:2:3"});
}
