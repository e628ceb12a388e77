// The main panel's toolbar and the "Reference" ring on it: the channel that
// cursors and automatic measurements follow.
#pragma once

#include <atomic>

// The toolbar built with the main panel; 0 while there is none.
extern std::atomic<int> MainToolbarHandle;

// Refills the reference ring in the current language ("Auto. meas. CH1",
// "... CH2"), selects referenceChannel and dims the ring while the
// measurement display is off. Nothing without a toolbar.
void RefillReferenceRing();
// Selects `channel` on the reference ring. Nothing without a toolbar.
void ShowReferenceOnToolbar(int channel);
