// The trigger level as the user-interface side handles it: kept in the setup
// record in 1/22 division of the source channel, sent in volts.
#pragma once

#include <cstdint>
#include <functional>

#include "platform/visa/Visa.h"

// Stores trunc(22 x divisions) in `field` (ch1TriggerLevel or
// ch2TriggerLevel of ProgramSetup) and, when `send` is nonzero, sends
// divisions times the volts per division of the source channel (0 V for a
// source other than CH1/CH2) on the program's session. Returns the write
// status, or VI_SUCCESS when nothing was sent.
ViStatus ApplyTriggerLevel(double divisions, std::int16_t* field, int source, int send);

// Shows a trigger level (field value, 1/22 division) in the main panel's two
// trigger-level controls, as divisions.
void ShowTriggerLevel(int panel, int level);
// The panel code installs the function that puts `divisions` into the
// controls of `panel`; until then ShowTriggerLevel does nothing.
void SetTriggerLevelView(std::function<void(int panel, double divisions)> view);
