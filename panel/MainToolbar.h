// The main panel's toolbar: picture buttons that act as their menu items, the
// "Reference" ring (the channel cursors and automatic measurements follow)
// and the "ScreenShot" and "Shortcut Keys" buttons.
#pragma once

#include <atomic>

// The toolbar built with the main panel; 0 while there is none.
extern std::atomic<int> MainToolbarHandle;

// Discards any toolbar, then builds and shows a new one on `panel` in the
// current language; its menu buttons act on `menuBar`. User-interface thread.
void BuildMainToolbar(int panel, int menuBar);
void DiscardMainToolbar();

// Refills the reference ring in the current language ("Auto. meas. CH1",
// "... CH2"), selects referenceChannel and dims the ring while the
// measurement display is off. Nothing without a toolbar.
void RefillReferenceRing();
// Selects `channel` on the reference ring. Nothing without a toolbar.
void ShowReferenceOnToolbar(int channel);
// Dims the reference ring unless the measurement display is on.
void DimReferenceRing();
