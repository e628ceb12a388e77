// Delivering events to callbacks, and the user's actions as both front-ends
// perform them: change the model the way the input does, then send the events.
// Internal to platform/ui. Callbacks run on the calling thread without any lock held.
#pragma once

#include <string>

namespace uimodel {

int DispatchControlEvent(int panel, int control, int event, int data1, int data2);
int DispatchPanelEvent(int panel, int event, int data1, int data2);
int DispatchMainEvent(int event, int data1, int data2);
int DispatchMenuEvent(int menuBar, int item);

int UserCommit(int panel, int control);  // buttons: toggles flip first (VAL_CHANGED, then COMMIT)
int UserSetNumber(int panel, int control, double value);
int UserSetText(int panel, int control, const std::string& text);
int UserSelectIndex(int panel, int control, int index);
// Shortcut keys operate their control (and take the key); other keys go to the
// active control's callback, then, unless it returned non-zero, to the panel's.
int UserKeyPress(int panel, int key);
int UserLeftClick(int panel, int control, int x, int y);
int UserFocus(int panel, int control);
int UserClose(int panel);
int UserResize(int panel, int height, int width);
// Marker moved to (top, left) (a vertical marker keeps its left): EVENT_DROP, or EVENT_DROPPED when released.
int UserMoveMarker(int panel, int control, int top, int left, bool released);
// Cursor moved to (x, y), clamped: EVENT_VAL_CHANGED, or EVENT_COMMIT when released.
int UserMoveCursor(int panel, int control, int cursor, double x, double y, bool released);
int UserChooseMenuItem(int menuBar, int item);

// Forgets the callback registry and the main callback.
void ResetBindings();
// Forgets every toolbar.
void ResetToolbars();
// Forgets every report.
void ResetReports();

}  // namespace uimodel
