// Trigger source, slope and level.
#include "link/CommandSet.h"
#include "link/InstrumentSession.h"
#include "link/InstrumentSetup.h"
#include "link/LinkBusy.h"
#include "link/TriggerLevel.h"
#include "panel/ControleScope.h"
#include "panel/ScopeSteps.h"
#include "platform/ui/UserInterface.h"

namespace {

constexpr int kEdgeTrigger = 0;
constexpr int kAutomaticTrigger = 0;
constexpr int kDcTriggerCoupling = 1;
constexpr int kRisingSlope = 0;
constexpr int kFallingSlope = 1;

// The trigger source when it is a channel (0 or 1); -1 for "none", which has
// no slope or level of its own.
int TriggerChannel() {
  const int source = LoadField(ProgramSetup.triggerSource);
  return source == 0 || source == 1 ? source : -1;
}

}  // namespace

void CommitTriggerSource(int panel, int control) {
  int source = -1;
  if (GetCtrlVal(panel, control, &source) < 0 || source < 0 ||
      source >= static_cast<int>(TriggerSourceWords.size()))
    return;
  StoreField(ProgramSetup.triggerSource, source);
  StoreField(ProgramSetup.triggerType, kEdgeTrigger);
  StoreField(ProgramSetup.triggerMode, kAutomaticTrigger);
  LinkOwnership link;
  const ViSession session = TheInstrument.session;
  SetTriggerMode(session, kAutomaticTrigger, kEdgeTrigger);
  SetTriggerSource(session, source);
  SetTriggerCoupling(session, kDcTriggerCoupling);
  RefreshPanelFromSetup();
}

// With source "none" only the buttons change: no setup field holds a slope
// for it, and a slope sent then would leave the instrument and the program's
// copy out of step, so nothing is sent either.
void CommitSlope(int panel, int control) {
  const int slope = control == MainPanel::RisingSlopeButton ? kRisingSlope : kFallingSlope;
  SetCtrlVal(panel, MainPanel::RisingSlopeButton, slope == kRisingSlope ? 1 : 0);
  SetCtrlVal(panel, MainPanel::FallingSlopeButton, slope == kFallingSlope ? 1 : 0);
  const int channel = TriggerChannel();
  if (channel < 0) return;
  StoreField(FieldsOf(channel).triggerSlope, slope);
  LinkOwnership link;
  SetTriggerSlope(TheInstrument.session, slope);
}

// The level goes out in volts of the source channel without its probe factor.
void CommitTriggerLevel(int panel, int control) {
  const int channel = TriggerChannel();
  if (channel < 0) return;
  double divisions = 0.0;
  if (GetCtrlVal(panel, control, &divisions) < 0) return;
  LinkOwnership link;
  ApplyTriggerLevel(divisions, &FieldsOf(channel).triggerLevel, channel, 1);
}

void ShowTriggerLevelOnPanel(int panel, double divisions) {
  ShowOnBothCopies(panel, MainPanel::TriggerLevelInput, divisions);
}
