// Timebase and horizontal position.
#include <algorithm>
#include <cmath>

#include "acquisition/DisplayMirror.h"
#include "display/DisplayState.h"
#include "display/Zoom.h"
#include "link/CommandSet.h"
#include "link/InstrumentSession.h"
#include "link/InstrumentSetup.h"
#include "link/LinkBusy.h"
#include "panel/ControleScope.h"
#include "panel/ScopeSteps.h"
#include "platform/ui/UserInterface.h"

namespace {

constexpr int kOverviewWindowCursor = 1;
// 10 s/div chosen while at 100 ns/div is refused: both copies go back.
constexpr int kSlowestTimebase = static_cast<int>(TimebaseWords.size()) - 1;

// The zoom a timebase change leaves, to be put back afterwards.
struct NotedZoom {
  bool active = false;
  double factor = kUnzoomedFactor;
  bool windowKnown = false;
  double windowX = 0.0, windowY = 0.0;
};

NotedZoom NoteZoom(int panel) {
  NotedZoom noted;
  noted.active = Mirror.ZoomActive.load() != 0;
  noted.factor = LoadField(ProgramSetup.zoomFactor);
  noted.windowKnown =
      GetGraphCursor(panel, MainPanel::OverviewGraph, kOverviewWindowCursor, &noted.windowX, &noted.windowY) >= 0;
  return noted;
}

void CommitZoomButton(int panel, int button, int timebaseEntry) {
  ControleTrace(panel, button, EVENT_COMMIT, nullptr, timebaseEntry, 0);
}

// Zooms in step by step until the factor is back at or below the noted one,
// stopping if a step no longer narrows it; then the window goes back.
void RestoreZoom(int panel, const NotedZoom& noted) {
  CommitZoomButton(panel, MainPanel::ZoomOnButton, 0);
  float factor = LoadField(ProgramSetup.zoomFactor);
  while (factor > noted.factor) {
    CommitZoomButton(panel, MainPanel::ZoomInButton, 0);
    const float narrower = LoadField(ProgramSetup.zoomFactor);
    if (!(narrower < factor)) break;
    factor = narrower;
  }
  if (noted.windowKnown)
    SetGraphCursor(panel, MainPanel::OverviewGraph, kOverviewWindowCursor, noted.windowX, noted.windowY);
  ReglageMem(panel, MainPanel::OverviewGraph, EVENT_COMMIT, nullptr, 0, 0);
}

void SendTimebase(int index) {
  LinkOwnership link;
  const ViSession session = TheInstrument.session;
  SetHorizontalZoom(session, 0, kUnzoomedFactor);
  StoreNoZoom();
  StoreField(ProgramSetup.timebaseIndex, index);
  StoreField(ProgramSetup.effectiveTimebaseIndex, std::max(index, kFastestAcquisitionTimebase));
  SetTimebase(session, index);
  RefreshPanelFromSetup();
}

}  // namespace

std::optional<double> AcquisitionSecondsPerDiv() {
  const int index = LoadField(ProgramSetup.effectiveTimebaseIndex);
  if (index >= static_cast<int>(SecondsPerDivTable.size())) return std::nullopt;
  return SecondsPerDivTable[static_cast<std::size_t>(std::max(index, kFastestAcquisitionTimebase))];
}

void CommitTimebase(int panel, int control) {
  int index = -1;
  if (GetCtrlVal(panel, control, &index) < 0 || index < 0 || index > kSlowestTimebase) return;
  if (index == kSlowestTimebase && LoadField(ProgramSetup.timebaseIndex) == kFastestAcquisitionTimebase) {
    ShowOnBothCopies(panel, control, kFastestAcquisitionTimebase);
    return;
  }
  const NotedZoom noted = NoteZoom(panel);
  SendTimebase(index);
  ZoomOff();
  // Faster than the acquisition: the zoom supplies the magnification.
  if (index < kFastestAcquisitionTimebase) CommitZoomButton(panel, MainPanel::ZoomOnButton, 1);
  ShowTimebase();
  if (noted.active) RestoreZoom(panel, noted);
}

void CommitHorizontalPosition(int panel, int control) {
  double divisions = 0.0;
  if (GetCtrlVal(panel, control, &divisions) < 0) return;
  StoreField(ProgramSetup.horizontalOffset,
             static_cast<std::int32_t>(std::trunc(kZoomRecordPoints * -divisions / kScreenDivisions)));
  const std::optional<double> secondsPerDiv = AcquisitionSecondsPerDiv();
  if (!secondsPerDiv) return;
  LinkOwnership link;
  SetHorizontalOffset(TheInstrument.session, -divisions * *secondsPerDiv);
}
