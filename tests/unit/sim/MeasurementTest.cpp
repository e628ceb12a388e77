#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "AcquisitionTestSupport.h"
#include "sim/Acquisition.h"

namespace kvxsim {
namespace {

using test::AcquireOnce;
using test::ReadF32;
using test::ReadF64;
using test::Sine;

constexpr std::uint32_t kAllValid = (1u << 18) - 1;
constexpr std::uint32_t kTimingBits = 0xFC00;  // bits 10 to 15

// Field offsets in the block.
constexpr int kVrms = 8, kVavg = 16, kVmin = 24, kVmax = 28, kVpp = 32, kVlow = 36, kVhigh = 40, kVhighLow = 44;
constexpr int kOverPlus = 48, kPeriod = 56, kWidthPlus = 60, kWidthMinus = 64, kDuty = 68, kRise = 72, kFall = 76;
constexpr int kCount = 80, kSum = 88;

struct Measured {
  std::array<std::uint8_t, kMeasurementBlockSize> block;
  double operator[](int offset) const {  // 32-bit reals below 88, 64-bit at 8, 16, 88
    return (offset == kVrms || offset == kVavg || offset == kSum) ? ReadF64(&block[offset]) : ReadF32(&block[offset]);
  }
  std::uint16_t Header() const { return test::ReadU16(&block[0]); }
  std::uint32_t Valid() const { return test::ReadU32(&block[4]); }
  bool Has(int bit) const { return (Valid() >> bit) & 1u; }
  std::int32_t Count() const { return static_cast<std::int32_t>(test::ReadU32(&block[kCount])); }
};

Measured Measure(const SignalSpec& ch1, double secondsPerDiv, int channel = 0, double probe = 1.0) {
  AcquisitionSettings settings;
  settings.secondsPerDiv = secondsPerDiv;
  settings.channel[0].probeFactor = probe;
  const Record record = AcquireOnce(settings, {ch1, Sine(1000.0, 6.0)});
  return {MeasureChannel(record, channel, settings)};
}

TEST(Measurement, SineOverFivePeriods) {
  const Measured m = Measure(Sine(1000.0, 2.0), 500e-6);
  EXPECT_EQ(m.Header(), 0x0001);
  EXPECT_EQ(m.Valid(), kAllValid);
  EXPECT_NEAR(m[kVmin], -1.0, 1e-3);
  EXPECT_NEAR(m[kVmax], 1.0, 1e-3);
  EXPECT_NEAR(m[kVpp], 2.0, 1e-3);
  EXPECT_NEAR(m[kVhigh], 1.0, 0.01);  // a sine dwells at its peaks: they are its top and base
  EXPECT_NEAR(m[kVlow], -1.0, 0.01);
  EXPECT_NEAR(m[kVhighLow], m[kVhigh] - m[kVlow], 1e-6);
  EXPECT_NEAR(m[kVrms], 1.0 / std::sqrt(2.0), 1e-3);
  EXPECT_NEAR(m[kVavg], 0.0, 1e-3);
  EXPECT_NEAR(m[kPeriod], 1e-3, 1e-7);
  EXPECT_NEAR(m[kWidthPlus], 0.5e-3, 1e-6);
  EXPECT_NEAR(m[kWidthMinus], 0.5e-3, 1e-6);
  EXPECT_NEAR(m[kDuty], 0.5, 1e-3);
  const double riseTime = 2.0 * std::asin(0.8) / (2.0 * std::numbers::pi) * 1e-3;  // 10 % to 90 % of a sine
  EXPECT_NEAR(m[kRise], riseTime, 0.02 * riseTime);
  EXPECT_NEAR(m[kFall], riseTime, 0.02 * riseTime);
  EXPECT_EQ(m.Count(), 4);  // five rising edges in the record
  EXPECT_NEAR(m[kSum], 0.0, 1e-6);
  EXPECT_GE(m[kOverPlus], 0.0f);
  EXPECT_LT(m[kOverPlus], 0.01f);
}

TEST(Measurement, SquareWaveLevelsDutyAndSharpEdges) {
  const Measured m = Measure({Waveform::Square, 1000.0, 1.0, 0.5, 0.0}, 500e-6);
  EXPECT_EQ(m.Valid(), kAllValid);
  EXPECT_NEAR(m[kVlow], 0.0, 1e-6);
  EXPECT_NEAR(m[kVhigh], 1.0, 1e-6);
  EXPECT_NEAR(m[kOverPlus], 0.0, 1e-6);
  EXPECT_NEAR(m[kDuty], 0.5, 1e-3);
  EXPECT_NEAR(m[kPeriod], 1e-3, 1e-7);
  EXPECT_GT(m[kRise], 0.0f);
  EXPECT_LT(m[kRise], 2 * 100e-9);  // within two sample times
  EXPECT_LT(m[kFall], 2 * 100e-9);
  EXPECT_NEAR(m[kVavg], 0.5, 1e-3);
  EXPECT_NEAR(m[kVrms], std::sqrt(0.5), 1e-3);
  EXPECT_NEAR(m[kSum], 0.5 * 10 * 500e-6, 1e-6);

  const Measured noisy = Measure({Waveform::Square, 1000.0, 1.0, 0.5, 0.03}, 500e-6);
  EXPECT_NEAR(noisy[kPeriod], 1e-3, 5e-6);
  EXPECT_NEAR(noisy[kDuty], 0.5, 0.02);
  EXPECT_NEAR(noisy[kVhigh], 1.0, 0.03);
  EXPECT_EQ(noisy.Count(), 4);
}

TEST(Measurement, TriangleHasNoFlatTopSoItsExtremesAreUsed) {
  const Measured m = Measure({Waveform::Triangle, 1000.0, 2.0, 0.0, 0.0}, 500e-6);
  EXPECT_FLOAT_EQ(m[kVhigh], m[kVmax]);
  EXPECT_FLOAT_EQ(m[kVlow], m[kVmin]);
  EXPECT_NEAR(m[kRise], 0.8 * 0.5e-3, 1e-6);
  EXPECT_NEAR(m[kVrms], 1.0 / std::sqrt(3.0), 1e-3);
}

TEST(Measurement, DcSignalHasLevelsButNoTiming) {
  const Measured m = Measure({Waveform::Dc, 0.0, 0.0, 0.75, 0.0}, 500e-6);
  EXPECT_EQ(m.Valid() & kTimingBits, 0u);
  EXPECT_FALSE(m.Has(8) || m.Has(9));  // overshoot needs an amplitude
  EXPECT_EQ(m.Valid() & 0xFFu, 0xFFu);
  EXPECT_TRUE(m.Has(16) && m.Has(17));
  EXPECT_EQ(m.Count(), 0);
  EXPECT_EQ(m[kPeriod], 0.0f);  // invalid fields stay zero
  EXPECT_NEAR(m[kVpp], 0.0, 1e-9);
  EXPECT_NEAR(m[kVavg], 0.75, 1e-9);
  EXPECT_NEAR(m[kVrms], 0.75, 1e-9);
  EXPECT_NEAR(m[kSum], 0.75 * 10 * 500e-6, 1e-9);
}

TEST(Measurement, PeriodNeedsOneWholePeriodInTheRecord) {
  // 1.6 periods: one rising edge but two falling ones.
  Measured m = Measure(Sine(1000.0, 2.0), 160e-6);
  ASSERT_TRUE(m.Has(14));
  EXPECT_NEAR(m[kPeriod], 1e-3, 1e-7);
  EXPECT_EQ(m.Count(), 1);
  m = Measure(Sine(1000.0, 2.0), 80e-6);  // 0.8 period
  EXPECT_FALSE(m.Has(14) || m.Has(15));
  EXPECT_TRUE(m.Has(2));
  EXPECT_NEAR(m[kVpp], 2.0, 1e-3);  // +-0.4 period around the rising crossing holds both peaks
}

TEST(Measurement, ChannelProbeAndBlockLayout) {
  const Measured probed = Measure(Sine(1000.0, 2.0), 500e-6, 0, 10.0);
  EXPECT_NEAR(probed[kVpp], 20.0, 0.01);
  EXPECT_NEAR(probed[kPeriod], 1e-3, 1e-7);  // times are not scaled
  EXPECT_NEAR(Measure(Sine(1000.0, 2.0), 500e-6, 1)[kVpp], 6.0, 0.01);  // CH2 carries 6 Vpp

  AcquisitionSettings settings;
  const Record record = AcquireOnce(settings, {Sine(1000.0, 2.0), Sine(1000.0, 2.0)});
  const auto block = MeasureChannel(record, 0, settings);
  EXPECT_EQ(block[2], 0);
  EXPECT_EQ(block[3], 0);
  for (int i = 84; i < 88; ++i) EXPECT_EQ(block[i], 0) << i;
  EXPECT_EQ(block[28], 0x3F);  // Vmax 1.0f = 0x3F800000, most significant byte first
  EXPECT_EQ(block[29], 0x80);

  for (int channel : {-1, 2}) {
    const Measured none{MeasureChannel(record, channel, settings)};
    EXPECT_EQ(none.Header(), 0x0001);
    EXPECT_EQ(none.Valid(), 0u);
  }
  EXPECT_EQ(Measured{MeasureChannel(Record{}, 0, settings)}.Valid(), 0u);
}

}  // namespace
}  // namespace kvxsim
