// The toolbar: a row of picture buttons, rings and separators at the top of a
// panel. Each item's description is its tooltip and finds it again.
#pragma once

#include "platform/ui/UiConstants.h"

using ToolbarType = int;

inline constexpr int kToolbarButton = 0;        // picture push button
inline constexpr int kToolbarToggleButton = 1;
inline constexpr int kToolbarRing = 2;
inline constexpr int kToolbarSeparator = 3;

inline constexpr int kToolbarNoCallback = 0;
inline constexpr int kToolbarActionCallback = 1;  // the item's own callback (toolbar, item, event, ...)
inline constexpr int kToolbarMenuCallback = 2;    // acts as the linked menu item

inline constexpr int kToolbarEndOfList = -1;

// Item attributes (Toolbar_SetItemAttribute / Toolbar_GetItemAttribute).
inline constexpr int kToolbarAttrRingWidth = 1;
inline constexpr int kToolbarAttrDimmed = 2;
inline constexpr int kToolbarAttrDescription = 3;  // string
inline constexpr int kToolbarAttrImageFile = 4;    // string
inline constexpr int kToolbarAttrCtrlId = 5;       // read only: the item's control on Toolbar_GetPanel
inline constexpr int kToolbarAttrValue = 6;        // toggle state or ring value

// Creates an empty toolbar on `parentPanel` at (top, left); `menuBar` is the bar
// whose items kToolbarMenuCallback items act as.
int Toolbar_New(int parentPanel, int menuBar, const char* title, int top, int left, int conformBitmaps,
                int conformToSystem, ToolbarType* toolbar);
// Inserts an item before `position` (1-based; kToolbarEndOfList appends); returns
// the new item's 1-based index. Image files are relative to the application directory.
int Toolbar_InsertItem(ToolbarType toolbar, int position, int itemType, int active, const char* description,
                       int callbackType, int menuItem, CtrlCallback callback, void* callbackData,
                       const char* imageFile);
int Toolbar_SetItemAttribute(ToolbarType toolbar, int item, int attribute, int value);
int Toolbar_SetItemAttribute(ToolbarType toolbar, int item, int attribute, const char* value);
int Toolbar_GetItemAttribute(ToolbarType toolbar, int item, int attribute, int* value);
int Toolbar_DimItem(ToolbarType toolbar, int item, int dimmed);
int Toolbar_Display(ToolbarType toolbar);
int Toolbar_Hide(ToolbarType toolbar);
int Toolbar_Discard(ToolbarType toolbar);
// The child panel that holds the items (ring contents are set with the list calls on it).
int Toolbar_GetPanel(ToolbarType toolbar);
// The 1-based index of the item with this description, or 0.
int Toolbar_GetItemFromDescription(ToolbarType toolbar, const char* description);
int Toolbar_GetNumItems(ToolbarType toolbar);
