// The four zoom buttons: entering the zoom, one step finer or coarser, and
// leaving it.
#include "display/Zoom.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <string>

#include "acquisition/DisplayMirror.h"
#include "display/AjustTrace.h"
#include "display/Cursors.h"
#include "display/Formatting.h"
#include "display/Markers.h"
#include "display/ZoomOverview.h"
#include "layout/PanelIds.h"
#include "link/InstrumentSetup.h"
#include "platform/ui/UserInterface.h"

ZoomSettings TheZoom;

namespace {

constexpr int kMiddleScreenPoint = kZoomScreenPoints / 2;
constexpr int kZoomedViewState = 2;
// Comparisons of table ratios: 20 x 2e-6 / 5e-6 is 7.999999999999998.
constexpr double kRatioTolerance = 1e-9;

// The factors that make 100 ns/div acquisitions show 5, 10, 20 and 50 ns/div,
// by selected timebase index.
struct FastTimebase {
  int index;
  double factor;
};
constexpr std::array<FastTimebase, 4> kFastTimebases = {{{2, 1.0}, {3, 2.0}, {4, 4.0}, {5, 10.0}}};

constexpr std::array<int, 9> kZoomModeControls = {
    MainPanel::OverviewGraph,       MainPanel::ZoomLeftSmallButton,  MainPanel::ZoomLeftLargeButton,
    MainPanel::ZoomRightSmallButton, MainPanel::ZoomRightLargeButton, MainPanel::TriggerMarkerText,
    MainPanel::AcquisitionTimebaseLabel, MainPanel::OverviewFrame,  MainPanel::ZoomSeparator};
constexpr std::array<int, 3> kZoomedButtons = {MainPanel::ZoomInButton, MainPanel::ZoomOutButton,
                                               MainPanel::ZoomOffButton};

double SecondsPerDiv(int index) { return SecondsPerDivTable[TimebaseIndexInTable(index)]; }

// The record points per screen point that show `zoomedIndex` at the base timebase.
double FactorFor(int zoomedIndex) {
  return kUnzoomedFactor * SecondsPerDiv(zoomedIndex) / SecondsPerDiv(TheZoom.baseTimebaseIndex);
}

// The finest timebase that a window of `factor` still fills.
int ZoomedIndexFor(double factor) {
  const double wanted = factor * SecondsPerDiv(TheZoom.baseTimebaseIndex) / kUnzoomedFactor;
  for (int k = 0; k < kSlowestTimebaseIndex; ++k)
    if (SecondsPerDivTable[k] >= wanted * (1.0 - kRatioTolerance)) return k;
  return kSlowestTimebaseIndex;
}

void SaveZoom(const ZoomPlace& zoom) {
  TheZoom.savedFactor = zoom.factor;
  TheZoom.savedPosition = static_cast<std::uint16_t>(zoom.position);
  TheZoom.savedZoomedTimebaseIndex = static_cast<std::uint16_t>(TheZoom.zoomedTimebaseIndex);
}

// The saved zoom, kept within range like anything read back.
ZoomPlace RestoreZoom() {
  TheZoom.zoomedTimebaseIndex = TimebaseIndexInTable(TheZoom.savedZoomedTimebaseIndex);
  const double factor = UsableFactor(TheZoom.savedFactor);
  return {factor, ClampPosition(TheZoom.savedPosition, factor)};
}

// A timebase faster than 100 ns/div: the instrument acquires at 100 ns/div and
// the window, centred on the trigger, gives the selected time per division.
void EnterForTimebase(ZoomPlace& zoom) {
  const int selected = LoadField(ProgramSetup.timebaseIndex);
  if (selected < kFastestAcquisitionTimebase) {
    for (const FastTimebase& fast : kFastTimebases)
      if (fast.index == selected) zoom.factor = fast.factor;
    TheZoom.baseTimebaseIndex = kFastestAcquisitionTimebase;
    StoreField(ProgramSetup.viewState, kZoomedViewState);
    const double trigger = -static_cast<double>(LoadField(ProgramSetup.horizontalOffset));
    zoom.position = ClampPosition(trigger - kMiddleScreenPoint * zoom.factor, zoom.factor);
  } else {
    TheZoom.baseTimebaseIndex = EffectiveTimebaseIndex();
  }
  TheZoom.zoomedTimebaseIndex = ZoomedIndexFor(zoom.factor);
  SaveZoom(zoom);
}

// The user's entry: the zoom last used at this acquisition timebase, or one
// step finer centred on the record.
void EnterForUser(ZoomPlace& zoom) {
  const int effective = EffectiveTimebaseIndex();
  const bool nothingSaved = TheZoom.savedFactor == kUnzoomedFactor || TheZoom.baseTimebaseIndex != effective;
  TheZoom.baseTimebaseIndex = effective;
  if (!nothingSaved) {
    zoom = RestoreZoom();
    return;
  }
  int& zoomed = TheZoom.zoomedTimebaseIndex;
  if (zoomed != 0 && zoom.factor != kFinestFactor) {
    const double finer = FactorFor(zoomed - 1);
    if (finer >= kFinestFactor * (1.0 - kRatioTolerance)) {
      zoom.factor = UsableFactor(finer);
      --zoomed;
    }
  }
  zoom.position = ClampPosition(kZoomRecordPoints / 2 - kMiddleScreenPoint * zoom.factor, zoom.factor);
  SaveZoom(zoom);
}

void WriteTimebaseLabel(int panel, int control, int index) {
  std::string text;
  if (FormatEngineering(SecondsPerDiv(index), "s/div", text)) SetCtrlVal(panel, control, text);
}

void ShowZoomControls(int panel, int shown) {
  for (int control : kZoomModeControls) SetCtrlAttribute(panel, control, ATTR_VISIBLE, shown);
  for (int control : kZoomedButtons) SetCtrlAttribute(panel, control, ATTR_VISIBLE, shown);
  SetCtrlAttribute(panel, MainPanel::ZoomOnButton, ATTR_VISIBLE, !shown);
}

// What every zoom change redraws once the command went out.
void KeepZoomForDrawing(int panel, const ZoomPlace& zoom) {
  TheZoom.factor = zoom.factor;
  Mirror.DisplayChanged = 1;
  ShowTimebase();
  TheZoom.integerFactor = static_cast<int>(zoom.factor);
  DrawOverviewWindow(panel);
}

void RedrawOverviewWindow(int panel) {
  ReglageMem(panel, MainPanel::OverviewGraph, EVENT_VAL_CHANGED, nullptr, 0, 0);
}

void ZoomOn(int panel, bool timebaseDriven) {
  Mirror.ZoomActive = 1;
  TheZoom.maximumFactor = kUnzoomedFactor;
  TheZoom.zoomedTimebaseIndex = EffectiveTimebaseIndex();
  ZoomPlace zoom = RecordedZoom();
  if (timebaseDriven)
    EnterForTimebase(zoom);
  else
    EnterForUser(zoom);
  StoreZoom(zoom);
  StoreField(ProgramSetup.viewState, kZoomedViewState);
  SendOnLink(SendZoomCommand);
  WriteTimebaseText(panel, TheZoom.zoomedTimebaseIndex);
  ShowZoomControls(panel, 1);
  WriteTimebaseLabel(panel, MainPanel::AcquisitionTimebaseLabel,
                     std::max(EffectiveTimebaseIndex(), kFastestAcquisitionTimebase));
  AjustTrace(panel, EVENT_PANEL_SIZE, nullptr, 0, 0);
  KeepZoomForDrawing(panel, zoom);
  PlacePositionMarkers();
  SendOnLink(SendMeasurementGate);
  RedrawOverviewWindow(panel);
  SetActiveCtrl(panel, MainPanel::ZoomOffButton);
}

enum class Step { Finer, Coarser };

// Changes the factor by one timebase step where the table ends and the factor
// limits allow it.
void ChangeFactor(Step step, ZoomPlace& zoom) {
  int& zoomed = TheZoom.zoomedTimebaseIndex;
  if (step == Step::Finer) {
    if (zoomed == 0 || zoom.factor == kFinestFactor) return;
    const double finer = std::floor(FactorFor(zoomed - 1) + 0.5);
    if (finer <= 0.9) return;
    zoom.factor = UsableFactor(finer);
    --zoomed;
  } else {
    if (zoomed == kSlowestTimebaseIndex || zoom.factor >= kUnzoomedFactor) return;
    zoom.factor = UsableFactor(std::min(FactorFor(zoomed + 1), TheZoom.maximumFactor));
    ++zoomed;
  }
}

// One step keeps the record point at the middle of the screen where it was;
// past the ends of the table or the factor it only re-sends the zoom.
void StepZoom(int panel, Step step) {
  if (!Mirror.ZoomActive.load()) return;
  ZoomPlace zoom = RecordedZoom();
  const double middle = zoom.position + kMiddleScreenPoint * zoom.factor;
  TheZoom.zoomedTimebaseIndex = TimebaseIndexInTable(TheZoom.zoomedTimebaseIndex);
  ChangeFactor(step, zoom);
  zoom.position = ClampPosition(middle - kMiddleScreenPoint * zoom.factor, zoom.factor);
  WriteTimebaseText(panel, TheZoom.zoomedTimebaseIndex);
  SaveZoom(zoom);
  StoreZoom(zoom);
  SendOnLink(SendZoomCommand);
  KeepZoomForDrawing(panel, zoom);
  SendOnLink(SendMeasurementGate);
  RedrawOverviewWindow(panel);
}

void LeaveZoom() {
  ZoomOff();
  if (LoadField(ProgramSetup.timebaseIndex) < kFastestAcquisitionTimebase) {
    StoreField(ProgramSetup.timebaseIndex, kFastestAcquisitionTimebase);
    StoreField(ProgramSetup.effectiveTimebaseIndex, kFastestAcquisitionTimebase);
  }
  StoreNoZoom();
  SendOnLink(SendZoomCommand);
  RefreshPanel();
  Mirror.DisplayChanged = 1;
  SendOnLink(SendMeasurementGate);
  ShowTimebase();
}

}  // namespace

