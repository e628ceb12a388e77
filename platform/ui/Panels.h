// Panels: loading from the panel file, showing, pop-ups, geometry, cursors.
#pragma once

#include <string>

#include "platform/ui/UiConstants.h"

// Loads panel `resource` from the panel file (a relative name is looked up in the
// application directory, then beside the executable). `parentPanel` 0 makes a
// top-level window, otherwise a child panel inside the parent.
// Returns the new panel handle (> 0), or a negative UIE_* code when the file or
// the panel is missing or the file is malformed.
int LoadPanel(int parentPanel, const char* fileName, int resource);
// Creates an empty panel without the panel file.
int NewPanel(int parentPanel, const char* title, int top, int left, int height, int width);
int DiscardPanel(int panel);  // also its child panels
int DisplayPanel(int panel);
int HidePanel(int panel);

int SetPanelAttribute(int panel, int attribute, int value);
int SetPanelAttribute(int panel, int attribute, const char* value);
int SetPanelAttribute(int panel, int attribute, const std::string& value);
int GetPanelAttribute(int panel, int attribute, int* value);
int GetPanelAttribute(int panel, int attribute, std::string* value);
template <std::size_t N>
int GetPanelAttribute(int panel, int attribute, char (&value)[N]);
int SetPanelPos(int panel, int top, int left);
int SetPanelSize(int panel, int height, int width);

int SetActivePanel(int panel);
int GetActivePanel();

// Shows `panel` as a modal pop-up on top of the others; returns at once.
// Safe from any thread (the acquisition thread's notice uses it).
int InstallPopup(int panel);
// Hides the top pop-up (removeAll 0) or all of them (1); the panels stay loaded.
int RemovePopup(int removeAll);

// The mouse cursor: the wait cursor on or off, and the cursor shape.
int SetWaitCursor(int on);
int GetWaitCursorState();
int SetMouseCursor(int cursorShape);
int GetMouseCursor(int* cursorShape);

// The monitor that shows a panel, and its size.
int GetMonitorFromPanel(int panel, int* monitor);
int GetMonitorAttribute(int monitor, int attribute, int* value);

template <std::size_t N>
int GetPanelAttribute(int panel, int attribute, char (&value)[N]) {
  std::string text;
  const int status = GetPanelAttribute(panel, attribute, &text);
  if (status < 0) return status;
  const std::size_t count = text.size() < N - 1 ? text.size() : N - 1;
  text.copy(value, count);
  value[count] = '\0';
  return status;
}
