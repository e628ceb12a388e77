// The main panel's own callback: function keys, closing and the layout that
// follows the panel's size.
#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "MainPanelFixture.h"
#include "display/AjustTrace.h"

namespace {

using displaytest::Commit;
using displaytest::Ints;

class AjustTraceTest : public displaytest::MainPanelTest {
 protected:
  void SetUp() override {
    MainPanelTest::SetUp();
    RegisterCallback("AjustTrace", PanelCallback(AjustTrace));
    RecordCommits();
  }
  void TearDown() override {
    SetShutdownHandler(nullptr);
    MainPanelTest::TearDown();
  }
};

TEST_F(AjustTraceTest, ButtonKeysCommitTheirButton) {
  for (int key : {VAL_F1_VKEY, VAL_F2_VKEY, VAL_F3_VKEY}) headless::KeyPress(panel_, key);
  EXPECT_EQ(TakeCommits(), (std::vector<Commit>{{MainPanel::Ch1AutosetButton, 0},
                                                {MainPanel::Ch2AutosetButton, 0},
                                                {MainPanel::AutosetButton, 0}}));
}

// A step key moves its control and the control's copy, and commits it once; at
// the end of the ring, and for the other keys, nothing happens.
TEST_F(AjustTraceTest, StepKeysMoveTheirControlInBothCopiesAndStopAtTheEnds) {
  SetCtrlAttribute(panel_, MainPanel::TriggerLevelInput, ATTR_INCR_VALUE, 0.25);
  const int timebase[] = {MainPanel::TimebaseRing, MainPanel::TimebaseRing2};
  const int level[] = {MainPanel::TriggerLevelInput, MainPanel::TriggerLevelInput2};
  const int ch1[] = {MainPanel::Ch1SensitivityRing, MainPanel::Ch1SensitivityRing};  // no copy
  const int ch2[] = {MainPanel::Ch2SensitivityRing, MainPanel::Ch2SensitivityRing};
  struct Row {
    int key;
    const int* controls;  // the control and its copy
    double at, after;
  };
  const Row rows[] = {
      {VAL_F11_VKEY, timebase, 18, 19}, {VAL_F12_VKEY, timebase, 18, 17}, {VAL_F11_VKEY, timebase, 30, 30},
      {VAL_F9_VKEY, level, 1.0, 0.75},  {VAL_F10_VKEY, level, 1.0, 1.25},
      {VAL_F5_VKEY, ch1, 5, 4},         {VAL_F6_VKEY, ch1, 5, 6},          {VAL_F7_VKEY, ch2, 5, 4},
      {VAL_F8_VKEY, ch2, 5, 6},         {VAL_F5_VKEY, ch1, 1, 1},          {VAL_F6_VKEY, ch1, 14, 14},
      {VAL_F7_VKEY, ch2, 1, 1},         {VAL_F8_VKEY, ch2, 14, 14},        {VAL_F4_VKEY, timebase, 18, 18},
      {VAL_F1_VKEY | VAL_SHIFT_MODIFIER, timebase, 18, 18},              {VAL_PAGE_UP_VKEY, timebase, 18, 18},
      {static_cast<int>('a'), timebase, 18, 18},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(testing::Message() << "key " << row.key << " at " << row.at);
    for (int i : {0, 1}) ASSERT_GE(SetCtrlVal(panel_, row.controls[i], row.at), 0);
    headless::KeyPress(panel_, row.key);
    EXPECT_DOUBLE_EQ(Value(row.controls[0]), row.after);
    EXPECT_DOUBLE_EQ(Value(row.controls[1]), row.after) << "the copy";
    const std::vector<Commit> none, one = {{row.controls[0], row.after}};
    EXPECT_EQ(TakeCommits(), row.after == row.at ? none : one);
  }
}

TEST_F(AjustTraceTest, ClosingWithoutASessionQuitsWithoutAsking) {
  int shutdowns = 0;
  SetShutdownHandler([&shutdowns] { ++shutdowns; });
  ASSERT_EQ(TheInstrument.session, 0u);
  headless::Close(panel_);
  EXPECT_EQ(shutdowns, 1);
  EXPECT_TRUE(headless::Popups().empty());
}

TEST_F(AjustTraceTest, ResizeKeepsTheSmallestSizeAndPlacesEveryControl) {
  Layout.MarkerColumn = 268;
  Mirror.ChannelMaskSeen = 1;
  TriggerCursor = 1;
  Mirror.TriggerPositionSeen = -5.0;  // the centre of the screen
  headless::Resize(panel_, 400, 300);
  int height = 0, width = 0;
  GetPanelAttribute(panel_, ATTR_HEIGHT, &height);
  GetPanelAttribute(panel_, ATTR_WIDTH, &width);
  EXPECT_EQ(std::make_pair(width, height), std::make_pair(530, 545));
  EXPECT_EQ(Layout.GraphHeightPx.load(), 459);
  EXPECT_EQ(Layout.GraphWidthPx.load(), 239);
  struct Place {
    int control, left, top;  // -1: not placed by the layout
  };
  const int captionWidth = Attribute(MainPanel::GraphCaption, ATTR_WIDTH);
  const Place places[] = {
      {MainPanel::TraceGraph, 268, 46},         {MainPanel::ZoomLeftSmallButton, 268, -1},
      {MainPanel::ZoomLeftLargeButton, 268, -1}, {MainPanel::ZoomRightSmallButton, 506, -1},
      {MainPanel::ZoomRightLargeButton, 506, -1}, {MainPanel::OverviewGraph, 292, -1},
      {MainPanel::OverviewTriggerTag, 492, -1},  {MainPanel::AcquisitionTimebaseLabel, 364, -1},
      {MainPanel::AcqStateText, 410, 512},       {MainPanel::ZoomOnButton, 387, 522},
      {MainPanel::ZoomOffButton, 387, 522},      {MainPanel::ZoomInButton, 362, 522},
      {MainPanel::ZoomOutButton, 412, 522},      {MainPanel::TimebaseText, 352, 510},
      {MainPanel::PersistenceIcon, 271, 526},    {MainPanel::AcquisitionLed, 440, 519},
      {MainPanel::Ref1LabelText, 293, 522},      {MainPanel::Ref2LabelText, 293, 532},
      {MainPanel::Ch1PositionMarker, 268, -1},   {MainPanel::GraphCaption, 268 + (239 - captionWidth) / 2, -1},
      {MainPanel::TriggerPosTag, 94 + 29 + 268, -1},  // placed again with the trigger marker
  };
  for (const Place& place : places) {
    SCOPED_TRACE(testing::Message() << "control " << place.control);
    EXPECT_EQ(Attribute(place.control, ATTR_LEFT), place.left);
    EXPECT_EQ(place.top < 0 ? place.top : Attribute(place.control, ATTR_TOP), place.top);
  }
  EXPECT_EQ(Attributes(MainPanel::TraceGraph, {ATTR_WIDTH, ATTR_HEIGHT}), (Ints{272, 477}));
  EXPECT_EQ(Attribute(MainPanel::OverviewGraph, ATTR_WIDTH), 214);
  EXPECT_EQ(Attribute(MainPanel::TriggerIndicator, ATTR_LEFT), 119 + 17 + 268) << "the centre of 239 pixels";

  Mirror.ZoomActive = 1;
  headless::Resize(panel_, 700, 900);
  EXPECT_EQ(Attributes(MainPanel::TraceGraph, {ATTR_TOP, ATTR_HEIGHT}), (Ints{126, 552}));
  EXPECT_EQ(Attribute(MainPanel::AcqStateText, ATTR_LEFT), 780);
  EXPECT_EQ(Layout.GraphHeightPx.load(), 614);
}

}  // namespace
