// Dragging on and beside the trace graph: the trigger marker sets the trigger
// level and position, a position marker the channel's offset.
#include <gtest/gtest.h>

#include "MainPanelFixture.h"
#include "display/Reglage.h"

namespace {

using displaytest::Commit;
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
  EXPECT_EQ(TriggerPointX.load(), 1000.0);
  EXPECT_EQ(TriggerPointY.load(), 96.0);
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

class RefVoieTest : public displaytest::MainPanelTest {
 protected:
  void SetUp() override {
    MainPanelTest::SetUp();
    RegisterCallback("RefVoie", CtrlCallback(RefVoie));
    RecordCommits();
    h_ = PlotAreaHeight();
    ASSERT_EQ(h_ % 2, 0) << "the middle rows below are exact for an even height";
  }
  void Drop(int marker, int top) { headless::DragMarker(panel_, marker, top, Attribute(marker, ATTR_LEFT)); }

  int h_ = 0;
};

TEST_F(RefVoieTest, DroppedAboveBelowAndAtTheMiddleOfThePlotArea) {
  struct Row {
    const char* name;
    bool zoomed;
    int top;
    double divisions;
  };
  const Row rows[] = {{"above", false, 10, 4.0},           {"below", false, 2000, -4.0},
                      {"middle", false, 55 + h_ / 2, 0.0}, {"above, zoomed", true, 60, 4.0},
                      {"below, zoomed", true, 2000, -4.0}, {"middle, zoomed", true, 135 + h_ / 2, 0.0}};
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    Mirror.ZoomActive = row.zoomed ? 1 : 0;
    Drop(MainPanel::Ch1PositionMarker, row.top);
    EXPECT_EQ(TakeCommits(), (std::vector<Commit>{{MainPanel::Ch1OffsetInput, row.divisions}}));
    EXPECT_EQ(Value(MainPanel::Ch1OffsetInput2), row.divisions);
  }
}

TEST_F(RefVoieTest, TheMarkerStaysWithinThePlotAreaAndItsLabelFollows) {
  Mirror.ZoomActive = 1;
  Drop(MainPanel::Ch2PositionMarker, 60);
  EXPECT_EQ(Attribute(MainPanel::Ch2PositionMarker, ATTR_TOP), 135);
  EXPECT_EQ(Attribute(MainPanel::Ch2PositionLabel, ATTR_TOP), 126);
  EXPECT_EQ(TakeCommits(), (std::vector<Commit>{{MainPanel::Ch2OffsetInput, 4.0}}));

  Mirror.ZoomActive = 0;
  Drop(MainPanel::Ch2PositionMarker, 2000);
  EXPECT_EQ(Attribute(MainPanel::Ch2PositionMarker, ATTR_TOP), h_ + 55);
  EXPECT_EQ(Attribute(MainPanel::Ch2PositionLabel, ATTR_TOP), h_ + 46);

  // While it moves the label keeps 11 pixels above the pointer and nothing is applied.
  RefVoie(panel_, MainPanel::Ch2PositionMarker, EVENT_DROP, nullptr, 200, 0);
  EXPECT_EQ(Attribute(MainPanel::Ch2PositionLabel, ATTR_TOP), 189);
  EXPECT_EQ(TakeCommits().size(), 1u) << "only the drop at the bottom";
  RefVoie(panel_, MainPanel::TraceGraph, EVENT_DROPPED, nullptr, 200, 0);  // it serves the two markers only
  EXPECT_TRUE(TakeCommits().empty());
}

}  // namespace
