// The zoom as the setup record holds it (zoomFactor: record points per screen
// point; zoomPosition: the first record point shown), always within what the
// display can show, and the command that tells the instrument.
#pragma once

#include "display/DisplayState.h"

inline constexpr int kZoomRecordPoints = 50000;
inline constexpr int kZoomScreenPoints = 2500;
inline constexpr double kUnzoomedFactor = 20.0;
// One record point per screen point: the finest zoom.
inline constexpr double kFinestFactor = 1.0;
inline constexpr int kSlowestTimebaseIndex = static_cast<int>(SecondsPerDivTable.size()) - 1;

struct ZoomPlace {
  double factor = kUnzoomedFactor;
  int position = 0;
};

// A factor brought into 1..20; not a number counts as no zoom.
double UsableFactor(double factor);
// The integer part of `value`, raised to 0 and lowered so that the 2500
// screen points of the window end within the record.
int ClampPosition(double value, double factor);
// A timebase index brought within SecondsPerDivTable.
int TimebaseIndexInTable(int index);
// The record's effectiveTimebaseIndex, within the table.
int EffectiveTimebaseIndex();

// zoomFactor and zoomPosition of the setup record, brought into range: a
// record from a file or an old session may hold anything.
ZoomPlace RecordedZoom();
void StoreZoom(const ZoomPlace& zoom);
// The record's zoom fields with no zoom at all: factor 20 from the record's
// first point, window scale 100, not in zoom view.
void StoreNoZoom();
// Sends the recorded zoom. The caller owns the link.
void SendZoomCommand();
// Owns the link for one send only: the redraws between a zoom's sends run
// code that takes the link itself (the cursor layout).
void SendOnLink(void (*send)());
