// The horizontal zoom, with the simulated instrument receiving the zoom commands.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <limits>
#include <thread>
#include <tuple>

#include "MainPanelFixture.h"
#include "acquisition/Acquisition.h"
#include "display/DisplayState.h"
#include "display/Zoom.h"

namespace {

using Commands = std::vector<std::string>;
using displaytest::Ints;
using displaytest::kGate;
using displaytest::kOneMillisecond;
constexpr int kFiveMilliseconds = 20;
constexpr int kTenNanoseconds = 3;

std::string Zoom(int position, const std::string& factor) {
  return ":DISP:TRAC:ZOOM:H " + std::to_string(position) + "," + factor + "\r";
}

class ZoomTest : public displaytest::MainPanelTest {
 protected:
  void SetUp() override {
    MainPanelTest::SetUp();
    ConnectInstrument();
    for (int button : {MainPanel::ZoomOnButton, MainPanel::ZoomInButton, MainPanel::ZoomOutButton,
                       MainPanel::ZoomOffButton})
      InstallCtrlCallback(panel_, button, ControleTrace, nullptr);
    for (int button : {MainPanel::ZoomLeftSmallButton, MainPanel::ZoomLeftLargeButton,
                       MainPanel::ZoomRightSmallButton, MainPanel::ZoomRightLargeButton})
      InstallCtrlCallback(panel_, button, ControlReglageMem, nullptr);
    InstallCtrlCallback(panel_, MainPanel::OverviewGraph, ReglageMem, nullptr);
    ResetZoomSettings();
    Mirror.DisplayChanged = 0;
    AcquisitionRunning = 1;  // the timebase text and the cursor layout are redone only while acquiring
    SelectTimebase(kOneMillisecond);
    StoreField(ProgramSetup.horizontalOffset, -25000);
  }
  void TearDown() override {
    AcquisitionRunning = 0;
    MainPanelTest::TearDown();
  }

