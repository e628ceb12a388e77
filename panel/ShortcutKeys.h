// The small "Shortcut Keys" window listing the function keys. The toolbar
// button opens and closes it; keys pressed in it act on the main panel.
#pragma once

// The open window's panel; 0 while it is closed. User-interface thread.
int ShortcutKeysPanelHandle();

// Toolbar item callback: on a commit, closes the window when it is open and
// opens it otherwise. Returns 0.
int AstuceClavier(int toolbar, int item, int event, void* callbackData, int eventData1, int eventData2);
// The window's callback: passes key presses to the main panel; a close
// discards the window. Returns 0.
int PanelAstuce(int panel, int event, void* callbackData, int eventData1, int eventData2);

void CloseShortcutKeysPanel();
// Shows it again in the current language if it is open.
void ReopenShortcutKeysPanel();
