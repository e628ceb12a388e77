// The channel scales the cursor readouts read: one whole copy per channel,
// rewritten on the user-interface thread while the acquisition thread reads.
#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <thread>

#include "display/ChannelDisplayScale.h"

namespace {

TEST(ChannelDisplayScaleTest, UnitTextIsCutAndOtherChannelsAreIgnored) {
  struct Row {
    std::string_view unit;
    const char* kept;
  };
  for (const Row& row : {Row{"V", "V"}, Row{std::string_view("VOLT", 4), "VOL"}, Row{std::string_view("A\0BC", 4), "A"},
                         Row{"", ""}}) {
    UpdateChannelDisplayScale(1, 2.5f, 7, 1, row.unit);
    EXPECT_STREQ(LoadChannelDisplayScale(1).unit.data(), row.kept);
  }
  UpdateChannelDisplayScale(2, 9.0f, 9, 2, "X");
  UpdateChannelDisplayScale(-1, 9.0f, 9, 2, "X");
  const ChannelDisplayScale ch2 = LoadChannelDisplayScale(1);
  EXPECT_EQ(ch2.probeFactor, 2.5f);
  EXPECT_EQ(ch2.voltsPerDivIndex, 7);
  EXPECT_EQ(ch2.couplingIndex, 1);
  EXPECT_EQ(ch2.storedTraceTimebaseIndex, 0);
  EXPECT_EQ(LoadChannelDisplayScale(2).probeFactor, 1.0f) << "no such channel: the default scale";
}

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
