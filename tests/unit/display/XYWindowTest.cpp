// The XY window: opening where it was left, its cursors' readouts in the
// sources' units, closing, the dragging of its markers, and the acquisition
// thread drawing on it while the user opens and closes it.
#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "MainPanelFixture.h"
#include "acquisition/Acquisition.h"
#include "display/ChannelDisplayScale.h"
#include "display/FrameDisplayHooks.h"
#include "display/XYWindow.h"
#include "display/XYWindowParts.h"
#include "platform/os/ProjectDir.h"

namespace {

using displaytest::Commit;
using displaytest::Ints;
using Texts = std::vector<std::string>;
constexpr int kOneVoltPerDiv = 8;  // KVX162
constexpr std::uint16_t kFreeCursors = 0x1 | 0x2;

class XYWindowTest : public displaytest::MainPanelTest {
 protected:
  void SetUp() override {
    MainPanelTest::SetUp();
    // The window loads its panel by name from the application directory.
    SetProjectDirOverride(std::filesystem::path(ORNI_PANEL_FILE).parent_path().string());
    TheInstrument.modelNumber = 162;
    TheInstrument.VoltsPerDivTable = VoltsPerDivTableFor(162);
    ProgramSetup.ch1Displayed = ProgramSetup.ch2Displayed = 1;
    UpdateChannelDisplayScale(0, 1.0f, kOneVoltPerDiv, 1, "V");
    UpdateChannelDisplayScale(1, 10.0f, kOneVoltPerDiv, 0, "A");
    SetRememberedXYRect({100, 30, 360, 440});
  }
  void TearDown() override {
    UpdateChannelDisplayScale(0, 1.0f, 0, 0, "");
    UpdateChannelDisplayScale(1, 1.0f, 0, 0, "");
    XYCursor1 = XYCursor2 = 0;
    SetRememberedXYRect({});
    SetProjectDirOverride("");
    MainPanelTest::TearDown();
  }
  int OpenWithCursors() {
    ProgramSetup.measurementFlags = kFreeCursors;
    ToggleXYMode();
    return XYPanelOpen.load();
  }
  Texts ReadoutTexts() const {
    Texts texts;
    for (int control : {XYPanel::XYReadoutX1, XYPanel::XYReadoutX2, XYPanel::XYReadoutDX, XYPanel::XYReadoutY1,
                        XYPanel::XYReadoutY2, XYPanel::XYReadoutDY}) {
      std::string text;
      GetCtrlVal(XYPanelOpen.load(), control, &text);
      texts.push_back(text);
    }
    return texts;
  }
  Texts PlaceCursors(double x1, double y1, double x2, double y2) {
    const int xy = XYPanelOpen.load();
    SetGraphCursor(xy, XYPanel::XYGraph, XYCursor1.load(), x1, y1);
    SetGraphCursor(xy, XYPanel::XYGraph, XYCursor2.load(), x2, y2);
    ReglageXY(xy, XYPanel::XYGraph, EVENT_COMMIT, nullptr, 0, 0);
    return ReadoutTexts();
  }
  std::string XYText(int control) const {
    std::string text;
    GetCtrlVal(XYPanelOpen.load(), control, &text);
    return text;
  }
};

TEST_F(XYWindowTest, OpeningFromTheMenuShowsChannelOneAgainstChannelTwoWhereTheWindowWasLeft) {
  ProgramSetup.xySourceX = 1;
  ProgramSetup.xySourceY = 0;
  SetRememberedXYRect({10, -5, 300, 400});
  ToggleXYMode();
  const int xy = XYPanelOpen.load();
  ASSERT_GT(xy, 0);
  EXPECT_EQ(std::make_pair(+ProgramSetup.xySourceX, +ProgramSetup.xySourceY), std::make_pair(0, 1));
  EXPECT_EQ(ProgramSetup.xyState & kXYStateBit, kXYStateBit);
  std::string title;
  GetPanelAttribute(xy, ATTR_TITLE, &title);
  EXPECT_EQ(title, "- XY : X=CH1, Y=CH2");
  Ints rect(4);
  for (int i = 0; int attribute : {ATTR_TOP, ATTR_LEFT, ATTR_HEIGHT, ATTR_WIDTH}) GetPanelAttribute(xy, attribute, &rect[i++]);
  EXPECT_EQ(rect, (Ints{22, 0, 300, 400})) << "kept below the top bar and on the screen";
  EXPECT_EQ(XYText(XYPanel::XYAxisXCaption), "CH1: 1V-DC");
  EXPECT_EQ(XYText(XYPanel::XYAxisYCaption), "CH2: 1V-AC");
  EXPECT_EQ(Attribute(XYPanel::XYAxisYCaption, ATTR_TEXT_COLOR, xy), 0x00C000);
  UpdateChannelDisplayScale(1, 10.0f, kOneVoltPerDiv + 1, 2, "A");
  ShowXYAxisCaptions();
  EXPECT_EQ(XYText(XYPanel::XYAxisYCaption), "CH2: 2V-GND") << "the main panel's labels, without the probe";
  EXPECT_EQ(CurrentXYPanelControls().graph, XYPanel::XYGraph) << "the drawing finds the graph";
  EXPECT_EQ(Attribute(XYPanel::XYGraph, ATTR_HEIGHT, xy), 300);
  EXPECT_EQ(Attribute(XYPanel::XYGraph, ATTR_WIDTH, xy), 400 + 2 + 8) << "no readout column without cursors";
  EXPECT_EQ(Attribute(XYPanel::XYReadoutX1, ATTR_VISIBLE, xy), 0);

  headless::Resize(xy, 320, 500);
  SetPanelPos(xy, 140, 60);
  ToggleXYMode();
  EXPECT_EQ(XYPanelOpen.load(), 0);
  EXPECT_EQ(ProgramSetup.xyState & kXYStateBit, 0);
  EXPECT_EQ(RememberedXYRect(), (XYRect{140, 60, 320, 500})) << "for the preferences and the next opening";
}

TEST_F(XYWindowTest, ReadoutsCountWholeDivisionsOfThePositionInTheSourcesUnits) {
  const int xy = OpenWithCursors();
  ASSERT_GT(xy, 0);
  EXPECT_EQ(std::make_pair(XYCursor1.load(), XYCursor2.load()), std::make_pair(1, 2));
  EXPECT_EQ(XYGraphLeft.load(), 128);
  EXPECT_EQ(XYText(XYPanel::XYSourceXCaption), "X = CH1");
  EXPECT_EQ(Attribute(XYPanel::XYReadoutDY, ATTR_TEXT_COLOR, xy), 0x00C000);
  // 127 codes of 255 for 8 divisions: 3.984 divisions.
  EXPECT_EQ(PlaceCursors(255, 192, 160, 0),
            (Texts{"X1 = 3.98V", "X2 = 1.00V", "dX = 2.98V", "Y1 = 20.1A", "Y2 = -40.2A", "dY = 60.2A"}));
  // 30/22 = 1.36 divisions, of which the whole one counts.
  Mirror.VerticalPositionSeen[0] = 30;
  Mirror.VerticalPositionSeen[1] = -30;
  EXPECT_EQ(PlaceCursors(255, 192, 160, 0),
            (Texts{"X1 = 2.98V", "X2 = 3.92mV", "dX = 2.98V", "Y1 = 30.1A", "Y2 = -30.2A", "dY = 60.2A"}));
}

TEST_F(XYWindowTest, ASourceSwitchedOffLeavesItsLabelsAlone) {
  ASSERT_GT(OpenWithCursors(), 0);
  ProgramSetup.ch2Displayed = 0;
  EXPECT_EQ(PlaceCursors(255, 200, 0, 10),
            (Texts{"X1 = 3.98V", "X2 = -4.02V", "dX = 8.00V", "Y1 = ...", "Y2 = ", "dY = "}));
  ProgramSetup.ch1Displayed = 0;
  EXPECT_EQ(PlaceCursors(255, 200, 0, 10)[0], "X1 = ...");
}

TEST_F(XYWindowTest, CursorsFollowTheCursorModeAndComeBackWhereTheyWere) {
  const int xy = OpenWithCursors();
  PlaceCursors(40, 50, 200, 210);
  ProgramSetup.measurementFlags = 0;
  ConfigureXYCursors();
  EXPECT_EQ(Attribute(XYPanel::XYGraph, ATTR_NUM_CURSORS, xy), 0);
  EXPECT_EQ(std::make_pair(XYCursor1.load(), XYGraphLeft.load()), std::make_pair(0, -2));
  EXPECT_EQ(Attribute(XYPanel::XYReadoutY2, ATTR_VISIBLE, xy), 0);
  ProgramSetup.measurementFlags = 0x8;
  ProgramSetup.ch1LoadedTrace = 1;
  ConfigureXYCursors();
  double x = 0, y = 0;
  GetGraphCursor(xy, XYPanel::XYGraph, XYCursor2.load(), &x, &y);
  EXPECT_EQ(std::make_pair(x, y), std::make_pair(200.0, 210.0));
  EXPECT_EQ(XYText(XYPanel::XYSourceXCaption), "X = MEM1");
  EXPECT_EQ(Attribute(XYPanel::XYReadoutX1, ATTR_VISIBLE, xy), 1);

  RegisterCallback("ReglageXY", CtrlCallback(ReglageXY));
  headless::DragCursor(xy, XYPanel::XYGraph, XYCursor1.load(), 255, 128);
  EXPECT_EQ(XYText(XYPanel::XYReadoutX1), "X1 = 3.98V") << "a released cursor rewrites the readouts";
}

TEST_F(XYWindowTest, DroppedMarkersSetTheChannelPositionClampedToThePlotArea) {
  RecordCommits();
  const int xy = OpenWithCursors();
  const int height = Attribute(XYPanel::XYGraph, ATTR_PLOT_AREA_HEIGHT, xy);
  const int width = Attribute(XYPanel::XYGraph, ATTR_PLOT_AREA_WIDTH, xy);
  ASSERT_GT(height, 0);
  RefVoieXY(xy, XYPanel::Ch2XYYMarker, EVENT_DROPPED, nullptr, 8, 0);
  RefVoieXY(xy, XYPanel::Ch2XYYMarker, EVENT_DROPPED, nullptr, height + 8, 0);
  RefVoieXY(xy, XYPanel::Ch2XYYMarker, EVENT_DROP, nullptr, 60, 0);  // still moving
  EXPECT_EQ(TakeCommits(), (std::vector<Commit>{{MainPanel::Ch2OffsetInput, 4.0}, {MainPanel::Ch2OffsetInput, -4.0}}));
  EXPECT_EQ(Value(MainPanel::Ch2OffsetInput2), -4.0);

  RefVoieXY(xy, XYPanel::Ch2XYYMarker, EVENT_DROPPED, nullptr, height + 60, 0);
  EXPECT_EQ(Attribute(XYPanel::Ch2XYYMarker, ATTR_TOP, xy), height + 8) << "held at the bottom edge";
  RefVoieXY(xy, XYPanel::Ch2XYYMarker, EVENT_DROPPED, nullptr, -30, 0);
  EXPECT_EQ(Attribute(XYPanel::Ch2XYYMarker, ATTR_TOP, xy), 8) << "held at the top edge";
  RefVoieXY(xy, XYPanel::Ch1XYXMarker, EVENT_DROPPED, nullptr, 0, 128 + 8 + width);
  RefVoieXY(xy, XYPanel::Ch1XYXMarker, EVENT_DROPPED, nullptr, 0, 20);
  EXPECT_EQ(Attribute(XYPanel::Ch1XYXMarker, ATTR_LEFT, xy), 128 + 8) << "held at the left edge";
  EXPECT_EQ(Attribute(XYPanel::Ch1XYXLabel, ATTR_LEFT, xy), 128 + 8 + 3);
  EXPECT_EQ(TakeCommits(), (std::vector<Commit>{{MainPanel::Ch2OffsetInput, -4.0},
                                                {MainPanel::Ch2OffsetInput, 4.0},
                                                {MainPanel::Ch1OffsetInput, 4.0},
                                                {MainPanel::Ch1OffsetInput, -4.0}}));
}

TEST_F(XYWindowTest, NothingHappensWhileTheWindowIsClosed) {
  RecordCommits();
  UpdateXYReadouts();
  ConfigureXYCursors();
  EXPECT_EQ(AjustTraceXY(0, EVENT_CLOSE, nullptr, 0, 0), 0);
  RefVoieXY(0, XYPanel::Ch2XYYMarker, EVENT_DROPPED, nullptr, 8, 0);
  EXPECT_TRUE(TakeCommits().empty());
  EXPECT_EQ(RememberedXYRect(), (XYRect{100, 30, 360, 440})) << "a close without a window keeps the rectangle";
}

// The acquisition thread places the markers and rewrites the readouts while
// the user opens, lays out and closes the window.
TEST_F(XYWindowTest, TheAcquisitionThreadDrawsWhileTheWindowOpensAndCloses) {
  Mirror.ChannelMaskSeen = 3;
  std::atomic<bool> done{false};
  std::atomic<int> passes{0};
  std::thread acquisition([&] {
    while (!done.load()) {
      PlaceXYMarkers();
      UpdateXYReadouts();
      passes.fetch_add(1);
    }
  });
  for (int step = 0; step < 60; ++step) {
    ProgramSetup.measurementFlags = step % 3 == 0 ? 0 : kFreeCursors;
    ToggleXYMode();
    if (XYPanelOpen.load() > 0) {
      headless::Resize(XYPanelOpen.load(), 300 + step, 400 + step);
      ConfigureXYCursors();
    }
  }
  done = true;
  acquisition.join();
  EXPECT_GT(passes.load(), 0);
  EXPECT_EQ(XYPanelOpen.load(), 0) << "an even number of toggles";
  EXPECT_EQ(RememberedXYRect(), (XYRect{100, 30, 358, 458}));
}

}  // namespace

