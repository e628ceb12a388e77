// The position markers beside the trace graph, the trigger marker with its
// tags, and the XY panel's markers.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "MainPanelFixture.h"
#include "display/Colours.h"
#include "display/Markers.h"
#include "display/XYPanel.h"

namespace {

using MarkersTest = displaytest::MainPanelTest;

struct MarkerRow {
  const char* name;
  int position;
  bool zoomed;
  int top;  // H: the plot area's height
  bool topBelowPlotArea;
  int height;
  int labelTop;  // relative to the marker's top
};

TEST_F(MarkersTest, PositionMarkersFollowTheVerticalPositionAndClampAtTheEdges) {
  Layout.MarkerColumn = 268;
  Mirror.ChannelMaskSeen = 1;
  const int h = PlotAreaHeight();
  ASSERT_GT(h, 0);
  const MarkerRow rows[] = {
      {"top of the screen", 88, false, 55, false, 10, -9},
      {"above the screen", 89, false, 0, false, 3, 3},
      {"below the screen", -89, false, 108, true, 3, -9},
      {"centre", 0, false, 55 + h / 2, false, 10, -9},
      {"top of the screen, zoomed", 88, true, 135, false, 10, -9},
      {"above the screen, zoomed", 89, true, 80, false, 3, 3},
      {"below the screen, zoomed", -89, true, 188, true, 3, -9},
  };
  for (const MarkerRow& row : rows) {
    SCOPED_TRACE(row.name);
    Mirror.VerticalPositionSeen[0] = static_cast<std::int16_t>(row.position);
    Mirror.ZoomActive = row.zoomed ? 1 : 0;
    PlacePositionMarkers();
    const int top = row.top + (row.topBelowPlotArea ? h : 0);
    EXPECT_EQ(Attribute(MainPanel::Ch1PositionMarker, ATTR_TOP), top);
    EXPECT_EQ(Attribute(MainPanel::Ch1PositionMarker, ATTR_HEIGHT), row.height);
    EXPECT_EQ(Attribute(MainPanel::Ch1PositionMarker, ATTR_LEFT), 268);
    EXPECT_EQ(Attribute(MainPanel::Ch1PositionLabel, ATTR_TOP), top + row.labelTop);
    EXPECT_EQ(Attribute(MainPanel::Ch1PositionLabel, ATTR_LEFT), 269);
    EXPECT_EQ(Attribute(MainPanel::Ch1PositionMarker, ATTR_VISIBLE), 1);
  }
  EXPECT_EQ(Attribute(MainPanel::Ch2PositionMarker, ATTR_VISIBLE), 0) << "CH2 is not in the frames";
  EXPECT_EQ(Attribute(MainPanel::Ch2PositionLabel, ATTR_VISIBLE), 0);

  Mirror.ChannelMaskSeen = 2;
  PlacePositionMarkers();
  EXPECT_EQ(Attribute(MainPanel::Ch1PositionMarker, ATTR_VISIBLE), 0);
  EXPECT_EQ(Attribute(MainPanel::Ch1PositionLabel, ATTR_VISIBLE), 0);
  EXPECT_EQ(Attribute(MainPanel::Ch2PositionMarker, ATTR_VISIBLE), 1);
}

class TriggerMarkerTest : public displaytest::MainPanelTest {
 protected:
  void SetUp() override {
    MainPanelTest::SetUp();
    TriggerCursor = 1;
  }
  struct CursorPlace {
    double x = -1, y = -1;
  };
  CursorPlace Cursor() const {
    CursorPlace place;
    GetGraphCursor(panel_, MainPanel::TraceGraph, 1, &place.x, &place.y);
    return place;
  }
  int Look() const {
    int mode = -1;
    GetCursorAttribute(panel_, MainPanel::TraceGraph, 1, ATTR_CURSOR_MODE, &mode);
    return mode;
  }
};

TEST_F(TriggerMarkerTest, BeyondTheRightEdgeTheCursorIsDrawnAtTheLastPointWithTheClampedLook) {
  Mirror.TriggerPositionSeen = -11.0;  // 2750 screen points
  PlaceTriggerMarker();
  EXPECT_EQ(TriggerPointX.load(), 2500.0);
  EXPECT_EQ(Cursor().x, 2499.0);
  EXPECT_EQ(Cursor().y, 128.0);
  EXPECT_EQ(Look(), VAL_CURSOR_CLAMPED);
  // Tag offset 2: the indicator sits 2 pixels left of the right edge (width 416).
  EXPECT_EQ(Attribute(MainPanel::TriggerIndicator, ATTR_LEFT), 416 - 2);
  EXPECT_EQ(Attribute(MainPanel::TriggerIndicator, ATTR_TOP), 173 - 10 + 46);
  EXPECT_EQ(Attribute(MainPanel::TriggerPosTag, ATTR_LEFT), 402 + 29);

  Mirror.TriggerPositionSeen = -5.0;  // back on screen, at the centre
  PlaceTriggerMarker();
  EXPECT_EQ(Cursor().x, 1250.0);
  EXPECT_EQ(Look(), VAL_CURSOR_NORMAL);
  EXPECT_EQ(Attribute(MainPanel::TriggerIndicator, ATTR_LEFT), 208 + 17) << "left half: offset -17";
}

TEST_F(TriggerMarkerTest, LevelsOffTheScreenClampTheCodeAndOverrideTheTagOffsets) {
  Layout.MarkerColumn = 268;
  Mirror.TriggerPositionSeen = -2.0;  // 500 screen points
  Mirror.TriggerSourceSeen = 2;       // no channel: the CH2 entries are used
  Mirror.TriggerLevelSeen[1] = 80.0;
  Mirror.VerticalPositionSeen[1] = 20;  // 100 units above the centre
  PlaceTriggerMarker();
  EXPECT_EQ(TriggerPointY.load(), 1.0);
  EXPECT_EQ(Cursor().y, 255.0);
  EXPECT_EQ(Cursor().x, 500.0);
  EXPECT_EQ(Look(), VAL_CURSOR_CLAMPED);
  EXPECT_EQ(Attribute(MainPanel::TriggerIndicator, ATTR_LEFT), 83 + 5 + 268);
  EXPECT_EQ(Attribute(MainPanel::TriggerIndicator, ATTR_TOP), 1 + 8 + 46);

  Mirror.TriggerLevelSeen[1] = -200.0;
  PlaceTriggerMarker();
  EXPECT_EQ(TriggerPointY.load(), 255.0);
  EXPECT_EQ(Cursor().y, 1.0);
  EXPECT_EQ(Attribute(MainPanel::TriggerIndicator, ATTR_TOP), 345 - 10 + 46);

  // Zoomed, the graph is 80 pixels lower and the overview shows the level too.
  Mirror.ZoomActive = 1;
  Mirror.TriggerLevelSeen[1] = -20.0;  // the centre
  PlaceTriggerMarker();
  EXPECT_EQ(TriggerPointY.load(), 128.0);
  EXPECT_EQ(Look(), VAL_CURSOR_NORMAL);
  EXPECT_EQ(Attribute(MainPanel::TriggerIndicator, ATTR_TOP), 133 + 80 - 10 + 46);
  EXPECT_EQ(Attribute(MainPanel::OverviewTriggerTag, ATTR_TOP), 32 + 46 + 10);
}

TEST_F(TriggerMarkerTest, NoTriggerCursorNoMarker) {
  TriggerCursor = 0;
  Mirror.TriggerPositionSeen = -11.0;
  const int left = Attribute(MainPanel::TriggerIndicator, ATTR_LEFT);
  PlaceTriggerMarker();
  EXPECT_EQ(Attribute(MainPanel::TriggerIndicator, ATTR_LEFT), left);
  EXPECT_EQ(TriggerPointX.load(), 0.0);
}

// The XY panel as its loader will build it: a graph, a marker and a label per
// channel and axis, two reference captions.
class XYMarkersTest : public displaytest::MainPanelTest {
 protected:
  void SetUp() override {
    MainPanelTest::SetUp();
    xyPanel_ = NewPanel(0, "XY", 10, 10, 400, 400);
    ASSERT_GT(xyPanel_, 0);
    controls_.graph = NewCtrl(xyPanel_, CTRL_GRAPH, "", 20, 30);
    SetCtrlAttribute(xyPanel_, controls_.graph, ATTR_WIDTH, 322);
    SetCtrlAttribute(xyPanel_, controls_.graph, ATTR_HEIGHT, 258);
    for (int ch = 0; ch < 2; ++ch) {
      controls_.xMarker[ch] = NewCtrl(xyPanel_, CTRL_MARKER, "", 0, 0);
      controls_.xLabel[ch] = NewCtrl(xyPanel_, CTRL_TEXT_MSG, "", 0, 0);
      controls_.yMarker[ch] = NewCtrl(xyPanel_, CTRL_MARKER, "", 0, 0);
      controls_.yLabel[ch] = NewCtrl(xyPanel_, CTRL_TEXT_MSG, "", 0, 0);
    }
    controls_.xReferenceCaption = NewCtrl(xyPanel_, CTRL_TEXT_MSG, "", 0, 0);
    controls_.yReferenceCaption = NewCtrl(xyPanel_, CTRL_TEXT_MSG, "", 0, 0);
    SetXYPanelControls(controls_);
    XYGraphLeft = 30;
    width_ = XYAttribute(controls_.graph, ATTR_PLOT_AREA_WIDTH);
    height_ = XYAttribute(controls_.graph, ATTR_PLOT_AREA_HEIGHT);
    XYPanelOpen = xyPanel_;
  }
  void TearDown() override {
    SetXYPanelControls({});
    XYGraphLeft = 0;
    MainPanelTest::TearDown();
  }
  int XYAttribute(int control, int attribute) const {
    int value = -1;
    GetCtrlAttribute(xyPanel_, control, attribute, &value);
    return value;
  }
  static void FillReference(int which, const char* label) {
    ReferenceData data = ProgramReferences.Snapshot();
    data.ReferenceStore[static_cast<std::size_t>(which)].fill(100);
    std::snprintf(data.ReferenceLabel[static_cast<std::size_t>(which)].data(), kReferenceLabelSize, "%s", label);
    ProgramReferences.Replace(data);
  }

