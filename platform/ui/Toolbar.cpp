#include "platform/ui/Toolbar.h"

#include <memory>
#include <string>
#include <vector>

#include "platform/ui/Controls.h"
#include "platform/ui/Dispatch.h"
#include "platform/ui/Events.h"
#include "platform/ui/HandleTable.h"
#include "platform/ui/Panels.h"
#include "platform/os/ProjectDir.h"

namespace {

constexpr int kHeight = 28;
constexpr int kEmptyWidth = 8;
constexpr int kButtonSize = 26;
constexpr int kDefaultRingWidth = 100;
constexpr int kRingArrowRoom = 44;  // the ring width is its text's; the drop-down arrow comes on top

struct Item {
  int kind = kToolbarButton;
  int control = 0;
  std::string description;
  int callbackType = kToolbarNoCallback;
  int menuItem = 0;
  CtrlCallback callback;
  void* callbackData = nullptr;
  int ringWidth = kDefaultRingWidth;
};

struct Toolbar {
  int panel = 0;
  int menuBar = 0;
  std::vector<Item> items;
};

uimodel::HandleTable<Toolbar>& TheToolbars() {
  static uimodel::HandleTable<Toolbar> toolbars;
  return toolbars;
}

bool ValidItem(const Toolbar& toolbar, int item) {
  return item >= 1 && item <= static_cast<int>(toolbar.items.size());
}

// Places the items left to right. Runs within the toolbar table's lock; the model calls lock their own.
void Layout(const Toolbar& toolbar) {
  int left = 4;
  for (const Item& item : toolbar.items) {
    switch (item.kind) {
      case kToolbarSeparator:
        SetCtrlAttribute(toolbar.panel, item.control, ATTR_LEFT, left + 3);
        left += 8;
        break;
      case kToolbarRing:
        SetCtrlAttribute(toolbar.panel, item.control, ATTR_LEFT, left);
        SetCtrlAttribute(toolbar.panel, item.control, ATTR_WIDTH, item.ringWidth + kRingArrowRoom);
        left += item.ringWidth + kRingArrowRoom + 4;
        break;
      default:
        SetCtrlAttribute(toolbar.panel, item.control, ATTR_LEFT, left);
        left += kButtonSize + 2;
        break;
    }
  }
  // As wide as its items, so that the parent's controls beside it stay in sight.
  SetPanelAttribute(toolbar.panel, ATTR_WIDTH, left + 2);
}

int MakeItemControl(int panel, const Item& item, const char* imageFile) {
  const int kind = item.kind == kToolbarSeparator ? CTRL_DECORATION
                   : item.kind == kToolbarRing    ? CTRL_RING
                   : item.kind == kToolbarToggleButton ? CTRL_TOGGLE_BUTTON
                                                       : CTRL_COMMAND_BUTTON;
  const int control = NewCtrl(panel, kind, "", 1, 0);
  if (control < 0) return control;
  if (item.kind == kToolbarSeparator) {
    SetCtrlAttribute(panel, control, ATTR_TOP, 3);
    SetCtrlAttribute(panel, control, ATTR_WIDTH, 2);
    SetCtrlAttribute(panel, control, ATTR_HEIGHT, kHeight - 6);
    return control;
  }
  SetCtrlAttribute(panel, control, ATTR_TOOLTIP_TEXT, item.description);
  SetCtrlAttribute(panel, control, ATTR_LABEL_VISIBLE, 0);
  if (item.kind == kToolbarRing) {
    SetCtrlAttribute(panel, control, ATTR_TOP, 3);
    SetCtrlAttribute(panel, control, ATTR_HEIGHT, kHeight - 6);
    return control;
  }
  SetCtrlAttribute(panel, control, ATTR_WIDTH, kButtonSize);
  SetCtrlAttribute(panel, control, ATTR_HEIGHT, kButtonSize);
  if (imageFile != nullptr && *imageFile != '\0')
    SetCtrlAttribute(panel, control, ATTR_IMAGE_FILE, ResolveResourcePath(imageFile));
  return control;
}

// Routes an event of an item's control to the item's own callback or its menu item.
int ItemEvent(ToolbarType handle, int control, int event, int data1, int data2) {
  Item item;
  int index = 0, menuBar = 0;
  TheToolbars().With(handle, 0, [&](const Toolbar& toolbar) {
    for (std::size_t i = 0; i < toolbar.items.size(); ++i) {
      if (toolbar.items[i].control == control) {
        item = toolbar.items[i];
        index = static_cast<int>(i) + 1;
      }
    }
    menuBar = toolbar.menuBar;
    return 0;
  });
  if (index == 0) return 0;
  if (item.callbackType == kToolbarActionCallback && item.callback)
    return item.callback(handle, index, event, item.callbackData, data1, data2);
  if (item.callbackType == kToolbarMenuCallback && event == EVENT_COMMIT)
    uimodel::UserChooseMenuItem(menuBar, item.menuItem);
  return 0;
}

int WithToolbar(ToolbarType handle, const std::function<int(Toolbar&)>& action) {
  return TheToolbars().With(handle, UIE_INVALID_TOOLBAR, action);
}

int WithItem(ToolbarType handle, int item, const std::function<int(Toolbar&, Item&)>& action) {
  return WithToolbar(handle, [&](Toolbar& toolbar) {
    if (!ValidItem(toolbar, item)) return UIE_INDEX_OUT_OF_RANGE;
    return action(toolbar, toolbar.items[static_cast<std::size_t>(item - 1)]);
  });
}

}  // namespace

