// The marks drawn beside and on the trace graph: the two channels' position
// markers, the XY panel's markers and the trigger marker with its tags.
// Called from both threads; they only set positions and colours, and the
// last writer wins.
#pragma once

#include <atomic>

// Screen points across the ten horizontal divisions of the trace graph.
inline constexpr double kScreenPoints = 2500.0;
// A vertical position beyond this many 1/22 divisions is off the screen.
inline constexpr int kScreenEdgeUnits = 88;
// Marker extent along its drag axis: normal, and pulled back to an edge.
inline constexpr int kMarkerSize = 10;
inline constexpr int kClampedMarkerSize = 3;

// The trigger point last placed: screen points (0..2500) and a code counted
// from the top (128 at the centre).
extern std::atomic<double> TriggerPointX;
extern std::atomic<double> TriggerPointY;
// Number of the trigger cursor on TraceGraph (1); 0: no trigger marker.
extern std::atomic<int> TriggerCursor;

void PlacePositionMarkers();
// Nothing unless the XY panel is open.
void PlaceXYMarkers();
void PlaceTriggerMarker();

// Where a channel's marker goes along its axis, and how it is drawn there:
// at `offset` (pixels), its label `labelOffset` before it, `size` pixels
// along the drag axis.
struct MarkerPlace {
  double offset;
  int labelOffset;
  int size;
};
// A marker beside a vertical axis whose plot area starts at `areaTop` and is
// `plotHeight` high: above the screen it sits at 0, below at `belowRow`, both
// in the 3-pixel form.
MarkerPlace VerticalMarkerPlace(int position, int plotHeight, double areaTop, double belowRow);

// Offsets of the trigger tag from the point it marks, for a point on screen.
struct TriggerTagOffsets {
  int dx;
  int dy;
};
TriggerTagOffsets InRangeTagOffsets(double x, double codeFromTop);
// Puts TriggerIndicator (and, zoomed, OverviewTriggerTag) at the point (x in
// screen points, code counted from the top) with the tag's offsets.
void PlaceTriggerIndicator(int panel, double x, double codeFromTop, int dx, int dy);
