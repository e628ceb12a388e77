#include "platform/os/Clock.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <thread>

namespace {

using Steady = std::chrono::steady_clock;

// Longest single real wait; a later deadline is reached in several.
constexpr double kLongestWait = 24.0 * 3600.0;

class SteadyClock final : public Clock {
 public:
  double Now() override { return std::chrono::duration<double>(Steady::now() - origin_).count(); }

  void SleepUntil(double deadline) override {
    for (double left = deadline - Now(); left > 0.0; left = deadline - Now())
      std::this_thread::sleep_for(std::chrono::duration<double>(std::min(left, kLongestWait)));
  }

  void WaitUntil(std::unique_lock<std::mutex>& lock, std::condition_variable_any& wake, double deadline) override {
    const double left = deadline - Now();
    if (left > 0.0) wake.wait_for(lock, std::chrono::duration<double>(std::min(left, kLongestWait)));
  }

 private:
  const Steady::time_point origin_ = Steady::now();
};

SteadyClock& RealClock() {
  static SteadyClock clock;
  return clock;
}

std::atomic<Clock*> installed{nullptr};

// Locks the caller's mutex and the clock's as one, in that order, so a
// condition wait releases both at once and no wake-up falls between them.
struct BothLocks {
  std::unique_lock<std::mutex>& outer;
  std::unique_lock<std::mutex>& inner;
  void lock() {
    outer.lock();
    inner.lock();
  }
  void unlock() {
    inner.unlock();
    outer.unlock();
  }
};

}  // namespace

void Clock::WaitUntil(std::unique_lock<std::mutex>& lock, std::condition_variable_any&, double deadline) {
  lock.unlock();
  SleepUntil(deadline);
  lock.lock();
}

Clock& CurrentClock() {
  Clock* clock = installed.load(std::memory_order_acquire);
  return clock != nullptr ? *clock : RealClock();
}

void InstallClock(Clock* clock) {
  installed.store(clock == &RealClock() ? nullptr : clock, std::memory_order_release);
}

// A whole second keeps sums of whole and binary-fraction seconds exact.
ManualClock::ManualClock(Mode mode) : now_(std::ceil(RealClock().Now())), mode_(mode) {}

double ManualClock::Now() {
  std::lock_guard lock(mutex_);
  return now_;
}

void ManualClock::SleepUntil(double deadline) {
  std::unique_lock lock(mutex_);
  if (mode_ == Mode::Manual && now_ < deadline) {
    Sleeper sleeper{nullptr, deadline};
    sleepers_.push_back(&sleeper);
    changed_.notify_all();
    changed_.wait(lock, [&] { return now_ >= deadline; });
    std::erase(sleepers_, &sleeper);
  }
  now_ = std::max(now_, deadline);
}

void ManualClock::WaitUntil(std::unique_lock<std::mutex>& lock, std::condition_variable_any& wake, double deadline) {
  std::unique_lock own(mutex_);
  if (now_ >= deadline) return;
  if (mode_ == Mode::AutoAdvance) {
    now_ = deadline;
    return;
  }
  Sleeper sleeper{&wake, deadline};
  sleepers_.push_back(&sleeper);
  changed_.notify_all();
  BothLocks both{lock, own};
  // One wake-up: Advance() notifies `wake` once the deadline has come (it
  // holds mutex_ meanwhile, so `sleeper` is still registered), and whoever
  // owns the condition notifies it as usual.
  wake.wait(both);
  std::erase(sleepers_, &sleeper);
}

int ManualClock::Asleep() const {
  return static_cast<int>(std::count_if(sleepers_.begin(), sleepers_.end(),
                                        [this](const Sleeper* sleeper) { return sleeper->deadline > now_; }));
}

void ManualClock::Advance(double seconds) {
  std::lock_guard lock(mutex_);
  if (seconds > 0.0) now_ += seconds;
  for (Sleeper* sleeper : sleepers_)
    if (sleeper->wake != nullptr && sleeper->deadline <= now_) sleeper->wake->notify_all();
  changed_.notify_all();
}

int ManualClock::Sleepers() {
  std::lock_guard lock(mutex_);
  return Asleep();
}

bool ManualClock::WaitForSleepers(int count, std::chrono::milliseconds limit) {
  std::unique_lock lock(mutex_);
  return changed_.wait_for(lock, limit, [&] { return Asleep() >= count; });
}

ScopedManualClock::ScopedManualClock(ManualClock::Mode mode) : clock_(mode), previous_(&CurrentClock()) {
  InstallClock(&clock_);
}

ScopedManualClock::~ScopedManualClock() { InstallClock(previous_); }
