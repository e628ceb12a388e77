// The measurement cursors: switching them on and off, their readouts in free
// and tracking mode, and the instrument's measurement gate.
#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "MainPanelFixture.h"
#include "acquisition/Acquisition.h"
#include "display/ChannelDisplayScale.h"
#include "display/DisplayState.h"
#include "display/ReadoutControls.h"

namespace {

using displaytest::Ints;
using displaytest::kGate;
using displaytest::kOneMillisecond;
using Texts = std::vector<std::string>;
constexpr int kOneVoltPerDiv = 8;  // KVX162
constexpr std::uint16_t kFreeCursors = 0x1 | 0x2;
constexpr std::uint16_t kTrackingCursors = 0x1;
constexpr std::initializer_list<int> kFrames = {MainPanel::TimeReadouts, MainPanel::Ch1Readouts,
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
    StoreField(ProgramSetup.measurementFlags, flags);  // the acquisition thread may be reading it
    ConfigureCursors();
  }
  void PlaceCursors(double x1, double y1, double x2, double y2) {
    SetGraphCursor(panel_, MainPanel::TraceGraph, CursorT1.load(), x1, y1);
    SetGraphCursor(panel_, MainPanel::TraceGraph, CursorT2.load(), x2, y2);
    UpdateCursorReadouts();
  }
  Texts TextsOf(const ReadoutGroup& group) const {
    Texts texts;
    for (int line : group.lines) texts.push_back(TextOf(line));
    return texts;
  }
  // The frame's visibility followed by its lines'.
  Ints VisibilityOf(const ReadoutGroup& group) const {
    Ints shown{Attribute(group.frame, ATTR_VISIBLE)};
    for (int line : group.lines) shown.push_back(Attribute(line, ATTR_VISIBLE));
    return shown;
  }
  Texts TimeTexts() const { return TextsOf(kTimeReadouts); }
  Texts ChannelTexts(int channel) const { return TextsOf(kChannelReadouts[static_cast<std::size_t>(channel)]); }
};

const Ints kGroupShown{1, 1, 1, 1, 1};
const Ints kGroupHidden{0, 0, 0, 0, 0};

TEST_F(CursorsTest, OffTheGraphKeepsOnlyTheTriggerMarkerOnTheCursorsComeBackWhereTheyWere) {
  ConfigureCursors();
  EXPECT_EQ(Attribute(MainPanel::TraceGraph, ATTR_NUM_CURSORS), 1);
  EXPECT_EQ(std::make_pair(TriggerCursor.load(), CursorT1.load()), std::make_pair(1, 0));
  EXPECT_EQ(OfEach(kFrames, ATTR_VISIBLE), (Ints{0, 0, 0}));
  EXPECT_EQ(Layout.MarkerColumn.load(), 268) << "the readout column is free for the markers";
  EXPECT_EQ(Received(), kGate);
  UpdateCursorReadouts();
  EXPECT_EQ(TimeTexts(), (Texts{"", "", "", ""})) << "no readouts without cursors";

  ProgramSetup.ch2LoadedTrace = 1;
  SwitchOn(kFreeCursors);
  EXPECT_EQ(Attribute(MainPanel::TraceGraph, ATTR_NUM_CURSORS), 3);
  EXPECT_EQ(std::make_pair(CursorT1.load(), CursorT2.load()), std::make_pair(2, 3));
  EXPECT_EQ(CursorAttribute(2, ATTR_CURSOR_COLOR), 0x0000FF);
  EXPECT_EQ(CursorAttribute(3, ATTR_CURSOR_COLOR), 0x800080) << "t2 in its own colour";
  for (const ReadoutGroup& group : {kTimeReadouts, kChannelReadouts[0], kChannelReadouts[1]})
    EXPECT_EQ(VisibilityOf(group), kGroupShown) << "group " << group.frame;
  EXPECT_EQ(Layout.MarkerColumn.load(), 398) << "the markers move right of the readouts";
  EXPECT_EQ(TextOf(MainPanel::Ch2HeaderText), "MEM2");
  EXPECT_EQ(TextOf(MainPanel::Ch1HeaderText), "CH1");
  EXPECT_EQ(Received(), kGate);

  PlaceCursors(300, 100, 900, 200);
  SwitchOn(0);
  for (const ReadoutGroup& group : {kTimeReadouts, kChannelReadouts[0], kChannelReadouts[1]})
    EXPECT_EQ(VisibilityOf(group), kGroupHidden) << "group " << group.frame;
  SwitchOn(kTrackingCursors);
  EXPECT_EQ(CursorAt(3).first, 900);
  EXPECT_EQ(VisibilityOf(kChannelReadouts[0]), kGroupShown);
  EXPECT_EQ(VisibilityOf(kChannelReadouts[1]), kGroupHidden) << "tracking CH1 shows its group only";
}