  static void SelectTimebase(int index) {
    StoreField(ProgramSetup.timebaseIndex, index);
    StoreField(ProgramSetup.effectiveTimebaseIndex, index);
  }
  void Press(int button) const { ASSERT_EQ(headless::Commit(panel_, button), 0) << "button " << button; }
  void Drag(double x) const { ASSERT_EQ(headless::DragCursor(panel_, MainPanel::OverviewGraph, 1, x, 128), 0); }
  // The entry the display start makes: as the setup record or a timebase faster than 100 ns/div asks.
  void EnterForTimebase() const {
    headless::Run([this] { ControleTrace(panel_, MainPanel::ZoomOnButton, EVENT_COMMIT, nullptr, 1, 0); });
  }
  // The zoom commands the instrument received since the last call.
  Commands ZoomCommands() {
    Commands zooms;
    const std::string bytes = Received();
    for (std::size_t start = 0, end; (end = bytes.find('\r', start)) != std::string::npos; start = end + 1)
      if (bytes.compare(start, 18, ":DISP:TRAC:ZOOM:H ") == 0) zooms.push_back(bytes.substr(start, end + 1 - start));
    return zooms;
  }
  // The window frame, the overview's only plot: its left and right edge.
  std::pair<double, double> Frame() const {
    const std::vector<headless::PlotInfo> plots = headless::Plots(panel_, MainPanel::OverviewGraph);
    EXPECT_EQ(plots.size(), 1u);
    if (plots.empty()) return {-1, -1};
    const auto [low, high] = std::minmax_element(plots[0].x.begin(), plots[0].x.end());
    return {*low, *high};
  }
  void ExpectFrame(double left, double right) const { EXPECT_EQ(Frame(), std::pair(left, right)); }
};

// A step keeps the record point at the middle of the screen; past the ends it
// only re-sends the zoom. Zoomed out to 20 the display stays in zoom mode.
TEST_F(ZoomTest, ButtonsAndPageKeysStepTheZoomUntilItsEnds) {
  EXPECT_FALSE(HandleZoomKey(panel_, VAL_PAGE_UP_VKEY)) << "not zoomed";
  struct Row {
    int timebase;  // 0: unchanged
    int buttonOrKey;
    std::string command, label;
  };
  const Row rows[] = {
      {kOneMillisecond, MainPanel::ZoomOnButton, Zoom(12500, "10"), "500\xB5s/div"},
      {0, MainPanel::ZoomOutButton, Zoom(0, "20"), "1.00ms/div"},
      {0, MainPanel::ZoomOutButton, Zoom(0, "20"), "1.00ms/div"},
      {0, MainPanel::ZoomInButton, Zoom(12500, "10"), "500\xB5s/div"},
      {0, VAL_PAGE_UP_VKEY, Zoom(20000, "4"), "200\xB5s/div"},
      {0, VAL_PAGE_DOWN_VKEY, Zoom(12500, "10"), "500\xB5s/div"},
      {0, MainPanel::ZoomOffButton, Zoom(0, "20"), "1.00ms/div"},
      {kFiveMilliseconds, MainPanel::ZoomOnButton, Zoom(15000, "8"), "2.00ms/div"},
      {0, MainPanel::ZoomInButton, Zoom(20000, "4"), "1.00ms/div"},
      {0, MainPanel::ZoomInButton, Zoom(22500, "2"), "500\xB5s/div"},
      {0, MainPanel::ZoomInButton, Zoom(23750, "1"), "200\xB5s/div"},  // a factor of 0.8, rounded up
      {0, MainPanel::ZoomInButton, Zoom(23750, "1"), "200\xB5s/div"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.command);
    if (row.timebase != 0) SelectTimebase(row.timebase);
    if (row.buttonOrKey == VAL_PAGE_UP_VKEY || row.buttonOrKey == VAL_PAGE_DOWN_VKEY) {
      EXPECT_TRUE(HandleZoomKey(panel_, row.buttonOrKey));
    } else {
      Press(row.buttonOrKey);
    }
    EXPECT_EQ(ZoomCommands(), Commands{row.command});
    EXPECT_EQ(TextOf(MainPanel::TimebaseText), row.label);
    const bool zoomed = row.buttonOrKey != MainPanel::ZoomOffButton;
    EXPECT_EQ(Mirror.ZoomActive.load(), zoomed ? 1 : 0);
    EXPECT_EQ(LoadField(ProgramSetup.viewState), zoomed ? 2 : 0);
  }
  ExpectFrame(1187, 1312);
  EXPECT_FALSE(HandleZoomKey(panel_, VAL_F11_VKEY));
  EXPECT_TRUE(ZoomCommands().empty());
}

TEST_F(ZoomTest, TenNanosecondsZoomsTheHundredNanosecondAcquisitionOnTheTriggerUntilZoomOff) {
  StoreField(ProgramSetup.zoomWindowScale, 20.0f);
  // The trigger's record point is minus horizontalOffset; near the start the window stops at the first point.
  for (const auto& [horizontalOffset, position] : {std::pair{-1000, 0}, {-49900, 45000}, {-30000, 27500}}) {
    SCOPED_TRACE(horizontalOffset);
    ResetZoomSettings();
    SelectTimebase(kTenNanoseconds);
    StoreField(ProgramSetup.zoomFactor, 20.0f);
    StoreField(ProgramSetup.horizontalOffset, horizontalOffset);
    EnterForTimebase();
    EXPECT_EQ(ZoomCommands(), Commands{Zoom(position, "2")});
    EXPECT_EQ(TextOf(MainPanel::TimebaseText), "10.0ns/div");
    EXPECT_EQ(TextOf(MainPanel::AcquisitionTimebaseLabel), "100ns/div");
    EXPECT_EQ(LoadField(ProgramSetup.viewState), 2);
    ExpectFrame(position / 20, position / 20 + 250);
  }
  const int trace = PlotLine(panel_, MainPanel::OverviewGraph, 0, 0, 100, 100, VAL_RED);
  Press(MainPanel::ZoomOffButton);
  EXPECT_EQ(ZoomCommands(), Commands{Zoom(0, "20")});
  EXPECT_EQ(TextOf(MainPanel::TimebaseText), "100ns/div");
  for (const headless::PlotInfo& plot : headless::Plots(panel_, MainPanel::OverviewGraph))
    EXPECT_NE(plot.handle, trace) << "the overview's traces are deleted";
  for (int control : kZoomModeControls) EXPECT_EQ(Attribute(control, ATTR_VISIBLE), 0) << "control " << control;
  EXPECT_EQ(OfEach({MainPanel::OverviewGraph, MainPanel::ZoomOnButton}, ATTR_VISIBLE), (Ints{0, 1}));
  EXPECT_EQ(Attribute(MainPanel::TraceGraph, ATTR_TOP), 46) << "the panel is laid out again";
  EXPECT_EQ(LoadField(ProgramSetup.timebaseIndex), 6);
  EXPECT_EQ(LoadField(ProgramSetup.effectiveTimebaseIndex), 6);
  EXPECT_EQ(LoadField(ProgramSetup.zoomWindowScale), 100.0f);
  Press(MainPanel::ZoomOnButton);  // at the same acquisition timebase the zoom comes back
  EXPECT_EQ(ZoomCommands(), Commands{Zoom(27500, "2")});
  EXPECT_EQ(TextOf(MainPanel::TimebaseText), "10.0ns/div");
}

TEST_F(ZoomTest, EnteredCentredTheOverviewWindowDragsOrMovesUpToTheRecordEnds) {
  Press(MainPanel::ZoomOnButton);
  // The zoom goes out first; the instrument measures over the whole record.
  const std::string sent = Received();
  EXPECT_TRUE(sent.starts_with(Zoom(12500, "10")) && sent.ends_with(kGate)) << sent;
  EXPECT_EQ(Mirror.DisplayChanged.load(), 1);
  EXPECT_EQ(TextOf(MainPanel::AcquisitionTimebaseLabel), "1.00ms/div");
  EXPECT_EQ(OfEach({MainPanel::ZoomInButton, MainPanel::ZoomOffButton, MainPanel::OverviewGraph,
                    MainPanel::ZoomRightLargeButton, MainPanel::OverviewFrame, MainPanel::ZoomOnButton},
                   ATTR_VISIBLE),
            (Ints{1, 1, 1, 1, 1, 0}));
  EXPECT_EQ(GetActiveCtrl(panel_), MainPanel::ZoomOffButton);
  ExpectFrame(625, 1875);  // half the record, a quarter in from each end
  EXPECT_EQ(CursorAt(1, MainPanel::OverviewGraph).first, 1250);
  // The move buttons step by a tenth or eight tenths of the window.
  const std::pair<int, int> moves[] = {{MainPanel::ZoomRightSmallButton, 750}, {MainPanel::ZoomRightLargeButton, 1250},
                                       {MainPanel::ZoomLeftLargeButton, 250},   {MainPanel::ZoomLeftSmallButton, 125},
                                       {MainPanel::ZoomLeftLargeButton, 0}};
  for (const auto& [button, left] : moves) {
    SCOPED_TRACE(button);
    Press(button);
    ExpectFrame(left, left + 1250);
    EXPECT_EQ(ZoomCommands(), Commands{Zoom(left * 20, "10")});
  }
  Drag(2500);
  ExpectFrame(1250, 2500);
  EXPECT_EQ(ZoomCommands(), Commands{Zoom(25000, "10")});
  Drag(0);
  ExpectFrame(0, 1250);
  EXPECT_EQ(CursorAt(1, MainPanel::OverviewGraph).first, 625);
  EXPECT_EQ(ZoomCommands(), Commands{Zoom(0, "10")});

  // At one point per screen point the window is 125 wide: its half is no whole number.
  for (int i = 0; i < 3; ++i) Press(MainPanel::ZoomInButton);
  ASSERT_EQ(LoadField(ProgramSetup.zoomFactor), 1.0f);
  ZoomCommands();
  Drag(2500);
  ExpectFrame(2375, 2500);
  EXPECT_EQ(ZoomCommands(), Commands{Zoom(47500, "1")});
  Drag(0);
  ExpectFrame(0, 125);
  EXPECT_EQ(ZoomCommands(), Commands{Zoom(0, "1")});
}

TEST_F(ZoomTest, TriggerMarkSaysWhereTheTriggerLiesAgainstTheWindow) {
  Press(MainPanel::ZoomOnButton);  // record points 12500..37500
  const int left = Attribute(MainPanel::OverviewGraph, ATTR_LEFT) +
                   Attribute(MainPanel::OverviewGraph, ATTR_PLOT_AREA_LEFT);
  const int width = Attribute(MainPanel::OverviewGraph, ATTR_PLOT_AREA_WIDTH);
  ASSERT_GT(width, 26);
  const std::tuple<int, std::string, int> rows[] = {{-5000, "<T", left},
                                                    {-45000, "T>", left + width - 23},
                                                    {-25000, "T", left + (width - 26) / 2 + 5},
                                                    {-12500, "T", left + 5},
                                                    {-37500, "T", left + width - 21}};
  for (const auto& [horizontalOffset, text, pixel] : rows) {
    SCOPED_TRACE(horizontalOffset);
    StoreField(ProgramSetup.horizontalOffset, horizontalOffset);
    ReglageMem(panel_, MainPanel::OverviewGraph, EVENT_VAL_CHANGED, nullptr, 0, 0);  // as after a trigger move
    EXPECT_EQ(TextOf(MainPanel::TriggerMarkerText), text);
    EXPECT_EQ(Attribute(MainPanel::TriggerMarkerText, ATTR_LEFT), pixel);
  }
}

TEST_F(ZoomTest, FactorAndPositionFromTheSetupRecordAreBroughtIntoRange) {
  struct Row {
    float factor;
    int position;
    std::string command;
    double frameLeft, frameRight;
  };
  const Row rows[] = {
      {0.25f, -100, Zoom(0, "1"), 0, 125},
      {0.0f, 30000, Zoom(30000, "1"), 1500, 1625},
      {1000.0f, 30000, Zoom(0, "20"), 0, 2500},
      {std::numeric_limits<float>::quiet_NaN(), 5, Zoom(0, "20"), 0, 2500},
      {-4.0f, 5, Zoom(5, "1"), 0, 125},
      {10.0f, 49000, Zoom(25000, "10"), 1250, 2500},
      {1.0f, 60000, Zoom(47500, "1"), 2375, 2500},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.command);
    ResetZoomSettings();
    StoreField(ProgramSetup.viewState, 2);
    StoreField(ProgramSetup.zoomFactor, row.factor);
    StoreField(ProgramSetup.zoomPosition, row.position);
    EnterForTimebase();
    EXPECT_EQ(ZoomCommands(), Commands{row.command});
    ExpectFrame(row.frameLeft, row.frameRight);
  }
  StoreField(ProgramSetup.effectiveTimebaseIndex, 200);  // past the table: its last entry
  StoreField(ProgramSetup.zoomFactor, 20.0f);
  EnterForTimebase();
  EXPECT_EQ(TextOf(MainPanel::AcquisitionTimebaseLabel), "200s/div");
  EXPECT_EQ(ZoomCommands(), Commands{Zoom(0, "20")});
}

