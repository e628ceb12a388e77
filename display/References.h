// The toolbar's two reference actions: the "Reference" list (the channel the
// cursors and the automatic measurements work on) and the "ScreenShot"
// button that switches the reference traces on and off.
#pragma once

// Toolbar items (1-based) that RefCallback serves.
inline constexpr int kReferenceRingItem = 5;
inline constexpr int kScreenShotItem = 7;

// Toolbar item callback; acts on the commit of item 5 or 7 only, always
// returns 0. User-interface thread.
int RefCallback(int toolbar, int item, int event, void* callbackData, int eventData1, int eventData2);

// Item 5: makes `channel` (0 CH1, 1 CH2) the reference channel: tells the
// instrument, recolours and retitles the measurements, lays out the cursors
// and rewrites the XY readouts.
// Any other value does nothing. The caller must not own the link.
void ChooseCursorReference(int channel);
// Item 7: with a channel on screen, switches the references of the shown
// channels on, or both off and empties them when either was on; then shows
// the reference labels to match.
void ToggleReferences();
