#include <algorithm>

#include "panel/ScopeSteps.h"
#include "platform/ui/UserInterface.h"

namespace {

constexpr std::array<ControlCopies, 7> kControlCopies = {{
    {MainPanel::Ch1SensitivityRing, MainPanel::Ch1SensitivityRing2, false},
    {MainPanel::Ch2SensitivityRing, MainPanel::Ch2SensitivityRing2, false},
    {MainPanel::Ch1OffsetInput, MainPanel::Ch1OffsetInput2, true},
    {MainPanel::Ch2OffsetInput, MainPanel::Ch2OffsetInput2, true},
    {MainPanel::TriggerLevelInput, MainPanel::TriggerLevelInput2, true},
    {MainPanel::TimebaseRing, MainPanel::TimebaseRing2, false},
    {MainPanel::TriggerPositionInput, MainPanel::TriggerPositionInput2, true},
}};

}  // namespace

const ControlCopies* CopiesOf(int control) {
  const auto found = std::find_if(kControlCopies.begin(), kControlCopies.end(), [control](const ControlCopies& pair) {
    return pair.first == control || pair.second == control;
  });
  return found == kControlCopies.end() ? nullptr : &*found;
}

int FirstCopy(int control) {
  const ControlCopies* pair = CopiesOf(control);
  return pair ? pair->first : control;
}

void ShowOnBothCopies(int panel, int control, double value) {
  const ControlCopies* pair = CopiesOf(control);
  if (!pair) {
    SetCtrlVal(panel, control, value);
    return;
  }
  SetCtrlVal(panel, pair->first, value);
  SetCtrlVal(panel, pair->second, value);
}

int ChannelOfControl(int control) {
  for (int channel = 0; channel < static_cast<int>(kChannelControls.size()); ++channel) {
    const ChannelControls& controls = kChannelControls[static_cast<std::size_t>(channel)];
    for (int member : {controls.sensitivity, controls.sensitivity2, controls.offset, controls.offset2,
                       controls.coupling, controls.autoset})
      if (member == control) return channel;
  }
  return -1;
}
