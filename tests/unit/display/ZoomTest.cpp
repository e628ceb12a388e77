// The horizontal zoom on the headless front-end, with the in-process simulated
// instrument receiving the zoom commands.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <cmath>
#include <limits>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "MainPanelFixture.h"
#include "acquisition/Acquisition.h"
#include "display/Zoom.h"

namespace {

using Commands = std::vector<std::string>;

constexpr std::array<int, 4> kZoomButtons = {MainPanel::ZoomOnButton, MainPanel::ZoomInButton,
                                             MainPanel::ZoomOutButton, MainPanel::ZoomOffButton};
constexpr std::array<int, 4> kMoveButtons = {MainPanel::ZoomLeftSmallButton, MainPanel::ZoomLeftLargeButton,
                                             MainPanel::ZoomRightSmallButton, MainPanel::ZoomRightLargeButton};
constexpr int kOneMillisecond = 18;
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
    for (int button : kZoomButtons) InstallCtrlCallback(panel_, button, ControleTrace, nullptr);
    for (int button : kMoveButtons) InstallCtrlCallback(panel_, button, ControlReglageMem, nullptr);
    InstallCtrlCallback(panel_, MainPanel::OverviewGraph, ReglageMem, nullptr);
    ResetZoomSettings();
    Mirror.DisplayChanged = 0;
    // The timebase text and the cursor layout are redone only while acquiring.
    AcquisitionRunning = 1;
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
  // The entry a timebase faster than 100 ns/div asks for.
  void EnterForTimebase() const {
    headless::Run([this] { ControleTrace(panel_, MainPanel::ZoomOnButton, EVENT_COMMIT, nullptr, 1, 0); });
  }

  // The commands the instrument received since the last call.
  Commands SentCommands() {
    Commands commands;
    std::string command;
    for (char byte : Received()) {
      command.push_back(byte);
      if (byte != '\r') continue;
      commands.push_back(command);
      command.clear();
    }
    return commands;
  }
  Commands ZoomCommands() {
    Commands zooms;
    for (const std::string& command : SentCommands())
      if (command.starts_with(":DISP:TRAC:ZOOM:H ")) zooms.push_back(command);
    return zooms;
  }
  std::string Text(int control) const {
    std::string text;
    GetCtrlVal(panel_, control, &text);
    return text;
  }
  double WindowCursorX() const {
    double x = -1, y = -1;
    GetGraphCursor(panel_, MainPanel::OverviewGraph, 1, &x, &y);
    return x;
  }
  // The window frame as drawn: its left and right edge. It must be the only plot.
  std::pair<double, double> Frame() const {
    const std::vector<headless::PlotInfo> plots = headless::Plots(panel_, MainPanel::OverviewGraph);
    EXPECT_EQ(plots.size(), 1u);
    if (plots.empty()) return {-1, -1};
    const auto [low, high] = std::minmax_element(plots[0].x.begin(), plots[0].x.end());
    return {*low, *high};
  }
  void ExpectFrame(double left, double right) const { EXPECT_EQ(Frame(), std::make_pair(left, right)); }
};

TEST_F(ZoomTest, OneMillisecondZoomsToHalfAMillisecondCentredOnTheRecord) {
  EXPECT_EQ(Attribute(MainPanel::ZoomInButton, ATTR_VISIBLE), 0);
  Press(MainPanel::ZoomOnButton);
  // The zoom goes out first; the instrument measures over the whole record.
  const Commands sent = SentCommands();
  ASSERT_GE(sent.size(), 3u);
  EXPECT_EQ(sent.front(), Zoom(12500, "10"));
  EXPECT_EQ(Commands(sent.end() - 2, sent.end()),
            (Commands{":DISP:CURS:TIME1:POS 0\r", ":DISP:CURS:TIME2:POS 49999\r"}));
  EXPECT_EQ(LinkBusy.load(), 0);
  EXPECT_EQ(LoadField(ProgramSetup.viewState), 2);
  EXPECT_EQ(Mirror.ZoomActive.load(), 1);
  EXPECT_EQ(Mirror.DisplayChanged.load(), 1);
  EXPECT_EQ(Text(MainPanel::TimebaseText), "500\xB5s/div");
  EXPECT_EQ(Text(MainPanel::AcquisitionTimebaseLabel), "1.00ms/div");
  for (int control : {MainPanel::ZoomInButton, MainPanel::ZoomOutButton, MainPanel::ZoomOffButton,
                      MainPanel::OverviewGraph, MainPanel::ZoomRightLargeButton, MainPanel::OverviewFrame})
    EXPECT_EQ(Attribute(control, ATTR_VISIBLE), 1) << "control " << control;
  EXPECT_EQ(Attribute(MainPanel::ZoomOnButton, ATTR_VISIBLE), 0);
  EXPECT_EQ(GetActiveCtrl(panel_), MainPanel::ZoomOffButton);
  // Half the record, a quarter in from each end.
  ExpectFrame(625, 1875);
  EXPECT_EQ(WindowCursorX(), 1250);
}

