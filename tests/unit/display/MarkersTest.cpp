// The position markers beside the trace graph, the trigger marker with its
// tags, and the XY panel's markers.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "MainPanelFixture.h"
#include "display/Colours.h"

namespace {

using MarkersTest = displaytest::MainPanelTest;

TEST_F(MarkersTest, PositionMarkersFollowTheVerticalPositionAndClampAtTheEdges) {
  Layout.MarkerColumn = 268;
  Mirror.ChannelMaskSeen = 1;
  const int h = PlotAreaHeight();
  ASSERT_GT(h, 0);
  struct Row {
    const char* name;
    int position;
    bool zoomed;
    int top, height;
    int labelTop;  // relative to the marker's top
  };
  const Row rows[] = {
      {"top of the screen", 88, false, 55, 10, -9},        {"above the screen", 89, false, 0, 3, 3},
      {"below the screen", -89, false, h + 108, 3, -9},    {"centre", 0, false, 55 + h / 2, 10, -9},
      {"top, zoomed", 88, true, 135, 10, -9},              {"above, zoomed", 89, true, 80, 3, 3},
      {"below, zoomed", -89, true, h + 188, 3, -9},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    Mirror.VerticalPositionSeen[0] = static_cast<std::int16_t>(row.position);
    Mirror.ZoomActive = row.zoomed ? 1 : 0;
    PlacePositionMarkers();
    EXPECT_EQ(Attribute(MainPanel::Ch1PositionMarker, ATTR_TOP), row.top);
    EXPECT_EQ(Attribute(MainPanel::Ch1PositionMarker, ATTR_HEIGHT), row.height);
    EXPECT_EQ(Attribute(MainPanel::Ch1PositionMarker, ATTR_LEFT), 268);
    EXPECT_EQ(Attribute(MainPanel::Ch1PositionLabel, ATTR_TOP), row.top + row.labelTop);
    EXPECT_EQ(Attribute(MainPanel::Ch1PositionLabel, ATTR_LEFT), 269);
    EXPECT_EQ(Attribute(MainPanel::Ch1PositionMarker, ATTR_VISIBLE), 1);
  }
  EXPECT_EQ(Attribute(MainPanel::Ch2PositionLabel, ATTR_VISIBLE), 0) << "CH2 is not in the frames";
  Mirror.ChannelMaskSeen = 2;
  PlacePositionMarkers();
  EXPECT_EQ(Attribute(MainPanel::Ch1PositionMarker, ATTR_VISIBLE), 0);
  EXPECT_EQ(Attribute(MainPanel::Ch1PositionLabel, ATTR_VISIBLE), 0);
  EXPECT_EQ(Attribute(MainPanel::Ch2PositionMarker, ATTR_VISIBLE), 1);
}

TEST_F(MarkersTest, TriggerBeyondTheRightEdgeIsDrawnAtTheLastPointWithTheClampedLook) {
  Mirror.TriggerPositionSeen = -11.0;  // 2750 screen points
  const int leftBefore = Attribute(MainPanel::TriggerIndicator, ATTR_LEFT);
  PlaceTriggerMarker();
  EXPECT_EQ(Attribute(MainPanel::TriggerIndicator, ATTR_LEFT), leftBefore) << "no trigger cursor, no marker";
  EXPECT_EQ(TriggerPointX.load(), 0.0);

  TriggerCursor = 1;
  PlaceTriggerMarker();
  EXPECT_EQ(TriggerPointX.load(), 2500.0);
  EXPECT_EQ(CursorAt(1), std::make_pair(2499.0, 128.0));
  EXPECT_EQ(CursorAttribute(1, ATTR_CURSOR_MODE), VAL_CURSOR_CLAMPED);
  // Tag offset 2: the indicator sits 2 pixels left of the right edge (width 416).
  EXPECT_EQ(Attribute(MainPanel::TriggerIndicator, ATTR_LEFT), 416 - 2);
  EXPECT_EQ(Attribute(MainPanel::TriggerIndicator, ATTR_TOP), 173 - 10 + 46);
  EXPECT_EQ(Attribute(MainPanel::TriggerPosTag, ATTR_LEFT), 402 + 29);

  Mirror.TriggerPositionSeen = -5.0;  // back on screen, at the centre
  PlaceTriggerMarker();
  EXPECT_EQ(CursorAt(1).first, 1250.0);
  EXPECT_EQ(CursorAttribute(1, ATTR_CURSOR_MODE), VAL_CURSOR_NORMAL);
  EXPECT_EQ(Attribute(MainPanel::TriggerIndicator, ATTR_LEFT), 208 + 17) << "left half: offset -17";
}

TEST_F(MarkersTest, TriggerLevelsOffTheScreenClampTheCodeAndOverrideTheTagOffsets) {
  TriggerCursor = 1;
  Layout.MarkerColumn = 268;
  Mirror.TriggerPositionSeen = -2.0;  // 500 screen points
  Mirror.TriggerSourceSeen = 2;       // no channel: the CH2 entries are used
  Mirror.TriggerLevelSeen[1] = 80.0;
  Mirror.VerticalPositionSeen[1] = 20;  // 100 units above the centre
  PlaceTriggerMarker();
  EXPECT_EQ(TriggerPointY.load(), 1.0);
  EXPECT_EQ(CursorAt(1), std::make_pair(500.0, 255.0));
  EXPECT_EQ(CursorAttribute(1, ATTR_CURSOR_MODE), VAL_CURSOR_CLAMPED);
  EXPECT_EQ(Attribute(MainPanel::TriggerIndicator, ATTR_LEFT), 83 + 5 + 268);
  EXPECT_EQ(Attribute(MainPanel::TriggerIndicator, ATTR_TOP), 1 + 8 + 46);

  Mirror.TriggerLevelSeen[1] = -200.0;
  PlaceTriggerMarker();
  EXPECT_EQ(TriggerPointY.load(), 255.0);
  EXPECT_EQ(CursorAt(1).second, 1.0);
  EXPECT_EQ(Attribute(MainPanel::TriggerIndicator, ATTR_TOP), 345 - 10 + 46);

  // Zoomed, the graph is 80 pixels lower and the overview shows the level too.
  Mirror.ZoomActive = 1;
  Mirror.TriggerLevelSeen[1] = -20.0;  // the centre
  PlaceTriggerMarker();
  EXPECT_EQ(TriggerPointY.load(), 128.0);
  EXPECT_EQ(CursorAttribute(1, ATTR_CURSOR_MODE), VAL_CURSOR_NORMAL);
  EXPECT_EQ(Attribute(MainPanel::TriggerIndicator, ATTR_TOP), 133 + 80 - 10 + 46);
  EXPECT_EQ(Attribute(MainPanel::OverviewTriggerTag, ATTR_TOP), 32 + 46 + 10);
}

void FillReference(int which, const char* label) {
  ReferenceData data = ProgramReferences.Snapshot();
  data.ReferenceStore[static_cast<std::size_t>(which)].fill(100);
  std::snprintf(data.ReferenceLabel[static_cast<std::size_t>(which)].data(), kReferenceLabelSize, "%s", label);
  ProgramReferences.Replace(data);
}

// The XY panel as its loader builds it: a graph, a marker and a label per
// channel and axis, two reference captions.
TEST_F(MarkersTest, EachXYSourceHasItsMarkerAndTheCaptionsNeedBothReferences) {
  const int xy = NewPanel(0, "XY", 10, 10, 400, 400);
  XYPanelControls c;
  c.graph = NewCtrl(xy, CTRL_GRAPH, "", 20, 30);
  SetCtrlAttribute(xy, c.graph, ATTR_WIDTH, 322);
  SetCtrlAttribute(xy, c.graph, ATTR_HEIGHT, 258);
  for (int ch = 0; ch < 2; ++ch) {
    c.xMarker[ch] = NewCtrl(xy, CTRL_MARKER, "", 0, 0);
    c.yMarker[ch] = NewCtrl(xy, CTRL_MARKER, "", 0, 0);
    c.xLabel[ch] = NewCtrl(xy, CTRL_TEXT_MSG, "", 0, 0);
    c.yLabel[ch] = NewCtrl(xy, CTRL_TEXT_MSG, "", 0, 0);
  }
  c.xReferenceCaption = NewCtrl(xy, CTRL_TEXT_MSG, "", 0, 0);
  c.yReferenceCaption = NewCtrl(xy, CTRL_TEXT_MSG, "", 0, 0);
  SetXYPanelControls(c);
  XYGraphLeft = 30;
  XYPanelOpen = xy;
  const auto at = [xy](int control, int attribute) {
    int value = -1;
    GetCtrlAttribute(xy, control, attribute, &value);
    return value;
  };
  const int width = at(c.graph, ATTR_PLOT_AREA_WIDTH), height = at(c.graph, ATTR_PLOT_AREA_HEIGHT);

  ProgramSetup.xySourceX = 1;
  ProgramSetup.xySourceY = 0;
  Mirror.ChannelMaskSeen = 3;
  Mirror.VerticalPositionSeen[1] = 89;   // X above the screen: past the right edge
  Mirror.VerticalPositionSeen[0] = -44;  // Y two divisions down
  FillReference(0, "REF1: 1ms");
  PlaceXYMarkers();
  EXPECT_EQ(at(c.xMarker[1], ATTR_VISIBLE), 1);
  EXPECT_EQ(at(c.xMarker[1], ATTR_LEFT), width + 15 + 30);
  EXPECT_EQ(at(c.xLabel[1], ATTR_LEFT), width + 15 - 8 + 30);
  EXPECT_EQ(at(c.xMarker[1], ATTR_WIDTH), 3);
  EXPECT_EQ(at(c.xMarker[1], ATTR_TOP), 0);
  EXPECT_EQ(at(c.yMarker[0], ATTR_VISIBLE), 1);
  const int y = static_cast<int>(6.0 * height / 8.0 + 8.0);
  EXPECT_EQ(at(c.yMarker[0], ATTR_TOP), y);
  EXPECT_EQ(at(c.yLabel[0], ATTR_TOP), y - 9);
  EXPECT_EQ(at(c.yMarker[0], ATTR_LEFT), 30);
  EXPECT_EQ(at(c.yMarker[0], ATTR_HEIGHT), 10);
  for (int unused : {c.xMarker[0], c.xLabel[0], c.yMarker[1], c.yLabel[1]}) EXPECT_EQ(at(unused, ATTR_VISIBLE), 0);
  EXPECT_EQ(at(c.xReferenceCaption, ATTR_VISIBLE), 0) << "REF2 is empty";

  FillReference(1, "REF2: 2ms");
  Mirror.ChannelMaskSeen = 1;  // the X source (CH2) left the frames
  Mirror.VerticalPositionSeen[1] = 0;
  PlaceXYMarkers();
  EXPECT_EQ(at(c.xMarker[1], ATTR_VISIBLE), 0);
  EXPECT_EQ(at(c.xMarker[1], ATTR_LEFT), static_cast<int>(width - width / 2.0 + 8) + 30);
  std::string caption;
  GetCtrlVal(xy, c.xReferenceCaption, &caption);
  EXPECT_EQ(caption, "REF2: 2ms");
  EXPECT_EQ(at(c.xReferenceCaption, ATTR_TEXT_COLOR), static_cast<int>(ReferenceColour[1]));
  EXPECT_EQ(at(c.yReferenceCaption, ATTR_VISIBLE), 1);
  EXPECT_EQ(at(c.yReferenceCaption, ATTR_LEFT), width / 2 + 30 + 10);
  EXPECT_EQ(at(c.yReferenceCaption, ATTR_TOP), height - 2);

  ProgramSetup.xySourceX = 7;  // a source outside the channels shows no marker
  PlaceXYMarkers();
  for (int marker : {c.xMarker[0], c.xMarker[1], c.yMarker[0], c.yMarker[1]}) EXPECT_EQ(at(marker, ATTR_VISIBLE), 0);
  ProgramSetup.xySourceX = 0;
  XYPanelOpen = 0;  // closed: nothing is touched
  PlaceXYMarkers();
  EXPECT_EQ(at(c.xMarker[0], ATTR_VISIBLE), 0);
}

}  // namespace
