// The steps ControleScope runs, one per kind of control, and what they share:
// which setup fields and controls belong to a channel, and which controls come
// in two copies. User-interface thread only.
#pragma once

#include <array>
#include <cstdint>
#include <optional>

#include "display/ZoomRecord.h"
#include "layout/PanelIds.h"

inline constexpr int kScreenDivisions = 10;
inline constexpr double kOffsetLimitDivisions = 4.0;  // after a vertical autoset

// The setup fields of one channel in ProgramSetup; fields the acquisition
// thread also uses go through LoadField / StoreField.
struct ChannelFields {
  std::uint16_t& voltsPerDivIndex;
  std::int16_t& verticalOffset;
  std::int16_t& coupling;
  std::int32_t& displayed;
  std::int32_t& loadedTrace;
  std::int16_t& triggerLevel;
  std::uint16_t& triggerSlope;
  float& probeFactor;
  char (&unit)[4];
};
// Channel 0 is CH1, any other CH2.
ChannelFields FieldsOf(int channel);

struct ChannelControls {
  int sensitivity, sensitivity2, offset, offset2, coupling, autoset;
};
inline constexpr std::array<ChannelControls, 2> kChannelControls = {{
    {MainPanel::Ch1SensitivityRing, MainPanel::Ch1SensitivityRing2, MainPanel::Ch1OffsetInput,
     MainPanel::Ch1OffsetInput2, MainPanel::Ch1CouplingRing, MainPanel::Ch1AutosetButton},
    {MainPanel::Ch2SensitivityRing, MainPanel::Ch2SensitivityRing2, MainPanel::Ch2OffsetInput,
     MainPanel::Ch2OffsetInput2, MainPanel::Ch2CouplingRing, MainPanel::Ch2AutosetButton},
}};
// 0 or 1 for one of a channel's controls, -1 for any other control.
int ChannelOfControl(int control);

// Settings shown twice on the panel; both copies always show one value.
struct ControlCopies {
  int first, second;
  bool real;  // a numeric; otherwise a ring
};
// The pair `control` belongs to, or nullptr.
const ControlCopies* CopiesOf(int control);
// The copy that takes the focus: the first of a pair, else `control` itself.
int FirstCopy(int control);
// Both copies of `control`'s pair (or `control` alone) show `value`.
void ShowOnBothCopies(int panel, int control, double value);

// Seconds per division the instrument acquires at (faster timebases are
// zooms into 100 ns/div); nothing for an effectiveTimebaseIndex beyond the
// table.
std::optional<double> AcquisitionSecondsPerDiv();
// Both trigger-level copies show `divisions`.
void ShowTriggerLevelOnPanel(int panel, double divisions);

// Commit steps: `control` is the control committed.
void CommitSensitivity(int panel, int control);
void CommitOffset(int panel, int control);
void CommitCoupling(int panel, int control);
void CommitVerticalAutoset(int panel, int control);
void CommitTriggerSource(int panel, int control);
void CommitSlope(int panel, int control);
void CommitTriggerLevel(int panel, int control);
void CommitTimebase(int panel, int control);
void CommitHorizontalPosition(int panel, int control);
void CommitAutoset(int panel, int control);
void CommitRunStop(int panel, int control);

// Refresh steps that need neither the link nor the main panel's own controls.
void CheckDisplayMenuItems(int panel);
