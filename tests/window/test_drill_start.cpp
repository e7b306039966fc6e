// "はじめる", the countdown, the header draws and the stopwatch.

#include "DrillFixture.h"

#include "widgets/Panel.h"
#include "widgets/CuteBtn.h"
#include "widgets/MMTimer.h"

#include <QtCore/QElapsedTimer>
#include <QtCore/QTimer>
#include <QtGui/QWindow>
#include <QtWidgets/QRadioButton>

#include <set>

using testing_support::recorded;

namespace {

using Countdown = DrillFixture;
using Stopwatch = DrillFixture;
using HeaderDraw = DrillFixture;

void expectModeLocked(TForm1& form, bool locked) {
  EXPECT_EQ(form.CuteButton1->isEnabled(), !locked);
  for (QRadioButton* radio : {form.RadioButton1, form.RadioButton2, form.RadioButton3,
                              form.RadioButton4, form.RadioButton6})
    EXPECT_EQ(radio->isEnabled(), !locked) << radio->objectName().toStdString();
  EXPECT_TRUE(form.CuteButton2->isEnabled());
}

}  // namespace

TEST_F(Countdown, CountsThreeTwoOneWithASoundEachAndNeverShowsZero) {
  form->SaNumEdit(101)->SetText("4");
  form->CuteButton1Click(form->CuteButton1);
  EXPECT_EQ(recorded().sounds, QStringList{"cd.wav"});
  EXPECT_TRUE(form->Panel1->isVisible());
  EXPECT_EQ(form->Panel1->Caption(), "3");
  EXPECT_TRUE(form->Timer1->isActive());
  EXPECT_EQ(form->Timer1->interval(), 1000);
  EXPECT_EQ(form->SaNumEdit(101)->Text(), "0");
  expectModeLocked(*form, true);

  form->Timer1Timer(form->Timer1);
  EXPECT_EQ(form->Panel1->Caption(), "2");
  EXPECT_EQ(recorded().sounds.size(), 2);
  form->Timer1Timer(form->Timer1);
  EXPECT_EQ(form->Panel1->Caption(), "1");
  EXPECT_EQ(recorded().sounds.size(), 3);
  expectModeLocked(*form, true);

  form->Timer1Timer(form->Timer1);
  EXPECT_FALSE(form->Panel1->isVisible());
  EXPECT_EQ(form->Panel1->Caption(), "3");
  EXPECT_EQ(recorded().sounds.size(), 3) << "no sound when the stopwatch starts";
  EXPECT_FALSE(form->Timer1->isActive());
  EXPECT_TRUE(form->MMTimer1->Enabled());
  QCoreApplication::processEvents();
  EXPECT_EQ(focused(), form->SaNumEdit(1));
  for (int j = 1; j <= 10; ++j) EXPECT_FALSE(form->XEdit(j)->Text().isEmpty());
  expectModeLocked(*form, true);
}

TEST_F(Countdown, RunsOnTheRealTimerOneSecondAStep) {
  QStringList captions;
  form->CuteButton1Click(form->CuteButton1);
  captions << form->Panel1->Caption();
  QElapsedTimer clock;
  clock.start();
  while (form->Panel1->isVisible() && clock.elapsed() < 10000) {
    const QString caption = form->Panel1->Caption();
    QTest::qWait(20);
    if (form->Panel1->isVisible() && form->Panel1->Caption() != caption)
      captions << form->Panel1->Caption();
  }
  EXPECT_EQ(captions, (QStringList{"3", "2", "1"}));
  EXPECT_GE(clock.elapsed(), 2900);
  EXPECT_FALSE(form->Panel1->isVisible());
  EXPECT_TRUE(form->MMTimer1->Enabled());
}

TEST_F(Countdown, TheEndButtonStillWorksDuringTheCountdown) {
  form->CuteButton1Click(form->CuteButton1);
  QTest::mouseClick(form->CuteButton2, Qt::LeftButton);
  EXPECT_FALSE(form->isVisible());
}

TEST_F(Countdown, StartingTheHundredSquareLeavesTheTwentyFiveSquareAlone) {
  form->Edit25masu(3)->SetText("12");
  form->Edit25masu(3)->SetFontColor(clRed);
  form->X25masu(2)->SetText("7");
  form->SaNumEdit(8)->SetText("5");
  form->SaNumEdit(8)->SetFontColor(clRed);
  startDrill();
  EXPECT_EQ(form->Edit25masu(3)->Text(), "12");
  EXPECT_EQ(form->Edit25masu(3)->FontColor(), clRed);
  EXPECT_EQ(form->X25masu(2)->Text(), "7");
  EXPECT_TRUE(form->SaNumEdit(8)->Text().isEmpty());
  EXPECT_EQ(form->SaNumEdit(8)->FontColor(), clBlue) << "red marks are undone at the start";
}

