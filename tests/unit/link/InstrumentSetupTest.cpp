// The setup record's layout, byte-order conversion and checksum.
#include <gtest/gtest.h>

#include <cstddef>
#include <cstdint>
#include <cstring>

#include "SetupRecords.h"
#include "link/InstrumentSetup.h"
#include "link/SetupLayout.h"

namespace {

using namespace setuptest;

TEST(InstrumentSetupTest, NamedFieldsSitAtTheirOffsets) {
  const struct {
    std::size_t actual;
    std::size_t expected;
  } fields[] = {
      {offsetof(InstrumentSetup, checksum), 0},           {offsetof(InstrumentSetup, runState), 8},
      {offsetof(InstrumentSetup, effectiveTimebaseIndex), 10},
      {offsetof(InstrumentSetup, horizontalOffset), 12},  {offsetof(InstrumentSetup, triggerMode), 18},
      {offsetof(InstrumentSetup, loadedTraceMask), 20},   {offsetof(InstrumentSetup, ch1VerticalOffset), 22},
      {offsetof(InstrumentSetup, ch2VerticalOffset), 24}, {offsetof(InstrumentSetup, zoomPosition), 28},
      {offsetof(InstrumentSetup, ch1Displayed), 36},      {offsetof(InstrumentSetup, ch1Coupling), 40},
      {offsetof(InstrumentSetup, ch2Displayed), 44},      {offsetof(InstrumentSetup, ch2Coupling), 48},
      {offsetof(InstrumentSetup, referenceChannel), 56},  {offsetof(InstrumentSetup, zoomFactor), 100},
      {offsetof(InstrumentSetup, ch1Unit), 110},          {offsetof(InstrumentSetup, ch2Unit), 114},
      {offsetof(InstrumentSetup, ch1ProbeFactor), 128},   {offsetof(InstrumentSetup, ch2ProbeFactor), 132},
      {offsetof(InstrumentSetup, ch1VoltsPerDivIndex), 140},
      {offsetof(InstrumentSetup, ch2VoltsPerDivIndex), 142},
      {offsetof(InstrumentSetup, xySourceX), 148},        {offsetof(InstrumentSetup, xySourceY), 149},
      {offsetof(InstrumentSetup, viewState), 150},        {offsetof(InstrumentSetup, zoomWindowScale), 156},
      {offsetof(InstrumentSetup, zoomWindowStart), 160},  {offsetof(InstrumentSetup, zoomWindowFlag), 164},
      {offsetof(InstrumentSetup, xyState), 166},          {offsetof(InstrumentSetup, autoMeasurementsOn), 168},
      {offsetof(InstrumentSetup, ref1Displayed), 196},    {offsetof(InstrumentSetup, ref2Displayed), 200},
      {offsetof(InstrumentSetup, referenceState), 204},   {offsetof(InstrumentSetup, keptWord208), 208},
      {offsetof(InstrumentSetup, measurementFlags), 232}, {offsetof(InstrumentSetup, triggerSource), 280},
      {offsetof(InstrumentSetup, ch1TriggerLevel), 282},  {offsetof(InstrumentSetup, ch2TriggerLevel), 284},
      {offsetof(InstrumentSetup, keptWord286), 286},      {offsetof(InstrumentSetup, keptWord288), 288},
      {offsetof(InstrumentSetup, timebaseIndex), 290},    {offsetof(InstrumentSetup, ch1LoadedTrace), 352},
      {offsetof(InstrumentSetup, ch2LoadedTrace), 356},   {offsetof(InstrumentSetup, ipAddress), 454},
      {offsetof(InstrumentSetup, networkWord), 476},      {offsetof(InstrumentSetup, triggerType), 482},
      {offsetof(InstrumentSetup, ch1TriggerCoupling), 484},
      {offsetof(InstrumentSetup, ch2TriggerCoupling), 486},
      {offsetof(InstrumentSetup, ch1TriggerSlope), 488},  {offsetof(InstrumentSetup, ch2TriggerSlope), 490},
      {offsetof(InstrumentSetup, netMask), 506},          {offsetof(InstrumentSetup, gateway), 522},
  };
  for (const auto& field : fields) EXPECT_EQ(field.actual, field.expected);
  EXPECT_EQ(sizeof(InstrumentSetup), 572u);
}

TEST(InstrumentSetupTest, LayoutTableSwapsExactlyTheNumericFields) {
  std::vector<SwappedField> fromTable;
  for (const SetupLayoutEntry& entry : kSetupLayout)
    if (entry.swapWidth != 0) fromTable.push_back({entry.offset, entry.swapWidth});
  ASSERT_EQ(kSwappedFields.size(), 113u);
  ASSERT_EQ(fromTable.size(), kSwappedFields.size());
  for (std::size_t i = 0; i < fromTable.size(); ++i) {
    EXPECT_EQ(fromTable[i].offset, kSwappedFields[i].offset) << "field " << i;
    EXPECT_EQ(fromTable[i].width, kSwappedFields[i].width) << "field at " << kSwappedFields[i].offset;
  }
}

TEST(InstrumentSetupTest, ConversionReversesEachFieldAndNothingElse) {
  InstrumentSetup setup = PatternSetup(3);
  Bytes expected = RecordBytes(setup);
  ReverseFields(expected);
  SwapSetupByteOrder(&setup);
  EXPECT_EQ(RecordBytes(setup), expected);

  // Texts stay readable in both orders.
  InstrumentSetup named{};
  std::strcpy(named.ipAddress, "192.168.000.100");
  named.timebaseIndex = 15;
  named.horizontalOffset = -25000;
  SwapSetupByteOrder(&named);
  EXPECT_STREQ(named.ipAddress, "192.168.000.100");
  const auto* wire = reinterpret_cast<const std::uint8_t*>(&named);
  EXPECT_EQ(wire[290], 0x00);
  EXPECT_EQ(wire[291], 15);
  EXPECT_EQ((std::vector<std::uint8_t>(wire + 12, wire + 16)), (std::vector<std::uint8_t>{0xFF, 0xFF, 0x9E, 0x58}));
}

TEST(InstrumentSetupTest, ConversionTwiceGivesTheRecordBackAndKeepsTheChecksum) {
  const InstrumentSetup original = PatternSetup(11);
  InstrumentSetup setup = original;
  SwapSetupByteOrder(&setup);
  EXPECT_NE(RecordBytes(setup), RecordBytes(original));
  EXPECT_EQ(RecordChecksum(setup), RecordChecksum(original));
  SwapSetupByteOrder(&setup);
  EXPECT_EQ(RecordBytes(setup), RecordBytes(original));
}

TEST(InstrumentSetupTest, ChecksumIsTheComplementOfTheByteSum) {
  const std::uint8_t abc[] = {'a', 'b', 'c'};
  EXPECT_EQ(SetupChecksum(abc, 3), 0xFFFFFED9u);
  EXPECT_EQ(SetupChecksum(abc, 0), 0xFFFFFFFFu);
  const std::uint8_t high[] = {0xFF, 0xFF};
  EXPECT_EQ(SetupChecksum(high, 2), ~0x1FEu) << "bytes count as unsigned";

  InstrumentSetup setup{};
  setup.checksum = 0x12345678;  // not part of its own sum
  setup.reserved538[33] = 5;
  EXPECT_EQ(RecordChecksum(setup), ~5u);
}

TEST(InstrumentSetupTest, SwapBytesKinds) {
  std::uint8_t bytes[9] = {1, 2, 3, 4, 5, 6, 7, 8, 9};
  SwapBytes(0, bytes);
  EXPECT_EQ((std::vector<std::uint8_t>(bytes, bytes + 9)), (std::vector<std::uint8_t>{2, 1, 3, 4, 5, 6, 7, 8, 9}));
  SwapBytes(1, bytes);
  EXPECT_EQ((std::vector<std::uint8_t>(bytes, bytes + 9)), (std::vector<std::uint8_t>{4, 3, 1, 2, 5, 6, 7, 8, 9}));
  SwapBytes(2, bytes);
  EXPECT_EQ((std::vector<std::uint8_t>(bytes, bytes + 9)), (std::vector<std::uint8_t>{8, 7, 6, 5, 2, 1, 3, 4, 9}));
  SwapBytes(3, bytes);
  SwapBytes(-1, bytes);
  EXPECT_EQ((std::vector<std::uint8_t>(bytes, bytes + 9)), (std::vector<std::uint8_t>{8, 7, 6, 5, 2, 1, 3, 4, 9}));
}

TEST(InstrumentSetupTest, DivisionsBecomeTwentySecondsTruncatedTowardZero) {
  EXPECT_EQ(DivisionsToUnits(-1.26), -27);
  EXPECT_EQ(DivisionsToUnits(1.26), 27);
  EXPECT_EQ(DivisionsToUnits(0.04), 0);
  EXPECT_EQ(DivisionsToUnits(1e9), 32767) << "held within the field";
  EXPECT_EQ(DivisionsToUnits(-1e9), -32768);
}

}  // namespace
