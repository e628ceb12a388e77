// The program's clock: every wait and elapsed time (Delay, Timer, the VISA
// timeouts, the simulated instrument's replies) reads it, so tests can swap
// in a clock they move themselves and never sleep.
#pragma once

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <vector>

class Clock {
 public:
  virtual ~Clock() = default;
  // Seconds since a fixed origin; never goes back.
  virtual double Now() = 0;
  // Returns once Now() >= deadline.
  virtual void SleepUntil(double deadline) = 0;
  // A condition wait on this clock: returns when `wake` is notified, when
  // the deadline has come, or spuriously; the caller holds `lock` (the mutex
  // `wake` is used with) and re-checks its condition and Now() in a loop.
  // The default sleeps to the deadline without the lock.
  virtual void WaitUntil(std::unique_lock<std::mutex>& lock, std::condition_variable_any& wake, double deadline);
};

// The real steady clock unless a test installed another.
Clock& CurrentClock();
// nullptr puts the real one back. The installed clock must outlive every
// wait that uses it.
void InstallClock(Clock* clock);

// Time that moves only when told. Auto-advance (the default): a sleeper moves
// time to its own deadline and returns at once, so a single-threaded sequence
// with Delay(1.0) runs instantly while Timer() still shows the second.
// Manual: sleepers block until Advance() has carried time to their deadline
// (or, for condition waits, until they are notified).
class ManualClock final : public Clock {
 public:
  enum class Mode { AutoAdvance, Manual };

  // Starts at the real clock's next whole second, so Timer() does not jump
  // back when a test installs it.
  explicit ManualClock(Mode mode = Mode::AutoAdvance);

  double Now() override;
  void SleepUntil(double deadline) override;
  void WaitUntil(std::unique_lock<std::mutex>& lock, std::condition_variable_any& wake, double deadline) override;

  // Moves time forward (a negative step does nothing) and wakes the sleepers
  // whose deadline has come.
  void Advance(double seconds);
  // Threads blocked in SleepUntil or WaitUntil whose deadline has not come.
  // A condition wait notified by its owner counts until it runs again.
  int Sleepers();
  // Waits (in real time, at most `limit`) until at least `count` threads are
  // asleep on this clock, so a test advances only once they are. False when
  // the limit passed first.
  bool WaitForSleepers(int count, std::chrono::milliseconds limit = std::chrono::seconds(10));

 private:
  struct Sleeper {
    std::condition_variable_any* wake;  // null: SleepUntil, woken through changed_
    double deadline;
  };
  int Asleep() const;  // mutex_ held

  // Lock order: a caller's mutex (WaitUntil), then mutex_.
  std::mutex mutex_;
  std::condition_variable changed_;  // time or sleepers changed
  double now_;
  const Mode mode_;
  std::vector<Sleeper*> sleepers_;
};

// Installs a ManualClock for its lifetime and puts the previous clock back.
class ScopedManualClock {
 public:
  explicit ScopedManualClock(ManualClock::Mode mode = ManualClock::Mode::AutoAdvance);
  ~ScopedManualClock();
  ScopedManualClock(const ScopedManualClock&) = delete;
  ScopedManualClock& operator=(const ScopedManualClock&) = delete;

  ManualClock& operator*() { return clock_; }
  ManualClock* operator->() { return &clock_; }

 private:
  ManualClock clock_;
  Clock* previous_;
};