TEST_F(Countdown, StartingTheTwentyFiveSquareLeavesTheHundredSquareAlone) {
  form->RadioButton6->setChecked(true);
  form->SaNumEdit(8)->SetText("5");
  form->SaNumEdit(8)->SetFontColor(clRed);
  form->XEdit(4)->SetText("3");
  form->Edit25masu(9)->SetText("77");
  form->Edit25masu(9)->SetFontColor(clRed);
  startDrill();
  EXPECT_EQ(form->SaNumEdit(8)->Text(), "5");
  EXPECT_EQ(form->SaNumEdit(8)->FontColor(), clRed);
  EXPECT_EQ(form->XEdit(4)->Text(), "3");
  EXPECT_TRUE(form->Edit25masu(9)->Text().isEmpty());
  EXPECT_EQ(form->Edit25masu(9)->FontColor(), clBlue);
  EXPECT_EQ(focused(), form->Edit25masu(1));
  for (int j = 1; j <= 5; ++j) EXPECT_FALSE(form->X25masu(j)->Text().isEmpty());
}

namespace {

// What a child may press, or hold, while the countdown runs.
struct Keystroke {
  const char* name;
  Qt::Key key;
  Qt::KeyboardModifiers modifiers;
  const char* text;
  int repeats;  // auto-repeated presses while the key is held
};

constexpr Keystroke kCountdownKeys[] = {
    {"Enter", Qt::Key_Return, Qt::NoModifier, "\r", 0},
    {"Enter held", Qt::Key_Return, Qt::NoModifier, "\r", 8},
    {"Space", Qt::Key_Space, Qt::NoModifier, " ", 0},
    {"keypad Enter", Qt::Key_Enter, Qt::KeypadModifier, "\r", 0},
    {"Escape", Qt::Key_Escape, Qt::NoModifier, "\x1b", 0},
};

// Through the window, as the keyboard delivers it: to the focused control.
// A held key repeats as release and press pairs marked as repeats.
void strike(QWindow* window, const Keystroke& k) {
  const QString text = QString::fromLatin1(k.text);
  QTest::simulateEvent(window, true, k.key, k.modifiers, text, false);
  for (int n = 0; n < k.repeats; ++n) {
    QTest::simulateEvent(window, false, k.key, k.modifiers, text, true);
    QTest::simulateEvent(window, true, k.key, k.modifiers, text, true);
  }
  QTest::simulateEvent(window, false, k.key, k.modifiers, text, false);
}

enum class StartBy { Enter, Space, Click };

class CountdownKeys : public DrillFixture,
                      public ::testing::WithParamInterface<std::tuple<TForm1::GridKind, StartBy>> {};

}  // namespace

// The pressed "はじめる" gives the keys to the window itself: no key of the
// countdown clicks "おわる" or anything else.
TEST_P(CountdownKeys, NoKeyClicksAnythingAndTheDrillStartsAtTheThirdTick) {
  const auto [kind, startBy] = GetParam();
  if (kind == TForm1::GridKind::Square25) form->RadioButton6->setChecked(true);
  int clicks = 0;
  for (TCuteButton* button : {form->CuteButton1, form->CuteButton2}) {
    button->OnClick = [&clicks, click = button->OnClick](QObject* sender) {
      ++clicks;
      click(sender);
    };
  }
  ASSERT_EQ(focused(), form->CuteButton1);
  QWindow* window = form->windowHandle();
  if (startBy == StartBy::Enter) strike(window, kCountdownKeys[0]);
  if (startBy == StartBy::Space) strike(window, kCountdownKeys[2]);
  if (startBy == StartBy::Click) QTest::mouseClick(form->CuteButton1, Qt::LeftButton);
  ASSERT_EQ(clicks, 1);
  ASSERT_TRUE(form->Panel1->isVisible());

  for (int tick = 1; tick <= 3; ++tick) {
    EXPECT_EQ(focused(), form.get()) << "before tick " << tick;
    for (const Keystroke& k : kCountdownKeys) {
      strike(window, k);
      ASSERT_TRUE(form->isVisible()) << k.name << " before tick " << tick;
    }
    EXPECT_EQ(clicks, 1) << "before tick " << tick;
    form->Timer1Timer(form->Timer1);
  }
  QCoreApplication::processEvents();
  EXPECT_FALSE(form->Panel1->isVisible());
  EXPECT_TRUE(form->MMTimer1->Enabled());
  const bool square25 = kind == TForm1::GridKind::Square25;
  EXPECT_EQ(focused(), square25 ? form->Edit25masu(1) : form->SaNumEdit(1));
}