TEST_F(CursorsTest, EachCursorsLinesTakeItsColour) {
  ColourCursorReadouts(panel_);
  EXPECT_EQ(OfEach({MainPanel::TimeT1Text, MainPanel::Ch1Y1Text, MainPanel::Ch2Y1Text}, ATTR_TEXT_COLOR),
            (Ints{0x0000FF, 0x0000FF, 0x0000FF}));
  EXPECT_EQ(OfEach({MainPanel::TimeT2Text, MainPanel::Ch1Y2Text, MainPanel::Ch2Y2Text}, ATTR_TEXT_COLOR),
            (Ints{0x800080, 0x800080, 0x800080}));
  EXPECT_EQ(OfEach({MainPanel::TimeDtText, MainPanel::Ch1DyText}, ATTR_TEXT_COLOR), (Ints{0, 0}))
      << "differences belong to neither cursor";
}

struct TimeRow {
  const char* what;
  int timebaseIndex;
  float zoomFactor;
  int zoomPosition;
  double x1, x2;
  Texts expected;
};

TEST_F(CursorsTest, TimesFollowTheTimebaseAndTheZoom) {
  const TimeRow rows[] = {
      {"1 ms/div", kOneMillisecond, 20.0f, 0, 0, 1250, {"t1 = 0.00ns", "t2 = 5.00ms", "dt = 5.00ms", "1/dt = 200Hz"}},
      {"cursors swapped", kOneMillisecond, 20.0f, 0, 1250, 0,
       {"t1 = 5.00ms", "t2 = 0.00ns", "dt = 5.00ms", "1/dt = 200Hz"}},
      {"faster than the acquisition: timed at 100 ns/div", 3, 20.0f, 0, 0, 1250,
       {"t1 = 0.00ns", "t2 = 500ns", "dt = 500ns", "1/dt = 2.00MHz"}},
      {"index 6, the last one below 100 ns/div", 6, 20.0f, 0, 0, 1250,
       {"t1 = 0.00ns", "t2 = 500ns", "dt = 500ns", "1/dt = 2.00MHz"}},
      {"zoomed 2x, 1 div into the record", kOneMillisecond, 10.0f, 5000, 500, 1000,
       {"t1 = 2.00ms", "t2 = 3.00ms", "dt = 1.00ms", "1/dt = 1.00kHz"}},
      {"the same place: no frequency", kOneMillisecond, 20.0f, 0, 500, 500,
       {"t1 = 2.00ms", "t2 = 2.00ms", "dt = 0.00ns", "1/dt = "}},
  };
  SwitchOn(kFreeCursors);
  for (const TimeRow& row : rows) {
    ProgramSetup.effectiveTimebaseIndex = static_cast<std::uint16_t>(row.timebaseIndex);
    ProgramSetup.zoomFactor = row.zoomFactor;
    ProgramSetup.zoomPosition = row.zoomPosition;
    PlaceCursors(row.x1, 128, row.x2, 128);
    EXPECT_EQ(TimeTexts(), row.expected) << row.what;
  }
}

TEST_F(CursorsTest, ANewTimebaseRedoesTheCursorLayoutWhereTheCursorsWere) {
  SwitchOn(kFreeCursors);
  PlaceCursors(0, 128, 1250, 128);
  Received();
  ProgramSetup.effectiveTimebaseIndex = kOneMillisecond + 1;  // 2 ms/div
  AcquisitionRunning = 1;
  ShowTimebase();
  AcquisitionRunning = 0;
  EXPECT_EQ(CursorAt(3).first, 1250);
  EXPECT_EQ(TimeTexts(), (Texts{"t1 = 0.00ns", "t2 = 10.0ms", "dt = 10.0ms", "1/dt = 100Hz"}));
  EXPECT_EQ(Received(), kGate) << "the instrument measures over the whole record again";
}

