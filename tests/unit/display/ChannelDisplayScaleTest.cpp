// The channel scales the cursor readouts read: one whole copy per channel,
// rewritten on the user-interface thread while the acquisition thread reads.
#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <thread>

#include "display/ChannelDisplayScale.h"

namespace {

// A reader on another thread never sees half of one update and half of the next.
TEST(ChannelDisplayScaleTest, ReadersSeeWholeCopiesWhileTheyAreRewritten) {
  std::atomic<bool> done{false};
  std::thread writer([&done] {
    for (int round = 0; round < 20000; ++round) {
      if (round % 2 == 0)
        UpdateChannelDisplayScale(0, 1.0f, 3, 0, "V");
      else
        UpdateChannelDisplayScale(0, 10.0f, 11, 2, "mA");
    }
    done = true;
  });
  int mixed = 0;
  while (!done) {
    const ChannelDisplayScale scale = LoadChannelDisplayScale(0);
    const bool first = scale.probeFactor == 1.0f && scale.voltsPerDivIndex == 3 && scale.couplingIndex == 0 &&
                       std::strcmp(scale.unit.data(), "V") == 0;
    const bool second = scale.probeFactor == 10.0f && scale.voltsPerDivIndex == 11 && scale.couplingIndex == 2 &&
                        std::strcmp(scale.unit.data(), "mA") == 0;
    const bool untouched = scale.voltsPerDivIndex == 0;  // before the first update
    if (!first && !second && !untouched) ++mixed;
  }
  writer.join();
  EXPECT_EQ(mixed, 0);
}

}  // namespace
