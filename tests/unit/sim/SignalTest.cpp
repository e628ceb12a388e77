#include "sim/Signal.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

namespace kvxsim {
namespace {

TEST(Signal, CouplingKeepsRemovesOrGroundsTheSignal) {
  const SignalSpec input{Waveform::Sine, 1000.0, 2.0, 1.5, 0.1};
  const CoupledSignal ac = ApplyCoupling(input, 0);
  EXPECT_EQ(ac.mean, 0.0);
  EXPECT_EQ(ac.halfAmplitude, 1.0);
  EXPECT_EQ(ac.noiseVrms, 0.1);
  EXPECT_EQ(ApplyCoupling(input, 1).mean, 1.5);
  const CoupledSignal ground = ApplyCoupling(input, 2);
  EXPECT_FALSE(IsVarying(ground));
  EXPECT_EQ(ground.mean, 0.0);
  EXPECT_EQ(ground.noiseVrms, 0.0);
  // DC through AC coupling is nothing; a sine of 0 Hz is flat at its offset.
  EXPECT_EQ(ApplyCoupling({Waveform::Dc, 0.0, 0.0, 3.0, 0.0}, 0).mean, 0.0);
  const CoupledSignal still = ApplyCoupling({Waveform::Sine, 0.0, 2.0, 0.7, 0.0}, 1);
  EXPECT_FALSE(IsVarying(still));
  EXPECT_EQ(still.mean, 0.7);
  EXPECT_FALSE(IsVarying(ApplyCoupling({Waveform::None, 1e3, 2.0, 0.7, 0.0}, 1)));
}

TEST(Signal, CrossingPhaseLandsOnTheLevelWithTheRightSlope) {
  for (Waveform w : {Waveform::Sine, Waveform::Triangle, Waveform::Square}) {
    for (double amplitude : {2.0, -2.0}) {
      const CoupledSignal s = ApplyCoupling({w, 100.0, amplitude, 0.5, 0.0}, 1);
      for (double level : {-0.3, 0.5, 1.2}) {
        for (int slope : {0, 1}) {
          SCOPED_TRACE(testing::Message() << int(w) << " amp " << amplitude << " level " << level << " slope " << slope);
          const auto phase = CrossingPhase(s, level, slope);
          ASSERT_TRUE(phase.has_value());
          ASSERT_GE(*phase, 0.0);
          ASSERT_LT(*phase, 1.0);
          const double before = s.mean + s.halfAmplitude * WaveShape(w, *phase - 1e-6);
          const double after = s.mean + s.halfAmplitude * WaveShape(w, *phase + 1e-6);
          if (slope == 0) {
            EXPECT_LT(before, level + 1e-9);
            EXPECT_GT(after, level - 1e-9);
          } else {
            EXPECT_GT(before, level - 1e-9);
            EXPECT_LT(after, level + 1e-9);
          }
          if (w != Waveform::Square) {
            EXPECT_NEAR(s.mean + s.halfAmplitude * WaveShape(w, *phase), level, 1e-9);
          }
        }
      }
      // Peaks are touched, not crossed; beyond them there is nothing.
      EXPECT_FALSE(CrossingPhase(s, 1.5, 0).has_value());
      EXPECT_FALSE(CrossingPhase(s, -0.6, 1).has_value());
    }
  }
  EXPECT_FALSE(CrossingPhase(ApplyCoupling({Waveform::Dc, 0.0, 0.0, 0.0, 0.0}, 1), 0.0, 0).has_value());
}

TEST(Signal, FastSineMatchesDirectEvaluationOverAWholeRecord) {
  const CoupledSignal s = ApplyCoupling({Waveform::Sine, 1.0, 3.0, 0.25, 0.0}, 1);
  std::vector<double> out(kRecordPoints);
  const double first = 0.37;
  const double step = 0.001234567;
  Synthesize(s, first, step, out);
  double worst = 0.0;
  for (int i = 0; i < kRecordPoints; ++i) {
    const double expected = 0.25 + 1.5 * std::sin(2.0 * std::numbers::pi * (first + i * step));
    worst = std::max(worst, std::abs(out[i] - expected));
  }
  EXPECT_LT(worst, 1e-9);
}

TEST(Signal, NoiseIsGaussianWithTheRequestedRmsAndReproducible) {
  std::vector<double> a(200000, 0.0);
  std::vector<double> b(a.size(), 0.0);
  std::mt19937_64 rngA(42), rngB(42);
  AddNoise(0.1, rngA, a);
  AddNoise(0.1, rngB, b);
  EXPECT_EQ(a, b);
  double sum = 0.0, squares = 0.0;
  int beyondOneSigma = 0;
  for (double x : a) {
    sum += x;
    squares += x * x;
    if (std::abs(x) > 0.1) ++beyondOneSigma;
  }
  EXPECT_NEAR(sum / a.size(), 0.0, 0.002);
  EXPECT_NEAR(std::sqrt(squares / a.size()), 0.1, 0.002);
  EXPECT_NEAR(static_cast<double>(beyondOneSigma) / a.size(), 0.3173, 0.01);  // Gaussian, not uniform
  std::mt19937_64 other(43);
  AddNoise(0.1, other, b);
  EXPECT_NE(a, b);
}

TEST(Signal, QuantiseRoundsClipsAndIgnoresNaN) {
  EXPECT_EQ(QuantiseDivisions(0.0, 128, 254.0 / 8, 255), 128);
  EXPECT_EQ(QuantiseDivisions(2.0, 128, 254.0 / 8, 255), 192);  // 191.5 rounds up
  EXPECT_EQ(QuantiseDivisions(-4.0, 128, 254.0 / 8, 255), 1);
  EXPECT_EQ(QuantiseDivisions(5.0, 128, 254.0 / 8, 255), 255);
  EXPECT_EQ(QuantiseDivisions(-1e300, 2048, 64.0, 4095), 0);
  EXPECT_EQ(QuantiseDivisions(std::nan(""), 2048, 64.0, 4095), 2048);
}

}  // namespace
}  // namespace kvxsim
