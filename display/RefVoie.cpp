// The channel position markers beside the trace graph: dragging one moves
// the channel as if its offset had been typed in.
#include <array>
#include <optional>

#include "acquisition/DisplayMirror.h"
#include "display/MainPanelLayout.h"
#include "display/Reglage.h"
#include "layout/PanelIds.h"
#include "platform/ui/UserInterface.h"

namespace {

struct MarkerControls {
  int marker;
  int label;
  int offsetInput;
  int offsetInput2;
};
constexpr std::array<MarkerControls, kChannels> kMarkerControls = {{
    {MainPanel::Ch1PositionMarker, MainPanel::Ch1PositionLabel, MainPanel::Ch1OffsetInput, MainPanel::Ch1OffsetInput2},
    {MainPanel::Ch2PositionMarker, MainPanel::Ch2PositionLabel, MainPanel::Ch2OffsetInput, MainPanel::Ch2OffsetInput2},
}};

// Above the pointer while the marker follows it; closer once it sits at an edge.
constexpr int kLabelAbovePointer = 11;
constexpr int kLabelAboveClampedMarker = 9;

// The marker's callback serves both channels; any other control is not ours.
std::optional<MarkerControls> ControlsOf(int control) {
  for (const MarkerControls& controls : kMarkerControls)
    if (controls.marker == control) return controls;
  return std::nullopt;
}

int PlotHeight(int panel) {
  int height = 0;
  GetCtrlAttribute(panel, MainPanel::TraceGraph, ATTR_PLOT_AREA_HEIGHT, &height);
  return height;
}

// Keeps the marker within the plot area's height and its label beside it.
// Returns the marker's top in graph rows (the plot area from 55 to H + 55).
int FollowMarker(int panel, const MarkerControls& controls, int markerTop, int plotHeight) {
  const int drop = Mirror.ZoomActive.load() != 0 ? kZoomGraphDrop : 0;
  int y = markerTop - drop;
  if (y > plotHeight + kPlotAreaTop || y < kPlotAreaTop) {
    y = y < kPlotAreaTop ? kPlotAreaTop : plotHeight + kPlotAreaTop;
    SetCtrlAttribute(panel, controls.marker, ATTR_TOP, y + drop);
    SetCtrlAttribute(panel, controls.label, ATTR_TOP, y + drop - kLabelAboveClampedMarker);
  } else {
    SetCtrlAttribute(panel, controls.label, ATTR_TOP, markerTop - kLabelAbovePointer);
  }
  return y;
}

// The plot area's top edge is +4 divisions, its bottom edge -4.
void ApplyPosition(int panel, const MarkerControls& controls, int y, int plotHeight) {
  if (plotHeight <= 0) return;
  const double divisions = ((plotHeight + kPlotAreaTop) - y) / (plotHeight / 8.0) - 4.0;
  SetCtrlVal(panel, controls.offsetInput, divisions);
  SetCtrlVal(panel, controls.offsetInput2, divisions);
  CallCtrlCallback(panel, controls.offsetInput, EVENT_COMMIT, 0, 0, nullptr);
}

}  // namespace

int RefVoie(int panel, int control, int event, void* /*callbackData*/, int eventData1, int /*eventData2*/) {
  if (event != EVENT_DROP && event != EVENT_DROPPED) return 0;
  const std::optional<MarkerControls> controls = ControlsOf(control);
  if (!controls) return 0;
  const int plotHeight = PlotHeight(panel);
  const int y = FollowMarker(panel, *controls, eventData1, plotHeight);
  if (event == EVENT_DROPPED) ApplyPosition(panel, *controls, y, plotHeight);
  return 0;
}
