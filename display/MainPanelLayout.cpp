#include "display/MainPanelLayout.h"

#include <algorithm>
#include <array>

#include "acquisition/DisplayMirror.h"
#include "display/Cursors.h"
#include "display/Markers.h"
#include "display/Zoom.h"
#include "layout/PanelIds.h"
#include "platform/ui/UserInterface.h"

DisplayLayout Layout;

namespace {

struct CursorPosition {
  int cursor = 0;
  double x = 0.0;
  double y = 0.0;
};

// The measurement cursors keep their place while the graph changes size.
std::array<CursorPosition, 2> RememberMeasurementCursors(int panel) {
  std::array<CursorPosition, 2> cursors{{{CursorT1.load()}, {CursorT2.load()}}};
  if (cursors[0].cursor == 0 || cursors[1].cursor == 0) return {};
  for (CursorPosition& c : cursors) GetGraphCursor(panel, MainPanel::TraceGraph, c.cursor, &c.x, &c.y);
  return cursors;
}

void PutBackMeasurementCursors(int panel, const std::array<CursorPosition, 2>& cursors) {
  for (const CursorPosition& c : cursors)
    if (c.cursor != 0) SetGraphCursor(panel, MainPanel::TraceGraph, c.cursor, c.x, c.y);
}

int ClampedPanelSize(int panel, int attribute, int minimum) {
  int size = 0;
  GetPanelAttribute(panel, attribute, &size);
  if (size >= minimum) return size;
  SetPanelAttribute(panel, attribute, minimum);
  return minimum;
}

void PlaceControl(int panel, int control, int left, int top) {
  SetCtrlAttribute(panel, control, ATTR_LEFT, left);
  SetCtrlAttribute(panel, control, ATTR_TOP, top);
}

void SetLeft(int panel, int control, int left) { SetCtrlAttribute(panel, control, ATTR_LEFT, left); }

void PlaceZoomMoveButtons(int panel, int w, int m) {
  SetLeft(panel, MainPanel::ZoomLeftSmallButton, m);
  SetLeft(panel, MainPanel::ZoomLeftLargeButton, m);
  SetLeft(panel, MainPanel::ZoomRightSmallButton, w - 24);
  SetLeft(panel, MainPanel::ZoomRightLargeButton, w - 24);
}

// The overview keeps its window cursor where it was; its frame and the
// separator under it follow the overview.
void PlaceOverview(int panel, int w, int m) {
  double x = 0.0, y = 0.0;
  GetGraphCursor(panel, MainPanel::OverviewGraph, 1, &x, &y);
  SetLeft(panel, MainPanel::OverviewGraph, m + 24);
  SetCtrlAttribute(panel, MainPanel::OverviewGraph, ATTR_WIDTH, w - m - 48);
  SetGraphCursor(panel, MainPanel::OverviewGraph, 1, x, y);
  SetLeft(panel, MainPanel::OverviewFrame, m + 22);
  SetCtrlAttribute(panel, MainPanel::OverviewFrame, ATTR_WIDTH, w - m - 44);
  SetLeft(panel, MainPanel::ZoomSeparator, m);
  SetCtrlAttribute(panel, MainPanel::ZoomSeparator, ATTR_WIDTH, w - m - 22);
}

void PlaceOverviewTags(int panel, int w, int m) {
  SetLeft(panel, MainPanel::OverviewTriggerTag, w - 38);
  SetLeft(panel, MainPanel::TriggerPosTag, (w + m - 38) / 2);
  ReglageMem(panel, MainPanel::OverviewGraph, EVENT_VAL_CHANGED, nullptr, 0, 0);
  SetLeft(panel, MainPanel::AcquisitionTimebaseLabel, (w + m - 70) / 2);
}

// ZoomOnButton and ZoomOffButton take turns at the same place, between
// ZoomInButton and ZoomOutButton.
void PlaceZoomButtons(int panel, int h, int w, int m) {
  const int left = (w + m - 24) / 2;
  PlaceControl(panel, MainPanel::ZoomOnButton, left, h - 23);
  PlaceControl(panel, MainPanel::ZoomOffButton, left, h - 23);
  PlaceControl(panel, MainPanel::ZoomInButton, left - 25, h - 23);
  PlaceControl(panel, MainPanel::ZoomOutButton, left + 25, h - 23);
}

void PlaceBottomStrip(int panel, int h, int w, int m, int graphWidth) {
  PlaceControl(panel, MainPanel::TimebaseText, m + (graphWidth - 70) / 2, h - 35);
  PlaceControl(panel, MainPanel::PersistenceIcon, m + 3, h - 19);
  PlaceControl(panel, MainPanel::AcquisitionLed, w - 90, h - 26);
  PlaceControl(panel, MainPanel::Ref1LabelText, m + 25, h - 23);
  PlaceControl(panel, MainPanel::Ref2LabelText, m + 25, h - 13);
  int captionWidth = 0;
  GetCtrlAttribute(panel, MainPanel::GraphCaption, ATTR_WIDTH, &captionWidth);
  SetLeft(panel, MainPanel::GraphCaption, m + (graphWidth - captionWidth) / 2);
}

// The measurement titles sit at the right of the top strip and the values in
// the trace graph's top-right corner, wherever the panel's right edge is.
void PlaceMeasurementArea(int panel, int width, int frameTop) {
  constexpr int kAreaWidth = 200;
  constexpr int kValuesColumn = 84;
  const int left = width - kAreaWidth;
  // On a narrow panel the titles give way to the toolbar rather than hide under it.
  const int titlesLeft = std::max(left, Layout.ToolbarRight.load() + 6);
  PlaceControl(panel, MainPanel::MeasurementTitle, titlesLeft, 4);
  PlaceControl(panel, MainPanel::CursorMeasurementTitle, titlesLeft, 24);
  PlaceControl(panel, MainPanel::MeasFrame, left, frameTop);
  PlaceControl(panel, MainPanel::MeasLabelsText, left + 6, frameTop + 4);
  PlaceControl(panel, MainPanel::MeasValuesText, left + 6 + kValuesColumn, frameTop + 4);
}

}  // namespace

