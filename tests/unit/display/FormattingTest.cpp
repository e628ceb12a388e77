// Fixed-width readouts, SI-prefixed values and sensitivity labels, exact to the
// byte; every formatter case runs in the C locale and again under a German one.
#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <cstdio>
#include <limits>
#include <random>
#include <string>

#include "display/Formatting.h"

namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

std::string Time(double seconds, bool valid = true) {
  std::string out = "stale";
  FormatTimeValue(valid, seconds, out);
  return out;
}
std::string Frequency(double hertz, bool valid = true) {
  std::string out = "stale";
  FormatFrequencyValue(valid, hertz, out);
  return out;
}
std::string Voltage(double volts, bool valid = true) {
  std::string out = "stale";
  FormatVoltageValue(valid, volts, out);
  return out;
}
std::string Engineering(double value, const char* unit) {
  std::string out = "stale";
  const bool written = FormatEngineering(value, unit, out);
  EXPECT_EQ(written, out != "stale") << value;
  return out;
}
std::string Sensitivity(double volts, int model = 162) {
  std::string out = "stale";
  FormatSensitivity(volts, model, out);
  return out;
}

// Runs each formatter test once per locale; a German desktop must read the same.
class Formatters : public ::testing::TestWithParam<const char*> {
 protected:
  void SetUp() override {
    if (std::setlocale(LC_ALL, GetParam()) == nullptr) GTEST_SKIP() << GetParam() << " is not installed";
    if (std::string(GetParam()) != "C") {
      // Proves the locale really switches printf to a decimal comma.
      char probe[16];
      std::snprintf(probe, sizeof probe, "%.2f", 0.5);
      ASSERT_STREQ(probe, "0,50");
    }
  }
  void TearDown() override { std::setlocale(LC_ALL, "C"); }
};

INSTANTIATE_TEST_SUITE_P(Locales, Formatters, ::testing::Values("C", "de_DE.UTF-8"),
                         [](const auto& info) { return std::string(info.param[0] == 'C' ? "C" : "German"); });

TEST_P(Formatters, TimeValueScalesAndKeepsSevenPlaces) {
  EXPECT_EQ(Time(0), "   0.00 s");
  EXPECT_EQ(Time(-0.0), "   0.00 s");
  EXPECT_EQ(Time(500e-12), "    500 ps");
  EXPECT_EQ(Time(2e-9), "   2.00 ns");
  EXPECT_EQ(Time(20e-9), "   20.0 ns");
  EXPECT_EQ(Time(500e-9), "    500 ns");
  EXPECT_EQ(Time(1e-6), "   1.00 \xB5s");
  EXPECT_EQ(Time(25e-6), "   25.0 \xB5s");
  EXPECT_EQ(Time(static_cast<float>(2e-3)), "   2.00 ms");
  EXPECT_EQ(Time(9.9999e-3), "  10.00 ms");
  EXPECT_EQ(Time(0.5), "    500 ms");
  EXPECT_EQ(Time(1), "   1.00 s");
  EXPECT_EQ(Time(25), "   25.0 s");
  EXPECT_EQ(Time(250), "    250 s");
  EXPECT_EQ(Time(1e-3, false), "   ----");
  EXPECT_EQ(Time(kInf), "   ----");
  EXPECT_EQ(Time(kNaN), "   ----");
}

TEST_P(Formatters, FrequencyValueStopsBelowHundredMegahertz) {
  EXPECT_EQ(Frequency(0.5), "    500 mHz");
  EXPECT_EQ(Frequency(5), "   5.00 Hz");
  EXPECT_EQ(Frequency(50), "   50.0 Hz");
  EXPECT_EQ(Frequency(999.9), "   1000 Hz");
  EXPECT_EQ(Frequency(5e3), "   5.00 kHz");
  EXPECT_EQ(Frequency(50e3), "   50.0 kHz");
  EXPECT_EQ(Frequency(500e3), "    500 kHz");
  EXPECT_EQ(Frequency(5e6), "   5.00 MHz");
  EXPECT_EQ(Frequency(99.9e6), "   99.9 MHz");
  EXPECT_EQ(Frequency(100e6), "   ----");
  EXPECT_EQ(Frequency(2e9), "   ----");
  EXPECT_EQ(Frequency(kInf), "   ----");
  EXPECT_EQ(Frequency(-kInf), "   ----");
  EXPECT_EQ(Frequency(kNaN), "   ----");
  EXPECT_EQ(Frequency(50, false), "   ----");
}

