// The text header of an acquisition frame: which fields are hexadecimal,
// where the binary data starts, and what does not parse.
#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <span>
#include <string>

#include "acquisition/FrameHeader.h"

namespace {

std::optional<FrameHeader> Parse(const std::string& text) {
  return ParseFrameHeader(std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()));
}

TEST(FrameHeaderTest, FieldsOneAndSixAreHexadecimalTheOthersDecimal) {
  const std::string header = "1F,50000,5000,12,1,A,5000,65492,-32769,1,-27,25000,5,1,0,";
  const auto parsed = Parse(header + "12,34,56,");
  ASSERT_TRUE(parsed);
  EXPECT_EQ(parsed->FrameFlags, 0x1F);
  EXPECT_EQ(parsed->ChannelMask, 0xA);
  EXPECT_EQ(parsed->PointsPerChannel, 5000);
  EXPECT_EQ(parsed->VerticalPosition[0], -44) << "positions keep sixteen bits";
  EXPECT_EQ(parsed->VerticalPosition[1], 32767);
  EXPECT_EQ(parsed->TriggerSource, 1);
  EXPECT_EQ(parsed->TriggerLevel, -27);
  EXPECT_EQ(parsed->TriggerPosition, 25000);
  EXPECT_EQ(parsed->AcquisitionState, 5);
  EXPECT_EQ(parsed->RunStop, 1);
  EXPECT_EQ(parsed->length, header.size()) << "the data starts right after the fifteenth comma";
}

TEST(FrameHeaderTest, AnyNonZeroRunStopMeansStopped) {
  const struct {
    const char* field;
    int runStop;
  } rows[] = {{"0", 0}, {"1", 1}, {"65536", 1}, {"65537", 1}, {"-1", 1}, {"2147483647", 1}};
  for (const auto& row : rows) {
    const auto parsed = Parse(std::string("1,0,0,0,0,3,2500,0,0,0,0,0,6,") + row.field + ",0,");
    ASSERT_TRUE(parsed) << row.field;
    EXPECT_EQ(parsed->RunStop, row.runStop) << row.field;
  }
}

TEST(FrameHeaderTest, MalformedHeadersDoNotParse) {
  const struct {
    const char* name;
    std::string text;
  } rows[] = {
      {"fourteen fields", "1,0,0,0,0,3,2500,0,0,0,0,0,6,0,"},
      {"empty field", "1,0,0,,0,3,2500,0,0,0,0,0,6,0,0,"},
      {"letters in a decimal field", "1,0,0,0,0,3,25x0,0,0,0,0,0,6,0,0,"},
      {"hexadecimal digit in a decimal field", "1,0,0,0,0,3,A,0,0,0,0,0,6,0,0,"},
      {"not a hexadecimal number", "G,0,0,0,0,3,2500,0,0,0,0,0,6,0,0,"},
      {"number too large", "1,0,0,0,0,3,99999999999,0,0,0,0,0,6,0,0,"},
      {"binary where the header should be", std::string("\x80\x80\x80,", 4)},
      {"fifteenth comma beyond the frame", "1,0,0,0,0,3,2500,0,0,0,0,0,6,0,0"},
      {"nothing", ""},
  };
  for (const auto& row : rows) EXPECT_FALSE(Parse(row.text)) << row.name;
}

}  // namespace
