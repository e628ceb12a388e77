#include "display/Formatting.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>

namespace {

constexpr int kReadoutWidth = 7;
// The model with a 2.5 V/div step, whose label must not round to "2V" or "3V".
constexpr int kModelWithHalfVoltStep = 112;

// Fewer decimals as the number grows, so the readout keeps its width:
// 2 below 10, 1 below 100, none otherwise.
int TieredDecimals(double scaled) {
  const double magnitude = std::fabs(scaled);
  if (magnitude < 10) return 2;
  if (magnitude < 100) return 1;
  return 0;
}

void WriteReadout(double number, int decimals, std::string_view unit, std::string& out) {
  out = FormatFixed(number, kReadoutWidth, decimals);
  out += ' ';
  out += unit;
}

void WriteTieredReadout(double scaled, std::string_view unit, std::string& out) {
  WriteReadout(scaled, TieredDecimals(scaled), unit, out);
}

void WriteInvalid(std::string& out) { out = kInvalidValueText; }

struct SiPrefix {
  double below;  // applies while |value| is below this
  double scale;  // multiplier, applied as is so the rounding is that of the product
  std::string_view letter;
};

// "\xB5" is the Latin-1 micro sign.
constexpr std::array<SiPrefix, 7> kSiPrefixes = {{
    {1e-6, 1e9, "n"},
    {0.001, 1e6, "\xB5"},
    {1, 1000, "m"},
    {1000, 1, ""},
    {1e6, 0.001, "k"},
    {1e9, 1e-6, "M"},
    {1e100, 1e-9, "G"},
}};

}  // namespace

std::string FormatFixed(double value, int width, int decimals) {
  // Room for the largest double in fixed notation plus sign, point and decimals.
  std::array<char, 400> buffer;
  decimals = std::clamp(decimals, 0, 40);
  const auto result =
      std::to_chars(buffer.data(), buffer.data() + buffer.size(), value, std::chars_format::fixed, decimals);
  if (result.ec != std::errc()) return {};
  std::string text(buffer.data(), result.ptr);
  if (static_cast<int>(text.size()) < width) text.insert(0, static_cast<std::size_t>(width) - text.size(), ' ');
  return text;
}

void FormatTimeValue(bool valid, double seconds, std::string& out) {
  if (!valid || !std::isfinite(seconds)) return WriteInvalid(out);
  if (seconds < 1e-6) {
    const double nanoseconds = seconds * 1e9;
    // A zero period reads in seconds, not as "0.00 ns".
    if (nanoseconds == 0) return WriteReadout(0, 2, "s", out);
    if (nanoseconds < 1) return WriteReadout(nanoseconds * 1000, 0, "ps", out);
    return WriteTieredReadout(nanoseconds, "ns", out);
  }
  if (seconds < 0.001) return WriteTieredReadout(seconds * 1e6, "\xB5" "s", out);
  if (seconds < 1) return WriteTieredReadout(seconds * 1000, "ms", out);
  WriteTieredReadout(seconds, "s", out);
}

void FormatFrequencyValue(bool valid, double hertz, std::string& out) {
  if (!valid || !std::isfinite(hertz)) return WriteInvalid(out);
  if (hertz < 1000) {
    if (hertz < 1) return WriteReadout(hertz * 1000, 0, "mHz", out);
    return WriteTieredReadout(hertz, "Hz", out);
  }
  if (hertz < 1e6) return WriteTieredReadout(hertz * 0.001, "kHz", out);
  if (hertz < 1e9) {
    const double megahertz = hertz * 1e-6;
    // The instrument cannot measure 100 MHz and above: no readout rather than a wrong one.
    if (megahertz < 100) return WriteTieredReadout(megahertz, "MHz", out);
  }
  WriteInvalid(out);
}

void FormatVoltageValue(bool valid, double volts, std::string& out) {
  if (!valid || !std::isfinite(volts)) return WriteInvalid(out);
  const double magnitude = std::fabs(volts);
  if (magnitude < 1) return WriteTieredReadout(volts * 1000, "mV", out);
  if (magnitude < 1000) return WriteTieredReadout(volts, "V", out);
  WriteReadout(volts * 0.001, 2, "kV", out);
}

bool FormatEngineering(double value, std::string_view unit, std::string& out) {
  const double magnitude = std::fabs(value);
  for (const SiPrefix& prefix : kSiPrefixes) {
    if (!(magnitude < prefix.below)) continue;
    const double scaled = value * prefix.scale;
    // Giga is the last prefix: larger values keep two decimals and grow wider.
    const int decimals = prefix.letter == "G" ? 2 : TieredDecimals(scaled);
    out = FormatFixed(scaled, decimals == 0 ? 3 : 4, decimals);
    out += prefix.letter;
    out += unit;
    return true;
  }
  return false;
}

void FormatSensitivity(double volts, int modelNumber, std::string& out) {
  if (std::fabs(volts) < 1) {
    out = FormatFixed(volts * 1000, 0, 0) + "mV";
    return;
  }
  const bool halfVoltStep = modelNumber == kModelWithHalfVoltStep && volts > 2.1 && volts < 3.0;
  out = FormatFixed(volts, 0, halfVoltStep ? 1 : 0) + "V";
}
