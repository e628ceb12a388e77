#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "AcquisitionTestSupport.h"
#include "sim/Acquisition.h"

namespace kvxsim {
namespace {

using test::AcquireOnce;
using test::ReadF32;
using test::ReadF64;
using test::ReadU16;
using test::Sine;

// A host reading the file: value = (code - 2048) * 8 * V/div * probe / 512
// - (position / 22) * V/div * probe.
double Decode(const std::vector<std::uint8_t>& file, int k, double voltsPerDiv) {
  const double probe = ReadF32(&file[4]);
  const double position = ReadF64(&file[12]);
  const int code = ReadU16(&file[34 + 2 * k]);
  return (code - 2048) * 8.0 * voltsPerDiv * probe / 512.0 - (position / 22.0) * voltsPerDiv * probe;
}

AcquisitionSettings OneVoltPerDivision(double probe, int position) {
  AcquisitionSettings settings;
  settings.channel[1].voltsPerDiv = 1.0;
  settings.channel[1].probeFactor = probe;
  settings.channel[1].verticalOffset = position;
  return settings;
}

TEST(TraceFile, SizeAndHeaderFields) {
  AcquisitionSettings settings = OneVoltPerDivision(10.0, -17);
  const Record record = AcquireOnce(settings, {Sine(1000.0, 2.0), Sine(1000.0, 2.0)});
  const auto file = BuildTraceFile(record, 1, settings, 15, 9, "V");
  ASSERT_EQ(file.size(), 100034u);
  EXPECT_EQ(ReadU16(&file[2]), 15);
  EXPECT_EQ(ReadF32(&file[4]), 10.0f);
  EXPECT_EQ(ReadF32(&file[8]), 1.0f);
  EXPECT_EQ(ReadF64(&file[12]), -17.0);
  EXPECT_EQ(ReadU16(&file[22]), 9);
  EXPECT_EQ(std::memcmp(&file[30], "V\0\0\0", 4), 0);

  const auto longUnit = BuildTraceFile(record, 0, settings, 300, 0, "mV/x");
  EXPECT_EQ(longUnit[3], 300 & 0xFF);  // only the low byte carries the index
  EXPECT_EQ(std::memcmp(&longUnit[30], "mV/\0", 4), 0);  // always NUL-terminated
}

TEST(TraceFile, CodesDecodeBackToTheReadings) {
  // 1 V at the input, 1 V/div, probe 10: 10 V, one division above the centre.
  const std::array<SignalSpec, 2> dc{SignalSpec{}, SignalSpec{Waveform::Dc, 0.0, 0.0, 1.0, 0.0}};
  AcquisitionSettings settings = OneVoltPerDivision(10.0, 0);
  auto file = BuildTraceFile(AcquireOnce(settings, dc), 1, settings, 15, 9, "V");
  EXPECT_EQ(ReadU16(&file[34]), 2112);
  EXPECT_NEAR(Decode(file, 0, 1.0), 10.0, 1e-12);

  // The position is part of the code and taken off again by the reader.
  settings = OneVoltPerDivision(1.0, 22);
  file = BuildTraceFile(AcquireOnce(settings, dc), 1, settings, 15, 9, "V");
  EXPECT_EQ(ReadU16(&file[34 + 2 * 49999]), 2048 + 128);
  EXPECT_NEAR(Decode(file, 49999, 1.0), 1.0, 1e-12);

  // A noisy sine with probe and position comes back within one code everywhere.
  settings = OneVoltPerDivision(10.0, -30);
  const Record record = AcquireOnce(settings, {Sine(1000.0, 2.0), Sine(700.0, 5.0, 0.3, 0.05)});
  file = BuildTraceFile(record, 1, settings, 15, 9, "V");
  const double oneCode = 1.0 * 10.0 / 64.0;
  double worst = 0.0;
  for (int k = 0; k < kRecordPoints; ++k) worst = std::max(worst, std::abs(Decode(file, k, 1.0) - record.volts[1][k]));
  EXPECT_LE(worst, 0.5 * oneCode + 1e-9);
}

TEST(TraceFile, CodesClipAtTheTwelveBitRange) {
  AcquisitionSettings settings;
  settings.channel[0].voltsPerDiv = 0.01;  // 40 Vpp is +-2000 divisions
  const Record record = AcquireOnce(settings, {Sine(1000.0, 40.0), Sine(1000.0, 2.0)});
  const auto file = BuildTraceFile(record, 0, settings, 15, 1, "V");
  int lowest = 4095, highest = 0;
  for (int k = 0; k < kRecordPoints; ++k) {
    lowest = std::min<int>(lowest, ReadU16(&file[34 + 2 * k]));
    highest = std::max<int>(highest, ReadU16(&file[34 + 2 * k]));
  }
  EXPECT_EQ(lowest, 0);
  EXPECT_EQ(highest, 4095);
}

}  // namespace
}  // namespace kvxsim
