#include "display/FrameDisplayHooks.h"

#include <cstdint>
#include <string>
#include <utility>

#include "acquisition/Acquisition.h"
#include "acquisition/MainPanelHandle.h"
#include "display/Colours.h"
#include "display/Cursors.h"
#include "display/DisplayState.h"
#include "display/Markers.h"
#include "display/Measurements.h"
#include "display/TraceDrawing.h"
#include "display/XYPanel.h"
#include "display/XYWindow.h"
#include "display/XYWindowParts.h"
#include "display/Zoom.h"
#include "layout/PanelIds.h"
#include "link/InstrumentSetup.h"
#include "link/LinkBusy.h"
#include "platform/ui/UserInterface.h"

namespace {

// StartAcquisition runs inside the first display, which owns the link
// (start-up and language change alike): the command goes out under it.
void OpenDisplays() {
  if ((LoadField(ProgramSetup.measurementFlags) & kAutoMeasurementsFlag) != 0 && !MeasurementsShown.load())
    ShowAutoMeasurements();
  if (LoadField(ProgramSetup.xyState) == kXYStateBit && XYPanelOpen.load() == 0) OpenXYPanel();
}

void CloseDisplays() {
  if (const int xyPanel = XYPanelOpen.load(); xyPanel > 0) AjustTraceXY(xyPanel, EVENT_CLOSE, nullptr, 0, 0);
  if (!MeasurementsShown.load()) return;
  LinkOwnership link;
  HideAutoMeasurements();
}

void TriggerMoved() {
  PlaceTriggerMarker();
  ReglageMem(MainPanelHandle.load(), MainPanel::OverviewGraph, EVENT_VAL_CHANGED, nullptr, 0, 0);
}

// A reference just captured is named on the XY window's caption of each
// axis whose source is that reference's channel.
void ReferenceCaptured(int which, const std::string& label) {
  const int panel = XYPanelOpen.load();
  if (panel <= 0 || which < 0 || which >= static_cast<int>(ReferenceColour.size())) return;
  const auto colour = static_cast<int>(ReferenceColour[static_cast<std::size_t>(which)]);
  const XYSources sources = CurrentXYSources();
  for (const auto& [source, caption] : {std::pair{sources.x, XYPanel::XYReferenceXLabel},
                                        std::pair{sources.y, XYPanel::XYReferenceYLabel}}) {
    if (source != which) continue;
    SetCtrlAttribute(panel, caption, ATTR_TEXT_COLOR, colour);
    SetCtrlVal(panel, caption, label);
  }
}

void RedrawMarkers() {
  PlacePositionMarkers();
  PlaceXYMarkers();
  UpdateCursorReadouts();
  UpdateXYReadouts();  // nothing while the XY window is closed
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
  display.referenceCaptured = ReferenceCaptured;
  SetFrameDisplay(std::move(display));
}
