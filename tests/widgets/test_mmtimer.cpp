#include "common/TestSupport.h"
#include "platform/Application.h"
#include "platform/Exception.h"
#include "widgets/MMTimer.h"

#include <QtCore/QEventLoop>
#include <QtCore/QTimer>
#include <QtTest/QTest>

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <limits>
#include <memory>
#include <thread>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

// For tests that only need ticks to come: its reply window (180 ms) is wider
// than any stall of the owner's thread on a loaded machine, so the timer
// does not switch itself off under them.
constexpr quint32 kSteady = 200;

double msBetween(Clock::time_point from, Clock::time_point to) {
  return std::chrono::duration<double, std::milli>(to - from).count();
}

// Counts the ticks that reach Timer(), whether or not a handler is assigned.
class CountingTimer : public TMMTimer {
 public:
  using TMMTimer::TMMTimer;
  int fired = 0;

 protected:
  void Timer() override {
    ++fired;
    TMMTimer::Timer();
  }
};

struct TickLog {
  std::vector<Clock::time_point> at;
  std::vector<std::thread::id> thread;
  std::vector<QObject*> sender;
  int count() const { return int(at.size()); }
};

TNotifyEvent LogTo(TickLog& log) {
  return [&log](QObject* sender) {
    log.at.push_back(Clock::now());
    log.thread.push_back(std::this_thread::get_id());
    log.sender.push_back(sender);
  };
}

// Runs the event loop until `done` holds; the limit is only there so that a
// broken timer fails the test instead of hanging it.
template <class Pred>
bool WaitFor(Pred done, int limitMs = 10000) {
  return QTest::qWaitFor(done, limitMs);
}

// The time of the first tick logged after index `after`.
Clock::time_point TickAfter(const TickLog& log, int after) {
  EXPECT_TRUE(WaitFor([&] { return log.count() > after; }));
  return log.count() > after ? log.at[after] : Clock::now();
}

// Did the change at `change` start a fresh period? Then the next tick lies one
// new interval after the change; otherwise it stays on the old grid of ticks.
bool Restarted(Clock::time_point last, Clock::time_point change, Clock::time_point next,
               double oldInterval, double newInterval) {
  const double offGrid = std::fmod(msBetween(last, next), oldInterval);
  const double fromOldGrid = std::min(offGrid, oldInterval - offGrid);
  const double fromFreshStart = std::abs(msBetween(change, next) - newInterval);
  return fromFreshStart < fromOldGrid;
}

TEST(MMTimer, StartsOffAtOneSecondAndWaitsNinetyPercentRoundedHalfToEven) {
  TMMTimer timer;
  EXPECT_FALSE(timer.Enabled());
  EXPECT_EQ(timer.Interval(), 1000u);
  EXPECT_EQ(timer.ReplyTimeout(), 900u);
  EXPECT_FALSE(timer.OnTimer());

  const struct {
    quint32 interval, reply;
  } table[] = {
      {100, 90},  {15, 14}, {45, 40}, {25, 22}, {35, 32}, {5, 4}, {1, 1}, {2, 2}, {0, 0},
      {1000, 900}, {std::numeric_limits<quint32>::max(), 3865470566u},
  };
  for (const auto& row : table) {
    timer.SetInterval(row.interval);
    EXPECT_EQ(timer.ReplyTimeout(), row.reply) << "interval " << row.interval;
  }

  // A layout sets the properties by name; they go through the setters.
  timer.setProperty("Interval", 45u);
  EXPECT_EQ(timer.Interval(), 45u);
  EXPECT_EQ(timer.ReplyTimeout(), 40u);
  timer.setProperty("Enabled", true);
  EXPECT_TRUE(timer.property("Enabled").toBool());
}

TEST(MMTimer, TicksOnTheOwnerThreadWithItselfAsSender) {
  TickLog log;
  TMMTimer timer;
  timer.SetInterval(kSteady);
  timer.SetOnTimer(LogTo(log));
  timer.SetEnabled(true);
  ASSERT_TRUE(WaitFor([&] { return log.count() >= 4; }));
  timer.SetEnabled(false);
  for (int i = 0; i < log.count(); ++i) {
    EXPECT_EQ(log.thread[i], std::this_thread::get_id());
    EXPECT_EQ(log.sender[i], &timer);
  }
  const int stoppedAt = log.count();
  QTest::qWait(2 * kSteady);
  EXPECT_EQ(log.count(), stoppedAt);
}

