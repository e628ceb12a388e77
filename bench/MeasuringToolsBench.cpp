// The measuring tools on screen. The main panel is laid out by the program on
// the headless front-end at 720 x 580 and 1920 x 1080 pixels, with the
// measurement cursors on in tracking mode; what the model then holds for the
// trace graph and the overview is painted offscreen by the Qt graph widgets,
// as the window paints them.
//  - BM_ZoomedGraphRepaint: one full repaint of both graphs in zoom mode, the
//    trace graph holding 16 persistence bands (or 2 live ones), 2 references
//    of 2500 points and 3 cursors, the overview its 2 bands and the window.
//  - BM_CursorDragToPixels: the user's drag of the first cursor (VAL_CHANGED
//    then COMMIT to the trace graph's callback, the readouts recomputed) and
//    the repaint of the graph with the cursor at its new place.
#include <benchmark/benchmark.h>

#include <QImage>

#include <array>
#include <cmath>
#include <cstdint>
#include <string>

#include "OffscreenBenchmarkMain.h"
#include "acquisition/ChannelSamples.h"
#include "acquisition/DisplayMirror.h"
#include "acquisition/MainPanelHandle.h"
#include "display/AjustTrace.h"
#include "display/ChannelDisplayScale.h"
#include "display/Cursors.h"
#include "display/ReadoutControls.h"
#include "display/Reglage.h"
#include "layout/PanelIds.h"
#include "link/InstrumentSetup.h"
#include "platform/ui/Headless.h"
#include "platform/ui/Model.h"
#include "platform/ui/UserInterface.h"
#include "platform/ui/qt/GraphView.h"

namespace {

constexpr int kPoints = static_cast<int>(kBlockPoints);
constexpr std::uint16_t kTrackingCursors = 0x1;
constexpr int kMillisecondTimebase = 18;
constexpr int kOneVoltPerDiv = 8;
constexpr double kOverviewFrameTop = 251.0, kOverviewFrameBottom = 5.0;

// A band of one period per 250 points, `offset` codes up, a little wider for older traces.
std::array<int, kBlockPoints> BandY(int seed, double offset) {
  std::array<int, kBlockPoints> y{};
  for (int k = 0; k < kPoints / 2; ++k) {
    const double centre = 128 + offset + 70 * std::sin(2 * 3.14159265 * k / 125.0 + seed * 0.05);
    y[static_cast<std::size_t>(k)] = static_cast<int>(centre) - 3 - seed % 4;
    y[static_cast<std::size_t>(kPoints - 1 - k)] = static_cast<int>(centre) + 3 + seed % 3;
  }
  return y;
}

std::array<int, kBlockPoints> BandX() {
  std::array<int, kBlockPoints> x{};
  for (int k = 0; k < kPoints / 2; ++k) x[static_cast<std::size_t>(k)] = x[static_cast<std::size_t>(kPoints - 1 - k)] = 2 * k;
  return x;
}

void PlotBands(int panel, int graph, int count, double offset) {
  static const std::array<int, kBlockPoints> x = BandX();
  for (int i = 0; i < count; ++i) {
    const std::array<int, kBlockPoints> y = BandY(i, i % 2 == 0 ? offset : -offset);
    const int colour = i % 2 == 0 ? 0xFFFF00 - 0x0C0C00 * (i / 2) : 0x00FF00 - 0x000C00 * (i / 2);
    PlotPolygon(panel, graph, x.data(), y.data(), kPoints, colour, colour);
  }
}

// The first channel's samples, so that the tracking cursors sit on its trace.
void LoadSamples() {
  SampleBlock block{};
  for (int k = 0; k < kPoints; ++k)
    block[static_cast<std::size_t>(k)] = static_cast<std::uint8_t>(128 + 70 * std::sin(2 * 3.14159265 * k / 250.0));
  ChannelSamples.Store(0, block, block);
}

// The main panel on the headless front-end, laid out for the window size,
// cursors on and tracking, the graphs filled as in zoom mode.
class ZoomedPanel {
 public:
  ZoomedPanel(int width, int height, int liveBands) {
    headless::Use();
    headless::Reset();
    RegisterCallback("AjustTrace", PanelCallback(AjustTrace));
    RegisterCallback("Reglage", CtrlCallback(Reglage));
    panel_ = LoadPanel(0, ORNI_PANEL_FILE, MainPanel::Resource);
    MainPanelHandle = panel_;
    StoreField(ProgramSetup.effectiveTimebaseIndex, kMillisecondTimebase);
    StoreField(ProgramSetup.ch1Displayed, 1);
    StoreField(ProgramSetup.ch2Displayed, 1);
    StoreField(ProgramSetup.measurementFlags, kTrackingCursors);
    UpdateChannelDisplayScale(0, 1.0f, kOneVoltPerDiv, 1, "V");
    LoadSamples();
    Mirror.ZoomActive = 1;  // the layout makes room for the overview
    headless::Run([this] { ConfigureCursors(); });
    headless::Resize(panel_, height, width);
    SetCtrlAttribute(panel_, MainPanel::OverviewGraph, ATTR_VISIBLE, 1);
    PlotBands(panel_, MainPanel::TraceGraph, liveBands, 0);
    PlotBands(panel_, MainPanel::TraceGraph, 2, 40);  // the two references
    PlotBands(panel_, MainPanel::OverviewGraph, 2, 0);
    PlotRectangle(panel_, MainPanel::OverviewGraph, 1000, kOverviewFrameTop, 1500, kOverviewFrameBottom, VAL_BLACK,
                  VAL_TRANSPARENT);
    SetGraphCursor(panel_, MainPanel::TraceGraph, CursorT1.load(), 500, 128);
    SetGraphCursor(panel_, MainPanel::TraceGraph, CursorT2.load(), 1500, 128);
    headless::Sync();
  }
  ~ZoomedPanel() {
    MainPanelHandle = 0;
    Mirror.ZoomActive = 0;
    ChannelSamples.ClearChannel(0);
    UpdateChannelDisplayScale(0, 1.0f, 0, 0, "");
    ProgramSetup = InstrumentSetup{};
    headless::Reset();
  }
  int Panel() const { return panel_; }
  // The control as the model holds it now (what a front-end mirrors).
  uimodel::Control Copy(int control) const {
    uimodel::Control copy;
    uimodel::ReadControl(panel_, control, [&copy](const uimodel::Control& c) {
      copy = c;
      return 0;
    });
    return copy;
  }

