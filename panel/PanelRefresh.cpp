// Bringing every main-panel control back in line with the setup record.
#include <string_view>

#include "acquisition/MainPanelHandle.h"
#include "display/ChannelDisplayScale.h"
#include "display/Colours.h"
#include "display/DisplayState.h"
#include "display/XYWindow.h"
#include "link/CommandSet.h"
#include "link/InstrumentSession.h"
#include "link/InstrumentSetup.h"
#include "link/LinkBusy.h"
#include "link/TriggerLevel.h"
#include "panel/ControleScope.h"
#include "panel/MainToolbar.h"
#include "panel/ScopeSteps.h"
#include "platform/ui/UserInterface.h"

namespace {

void CopyChannelScales() {
  for (int channel = 0; channel < 2; ++channel) {
    const ChannelFields fields = FieldsOf(channel);
    UpdateChannelDisplayScale(channel, LoadField(fields.probeFactor), LoadField(fields.voltsPerDivIndex),
                              static_cast<std::uint16_t>(LoadField(fields.coupling)),
                              std::string_view(fields.unit, sizeof fields.unit));
  }
}

void ShowChannelSettings(int panel) {
  for (int channel = 0; channel < 2; ++channel) {
    const ChannelControls& controls = kChannelControls[static_cast<std::size_t>(channel)];
    const ChannelFields fields = FieldsOf(channel);
    for (int ring : {controls.sensitivity, controls.sensitivity2}) {
      SetCtrlAttribute(panel, ring, ATTR_CTRL_MODE, VAL_NORMAL);
      SetCtrlVal(panel, ring, LoadField(fields.voltsPerDivIndex));
    }
    SetCtrlVal(panel, controls.coupling, LoadField(fields.coupling));
    MajValDecadrage(panel, channel);
  }
}

// Also puts the stored horizontal position back on the instrument.
void ShowHorizontalSettings(int panel) {
  ShowOnBothCopies(panel, MainPanel::TimebaseRing, LoadField(ProgramSetup.timebaseIndex));
  const double offset = LoadField(ProgramSetup.horizontalOffset);
  ShowOnBothCopies(panel, MainPanel::TriggerPositionInput, kScreenDivisions * -offset / kZoomRecordPoints);
  const std::optional<double> secondsPerDiv = AcquisitionSecondsPerDiv();
  if (!secondsPerDiv) return;
  LinkOwnership link;
  SetHorizontalOffset(TheInstrument.session, kScreenDivisions * offset * *secondsPerDiv / kZoomRecordPoints);
}

// Source "none" leaves the level, slope and colours as they were.
void ShowTriggerSettings(int panel) {
  const int source = LoadField(ProgramSetup.triggerSource);
  SetCtrlVal(panel, MainPanel::TriggerSourceRing, source);
  if (source != 0 && source != 1) return;
  const ChannelFields fields = FieldsOf(source);
  const std::uint32_t colour = ChannelColour[static_cast<std::size_t>(source)];
  for (int control : {MainPanel::TriggerLevelInput, MainPanel::TriggerLevelInput2, MainPanel::TriggerIndicator})
    SetCtrlAttribute(panel, control, ATTR_TEXT_COLOR, colour);
  const bool rising = LoadField(fields.triggerSlope) == 0;
  SetCtrlVal(panel, MainPanel::RisingSlopeButton, rising ? 1 : 0);
  SetCtrlVal(panel, MainPanel::FallingSlopeButton, rising ? 0 : 1);
  ShowTriggerLevelOnPanel(panel, LoadField(fields.triggerLevel) / static_cast<double>(kUnitsPerDivision));
}

}  // namespace

void RefreshPanelFromSetup() {
  const int panel = MainPanelHandle.load();
  CopyChannelScales();
  ShowChannelSettings(panel);
  ShowXYAxisCaptions();
  ShowHorizontalSettings(panel);
  ShowTriggerSettings(panel);
  CheckDisplayMenuItems(panel);
  RefillReferenceRing();
}

void InstallPanelViews() {
  SetPanelRefresher(RefreshPanelFromSetup);
  SetTriggerLevelView(ShowTriggerLevelOnPanel);
}