TEST_P(Formatters, VoltageValueTestsMagnitudeAndKeepsSign) {
  EXPECT_EQ(Voltage(0.5), "    500 mV");
  EXPECT_EQ(Voltage(0.0123), "   12.3 mV");
  EXPECT_EQ(Voltage(-0.0123), "  -12.3 mV");
  EXPECT_EQ(Voltage(0.005), "   5.00 mV");
  EXPECT_EQ(Voltage(0), "   0.00 mV");
  EXPECT_EQ(Voltage(-2.5), "  -2.50 V");
  EXPECT_EQ(Voltage(2.125), "   2.12 V");  // an exact tie goes to even, as printf
  EXPECT_EQ(Voltage(9.995), "   9.99 V");  // 9.995 is stored just below
  EXPECT_EQ(Voltage(9.996), "  10.00 V");
  EXPECT_EQ(Voltage(25), "   25.0 V");
  EXPECT_EQ(Voltage(250), "    250 V");
  EXPECT_EQ(Voltage(1500), "   1.50 kV");
  EXPECT_EQ(Voltage(-1500), "  -1.50 kV");
  EXPECT_EQ(Voltage(1, false), "   ----");
  EXPECT_EQ(Voltage(kNaN), "   ----");
  EXPECT_EQ(Voltage(-kInf), "   ----");
}

TEST_P(Formatters, EngineeringPicksThePrefix) {
  EXPECT_EQ(Engineering(0.0005, "s/div"), "500\xB5s/div");
  EXPECT_EQ(Engineering(2e-6, "s"), "2.00\xB5s");
  EXPECT_EQ(Engineering(0, "V"), "0.00nV");
  EXPECT_EQ(Engineering(5e-9, "s"), "5.00ns");
  EXPECT_EQ(Engineering(250e-9, "s"), "250ns");
  EXPECT_EQ(Engineering(0.0123, "V"), "12.3mV");
  EXPECT_EQ(Engineering(-0.0123, "V"), "-12.3mV");
  EXPECT_EQ(Engineering(1, "V"), "1.00V");
  EXPECT_EQ(Engineering(9.995, "V"), "9.99V");
  EXPECT_EQ(Engineering(9.9999, "V"), "10.00V");
  EXPECT_EQ(Engineering(-150, "V"), "-150V");
  EXPECT_EQ(Engineering(2500, "Hz"), "2.50kHz");
  EXPECT_EQ(Engineering(5e6, "Hz"), "5.00MHz");
  EXPECT_EQ(Engineering(50e9, "Hz"), "50.00GHz");
  EXPECT_EQ(Engineering(5e12, "Hz"), "5000.00GHz");
}

TEST_P(Formatters, EngineeringLeavesTextAloneWithoutAValue) {
  EXPECT_EQ(Engineering(1e100, "V"), "stale");
  EXPECT_EQ(Engineering(-1e100, "V"), "stale");
  EXPECT_EQ(Engineering(kInf, "Hz"), "stale");
  EXPECT_EQ(Engineering(kNaN, "Hz"), "stale");
  EXPECT_EQ(Engineering(1e-90, "V"), "0.00nV");
}

TEST_P(Formatters, SensitivityLabels) {
  EXPECT_EQ(Sensitivity(0.005), "5mV");
  EXPECT_EQ(Sensitivity(0.025), "25mV");
  EXPECT_EQ(Sensitivity(0.5), "500mV");
  EXPECT_EQ(Sensitivity(1), "1V");
  EXPECT_EQ(Sensitivity(10), "10V");
  EXPECT_EQ(Sensitivity(2.5, 112), "2.5V");
  EXPECT_EQ(Sensitivity(2.5, 162), "2V");  // printf rounds the tie to even
  EXPECT_EQ(Sensitivity(2.1, 112), "2V");  // the exception is strictly inside 2.1 to 3.0
  EXPECT_EQ(Sensitivity(5, 112), "5V");
}

// to_chars must round exactly as printf does in the C locale, at every width.
TEST(FormatFixed, MatchesPrintfInTheCLocale) {
  std::mt19937_64 random(12345);
  std::uniform_real_distribution<double> exponent(-12, 12);
  std::uniform_int_distribution<int> decimals(0, 3);
  for (int i = 0; i < 20000; ++i) {
    const double value = (i % 2 ? -1 : 1) * std::pow(10.0, exponent(random));
    const int places = decimals(random);
    char expected[512];
    std::snprintf(expected, sizeof expected, "%7.*f", places, value);
    ASSERT_EQ(FormatFixed(value, 7, places), expected) << value;
  }
  // Exact ties of small integers and halves.
  for (int i = -400; i <= 400; ++i) {
    char expected[64];
    std::snprintf(expected, sizeof expected, "%3.0f|%4.2f", i / 2.0, i / 8.0);
    ASSERT_EQ(FormatFixed(i / 2.0, 3, 0) + "|" + FormatFixed(i / 8.0, 4, 2), expected);
  }
}

}  // namespace
