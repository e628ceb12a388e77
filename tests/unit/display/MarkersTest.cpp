// The position markers beside the trace graph, the trigger marker with its
// tags, and the XY panel's markers.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "MainPanelFixture.h"
#include "display/Colours.h"

namespace {

using displaytest::Ints;
using MarkersTest = displaytest::MainPanelTest;

TEST_F(MarkersTest, PositionMarkersFollowTheVerticalPositionAndClampAtTheEdges) {
  Layout.MarkerColumn = 268;
  Mirror.ChannelMaskSeen = 1;
  const int h = PlotAreaHeight();
  ASSERT_GT(h, 0);
  struct Row {
    int position;
    bool zoomed;
    int top, height, labelTop;
  };
  const Row rows[] = {{88, false, 55, 10, 46},          {89, false, 0, 3, 3},
                      {-89, false, h + 108, 3, h + 99}, {0, false, 55 + h / 2, 10, 46 + h / 2},
                      {88, true, 135, 10, 126},         {89, true, 80, 3, 83},
                      {-89, true, h + 188, 3, h + 179}};
  for (const Row& row : rows) {
    SCOPED_TRACE(testing::Message() << row.position << (row.zoomed ? ", zoomed" : ""));
    Mirror.VerticalPositionSeen[0] = static_cast<std::int16_t>(row.position);
    Mirror.ZoomActive = row.zoomed ? 1 : 0;
    PlacePositionMarkers();
    EXPECT_EQ(Attributes(MainPanel::Ch1PositionMarker, {ATTR_TOP, ATTR_HEIGHT, ATTR_LEFT, ATTR_VISIBLE}),
              (Ints{row.top, row.height, 268, 1}));
    EXPECT_EQ(Attributes(MainPanel::Ch1PositionLabel, {ATTR_TOP, ATTR_LEFT}), (Ints{row.labelTop, 269}));
  }
  EXPECT_EQ(OfEach({MainPanel::Ch2PositionMarker, MainPanel::Ch2PositionLabel}, ATTR_VISIBLE), (Ints{0, 0}))
      << "CH2 is not in the frames";
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
  EXPECT_EQ(Attributes(MainPanel::TriggerIndicator, {ATTR_LEFT, ATTR_TOP}), (Ints{416 - 2, 173 - 10 + 46}));
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
  Mirror.VerticalPositionSeen[1] = 20;  // 100 units above the centre
  struct Row {
    double level;
    bool zoomed;
    double code, cursorY;
    int mode, tagLeft, tagTop;
  };
  const Row rows[] = {{80.0, false, 1, 255, VAL_CURSOR_CLAMPED, 83 + 5 + 268, 1 + 8 + 46},
                      {-200.0, false, 255, 1, VAL_CURSOR_CLAMPED, 83 + 5 + 268, 345 - 10 + 46},
                      {-20.0, true, 128, 128, VAL_CURSOR_NORMAL, 83 + 17 + 268, 133 + 80 - 10 + 46}};  // centred
  for (const Row& row : rows) {
    SCOPED_TRACE(row.level);
    Mirror.TriggerLevelSeen[1] = row.level;
    Mirror.ZoomActive = row.zoomed ? 1 : 0;  // the graph 80 pixels lower
    PlaceTriggerMarker();
    EXPECT_EQ(TriggerPointY.load(), row.code);
    EXPECT_EQ(CursorAt(1), std::make_pair(500.0, row.cursorY));
    EXPECT_EQ(CursorAttribute(1, ATTR_CURSOR_MODE), row.mode);
    EXPECT_EQ(Attributes(MainPanel::TriggerIndicator, {ATTR_LEFT, ATTR_TOP}), (Ints{row.tagLeft, row.tagTop}));
  }
  EXPECT_EQ(Attribute(MainPanel::OverviewTriggerTag, ATTR_TOP), 32 + 46 + 10) << "the overview shows the level too";
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
  for (int ch = 0; ch < 2; ++ch) {
    for (int* marker : {&c.xMarker[ch], &c.yMarker[ch]}) *marker = NewCtrl(xy, CTRL_MARKER, "", 0, 0);
    for (int* text : {&c.xLabel[ch], &c.yLabel[ch]}) *text = NewCtrl(xy, CTRL_TEXT_MSG, "", 0, 0);
  }
  for (int* caption : {&c.xReferenceCaption, &c.yReferenceCaption}) *caption = NewCtrl(xy, CTRL_TEXT_MSG, "", 0, 0);
  SetXYPanelControls(c);
  XYGraphLeft = 30;
  XYPanelOpen = xy;
  const int width = Attribute(c.graph, ATTR_PLOT_AREA_WIDTH, xy);
  const int height = Attribute(c.graph, ATTR_PLOT_AREA_HEIGHT, xy);

  ProgramSetup.xySourceX = 1;
  ProgramSetup.xySourceY = 0;
  Mirror.ChannelMaskSeen = 3;
  Mirror.VerticalPositionSeen[1] = 89;   // X above the screen: past the right edge
  Mirror.VerticalPositionSeen[0] = -44;  // Y two divisions down
  FillReference(0, "REF1: 1ms");
  PlaceXYMarkers();
  EXPECT_EQ(Attributes(c.xMarker[1], {ATTR_VISIBLE, ATTR_LEFT, ATTR_WIDTH}, xy), (Ints{1, width + 15 + 30, 3}));
  EXPECT_EQ(Attribute(c.xLabel[1], ATTR_LEFT, xy), width + 15 - 8 + 30);
  EXPECT_EQ(Attributes(c.yMarker[0], {ATTR_VISIBLE, ATTR_TOP, ATTR_HEIGHT}, xy),
            (Ints{1, static_cast<int>(6.0 * height / 8.0 + 8.0), 10}));
  EXPECT_EQ(OfEach({c.xMarker[0], c.xLabel[0], c.yMarker[1], c.yLabel[1], c.xReferenceCaption}, ATTR_VISIBLE, xy),
            (Ints{0, 0, 0, 0, 0}))
      << "the unused markers; the captions without REF2";

  FillReference(1, "REF2: 2ms");
  Mirror.ChannelMaskSeen = 1;  // the X source (CH2) left the frames
  Mirror.VerticalPositionSeen[1] = 0;
  PlaceXYMarkers();
  EXPECT_EQ(Attributes(c.xMarker[1], {ATTR_VISIBLE, ATTR_LEFT}, xy),
            (Ints{0, static_cast<int>(width - width / 2.0 + 8) + 30}));
  std::string caption;
  GetCtrlVal(xy, c.xReferenceCaption, &caption);
  EXPECT_EQ(caption, "REF2: 2ms");
  EXPECT_EQ(Attribute(c.xReferenceCaption, ATTR_TEXT_COLOR, xy), static_cast<int>(ReferenceColour[1]));
  EXPECT_EQ(Attributes(c.yReferenceCaption, {ATTR_VISIBLE, ATTR_LEFT}, xy), (Ints{1, width / 2 + 30 + 10}));

  ProgramSetup.xySourceX = 7;  // a source outside the channels shows no marker
  PlaceXYMarkers();
  EXPECT_EQ(OfEach({c.xMarker[0], c.xMarker[1], c.yMarker[0], c.yMarker[1]}, ATTR_VISIBLE, xy), (Ints{0, 0, 0, 0}));
  ProgramSetup.xySourceX = 0;
  XYPanelOpen = 0;  // closed: nothing is touched
  PlaceXYMarkers();
  EXPECT_EQ(Attribute(c.xMarker[0], ATTR_VISIBLE, xy), 0);
}

}  // namespace
