// The measurement cursors: switching them on and off, their readouts in free
// and tracking mode, and the instrument's measurement gate.
#include <gtest/gtest.h>

#include "MainPanelFixture.h"
#include "display/ChannelDisplayScale.h"

namespace {

using displaytest::Ints;
using displaytest::kGate;
using displaytest::kOneMillisecond;
constexpr int kOneVoltPerDiv = 8;  // KVX162
constexpr std::uint16_t kFreeCursors = 0x1 | 0x2;
constexpr std::uint16_t kTrackingCursors = 0x1;
constexpr std::initializer_list<int> kReadouts = {MainPanel::TimeReadouts, MainPanel::Ch1Readouts,
                                                  MainPanel::Ch2Readouts};

class CursorsTest : public displaytest::MainPanelTest {
 protected:
  void SetUp() override {
    MainPanelTest::SetUp();
    ConnectInstrument();
    ProgramSetup.effectiveTimebaseIndex = kOneMillisecond;
    ProgramSetup.ch1Displayed = ProgramSetup.ch2Displayed = 1;
    UpdateChannelDisplayScale(0, 1.0f, kOneVoltPerDiv, 1, "V");
    UpdateChannelDisplayScale(1, 10.0f, kOneVoltPerDiv, 1, "A");
  }
  void TearDown() override {
    UpdateChannelDisplayScale(0, 1.0f, 0, 0, "");
    UpdateChannelDisplayScale(1, 1.0f, 0, 0, "");
    MainPanelTest::TearDown();
  }
  void SwitchOn(std::uint16_t flags) {
    ProgramSetup.measurementFlags = flags;
    ConfigureCursors();
  }
  void PlaceCursors(double x1, double y1, double x2, double y2) {
    SetGraphCursor(panel_, MainPanel::TraceGraph, CursorT1.load(), x1, y1);
    SetGraphCursor(panel_, MainPanel::TraceGraph, CursorT2.load(), x2, y2);
    UpdateCursorReadouts();
  }
};

TEST_F(CursorsTest, OffTheGraphKeepsOnlyTheTriggerMarkerOnTheCursorsComeBackWhereTheyWere) {
  ConfigureCursors();
  EXPECT_EQ(Attribute(MainPanel::TraceGraph, ATTR_NUM_CURSORS), 1);
  EXPECT_EQ(std::make_pair(TriggerCursor.load(), CursorT1.load()), std::make_pair(1, 0));
  EXPECT_EQ(OfEach(kReadouts, ATTR_VISIBLE), (Ints{0, 0, 0}));
  EXPECT_EQ(Layout.MarkerColumn.load(), 268);
  EXPECT_EQ(Received(), kGate);
  UpdateCursorReadouts();
  EXPECT_EQ(TextOf(MainPanel::TimeReadouts), "") << "no readouts without cursors";

  ProgramSetup.ch2LoadedTrace = 1;
  SwitchOn(kFreeCursors);
  EXPECT_EQ(Attribute(MainPanel::TraceGraph, ATTR_NUM_CURSORS), 3);
  EXPECT_EQ(std::make_pair(CursorT1.load(), CursorT2.load()), std::make_pair(2, 3));
  EXPECT_EQ(CursorAttribute(3, ATTR_CURSOR_COLOR), 0x800080) << "t2 in its own colour";
  EXPECT_EQ(OfEach(kReadouts, ATTR_VISIBLE), (Ints{1, 1, 1}));
  EXPECT_EQ(Layout.MarkerColumn.load(), 398);
  EXPECT_TRUE(TextOf(MainPanel::Ch2Readouts).starts_with("MEM2\n"));
  EXPECT_EQ(Received(), kGate);

  PlaceCursors(300, 100, 900, 200);
  SwitchOn(0);
  SwitchOn(kTrackingCursors);
  EXPECT_EQ(CursorAt(3).first, 900);
  EXPECT_EQ(OfEach(kReadouts, ATTR_VISIBLE), (Ints{1, 1, 0})) << "tracking CH1 shows its group only";
}

TEST_F(CursorsTest, TimesFollowTheTimebaseAndTheZoom) {
  SwitchOn(kFreeCursors);
  PlaceCursors(0, 128, 1250, 128);
  EXPECT_EQ(TextOf(MainPanel::TimeReadouts), "t1 = 0.00ns\nt2 = 5.00ms\ndt = 5.00ms\n1/dt = 200Hz");

  ProgramSetup.effectiveTimebaseIndex = 3;  // faster than the acquisition: timed at 100 ns/div
  PlaceCursors(0, 128, 1250, 128);
  EXPECT_EQ(TextOf(MainPanel::TimeReadouts), "t1 = 0.00ns\nt2 = 500ns\ndt = 500ns\n1/dt = 2.00MHz");

  ProgramSetup.effectiveTimebaseIndex = kOneMillisecond;
  ProgramSetup.zoomFactor = 10.0f;
  ProgramSetup.zoomPosition = 5000;
  PlaceCursors(500, 128, 500, 128);
  EXPECT_EQ(TextOf(MainPanel::TimeReadouts), "t1 = 2.00ms\nt2 = 2.00ms\ndt = 0.00ns\n1/dt = ")
      << "the same place: no frequency";
}

TEST_F(CursorsTest, ChannelValuesUseScaleProbeAndPosition) {
  SwitchOn(kFreeCursors);
  Mirror.VerticalPositionSeen[1] = 22;  // CH2 one division up
  PlaceCursors(0, 160, 10, 64);
  EXPECT_EQ(TextOf(MainPanel::Ch1Readouts), "CH1\nY1 = 1.00V\nY2 = -2.00V\ndY = 3.00V");
  EXPECT_EQ(TextOf(MainPanel::Ch2Readouts), "CH2\nY1 = 0.00nA\nY2 = -30.0A\ndY = 30.0A");

  ProgramSetup.ch2Displayed = 0;
  UpdateCursorReadouts();
  EXPECT_EQ(TextOf(MainPanel::Ch2Readouts), "CH2\nY1 = ...\nY2 = ...\ndY = ...");
}

TEST_F(CursorsTest, TrackingPutsTheCursorsOnTheReferenceTrace) {
  ProgramSetup.referenceChannel = 1;
  SampleBlock a{}, b{};
  for (const auto& [point, code] : {std::pair{100, 255}, {200, 0}, {300, 40}, {301, 80}, {2499, 90}})
    a[static_cast<std::size_t>(point)] = static_cast<std::uint8_t>(code);
  b.fill(50);
  ChannelSamples.Store(1, a, b);
  SwitchOn(kTrackingCursors);
  PlaceCursors(100, 10, 200, 10);
  EXPECT_EQ(CursorAt(2).second, 255);
  EXPECT_EQ(CursorAt(3).second, 1) << "never below code 1";
  PlaceCursors(300.25, 10, 2499.5, 10);
  EXPECT_EQ(CursorAt(2).second, 50) << "between two samples, on the line joining them";
  EXPECT_EQ(CursorAt(3).second, 90) << "the last sample has no successor";
  PlaceCursors(0, 10, 2500, 10);
  EXPECT_EQ(CursorAt(3).second, 90) << "the graph's right edge is read as the last sample";
  EXPECT_EQ(TextOf(MainPanel::Ch1Readouts), "") << "only the reference channel's readouts";

  Mirror.ZoomActive = 1;
  UpdateCursorReadouts();
  EXPECT_EQ(CursorAt(2).second, 50) << "zoomed, the trace shown is block B";
}

}  // namespace
