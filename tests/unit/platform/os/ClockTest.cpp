// The program's clock and the clock tests move themselves.
#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <future>
#include <mutex>
#include <vector>

#include "platform/os/Clock.h"
#include "platform/os/Timing.h"

namespace {

using namespace std::chrono_literals;

TEST(ManualClock, AutoAdvanceMovesTimeToEachDeadlineAtOnce) {
  ScopedManualClock clock;
  const auto realStart = std::chrono::steady_clock::now();
  const double start = Timer();
  Delay(1.0);
  Delay(0.25);
  EXPECT_EQ(Timer() - start, 1.25);
  // No wait, an elapsed deadline or a step back moves nothing.
  Delay(-3.0);
  CurrentClock().SleepUntil(start);
  clock->Advance(-5.0);
  EXPECT_EQ(Timer() - start, 1.25);
  // A condition wait nobody notifies runs out at its deadline.
  std::mutex mutex;
  std::condition_variable_any wake;
  std::unique_lock lock(mutex);
  CurrentClock().WaitUntil(lock, wake, start + 3.0);
  EXPECT_TRUE(lock.owns_lock());
  EXPECT_EQ(Timer() - start, 3.0);
  EXPECT_LT(std::chrono::steady_clock::now() - realStart, 1s) << "virtual seconds took real ones";
}

// Two real threads (run under ThreadSanitizer): sleepers wait for Advance,
// a condition wait also ends when it is notified.
TEST(ManualClock, ManualSleepersWaitForAdvanceOrTheirCondition) {
  ScopedManualClock clock(ManualClock::Mode::Manual);
  EXPECT_FALSE(clock->WaitForSleepers(1, 10ms)) << "nobody sleeps yet";
  const double start = Timer();
  auto sleeper = std::async(std::launch::async, [] {
    Delay(2.0);
    return Timer();
  });
  ASSERT_TRUE(clock->WaitForSleepers(1));
  clock->Advance(1.5);
  EXPECT_EQ(clock->Sleepers(), 1) << "woke before its deadline";
  clock->Advance(0.5);
  ASSERT_EQ(sleeper.wait_for(5s), std::future_status::ready);
  EXPECT_EQ(sleeper.get() - start, 2.0);

  std::mutex mutex;
  std::condition_variable_any wake;
  bool ready = false;
  auto waitForReady = [&] {
    std::unique_lock lock(mutex);
    const double deadline = Timer() + 5.0;
    while (!ready && Timer() < deadline) CurrentClock().WaitUntil(lock, wake, deadline);
    return ready;
  };
  auto notified = std::async(std::launch::async, waitForReady);
  ASSERT_TRUE(clock->WaitForSleepers(1));
  {
    std::lock_guard lock(mutex);
    ready = true;
  }
  wake.notify_all();
  ASSERT_EQ(notified.wait_for(5s), std::future_status::ready);
  EXPECT_TRUE(notified.get());
  EXPECT_EQ(Timer() - start, 2.0) << "a notification moves no time";

  ready = false;
  auto timedOut = std::async(std::launch::async, waitForReady);
  ASSERT_TRUE(clock->WaitForSleepers(1));
  clock->Advance(5.0);
  ASSERT_EQ(timedOut.wait_for(5s), std::future_status::ready);
  EXPECT_FALSE(timedOut.get());
}

TEST(ManualClock, TimeOnlyGoesForwardForEveryThread) {
  ScopedManualClock clock;
  std::vector<std::future<bool>> threads;
  for (int t = 0; t < 4; ++t) {
    threads.push_back(std::async(std::launch::async, [t] {
      double last = Timer();
      for (int i = 0; i < 500; ++i) {
        Delay(0.001 * ((i + t) % 7));
        const double now = Timer();
        if (now < last) return false;
        last = now;
      }
      return true;
    }));
  }
  for (int i = 0; i < 200; ++i) clock->Advance(0.01);
  for (auto& thread : threads) EXPECT_TRUE(thread.get());
}

}  // namespace
