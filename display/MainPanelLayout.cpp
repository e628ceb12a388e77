#include "display/MainPanelLayout.h"

#include "acquisition/DisplayMirror.h"
#include "layout/PanelIds.h"
#include "platform/ui/UserInterface.h"

DisplayLayout Layout;

namespace {

// Enforces the smallest size; returns the size the layout works with.
void ClampPanelSize(int panel, int& height, int& width) {
  GetPanelAttribute(panel, ATTR_HEIGHT, &height);
  GetPanelAttribute(panel, ATTR_WIDTH, &width);
  if (height < kMinimumPanelHeight) {
    height = kMinimumPanelHeight;
    SetPanelAttribute(panel, ATTR_HEIGHT, height);
  }
  if (width < kMinimumPanelWidth) {
    width = kMinimumPanelWidth;
    SetPanelAttribute(panel, ATTR_WIDTH, width);
  }
}

void PlaceControl(int panel, int control, int left, int top) {
  SetCtrlAttribute(panel, control, ATTR_LEFT, left);
  SetCtrlAttribute(panel, control, ATTR_TOP, top);
}

// The measurement titles sit at the right of the top strip and the values in
// the trace graph's top-right corner, wherever the panel's right edge is.
void PlaceMeasurementArea(int panel, int width, int frameTop) {
  constexpr int kAreaWidth = 200;
  constexpr int kValuesColumn = 84;
  const int left = width - kAreaWidth;
  PlaceControl(panel, MainPanel::MeasurementTitle, left, 4);
  PlaceControl(panel, MainPanel::CursorMeasurementTitle, left, 24);
  PlaceControl(panel, MainPanel::MeasFrame, left, frameTop);
  PlaceControl(panel, MainPanel::MeasLabelsText, left + 6, frameTop + 4);
  PlaceControl(panel, MainPanel::MeasValuesText, left + 6 + kValuesColumn, frameTop + 4);
}

}  // namespace

void LayOutMainPanel(int panel) {
  int h = 0;
  int w = 0;
  ClampPanelSize(panel, h, w);
  const int m = Layout.MarkerColumn.load();
  Layout.GraphHeightPx = h - 86;
  const bool zoomed = Mirror.ZoomActive.load() != 0;
  SetCtrlAttribute(panel, MainPanel::TraceGraph, ATTR_HEIGHT, zoomed ? h - 148 : h - 68);
  SetCtrlAttribute(panel, MainPanel::TraceGraph, ATTR_TOP, zoomed ? 126 : 46);
  const int graphWidth = w - 23 - m;
  Layout.GraphWidthPx = graphWidth;
  SetCtrlAttribute(panel, MainPanel::TraceGraph, ATTR_LEFT, m);
  SetCtrlAttribute(panel, MainPanel::TraceGraph, ATTR_WIDTH, w + 10 - m);
  PlaceControl(panel, MainPanel::AcqStateText, w - 120, h - 33);
  PlaceControl(panel, MainPanel::TimebaseText, m + (graphWidth - 70) / 2, h - 35);
  PlaceControl(panel, MainPanel::VariantMark, w - 90, h - 26);
  PlaceMeasurementArea(panel, w, zoomed ? 130 : 50);
  ProcessDrawEvents();
}
