#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <string>

#include "AcquisitionTestSupport.h"
#include "sim/Acquisition.h"

namespace kvxsim {
namespace {

using test::AcquireOnce;
using test::Sine;

constexpr std::size_t kHostFrameBuffer = 45008;

struct ParsedFrame {
  std::array<long, 15> field{};
  std::size_t headerLength = 0;
  std::vector<std::uint8_t> body;  // the L bytes of the block
};

// Reads "#" n L, the L bytes and "\r\n" as the host does, then the fifteen
// comma-terminated header fields (1 and 6 hexadecimal).
testing::AssertionResult ParseReply(const std::vector<std::uint8_t>& reply, ParsedFrame& out) {
  if (reply.size() < 4 || reply[0] != '#' || reply[1] < '1' || reply[1] > '9') {
    return testing::AssertionFailure() << "bad prefix";
  }
  const std::size_t digits = reply[1] - '0';
  if (reply.size() < 2 + digits) return testing::AssertionFailure() << "short length";
  const std::size_t length = std::stoul(std::string(reply.begin() + 2, reply.begin() + 2 + digits));
  if (reply.size() != 2 + digits + length + 2) return testing::AssertionFailure() << "size " << reply.size();
  if (reply[reply.size() - 2] != '\r' || reply.back() != '\n') return testing::AssertionFailure() << "no CR LF";
  out.body.assign(reply.begin() + 2 + digits, reply.end() - 2);
  std::size_t pos = 0;
  for (int i = 0; i < 15; ++i) {
    const auto comma = std::find(out.body.begin() + pos, out.body.end(), ',');
    if (comma == out.body.end()) return testing::AssertionFailure() << "field " << i + 1 << " missing";
    const std::string text(out.body.begin() + pos, comma);
    std::size_t used = 0;
    out.field[i] = std::stol(text, &used, (i == 0 || i == 5) ? 16 : 10);
    if (used != text.size()) return testing::AssertionFailure() << "field " << i + 1 << " is '" << text << "'";
    pos = static_cast<std::size_t>(comma - out.body.begin()) + 1;
  }
  out.headerLength = pos;
  return testing::AssertionSuccess();
}

AcquisitionSettings Zoomed(AcquisitionSettings settings) {
  settings.zoomPosition = 20000;
  settings.zoomFactor = 2.0;
  return settings;
}

TEST(Frame, LayoutForEveryChannelMaskZoomAndMeasurementChoice) {
  const std::array<SignalSpec, 2> signals{Sine(1000.0, 2.0), Sine(2000.0, 1.0)};
  for (int mask = 0; mask < 4; ++mask) {
    for (bool zoomed : {false, true}) {
      for (bool measurements : {false, true}) {
        SCOPED_TRACE(testing::Message() << "mask " << mask << " zoom " << zoomed << " meas " << measurements);
        AcquisitionSettings settings = zoomed ? Zoomed({}) : AcquisitionSettings{};
        settings.channel[0].displayed = (mask & 1) != 0;
        settings.channel[1].displayed = (mask & 2) != 0;
        settings.referenceChannel = 1;
        const Record record = AcquireOnce(settings, signals);
        const auto reply = BuildFrameReply(record, settings, {6, 0, measurements});
        ParsedFrame frame;
        ASSERT_TRUE(ParseReply(reply, frame));
        EXPECT_LE(reply.size() - 2 - (reply[1] - '0'), kHostFrameBuffer);  // L + 2 fits the host buffer

        EXPECT_EQ(frame.field[0], (mask != 0 ? 1 : 0) | (measurements ? 2 : 0));
        EXPECT_EQ(frame.field[5], mask);
        EXPECT_EQ(frame.field[6], zoomed ? 5000 : 2500);
        const int channels = (mask & 1) + (mask >> 1);
        const std::size_t samples = channels * (zoomed ? 5000u : 2500u);
        ASSERT_EQ(frame.body.size(), frame.headerLength + samples + (measurements ? 96u : 0u));
        for (std::size_t i = frame.headerLength; i < frame.headerLength + samples; i += 2) {
          ASSERT_LE(frame.body[i], frame.body[i + 1]) << "pair at " << i;
        }
        if (measurements) {
          const std::uint8_t* block = frame.body.data() + frame.headerLength + samples;
          const auto expected = MeasureChannel(record, 1, settings);
          EXPECT_TRUE(std::equal(expected.begin(), expected.end(), block));
          EXPECT_NEAR(test::ReadF32(block + 32), 1.0, 0.01);  // CH2's Vpp: the reference channel was measured
        }
      }
    }
  }
}

TEST(Frame, BlocksAreTheRecordOverviewThenTheZoomWindow) {
  AcquisitionSettings settings = Zoomed({});
  const Record record = AcquireOnce(settings, {Sine(1000.0, 2.0), Sine(3000.0, 1.0)});
  ParsedFrame frame;
  ASSERT_TRUE(ParseReply(BuildFrameReply(record, settings, {}), frame));
  const std::uint8_t* data = frame.body.data() + frame.headerLength;
  const std::vector<std::vector<std::uint8_t>> expected{
      ScreenBlock(record.codes[0], 0, 20.0), ScreenBlock(record.codes[0], 20000, 2.0),
      ScreenBlock(record.codes[1], 0, 20.0), ScreenBlock(record.codes[1], 20000, 2.0)};
  for (std::size_t b = 0; b < expected.size(); ++b) {
    EXPECT_TRUE(std::equal(expected[b].begin(), expected[b].end(), data + b * 2500)) << "block " << b;
  }
  EXPECT_NE(expected[0], expected[1]);
  // The 2 Vpp sine at 0.5 V/div fills +-2 divisions of the overview.
  const auto [lo, hi] = std::minmax_element(expected[0].begin(), expected[0].end());
  EXPECT_NEAR(*lo, 64, 1);
  EXPECT_NEAR(*hi, 192, 1);
}

TEST(Frame, HeaderReportsPositionsTriggerAndState) {
  AcquisitionSettings settings;
  settings.channel[0].verticalOffset = -33;
  settings.channel[1].verticalOffset = 44;
  settings.channel[0].triggerLevel = 5;
  settings.channel[1].triggerLevel = -7;
  settings.horizontalOffset = -12345;
  const Record record = AcquireOnce(settings, {Sine(1000.0, 2.0), Sine(1000.0, 2.0)});
  ParsedFrame frame;
  ASSERT_TRUE(ParseReply(BuildFrameReply(record, settings, {5, 1, false}), frame));
  EXPECT_EQ(frame.field[7], -33);
  EXPECT_EQ(frame.field[8], 44);
  EXPECT_EQ(frame.field[9], 0);
  EXPECT_EQ(frame.field[10], 5);
  EXPECT_EQ(frame.field[11], -12345);
  EXPECT_EQ(frame.field[12], 5);
  EXPECT_EQ(frame.field[13], 1);
  for (int source : {1, 2}) {  // no source reports CH2's level
    settings.triggerSource = source;
    ASSERT_TRUE(ParseReply(BuildFrameReply(record, settings, {}), frame));
    EXPECT_EQ(frame.field[9], source);
    EXPECT_EQ(frame.field[10], -7);
  }
}

TEST(Frame, LargestFrameFitsTheHostBuffer) {
  AcquisitionSettings settings = Zoomed({});
  settings.channel[0].verticalOffset = INT_MIN;
  settings.channel[1].verticalOffset = INT_MIN;
  settings.channel[1].triggerLevel = INT_MIN;
  settings.horizontalOffset = INT_MIN;
  settings.zoomPosition = INT_MIN;
  settings.triggerMode = INT_MIN;
  settings.triggerSource = INT_MIN;
  const auto reply = BuildFrameReply(Record{}, settings, {INT_MIN, INT_MIN, true});
  ParsedFrame frame;
  ASSERT_TRUE(ParseReply(reply, frame));
  EXPECT_EQ(frame.body.size(), frame.headerLength + 10000 + 96);
  EXPECT_LE(frame.body.size() + 2, kHostFrameBuffer);
}

TEST(Frame, ScreenBlockPairsCoverTheirRecordPoints) {
  std::vector<std::uint8_t> ramp(kRecordPoints);
  for (int i = 0; i < kRecordPoints; ++i) ramp[i] = static_cast<std::uint8_t>(i * 256 / kRecordPoints);
  std::vector<std::uint8_t> saw(kRecordPoints);
  for (int i = 0; i < kRecordPoints; ++i) saw[i] = static_cast<std::uint8_t>((i % 40) * 6);

  auto block = ScreenBlock(ramp, 0, 20.0);
  ASSERT_EQ(block.size(), 2500u);
  for (int k = 0; k < 1250; ++k) {
    ASSERT_EQ(block[2 * k], ramp[40 * k]);
    ASSERT_EQ(block[2 * k + 1], ramp[40 * k + 39]);
  }
  block = ScreenBlock(saw, 0, 20.0);  // each pair sees one whole tooth
  EXPECT_TRUE(std::all_of(block.begin(), block.end(), [&](std::uint8_t c) { return c == 0 || c == 234; }));

  block = ScreenBlock(ramp, 1000, 2.0);
  for (int k = 0; k < 1250; ++k) {
    ASSERT_EQ(block[2 * k], ramp[1000 + 4 * k]);
    ASSERT_EQ(block[2 * k + 1], ramp[1000 + 4 * k + 3]);
  }
  block = ScreenBlock(ramp, 49000, 2.0);  // runs past the end: the last point repeats
  EXPECT_EQ(block[2 * 249 + 1], ramp[49999]);
  EXPECT_EQ(block[2 * 1249], ramp[49999]);
  std::vector<std::uint8_t> counter(kRecordPoints);
  for (int i = 0; i < kRecordPoints; ++i) counter[i] = static_cast<std::uint8_t>(i % 256);
  block = ScreenBlock(counter, -500, 0.25);  // starts before the record; pairs narrower than a point
  EXPECT_EQ(block[0], 0);
  EXPECT_EQ(block[2 * 1002], 1);
  EXPECT_EQ(block[2 * 1249], 124);
  EXPECT_EQ(block[2 * 1249 + 1], 124);
  block = ScreenBlock({}, 0, 20.0);
  EXPECT_TRUE(std::all_of(block.begin(), block.end(), [](std::uint8_t c) { return c == 128; }));
}

TEST(Frame, DefiniteBlockFraming) {
  auto text = [](const std::vector<std::uint8_t>& v) { return std::string(v.begin(), v.end()); };
  EXPECT_EQ(text(DefiniteBlock({'h', 'e', 'l', 'l', 'o'})), "#15hello\r\n");
  EXPECT_EQ(text(DefiniteBlock({})), "#10\r\n");
  const auto big = DefiniteBlock(std::vector<std::uint8_t>(10000, 'x'));
  EXPECT_EQ(text({big.begin(), big.begin() + 7}), "#510000");
  EXPECT_EQ(big.size(), 7u + 10000 + 2);
}

}  // namespace
}  // namespace kvxsim
