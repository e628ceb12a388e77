#include "display/MeasurementBlock.h"

#include <algorithm>
#include <bit>
#include <cstring>

#include "display/Formatting.h"

namespace {

template <typename Unsigned>
Unsigned ReadBigEndian(const std::uint8_t* bytes) {
  Unsigned value = 0;
  for (std::size_t i = 0; i < sizeof(Unsigned); ++i) value = static_cast<Unsigned>((value << 8) | bytes[i]);
  return value;
}

float ReadReal32(const std::uint8_t* bytes) { return std::bit_cast<float>(ReadBigEndian<std::uint32_t>(bytes)); }
double ReadReal64(const std::uint8_t* bytes) { return std::bit_cast<double>(ReadBigEndian<std::uint64_t>(bytes)); }

struct Real32Field {
  std::size_t offset;
  float MeasurementBlock::*member;
};

// Byte offsets of the single-precision fields.
constexpr Real32Field kReal32Fields[] = {
    {24, &MeasurementBlock::Vmin},
    {28, &MeasurementBlock::Vmax},
    {32, &MeasurementBlock::Vpp},
    {36, &MeasurementBlock::Vlow},
    {40, &MeasurementBlock::Vhigh},
    {44, &MeasurementBlock::Vhighlow},
    {48, &MeasurementBlock::OverPlus},
    {52, &MeasurementBlock::OverMinus},
    {56, &MeasurementBlock::Period},
    {60, &MeasurementBlock::WidthPlus},
    {64, &MeasurementBlock::WidthMinus},
    {68, &MeasurementBlock::DutyCycle},
    {72, &MeasurementBlock::Trise},
    {76, &MeasurementBlock::Tfall},
};

std::string JoinLines(const std::array<std::string, kDisplayedMeasurementCount>& lines) {
  std::string text;
  for (const std::string& line : lines) {
    if (&line != &lines.front()) text += '\n';
    text += line;
  }
  return text;
}

}  // namespace

MeasurementBlock DecodeMeasurementBlock(const std::uint8_t* bytes) {
  MeasurementBlock block;
  block.header = ReadBigEndian<std::uint16_t>(bytes);
  std::copy_n(bytes + 2, block.reserved1.size(), block.reserved1.begin());
  block.MeasurementValid = ReadBigEndian<std::uint32_t>(bytes + 4);
  block.Vrms = ReadReal64(bytes + 8);
  block.Vavg = ReadReal64(bytes + 16);
  for (const Real32Field& field : kReal32Fields) block.*field.member = ReadReal32(bytes + field.offset);
  block.Count = static_cast<std::int32_t>(ReadBigEndian<std::uint32_t>(bytes + 80));
  std::copy_n(bytes + 84, block.reserved2.size(), block.reserved2.begin());
  block.Sum = ReadReal64(bytes + 88);
  return block;
}

std::array<std::uint8_t, kMeasurementBlockSize> HostOrderBytes(const MeasurementBlock& block) {
  std::array<std::uint8_t, kMeasurementBlockSize> bytes{};
  std::memcpy(bytes.data(), &block, bytes.size());
  return bytes;
}

std::optional<MeasurementBlock> DecodeMeasurementBlock(std::span<const std::uint8_t> bytes) {
  if (bytes.size() < kMeasurementBlockSize) return std::nullopt;
  return DecodeMeasurementBlock(bytes.data());
}

MeasurementTexts FormatMeasurementLines(const MeasurementBlock& block,
                                        const std::array<std::string, kDisplayedMeasurementCount>& labels) {
  std::array<std::string, kDisplayedMeasurementCount> values;
  FormatVoltageValue(block.IsValid(Measurement::Vhighlow), block.Vhighlow, values[0]);
  FormatVoltageValue(block.IsValid(Measurement::Vrms), block.Vrms, values[1]);
  FormatVoltageValue(block.IsValid(Measurement::Vavg), block.Vavg, values[2]);
  FormatFrequencyValue(block.FrequencyValid(), block.Frequency(), values[3]);
  FormatTimeValue(block.IsValid(Measurement::Period), block.Period, values[4]);
  return {JoinLines(labels), JoinLines(values)};
}
