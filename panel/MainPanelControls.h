// Filling the main panel's instrument controls for the connected model each
// time the panel is built (start-up and every language change).
#pragma once

// What the first sensitivity ring item and the minimum-sensitivity texts are
// for a model: 162 offers 5 mV/div upwards, every other model 25 mV/div.
struct SensitivityRange {
  int firstIndex;
  const char* minimumText;
};
SensitivityRange SensitivityRangeFor(int modelNumber);

// The horizontal-position limits, a setup record still marked as showing
// loaded traces sent again without the marks, the four sensitivity rings and
// the minimum-sensitivity texts, then every control from the setup record.
// The caller owns the link.
void FillMainPanelControls(int panel, int modelNumber);
