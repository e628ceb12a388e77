// What the acquisition thread makes of each frame: the phase text and LED, the
// run state, the trigger and positions it remembers, the samples and the
// measurement block.
#include "AcquisitionTestSupport.h"

namespace acquisitiontest {
namespace {

using FrameProcessingTest = AcquisitionThreadTest;

// The first frame is a run/stop change, so it rewrites the phase text even
// when its phase is the one last seen; a frame that changes nothing leaves it.
TEST_F(FrameProcessingTest, ThePhaseTextAndLedFollowRunStopPhaseAndLanguage) {
  const struct {
    int language, phase, runStop;
    const char* text;
    int led;
  } rows[] = {
      {kEnglish, 6, 0, "RUN", 1},      {kEnglish, 5, 1, "STOP", 0},     {kEnglish, 9, 0, "RUN", 1},
      {kEnglish, 4, 0, "READY", 0},    {kSpanish, 1, 0, "PRE-DISP", 0}, {kSpanish, 4, 0, "LISTO", 0},
      {kEnglish, 1, 0, "PRE-TRIG", 0}, {kEnglish, -3, 0, "", 0},        {kEnglish, -2147483647, 0, "", 0},
  };
  StoreField(ProgramSetup.runState, 1);
  Start();
  SetCtrlVal(panel_, MainPanel::AcqStateText, "old");
  Mirror.StateSeen = 6;
  for (const auto& row : rows) {
    SCOPED_TRACE(testing::Message() << "language " << row.language << ", phase " << row.phase);
    SetCurrentLanguage(row.language);
    RunFrame(PlainFrame({.phase = row.phase, .runStop = row.runStop}));
    EXPECT_EQ(Text(MainPanel::AcqStateText), row.text);
    EXPECT_EQ(Value(MainPanel::AcquisitionLed), row.led);
    EXPECT_EQ(LoadField(ProgramSetup.runState), row.runStop);
  }
  SetCtrlVal(panel_, MainPanel::AcqStateText, "kept");
  RunFrame(PlainFrame({.phase = -2147483647}));
  EXPECT_EQ(Text(MainPanel::AcqStateText), "kept");
}

TEST_F(FrameProcessingTest, CursorReadoutsFollowAStopAndEachFrameWhileTheCursorsAloneAreOn) {
  Start();
  RunFrame(PlainFrame({.runStop = 1}));
  RunFrame(PlainFrame({.runStop = 1}));
  EXPECT_EQ(record_.cursorReadouts.load(), 1) << "once when it stops, cursors off";
  record_.cursorsActive = true;
  RunFrame(PlainFrame());
  EXPECT_EQ(record_.cursorReadouts.load(), 2);
  StoreField(ProgramSetup.autoMeasurementsOn, 1);
  RunFrame(PlainFrame());
  EXPECT_EQ(record_.cursorReadouts.load(), 2) << "automatic measurements refresh them instead";
}

// Two blocks per channel, then the measurement block; blocks or measurements
// that would run past the frame are not taken.
TEST_F(FrameProcessingTest, TwoBlocksPerChannelAndTheMeasurementBlockAfterThem) {
  Start();
  const std::string data = Block(0x11) + Block(0x12) + Block(0x21) + Block(0x22) + MeasurementPattern(7);
  RunFrame(HeaderText({.flags = 3, .mask = 3, .points = 5000}) + data);
  SampleSet samples = ChannelSamples.Snapshot();
  EXPECT_EQ(samples[0].blockA, FilledBlock(0x11));
  EXPECT_EQ(samples[0].blockB, FilledBlock(0x12));
  EXPECT_EQ(samples[1].blockA, FilledBlock(0x21));
  EXPECT_EQ(samples[1].blockB, FilledBlock(0x22));
  EXPECT_EQ(record_.Read(record_.measurementBlocks), std::vector{MeasurementPattern(7)});

  RunFrame(HeaderText({.flags = 3, .mask = 3, .points = 5000}) + Block(0x51) + Block(0x52) + "tail");
  samples = ChannelSamples.Snapshot();
  EXPECT_EQ(samples[0].blockB, FilledBlock(0x52));
  EXPECT_EQ(samples[1].blockA, FilledBlock(0x21));
  RunFrame(HeaderText({.flags = 2}) + MeasurementPattern(1).substr(1));
  EXPECT_EQ(record_.Read(record_.measurementBlocks).size(), 1u);
  EXPECT_EQ(record_.drawTraces.load(), 3);
}

// A channel missing from the mask keeps its codes and hides its marker; a frame
// without samples (flags bit 0 clear) has its measurements right after the header.
TEST_F(FrameProcessingTest, AMissingChannelKeepsItsCodesAndAFrameWithoutSamplesItsMeasurements) {
  Start();
  RunFrame(PlainFrame());
  ASSERT_EQ(Visible(MainPanel::Ch1PositionMarker), 1);
  std::string ramp(kBlockPoints, '\0');
  for (std::size_t i = 0; i < ramp.size(); ++i) ramp[i] = static_cast<char>(i % 251);
  RunFrame(HeaderText({.mask = 2, .points = 2500}) + ramp);
  const SampleSet samples = ChannelSamples.Snapshot();
  EXPECT_EQ(std::string(samples[1].blockA.begin(), samples[1].blockA.end()), ramp);
  EXPECT_EQ(samples[1].blockB, samples[1].blockA);
  EXPECT_EQ(samples[0].blockA, FilledBlock(0x11));
  EXPECT_EQ(Mirror.ChannelShown[0].load(), 0);
  EXPECT_EQ(Visible(MainPanel::Ch1PositionMarker), 0);
  EXPECT_EQ(Visible(MainPanel::Ch1PositionLabel), 0);
  EXPECT_EQ(Visible(MainPanel::Ch2PositionMarker), 1);

  RunFrame(HeaderText({.flags = 2, .mask = 3}) + MeasurementPattern(40));
  EXPECT_EQ(ChannelSamples.Channel(0).blockA, FilledBlock(0x11));
  EXPECT_EQ(Mirror.ChannelShown[0].load(), 1);
  EXPECT_EQ(Visible(MainPanel::Ch1PositionMarker), 1);
  EXPECT_EQ(Visible(MainPanel::Ch1PositionLabel), 1);
  EXPECT_EQ(record_.Read(record_.measurementBlocks), std::vector{MeasurementPattern(40)});
}

TEST_F(FrameProcessingTest, TriggerAndMarkersAreRedrawnOnlyWhenTheyChange) {
  Start();
  RunFrame(PlainFrame({.level = 11}));
  EXPECT_EQ(Mirror.TriggerPositionSeen.load(), 5.0);
  EXPECT_EQ(record_.triggerMoved.load(), 1);
  EXPECT_EQ(record_.redrawMarkers.load(), 1) << "the first mask is a change";

  const FrameSpec moved{.position1 = -44, .position2 = 22, .source = 2, .level = -30};
  RunFrame(PlainFrame(moved));
  EXPECT_EQ(Mirror.TriggerSourceSeen.load(), 2);
  EXPECT_EQ(Mirror.TriggerLevelSeen[1].load(), -30.0);
  EXPECT_EQ(Mirror.TriggerLevelSeen[0].load(), 11.0);
  EXPECT_EQ(Mirror.VerticalPositionSeen[0].load(), -44);
  EXPECT_EQ(Mirror.VerticalPositionSeen[1].load(), 22);
  RunFrame(PlainFrame(moved));
  EXPECT_EQ(record_.triggerMoved.load(), 2);
  EXPECT_EQ(record_.redrawMarkers.load(), 2);
}

}  // namespace
}  // namespace acquisitiontest
