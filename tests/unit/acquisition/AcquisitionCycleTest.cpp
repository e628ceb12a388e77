// The acquisition thread's cycle: starting and stopping it, taking turns on
// the link, and recovering from replies that cannot be used.
#include "AcquisitionTestSupport.h"

namespace acquisitiontest {
namespace {

using AcquisitionCycleTest = AcquisitionThreadTest;

// A good frame whose CH1 codes tell which one it was.
std::string MarkedFrame(std::uint8_t mark) { return HeaderText({}) + Block(mark) + Block(0x21); }

ViUInt32 SessionTimeout() {
  ViUInt32 timeout = 0;
  viGetAttribute(TheInstrument.session, VI_ATTR_TMO_VALUE, &timeout);
  return timeout;
}

ViUInt16 EndSuppression() {
  ViUInt16 suppressed = 0;
  viGetAttribute(TheInstrument.session, VI_ATTR_SUPPRESS_END_EN, &suppressed);
  return suppressed;
}

TEST_F(AcquisitionCycleTest, StartRunsOneExchangePerCycleAndStopEndsTheThread) {
  ChannelSamples.Store(0, FilledBlock(0x77), FilledBlock(0x78));
  Start();
  EXPECT_EQ(AcquisitionRunning.load(), 1);
  EXPECT_NE(AcquisitionPool.load(), 0);
  EXPECT_EQ(record_.initDisplayState.load(), 1);
  EXPECT_EQ(record_.openDisplays.load(), 1);
  EXPECT_EQ(record_.resetDrawing.load(), 1);
  EXPECT_EQ(ChannelSamples.Channel(0).blockA, SampleBlock{}) << "start clears block A";
  EXPECT_EQ(ChannelSamples.Channel(0).blockB, FilledBlock(0x78));
  int visible = 0;
  GetPanelAttribute(panel_, ATTR_VISIBLE, &visible);
  EXPECT_EQ(visible, 1);
  EXPECT_EQ(instrument_->Written(), "") << "nothing is asked before the first sleep ends";

  RunFrame(MarkedFrame(0x11));
  RunFrame(MarkedFrame(0x12));
  EXPECT_EQ(instrument_->Written(), "ZC:HTTP?\rZC:HTTP?\r");
  EXPECT_EQ(record_.drawTraces.load(), 2);
  EXPECT_EQ(ChannelSamples.Channel(0).blockA, FilledBlock(0x12));
  // Between exchanges the link is free and set up for the user-interface commands.
  EXPECT_EQ(LinkBusy.load(), 0);
  EXPECT_EQ(SessionTimeout(), 3000u);
  EXPECT_EQ(EndSuppression(), VI_FALSE);

  Stop();
  EXPECT_EQ(AcquisitionRunning.load(), 0);
  EXPECT_EQ(AcquisitionPool.load(), 0);
  EXPECT_EQ(record_.closeDisplays.load(), 1);
  EXPECT_EQ(Requests(), 2) << "the stop came during a sleep: no further exchange";
  EXPECT_EQ(clock_->Sleepers(), 0);

  // Stopped means stopped: it can be started again.
  Start();
  RunFrame(MarkedFrame(0x13));
  EXPECT_EQ(record_.drawTraces.load(), 3);
  Stop();
}

TEST_F(AcquisitionCycleTest, WithoutAnInstrumentStartAndStopDoNothing) {
  TheInstrument.InstrumentPresent = 0;
  StartAcquisition();
  EXPECT_EQ(AcquisitionPool.load(), 0);
  EXPECT_EQ(AcquisitionRunning.load(), 0);
  EXPECT_EQ(record_.initDisplayState.load(), 0);
  AcquisitionRunning = 1;
  StopAcquisition();
  EXPECT_EQ(AcquisitionRunning.load(), 1);
  EXPECT_EQ(record_.closeDisplays.load(), 0);
}

TEST_F(AcquisitionCycleTest, TheThreadWaitsForTheLinkInTwentyMillisecondSteps) {
  Start();
  ASSERT_TRUE(TryTakeLink());
  instrument_->QueueReply(BlockReply(MarkedFrame(0x11)));
  RunCycle();  // found the link taken
  clock_->Advance(kLinkPollSeconds);
  ASSERT_TRUE(clock_->WaitForSleepers(1));
  EXPECT_EQ(Requests(), 0);

  ReleaseLink();
  clock_->Advance(kLinkPollSeconds * 0.75);
  EXPECT_EQ(Requests(), 0) << "the thread looks again only at the end of its step";
  clock_->Advance(kLinkPollSeconds * 0.5);
  ASSERT_TRUE(clock_->WaitForSleepers(1));
  EXPECT_EQ(Requests(), 1);
  EXPECT_EQ(record_.drawTraces.load(), 1);
  EXPECT_EQ(LinkBusy.load(), 0);
  EXPECT_EQ(record_.drawingPriority.load(), THREAD_PRIORITY_NORMAL) << "the low priority lasts only while waiting";
}

TEST_F(AcquisitionCycleTest, AStopWhileWaitingForTheLinkEndsTheThreadWithoutAnExchange) {
  Start();
  ASSERT_TRUE(TryTakeLink());
  RunCycle();
  Stop();
  EXPECT_EQ(AcquisitionPool.load(), 0);
  EXPECT_EQ(Requests(), 0);
  EXPECT_EQ(record_.drawTraces.load(), 0);
  EXPECT_EQ(LinkBusy.load(), 1) << "the link still belongs to whoever held it";
  ReleaseLink();
}

TEST_F(AcquisitionCycleTest, AnUnusableReplyLeadsToTheNoticeAReopenedSessionAndFramesAgain) {
  const std::string good = BlockReply(MarkedFrame(0x11));
  std::string oneByteTooMany = HeaderText({.flags = 0, .mask = 0});
  oneByteTooMany.resize(kFrameBufferSize - 1, ' ');  // L + 2 = 45,009
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
  RunFrame(MarkedFrame(0x10));
  std::uint8_t mark = 0x20;
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    const int drawn = record_.drawTraces.load();
    const int notices = noticesShown_.load();
    const int opens = instrument_->Opens();
    const int requests = Requests();
    instrument_->QueueReply(row.reply);
    instrument_->QueueReply(BlockReply(MarkedFrame(++mark)));

    ASSERT_TRUE(AdvanceUntil([&] { return record_.drawTraces.load() > drawn; }));
    EXPECT_EQ(record_.drawTraces.load(), drawn + 1) << "only the good frame is drawn";
    EXPECT_EQ(ChannelSamples.Channel(0).blockA, FilledBlock(mark));
    EXPECT_EQ(noticesShown_.load(), notices + 1);
    EXPECT_EQ(noticesHidden_.load(), noticesShown_.load());
    EXPECT_EQ(instrument_->Opens(), opens + 1);
    EXPECT_EQ(Requests(), requests + 2);
  }
  // A good frame after a good frame needs no recovery.
  const int notices = noticesShown_.load();
  ASSERT_TRUE(clock_->WaitForSleepers(1));
  RunFrame(MarkedFrame(0x30));
  EXPECT_EQ(noticesShown_.load(), notices);
}

TEST_F(AcquisitionCycleTest, TheLargestFrameThatFitsTheBufferIsTaken) {
  std::string frame = HeaderText({.flags = 3, .mask = 1}) + Block(0x61) + MeasurementPattern(3);
  frame.resize(kFrameBufferSize - 2, 'p');  // L + 2 = 45,008
  Start();
  RunFrame(frame);
  EXPECT_EQ(record_.drawTraces.load(), 1);
  EXPECT_EQ(ChannelSamples.Channel(0).blockA, FilledBlock(0x61));
  EXPECT_EQ(record_.MeasurementBlocks().size(), 1u);
  RunCycle();
  EXPECT_EQ(noticesShown_.load(), 0);
}

}  // namespace
}  // namespace acquisitiontest
