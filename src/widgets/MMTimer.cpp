#include "widgets/MMTimer.h"

#include "platform/Application.h"

#include <QtCore/QSocketNotifier>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <system_error>
#include <thread>

#include <pthread.h>
#include <sys/eventfd.h>
#include <unistd.h>

// How a tick travels: the timer thread sleeps to an absolute deadline on the
// monotonic clock, marks the tick Pending and rings a doorbell (an eventfd)
// that a socket notifier on the owner's thread listens to. The owner's thread
// claims the tick (Pending -> Taken), runs the handler and acknowledges it
// (Done). The timer thread waits for that at most the reply timeout; a tick
// still Pending then is abandoned (Pending -> Abandoned), so the owner's thread
// can never claim it later. A tick that is abandoned, or taken but not done in
// time, ends the run: the timer thread leaves its loop and raises the run's
// `failed` flag, which the owner's side reads as Enabled = False.
//
// Each run (one thread, one series of ticks) has its own state, so a thread of
// an old run can only ever fail that run, never a newer one; only the owner's
// thread starts, stops and joins runs. The doorbell carries no data and costs
// no allocation; a stale ring finds no Pending tick and does nothing.

namespace {

using Clock = std::chrono::steady_clock;
using Milliseconds = std::chrono::milliseconds;

enum TickState : int { kIdle, kPending, kTaken, kDone, kAbandoned };

// Interval x 0.9 to the nearest whole number, a tie going to the even one, in
// integers so that no tie is lost to binary fractions (45 gives 40, 15 gives 14).
quint32 ReplyTimeoutFor(quint32 interval) {
  const quint64 tenths = quint64(interval) * 9;
  quint64 whole = tenths / 10;
  const quint64 rest = tenths % 10;
  if (rest > 5 || (rest == 5 && (whole & 1) != 0)) ++whole;
  return quint32(whole);
}

// The deadline after `deadline`. When the thread fell behind by whole periods
// it drops them: only the most recent missed tick still fires (at once), the
// older ones are skipped instead of arriving in a burst.
Clock::time_point NextDeadline(Clock::time_point deadline, Clock::time_point now,
                               Milliseconds interval) {
  Clock::time_point next = deadline + interval;
  if (now > next) next += ((now - next) / interval) * interval;
  return next;
}

}  // namespace

struct TMMTimer::Run {
  Run(Milliseconds interval, Milliseconds replyTimeout, int doorbell, Clock::time_point firstTick)
      : interval(interval), replyTimeout(replyTimeout), doorbell(doorbell), deadline(firstTick) {}

  ~Run() { Stop(); }

  void Loop();
  // Owner's thread: wakes the timer thread wherever it waits, then joins it.
  void Stop();
  // Owner's thread: the handler of the claimed tick has returned.
  void Acknowledge();

  const Milliseconds interval;
  const Milliseconds replyTimeout;
  const int doorbell;
  Clock::time_point deadline;  // timer thread only

  std::mutex mutex;
  std::condition_variable wake;
  bool stopping = false;  // guarded by mutex

  std::atomic<int> tick{kIdle};
  std::atomic<bool> failed{false};
  std::thread thread;
};

void TMMTimer::Run::Loop() {
  pthread_setname_np(pthread_self(), "MMTimer");
  std::unique_lock lock(mutex);
  for (;;) {
    if (wake.wait_until(lock, deadline, [this] { return stopping; })) return;

    tick.store(kPending, std::memory_order_release);
    lock.unlock();
    const quint64 one = 1;
    ssize_t rung;
    do {
      rung = ::write(doorbell, &one, sizeof one);
    } while (rung < 0 && errno == EINTR);
    lock.lock();

    const Clock::time_point replyBy = Clock::now() + replyTimeout;
    const bool answered = wake.wait_until(lock, replyBy, [this] {
      return stopping || tick.load(std::memory_order_acquire) == kDone;
    });
    if (stopping) return;
    if (!answered) {
      int state = kPending;
      if (tick.compare_exchange_strong(state, kAbandoned, std::memory_order_acq_rel) || state == kTaken) {
        failed.store(true, std::memory_order_release);
        return;
      }
      // It was acknowledged just as the wait ran out: a good tick.
    }
    deadline = NextDeadline(deadline, Clock::now(), interval);
  }
}

void TMMTimer::Run::Stop() {
  {
    std::lock_guard lock(mutex);
    stopping = true;
  }
  wake.notify_one();
  if (thread.joinable()) thread.join();
}

