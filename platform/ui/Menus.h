// Menu bars: loaded from the panel file; items are checked, dimmed and renamed.
#pragma once

#include <string>

#include "platform/ui/UiConstants.h"

// Loads menu bar `resource` and puts it on `panel`; returns its handle (> 0) or a negative code.
int LoadMenuBar(int panel, const char* fileName, int resource);
int DiscardMenuBar(int menuBar);
int GetPanelMenuBar(int panel);
// `item` is a menu item or a menu id of the bar: ATTR_CHECKED, ATTR_DIMMED,
// ATTR_ITEM_NAME / ATTR_MENU_NAME (text).
int SetMenuBarAttribute(int menuBar, int item, int attribute, int value);
int SetMenuBarAttribute(int menuBar, int item, int attribute, const char* value);
int SetMenuBarAttribute(int menuBar, int item, int attribute, const std::string& value);
int GetMenuBarAttribute(int menuBar, int item, int attribute, int* value);
int GetMenuBarAttribute(int menuBar, int item, int attribute, std::string* value);
int InstallMenuCallback(int menuBar, int item, MenuCallback callback, void* callbackData);