TEST_F(ZoomTest, FiveMillisecondsStepsDownToOnePointPerScreenPointAndStops) {
  SelectTimebase(kFiveMilliseconds);
  Press(MainPanel::ZoomOnButton);
  EXPECT_EQ(ZoomCommands(), Commands{Zoom(15000, "8")});
  EXPECT_EQ(Text(MainPanel::TimebaseText), "2.00ms/div");
  struct Step {
    std::string command, label;
  };
  // The middle of the screen stays at record point 25000; 200 µs is a factor
  // of 0.8, which rounds up to 1.
  const std::vector<Step> steps = {{Zoom(20000, "4"), "1.00ms/div"},
                                   {Zoom(22500, "2"), "500\xB5s/div"},
                                   {Zoom(23750, "1"), "200\xB5s/div"},
                                   {Zoom(23750, "1"), "200\xB5s/div"}};
  for (const Step& step : steps) {
    Press(MainPanel::ZoomInButton);
    EXPECT_EQ(ZoomCommands(), Commands{step.command});
    EXPECT_EQ(Text(MainPanel::TimebaseText), step.label);
  }
  ExpectFrame(1187, 1312);
}

TEST_F(ZoomTest, ZoomOutToTwentyStaysInZoomMode) {
  Press(MainPanel::ZoomOnButton);
  ZoomCommands();
  Press(MainPanel::ZoomOutButton);
  EXPECT_EQ(ZoomCommands(), Commands{Zoom(0, "20")});
  EXPECT_EQ(Text(MainPanel::TimebaseText), "1.00ms/div");
  EXPECT_EQ(Mirror.ZoomActive.load(), 1);
  EXPECT_EQ(LoadField(ProgramSetup.viewState), 2);
  EXPECT_EQ(Attribute(MainPanel::ZoomOffButton, ATTR_VISIBLE), 1);
  EXPECT_EQ(Attribute(MainPanel::ZoomOnButton, ATTR_VISIBLE), 0);
  ExpectFrame(0, 2500);
  // The coarsest zoom only re-sends itself; zooming in again comes back.
  Press(MainPanel::ZoomOutButton);
  EXPECT_EQ(ZoomCommands(), Commands{Zoom(0, "20")});
  Press(MainPanel::ZoomInButton);
  EXPECT_EQ(ZoomCommands(), Commands{Zoom(12500, "10")});
}

TEST_F(ZoomTest, TenNanosecondsZoomsTheHundredNanosecondAcquisitionOnTheTrigger) {
  struct Row {
    int horizontalOffset;
    int position;
  };
  // The trigger's record point is minus horizontalOffset; near the start the
  // window stops at the record's first point.
  for (const Row row : {Row{-30000, 27500}, Row{-1000, 0}, Row{-49900, 45000}}) {
    SCOPED_TRACE(row.horizontalOffset);
    ResetZoomSettings();
    SelectTimebase(kTenNanoseconds);
    StoreField(ProgramSetup.zoomFactor, 20.0f);
    StoreField(ProgramSetup.horizontalOffset, row.horizontalOffset);
    EnterForTimebase();
    EXPECT_EQ(ZoomCommands(), Commands{Zoom(row.position, "2")});
    EXPECT_EQ(Text(MainPanel::TimebaseText), "10.0ns/div");
    EXPECT_EQ(Text(MainPanel::AcquisitionTimebaseLabel), "100ns/div");
    EXPECT_EQ(LoadField(ProgramSetup.viewState), 2);
    ExpectFrame(row.position / 20, row.position / 20 + 250);
  }
}

