// What the acquisition thread makes of each frame it receives: the phase
// text and LED, the run state, the trigger and positions it remembers, the
// samples and the measurement block it takes from the frame.
#include "AcquisitionTestSupport.h"

namespace acquisitiontest {
namespace {

using FrameProcessingTest = AcquisitionThreadTest;

std::string Frame(const FrameSpec& spec, const std::string& data = {}) { return HeaderText(spec) + data; }

// One frame of each channel's single block, the way the instrument sends it unzoomed.
std::string PlainFrame(FrameSpec spec = {}) { return Frame(spec, Block(0x11) + Block(0x21)); }

TEST_F(FrameProcessingTest, TheFirstFrameIsARunStopChangeAndRewritesThePhase) {
  StoreField(ProgramSetup.runState, 1);
  Start();
  // What the panel showed before: the same phase as the frame brings.
  SetCtrlVal(panel_, MainPanel::AcqStateText, "old");
  Mirror.StateSeen = 6;

  RunFrame(PlainFrame({.phase = 6, .runStop = 0}));
  EXPECT_EQ(Text(MainPanel::AcqStateText), "RUN");
  EXPECT_EQ(LoadField(ProgramSetup.runState), 0);
  EXPECT_EQ(Mirror.RunStopSeen.load(), 0);
  EXPECT_EQ(Mirror.StateSeen.load(), 6);
  EXPECT_EQ(record_.drawTraces.load(), 1);

  // Nothing changed: the text is left alone.
  SetCtrlVal(panel_, MainPanel::AcqStateText, "kept");
  RunFrame(PlainFrame({.phase = 6, .runStop = 0}));
  EXPECT_EQ(Text(MainPanel::AcqStateText), "kept");
  EXPECT_EQ(record_.drawTraces.load(), 2);
}

TEST_F(FrameProcessingTest, AStoppedInstrumentShowsStopWithTheLedOff) {
  Start();
  RunFrame(PlainFrame({.phase = 6}));
  EXPECT_EQ(Value(MainPanel::AcquisitionLed), 1);
  const int readoutsBefore = record_.cursorReadouts.load();

  RunFrame(PlainFrame({.phase = 5, .runStop = 1}));
  EXPECT_EQ(Text(MainPanel::AcqStateText), "STOP");
  EXPECT_EQ(Value(MainPanel::AcquisitionLed), 0);
  EXPECT_EQ(LoadField(ProgramSetup.runState), 1);
  // Stopping refreshes the cursor readouts once, cursors on or off.
  EXPECT_EQ(record_.cursorReadouts.load(), readoutsBefore + 1);
  RunFrame(PlainFrame({.phase = 5, .runStop = 1}));
  EXPECT_EQ(record_.cursorReadouts.load(), readoutsBefore + 1);

  // Running again, past the last row: shown as RUN.
  RunFrame(PlainFrame({.phase = 9, .runStop = 0}));
  EXPECT_EQ(Text(MainPanel::AcqStateText), "RUN");
  EXPECT_EQ(Value(MainPanel::AcquisitionLed), 1);
  EXPECT_EQ(Mirror.StateSeen.load(), 7);
  EXPECT_EQ(LoadField(ProgramSetup.runState), 0);
}

TEST_F(FrameProcessingTest, PhaseTextsFollowTheLanguage) {
  const struct {
    int language;
    int phase;
    const char* text;
  } rows[] = {
      {kEnglish, 4, "READY"},   {kSpanish, 1, "PRE-DISP"}, {kSpanish, 4, "LISTO"},
      {kSpanish, 2, "PRE-DISP"}, {kSpanish, 3, "PRE-DISP"}, {kEnglish, 1, "PRE-TRIG"},
  };
  Start();
  for (const auto& row : rows) {
    SetCurrentLanguage(row.language);
    RunFrame(PlainFrame({.phase = row.phase}));
    EXPECT_EQ(Text(MainPanel::AcqStateText), row.text) << "language " << row.language << ", phase " << row.phase;
    EXPECT_EQ(Value(MainPanel::AcquisitionLed), 0);
  }
}

TEST_F(FrameProcessingTest, ANegativePhaseShowsNoText) {
  Start();
  RunFrame(PlainFrame({.phase = 6}));
  ASSERT_EQ(Text(MainPanel::AcqStateText), "RUN");
  RunFrame(PlainFrame({.phase = -3}));
  EXPECT_EQ(Text(MainPanel::AcqStateText), "");
  EXPECT_EQ(Value(MainPanel::AcquisitionLed), 0);
  RunFrame(PlainFrame({.phase = -2147483647}));
  EXPECT_EQ(Text(MainPanel::AcqStateText), "");
}

TEST_F(FrameProcessingTest, TwoBlocksPerChannelAndTheMeasurementBlockAfterThem) {
  Start();
  const std::string data = Block(0x11) + Block(0x12) + Block(0x21) + Block(0x22) + MeasurementPattern(7);
  RunFrame(Frame({.flags = 3, .mask = 3, .points = 5000}, data));

  const SampleSet samples = ChannelSamples.Snapshot();
  EXPECT_EQ(samples[0].blockA, FilledBlock(0x11));
  EXPECT_EQ(samples[0].blockB, FilledBlock(0x12));
  EXPECT_EQ(samples[1].blockA, FilledBlock(0x21));
  EXPECT_EQ(samples[1].blockB, FilledBlock(0x22));
  const auto blocks = record_.MeasurementBlocks();
  ASSERT_EQ(blocks.size(), 1u);
  EXPECT_EQ(blocks[0], MeasurementPattern(7));
}

TEST_F(FrameProcessingTest, AChannelMissingFromTheFrameKeepsItsCodesAndHidesItsMarker) {
  Start();
  RunFrame(Frame({.mask = 3}, Block(0x11) + Block(0x21)));
  ASSERT_EQ(Visible(MainPanel::Ch1PositionMarker), 1);

  std::string ramp(kBlockPoints, '\0');
  for (std::size_t i = 0; i < ramp.size(); ++i) ramp[i] = static_cast<char>(i % 251);
  RunFrame(Frame({.mask = 2, .points = 2500}, ramp));

  const SampleSet samples = ChannelSamples.Snapshot();
  EXPECT_EQ(std::string(samples[1].blockA.begin(), samples[1].blockA.end()), ramp);
  EXPECT_EQ(samples[1].blockB, samples[1].blockA);
  EXPECT_EQ(samples[0].blockA, FilledBlock(0x11));
  EXPECT_EQ(Mirror.ChannelShown[0].load(), 0);
  EXPECT_EQ(Mirror.ChannelShown[1].load(), 1);
  EXPECT_EQ(Visible(MainPanel::Ch1PositionMarker), 0);
  EXPECT_EQ(Visible(MainPanel::Ch1PositionLabel), 0);
  EXPECT_EQ(Visible(MainPanel::Ch2PositionMarker), 1);

  // Back again: the marker shows.
  RunFrame(Frame({.mask = 3}, Block(0x31) + Block(0x41)));
  EXPECT_EQ(Mirror.ChannelShown[0].load(), 1);
  EXPECT_EQ(Visible(MainPanel::Ch1PositionMarker), 1);
  EXPECT_EQ(Visible(MainPanel::Ch1PositionLabel), 1);
  EXPECT_EQ(ChannelSamples.Channel(0).blockA, FilledBlock(0x31));
}

TEST_F(FrameProcessingTest, WithoutSampleBlocksTheMeasurementsFollowTheHeader) {
  Start();
  RunFrame(PlainFrame());
  Mirror.ChannelShown[0] = 0;
  Mirror.ChannelShown[1] = 0;

  RunFrame(Frame({.flags = 2, .mask = 3}, MeasurementPattern(40)));
  EXPECT_EQ(ChannelSamples.Channel(0).blockA, FilledBlock(0x11));
  EXPECT_EQ(ChannelSamples.Channel(1).blockB, FilledBlock(0x21));
  EXPECT_EQ(Mirror.ChannelShown[0].load(), 1);
  EXPECT_EQ(Mirror.ChannelShown[1].load(), 1);
  const auto blocks = record_.MeasurementBlocks();
  ASSERT_EQ(blocks.size(), 1u);
  EXPECT_EQ(blocks[0], MeasurementPattern(40));
}

TEST_F(FrameProcessingTest, BlocksThatRunPastTheFrameAreNotTaken) {
  Start();
  RunFrame(PlainFrame());
  // Two blocks announced per channel, and a measurement block, but CH1's
  // blocks are all the frame holds.
  RunFrame(Frame({.flags = 3, .mask = 3, .points = 5000}, Block(0x51) + Block(0x52) + "tail"));
  EXPECT_EQ(ChannelSamples.Channel(0).blockB, FilledBlock(0x52));
  EXPECT_EQ(ChannelSamples.Channel(1).blockA, FilledBlock(0x21));
  EXPECT_TRUE(record_.MeasurementBlocks().empty());
  EXPECT_EQ(record_.drawTraces.load(), 2);

  // A measurement block one byte short is not passed on either.
  RunFrame(Frame({.flags = 2}, MeasurementPattern(1).substr(1)));
  EXPECT_TRUE(record_.MeasurementBlocks().empty());
}

TEST_F(FrameProcessingTest, TriggerSourceTwoIsKeptAsSentWithItsLevelUnderTheSecondSource) {
  Start();
  RunFrame(PlainFrame({.source = 0, .level = 11, .triggerPosition = 25000}));
  EXPECT_EQ(record_.triggerMoved.load(), 1);
  EXPECT_EQ(Mirror.TriggerPositionSeen.load(), 5.0);

  RunFrame(PlainFrame({.source = 2, .level = -30, .triggerPosition = 25000}));
  EXPECT_EQ(Mirror.TriggerSourceSeen.load(), 2);
  EXPECT_EQ(Mirror.TriggerLevelSeen[1].load(), -30.0);
  EXPECT_EQ(Mirror.TriggerLevelSeen[0].load(), 11.0);
  EXPECT_EQ(record_.triggerMoved.load(), 2);

  // The same again: nothing to move.
  RunFrame(PlainFrame({.source = 2, .level = -30, .triggerPosition = 25000}));
  EXPECT_EQ(record_.triggerMoved.load(), 2);
  EXPECT_EQ(Mirror.DisplayChanged.load(), 0);
}

TEST_F(FrameProcessingTest, MarkersAreRedrawnOnlyWhenPositionsOrChannelsChange) {
  Start();
  RunFrame(PlainFrame({.mask = 3}));
  const int afterFirst = record_.redrawMarkers.load();
  EXPECT_EQ(afterFirst, 1) << "the first mask is a change";

  RunFrame(PlainFrame({.mask = 3}));
  EXPECT_EQ(record_.redrawMarkers.load(), afterFirst);

  RunFrame(PlainFrame({.mask = 3, .position1 = -44, .position2 = 22}));
  EXPECT_EQ(record_.redrawMarkers.load(), afterFirst + 1);
  EXPECT_EQ(record_.triggerMoved.load(), 2);
  EXPECT_EQ(Mirror.VerticalPositionSeen[0].load(), -44);
  EXPECT_EQ(Mirror.VerticalPositionSeen[1].load(), 22);

  // Cursors on and automatic measurements off: readouts follow every frame.
  record_.cursorsActive = true;
  const int readouts = record_.cursorReadouts.load();
  RunFrame(PlainFrame({.mask = 3, .position1 = -44, .position2 = 22}));
  EXPECT_EQ(record_.cursorReadouts.load(), readouts + 1);
  StoreField(ProgramSetup.autoMeasurementsOn, 1);
  RunFrame(PlainFrame({.mask = 3, .position1 = -44, .position2 = 22}));
  EXPECT_EQ(record_.cursorReadouts.load(), readouts + 1);
}

}  // namespace
}  // namespace acquisitiontest
