#include "panel/MainPanelControls.h"

#include <string>

#include "catalogue/MessageCatalogue.h"
#include "display/Formatting.h"
#include "layout/PanelIds.h"
#include "link/InstrumentSession.h"
#include "link/InstrumentSetup.h"
#include "link/SetupTransfer.h"
#include "panel/ControleScope.h"
#include "panel/MainPanelLabels.h"
#include "panel/MainToolbar.h"
#include "panel/ShortcutKeys.h"
#include "platform/ui/UserInterface.h"

namespace {

constexpr int kModelWithSmallestRanges = 162;
constexpr int kLastSensitivityIndex = kSensitivityCount - 1;
constexpr double kPositionMinimum = 0.0;
constexpr double kPositionMaximum = 10.0;
constexpr double kPositionIncrement = 0.1;

void LimitPositionInputs(int panel) {
  for (int control : {MainPanel::TriggerPositionInput, MainPanel::TriggerPositionInput2}) {
    SetCtrlAttribute(panel, control, ATTR_MIN_VALUE, kPositionMinimum);
    SetCtrlAttribute(panel, control, ATTR_MAX_VALUE, kPositionMaximum);
    SetCtrlAttribute(panel, control, ATTR_INCR_VALUE, kPositionIncrement);
  }
}

// A setup that still says a channel shows a trace loaded from the
// instrument's memory is sent again without that mark.
void ForgetLoadedTraces() {
  if (LoadField(ProgramSetup.ch1LoadedTrace) == 0 && LoadField(ProgramSetup.ch2LoadedTrace) == 0) return;
  StoreField(ProgramSetup.ch1LoadedTrace, 0);
  StoreField(ProgramSetup.ch2LoadedTrace, 0);
  WriteSetup();
}

// First copies carry the indexes without labels (the knobs); second copies
// show the volts per division.
void FillSensitivityRings(int panel, int modelNumber) {
  const SensitivityRange range = SensitivityRangeFor(modelNumber);
  for (int control : {MainPanel::Ch1MinSensitivityText, MainPanel::Ch2MinSensitivityText})
    SetCtrlVal(panel, control, range.minimumText);
  constexpr int kRings[] = {MainPanel::Ch1SensitivityRing, MainPanel::Ch1SensitivityRing2,
                            MainPanel::Ch2SensitivityRing, MainPanel::Ch2SensitivityRing2};
  for (int ring : kRings) ClearListCtrl(panel, ring);
  for (int index = range.firstIndex; index <= kLastSensitivityIndex; ++index) {
    std::string label;
    FormatSensitivity(TheInstrument.VoltsPerDivTable[static_cast<std::size_t>(index)], modelNumber, label);
    InsertListItem(panel, MainPanel::Ch1SensitivityRing, -1, "", index);
    InsertListItem(panel, MainPanel::Ch1SensitivityRing2, -1, label, index);
    InsertListItem(panel, MainPanel::Ch2SensitivityRing, -1, "", index);
    InsertListItem(panel, MainPanel::Ch2SensitivityRing2, -1, label, index);
  }
}

void SetAutosetHelp(int panel) {
  SetCtrlAttribute(panel, MainPanel::AutosetButton, ATTR_SHORTCUT_KEY, VAL_F3_VKEY);
  SetCtrlAttribute(panel, MainPanel::AutosetButton, ATTR_TOOLTIP_TEXT, CatalogueText(Msg::AutosetTooltip));
  for (int button : {MainPanel::Ch1AutosetButton, MainPanel::Ch2AutosetButton})
    SetCtrlAttribute(panel, button, ATTR_TOOLTIP_TEXT, CatalogueText(Msg::VerticalAutosetTooltip));
}

}  // namespace

SensitivityRange SensitivityRangeFor(int modelNumber) {
  if (modelNumber == kModelWithSmallestRanges) return {1, "5mV"};
  return {3, "25mV"};
}

void BuildMainPanel(int panel, int modelNumber) {
  SetWaitCursor(1);
  int menuBar = GetPanelMenuBar(panel);
  if (menuBar <= 0) menuBar = LoadMenuBar(panel, PanelFileName, MainMenuBar::Resource);
  BuildMainToolbar(panel, menuBar);
  RelabelMainPanel(panel);
  RelabelMenuBar(menuBar);
  LimitPositionInputs(panel);
  ForgetLoadedTraces();
  FillSensitivityRings(panel, modelNumber);
  RefreshPanelFromSetup();
  SetAutosetHelp(panel);
  ReopenShortcutKeysPanel();
  SetWaitCursor(0);
}