TEST_F(ZoomTest, AcquisitionRedrawsTheWindowWhileTheUserZoomsAndDrags) {
  Press(MainPanel::ZoomOnButton);
  std::atomic<bool> userDone{false};
  std::atomic<int> redraws{0};
  std::thread acquisition([&] {
    while (!userDone.load() || redraws.load() < 50) {
      StoreField(ProgramSetup.horizontalOffset, -(redraws.load() * 997 % 50000));
      ReglageMem(panel_, MainPanel::OverviewGraph, EVENT_VAL_CHANGED, nullptr, 0, 0);
      ++redraws;
    }
  });
  for (int i = 0; i < 10; ++i) {
    Press(MainPanel::ZoomInButton);
    headless::DragCursor(panel_, MainPanel::OverviewGraph, 1, 250.0 * i, 128, 2);
    Press(i % 2 == 0 ? MainPanel::ZoomRightSmallButton : MainPanel::ZoomLeftLargeButton);
    Press(MainPanel::ZoomOutButton);
  }
  userDone = true;
  acquisition.join();
  // One frame, as wide as the factor says, within the record.
  const auto [left, right] = Frame();
  const OverviewWindow window = CurrentOverviewWindow();
  EXPECT_EQ(Frame(), (std::pair<double, double>(window.left, window.right)));
  EXPECT_EQ(right - left, 2500 * static_cast<int>(LoadField(ProgramSetup.zoomFactor)) / 20);
  EXPECT_GE(left, 0);
  EXPECT_LE(right, 2500);
  EXPECT_EQ(LinkBusy.load(), 0);
}

}  // namespace
