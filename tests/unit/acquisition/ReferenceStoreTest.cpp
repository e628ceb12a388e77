// The two reference traces: emptying them, capturing into them, and the two
// threads that share them.
#include <gtest/gtest.h>

#include <array>
#include <atomic>
#include <cstdint>
#include <thread>

#include "acquisition/ReferenceStore.h"
#include "link/InstrumentSetup.h"

namespace {

ReferenceData Filled() {
  ReferenceData data;
  for (int which = 0; which < kReferenceCount; ++which) {
    data.ReferenceStore[which].fill(100 + which);
    data.ReferenceLabel[which] = {'R', 'E', 'F', static_cast<char>('1' + which)};
  }
  return data;
}

std::array<std::uint8_t, kReferencePoints> Codes(std::uint8_t first) {
  std::array<std::uint8_t, kReferencePoints> codes;
  for (std::size_t i = 0; i < codes.size(); ++i) codes[i] = static_cast<std::uint8_t>(first + i);
  return codes;
}

TEST(ReferenceStoreTest, ClearingFollowsTheArgument) {
  ReferenceData data = Filled();
  ClearReferenceStore(data, 0);
  EXPECT_TRUE(ReferenceIsEmpty(data, 0));
  EXPECT_EQ(data.ReferenceStore[0][2499], 0);
  EXPECT_EQ(ReferenceLabelText(data, 0), "REF1");  // one trace: its label stays
  EXPECT_EQ(data.ReferenceStore[1][0], 101);

  // A reference already counted as empty is left as it is.
  data.ReferenceStore[1][0] = 0;
  ClearReferenceStore(data, 1);
  EXPECT_EQ(data.ReferenceStore[1][1], 101);

  for (int ignored : {-1, 2, 54, 56}) {
    const ReferenceData before = Filled();
    ReferenceData after = before;
    ClearReferenceStore(after, ignored);
    EXPECT_EQ(after.ReferenceStore, before.ReferenceStore) << ignored;
    EXPECT_EQ(after.ReferenceLabel, before.ReferenceLabel) << ignored;
  }

  data = Filled();
  ClearReferenceStore(data, kAllReferences);
  EXPECT_EQ(data.ReferenceStore, ReferenceData{}.ReferenceStore);
  EXPECT_EQ(ReferenceLabelText(data, 0), "");
  EXPECT_EQ(ReferenceLabelText(data, 1), "");
}

TEST(ReferenceStoreTest, CaptureFillsOnlyAnEnabledEmptyReference) {
  ReferenceMemory memory;
  const auto codes = Codes(1);
  std::int32_t enabled = 0;
  EXPECT_FALSE(memory.CaptureIfEmpty(0, codes, "REF1: 1ms, 1V", enabled));
  EXPECT_TRUE(memory.IsEmpty(0));

  enabled = 1;
  EXPECT_TRUE(memory.CaptureIfEmpty(0, codes, "REF1: a label far longer than thirty bytes", enabled));
  const ReferenceData data = memory.Snapshot();
  EXPECT_EQ(data.ReferenceStore[0][0], 1);
  EXPECT_EQ(data.ReferenceStore[0][254], 255);
  EXPECT_EQ(data.ReferenceStore[0][255], 0);
  EXPECT_EQ(ReferenceLabelText(data, 0), "REF1: a label far longer than");
  EXPECT_TRUE(memory.IsEmpty(1));

  // Frozen until emptied.
  EXPECT_FALSE(memory.CaptureIfEmpty(0, Codes(9), "other", enabled));
  EXPECT_EQ(memory.Snapshot().ReferenceStore[0][0], 1);
  EXPECT_FALSE(memory.CaptureIfEmpty(2, codes, "none", enabled));
}

TEST(ReferenceStoreTest, CodesAndLabelsFromAFileAreMadeSafe) {
  ReferenceData data = Filled();
  data.ReferenceStore[0][7] = 1 << 20;
  data.ReferenceStore[1][8] = -1;
  data.ReferenceLabel[1].fill('x');
  MakeReferencesSafe(data);
  EXPECT_EQ(data.ReferenceStore[0][7], 255);
  EXPECT_EQ(data.ReferenceStore[1][8], 0);
  EXPECT_EQ(data.ReferenceStore[0][6], 100);
  EXPECT_EQ(ReferenceLabelText(data, 1), std::string(29, 'x'));
}

// The user switches the references off and empties them while the acquisition
// thread keeps capturing: once both are done, nothing may have been refilled.
TEST(ReferenceStoreTest, SwitchedOffReferencesStayEmptyWhileTheThreadCaptures) {
  for (int round = 0; round < 50; ++round) {
    ReferenceMemory memory;
    std::int32_t enabled = 1;
    std::atomic<bool> switchedOff = false;
    std::thread acquisition([&] {
      const auto codes = Codes(1);
      // Keeps going for a while after the switch-off, as a late frame would.
      for (int frames = 0; frames < 200 || !switchedOff; ++frames)
        memory.CaptureIfEmpty(round % 2, codes, "REF", enabled);
      for (int late = 0; late < 20; ++late) memory.CaptureIfEmpty(round % 2, codes, "REF", enabled);
    });
    StoreField(enabled, 0);
    memory.Clear(kAllReferences);
    switchedOff = true;
    acquisition.join();
    EXPECT_TRUE(memory.IsEmpty(0));
    EXPECT_TRUE(memory.IsEmpty(1));
  }
}

}  // namespace
