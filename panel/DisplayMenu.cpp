#include "panel/DisplayMenu.h"

#include "display/AjustTrace.h"
#include "display/Cursors.h"
#include "display/DisplayState.h"
#include "display/Measurements.h"
#include "display/XYPanel.h"
#include "display/XYWindow.h"
#include "layout/PanelIds.h"
#include "link/InstrumentSetup.h"
#include "panel/ControleScope.h"
#include "panel/MainToolbar.h"
#include "panel/ScopeSteps.h"
#include "platform/ui/UserInterface.h"

namespace {

void ChangeMeasurementFlags(int set, int clear) {
  std::lock_guard lock(SetupRecordMutex);
  StoreField(ProgramSetup.measurementFlags,
             static_cast<std::uint16_t>((LoadField(ProgramSetup.measurementFlags) | set) & ~clear));
}

void StopAutomaticMeasurements() {
  ChangeMeasurementFlags(0, kAutoMeasurementsFlag);
  HideAutoMeasurements();
  StoreField(ProgramSetup.autoMeasurementsOn, 0);
  ChangeMeasurementFlags(0, kCursorsOnFlag);
}

void StartAutomaticMeasurements() {
  StoreField(ProgramSetup.autoMeasurementsOn, 1);
  ChangeMeasurementFlags(kCursorsOnFlag, kFreeCursorsFlag | kCursorModeFlag);
  FollowReferenceChannel(LoadField(ProgramSetup.ch1Displayed), LoadField(ProgramSetup.ch2Displayed));
  UpdateCursorReadouts();
  ShowAutoMeasurements();
  SendMeasurementGate();
  ChangeMeasurementFlags(kAutoMeasurementsFlag, 0);
}

}  // namespace

void TogglePersistence(int panel) {
  const int on = PersistenceOn.load() != 0 ? 0 : 1;
  PersistenceOn = on;
  SetCtrlAttribute(panel, MainPanel::PersistenceIcon, ATTR_VISIBLE, on);
  CheckDisplayMenuItems(panel);
}

void ToggleAutomaticMeasurements(int panel) {
  if ((LoadField(ProgramSetup.measurementFlags) & kAutoMeasurementsFlag) != 0) StopAutomaticMeasurements();
  else StartAutomaticMeasurements();
  CheckDisplayMenuItems(panel);
  DimReferenceRing();
  // The cursors change mode with the measurements, and the graph makes room
  // for their readouts or takes it back.
  ConfigureCursors();
  UpdateCursorReadouts();
  AjustTrace(panel, EVENT_PANEL_SIZE, nullptr, 0, 0);
  if (const int xyPanel = XYPanelOpen.load(); xyPanel > 0) {
    UpdateXYReadouts();
    AjustTraceXY(xyPanel, EVENT_PANEL_SIZE, nullptr, 0, 0);
  }
}