TEST_F(CursorsTest, AStoredTraceIsTimedAtItsOwnTimebaseUnlessMeasuring) {
  ProgramSetup.ch1LoadedTrace = 1;
  SwitchOn(kFreeCursors);
  PlaceCursors(0, 128, 1250, 128);
  EXPECT_EQ(TimeTexts()[1], "t2 = 500ns") << "stored-trace timebase 0: as at 100 ns/div";
  ProgramSetup.autoMeasurementsOn = 1;
  UpdateCursorReadouts();
  EXPECT_EQ(TimeTexts()[1], "t2 = 5.00ms");
}

TEST_F(CursorsTest, ChannelValuesUseScaleProbeAndPosition) {
  SwitchOn(kFreeCursors);
  Mirror.VerticalPositionSeen[1] = 22;  // CH2 one division up
  PlaceCursors(0, 160, 10, 64);
  EXPECT_EQ(ChannelTexts(0), (Texts{"CH1", "Y1 = 1.00V", "Y2 = -2.00V", "dY = 3.00V"}))
      << "one division up at 1 V/div reads 1 V";
  EXPECT_EQ(ChannelTexts(1), (Texts{"CH2", "Y1 = 0.00nA", "Y2 = -30.0A", "dY = 30.0A"}));

  ProgramSetup.ch2Displayed = 0;
  UpdateCursorReadouts();
  EXPECT_EQ(ChannelTexts(1), (Texts{"CH2", "Y1 = ...", "Y2 = ...", "dY = ..."}));
  EXPECT_EQ(ChannelTexts(0)[1], "Y1 = 1.00V") << "CH1 still measured";
}

TEST_F(CursorsTest, TrackingPutsTheCursorsOnTheReferenceTrace) {
  ProgramSetup.referenceChannel = 1;
  SampleBlock a{}, b{};
  for (const auto& [point, code] : {std::pair{100, 255}, {200, 0}, {300, 40}, {301, 80}, {2498, 10}, {2499, 90}})
    a[static_cast<std::size_t>(point)] = static_cast<std::uint8_t>(code);
  b.fill(50);
  ChannelSamples.Store(1, a, b);
  SwitchOn(kTrackingCursors);
  struct Row {
    const char* what;
    double x;
    double y;
  };
  const Row rows[] = {
      {"a sample of 255 stays at 255", 100, 255},
      {"a sample of 0 is lifted to 1", 200, 1},
      {"between two samples, on the line joining them", 300.25, 50},
      {"the last sample has no successor", 2499.5, 90},
      {"the graph's right edge is read as the last sample", 2500, 90},
  };
  for (const Row& row : rows) {
    PlaceCursors(0, 10, row.x, 10);
    EXPECT_EQ(CursorAt(3).second, row.y) << row.what;
  }
  EXPECT_EQ(ChannelTexts(0), (Texts{"", "", "", ""})) << "only the reference channel's readouts";
  EXPECT_EQ(ChannelTexts(1)[0], "CH2");

  Mirror.ZoomActive = 1;
  UpdateCursorReadouts();
  EXPECT_EQ(CursorAt(2).second, 50) << "zoomed, the trace shown is block B";
}

TEST_F(CursorsTest, TheAcquisitionThreadRetracksWhileTheUserSwitchesModes) {
  SampleBlock trace{};
  trace.fill(192);
  std::atomic<bool> userDone{false};
  std::thread acquisition([&] {
    for (int frame = 0; frame < 100 || !userDone; ++frame) {
      ChannelSamples.Store(0, trace, trace);
      UpdateCursorReadouts();
    }
  });
  for (int i = 0; i < 50; ++i) {
    SwitchOn(i % 3 == 0 ? kFreeCursors : i % 3 == 1 ? kTrackingCursors : 0);
    StoreField(ProgramSetup.referenceChannel, i % 2);
  }
  userDone = true;
  acquisition.join();
  ProgramSetup.referenceChannel = 0;
  SwitchOn(kTrackingCursors);
  EXPECT_EQ(CursorAt(2).second, 192) << "on the trace the acquisition thread stored";
  EXPECT_EQ(ChannelTexts(0)[1], "Y1 = 2.00V");
}

}  // namespace
