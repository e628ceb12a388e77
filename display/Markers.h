// The marks drawn beside and on the trace graph: the two channels' position
// markers, the XY panel's markers and the trigger marker with its tags.
// Called from both threads; they only set positions and colours, and the
// last writer wins.
#pragma once

#include <atomic>

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
