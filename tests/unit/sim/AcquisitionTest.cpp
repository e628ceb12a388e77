#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "AcquisitionTestSupport.h"
#include "sim/Acquisition.h"

namespace kvxsim {
namespace {

using test::AcquireOnce;
using test::Sine;

const std::array<SignalSpec, 2> kTwoSines{Sine(1000.0, 2.0), Sine(1000.0, 2.0)};

// The crossing of `level` (input volts) sits between points T-1 and T.
void ExpectCrossingAt(const std::vector<double>& volts, int t, double level, bool rising) {
  ASSERT_GT(t, 0);
  const double before = volts[t - 1];
  const double at = volts[t];
  if (rising) {
    EXPECT_LT(before, level);
    EXPECT_GE(at, level - 1e-9);
  } else {
    EXPECT_GT(before, level);
    EXPECT_LE(at, level + 1e-9);
  }
}

TEST(Acquisition, CodesFollowSensitivityPositionAndClipping) {
  AcquisitionSettings settings;  // 0.5 V/div, 100 us/div
  Record r = AcquireOnce(settings, kTwoSines);
  ASSERT_EQ(r.codes[0].size(), static_cast<std::size_t>(kRecordPoints));
  ASSERT_EQ(r.volts[0].size(), static_cast<std::size_t>(kRecordPoints));
  auto [lo, hi] = std::minmax_element(r.codes[0].begin(), r.codes[0].end());
  // 2 Vpp at 0.5 V/div spans +-2 divisions: 128 +- 63.5 codes.
  EXPECT_NEAR(*lo, 64, 1);
  EXPECT_NEAR(*hi, 192, 1);

  settings.channel[0].verticalOffset = 22;  // one division up
  settings.channel[0].probeFactor = 10.0;
  r = AcquireOnce(settings, kTwoSines);
  std::tie(lo, hi) = std::minmax_element(r.codes[0].begin(), r.codes[0].end());
  EXPECT_NEAR(*lo, 64 + 32, 1);
  EXPECT_NEAR(*hi, 192 + 32, 1);
  const auto [vlo, vhi] = std::minmax_element(r.volts[0].begin(), r.volts[0].end());
  EXPECT_NEAR(*vlo, -10.0, 1e-3);  // readings carry the probe factor, the screen does not
  EXPECT_NEAR(*vhi, 10.0, 1e-3);

  r = AcquireOnce(settings, {Sine(1000.0, 20.0), kTwoSines[1]});
  std::tie(lo, hi) = std::minmax_element(r.codes[0].begin(), r.codes[0].end());
  EXPECT_EQ(*lo, 0);
  EXPECT_EQ(*hi, 255);
}

TEST(Acquisition, TriggerPutsTheCrossingAtTheTriggerPoint) {
  struct Case {
    int horizontalOffset, level, position, slope;
    double probe;
  };
  for (const Case& c : {Case{-25000, 0, 0, 0, 1.0}, Case{-25000, 0, 0, 1, 1.0}, Case{-10000, 11, 0, 0, 1.0},
                        Case{-40000, 11, 0, 1, 10.0}, Case{-30000, 20, 11, 0, 1.0}, Case{-49999, -30, -11, 1, 1.0}}) {
    SCOPED_TRACE(testing::Message() << "offset " << c.horizontalOffset << " level " << c.level << " slope " << c.slope);
    for (Waveform w : {Waveform::Sine, Waveform::Triangle}) {
      AcquisitionSettings settings;
      settings.horizontalOffset = c.horizontalOffset;
      settings.channel[0].triggerLevel = c.level;
      settings.channel[0].verticalOffset = c.position;
      settings.channel[0].triggerSlope = c.slope;
      settings.channel[0].probeFactor = c.probe;
      settings.triggerMode = 1;
      settings.secondsPerDiv = 200e-6;
      const Record r = AcquireOnce(settings, {SignalSpec{w, 1000.0, 2.0, 0.0, 0.0}, kTwoSines[1]}, 0.123);
      ASSERT_TRUE(r.triggered);
      // The level counts from the input's zero whatever the vertical position.
      const double inputLevel = c.level / 22.0 * 0.5;
      std::vector<double> input = r.volts[0];
      for (double& v : input) v /= c.probe;
      const int t = std::max(1, -c.horizontalOffset);
      ExpectCrossingAt(input, t, inputLevel, c.slope == 0);
    }
  }
}

TEST(Acquisition, TriggerOnTheSecondChannelAndDespiteNoiseAndAcCoupling) {
  AcquisitionSettings settings;
  settings.triggerSource = 1;
  settings.triggerMode = 1;
  settings.channel[1].coupling = 0;  // the 3 V offset is blocked, so level 0 crosses
  const Record clean = AcquireOnce(settings, {kTwoSines[0], Sine(2500.0, 1.0, 3.0)}, 0.5);
  ASSERT_TRUE(clean.triggered);
  ExpectCrossingAt(clean.volts[1], 25000, 0.0, true);

  // Noise rides on the same, still aligned record.
  const Record noisy = AcquireOnce(settings, {kTwoSines[0], Sine(2500.0, 1.0, 3.0, 0.05)}, 0.5);
  ASSERT_TRUE(noisy.triggered);
  double squares = 0.0;
  for (int i = 0; i < kRecordPoints; ++i) squares += std::pow(noisy.volts[1][i] - clean.volts[1][i], 2);
  EXPECT_NEAR(std::sqrt(squares / kRecordPoints), 0.05, 0.003);
}

TEST(Acquisition, ChannelsShareOneClockSoTheOtherChannelIsStable) {
  AcquisitionSettings settings;
  const std::array<SignalSpec, 2> signals{Sine(1000.0, 2.0), Sine(3000.0, 1.0)};
  const Record a = AcquireOnce(settings, signals, 0.0);
  const Record b = AcquireOnce(settings, signals, 12.3456789);
  ASSERT_TRUE(a.triggered && b.triggered);
  for (int i : {0, 12345, 25000, 49999}) {
    EXPECT_NEAR(a.volts[0][i], b.volts[0][i], 1e-6);
    EXPECT_NEAR(a.volts[1][i], b.volts[1][i], 1e-4);  // a harmonic keeps its phase to the trigger
  }
}

TEST(Acquisition, WithoutATriggerAutoFreeRunsAndNormalOrSingleWait) {
  AcquisitionSettings settings;
  settings.channel[0].triggerLevel = 88;  // 4 divisions = 2 V, above the 1 V peak
  const Record a = AcquireOnce(settings, kTwoSines, 0.0);
  const Record b = AcquireOnce(settings, kTwoSines, 0.0003);
  ASSERT_EQ(a.volts[0].size(), static_cast<std::size_t>(kRecordPoints));
  EXPECT_FALSE(a.triggered);
  EXPECT_GT(std::abs(a.volts[0][0] - b.volts[0][0]), 0.1);  // the phase moves with time

  for (int mode : {1, 2}) {
    settings.triggerMode = mode;
    std::mt19937_64 rng(1);
    Record kept = a;
    EXPECT_FALSE(Acquire(settings, kTwoSines, 0.0, rng, kept));
    EXPECT_EQ(kept.volts[0], a.volts[0]);  // unchanged
    EXPECT_FALSE(Acquire(settings, {SignalSpec{Waveform::Dc, 0.0, 0.0, 1.0, 0.0}, kTwoSines[1]}, 0.0, rng, kept));
  }

  settings.triggerSource = 2;  // no source: always runs, never triggered
  std::mt19937_64 rng(1);
  Record r;
  EXPECT_TRUE(Acquire(settings, kTwoSines, 0.0, rng, r));
  EXPECT_FALSE(r.triggered);
}

TEST(Acquisition, CouplingAndWaveforms) {
  AcquisitionSettings settings;
  settings.secondsPerDiv = 500e-6;  // five whole periods
  const std::array<SignalSpec, 2> signals{Sine(1000.0, 2.0, 1.0), SignalSpec{Waveform::Square, 1000.0, 1.0, 0.2}};
  auto mean = [](const std::vector<double>& v) {
    double sum = 0.0;
    for (double x : v) sum += x;
    return sum / v.size();
  };
  Record r = AcquireOnce(settings, signals);
  EXPECT_NEAR(mean(r.volts[0]), 1.0, 1e-3);
  EXPECT_NEAR(mean(r.volts[1]), 0.2, 1e-2);
  for (double v : r.volts[1]) ASSERT_TRUE(std::abs(v - 0.7) < 1e-12 || std::abs(v + 0.3) < 1e-12) << v;

  settings.channel[0].coupling = 0;
  settings.channel[1].coupling = 2;
  r = AcquireOnce(settings, signals);
  EXPECT_NEAR(mean(r.volts[0]), 0.0, 1e-3);
  EXPECT_NEAR(*std::max_element(r.volts[0].begin(), r.volts[0].end()), 1.0, 1e-3);
  EXPECT_TRUE(std::all_of(r.volts[1].begin(), r.volts[1].end(), [](double v) { return v == 0.0; }));
  EXPECT_TRUE(std::all_of(r.codes[1].begin(), r.codes[1].end(), [](std::uint8_t c) { return c == 128; }));
}

TEST(Acquisition, SameSeedSameRecordAndOutOfRangeSettingsStaySane) {
  AcquisitionSettings settings;
  const std::array<SignalSpec, 2> noisy{Sine(1000.0, 2.0, 0.0, 0.1), Sine(500.0, 1.0, 0.0, 0.2)};
  EXPECT_EQ(AcquireOnce(settings, noisy, 1.0, 7).volts, AcquireOnce(settings, noisy, 1.0, 7).volts);
  EXPECT_NE(AcquireOnce(settings, noisy, 1.0, 7).volts, AcquireOnce(settings, noisy, 1.0, 8).volts);

  settings.horizontalOffset = -80000;  // beyond the record: trigger pinned to its last point
  ExpectCrossingAt(AcquireOnce(settings, kTwoSines).volts[0], kRecordPoints - 1, 0.0, true);
  settings.horizontalOffset = 5000;
  const Record early = AcquireOnce(settings, kTwoSines);
  EXPECT_NEAR(early.volts[0][0], 0.0, 1e-3);
  settings.secondsPerDiv = 0.0;
  settings.channel[0].voltsPerDiv = 0.0;
  const Record frozen = AcquireOnce(settings, kTwoSines);
  ASSERT_EQ(frozen.codes[0].size(), static_cast<std::size_t>(kRecordPoints));
  EXPECT_TRUE(std::all_of(frozen.volts[0].begin(), frozen.volts[0].end(),
                          [&](double v) { return v == frozen.volts[0][0]; }));
}

}  // namespace
}  // namespace kvxsim
