// One callback for every instrument control of the main panel: the focus
// and value-changed events keep the two copies of a setting together, the
// commit runs the control's step.
#include "panel/ControleScope.h"

#include <algorithm>
#include <array>

#include "panel/ScopeSteps.h"
#include "platform/ui/UserInterface.h"

std::atomic<int> CurrentChannel{0};

namespace {

using CommitStep = void (*)(int panel, int control);
struct CommitEntry {
  int control;
  CommitStep step;
};

constexpr std::array<CommitEntry, 23> kCommitSteps = {{
    {MainPanel::Ch1SensitivityRing, CommitSensitivity},
    {MainPanel::Ch1SensitivityRing2, CommitSensitivity},
    {MainPanel::Ch2SensitivityRing, CommitSensitivity},
    {MainPanel::Ch2SensitivityRing2, CommitSensitivity},
    {MainPanel::Ch1OffsetInput, CommitOffset},
    {MainPanel::Ch1OffsetInput2, CommitOffset},
    {MainPanel::Ch2OffsetInput, CommitOffset},
    {MainPanel::Ch2OffsetInput2, CommitOffset},
    {MainPanel::Ch1CouplingRing, CommitCoupling},
    {MainPanel::Ch2CouplingRing, CommitCoupling},
    {MainPanel::Ch1AutosetButton, CommitVerticalAutoset},
    {MainPanel::Ch2AutosetButton, CommitVerticalAutoset},
    {MainPanel::TriggerSourceRing, CommitTriggerSource},
    {MainPanel::RisingSlopeButton, CommitSlope},
    {MainPanel::FallingSlopeButton, CommitSlope},
    {MainPanel::TriggerLevelInput, CommitTriggerLevel},
    {MainPanel::TriggerLevelInput2, CommitTriggerLevel},
    {MainPanel::TimebaseRing, CommitTimebase},
    {MainPanel::TimebaseRing2, CommitTimebase},
    {MainPanel::TriggerPositionInput, CommitHorizontalPosition},
    {MainPanel::TriggerPositionInput2, CommitHorizontalPosition},
    {MainPanel::AutosetButton, CommitAutoset},
    {MainPanel::RunStopButton, CommitRunStop},
}};

// Second copies that are only shown: the first copy takes their focus.
constexpr std::array<int, 3> kFocusToFirstCopy = {MainPanel::Ch1SensitivityRing2, MainPanel::Ch2SensitivityRing2,
                                                  MainPanel::TimebaseRing2};

void OnGotFocus(int panel, int control) {
  if (std::find(kFocusToFirstCopy.begin(), kFocusToFirstCopy.end(), control) != kFocusToFirstCopy.end())
    SetActiveCtrl(panel, FirstCopy(control));
}

// While the user is still choosing nothing is sent.
void OnValueChanged(int panel, int control) {
  const ControlCopies* pair = CopiesOf(control);
  if (!pair) return;
  double value = 0.0;
  if (GetCtrlVal(panel, control, &value) < 0) return;
  ShowOnBothCopies(panel, control, value);
  if (pair->real) SetActiveCtrl(panel, pair->first);
}

void OnCommit(int panel, int control) {
  const auto entry = std::find_if(kCommitSteps.begin(), kCommitSteps.end(),
                                  [control](const CommitEntry& candidate) { return candidate.control == control; });
  if (entry == kCommitSteps.end()) return;
  // The LED would otherwise stay lit through a long exchange.
  SetCtrlVal(panel, MainPanel::AcquisitionLed, 0);
  ProcessDrawEvents();
  entry->step(panel, control);
}

}  // namespace

int ControleScope(int panel, int control, int event, void*, int, int) {
  switch (event) {
    case EVENT_GOT_FOCUS: OnGotFocus(panel, control); break;
    case EVENT_VAL_CHANGED: OnValueChanged(panel, control); break;
    case EVENT_COMMIT: OnCommit(panel, control); break;
    default: break;
  }
  return 0;
}