void ResetZoomSettings() {
  TheZoom.zoomedTimebaseIndex = 0;
  TheZoom.baseTimebaseIndex = 0;
  TheZoom.maximumFactor = kUnzoomedFactor;
  TheZoom.savedFactor = kUnzoomedFactor;
  TheZoom.savedPosition = 0;
  TheZoom.savedZoomedTimebaseIndex = 0;
  TheZoom.integerFactor = static_cast<int>(kUnzoomedFactor);
  TheZoom.factor = kUnzoomedFactor;
  TheZoom.horizontalOffset = 0;
  std::lock_guard lock(TheZoom.windowMutex);
  TheZoom.window = OverviewWindow{};
}

int ControleTrace(int panel, int control, int event, void* /*callbackData*/, int eventData1, int /*eventData2*/) {
  if (event != EVENT_COMMIT) return 0;
  switch (control) {
    case MainPanel::ZoomOnButton: ZoomOn(panel, eventData1 != 0); break;
    case MainPanel::ZoomInButton: StepZoom(panel, Step::Finer); break;
    case MainPanel::ZoomOutButton: StepZoom(panel, Step::Coarser); break;
    case MainPanel::ZoomOffButton: LeaveZoom(); break;
    default: break;
  }
  return 0;
}

bool HandleZoomKey(int panel, int key) {
  int button = 0;
  if (key == VAL_PAGE_UP_VKEY) button = MainPanel::ZoomInButton;
  if (key == VAL_PAGE_DOWN_VKEY) button = MainPanel::ZoomOutButton;
  if (button == 0 || !Mirror.ZoomActive.load()) return false;
  ControleTrace(panel, button, EVENT_COMMIT, nullptr, 0, 0);
  return true;
}
