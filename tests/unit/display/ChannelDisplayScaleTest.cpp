// The channel scales the cursor readouts read: one whole copy per channel,
// rewritten on the user-interface thread while the acquisition thread reads.
#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <thread>

#include "display/ChannelDisplayScale.h"

namespace {

bool Is(const ChannelDisplayScale& scale, float probe, int index, int coupling, const char* unit) {
  return scale.probeFactor == probe && scale.voltsPerDivIndex == index && scale.couplingIndex == coupling &&
         std::strcmp(scale.unit.data(), unit) == 0;
}

// A reader never sees half of one update and half of the next.
TEST(ChannelDisplayScaleTest, ReadersSeeWholeCopiesWhileTheyAreRewritten) {
  std::atomic<bool> done{false};
  std::thread writer([&done] {
    for (int round = 0; round < 10000; ++round) {
      UpdateChannelDisplayScale(0, 1.0f, 3, 0, "V");
      UpdateChannelDisplayScale(0, 10.0f, 11, 2, "mA");
    }
    done = true;
  });
  int mixed = 0;
  while (!done) {
    const ChannelDisplayScale scale = LoadChannelDisplayScale(0);
    const bool untouched = scale.voltsPerDivIndex == 0;  // before the first update
    if (!untouched && !Is(scale, 1.0f, 3, 0, "V") && !Is(scale, 10.0f, 11, 2, "mA")) ++mixed;
  }
  writer.join();
  EXPECT_EQ(mixed, 0);
}

}  // namespace