namespace {

// What the acquisition asks of the XY window through its hooks: the window
// opens with the acquisition when the setup says XY mode, a captured
// reference names the axis of its channel, and the stop closes it.
TEST_F(XYWindowTest, AcquisitionOpensNamesAndClosesTheWindowThroughItsHooks) {
  ConnectDisplayToAcquisition();
  const std::shared_ptr<const FrameDisplay> hooks = CurrentFrameDisplay();
  ProgramSetup.xySourceX = 1;
  ProgramSetup.xySourceY = 0;
  ProgramSetup.xyState = 2;
  hooks->openDisplays();
  const int panel = XYPanelOpen.load();
  ASSERT_GT(panel, 0);

  hooks->referenceCaptured(1, "REF2: 1.00ms, 1V");
  std::string text;
  int colour = 0;
  GetCtrlVal(panel, XYPanel::XYReferenceXLabel, &text);
  GetCtrlAttribute(panel, XYPanel::XYReferenceXLabel, ATTR_TEXT_COLOR, &colour);
  EXPECT_EQ(text, "REF2: 1.00ms, 1V") << "X shows CH2";
  EXPECT_EQ(colour, 0x80FF80);
  GetCtrlVal(panel, XYPanel::XYReferenceYLabel, &text);
  EXPECT_NE(text, "REF2: 1.00ms, 1V") << "Y shows CH1";

  hooks->closeDisplays();
  EXPECT_EQ(XYPanelOpen.load(), 0);
  SetFrameDisplay({});
}

}  // namespace
