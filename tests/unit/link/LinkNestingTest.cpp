// The owner of the link may run code that takes it again (start-up and the
// menus run display code that sends commands); nobody else gets it until the
// outermost release.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "link/LinkBusy.h"
#include "platform/os/Clock.h"

namespace {

bool TakenFromAnotherThread() {
  bool taken = false;
  std::thread other([&taken] {
    taken = TryTakeLink();
    if (taken) ReleaseLink();
  });
  other.join();
  return taken;
}

TEST(LinkNesting, TheOwnerTakesAgainAndOnlyTheOutermostReleaseFreesIt) {
  TakeLink();
  TakeLink();
  { LinkOwnership inner; }
  ReleaseLink();
  EXPECT_EQ(LinkBusy.load(), 1);
  EXPECT_FALSE(TakenFromAnotherThread());
  EXPECT_FALSE(TryTakeLink()) << "a test-and-set is never nested";
  ReleaseLink();
  EXPECT_EQ(LinkBusy.load(), 0);
  EXPECT_TRUE(TakenFromAnotherThread());

  // A link cleared behind its owner's back, as a test fixture does, is taken afresh.
  ASSERT_TRUE(TryTakeLink());
  LinkBusy = 0;
  TakeLink();
  EXPECT_EQ(LinkBusy.load(), 1);
  ReleaseLink();
  EXPECT_EQ(LinkBusy.load(), 0);
}

TEST(LinkNesting, AnotherThreadWaitsForTheOutermostRelease) {
  ScopedManualClock clock;  // the waiter's 1 ms steps pass at once
  constexpr int kRounds = 200;
  std::atomic<int> owners{0};
  std::atomic<bool> overlap{false};
  int shared = 0;  // plain on purpose: only the owner touches it
  auto enter = [&] {
    if (owners.fetch_add(1) != 0) overlap = true;
    ++shared;
  };
  std::thread nesting([&] {
    for (int i = 0; i < kRounds; ++i) {
      LinkOwnership outer;
      enter();
      { LinkOwnership inner; }
      ++shared;  // still the owner after the inner release
      owners.fetch_sub(1);
    }
  });
  std::thread plain([&] {
    for (int i = 0; i < kRounds; ++i) {
      LinkOwnership link;
      enter();
      owners.fetch_sub(1);
    }
  });
  nesting.join();
  plain.join();
  EXPECT_FALSE(overlap);
  EXPECT_EQ(shared, 3 * kRounds);
  EXPECT_EQ(LinkBusy.load(), 0);
}

}  // namespace