void LayOutMainPanel(int panel) {
  const std::array<CursorPosition, 2> cursors = RememberMeasurementCursors(panel);
  const int h = ClampedPanelSize(panel, ATTR_HEIGHT, kMinimumPanelHeight);
  const int m = Layout.MarkerColumn.load();
  Layout.GraphHeightPx = h - 86;
  const bool zoomed = Mirror.ZoomActive.load() != 0;
  SetCtrlAttribute(panel, MainPanel::TraceGraph, ATTR_HEIGHT, zoomed ? h - 148 : h - 68);
  SetCtrlAttribute(panel, MainPanel::TraceGraph, ATTR_TOP, zoomed ? kGraphTop + kZoomGraphDrop : kGraphTop);
  const int w = ClampedPanelSize(panel, ATTR_WIDTH, kMinimumPanelWidth);
  const int graphWidth = w - 23 - m;
  Layout.GraphWidthPx = graphWidth;
  SetLeft(panel, MainPanel::TraceGraph, m);
  SetCtrlAttribute(panel, MainPanel::TraceGraph, ATTR_WIDTH, w + 10 - m);
  PlaceZoomMoveButtons(panel, w, m);
  PlaceOverview(panel, w, m);
  PlaceOverviewTags(panel, w, m);
  PlaceControl(panel, MainPanel::AcqStateText, w - 120, h - 33);
  PlaceZoomButtons(panel, h, w, m);
  PlaceBottomStrip(panel, h, w, m, graphWidth);
  PlaceMeasurementArea(panel, w, zoomed ? 130 : 50);
  PutBackMeasurementCursors(panel, cursors);
  PlaceTriggerMarker();
  PlacePositionMarkers();
  ProcessDrawEvents();
}
