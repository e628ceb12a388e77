// The user turning a knob (a ring or numeric drawn as a dial), as both
// front-ends perform it. Internal to platform/ui.
#pragma once

namespace uimodel {

// While the knob turns, each new position is a value change only
// (EVENT_VAL_CHANGED); letting go commits it (EVENT_COMMIT), as a ring or
// numeric commits when its edit ends. `position` is the item index of a ring
// and the value of a numeric. A position the control cannot take changes
// nothing and sends nothing (UIE_INDEX_OUT_OF_RANGE for a ring).
int UserTurnKnob(int panel, int control, double position, bool released);

}  // namespace uimodel
