// The channel markers and reference captions of the XY panel.
#include <array>
#include <cstddef>

#include "acquisition/DisplayMirror.h"
#include "acquisition/ReferenceStore.h"
#include "display/Colours.h"
#include "display/Markers.h"
#include "display/XYPanel.h"
#include "link/InstrumentSetup.h"
#include "platform/ui/UserInterface.h"

namespace {

// Plot-area row and column of the XY graph's top-left corner on its panel.
constexpr double kXYAreaOffset = 8.0;

struct XYGeometry {
  int panel;
  int width;   // plot area
  int height;
  int left;    // the graph's left offset
};

// A marker beside the horizontal axis: at the left edge for a position
// below the screen, past the right edge above it.
MarkerPlace HorizontalMarkerPlace(int position, int plotWidth) {
  if (position > kScreenEdgeUnits) return {plotWidth + 15.0, -8, kClampedMarkerSize};
  if (position < -kScreenEdgeUnits) return {2.0, 3, kClampedMarkerSize};
  return {plotWidth - plotWidth * (4.0 - position / 22.0) / 8.0 + kXYAreaOffset, 3, kMarkerSize};
}

int PositionOf(int channel) { return Mirror.VerticalPositionSeen[static_cast<std::size_t>(channel)].load(); }

bool ChannelPresent(int channel) { return (Mirror.ChannelMaskSeen.load() & (1 << channel)) != 0; }

void SetShown(int panel, int control, bool shown) { SetCtrlAttribute(panel, control, ATTR_VISIBLE, shown ? 1 : 0); }

void HideAllMarkers(const XYGeometry& xy, const XYPanelControls& controls) {
  for (int channel = 0; channel < kChannels; ++channel) {
    const auto c = static_cast<std::size_t>(channel);
    for (int control : {controls.xMarker[c], controls.xLabel[c], controls.yMarker[c], controls.yLabel[c]})
      SetShown(xy.panel, control, false);
  }
}

void PlaceXMarker(const XYGeometry& xy, int marker, int label, int channel) {
  const MarkerPlace place = HorizontalMarkerPlace(PositionOf(channel), xy.width);
  const int column = static_cast<int>(place.offset);
  SetCtrlAttribute(xy.panel, marker, ATTR_WIDTH, place.size);
  SetCtrlAttribute(xy.panel, marker, ATTR_TOP, 0);
  SetCtrlAttribute(xy.panel, label, ATTR_TOP, 0);
  SetCtrlAttribute(xy.panel, marker, ATTR_LEFT, column + xy.left);
  SetCtrlAttribute(xy.panel, label, ATTR_LEFT, column + place.labelOffset + xy.left);
  SetShown(xy.panel, marker, ChannelPresent(channel));
  SetShown(xy.panel, label, ChannelPresent(channel));
}

void PlaceYMarker(const XYGeometry& xy, int marker, int label, int channel) {
  const MarkerPlace place =
      VerticalMarkerPlace(PositionOf(channel), xy.height, kXYAreaOffset, xy.height + 13.0);
  const int top = static_cast<int>(place.offset);
  SetCtrlAttribute(xy.panel, marker, ATTR_HEIGHT, place.size);
  SetCtrlAttribute(xy.panel, marker, ATTR_TOP, top);
  SetCtrlAttribute(xy.panel, label, ATTR_TOP, top - place.labelOffset);
  SetCtrlAttribute(xy.panel, marker, ATTR_LEFT, xy.left);
  SetCtrlAttribute(xy.panel, label, ATTR_LEFT, xy.left);
  SetShown(xy.panel, marker, ChannelPresent(channel));
  SetShown(xy.panel, label, ChannelPresent(channel));
}

void PlaceReferenceCaption(const XYGeometry& xy, const ReferenceData& references, int control, int channel,
                           int left, bool shown) {
  SetCtrlAttribute(xy.panel, control, ATTR_TEXT_COLOR,
                   static_cast<int>(ReferenceColour[static_cast<std::size_t>(channel)]));
  SetCtrlVal(xy.panel, control, ReferenceLabelText(references, channel));
  SetShown(xy.panel, control, shown);
  SetCtrlAttribute(xy.panel, control, ATTR_TOP, xy.height - 2);
  SetCtrlAttribute(xy.panel, control, ATTR_LEFT, left);
}

bool IsChannel(int source) { return source >= 0 && source < kChannels; }

}  // namespace

void PlaceXYMarkers() {
  const int panel = XYPanelOpen.load();
  if (panel <= 0) return;
  const XYPanelControls controls = CurrentXYPanelControls();
  XYGeometry xy{panel, 0, 0, XYGraphLeft.load()};
  GetCtrlAttribute(panel, controls.graph, ATTR_PLOT_AREA_WIDTH, &xy.width);
  GetCtrlAttribute(panel, controls.graph, ATTR_PLOT_AREA_HEIGHT, &xy.height);
  HideAllMarkers(xy, controls);
  const int x = LoadField(ProgramSetup.xySourceX);
  const int y = LoadField(ProgramSetup.xySourceY);
  // The sources index the per-channel tables; a damaged record shows no marker.
  if (!IsChannel(x) || !IsChannel(y)) return;
  const auto xs = static_cast<std::size_t>(x);
  const auto ys = static_cast<std::size_t>(y);
  PlaceXMarker(xy, controls.xMarker[xs], controls.xLabel[xs], x);
  PlaceYMarker(xy, controls.yMarker[ys], controls.yLabel[ys], y);
  const ReferenceData references = ProgramReferences.Snapshot();
  const bool captionsShown = !ReferenceIsEmpty(references, x) && !ReferenceIsEmpty(references, y);
  PlaceReferenceCaption(xy, references, controls.xReferenceCaption, x, xy.left + 10, captionsShown);
  PlaceReferenceCaption(xy, references, controls.yReferenceCaption, y, xy.width / 2 + xy.left + 10, captionsShown);
}
