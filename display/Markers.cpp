#include "display/Markers.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "acquisition/DisplayMirror.h"
#include "acquisition/MainPanelHandle.h"
#include "display/MainPanelLayout.h"
#include "display/ZoomRecord.h"
#include "layout/PanelIds.h"
#include "platform/ui/UserInterface.h"

std::atomic<double> TriggerPointX{0.0};
std::atomic<double> TriggerPointY{0.0};
std::atomic<int> TriggerCursor{0};

MarkerPlace VerticalMarkerPlace(int position, int plotHeight, double areaTop, double belowRow) {
  if (position > kScreenEdgeUnits) return {0.0, -3, kClampedMarkerSize};
  if (position < -kScreenEdgeUnits) return {belowRow, 9, kClampedMarkerSize};
  return {(4.0 - position / 22.0) * plotHeight / 8.0 + areaTop, 9, kMarkerSize};
}

TriggerTagOffsets InRangeTagOffsets(double x, double codeFromTop) {
  return {x <= kScreenPoints / 2 ? -17 : 2, codeFromTop >= 128.0 ? 10 : -8};
}

namespace {

struct ChannelMarker {
  int marker;
  int label;
};
constexpr std::array<ChannelMarker, kChannels> kChannelMarkers = {
    {{MainPanel::Ch1PositionMarker, MainPanel::Ch1PositionLabel},
     {MainPanel::Ch2PositionMarker, MainPanel::Ch2PositionLabel}}};

void SetVisible(int panel, const ChannelMarker& controls, bool visible) {
  SetCtrlAttribute(panel, controls.marker, ATTR_VISIBLE, visible ? 1 : 0);
  SetCtrlAttribute(panel, controls.label, ATTR_VISIBLE, visible ? 1 : 0);
}

void PlacePositionMarker(int panel, int channel, int plotHeight) {
  const ChannelMarker& controls = kChannelMarkers[static_cast<std::size_t>(channel)];
  if ((Mirror.ChannelMaskSeen.load() & (1 << channel)) == 0) {
    SetVisible(panel, controls, false);
    return;
  }
  SetVisible(panel, controls, true);
  const int position = Mirror.VerticalPositionSeen[static_cast<std::size_t>(channel)].load();
  MarkerPlace place = VerticalMarkerPlace(position, plotHeight, kPlotAreaTop, plotHeight + 108.0);
  if (Mirror.ZoomActive.load() != 0) place.offset += kZoomGraphDrop;
  const int top = static_cast<int>(place.offset);
  const int column = Layout.MarkerColumn.load();
  SetCtrlAttribute(panel, controls.marker, ATTR_HEIGHT, place.size);
  SetCtrlAttribute(panel, controls.marker, ATTR_TOP, top);
  SetCtrlAttribute(panel, controls.marker, ATTR_LEFT, column);
  SetCtrlAttribute(panel, controls.label, ATTR_TOP, top - place.labelOffset);
  SetCtrlAttribute(panel, controls.label, ATTR_LEFT, column + 1);
}

// The trigger point with its drawn abscissa and the tag's offsets.
struct TriggerPlace {
  double x, y;
  double drawnX;
  int dx, dy;
  bool clamped;
};

// Pulls a point beyond an edge back to it and gives it the clamped look.
TriggerPlace ClampTriggerPoint(double x, double y) {
  const TriggerTagOffsets offsets = InRangeTagOffsets(x, y);
  const double onScreenX = std::clamp(x, 0.0, kScreenPoints);
  TriggerPlace place{onScreenX, y, std::min(onScreenX, kScreenPoints - 1.0), offsets.dx, offsets.dy, onScreenX != x};
  if (y > 255.0 || y < 1.0) {
    place.y = y > 255.0 ? 255.0 : 1.0;
    place.clamped = true;
    place.dx = -5;
    place.dy = y > 255.0 ? 10 : -8;
  }
  return place;
}

// Which channel's level and position the trigger point follows.
int TriggerChannel() { return TriggerTableIndex(Mirror.TriggerSourceSeen.load()); }

double TriggerPointFromSetup() {
  const ZoomPlace zoom = RecordedZoom();
  const double position = Mirror.TriggerPositionSeen.load();
  return 20.0 * kScreenPoints * (-position / 10.0 - zoom.position / 50000.0) / zoom.factor;
}

double TriggerCodeFromTop() {
  const auto channel = static_cast<std::size_t>(TriggerChannel());
  return 128.0 - 254.0 * (Mirror.TriggerLevelSeen[channel].load() + Mirror.VerticalPositionSeen[channel].load()) /
                     176.0;
}

void PlaceTriggerPositionTag(int panel) {
  const int width = Layout.GraphWidthPx.load();
  const double along = -Mirror.TriggerPositionSeen.load() * kScreenPoints / 10.0 * (width - 50) / kScreenPoints;
  SetCtrlAttribute(panel, MainPanel::TriggerPosTag, ATTR_LEFT,
                   static_cast<int>(along) + 29 + Layout.MarkerColumn.load());
}

}  // namespace

void PlaceTriggerIndicator(int panel, double x, double y, int dx, int dy) {
  const int height = Layout.GraphHeightPx.load();
  int top = 0;
  if (Mirror.ZoomActive.load() != 0) {
    top = static_cast<int>(y / 255.0 * (height - kZoomGraphDrop)) + kZoomGraphDrop - dy + 46;
    SetCtrlAttribute(panel, MainPanel::OverviewTriggerTag, ATTR_TOP, static_cast<int>(65.0 * y / 256.0) + 46 + 10);
  } else {
    top = static_cast<int>(y / 255.0 * height) - dy + 46;
  }
  SetCtrlAttribute(panel, MainPanel::TriggerIndicator, ATTR_TOP, top);
  const int left = static_cast<int>(x * Layout.GraphWidthPx.load() / kScreenPoints) - dx + Layout.MarkerColumn.load();
  SetCtrlAttribute(panel, MainPanel::TriggerIndicator, ATTR_LEFT, left);
}

void PlacePositionMarkers() {
  const int panel = MainPanelHandle.load();
  if (panel <= 0) return;
  int plotHeight = 0;
  GetCtrlAttribute(panel, MainPanel::TraceGraph, ATTR_PLOT_AREA_HEIGHT, &plotHeight);
  for (int channel = 0; channel < kChannels; ++channel) PlacePositionMarker(panel, channel, plotHeight);
}

void PlaceTriggerMarker() {
  const int cursor = TriggerCursor.load();
  const int panel = MainPanelHandle.load();
  if (cursor == 0 || panel <= 0) return;
  const TriggerPlace place = ClampTriggerPoint(TriggerPointFromSetup(), TriggerCodeFromTop());
  TriggerPointX = place.x;
  TriggerPointY = place.y;
  SetCursorAttribute(panel, MainPanel::TraceGraph, cursor, ATTR_CURSOR_MODE,
                     place.clamped ? VAL_CURSOR_CLAMPED : VAL_CURSOR_NORMAL);
  PlaceTriggerIndicator(panel, place.x, place.y, place.dx, place.dy);
  SetGraphCursor(panel, MainPanel::TraceGraph, cursor, place.drawnX, 256.0 - place.y);
  PlaceTriggerPositionTag(panel);
}