TEST_F(ZoomTest, ZoomOffAfterTenNanosecondsSelectsHundredAndKeepsTheZoomForLater) {
  SelectTimebase(kTenNanoseconds);
  StoreField(ProgramSetup.horizontalOffset, -30000);
  StoreField(ProgramSetup.zoomWindowScale, 20.0f);
  EnterForTimebase();
  ZoomCommands();
  Press(MainPanel::ZoomOffButton);
  EXPECT_EQ(ZoomCommands(), Commands{Zoom(0, "20")});
  EXPECT_EQ(LoadField(ProgramSetup.timebaseIndex), 6);
  EXPECT_EQ(LoadField(ProgramSetup.effectiveTimebaseIndex), 6);
  EXPECT_EQ(LoadField(ProgramSetup.viewState), 0);
  EXPECT_EQ(LoadField(ProgramSetup.zoomWindowScale), 100.0f);

  // Entering again at the same acquisition timebase brings the zoom back.
  headless::Run([this] { ControleTrace(panel_, MainPanel::ZoomOnButton, EVENT_COMMIT, nullptr, 0, 0); });
  EXPECT_EQ(ZoomCommands(), Commands{Zoom(27500, "2")});
  EXPECT_EQ(Text(MainPanel::TimebaseText), "10.0ns/div");
}

TEST_F(ZoomTest, DraggingTheOverviewWindowStopsAtTheRecordEnds) {
  Press(MainPanel::ZoomOnButton);
  ZoomCommands();
  ASSERT_EQ(headless::DragCursor(panel_, MainPanel::OverviewGraph, 1, 0, 128), 0);
  ExpectFrame(0, 1250);
  EXPECT_EQ(WindowCursorX(), 625);
  EXPECT_EQ(ZoomCommands(), Commands{Zoom(0, "10")});
  ASSERT_EQ(headless::DragCursor(panel_, MainPanel::OverviewGraph, 1, 2500, 128), 0);
  ExpectFrame(1250, 2500);
  EXPECT_EQ(ZoomCommands(), Commands{Zoom(25000, "10")});

  // At one point per screen point the window is 125 wide: half of it is not
  // a whole number, and the right edge still stays on the record.
  for (int i = 0; i < 3; ++i) Press(MainPanel::ZoomInButton);
  ASSERT_EQ(LoadField(ProgramSetup.zoomFactor), 1.0f);
  ZoomCommands();
  ASSERT_EQ(headless::DragCursor(panel_, MainPanel::OverviewGraph, 1, 2500, 128), 0);
  ExpectFrame(2375, 2500);
  EXPECT_EQ(ZoomCommands(), Commands{Zoom(47500, "1")});
  ASSERT_EQ(headless::DragCursor(panel_, MainPanel::OverviewGraph, 1, 0, 128), 0);
  ExpectFrame(0, 125);
  EXPECT_EQ(ZoomCommands(), Commands{Zoom(0, "1")});
}

TEST_F(ZoomTest, MoveButtonsStepByATenthOrEightTenthsOfTheWindow) {
  Press(MainPanel::ZoomOnButton);  // window 625..1875, 1250 wide
  ZoomCommands();
  struct Row {
    int button;
    double left;
    int position;
  };
  const std::vector<Row> rows = {{MainPanel::ZoomRightSmallButton, 750, 15000},
                                 {MainPanel::ZoomRightLargeButton, 1250, 25000},  // stopped at the end
                                 {MainPanel::ZoomLeftLargeButton, 250, 5000},
                                 {MainPanel::ZoomLeftSmallButton, 125, 2500},
                                 {MainPanel::ZoomLeftLargeButton, 0, 0}};
  for (const Row& row : rows) {
    SCOPED_TRACE(row.button);
    Press(row.button);
    ExpectFrame(row.left, row.left + 1250);
    EXPECT_EQ(ZoomCommands(), Commands{Zoom(row.position, "10")});
  }
}

