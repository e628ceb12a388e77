#include "display/DisplayState.h"

#include <cstddef>
#include <mutex>
#include <string>
#include <utility>

#include "acquisition/Acquisition.h"
#include "acquisition/DisplayMirror.h"
#include "acquisition/MainPanelHandle.h"
#include "acquisition/ReferenceStore.h"
#include "catalogue/MessageCatalogue.h"
#include "display/AjustTrace.h"
#include "display/Colours.h"
#include "display/Cursors.h"
#include "display/Formatting.h"
#include "display/MainPanelLayout.h"
#include "display/ReadoutControls.h"
#include "display/Zoom.h"
#include "layout/PanelIds.h"
#include "link/CommandSet.h"
#include "link/InstrumentSession.h"
#include "link/InstrumentSetup.h"
#include "link/LinkBusy.h"
#include "platform/ui/UserInterface.h"

std::atomic<int> PersistenceOn{0};

namespace {

constexpr int kZoomViewState = 2;

std::mutex refresherMutex;
std::function<void()> panelRefresher;

void SeedMirrorFromSetup() {
  Mirror.VerticalPositionSeen[0] = LoadField(ProgramSetup.ch1VerticalOffset);
  Mirror.VerticalPositionSeen[1] = LoadField(ProgramSetup.ch2VerticalOffset);
  Mirror.ChannelShown[0] = LoadField(ProgramSetup.ch1Displayed);
  Mirror.ChannelShown[1] = LoadField(ProgramSetup.ch2Displayed);
  Mirror.TriggerLevelSeen[0] = static_cast<double>(LoadField(ProgramSetup.ch1TriggerLevel));
  Mirror.TriggerLevelSeen[1] = static_cast<double>(LoadField(ProgramSetup.ch2TriggerLevel));
  Layout.MarkerColumn = 0;
  Mirror.ChannelMaskSeen = 0;
  Layout.GraphWidthPx = kStartGraphWidth;
  Layout.GraphHeightPx = kStartGraphHeight;
  Mirror.TriggerPositionSeen = LoadField(ProgramSetup.horizontalOffset) / kRecordPointsPerDivision;
  CursorT1 = 0;
  CursorT2 = 0;
  Mirror.RunStopSeen = -1;
  Mirror.ZoomActive = LoadField(ProgramSetup.viewState) == kZoomViewState ? 1 : 0;
}

void ShowReferenceLabel(int panel, int control, int which, const ReferenceData& references, bool shown) {
  SetCtrlAttribute(panel, control, ATTR_TEXT_COLOR, static_cast<int>(ReferenceColour[static_cast<std::size_t>(which)]));
  SetCtrlVal(panel, control, ReferenceLabelText(references, which));
  SetCtrlAttribute(panel, control, ATTR_VISIBLE, shown ? 1 : 0);
}

void ColourPanelItems(int panel) {
  const auto ch1 = static_cast<int>(ChannelColour[0]);
  const auto ch2 = static_cast<int>(ChannelColour[1]);
  SetCtrlAttribute(panel, MainPanel::Ch1PositionMarker, ATTR_FRAME_COLOR, ch1);
  SetCtrlAttribute(panel, MainPanel::Ch1PositionLabel, ATTR_TEXT_COLOR, ch1);
  SetCtrlAttribute(panel, MainPanel::Ch2PositionMarker, ATTR_FRAME_COLOR, ch2);
  SetCtrlAttribute(panel, MainPanel::Ch2PositionLabel, ATTR_TEXT_COLOR, ch2);
  ColourCursorReadouts(panel);
  const ReferenceData references = ProgramReferences.Snapshot();
  ShowReferenceLabel(panel, MainPanel::Ref1LabelText, 0, references, LoadField(ProgramSetup.ref1Displayed) != 0);
  ShowReferenceLabel(panel, MainPanel::Ref2LabelText, 1, references, LoadField(ProgramSetup.ref2Displayed) != 0);
  const int source = LoadField(ProgramSetup.triggerSource);
  if (source == 0 || source == 1)
    SetCtrlAttribute(panel, MainPanel::TriggerIndicator, ATTR_TEXT_COLOR,
                     static_cast<int>(ChannelColour[static_cast<std::size_t>(source)]));
}

// A session saved while zoomed comes back zoomed: the instrument gets the
// acquisition timebase, then the zoom display is rebuilt as the zoom button does.
void RestoreZoom(int panel) {
  {
    LinkOwnership link;
    SetTimebase(TheInstrument.session, LoadField(ProgramSetup.timebaseIndex));
  }
  ControleTrace(panel, MainPanel::ZoomOnButton, EVENT_COMMIT, nullptr, 0, 0);
}

}  // namespace

int InitDisplayState() {
  SeedMirrorFromSetup();
  const int panel = MainPanelHandle.load();
  ColourPanelItems(panel);
  if (Mirror.ZoomActive.load() != 0) RestoreZoom(panel);
  SetCtrlAttribute(panel, MainPanel::PersistenceIcon, ATTR_TOOLTIP_TEXT, CatalogueText(Msg::Persistence));
  ShowTimebase();
  AjustTrace(panel, EVENT_PANEL_SIZE, nullptr, 0, 0);
  return panel;
}

void WriteTimebaseText(int panel, int timebaseIndex) {
  if (timebaseIndex < 0 || timebaseIndex >= static_cast<int>(SecondsPerDivTable.size())) return;
  std::string text;
  if (!FormatEngineering(SecondsPerDivTable[static_cast<std::size_t>(timebaseIndex)], "s/div", text)) return;
  SetCtrlVal(panel, MainPanel::TimebaseText, text);
}

void ShowTimebase() {
  if (AcquisitionRunning.load() == 0) return;
  const int panel = MainPanelHandle.load();
  if (Mirror.ZoomActive.load() == 0) WriteTimebaseText(panel, LoadField(ProgramSetup.effectiveTimebaseIndex));
  ConfigureCursors();
  SetCtrlAttribute(panel, MainPanel::PersistenceIcon, ATTR_VISIBLE, PersistenceOn.load() != 0 ? 1 : 0);
}

void ZoomOff() {
  Mirror.ZoomActive = 0;
  const int panel = MainPanelHandle.load();
  if (panel <= 0) return;
  SetCtrlAttribute(panel, MainPanel::OverviewGraph, ATTR_VISIBLE, 0);
  DeleteGraphPlot(panel, MainPanel::OverviewGraph, VAL_ALL_PLOTS, VAL_IMMEDIATE_DRAW);
  for (int control : kZoomModeControls) SetCtrlAttribute(panel, control, ATTR_VISIBLE, 0);
  SetCtrlAttribute(panel, MainPanel::ZoomOnButton, ATTR_VISIBLE, 1);
  WriteTimebaseText(panel, LoadField(ProgramSetup.effectiveTimebaseIndex));
  AjustTrace(panel, EVENT_PANEL_SIZE, nullptr, 0, 0);
}

void SetPanelRefresher(std::function<void()> refresh) {
  std::lock_guard lock(refresherMutex);
  panelRefresher = std::move(refresh);
}

void RefreshPanel() {
  std::function<void()> refresh;
  {
    std::lock_guard lock(refresherMutex);
    refresh = panelRefresher;
  }
  if (refresh) refresh();
}
