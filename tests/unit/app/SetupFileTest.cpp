// The built-in default record and the setup file "Ornikelva.okv.CFG".
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <sstream>
#include <string>
#include <vector>

#include "StateFileTestSupport.h"
#include "app/DefaultSetup.h"
#include "app/SetupFile.h"

namespace {

using namespace statefiles;

// The factory-default record, 16 bytes a line.
const char* const kDefaultRecordDump[] = {
    "000: ad de 00 00 01 00 01 00 01 00 0f 00 58 9e ff ff",
    "010: 01 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00",
    "020: 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00",
    "030: 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00",
    "040: 4f c3 00 00 00 00 00 00 00 00 00 00 00 00 01 00",
    "050: 04 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00",
    "060: ad de 00 00 00 00 a0 41 00 00 00 00 00 00 56 00",
    "070: 00 00 56 00 00 00 00 00 00 00 80 3f 00 00 80 3f",
    "080: 00 00 80 3f 00 00 80 3f 73 00 00 00 04 00 04 00",
    "090: 04 00 04 00 00 00 00 00 ad de 00 00 00 00 a0 41",
    "0a0: 00 00 00 00 00 00 00 00 00 00 00 00 ff ff 00 00",
    "0b0: 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00",
    "0c0: ad de 00 00 00 00 00 00 00 00 00 00 00 00 00 00",
    "0d0: 00 00 00 00 00 ff 07 00 00 ff 07 00 ad de ad de",
    "0e0: a8 61 00 00 00 ff 07 00 00 00 00 00 00 00 80 3f",
    "0f0: 00 00 00 00 01 00 00 00 00 00 80 3f 00 00 00 00",
    "100: ad de ad de 00 00 00 00 00 00 00 00 00 00 00 00",
    "110: 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00",
    "120: 00 00 0f 00 00 00 00 00 00 00 00 00 ad de ad de",
    "130: ad de 00 00 ad de 00 00 00 00 00 00 00 00 00 00",
    "140: 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00",
    "150: 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00",
    "160: 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00",
    "170: 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00",
    "180: 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00",
    "190: 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00",
    "1a0: 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00",
    "1b0: 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00",
    "1c0: 00 00 00 00 00 00 31 39 32 2e 31 36 38 2e 30 30",
    "1d0: 30 2e 31 30 30 00 00 00 01 00 00 00 00 00 00 00",
    "1e0: ad de 00 00 01 00 01 00 00 00 00 00 00 00 00 00",
    "1f0: 00 00 00 00 01 00 00 00 00 00 32 35 35 2e 32 35",
    "200: 35 2e 32 35 35 2e 30 30 30 00 30 30 30 2e 30 30",
    "210: 30 2e 30 30 30 2e 30 30 30 00 00 00 00 00 00 00",
    "220: 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00",
    "230: 00 00 00 00 00 00 00 00 00 00 00 00",
};

Bytes ParseDump() {
  Bytes bytes;
  for (const char* line : kDefaultRecordDump) {
    std::istringstream in(std::string(line).substr(5));
    unsigned value = 0;
    while (in >> std::hex >> value) bytes.push_back(static_cast<std::uint8_t>(value));
  }
  return bytes;
}

std::vector<std::size_t> DifferingOffsets(const Bytes& a, const Bytes& b) {
  std::vector<std::size_t> offsets;
  for (std::size_t i = 0; i < a.size() && i < b.size(); ++i)
    if (a[i] != b[i]) offsets.push_back(i);
  return offsets;
}

Bytes SetupFileOf(InstrumentSetup setup) {
  const auto file = SetupFileBytes(setup);
  return Bytes(file.begin(), file.end());
}

// Loads `file` over a copy of `setup`; returns the result and the copy.
std::pair<bool, InstrumentSetup> Load(const Bytes& file, bool keep, InstrumentSetup setup) {
  const bool loaded = LoadSetupFile(std::span<const std::uint8_t>(file), keep, setup);
  return {loaded, setup};
}

TEST(DefaultSetupTest, RecordMatchesTheDumpAndItsNamedFields) {
  const Bytes dump = ParseDump();
  ASSERT_EQ(dump.size(), kSetupSize);
  const Bytes record(DefaultSetupBytes().begin(), DefaultSetupBytes().end());
  EXPECT_EQ(DifferingOffsets(record, dump), std::vector<std::size_t>{});

  // The same bytes seen through the record's fields.
  const InstrumentSetup setup = DefaultSetupRecord();
  EXPECT_EQ(setup.runState, 1);
  EXPECT_EQ(setup.timebaseIndex, 15);
  EXPECT_EQ(setup.horizontalOffset, -25000);
  EXPECT_EQ(setup.zoomFactor, 20.0f);
  EXPECT_EQ(setup.ch1VoltsPerDivIndex, 4);
  EXPECT_EQ(setup.reserved212, 0x7FF00);
  EXPECT_STREQ(setup.ipAddress, "192.168.000.100");
}

TEST(DefaultSetupTest, LoadingTheDefaultKeepsTheIpAddressAndStops) {
  InstrumentSetup setup = SampleSetup();
  std::strcpy(setup.ipAddress, "172.016.005.005");
  LoadDefaultSetup(setup);

  InstrumentSetup expected = DefaultSetupRecord();
  std::strcpy(expected.ipAddress, "172.016.005.005");
  EXPECT_EQ(RecordBytes(setup), RecordBytes(expected));
  EXPECT_EQ(setup.runState, 1);
}

TEST(DefaultSetupTest, FreshStartDiffersFromTheDefaultOnlyWhereTheStartChangesIt) {
  const InstrumentSetup fresh = FreshStartSetup();
  std::vector<std::size_t> expected = {8, 36, 44};  // runState, ch1Displayed, ch2Displayed
  for (std::size_t i = 454; i < 469; ++i) expected.push_back(i);  // the emptied ipAddress text
  EXPECT_EQ(DifferingOffsets(RecordBytes(fresh), RecordBytes(DefaultSetupRecord())), expected);
  EXPECT_EQ(fresh.runState, 0);
  EXPECT_EQ(fresh.ch1Displayed, 1);
  EXPECT_EQ(fresh.ch2Displayed, 1);
  EXPECT_STREQ(fresh.ipAddress, "");
}

TEST(SetupFileTest, FileIsTheRecordWithAFreshChecksumAndTwoTrailingBytes) {
  InstrumentSetup setup = DefaultSetupRecord();
  setup.ch2LoadedTrace = 1;
  const Bytes file = SetupFileOf(setup);

  ASSERT_EQ(file.size(), 574u);
  EXPECT_EQ(file[572], 0x0A);
  EXPECT_EQ(file[573], 0x0D);
  std::uint32_t stored = 0;
  std::memcpy(&stored, file.data(), 4);
  EXPECT_EQ(stored, SetupChecksum(file.data() + 4, 568));
  EXPECT_NE(stored, 0xDEADu);
  InstrumentSetup written;
  std::memcpy(&written, file.data(), kSetupSize);
  EXPECT_EQ(written.ch1LoadedTrace, 0);
  EXPECT_EQ(written.ch2LoadedTrace, 0);
  EXPECT_EQ(written.timebaseIndex, 15);
}

TEST(SetupFileTest, RoundTripTakesEveryFieldOrKeepsTheNetworkFields) {
  InstrumentSetup saved = SampleSetup();
  const auto written = SetupFileBytes(saved);  // also gives `saved` its checksum
  const Bytes file(written.begin(), written.end());

  InstrumentSetup memory = DefaultSetupRecord();
  std::strcpy(memory.ipAddress, "");
  memory.networkWord = 5;
  std::strcpy(memory.netMask, "255.000.000.000");
  std::strcpy(memory.gateway, "192.168.001.254");

  const auto [taken, all] = Load(file, false, memory);
  EXPECT_TRUE(taken);
  EXPECT_EQ(RecordBytes(all), RecordBytes(saved));

  const auto [kept, withNetwork] = Load(file, true, memory);
  EXPECT_TRUE(kept);
  InstrumentSetup expected = saved;
  std::memcpy(expected.ipAddress, memory.ipAddress, sizeof expected.ipAddress);
  expected.networkWord = memory.networkWord;
  std::memcpy(expected.netMask, memory.netMask, sizeof expected.netMask);
  std::memcpy(expected.gateway, memory.gateway, sizeof expected.gateway);
  EXPECT_EQ(RecordBytes(withNetwork), RecordBytes(expected));
}

TEST(SetupFileTest, MissingOrDamagedFilesAreReportedAndChangeNothing) {
  const InstrumentSetup memory = SampleSetup();
  const Bytes good = SetupFileOf(DefaultSetupRecord());
  Bytes offByOne = good;
  offByOne[0] ^= 1;
  Bytes changedData = good;
  changedData[290] = 16;  // a different timebase, checksum not updated
  Bytes random(574);
  for (std::size_t i = 0; i < random.size(); ++i) random[i] = static_cast<std::uint8_t>(i * 37 + 11);
  Bytes longer = good;
  longer.push_back(0);
  const Bytes damaged[] = {{}, Bytes(good.begin(), good.begin() + 572), Bytes(good.begin(), good.end() - 1),
                           longer, offByOne, changedData, random};

  for (const Bytes& file : damaged) {
    MessageLog log;
    const auto [loaded, after] = Load(file, false, memory);
    EXPECT_FALSE(loaded) << file.size();
    EXPECT_EQ(RecordBytes(after), RecordBytes(memory)) << file.size();
    EXPECT_EQ(log.messages, std::vector{PreferencesMessage::WrongConfigurationFile}) << file.size();
  }

  MessageLog log;
  InstrumentSetup setup = memory;
  EXPECT_FALSE(LoadSetupFile(std::nullopt, false, setup));
  EXPECT_EQ(RecordBytes(setup), RecordBytes(memory));
  EXPECT_EQ(log.messages, std::vector{PreferencesMessage::ConfigurationNotFound});
}

TEST(SetupFileTest, RecordWithAFieldOutsideItsTableIsRefusedEvenWithAGoodChecksum) {
  const auto withChange = [](auto change) {
    InstrumentSetup setup = DefaultSetupRecord();
    change(setup);
    return SetupFileOf(setup);
  };
  const Bytes outside[] = {
      withChange([](InstrumentSetup& s) { s.timebaseIndex = 31; }),
      withChange([](InstrumentSetup& s) { s.ch1VoltsPerDivIndex = 15; }),
      withChange([](InstrumentSetup& s) { s.ch2VoltsPerDivIndex = 0xFFFF; }),
      withChange([](InstrumentSetup& s) { s.triggerSource = 3; }),
      withChange([](InstrumentSetup& s) { s.triggerType = 6; }),
      withChange([](InstrumentSetup& s) { s.ch2Coupling = -1; }),
      withChange([](InstrumentSetup& s) { s.ch1TriggerCoupling = 4; }),
      withChange([](InstrumentSetup& s) { s.referenceChannel = 2; }),
      withChange([](InstrumentSetup& s) { s.xySourceY = 2; }),
      withChange([](InstrumentSetup& s) { s.runState = 2; }),
      withChange([](InstrumentSetup& s) { s.zoomFactor = std::numeric_limits<float>::quiet_NaN(); }),
      withChange([](InstrumentSetup& s) { s.zoomPosition = -1; }),
      withChange([](InstrumentSetup& s) { s.ch1ProbeFactor = std::numeric_limits<float>::infinity(); }),
      withChange([](InstrumentSetup& s) { std::memcpy(s.ch2Unit, "VVVV", 4); }),
  };
  for (const Bytes& file : outside) {
    MessageLog log;
    EXPECT_FALSE(Load(file, false, SampleSetup()).first);
    EXPECT_EQ(log.messages, std::vector{PreferencesMessage::WrongConfigurationFile});
  }

  const Bytes highest = withChange([](InstrumentSetup& s) {
    s.timebaseIndex = 30;
    s.ch1VoltsPerDivIndex = 14;
    s.triggerSource = 2;
    s.triggerType = 5;
    s.ch2TriggerCoupling = 3;
    s.runState = 0;
  });
  EXPECT_TRUE(Load(highest, false, SampleSetup()).first);
}

}  // namespace