TEST_F(ZoomTest, TriggerMarkSaysWhereTheTriggerLiesAgainstTheWindow) {
  Press(MainPanel::ZoomOnButton);  // record points 12500..37500
  int graphLeft = 0, areaLeft = 0, areaWidth = 0;
  GetCtrlAttribute(panel_, MainPanel::OverviewGraph, ATTR_LEFT, &graphLeft);
  GetCtrlAttribute(panel_, MainPanel::OverviewGraph, ATTR_PLOT_AREA_LEFT, &areaLeft);
  GetCtrlAttribute(panel_, MainPanel::OverviewGraph, ATTR_PLOT_AREA_WIDTH, &areaWidth);
  const int left = graphLeft + areaLeft;
  ASSERT_GT(areaWidth, 26);
  struct Row {
    int horizontalOffset;
    std::string text;
    int pixel;
  };
  const std::vector<Row> rows = {{-5000, "<T", left},
                                 {-45000, "T>", left + areaWidth - 23},
                                 {-25000, "T", left + (areaWidth - 26) / 2 + 5},
                                 {-12500, "T", left + 5},
                                 {-37500, "T", left + areaWidth - 21}};
  for (const Row& row : rows) {
    SCOPED_TRACE(row.horizontalOffset);
    StoreField(ProgramSetup.horizontalOffset, row.horizontalOffset);
    // What the acquisition does after the trigger marker moved.
    ReglageMem(panel_, MainPanel::OverviewGraph, EVENT_VAL_CHANGED, nullptr, 0, 0);
    EXPECT_EQ(Text(MainPanel::TriggerMarkerText), row.text);
    EXPECT_EQ(Attribute(MainPanel::TriggerMarkerText, ATTR_LEFT), row.pixel);
  }
}

TEST_F(ZoomTest, FactorAndPositionFromTheSetupRecordAreBroughtIntoRange) {
  struct Row {
    float factor;
    int position;
    std::string command;
    double frameLeft, frameRight;
  };
  const std::vector<Row> rows = {
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
    // The display start re-enters the zoom the record holds.
    EnterForTimebase();
    EXPECT_EQ(ZoomCommands(), Commands{row.command});
    ExpectFrame(row.frameLeft, row.frameRight);
  }
  // A timebase index past the table reads its last entry.
  StoreField(ProgramSetup.effectiveTimebaseIndex, 200);
  StoreField(ProgramSetup.zoomFactor, 20.0f);
  EnterForTimebase();
  EXPECT_EQ(Text(MainPanel::AcquisitionTimebaseLabel), "200s/div");
  EXPECT_EQ(ZoomCommands(), Commands{Zoom(0, "20")});
}

TEST_F(ZoomTest, PageKeysZoomOnlyWhileZoomed) {
  EXPECT_FALSE(HandleZoomKey(panel_, VAL_PAGE_UP_VKEY));
  EXPECT_TRUE(ZoomCommands().empty());
  Press(MainPanel::ZoomOnButton);
  ZoomCommands();
  EXPECT_TRUE(HandleZoomKey(panel_, VAL_PAGE_UP_VKEY));
  EXPECT_EQ(ZoomCommands(), Commands{Zoom(20000, "4")});
  EXPECT_TRUE(HandleZoomKey(panel_, VAL_PAGE_DOWN_VKEY));
  EXPECT_EQ(ZoomCommands(), Commands{Zoom(12500, "10")});
  EXPECT_FALSE(HandleZoomKey(panel_, VAL_F11_VKEY));
  EXPECT_TRUE(ZoomCommands().empty());
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
  EXPECT_EQ(left, window.left);
  EXPECT_EQ(right, window.right);
  EXPECT_EQ(right - left, 2500 * static_cast<int>(LoadField(ProgramSetup.zoomFactor)) / 20);
  EXPECT_GE(left, 0);
  EXPECT_LE(right, 2500);
  EXPECT_EQ(LinkBusy.load(), 0);
}

}  // namespace