 private:
  int panel_ = 0;
};

// A graph widget showing a model control, painted into an offscreen picture.
struct GraphPicture {
  uiqt::GraphView view;
  QImage target;
  explicit GraphPicture(const uimodel::Control& control) : view(1, control.id, nullptr) {
    view.resize(control.width, control.height);
    target = QImage(view.size(), QImage::Format_RGB32);
  }
  void Paint(const uimodel::Control& control) {
    view.Show(control);
    view.render(&target);
  }
};

std::string SizeLabel(const uimodel::Control& graph) {
  return std::to_string(graph.width) + "x" + std::to_string(graph.height) + " graph";
}

// The persistence trail recolours a band every frame, so both graphs are drawn anew.
void BM_ZoomedGraphRepaint(benchmark::State& state) {
  const ZoomedPanel panel(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)),
                          static_cast<int>(state.range(2)));
  uimodel::Control trace = panel.Copy(MainPanel::TraceGraph);
  uimodel::Control overview = panel.Copy(MainPanel::OverviewGraph);
  GraphPicture tracePicture(trace), overviewPicture(overview);
  int colour = 0;
  for (auto _ : state) {
    for (uimodel::Control* control : {&trace, &overview}) {
      uimodel::Graph& graph = *control->graph;
      graph.plots[0].color = graph.plots[0].fillColor = (colour & 1) ? 0xFFFF00 : 0xF0F000;
      graph.layerRevision = ++graph.plotRevision;
    }
    ++colour;
    tracePicture.Paint(trace);
    overviewPicture.Paint(overview);
  }
  state.SetLabel(SizeLabel(trace) + ", overview " + SizeLabel(overview) + ", " + std::to_string(trace.graph->plots.size()) + " plots, " +
                 std::to_string(trace.graph->cursors.size()) + " cursors");
}
BENCHMARK(BM_ZoomedGraphRepaint)
    ->ArgNames({"w", "h", "bands"})
    ->Args({720, 580, 16})
    ->Args({720, 580, 2})
    ->Args({1920, 1080, 16})
    ->Args({1920, 1080, 2})
    ->Unit(benchmark::kMillisecond);

// The first cursor goes back and forth across the graph, one drag per iteration.
double NextDragX(double x) { return x > 2300 ? 100 : x + 37; }

void BM_CursorDragToPixels(benchmark::State& state) {
  const ZoomedPanel panel(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)), 16);
  const bool paint = state.range(2) != 0;
  GraphPicture picture(panel.Copy(MainPanel::TraceGraph));
  picture.Paint(panel.Copy(MainPanel::TraceGraph));
  double x = 500;
  for (auto _ : state) {
    x = NextDragX(x);
    headless::DragCursor(panel.Panel(), MainPanel::TraceGraph, CursorT1.load(), x, 128, 1);
    if (paint) picture.Paint(panel.Copy(MainPanel::TraceGraph));
  }
  // Where the drag left the cursor and what its readout says, to show the work was done.
  double cursorX = 0, cursorY = 0;
  GetGraphCursor(panel.Panel(), MainPanel::TraceGraph, CursorT1.load(), &cursorX, &cursorY);
  std::string readout;
  GetCtrlVal(panel.Panel(), kTimeReadouts.lines[kFirstTimeLine], &readout);
  state.SetLabel(std::string(paint ? "drag and repaint" : "drag only (headless)") + ", T1 at (" +
                 std::to_string(static_cast<int>(cursorX)) + ", " + std::to_string(static_cast<int>(cursorY)) +
                 "), \"" + readout + "\"");
}
BENCHMARK(BM_CursorDragToPixels)
    ->ArgNames({"w", "h", "paint"})
    ->Args({720, 580, 1})
    ->Args({1920, 1080, 1})
    ->Args({720, 580, 0})
    ->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) { return RunOffscreenBenchmarks(argc, argv); }
