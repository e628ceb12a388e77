// The automatic measurements the instrument sends with an acquisition reply,
// and the five-line texts the main panel shows of them.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>

inline constexpr std::size_t kMeasurementBlockSize = 96;

// Bit of each measurement in MeasurementValid; a clear bit means no value.
enum class Measurement : int {
  Vmin = 0,
  Vmax = 1,
  Vpp = 2,
  Vlow = 3,
  Vhigh = 4,
  Vhighlow = 5,
  Vrms = 6,
  Vavg = 7,
  OverPlus = 8,
  OverMinus = 9,
  Trise = 10,
  Tfall = 11,
  WidthPlus = 12,
  WidthMinus = 13,
  Period = 14,
  DutyCycle = 15,
  Count = 16,
  Sum = 17,
};

// The block in host byte order. Volts, seconds, ratios (1.0 = 100 %) and
// volt-seconds, as the instrument measured them.
struct MeasurementBlock {
  std::uint16_t header = 0;  // copied, not interpreted
  std::array<std::uint8_t, 2> reserved1{};
  std::uint32_t MeasurementValid = 0;
  double Vrms = 0;
  double Vavg = 0;
  float Vmin = 0;
  float Vmax = 0;
  float Vpp = 0;
  float Vlow = 0;
  float Vhigh = 0;
  float Vhighlow = 0;
  float OverPlus = 0;
  float OverMinus = 0;
  float Period = 0;
  float WidthPlus = 0;
  float WidthMinus = 0;
  float DutyCycle = 0;
  float Trise = 0;
  float Tfall = 0;
  std::int32_t Count = 0;
  std::array<std::uint8_t, 4> reserved2{};
  double Sum = 0;

  bool IsValid(Measurement measurement) const {
    return ((MeasurementValid >> static_cast<int>(measurement)) & 1u) != 0;
  }
  // Not sent by the instrument: the reciprocal of the period in single
  // precision, valid with the period; a zero period gives infinity.
  float Frequency() const { return 1.0f / Period; }
  bool FrequencyValid() const { return IsValid(Measurement::Period); }
};

// The decoded block lies at the wire offsets, each field in host order.
static_assert(sizeof(MeasurementBlock) == kMeasurementBlockSize);
static_assert(offsetof(MeasurementBlock, Vrms) == 8 && offsetof(MeasurementBlock, Vmin) == 24 &&
              offsetof(MeasurementBlock, Count) == 80 && offsetof(MeasurementBlock, Sum) == 88);
// The block's 96 bytes with every field in host byte order.
std::array<std::uint8_t, kMeasurementBlockSize> HostOrderBytes(const MeasurementBlock& block);

// Decodes the kMeasurementBlockSize big-endian bytes at `bytes`.
MeasurementBlock DecodeMeasurementBlock(const std::uint8_t* bytes);
// As above, or nothing when fewer than kMeasurementBlockSize bytes are given.
std::optional<MeasurementBlock> DecodeMeasurementBlock(std::span<const std::uint8_t> bytes);

// The displayed lines, top to bottom: Vhigh-low, Vrms, Vavg, F, T.
inline constexpr std::size_t kDisplayedMeasurementCount = 5;
// Position of each displayed line's label in the message catalogue's list of
// measurement labels (which starts "Vmin =", "Vmax =", ...).
inline constexpr std::array<int, kDisplayedMeasurementCount> kDisplayedMeasurementLabels = {5, 6, 7, 15, 14};

// The two side-by-side multi-line texts, lines separated by a line feed.
struct MeasurementTexts {
  std::string labels;
  std::string values;
};

// `labels` are the five labels of the current language, in display order.
MeasurementTexts FormatMeasurementLines(const MeasurementBlock& block,
                                        const std::array<std::string, kDisplayedMeasurementCount>& labels);
