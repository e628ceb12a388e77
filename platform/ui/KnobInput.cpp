#include "platform/ui/KnobInput.h"

#include "platform/ui/Dispatch.h"
#include "platform/ui/Model.h"

namespace uimodel {

namespace {

// Moves the control to `position`; `changed` tells whether its value moved.
int MoveTo(Control& target, double position, bool& changed) {
  if (HoldsList(target)) {
    const int index = static_cast<int>(position);
    if (index < 0 || index >= static_cast<int>(target.items.size())) return UIE_INDEX_OUT_OF_RANGE;
    changed = index != target.index;
    target.index = index;
    return 0;
  }
  if (target.kind != CTRL_NUMERIC) return UIE_WRONG_CONTROL_KIND;
  const double before = target.number;
  const int status = SetControlNumber(target, position);
  changed = status >= 0 && target.number != before;
  return status;
}

}  // namespace

int UserTurnKnob(int panel, int control, double position, bool released) {
  bool changed = false;
  const int status = ModifyControl(panel, control, [&](Control& target) {
    if (!target.visible || target.dimmed || target.mode == VAL_INDICATOR) return UIE_NOT_AVAILABLE;
    return MoveTo(target, position, changed);
  });
  if (status < 0) return status;
  if (changed) DispatchControlEvent(panel, control, EVENT_VAL_CHANGED, 0, 0);
  return released ? DispatchControlEvent(panel, control, EVENT_COMMIT, 0, 0) : 0;
}

}  // namespace uimodel