INSTANTIATE_TEST_SUITE_P(, CountdownKeys,
                         ::testing::Combine(::testing::Values(TForm1::GridKind::Square100,
                                                              TForm1::GridKind::Square25),
                                            ::testing::Values(StartBy::Enter, StartBy::Space, StartBy::Click)));

TEST_F(HeaderDraw, PermutationsAreUniformAndNeverStartWithZero) {
  int counts[10][10] = {};
  for (int n = 0; n < 10000; ++n) {
    const QString p = QString::number(form->DrawDigitPermutation());
    ASSERT_EQ(p.size(), 10);
    std::set<QChar> digits(p.begin(), p.end());
    ASSERT_EQ(digits.size(), 10u) << p.toStdString();
    for (int position = 0; position < 10; ++position) ++counts[position][p[position].digitValue()];
  }
  EXPECT_EQ(counts[0][0], 0);
  for (int digit = 1; digit <= 9; ++digit) EXPECT_GT(counts[0][digit], 900) << digit;  // about 1111
  for (int position = 1; position < 10; ++position)
    for (int digit = 0; digit <= 9; ++digit)
      EXPECT_GT(counts[position][digit], 700) << position << " " << digit;  // about 1000
}

TEST_F(HeaderDraw, SubtractionPutsTenToNineteenOnTopAndDigitsOnTheLeft) {
  form->RadioButton3->setChecked(true);
  for (int drill = 0; drill < 200; ++drill) {
    startDrill();
    std::set<int> top, left;
    for (int j = 1; j <= 10; ++j) top.insert(form->XEdit(j)->Text().toInt());
    for (int i = 1; i <= 10; ++i) left.insert(form->YEdit(i)->Text().toInt());
    ASSERT_EQ(top.size(), 10u);
    EXPECT_EQ(*top.begin(), 10);
    EXPECT_EQ(*top.rbegin(), 19);
    EXPECT_NE(form->XEdit(1)->Text(), "10");
    EXPECT_EQ(left.size(), 10u);
    EXPECT_NE(form->YEdit(1)->Text(), "0");
    form->MMTimer1->SetEnabled(false);
    form->CuteButton1->setEnabled(true);
  }
}

TEST_F(HeaderDraw, TwentyFiveSquareHeadersAreFiveDifferentDigits) {
  form->RadioButton6->setChecked(true);
  for (int drill = 0; drill < 200; ++drill) {
    startDrill();
    std::set<QString> top, left;
    for (int j = 1; j <= 5; ++j) top.insert(form->X25masu(j)->Text());
    for (int i = 1; i <= 5; ++i) left.insert(form->Y25masu(i)->Text());
    ASSERT_EQ(top.size(), 5u);
    ASSERT_EQ(left.size(), 5u);
    for (const QString& t : top) EXPECT_EQ(t.size(), 1);
    EXPECT_NE(form->X25masu(1)->Text(), "0");
    EXPECT_NE(form->Y25masu(1)->Text(), "0");
    form->MMTimer1->SetEnabled(false);
  }
}

TEST_F(Stopwatch, TicksCarryTenthsIntoSecondsAndSecondsIntoMinutes) {
  auto ticks = [&](int n) {
    for (int t = 0; t < n; ++t) form->MMTimer1Timer(form->MMTimer1);
    return form->SaNumEdit(101)->Text() + ":" + form->SaNumEdit(102)->Text() + ":" +
           form->SaNumEdit(103)->Text();
  };
  EXPECT_EQ(ticks(9), "0:0:9");
  EXPECT_EQ(ticks(1), "0:1:0");
  EXPECT_EQ(ticks(590), "1:0:0");
  EXPECT_EQ(ticks(36000 - 600), "60:0:0") << "minutes never roll over";
}

TEST_F(Stopwatch, AFieldThatIsNoWholeNumberCountsAsZero) {
  form->SaNumEdit(103)->SetText("");
  form->SaNumEdit(102)->SetText("59");
  form->MMTimer1Timer(form->MMTimer1);
  EXPECT_EQ(form->SaNumEdit(103)->Text(), "1");
  form->SaNumEdit(103)->SetText("9");
  form->SaNumEdit(101)->SetText("-");
  form->MMTimer1Timer(form->MMTimer1);
  EXPECT_EQ(form->SaNumEdit(101)->Text(), "1");
  EXPECT_EQ(form->SaNumEdit(102)->Text(), "0");
  EXPECT_TRUE(recorded().errors.isEmpty());
}

TEST_F(Stopwatch, RunsOnTheIntervalTimerAfterTheCountdown) {
  startDrill();
  QTest::qWait(1200);
  const int tenths = form->SaNumEdit(102)->Text().toInt() * 10 + form->SaNumEdit(103)->Text().toInt();
  EXPECT_GE(tenths, 1);
  EXPECT_LE(tenths, 13);
}