TEST(MMTimer, RunsOnlyWhileEnabledWithAnIntervalAndAHandler) {
  TickLog log;
  CountingTimer timer;
  timer.SetInterval(20);
  timer.SetEnabled(true);
  QTest::qWait(200);
  EXPECT_EQ(timer.fired, 0) << "no handler, no ticks";
  EXPECT_TRUE(timer.Enabled());

  timer.SetInterval(0);
  timer.SetOnTimer(LogTo(log));
  QTest::qWait(200);
  EXPECT_EQ(timer.fired, 0) << "interval 0 never ticks";

  timer.SetInterval(kSteady);
  EXPECT_TRUE(WaitFor([&] { return log.count() >= 3; })) << "all three set: it runs";

  timer.SetOnTimer(nullptr);
  const int removedAt = timer.fired;
  QTest::qWait(2 * kSteady);
  EXPECT_EQ(timer.fired, removedAt) << "handler removed: it stops";
}

TEST(MMTimer, OnlyARealChangeRestartsThePeriod) {
  TickLog log;
  const TNotifyEvent handler = LogTo(log);
  TMMTimer timer;
  timer.SetInterval(600);
  timer.SetOnTimer(handler);
  timer.SetEnabled(true);

  // Each change is made about half a period after a tick, where a fresh
  // start and the old grid are furthest apart.
  auto changeMidPeriod = [&](auto change, double newInterval) {
    const int n = log.count();
    const Clock::time_point last = TickAfter(log, n);
    QTest::qWait(300);
    const Clock::time_point at = Clock::now();
    const int before = log.count();
    change();
    return Restarted(last, at, TickAfter(log, before), 600, newInterval);
  };

  EXPECT_FALSE(changeMidPeriod([&] { timer.SetInterval(600); }, 600)) << "same interval";
  EXPECT_FALSE(changeMidPeriod([&] { timer.SetEnabled(true); }, 600)) << "already enabled";
  EXPECT_TRUE(changeMidPeriod([&] { timer.SetOnTimer(handler); }, 600)) << "handler set again";
  EXPECT_TRUE(changeMidPeriod([&] { timer.SetInterval(500); }, 500)) << "new interval";
}

TEST(MMTimer, AHandlerOverTheReplyTimeoutSwitchesItOffUntilEnabledAgain) {
  TickLog log;
  bool slow = true;
  TMMTimer timer;
  timer.SetInterval(100);
  timer.SetOnTimer([&](QObject* sender) {
    LogTo(log)(sender);
    if (slow) std::this_thread::sleep_for(150ms);
  });
  timer.SetEnabled(true);
  ASSERT_TRUE(WaitFor([&] { return !timer.Enabled(); }));
  QTest::qWait(500);
  EXPECT_EQ(log.count(), 1);
  EXPECT_FALSE(timer.property("Enabled").toBool());

  // Off means off: other settings do not bring it back.
  timer.SetInterval(kSteady);
  QTest::qWait(2 * kSteady);
  EXPECT_EQ(log.count(), 1);
  EXPECT_FALSE(timer.Enabled());

  slow = false;
  timer.SetEnabled(true);
  EXPECT_TRUE(WaitFor([&] { return log.count() >= 4; }));
  EXPECT_TRUE(timer.Enabled());
}

TEST(MMTimer, ATickNotTakenInTimeIsAbandonedAndNeverRunsLater) {
  CountingTimer timer;
  timer.SetInterval(50);
  timer.SetOnTimer([](QObject*) {});
  timer.SetEnabled(true);
  // The owner's thread is busy far beyond the first tick's reply timeout.
  std::this_thread::sleep_for(600ms);
  QTest::qWait(300);
  EXPECT_EQ(timer.fired, 0);
  EXPECT_FALSE(timer.Enabled());

  timer.SetInterval(kSteady);
  timer.SetEnabled(true);
  EXPECT_TRUE(WaitFor([&] { return timer.fired >= 3; }));
}

TEST(MMTimer, AThrowingHandlerReachesTheErrorBoxAndTheTimerKeepsRunning) {
  int ticks = 0;
  TMMTimer timer;
  timer.SetInterval(kSteady);
  timer.SetOnTimer([&](QObject*) {
    ++ticks;
    throw Exception(QStringLiteral("とけいがこわれた"));
  });
  timer.SetEnabled(true);
  ASSERT_TRUE(WaitFor([&] { return ticks >= 3; }));
  timer.SetEnabled(false);
  EXPECT_EQ(testing_support::recorded().errors.size(), ticks);
  EXPECT_EQ(testing_support::recorded().errors.value(0), QStringLiteral("とけいがこわれた."));
}

