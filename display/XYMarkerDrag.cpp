// Dragging a channel marker of the XY window moves that channel as if its
// position had been typed on the main panel.
#include <algorithm>
#include <array>
#include <optional>

#include "acquisition/DisplayMirror.h"
#include "acquisition/MainPanelHandle.h"
#include "display/XYPanel.h"
#include "display/XYWindow.h"
#include "display/XYWindowParts.h"
#include "layout/PanelIds.h"
#include "platform/ui/UserInterface.h"

namespace {

constexpr int kLabelAboveMarker = 9;
constexpr int kLabelRightOfMarker = 3;
constexpr double kHalfScreenDivisions = 4.0;

struct DraggedMarker {
  int channel;
  bool horizontal;  // beside the X axis
  int label;
};

std::optional<DraggedMarker> MarkerOf(int control) {
  struct Entry {
    int marker;
    DraggedMarker dragged;
  };
  static constexpr std::array<Entry, 4> kMarkers = {{
      {XYPanel::Ch1XYYMarker, {0, false, XYPanel::Ch1XYYLabel}},
      {XYPanel::Ch2XYYMarker, {1, false, XYPanel::Ch2XYYLabel}},
      {XYPanel::Ch1XYXMarker, {0, true, XYPanel::Ch1XYXLabel}},
      {XYPanel::Ch2XYXMarker, {1, true, XYPanel::Ch2XYXLabel}},
  }};
  for (const Entry& entry : kMarkers)
    if (entry.marker == control) return entry.dragged;
  return std::nullopt;
}

int PlotArea(int panel, int attribute) {
  int size = 0;
  GetCtrlAttribute(panel, XYPanel::XYGraph, attribute, &size);
  return size;
}

// The top edge of the plot area is +4 divisions, the bottom edge -4; a drop
// outside it holds the marker at the nearest edge.
double DropOnYAxis(int panel, int control, const DraggedMarker& marker, int top) {
  const int height = PlotArea(panel, ATTR_PLOT_AREA_HEIGHT);
  int p = top - kXYPlotInset;
  if (p > height) {
    SetCtrlAttribute(panel, control, ATTR_TOP, height + kXYPlotInset);
    SetCtrlAttribute(panel, marker.label, ATTR_TOP, height - 1);
    p = height;
  } else if (p < 0) {
    SetCtrlAttribute(panel, control, ATTR_TOP, kXYPlotInset);
    SetCtrlAttribute(panel, marker.label, ATTR_TOP, kXYPlotInset - kLabelAboveMarker);
    p = 0;
  } else {
    SetCtrlAttribute(panel, marker.label, ATTR_TOP, top - kLabelAboveMarker);
    // The first rows below the top edge still count as the edge.
    if (p < kXYPlotInset) p = 0;
  }
  if (height <= 0) return 0.0;
  return (height - p) / (height / 8.0) - kHalfScreenDivisions;
}

// The left edge of the plot area is -4 divisions, the right edge +4.
double DropOnXAxis(int panel, int control, const DraggedMarker& marker, int left) {
  const int width = PlotArea(panel, ATTR_PLOT_AREA_WIDTH);
  const int column = std::max(XYGraphLeft.load(), 0);
  int p = left - column - kXYPlotInset;
  int markerLeft = left;
  if (p > width || p < 0) {
    p = p < 0 ? 0 : width;
    markerLeft = column + p + kXYPlotInset;
    SetCtrlAttribute(panel, control, ATTR_LEFT, markerLeft);
  }
  SetCtrlAttribute(panel, marker.label, ATTR_LEFT, markerLeft + kLabelRightOfMarker);
  if (width <= 0) return 0.0;
  return -((width - p) / (width / 8.0) - kHalfScreenDivisions);
}

void ApplyPosition(int channel, double divisions) {
  const int mainPanel = MainPanelHandle.load();
  if (mainPanel <= 0) return;
  const int input = channel == 0 ? MainPanel::Ch1OffsetInput : MainPanel::Ch2OffsetInput;
  const int input2 = channel == 0 ? MainPanel::Ch1OffsetInput2 : MainPanel::Ch2OffsetInput2;
  SetCtrlVal(mainPanel, input, divisions);
  SetCtrlVal(mainPanel, input2, divisions);
  CallCtrlCallback(mainPanel, input, EVENT_COMMIT, 0, 0, nullptr);
}

}  // namespace

int RefVoieXY(int panel, int control, int event, void* /*callbackData*/, int eventData1, int eventData2) {
  if (event != EVENT_DROPPED || XYPanelOpen.load() <= 0) return 0;
  const std::optional<DraggedMarker> marker = MarkerOf(control);
  if (!marker) return 0;
  const double divisions = marker->horizontal ? DropOnXAxis(panel, control, *marker, eventData2)
                                              : DropOnYAxis(panel, control, *marker, eventData1);
  ApplyPosition(marker->channel, divisions);
  return 0;
}
