#include "display/TraceDrawing.h"

#include <array>
#include <cstddef>

#include "acquisition/ChannelSamples.h"
#include "acquisition/DisplayMirror.h"
#include "acquisition/MainPanelHandle.h"
#include "acquisition/ReferenceStore.h"
#include "display/Colours.h"
#include "display/DisplayState.h"
#include "display/XYPanel.h"
#include "layout/PanelIds.h"
#include "link/InstrumentSetup.h"
#include "platform/ui/UserInterface.h"

namespace {

constexpr int kPolygonPoints = static_cast<int>(kBlockPoints);
static_assert(kBlockPoints == kReferencePoints, "references are drawn with the channels' abscissae");

using Polygon = std::array<std::int32_t, kBlockPoints>;

// Screen abscissa of each polygon point: out along the first code of every
// pair, back along the second, so that the filled polygon is the band
// between them.
constexpr Polygon MakeBandX() {
  Polygon x{};
  for (std::size_t k = 0; k < kBlockPoints / 2; ++k) {
    x[k] = static_cast<std::int32_t>(2 * k);
    x[kBlockPoints - 1 - k] = static_cast<std::int32_t>(2 * k);
  }
  return x;
}
constexpr Polygon BandX = MakeBandX();

// Everything below belongs to the acquisition thread: the plot handles and
// the buffers, reused every frame (0 = no plot).
struct DrawingState {
  std::array<int, kChannels> RefPlot{};
  std::array<int, kChannels> OverviewPlot{};
  std::array<std::array<int, kPersistenceDepth>, kChannels> PersistRing{};
  int RingIndex = 0;
  int OrderToggle = 0;
};
DrawingState drawing;

struct FrameBuffers {
  SampleSet samples{};
  ReferenceData references{};
  std::array<Polygon, kChannels> live{};
  std::array<Polygon, kChannels> zoomed{};
  std::array<Polygon, kChannels> reference{};
};
FrameBuffers buffers;

// What one frame draws with, read once at its start.
struct FrameView {
  int panel;
  bool zoomed;
  bool persistence;
  std::array<bool, kChannels> shown;
  std::array<bool, kChannels> referenceFull;
};

template <typename Codes>
void FoldIntoPolygon(const Codes& codes, Polygon& polygon) {
  for (std::size_t k = 0; k < kBlockPoints / 2; ++k) {
    polygon[k] = static_cast<std::int32_t>(codes[2 * k]);
    polygon[kBlockPoints - 1 - k] = static_cast<std::int32_t>(codes[2 * k + 1]);
  }
}

void BuildPolygons(const FrameView& view) {
  for (std::size_t ch = 0; ch < kChannels; ++ch) {
    if (view.shown[ch]) {
      FoldIntoPolygon(buffers.samples[ch].blockA, buffers.live[ch]);
      if (view.zoomed) FoldIntoPolygon(buffers.samples[ch].blockB, buffers.zoomed[ch]);
    }
    if (view.referenceFull[ch]) FoldIntoPolygon(buffers.references.ReferenceStore[ch], buffers.reference[ch]);
  }
}

int PlotBand(int panel, int graph, const Polygon& y, std::uint32_t colour) {
  const int handle = PlotPolygon(panel, graph, BandX.data(), y.data(), kPolygonPoints, static_cast<int>(colour),
                                 static_cast<int>(colour));
  return handle > 0 ? handle : 0;
}

// Deletes the plot in `handle` (if any) and empties the slot.
void DeletePlot(int panel, int graph, int& handle, int refresh) {
  if (handle != 0) DeleteGraphPlot(panel, graph, handle, refresh);
  handle = 0;
}

void DrawReference(const FrameView& view, std::size_t ch) {
  int& plot = drawing.RefPlot[ch];
  if (view.referenceFull[ch] && plot == 0) {
    plot = PlotBand(view.panel, MainPanel::TraceGraph, buffers.reference[ch], ReferenceColour[ch]);
  } else if (!view.referenceFull[ch]) {
    DeletePlot(view.panel, MainPanel::TraceGraph, plot, VAL_DELAYED_DRAW);
  }
}

// The previous drawings fade with age, or go when persistence is off.
void AgeRing(const FrameView& view, std::size_t ch) {
  auto& ring = drawing.PersistRing[ch];
  for (int age = 1; age < kPersistenceDepth; ++age) {
    int& slot = ring[static_cast<std::size_t>((drawing.RingIndex - age + kPersistenceDepth) % kPersistenceDepth)];
    if (slot == 0) continue;
    if (view.persistence) {
      const auto colour = static_cast<int>(PersistColour[ch][static_cast<std::size_t>(age)]);
      SetPlotAttribute(view.panel, MainPanel::TraceGraph, slot, ATTR_TRACE_COLOR, colour);
      SetPlotAttribute(view.panel, MainPanel::TraceGraph, slot, ATTR_PLOT_FILL_COLOR, colour);
    } else {
      DeletePlot(view.panel, MainPanel::TraceGraph, slot, VAL_IMMEDIATE_DRAW);
    }
  }
}

void DrawChannel(const FrameView& view, std::size_t ch) {
  DrawReference(view, ch);
  auto& ring = drawing.PersistRing[ch];
  DeletePlot(view.panel, MainPanel::TraceGraph, ring[static_cast<std::size_t>(drawing.RingIndex)], VAL_IMMEDIATE_DRAW);
  DeletePlot(view.panel, MainPanel::OverviewGraph, drawing.OverviewPlot[ch], VAL_DELAYED_DRAW);
  if (view.shown[ch]) {
    const Polygon& onGraph = view.zoomed ? buffers.zoomed[ch] : buffers.live[ch];
    ring[static_cast<std::size_t>(drawing.RingIndex)] =
        PlotBand(view.panel, MainPanel::TraceGraph, onGraph, ChannelColour[ch]);
    if (view.zoomed)
      drawing.OverviewPlot[ch] = PlotBand(view.panel, MainPanel::OverviewGraph, buffers.live[ch], ChannelColour[ch]);
    AgeRing(view, ch);
  } else {
    for (int& slot : ring) DeletePlot(view.panel, MainPanel::TraceGraph, slot, VAL_IMMEDIATE_DRAW);
  }
}

bool ChannelOn(int channel) {
  return LoadField(channel == 0 ? ProgramSetup.ch1Displayed : ProgramSetup.ch2Displayed) != 0;
}

// One channel against the other on the XY panel, with the references' curve
// under it. A source channel not shown in this frame keeps the points it was
// last drawn with.
void DrawXYCurve(const FrameView& view) {
  const int panel = XYPanelOpen.load();
  if (panel <= 0) return;
  const int graph = CurrentXYPanelControls().graph;
  const int x = LoadField(ProgramSetup.xySourceX);
  const int y = LoadField(ProgramSetup.xySourceY);
  const bool sourcesValid = x >= 0 && x < kChannels && y >= 0 && y < kChannels;
  if (!sourcesValid || !ChannelOn(x) || !ChannelOn(y)) {
    DeleteGraphPlot(panel, graph, VAL_ALL_PLOTS, VAL_IMMEDIATE_DRAW);
    return;
  }
  const auto xs = static_cast<std::size_t>(x);
  const auto ys = static_cast<std::size_t>(y);
  DeleteGraphPlot(panel, graph, VAL_ALL_PLOTS, VAL_DELAYED_DRAW);
  if (view.referenceFull[xs] && view.referenceFull[ys])
    PlotPolygon(panel, graph, buffers.reference[xs].data(), buffers.reference[ys].data(), kPolygonPoints,
                static_cast<int>(kXYReferenceColour), static_cast<int>(kXYReferenceColour));
  PlotPolygon(panel, graph, buffers.live[xs].data(), buffers.live[ys].data(), kPolygonPoints,
              static_cast<int>(kXYLiveColour), static_cast<int>(kXYLiveColour));
}

FrameView ReadFrame(int panel) {
  FrameView view{panel, Mirror.ZoomActive.load() != 0, PersistenceOn.load() != 0, {}, {}};
  ChannelSamples.Snapshot(buffers.samples);
  buffers.references = ProgramReferences.Snapshot();
  for (std::size_t ch = 0; ch < kChannels; ++ch) {
    view.shown[ch] = Mirror.ChannelShown[ch].load() != 0;
    view.referenceFull[ch] = !ReferenceIsEmpty(buffers.references, static_cast<int>(ch));
  }
  return view;
}

}  // namespace

void ResetDrawingState() { drawing = DrawingState{}; }

void DrawTraces() {
  const int panel = MainPanelHandle.load();
  if (panel <= 0) return;
  const FrameView view = ReadFrame(panel);
  drawing.RingIndex = (drawing.RingIndex + 1) % kPersistenceDepth;
  BuildPolygons(view);
  const auto first = static_cast<std::size_t>(drawing.OrderToggle);
  DrawChannel(view, first);
  DrawChannel(view, 1 - first);
  drawing.OrderToggle = 1 - drawing.OrderToggle;
  DrawXYCurve(view);
}
