// Frames drawn on the trace graph: bands, the persistence trail, references,
// the drawing order, the overview in zoom mode and the XY curve.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdint>
#include <optional>
#include <thread>
#include <tuple>
#include <vector>

#include "MainPanelFixture.h"
#include "display/AjustTrace.h"
#include "display/Colours.h"

namespace {

using displaytest::Ints;
using headless::PlotInfo;

class TraceDrawingTest : public displaytest::MainPanelTest {
 protected:
  // Frame n carries codes 10n + channel in block A and 10n + 5 + channel in block B.
  static void DrawFrame(int n) {
    for (int ch = 0; ch < 2; ++ch) {
      SampleBlock a, b;
      a.fill(static_cast<std::uint8_t>(10 * n + ch));
      b.fill(static_cast<std::uint8_t>(10 * n + 5 + ch));
      ChannelSamples.Store(ch, a, b);
    }
    DrawTraces();
  }
  static void FillReference(int which, std::int32_t code) {
    ReferenceData data = ProgramReferences.Snapshot();
    data.ReferenceStore[static_cast<std::size_t>(which)].fill(code);
    ProgramReferences.Replace(data);
  }
  std::vector<PlotInfo> TracePlots() const { return headless::Plots(panel_, MainPanel::TraceGraph); }
  static std::optional<PlotInfo> WithFirstCode(const std::vector<PlotInfo>& plots, double code) {
    for (const PlotInfo& plot : plots)
      if (!plot.y.empty() && plot.y[0] == code) return plot;
    return std::nullopt;
  }
  // The colour a plot starting with `code` is drawn and filled in; -1 when there is none, -2 when they differ.
  static int ColourOf(const std::vector<PlotInfo>& plots, double code) {
    const std::optional<PlotInfo> plot = WithFirstCode(plots, code);
    return !plot ? -1 : plot->fillColor == plot->color ? plot->color : -2;
  }
  static void ShowBoth() { Mirror.ChannelShown[0] = Mirror.ChannelShown[1] = 1; }
};

TEST_F(TraceDrawingTest, EachPairOfCodesIsDrawnAsAFilledBand) {
  Mirror.ChannelShown[0] = 1;
  SampleBlock a{};
  for (std::size_t i = 0; i < a.size(); ++i) a[i] = static_cast<std::uint8_t>(i % 2 == 0 ? 100 + i % 50 : 20);
  ChannelSamples.Store(0, a, a);
  DrawTraces();
  const std::vector<PlotInfo> plots = TracePlots();
  ASSERT_EQ(plots.size(), 1u);
  const PlotInfo& band = plots[0];
  ASSERT_EQ(band.x.size(), 2500u);
  EXPECT_TRUE(band.polygon);
  EXPECT_EQ(ColourOf(plots, a[0]), 0xFF0000);
  for (std::size_t k = 0; k < 1250; ++k) {
    ASSERT_EQ(band.x[k], 2.0 * k) << k;
    ASSERT_EQ(band.x[2499 - k], 2.0 * k) << k;
    ASSERT_EQ(band.y[k], a[2 * k]) << k;
    ASSERT_EQ(band.y[2499 - k], a[2 * k + 1]) << k;
  }
}

TEST_F(TraceDrawingTest, PersistenceKeepsEightDrawingsFadingWithAge) {
  ShowBoth();
  PersistenceOn = 1;
  for (int n = 1; n <= 8; ++n) DrawFrame(n);
  std::vector<PlotInfo> plots = TracePlots();
  EXPECT_EQ(plots.size(), 16u);
  for (std::size_t ch = 0; ch < 2; ++ch)
    for (std::size_t age = 0; age < 8; ++age)
      EXPECT_EQ(ColourOf(plots, 10.0 * (8 - age) + ch), static_cast<int>(PersistColour[ch][age]))
          << "channel " << ch << ", age " << age;
  EXPECT_EQ(Ints({ColourOf(plots, 80), ColourOf(plots, 81)}), Ints(ChannelColour.begin(), ChannelColour.end()));
  EXPECT_EQ(Ints({ColourOf(plots, 10), ColourOf(plots, 11)}), Ints({0xFFE0E0, 0xE0FFE0})) << "the oldest";

  DrawFrame(9);  // the ninth drawing takes the place of the first
  plots = TracePlots();
  EXPECT_EQ(plots.size(), 16u);
  EXPECT_EQ(Ints({ColourOf(plots, 10), ColourOf(plots, 20)}), Ints({-1, 0xFFE0E0}));

  PersistenceOn = 0;
  DrawFrame(10);
  plots = TracePlots();
  ASSERT_EQ(plots.size(), 2u) << "only the newest drawing of each channel stays";
  EXPECT_EQ(Ints({ColourOf(plots, 100), ColourOf(plots, 101)}), Ints({0xFF0000, 0x00C000}));
}

TEST_F(TraceDrawingTest, AChannelSwitchedOffLosesItsDrawingsButNotItsReference) {
  ShowBoth();
  PersistenceOn = 1;
  FillReference(0, 200);
  for (int n = 1; n <= 3; ++n) DrawFrame(n);
  std::vector<PlotInfo> plots = TracePlots();
  EXPECT_EQ(plots.size(), 7u);
  const std::optional<PlotInfo> reference = WithFirstCode(plots, 200);
  ASSERT_TRUE(reference);
  EXPECT_EQ(reference->color, 0xFF8080);

  Mirror.ChannelShown[0] = 0;
  DrawFrame(4);
  plots = TracePlots();
  EXPECT_EQ(plots.size(), 5u) << "CH2's four drawings and REF1";
  for (int n = 1; n <= 4; ++n) EXPECT_EQ(ColourOf(plots, 10 * n), -1) << "CH1's drawing " << n;
  ASSERT_TRUE(WithFirstCode(plots, 200));
  EXPECT_EQ(WithFirstCode(plots, 200)->handle, reference->handle) << "drawn once, never redrawn";

  ProgramReferences.Clear(0);
  DrawFrame(5);
  EXPECT_FALSE(WithFirstCode(TracePlots(), 200)) << "an emptied reference goes";
}

TEST_F(TraceDrawingTest, TheChannelDrawnLastAlternates) {
  ShowBoth();
  std::vector<int> onTop;
  for (int n = 1; n <= 4; ++n) {
    DrawFrame(n);
    onTop.push_back(TracePlots().back().color);
  }
  EXPECT_EQ(onTop, (std::vector<int>{0x00C000, 0xFF0000, 0x00C000, 0xFF0000}));
}

TEST_F(TraceDrawingTest, ZoomedTheGraphShowsBlockBAndTheOverviewBlockA) {
  ShowBoth();
  Mirror.ZoomActive = 1;
  for (int n = 1; n <= 2; ++n) DrawFrame(n);
  const std::vector<PlotInfo> overview = headless::Plots(panel_, MainPanel::OverviewGraph);
  ASSERT_EQ(overview.size(), 2u) << "one overview plot per channel, replaced every frame";
  EXPECT_TRUE(WithFirstCode(overview, 20) && WithFirstCode(overview, 21));
  const std::vector<PlotInfo> zoomed = TracePlots();
  EXPECT_TRUE(WithFirstCode(zoomed, 25) && WithFirstCode(zoomed, 26) && !WithFirstCode(zoomed, 20));
}

TEST_F(TraceDrawingTest, TheXYCurvePlotsOneSourceAgainstTheOther) {
  const int xyPanel = NewPanel(0, "XY", 0, 0, 300, 300);
  XYPanelControls controls;
  controls.graph = NewCtrl(xyPanel, CTRL_GRAPH, "", 10, 10);
  SetXYPanelControls(controls);
  XYPanelOpen = xyPanel;
  ShowBoth();
  ProgramSetup.ch1Displayed = ProgramSetup.ch2Displayed = 1;
  ProgramSetup.xySourceX = 1;
  ProgramSetup.xySourceY = 0;
  FillReference(0, 30);
  FillReference(1, 40);
  for (int n = 1; n <= 2; ++n) DrawFrame(n);
  std::vector<PlotInfo> curves = headless::Plots(xyPanel, controls.graph);
  ASSERT_EQ(curves.size(), 2u);
  const auto first = [](const PlotInfo& curve) { return std::tuple(curve.color, curve.x.at(0), curve.y.at(0)); };
  EXPECT_EQ(first(curves[0]), std::tuple(0xFFC880, 40.0, 30.0)) << "the references";
  EXPECT_EQ(first(curves[1]), std::tuple(0xCC6600, 21.0, 20.0)) << "X is CH2's block A, Y CH1's";

  ProgramReferences.Clear(1);
  DrawFrame(3);
  curves = headless::Plots(xyPanel, controls.graph);
  ASSERT_EQ(curves.size(), 1u) << "no reference curve without both references";
  EXPECT_EQ(curves[0].color, 0xCC6600);

  ProgramSetup.ch2Displayed = 0;
  DrawFrame(4);
  EXPECT_TRUE(headless::Plots(xyPanel, controls.graph).empty());
}

// The acquisition thread draws and places the markers and readouts while the
// user resizes the window and switches cursors, persistence and references.
TEST_F(TraceDrawingTest, FramesAreDrawnWhileTheUserChangesTheDisplay) {
  ShowBoth();
  Mirror.ChannelMaskSeen = 3;
  TriggerCursor = 1;
  RegisterCallback("AjustTrace", PanelCallback(AjustTrace));
  std::atomic<bool> done{false};
  std::thread acquisition([&] {
    for (int n = 1; !done.load(); n = n % 20 + 1) {
      DrawFrame(n);
      PlaceTriggerMarker();
      PlacePositionMarkers();
      UpdateCursorReadouts();
    }
  });
  for (int step = 0; step < 100; ++step) {
    StoreField(ProgramSetup.measurementFlags, step % 2 == 0 ? 0 : 0x3);
    ConfigureCursors();
    headless::Resize(panel_, 545 + step, 530 + 3 * step);
    PersistenceOn = step % 3 == 0 ? 1 : 0;
    if (step % 10 == 0) FillReference(step % 20 == 0 ? 0 : 1, 50);
    if (step % 10 == 5) ProgramReferences.Clear(kAllReferences);
  }
  done = true;
  acquisition.join();
  PersistenceOn = 0;
  ProgramReferences.Clear(kAllReferences);
  DrawFrame(1);
  EXPECT_EQ(TracePlots().size(), 2u);
  EXPECT_EQ(Attribute(MainPanel::TraceGraph, ATTR_WIDTH), 827 + 10 - 398) << "the last resize, with the readouts";
}

}  // namespace
