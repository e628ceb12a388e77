// Decoding the instrument's big-endian measurement block and the five lines
// the panel shows of it.
#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <initializer_list>
#include <vector>

#include "display/MeasurementBlock.h"

namespace {

using Bytes = std::array<std::uint8_t, kMeasurementBlockSize>;

void Put(Bytes& block, std::size_t offset, std::initializer_list<std::uint8_t> bytes) {
  for (std::uint8_t byte : bytes) block[offset++] = byte;
}

constexpr std::uint32_t Bit(Measurement measurement) { return 1u << static_cast<int>(measurement); }

// The single-precision fields, each given a different whole number so that a
// wrong offset shows.
struct FloatCase {
  std::size_t offset;
  std::uint8_t high, next;  // IEEE 754 single: only the top two bytes are set
  float expected;
  float MeasurementBlock::*member;
};
const FloatCase kFloatCases[] = {
    {24, 0x3F, 0x80, 1.0f, &MeasurementBlock::Vmin},      {28, 0x40, 0x00, 2.0f, &MeasurementBlock::Vmax},
    {32, 0x40, 0x40, 3.0f, &MeasurementBlock::Vpp},       {36, 0x40, 0x80, 4.0f, &MeasurementBlock::Vlow},
    {40, 0x40, 0xA0, 5.0f, &MeasurementBlock::Vhigh},     {44, 0x40, 0xC0, 6.0f, &MeasurementBlock::Vhighlow},
    {48, 0x40, 0xE0, 7.0f, &MeasurementBlock::OverPlus},  {52, 0x41, 0x00, 8.0f, &MeasurementBlock::OverMinus},
    {56, 0x41, 0x10, 9.0f, &MeasurementBlock::Period},    {60, 0x41, 0x20, 10.0f, &MeasurementBlock::WidthPlus},
    {64, 0x41, 0x30, 11.0f, &MeasurementBlock::WidthMinus}, {68, 0x41, 0x40, 12.0f, &MeasurementBlock::DutyCycle},
    {72, 0x41, 0x50, 13.0f, &MeasurementBlock::Trise},    {76, 0x41, 0x60, 14.0f, &MeasurementBlock::Tfall},
};

TEST(MeasurementBlock, DecodesEveryFieldFromBigEndian) {
  Bytes bytes{};
  Put(bytes, 0, {0x12, 0x34, 0xAA, 0xBB});
  Put(bytes, 4, {0x00, 0x02, 0x40, 0x60});                          // bits 17, 14, 6, 5
  Put(bytes, 8, {0x3F, 0xE0, 0, 0, 0, 0, 0, 0});                    // 0.5
  Put(bytes, 16, {0xC0, 0x04, 0, 0, 0, 0, 0, 0});                   // -2.5
  for (const FloatCase& field : kFloatCases) Put(bytes, field.offset, {field.high, field.next, 0, 0});
  Put(bytes, 80, {0xFF, 0xFF, 0xFF, 0xFE});                         // -2
  Put(bytes, 84, {0x01, 0x02, 0x03, 0x04});
  Put(bytes, 88, {0x3F, 0x50, 0x62, 0x4D, 0xD2, 0xF1, 0xA9, 0xFC});  // 0.001

  const MeasurementBlock block = DecodeMeasurementBlock(bytes.data());
  EXPECT_EQ(block.header, 0x1234);
  EXPECT_EQ(block.reserved1, (std::array<std::uint8_t, 2>{0xAA, 0xBB}));
  EXPECT_EQ(block.MeasurementValid, 0x00024060u);
  EXPECT_EQ(block.Vrms, 0.5);
  EXPECT_EQ(block.Vavg, -2.5);
  for (const FloatCase& field : kFloatCases) EXPECT_EQ(block.*field.member, field.expected) << field.offset;
  EXPECT_EQ(block.Count, -2);
  EXPECT_EQ(block.reserved2, (std::array<std::uint8_t, 4>{1, 2, 3, 4}));
  EXPECT_EQ(block.Sum, 0.001);

  EXPECT_TRUE(block.IsValid(Measurement::Vhighlow));
  EXPECT_TRUE(block.IsValid(Measurement::Vrms));
  EXPECT_TRUE(block.IsValid(Measurement::Period));
  EXPECT_TRUE(block.IsValid(Measurement::Sum));
  EXPECT_TRUE(block.FrequencyValid());
  EXPECT_FALSE(block.IsValid(Measurement::Vavg));
  EXPECT_FALSE(block.IsValid(Measurement::Vhigh));
  EXPECT_FALSE(block.IsValid(Measurement::Count));
  EXPECT_EQ(block.Frequency(), 1.0f / 9.0f);
}

TEST(MeasurementBlock, ShortInputIsRefused) {
  const std::vector<std::uint8_t> shortBlock(kMeasurementBlockSize - 1, 0x3F);
  EXPECT_FALSE(DecodeMeasurementBlock(std::span<const std::uint8_t>(shortBlock)).has_value());
  std::vector<std::uint8_t> longer(kMeasurementBlockSize + 10, 0);
  longer[1] = 0x07;
  const auto block = DecodeMeasurementBlock(std::span<const std::uint8_t>(longer));
  ASSERT_TRUE(block.has_value());
  EXPECT_EQ(block->header, 7);
}

const std::array<std::string, kDisplayedMeasurementCount> kLabels = {"Vhigh-low =", "Vrms =", "Vavg =", "F    =",
                                                                     "T    ="};
const char kJoinedLabels[] = "Vhigh-low =\nVrms =\nVavg =\nF    =\nT    =";

MeasurementBlock BlockWithPeriod(float period) {
  MeasurementBlock block;
  block.MeasurementValid = Bit(Measurement::Period);
  block.Period = period;
  return block;
}

TEST(MeasurementLines, AllFiveInTableOrder) {
  MeasurementBlock block;
  block.MeasurementValid = Bit(Measurement::Vhighlow) | Bit(Measurement::Vrms) | Bit(Measurement::Vavg) |
                           Bit(Measurement::Period);
  block.Vhighlow = 1.0f;
  block.Vrms = 0.5;
  block.Vavg = -2.5;
  block.Vhigh = 7.0f;  // received but not displayed
  block.Period = 2e-3f;
  const MeasurementTexts texts = FormatMeasurementLines(block, kLabels);
  EXPECT_EQ(texts.labels, kJoinedLabels);
  // 1 / T falls just below 500 and so takes the form without decimals.
  EXPECT_EQ(texts.values, "   1.00 V\n    500 mV\n  -2.50 V\n    500 Hz\n   2.00 ms");
}

TEST(MeasurementLines, EachLineFollowsItsOwnValidityBit) {
  MeasurementBlock block;
  block.Vhighlow = 1.0f;
  block.Vrms = 0.5;
  block.Vavg = -2.5;
  block.Period = 2e-3f;
  EXPECT_EQ(FormatMeasurementLines(block, kLabels).values, "   ----\n   ----\n   ----\n   ----\n   ----");
  EXPECT_EQ(FormatMeasurementLines(block, kLabels).labels, kJoinedLabels);
  block.MeasurementValid = Bit(Measurement::Vrms);
  EXPECT_EQ(FormatMeasurementLines(block, kLabels).values, "   ----\n    500 mV\n   ----\n   ----\n   ----");
  block.MeasurementValid = ~Bit(Measurement::Period) & 0x3FFFFu;
  EXPECT_EQ(FormatMeasurementLines(block, kLabels).values, "   1.00 V\n    500 mV\n  -2.50 V\n   ----\n   ----");
}

TEST(MeasurementLines, PeriodAndFrequencyEdges) {
  EXPECT_EQ(FormatMeasurementLines(BlockWithPeriod(0.0f), kLabels).values,
            "   ----\n   ----\n   ----\n   ----\n   0.00 s");
  EXPECT_EQ(FormatMeasurementLines(BlockWithPeriod(20e-9f), kLabels).values,
            "   ----\n   ----\n   ----\n   50.0 MHz\n   20.0 ns");
  // 200 MHz is beyond what the instrument measures.
  EXPECT_EQ(FormatMeasurementLines(BlockWithPeriod(5e-9f), kLabels).values,
            "   ----\n   ----\n   ----\n   ----\n   5.00 ns");
}

}  // namespace
