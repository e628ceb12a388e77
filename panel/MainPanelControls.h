// Building the main panel's dressing each time it is shown in a language
// (start-up and every language change): menu bar, toolbar, texts, and the
// instrument controls for the connected model.
#pragma once

// What the first sensitivity ring item and the minimum-sensitivity texts are
// for a model: 162 offers 5 mV/div upwards, every other model 25 mV/div.
struct SensitivityRange {
  int firstIndex;
  const char* minimumText;
};
SensitivityRange SensitivityRangeFor(int modelNumber);

// The menu bar (loaded once) and a new toolbar, the texts of the current
// language, the horizontal-position limits, a setup record still marked as
// showing loaded traces sent again without the marks, the four sensitivity
// rings and the minimum-sensitivity texts, every control from the setup
// record, the autoset key and tooltips; an open Shortcut Keys window is shown
// again in the new language. The caller owns the link.
void BuildMainPanel(int panel, int modelNumber);
