// The acquisition thread's cycle: starting and stopping it, taking turns on
// the link, and recovering from replies that cannot be used.
#include <tuple>

#include "AcquisitionTestSupport.h"

namespace acquisitiontest {
namespace {

using AcquisitionCycleTest = AcquisitionThreadTest;

template <typename T>
T SessionAttribute(ViAttr attribute) {
  T value{};
  viGetAttribute(TheInstrument.session, attribute, &value);
  return value;
}

TEST_F(AcquisitionCycleTest, StartRunsOneExchangePerCycleAndStopEndsTheThread) {
  ChannelSamples.Store(0, FilledBlock(0x77), FilledBlock(0x78));
  Start();
  EXPECT_EQ(AcquisitionRunning.load(), 1);
  EXPECT_EQ(std::tuple(record_.initDisplayState.load(), record_.openDisplays.load(), record_.resetDrawing.load()),
            std::tuple(1, 1, 1));
  int visible = 0;
  GetPanelAttribute(panel_, ATTR_VISIBLE, &visible);
  EXPECT_EQ(visible, 1);
  EXPECT_EQ(ChannelSamples.Channel(0).blockA, SampleBlock{}) << "start clears block A";
  EXPECT_EQ(ChannelSamples.Channel(0).blockB, FilledBlock(0x78));

  RunFrame(PlainFrame());
  RunFrame(PlainFrame());
  EXPECT_EQ(instrument_->Written(), "ZC:HTTP?\rZC:HTTP?\r") << "none before the first sleep ends";
  // Between exchanges the link is free and set up for the user-interface commands.
  EXPECT_EQ(LinkBusy.load(), 0);
  EXPECT_EQ(SessionAttribute<ViUInt32>(VI_ATTR_TMO_VALUE), 3000u);
  EXPECT_EQ(SessionAttribute<ViBoolean>(VI_ATTR_SUPPRESS_END_EN), VI_FALSE);

  Stop();
  EXPECT_EQ(AcquisitionRunning.load(), 0);
  EXPECT_EQ(AcquisitionPool.load(), 0);
  EXPECT_EQ(record_.closeDisplays.load(), 1);
  EXPECT_EQ(Requests(), 2) << "the stop came during a sleep: no further exchange";
  Start();
  RunFrame(PlainFrame());
  EXPECT_EQ(record_.drawTraces.load(), 3) << "it starts again";
}

TEST_F(AcquisitionCycleTest, WithoutAnInstrumentStartAndStopDoNothing) {
  TheInstrument.InstrumentPresent = 0;
  StartAcquisition();
  EXPECT_EQ(AcquisitionPool.load(), 0);
  AcquisitionRunning = 1;
  StopAcquisition();
  EXPECT_EQ(record_.initDisplayState + record_.closeDisplays, 0);
}

// A stop that comes while the thread waits ends it without an exchange.
TEST_F(AcquisitionCycleTest, TheThreadWaitsForTheLinkInTwentyMillisecondStepsUntilItIsFreeOrStopped) {
  Start();
  ASSERT_TRUE(TryTakeLink());
  instrument_->QueueReply(BlockReply(PlainFrame()));
  RunCycle();  // found the link taken
  clock_->Advance(kLinkPollSeconds);
  ASSERT_TRUE(clock_->WaitForSleepers(1));
  ReleaseLink();
  clock_->Advance(kLinkPollSeconds * 0.75);
  EXPECT_EQ(Requests(), 0) << "the thread looks again only at the end of its step";
  clock_->Advance(kLinkPollSeconds * 0.5);
  ASSERT_TRUE(clock_->WaitForSleepers(1));
  EXPECT_EQ(Requests(), 1);
  EXPECT_EQ(record_.drawingPriority.load(), THREAD_PRIORITY_NORMAL) << "the low priority lasts only while waiting";

  ASSERT_TRUE(TryTakeLink());
  RunCycle();
  Stop();
  EXPECT_EQ(AcquisitionPool.load(), 0);
  EXPECT_EQ(Requests(), 1);
  EXPECT_EQ(LinkBusy.load(), 1) << "the link still belongs to whoever held it";
  ReleaseLink();
}

// The largest frame that fits the 45,008-byte buffer (L + 2) is taken; each bad
// reply, one byte more among them, brings the notice and a reopened session.
TEST_F(AcquisitionCycleTest, AnUnusableReplyLeadsToTheNoticeAReopenedSessionAndFramesAgain) {
  std::string largest = HeaderText({.flags = 3, .mask = 1}) + Block(0x61) + MeasurementPattern(3);
  largest.resize(kFrameBufferSize - 2, 'p');
  std::string oneByteTooMany = HeaderText({.flags = 0, .mask = 0});
  oneByteTooMany.resize(kFrameBufferSize - 1, ' ');
  const std::string good = BlockReply(PlainFrame());
  const struct {
    const char* name;
    std::string reply;
  } rows[] = {
      {"prefix not #", "$" + good.substr(1)},
      {"prefix cut short", "#"},
      {"length digits not digits", "#3a00" + std::string(100, 'x')},
      {"no length digits", "#0"},
      {"header that does not parse", BlockReply("1,0,0,0,0,3,2500,zero," + Block(0x11))},
      {"frame cut short", good.substr(0, good.size() - 100)},
      {"frame larger than the buffer", "#9999999999" + std::string(3000, 'x')},
      {"frame one byte larger than the buffer", BlockReply(oneByteTooMany)},
  };
  Start();
  RunFrame(largest);
  EXPECT_EQ(ChannelSamples.Channel(0).blockA, FilledBlock(0x61));
  EXPECT_EQ(record_.Read(record_.measurementBlocks).size(), 1u);
  EXPECT_EQ(noticesShown_.load(), 0);
  std::uint8_t mark = 0x20;
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    const int drawn = record_.drawTraces.load();
    const int notices = noticesShown_.load();
    const int opens = instrument_->Opens();
    const int requests = Requests();
    instrument_->QueueReply(row.reply);
    instrument_->QueueReply(BlockReply(PlainFrame({}, ++mark)));
    ASSERT_TRUE(AdvanceUntil([&] { return record_.drawTraces.load() > drawn; }));
    EXPECT_EQ(record_.drawTraces.load(), drawn + 1) << "only the good frame is drawn";
    EXPECT_EQ(ChannelSamples.Channel(0).blockA, FilledBlock(mark));
    EXPECT_EQ(noticesShown_.load(), notices + 1);
    EXPECT_EQ(noticesHidden_.load(), noticesShown_.load());
    EXPECT_EQ(instrument_->Opens(), opens + 1);
    EXPECT_EQ(Requests(), requests + 2);
  }
}

}  // namespace
}  // namespace acquisitiontest
