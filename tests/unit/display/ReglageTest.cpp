// Dragging on and beside the trace graph: the trigger marker sets the trigger
// level and position, a position marker the channel's offset.
#include <gtest/gtest.h>

#include "MainPanelFixture.h"
#include "display/Reglage.h"

namespace {

using displaytest::Commit;
using displaytest::Ints;
using displaytest::kGate;

constexpr int kHalfVoltPerDiv = 7;  // KVX162
constexpr int kOneVoltPerDiv = 8;

class ReglageTest : public displaytest::MainPanelTest {
 protected:
  void SetUp() override {
    MainPanelTest::SetUp();
    ConnectInstrument();
    RegisterCallback("Reglage", CtrlCallback(Reglage));
    SetPanelRefresher([this] { ++refreshes_; });
    TriggerCursor = 1;
    ProgramSetup.effectiveTimebaseIndex = displaytest::kOneMillisecond;
    ProgramSetup.ch1VoltsPerDivIndex = kHalfVoltPerDiv;
    ProgramSetup.ch1ProbeFactor = 10.0f;
    ProgramSetup.ch2VoltsPerDivIndex = kOneVoltPerDiv;
  }
  int refreshes_ = 0;
};

TEST_F(ReglageTest, DroppingTheTriggerMarkerSendsLevelWithProbeFactorAndPosition) {
  Mirror.VerticalPositionSeen[0] = 11;  // half a division up
  ProgramSetup.measurementFlags = 0x10;
  headless::DragCursor(panel_, MainPanel::TraceGraph, 1, 1000, 160);
  // 1 division above the centre, 0.5 above the channel, at 0.5 V/div and x10.
  EXPECT_EQ(Received(), ":TRIG:LEV 2.5\r:SWE:OFFS:TIME -0.004\r" + kGate);
  EXPECT_EQ(ProgramSetup.ch1TriggerLevel, 11);
  EXPECT_EQ(Mirror.TriggerLevelSeen[0].load(), 11.0);
  EXPECT_EQ(ProgramSetup.horizontalOffset, -20000);
  EXPECT_EQ(Mirror.TriggerPositionSeen.load(), -4.0);
  EXPECT_EQ(refreshes_, 1);
  EXPECT_EQ(std::pair(TriggerPointX.load(), TriggerPointY.load()), std::pair(1000.0, 96.0));
  EXPECT_EQ(Attribute(MainPanel::TriggerIndicator, ATTR_TOP), 129 + 8 + 46) << "the tag follows the dropped point";
  EXPECT_EQ(CursorAttribute(1, ATTR_CROSS_HAIR_STYLE), VAL_SHORT_CROSS);
  EXPECT_EQ(CursorAttribute(1, ATTR_CURSOR_MODE), VAL_CURSOR_NORMAL);
  EXPECT_EQ(LinkBusy.load(), 0);

  ProgramSetup.measurementFlags = 0;  // released where it already was: nothing to send
  headless::DragCursor(panel_, MainPanel::TraceGraph, 1, 1000, 160);
  EXPECT_EQ(Received(), "");
  EXPECT_EQ(refreshes_, 1);
}

TEST_F(ReglageTest, TheLevelFollowsTheTriggerSourceAndThePositionTheZoom) {
  Mirror.TriggerSourceSeen = 1;
  ProgramSetup.zoomFactor = 10.0f;
  ProgramSetup.zoomPosition = 12500;
  headless::DragCursor(panel_, MainPanel::TraceGraph, 1, 500, 64);
  EXPECT_EQ(Received(), ":TRIG:LEV -2\r:SWE:OFFS:TIME -0.0035\r");
  EXPECT_EQ(ProgramSetup.ch2TriggerLevel, -44);
  EXPECT_EQ(ProgramSetup.ch1TriggerLevel, 0);
  EXPECT_EQ(ProgramSetup.horizontalOffset, -17500);

  Mirror.TriggerSourceSeen = 2;  // no source: only the position
  headless::DragCursor(panel_, MainPanel::TraceGraph, 1, 0, 200);
  EXPECT_EQ(Received(), ":SWE:OFFS:TIME -0.0025\r");
  EXPECT_EQ(ProgramSetup.ch2TriggerLevel, -44);
}

TEST_F(ReglageTest, MovingHidesTheCrossHairAndTheGraphGivesAwayTheFocus) {
  Reglage(panel_, MainPanel::TraceGraph, EVENT_VAL_CHANGED, nullptr, 1, 0);
  EXPECT_EQ(CursorAttribute(1, ATTR_CROSS_HAIR_STYLE), VAL_NO_CROSS);
  headless::Focus(panel_, MainPanel::TraceGraph);
  EXPECT_EQ(GetActiveCtrl(panel_), MainPanel::TimebaseRing);
  EXPECT_EQ(Received(), "");
}

// Dropped above, below or at the middle of the plot area, the marker stays on
// the area (80 pixels lower when zoomed); its label 9 pixels above it, or 11
// above the pointer within the area.
TEST_F(ReglageTest, ADroppedPositionMarkerSetsFourDivisionsUpOrDownOrTheMiddle) {
  RegisterCallback("RefVoie", CtrlCallback(RefVoie));
  RecordCommits();
  const int h = PlotAreaHeight();
  ASSERT_EQ(h % 2, 0) << "the middle rows are exact for an even height";
  struct Row {
    bool zoomed;
    int drop, top, labelTop;
    double divisions;
  };
  const Row rows[] = {{false, 10, 55, 46, 4.0},
                      {false, 2000, h + 55, h + 46, -4.0},
                      {false, 55 + h / 2, 55 + h / 2, 44 + h / 2, 0.0},
                      {true, 60, 135, 126, 4.0},
                      {true, 2000, h + 135, h + 126, -4.0},
                      {true, 135 + h / 2, 135 + h / 2, 124 + h / 2, 0.0}};
  const int markers[] = {MainPanel::Ch1PositionMarker, MainPanel::Ch2PositionMarker};
  const int labels[] = {MainPanel::Ch1PositionLabel, MainPanel::Ch2PositionLabel};
  const int inputs[][2] = {{MainPanel::Ch1OffsetInput, MainPanel::Ch1OffsetInput2},
                           {MainPanel::Ch2OffsetInput, MainPanel::Ch2OffsetInput2}};
  for (int ch : {0, 1}) {
    for (const Row& row : rows) {
      SCOPED_TRACE(testing::Message() << "CH" << ch + 1 << (row.zoomed ? " zoomed" : "") << " at " << row.drop);
      Mirror.ZoomActive = row.zoomed ? 1 : 0;
      headless::DragMarker(panel_, markers[ch], row.drop, Attribute(markers[ch], ATTR_LEFT));
      EXPECT_EQ(TakeCommits(), (std::vector<Commit>{{inputs[ch][0], row.divisions}}));
      EXPECT_EQ(Value(inputs[ch][1]), row.divisions);
      EXPECT_EQ(OfEach({markers[ch], labels[ch]}, ATTR_TOP), (Ints{row.top, row.labelTop}));
    }
  }
  // While it moves nothing is applied.
  RefVoie(panel_, MainPanel::Ch2PositionMarker, EVENT_DROP, nullptr, 200, 0);
  EXPECT_EQ(Attribute(MainPanel::Ch2PositionLabel, ATTR_TOP), 189);
  RefVoie(panel_, MainPanel::TraceGraph, EVENT_DROPPED, nullptr, 200, 0);  // it serves the two markers only
  EXPECT_TRUE(TakeCommits().empty());
}

}  // namespace