int Toolbar_New(int parentPanel, int menuBar, const char* title, int top, int left, int, int, ToolbarType* toolbar) {
  if (toolbar == nullptr) return UIE_NULL_POINTER;
  const int panel = NewPanel(parentPanel, title, top, left, kHeight, kEmptyWidth);
  if (panel < 0) return panel;
  *toolbar = TheToolbars().Add(std::make_shared<Toolbar>(Toolbar{panel, menuBar, {}}));
  return 0;
}

int Toolbar_InsertItem(ToolbarType toolbar, int position, int itemType, int active, const char* description,
                       int callbackType, int menuItem, CtrlCallback callback, void* callbackData,
                       const char* imageFile) {
  if (itemType < kToolbarButton || itemType > kToolbarSeparator) return UIE_INVALID_VALUE;
  Item item;
  item.kind = itemType;
  item.description = description != nullptr ? description : "";
  item.callbackType = callbackType;
  item.menuItem = menuItem;
  item.callback = std::move(callback);
  item.callbackData = callbackData;
  return WithToolbar(toolbar, [&](Toolbar& target) {
    const int count = static_cast<int>(target.items.size());
    const int at = position == kToolbarEndOfList ? count : position - 1;
    if (at < 0 || at > count) return UIE_INDEX_OUT_OF_RANGE;
    item.control = MakeItemControl(target.panel, item, imageFile);
    if (item.control < 0) return item.control;
    if (!active) SetCtrlAttribute(target.panel, item.control, ATTR_DIMMED, 1);
    const int control = item.control;
    InstallCtrlCallback(
        target.panel, control,
        [toolbar](int, int ctrl, int event, void*, int data1, int data2) {
          return ItemEvent(toolbar, ctrl, event, data1, data2);
        },
        nullptr);
    target.items.insert(target.items.begin() + at, std::move(item));
    Layout(target);
    return at + 1;
  });
}

int Toolbar_SetItemAttribute(ToolbarType toolbar, int item, int attribute, int value) {
  return WithItem(toolbar, item, [&](Toolbar& target, Item& entry) {
    switch (attribute) {
      case kToolbarAttrRingWidth:
        if (entry.kind != kToolbarRing || value < 10) return UIE_INVALID_VALUE;
        entry.ringWidth = value;
        Layout(target);
        return 0;
      case kToolbarAttrDimmed: return SetCtrlAttribute(target.panel, entry.control, ATTR_DIMMED, value != 0);
      case kToolbarAttrValue: return SetCtrlVal(target.panel, entry.control, value);
      default: return UIE_INVALID_ATTRIBUTE;
    }
  });
}

int Toolbar_SetItemAttribute(ToolbarType toolbar, int item, int attribute, const char* value) {
  if (value == nullptr) return UIE_NULL_POINTER;
  return WithItem(toolbar, item, [&](Toolbar& target, Item& entry) {
    switch (attribute) {
      case kToolbarAttrDescription:
        entry.description = value;
        return SetCtrlAttribute(target.panel, entry.control, ATTR_TOOLTIP_TEXT, value);
      case kToolbarAttrImageFile:
        return SetCtrlAttribute(target.panel, entry.control, ATTR_IMAGE_FILE, ResolveResourcePath(value));
      default: return UIE_INVALID_ATTRIBUTE;
    }
  });
}

int Toolbar_GetItemAttribute(ToolbarType toolbar, int item, int attribute, int* value) {
  if (value == nullptr) return UIE_NULL_POINTER;
  return WithItem(toolbar, item, [&](Toolbar& target, Item& entry) {
    switch (attribute) {
      case kToolbarAttrRingWidth: *value = entry.ringWidth; return 0;
      case kToolbarAttrDimmed: return GetCtrlAttribute(target.panel, entry.control, ATTR_DIMMED, value);
      case kToolbarAttrCtrlId: *value = entry.control; return 0;
      case kToolbarAttrValue: return GetCtrlVal(target.panel, entry.control, value);
      default: return UIE_INVALID_ATTRIBUTE;
    }
  });
}

int Toolbar_DimItem(ToolbarType toolbar, int item, int dimmed) {
  return Toolbar_SetItemAttribute(toolbar, item, kToolbarAttrDimmed, dimmed);
}

int Toolbar_Display(ToolbarType toolbar) {
  return WithToolbar(toolbar, [](Toolbar& target) { return DisplayPanel(target.panel); });
}

int Toolbar_Hide(ToolbarType toolbar) {
  return WithToolbar(toolbar, [](Toolbar& target) { return HidePanel(target.panel); });
}

int Toolbar_Discard(ToolbarType toolbar) {
  const std::shared_ptr<Toolbar> gone = TheToolbars().Remove(toolbar);
  if (!gone) return UIE_INVALID_TOOLBAR;
  DiscardPanel(gone->panel);  // gone already when its parent was discarded first
  return 0;
}

int Toolbar_GetPanel(ToolbarType toolbar) {
  return WithToolbar(toolbar, [](Toolbar& target) { return target.panel; });
}

int Toolbar_GetItemFromDescription(ToolbarType toolbar, const char* description) {
  if (description == nullptr) return UIE_NULL_POINTER;
  return WithToolbar(toolbar, [description](Toolbar& target) {
    for (std::size_t i = 0; i < target.items.size(); ++i)
      if (target.items[i].description == description) return static_cast<int>(i) + 1;
    return 0;
  });
}

int Toolbar_GetNumItems(ToolbarType toolbar) {
  return WithToolbar(toolbar, [](Toolbar& target) { return static_cast<int>(target.items.size()); });
}

namespace uimodel {
void ResetToolbars() { TheToolbars().Clear(); }
}  // namespace uimodel
