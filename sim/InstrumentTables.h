// The instrument's fixed value tables: sensitivities per model, the
// seconds-per-division ladder and the selectable timebase range.
#pragma once

#include <array>

namespace kvxsim {

inline constexpr int kSensitivityCount = 15;
inline constexpr int kSecondsPerDivCount = 35;   // 1 ns .. 200 s in 1-2-5 steps
inline constexpr int kTimebaseCount = 31;        // selectable: 1 ns .. 10 s
inline constexpr int kSlowestAcquisitionTimebase = kTimebaseCount - 1;
inline constexpr int kFastestAcquisitionTimebase = 6;  // 100 ns; faster ones are zoomed views

// Volts per division for the model's sensitivity index (clamped to 0..14).
double VoltsPerDiv(int model, int index);
const std::array<double, kSensitivityCount>& VoltsPerDivTable(int model);
// Lowest sensitivity index the instrument offers on its front panel.
int LowestPanelSensitivity(int model);

// Seconds per division for an index (clamped to 0..34).
double SecondsPerDiv(int index);

// Index 0..30 of a selectable timebase given in seconds per division; -1
// when the value is not on the ladder.
int TimebaseIndexOf(double secondsPerDiv);

// Timebase the acquisition runs at for a selected timebase index.
int AcquisitionTimebase(int timebaseIndex);

}  // namespace kvxsim
