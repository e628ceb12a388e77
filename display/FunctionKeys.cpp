#include "display/FunctionKeys.h"

#include <array>

#include "layout/PanelIds.h"
#include "platform/ui/UserInterface.h"

namespace {

enum class Change {
  None,       // a button: just the commit
  RingStep,   // the ring's value moves by `step`; beyond either end nothing happens
  Increment,  // the numeric's value moves by `step` times its own increment
};

struct KeyAction {
  int key;
  int control;
  int secondCopy;  // also written, 0 for none
  Change change;
  int step;
};

constexpr std::array<KeyAction, 11> kKeyActions = {{
    {VAL_F1_VKEY, MainPanel::Ch1AutosetButton, 0, Change::None, 0},
    {VAL_F2_VKEY, MainPanel::Ch2AutosetButton, 0, Change::None, 0},
    {VAL_F3_VKEY, MainPanel::AutosetButton, 0, Change::None, 0},
    {VAL_F5_VKEY, MainPanel::Ch1SensitivityRing, 0, Change::RingStep, -1},
    {VAL_F6_VKEY, MainPanel::Ch1SensitivityRing, 0, Change::RingStep, +1},
    {VAL_F7_VKEY, MainPanel::Ch2SensitivityRing, 0, Change::RingStep, -1},
    {VAL_F8_VKEY, MainPanel::Ch2SensitivityRing, 0, Change::RingStep, +1},
    {VAL_F9_VKEY, MainPanel::TriggerLevelInput, MainPanel::TriggerLevelInput2, Change::Increment, -1},
    {VAL_F10_VKEY, MainPanel::TriggerLevelInput, MainPanel::TriggerLevelInput2, Change::Increment, +1},
    {VAL_F11_VKEY, MainPanel::TimebaseRing, MainPanel::TimebaseRing2, Change::RingStep, +1},
    {VAL_F12_VKEY, MainPanel::TimebaseRing, MainPanel::TimebaseRing2, Change::RingStep, -1},
}};

const KeyAction* FindAction(int key) {
  for (const KeyAction& action : kKeyActions)
    if (action.key == key) return &action;
  return nullptr;
}

// The control's new value, written to it and its second copy; false when
// there is none (a ring already at its end).
bool ApplyChange(int panel, const KeyAction& action) {
  if (action.change == Change::None) return true;
  double value = 0.0;
  if (GetCtrlVal(panel, action.control, &value) < 0) return false;
  double step = action.step;
  if (action.change == Change::Increment) {
    double increment = 0.0;
    GetCtrlAttribute(panel, action.control, ATTR_INCR_VALUE, &increment);
    step *= increment;
  }
  // A ring refuses a value it has no item for; a numeric holds it within its range.
  if (SetCtrlVal(panel, action.control, value + step) < 0) return false;
  if (action.secondCopy != 0 && GetCtrlVal(panel, action.control, &value) >= 0)
    SetCtrlVal(panel, action.secondCopy, value);
  return true;
}

}  // namespace

bool HandleFunctionKey(int panel, int key) {
  const KeyAction* action = FindAction(key);
  if (action == nullptr) return false;
  if (ApplyChange(panel, *action)) CallCtrlCallback(panel, action->control, EVENT_COMMIT, 0, 0, nullptr);
  return true;
}
