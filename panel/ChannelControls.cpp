// Sensitivity, offset, coupling and vertical autoset of one channel.
#include <cmath>

#include "catalogue/MessageCatalogue.h"
#include "display/Cursors.h"
#include "display/XYWindow.h"
#include "link/Autoset.h"
#include "link/CommandSet.h"
#include "link/InstrumentSession.h"
#include "link/InstrumentSetup.h"
#include "link/LinkBusy.h"
#include "panel/ControleScope.h"
#include "panel/ScopeSteps.h"
#include "platform/ui/UserInterface.h"

namespace {

bool ValidChannel(int channel) { return channel == 0 || channel == 1; }

// Volts per division of the channel's sensitivity; nothing for an index
// beyond the table.
std::optional<double> ChannelVoltsPerDiv(int channel) {
  const int index = LoadField(FieldsOf(channel).voltsPerDivIndex);
  if (index < 0 || index >= kSensitivityCount) return std::nullopt;
  return TheInstrument.VoltsPerDivTable[static_cast<std::size_t>(index)];
}

// A vertical autoset may centre the trace beyond what the offset controls
// are meant to hold; the nearer limit is committed as the user would.
void KeepOffsetWithinLimits(int panel, int channel) {
  const double divisions = LoadField(FieldsOf(channel).verticalOffset) / static_cast<double>(kUnitsPerDivision);
  if (std::fabs(divisions) <= kOffsetLimitDivisions) return;
  const int offsetControl = kChannelControls[static_cast<std::size_t>(channel)].offset;
  ShowOnBothCopies(panel, offsetControl, std::copysign(kOffsetLimitDivisions, divisions));
  ControleScope(panel, offsetControl, EVENT_COMMIT, nullptr, 0, 0);
}

}  // namespace

ChannelFields FieldsOf(int channel) {
  InstrumentSetup& s = ProgramSetup;
  if (channel == 0)
    return {s.ch1VoltsPerDivIndex, s.ch1VerticalOffset, s.ch1Coupling,     s.ch1Displayed, s.ch1LoadedTrace,
            s.ch1TriggerLevel,     s.ch1TriggerSlope,   s.ch1ProbeFactor, s.ch1Unit};
  return {s.ch2VoltsPerDivIndex, s.ch2VerticalOffset, s.ch2Coupling,     s.ch2Displayed, s.ch2LoadedTrace,
          s.ch2TriggerLevel,     s.ch2TriggerSlope,   s.ch2ProbeFactor, s.ch2Unit};
}

void SetOffset(int channel, double divisions) {
  if (!ValidChannel(channel)) return;
  StoreField(FieldsOf(channel).verticalOffset, DivisionsToUnits(divisions));
  const std::optional<double> voltsPerDiv = ChannelVoltsPerDiv(channel);
  if (!voltsPerDiv) return;
  LinkOwnership link;
  SetVerticalOffset(TheInstrument.session, channel, divisions * *voltsPerDiv);
}

int MajValDecadrage(int panel, int channel) {
  if (!ValidChannel(channel)) return 0;
  const double divisions = LoadField(FieldsOf(channel).verticalOffset) / static_cast<double>(kUnitsPerDivision);
  ShowOnBothCopies(panel, kChannelControls[static_cast<std::size_t>(channel)].offset, divisions);
  return 0;
}

void CommitSensitivity(int panel, int control) {
  const int channel = ChannelOfControl(control);
  if (channel < 0) return;
  SetActiveCtrl(panel, FirstCopy(control));
  int index = -1;
  if (GetCtrlVal(panel, control, &index) < 0 || index < 0 || index >= kSensitivityCount) return;
  StoreField(FieldsOf(channel).voltsPerDivIndex, index);
  {
    LinkOwnership link;
    SetSensitivity(TheInstrument.session, channel, index);
    RefreshPanelFromSetup();
  }
  UpdateCursorReadouts();
  UpdateXYReadouts();
  CurrentChannel = channel;
}

// The second copy commits exactly as the first.
void CommitOffset(int panel, int control) {
  const int channel = ChannelOfControl(control);
  if (channel < 0) return;
  CurrentChannel = channel;
  double divisions = 0.0;
  if (GetCtrlVal(panel, control, &divisions) < 0) return;
  SetOffset(channel, divisions);
}

void CommitCoupling(int panel, int control) {
  const int channel = ChannelOfControl(control);
  if (channel < 0) return;
  CurrentChannel = channel;
  int coupling = -1;
  if (GetCtrlVal(panel, control, &coupling) < 0 || coupling < 0 ||
      coupling >= static_cast<int>(CouplingWords.size()))
    return;
  StoreField(FieldsOf(channel).coupling, coupling);
  LinkOwnership link;
  SetInputCoupling(TheInstrument.session, channel, coupling);
  RefreshPanelFromSetup();
}

void CommitVerticalAutoset(int panel, int control) {
  const int channel = ChannelOfControl(control);
  if (channel < 0) return;
  SetWaitCursor(1);
  CurrentChannel = channel;
  const ChannelFields fields = FieldsOf(channel);
  StoreField(fields.displayed, 1);
  int adjusted = 0;
  {
    LinkOwnership link;
    SetTraceDisplay(TheInstrument.session, channel, 1);
    StoreField(fields.loadedTrace, 0);
    adjusted = RunVerticalAutoset(TheInstrument.session, channel);
    RefreshPanelFromSetup();
  }
  // Shown once the link is free: the acquisition goes on while the box waits.
  if (!adjusted)
    MessagePopup(CatalogueText(Msg::WarningTitle),
                 FormatCatalogue(kChannelMessageFormat, channel + 1, Msg::VerticalAutosetImpossible).c_str());
  KeepOffsetWithinLimits(panel, channel);
  UpdateXYReadouts();
  SetWaitCursor(0);
}
