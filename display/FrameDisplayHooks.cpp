#include "display/FrameDisplayHooks.h"

#include <cstdint>
#include <utility>

#include "acquisition/Acquisition.h"
#include "acquisition/MainPanelHandle.h"
#include "display/Cursors.h"
#include "display/DisplayState.h"
#include "display/Markers.h"
#include "display/Measurements.h"
#include "display/TraceDrawing.h"
#include "display/Zoom.h"
#include "layout/PanelIds.h"
#include "link/InstrumentSetup.h"
#include "link/LinkBusy.h"
#include "platform/ui/UiConstants.h"

namespace {

// StartAcquisition runs inside the first display, which owns the link
// (start-up and language change alike): the command goes out under it.
void OpenDisplays() {
  if ((LoadField(ProgramSetup.measurementFlags) & kAutoMeasurementsFlag) == 0 || MeasurementsShown.load()) return;
  ShowAutoMeasurements();
}

void CloseDisplays() {
  if (!MeasurementsShown.load()) return;
  LinkOwnership link;
  HideAutoMeasurements();
}

void TriggerMoved() {
  PlaceTriggerMarker();
  ReglageMem(MainPanelHandle.load(), MainPanel::OverviewGraph, EVENT_VAL_CHANGED, nullptr, 0, 0);
}

void RedrawMarkers() {
  PlacePositionMarkers();
  PlaceXYMarkers();
  UpdateCursorReadouts();
}

}  // namespace

void ConnectDisplayToAcquisition() {
  FrameDisplay display;
  display.initDisplayState = [] { InitDisplayState(); };
  display.openDisplays = OpenDisplays;
  display.closeDisplays = CloseDisplays;
  display.resetDrawing = ResetDrawingState;
  display.triggerMoved = TriggerMoved;
  display.redrawMarkers = RedrawMarkers;
  display.cursorsActive = [] { return CursorT1.load() != 0; };
  display.refreshCursorReadouts = UpdateCursorReadouts;
  display.updateMeasurements = UpdateMeasurements;
  display.drawTraces = DrawTraces;
  SetFrameDisplay(std::move(display));
}
