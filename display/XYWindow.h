// The XY window: opening, laying out and closing it, its two cursors with
// their readouts, and the dragging of its channel markers.
#pragma once

#include <atomic>

// Graph cursor numbers of the XY cursors on XYGraph; 0 while they are off.
extern std::atomic<int> XYCursor1;
extern std::atomic<int> XYCursor2;

// Where the XY window sits; kept across runs by the application.
struct XYRect {
  int top = 0;
  int left = 0;
  int height = 0;
  int width = 0;
  bool operator==(const XYRect&) const = default;
};
// The rectangle the next opening uses; the application seeds it from its
// preferences at start and reads it back when it saves them. User-interface
// thread.
void SetRememberedXYRect(const XYRect& rect);
XYRect RememberedXYRect();

// Loads and shows the XY panel where it was last; the caller has set the
// xyState bit and the two sources. Nothing if the window is already open.
void OpenXYPanel();
// The Display menu's XY entry and the toolbar's XY button: closes the window
// when XY mode is on, otherwise opens it with X = CH1 and Y = CH2.
void ToggleXYMode();
// The XY panel's callback: EVENT_CLOSE closes the window, EVENT_PANEL_SIZE
// lays it out. Returns 0.
int AjustTraceXY(int panel, int event, void* callbackData, int eventData1, int eventData2);
// XYGraph's callback: a released cursor updates the readouts.
int ReglageXY(int panel, int control, int event, void* callbackData, int eventData1, int eventData2);
// The XY channel markers' callback: a dropped marker sets its channel's position.
int RefVoieXY(int panel, int control, int event, void* callbackData, int eventData1, int eventData2);
// "CH1: 1V-DC": rewrites the axis captions after a sensitivity or coupling
// change; nothing while the window is closed.
void ShowXYAxisCaptions();
// Follows the main cursor mode (measurementFlags); user-interface thread.
void ConfigureXYCursors();
// Nothing unless the window is open with its cursors on; any thread.
void UpdateXYReadouts();