void TMMTimer::Run::Acknowledge() {
  {
    std::lock_guard lock(mutex);
    tick.store(kDone, std::memory_order_release);
  }
  wake.notify_one();
}

struct TMMTimer::Private {
  bool enabled = false;
  quint32 interval = 1000;
  quint32 replyTimeout = ReplyTimeoutFor(1000);
  // Shared so that a handler may replace OnTimer while it runs.
  std::shared_ptr<const TNotifyEvent> handler = std::make_shared<const TNotifyEvent>();
  int doorbell = -1;
  std::unique_ptr<QSocketNotifier> notifier;
  std::shared_ptr<Run> run;  // the running series of ticks, if any
};

TMMTimer::TMMTimer(QObject* owner) : QObject(owner), d(std::make_unique<Private>()) {
  // Without a doorbell the timer never runs, like a system that refuses a
  // periodic event: Enabled still reads as set, and no tick comes.
  d->doorbell = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
  if (d->doorbell >= 0) {
    d->notifier = std::make_unique<QSocketNotifier>(d->doorbell, QSocketNotifier::Read);
    connect(d->notifier.get(), &QSocketNotifier::activated, this, [this] { TakeTick(); });
  }
}

TMMTimer::~TMMTimer() {
  // The thread goes first: it may be waiting for a tick this thread will now
  // never take.
  StopRun();
  d->notifier.reset();
  if (d->doorbell >= 0) ::close(d->doorbell);
}

bool TMMTimer::Enabled() const {
  return d->enabled && !(d->run && d->run->failed.load(std::memory_order_acquire));
}

void TMMTimer::SetEnabled(bool value) {
  ForgetFailedRun();
  if (value == d->enabled) return;
  d->enabled = value;
  UpdateTimer();
}

quint32 TMMTimer::Interval() const { return d->interval; }

void TMMTimer::SetInterval(quint32 value) {
  ForgetFailedRun();
  if (value == d->interval) return;
  d->interval = value;
  d->replyTimeout = ReplyTimeoutFor(value);
  UpdateTimer();
}

const TNotifyEvent& TMMTimer::OnTimer() const { return *d->handler; }

void TMMTimer::SetOnTimer(TNotifyEvent handler) {
  ForgetFailedRun();
  d->handler = std::make_shared<const TNotifyEvent>(std::move(handler));
  UpdateTimer();
}

quint32 TMMTimer::ReplyTimeout() const { return d->replyTimeout; }

void TMMTimer::Timer() {
  const std::shared_ptr<const TNotifyEvent> handler = d->handler;
  if (*handler) (*handler)(this);
}

// A run that failed a tick has ended its own loop; here the owner's side
// catches up with it: the timer is off until Enabled is set True again.
void TMMTimer::ForgetFailedRun() {
  if (d->run && d->run->failed.load(std::memory_order_acquire)) {
    StopRun();
    d->enabled = false;
  }
}

// Joined here even when a handler further up this thread's stack still holds
// the run: no thread of an old run outlives the change that replaced it.
void TMMTimer::StopRun() {
  if (!d->run) return;
  d->run->Stop();
  d->run.reset();
}

// Whatever changed, the period starts afresh: the next tick is one full
// interval from now.
void TMMTimer::UpdateTimer() {
  StopRun();
  if (!d->enabled || d->interval == 0 || !*d->handler || d->doorbell < 0) return;
  const Milliseconds interval(d->interval);
  auto run = std::make_shared<Run>(interval, Milliseconds(d->replyTimeout), d->doorbell,
                                   Clock::now() + interval);
  try {
    run->thread = std::thread(&Run::Loop, run.get());
  } catch (const std::system_error&) {
    return;  // no thread to be had: no ticks, as when no periodic event is granted
  }
  d->run = std::move(run);
}

void TMMTimer::TakeTick() {
  quint64 rings;
  while (::read(d->doorbell, &rings, sizeof rings) < 0 && errno == EINTR) {
  }
  // Held here so that a handler which restarts or stops the timer cannot pull
  // the run away from under its own acknowledgement.
  const std::shared_ptr<Run> run = d->run;
  if (!run) return;
  int state = kPending;
  if (!run->tick.compare_exchange_strong(state, kTaken, std::memory_order_acq_rel)) return;
  platform::Guarded([this] { Timer(); });
  run->Acknowledge();
}