  int xyPanel_ = 0;
  XYPanelControls controls_;
  int width_ = 0, height_ = 0;
};

TEST_F(XYMarkersTest, EachSourceHasItsMarkerAndTheCaptionsNeedBothReferences) {
  ProgramSetup.xySourceX = 1;
  ProgramSetup.xySourceY = 0;
  Mirror.ChannelMaskSeen = 3;
  Mirror.VerticalPositionSeen[1] = 89;   // X above the screen: past the right edge
  Mirror.VerticalPositionSeen[0] = -44;  // Y two divisions down
  FillReference(0, "REF1: 1ms");
  PlaceXYMarkers();

  EXPECT_EQ(XYAttribute(controls_.xMarker[1], ATTR_VISIBLE), 1);
  EXPECT_EQ(XYAttribute(controls_.xMarker[1], ATTR_LEFT), width_ + 15 + 30);
  EXPECT_EQ(XYAttribute(controls_.xLabel[1], ATTR_LEFT), width_ + 15 - 8 + 30);
  EXPECT_EQ(XYAttribute(controls_.xMarker[1], ATTR_WIDTH), 3);
  EXPECT_EQ(XYAttribute(controls_.xMarker[1], ATTR_TOP), 0);
  EXPECT_EQ(XYAttribute(controls_.yMarker[0], ATTR_VISIBLE), 1);
  const int y = static_cast<int>(6.0 * height_ / 8.0 + 8.0);
  EXPECT_EQ(XYAttribute(controls_.yMarker[0], ATTR_TOP), y);
  EXPECT_EQ(XYAttribute(controls_.yLabel[0], ATTR_TOP), y - 9);
  EXPECT_EQ(XYAttribute(controls_.yMarker[0], ATTR_LEFT), 30);
  EXPECT_EQ(XYAttribute(controls_.yMarker[0], ATTR_HEIGHT), 10);
  for (int unused : {controls_.xMarker[0], controls_.xLabel[0], controls_.yMarker[1], controls_.yLabel[1]})
    EXPECT_EQ(XYAttribute(unused, ATTR_VISIBLE), 0);
  EXPECT_EQ(XYAttribute(controls_.xReferenceCaption, ATTR_VISIBLE), 0) << "REF2 is empty";

  FillReference(1, "REF2: 2ms");
  Mirror.ChannelMaskSeen = 1;  // the X source (CH2) left the frames
  Mirror.VerticalPositionSeen[1] = 0;
  PlaceXYMarkers();
  EXPECT_EQ(XYAttribute(controls_.xMarker[1], ATTR_VISIBLE), 0);
  EXPECT_EQ(XYAttribute(controls_.xMarker[1], ATTR_LEFT), static_cast<int>(width_ - width_ / 2.0 + 8) + 30);
  std::string caption;
  GetCtrlVal(xyPanel_, controls_.xReferenceCaption, &caption);
  EXPECT_EQ(caption, "REF2: 2ms");
  EXPECT_EQ(XYAttribute(controls_.xReferenceCaption, ATTR_TEXT_COLOR), static_cast<int>(ReferenceColour[1]));
  EXPECT_EQ(XYAttribute(controls_.yReferenceCaption, ATTR_VISIBLE), 1);
  EXPECT_EQ(XYAttribute(controls_.yReferenceCaption, ATTR_LEFT), width_ / 2 + 30 + 10);
  EXPECT_EQ(XYAttribute(controls_.yReferenceCaption, ATTR_TOP), height_ - 2);
}

TEST_F(XYMarkersTest, ASourceOutsideTheChannelsShowsNoMarker) {
  ProgramSetup.xySourceX = 7;
  Mirror.ChannelMaskSeen = 3;
  PlaceXYMarkers();
  for (int ch = 0; ch < 2; ++ch) {
    EXPECT_EQ(XYAttribute(controls_.xMarker[ch], ATTR_VISIBLE), 0);
    EXPECT_EQ(XYAttribute(controls_.yMarker[ch], ATTR_VISIBLE), 0);
  }
  ProgramSetup.xySourceX = 0;
  PlaceXYMarkers();
  EXPECT_EQ(XYAttribute(controls_.xMarker[0], ATTR_VISIBLE), 1);

  XYPanelOpen = 0;  // closed: nothing is touched
  Mirror.ChannelMaskSeen = 0;
  PlaceXYMarkers();
  EXPECT_EQ(XYAttribute(controls_.xMarker[0], ATTR_VISIBLE), 1);
}

}  // namespace
