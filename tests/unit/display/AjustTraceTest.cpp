// The main panel's own callback: function keys, closing and the layout that
// follows the panel's size.
#include <gtest/gtest.h>

#include <vector>

#include "MainPanelFixture.h"
#include "display/AjustTrace.h"

namespace {

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

TEST_F(AjustTraceTest, ButtonKeysCommitTheirButtonAndF4AndOthersNothing) {
  headless::KeyPress(panel_, VAL_F1_VKEY);
  headless::KeyPress(panel_, VAL_F2_VKEY);
  headless::KeyPress(panel_, VAL_F3_VKEY);
  EXPECT_EQ(TakeCommittedControls(), (std::vector<int>{MainPanel::Ch1AutosetButton,
                                                MainPanel::Ch2AutosetButton,
                                                MainPanel::AutosetButton}));
  const double timebase = Value(MainPanel::TimebaseRing);
  for (int key : {VAL_F4_VKEY, VAL_F1_VKEY | VAL_SHIFT_MODIFIER, VAL_PAGE_UP_VKEY, static_cast<int>('a')})
    headless::KeyPress(panel_, key);
  EXPECT_TRUE(TakeCommittedControls().empty());
  EXPECT_EQ(Value(MainPanel::TimebaseRing), timebase);
}

TEST_F(AjustTraceTest, F11IncreasesAndF12DecreasesTheTimebaseInBothCopies) {
  SetCtrlVal(panel_, MainPanel::TimebaseRing, 18);
  SetCtrlVal(panel_, MainPanel::TimebaseRing2, 18);
  headless::KeyPress(panel_, VAL_F11_VKEY);
  EXPECT_EQ(Value(MainPanel::TimebaseRing), 19);
  EXPECT_EQ(Value(MainPanel::TimebaseRing2), 19);
  EXPECT_EQ(TakeCommittedControls(), std::vector<int>{MainPanel::TimebaseRing});
  headless::KeyPress(panel_, VAL_F12_VKEY);
  headless::KeyPress(panel_, VAL_F12_VKEY);
  EXPECT_EQ(Value(MainPanel::TimebaseRing), 17);
  EXPECT_EQ(Value(MainPanel::TimebaseRing2), 17);
  EXPECT_EQ(TakeCommittedControls().size(), 2u);

  SetCtrlVal(panel_, MainPanel::TimebaseRing, 30);
  headless::KeyPress(panel_, VAL_F11_VKEY);
  EXPECT_EQ(Value(MainPanel::TimebaseRing), 30) << "no slower timebase";
  EXPECT_TRUE(TakeCommittedControls().empty());
}

TEST_F(AjustTraceTest, SensitivityKeysStopAtTheEndsOfTheirRing) {
  struct Row {
    int key;
    int ring;
    double at;
    double after;  // -1: nothing happens
  };
  const Row rows[] = {
      {VAL_F5_VKEY, MainPanel::Ch1SensitivityRing, 5, 4},  {VAL_F6_VKEY, MainPanel::Ch1SensitivityRing, 5, 6},
      {VAL_F7_VKEY, MainPanel::Ch2SensitivityRing, 5, 4},  {VAL_F8_VKEY, MainPanel::Ch2SensitivityRing, 5, 6},
      {VAL_F5_VKEY, MainPanel::Ch1SensitivityRing, 1, -1}, {VAL_F6_VKEY, MainPanel::Ch1SensitivityRing, 14, -1},
      {VAL_F7_VKEY, MainPanel::Ch2SensitivityRing, 1, -1}, {VAL_F8_VKEY, MainPanel::Ch2SensitivityRing, 14, -1},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(testing::Message() << "key " << row.key << " at " << row.at);
    ASSERT_GE(SetCtrlVal(panel_, row.ring, row.at), 0);
    headless::KeyPress(panel_, row.key);
    if (row.after < 0) {
      EXPECT_EQ(Value(row.ring), row.at);
      EXPECT_TRUE(TakeCommittedControls().empty());
    } else {
      EXPECT_EQ(Value(row.ring), row.after);
      EXPECT_EQ(TakeCommittedControls(), std::vector<int>{row.ring});
    }
  }
}

TEST_F(AjustTraceTest, TriggerLevelKeysStepByTheControlsIncrementInBothCopies) {
  SetCtrlAttribute(panel_, MainPanel::TriggerLevelInput, ATTR_INCR_VALUE, 0.25);
  SetCtrlVal(panel_, MainPanel::TriggerLevelInput, 1.0);
  headless::KeyPress(panel_, VAL_F9_VKEY);
  EXPECT_DOUBLE_EQ(Value(MainPanel::TriggerLevelInput), 0.75);
  EXPECT_DOUBLE_EQ(Value(MainPanel::TriggerLevelInput2), 0.75);
  headless::KeyPress(panel_, VAL_F10_VKEY);
  headless::KeyPress(panel_, VAL_F10_VKEY);
  EXPECT_DOUBLE_EQ(Value(MainPanel::TriggerLevelInput), 1.25);
  EXPECT_DOUBLE_EQ(Value(MainPanel::TriggerLevelInput2), 1.25);
  EXPECT_EQ(TakeCommittedControls(), (std::vector<int>{MainPanel::TriggerLevelInput,
                                                MainPanel::TriggerLevelInput,
                                                MainPanel::TriggerLevelInput}));
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
  int h = 0, w = 0;
  GetPanelAttribute(panel_, ATTR_HEIGHT, &h);
  GetPanelAttribute(panel_, ATTR_WIDTH, &w);
  EXPECT_EQ(h, 545);
  EXPECT_EQ(w, 530);
  EXPECT_EQ(Layout.GraphHeightPx.load(), 459);
  EXPECT_EQ(Layout.GraphWidthPx.load(), 239);
  struct Place {
    int control, left, top;  // -1: not placed by the layout
  };
  const int captionWidth = Attribute(MainPanel::GraphCaption, ATTR_WIDTH);
  const Place places[] = {
      {MainPanel::TraceGraph, 268, 46},
      {MainPanel::ZoomLeftSmallButton, 268, -1},
      {MainPanel::ZoomLeftLargeButton, 268, -1},
      {MainPanel::ZoomRightSmallButton, 506, -1},
      {MainPanel::ZoomRightLargeButton, 506, -1},
      {MainPanel::OverviewGraph, 292, -1},
      {MainPanel::OverviewTriggerTag, 492, -1},
      {MainPanel::TriggerPosTag, 94 + 29 + 268, -1},  // placed again with the trigger marker
      {MainPanel::AcquisitionTimebaseLabel, 364, -1},
      {MainPanel::AcqStateText, 410, 512},
      {MainPanel::ZoomOnButton, 387, 522},
      {MainPanel::ZoomOffButton, 387, 522},
      {MainPanel::ZoomInButton, 362, 522},
      {MainPanel::ZoomOutButton, 412, 522},
      {MainPanel::TimebaseText, 352, 510},
      {MainPanel::PersistenceIcon, 271, 526},
      {MainPanel::AcquisitionLed, 440, 519},
      {MainPanel::Ref1LabelText, 293, 522},
      {MainPanel::Ref2LabelText, 293, 532},
      {MainPanel::GraphCaption, 268 + (239 - captionWidth) / 2, -1},
      {MainPanel::Ch1PositionMarker, 268, -1},
  };
  for (const Place& place : places) {
    SCOPED_TRACE(testing::Message() << "control " << place.control);
    EXPECT_EQ(Attribute(place.control, ATTR_LEFT), place.left);
    if (place.top >= 0) {
      EXPECT_EQ(Attribute(place.control, ATTR_TOP), place.top);
    }
  }
  EXPECT_EQ(Attribute(MainPanel::TraceGraph, ATTR_HEIGHT), 477);
  EXPECT_EQ(Attribute(MainPanel::TraceGraph, ATTR_WIDTH), 272);
  EXPECT_EQ(Attribute(MainPanel::OverviewGraph, ATTR_WIDTH), 214);
  // The trigger tag is placed for the new width: the centre of 239 pixels, offset -17.
  EXPECT_EQ(Attribute(MainPanel::TriggerIndicator, ATTR_LEFT), 119 + 17 + 268);

  Mirror.ZoomActive = 1;
  headless::Resize(panel_, 700, 900);
  EXPECT_EQ(Attribute(MainPanel::TraceGraph, ATTR_TOP), 126);
  EXPECT_EQ(Attribute(MainPanel::TraceGraph, ATTR_HEIGHT), 552);
  EXPECT_EQ(Attribute(MainPanel::AcqStateText, ATTR_LEFT), 780);
  EXPECT_EQ(Layout.GraphHeightPx.load(), 614);
}

}  // namespace