TEST(MMTimer, AHandlerMayStopRestartOrReplaceItsOwnTimer) {
  TMMTimer timer;
  timer.SetInterval(kSteady);

  int ticks = 0;
  timer.SetOnTimer([&](QObject*) {
    if (++ticks == 3) timer.SetEnabled(false);
  });
  timer.SetEnabled(true);
  ASSERT_TRUE(WaitFor([&] { return !timer.Enabled(); }));
  QTest::qWait(2 * kSteady);
  EXPECT_EQ(ticks, 3);

  // A handler that replaces itself keeps running on its own captures.
  QString trail;
  const QString mark = QStringLiteral("replaced ");
  timer.SetOnTimer([&trail, &timer, mark](QObject*) {
    timer.SetOnTimer([&trail](QObject*) { trail += QLatin1Char('+'); });
    trail += mark;
  });
  timer.SetEnabled(true);
  ASSERT_TRUE(WaitFor([&] { return trail.size() >= mark.size() + 2; }));
  EXPECT_TRUE(trail.startsWith(mark + QStringLiteral("++"))) << trail.toStdString();

  // A restart at the start of a slow tick gives the tick the new, longer
  // reply timeout; the old period's timeout must not switch the new one off.
  ticks = 0;
  timer.SetInterval(kSteady);
  timer.SetOnTimer([&](QObject*) {
    if (++ticks == 1) {
      timer.SetInterval(3 * kSteady);
      std::this_thread::sleep_for(std::chrono::milliseconds(kSteady + 50));
    }
  });
  ASSERT_TRUE(WaitFor([&] { return ticks >= 3 || !timer.Enabled(); }));
  EXPECT_TRUE(timer.Enabled());
}

// A modal box opened by some other handler (an error box, say) runs a nested
// event loop; the stopwatch must keep ticking under it.
TEST(MMTimer, TicksReachTheOwnerInsideANestedEventLoop) {
  int ticks = 0, ticksInside = -1;
  TMMTimer timer;
  timer.SetInterval(kSteady);
  timer.SetOnTimer([&](QObject*) { ++ticks; });
  timer.SetEnabled(true);
  QTimer::singleShot(0, [&] {
    const int before = ticks;
    QEventLoop nested;
    QTimer::singleShot(6 * kSteady, &nested, &QEventLoop::quit);
    nested.exec();
    ticksInside = ticks - before;
  });
  ASSERT_TRUE(WaitFor([&] { return ticksInside >= 0; }));
  EXPECT_GE(ticksInside, 3);
  EXPECT_TRUE(timer.Enabled());
}

TEST(MMTimer, DestroyingItStopsTheTicksEvenWhileOneWaitsForTheOwner) {
  TickLog log;
  auto timer = std::make_unique<TMMTimer>();
  timer->SetInterval(kSteady);
  timer->SetOnTimer(LogTo(log));
  timer->SetEnabled(true);
  ASSERT_TRUE(WaitFor([&] { return log.count() >= 3; }));
  timer.reset();
  const int destroyedAt = log.count();
  QTest::qWait(2 * kSteady);
  EXPECT_EQ(log.count(), destroyedAt);

  // Here the owner's thread is busy when the first tick comes, so the timer
  // thread is still waiting (up to 1.8 s) for it when the destructor runs:
  // it must be woken rather than waited out.
  auto waiting = std::make_unique<TMMTimer>();
  int ticks = 0;
  waiting->SetInterval(2000);
  waiting->SetOnTimer([&](QObject*) { ++ticks; });
  waiting->SetEnabled(true);
  std::this_thread::sleep_for(2300ms);
  const Clock::time_point before = Clock::now();
  waiting.reset();
  EXPECT_LT(msBetween(before, Clock::now()), 750.0);
  QTest::qWait(100);
  EXPECT_EQ(ticks, 0);
}

TEST(MMTimer, AnOwnerDestroysItWithItsChildren) {
  int ticks = 0;
  auto owner = std::make_unique<QObject>();
  auto* timer = new TMMTimer(owner.get());
  timer->SetInterval(kSteady);
  timer->SetOnTimer([&](QObject*) { ++ticks; });
  timer->SetEnabled(true);
  ASSERT_TRUE(WaitFor([&] { return ticks >= 2; }));
  owner.reset();
  const int destroyedAt = ticks;
  QTest::qWait(2 * kSteady);
  EXPECT_EQ(ticks, destroyedAt);
}

}  // namespace
