#include "platform/ui/Menus.h"

#include "platform/ui/Model.h"
#include "platform/ui/PanelFile.h"
#include "platform/os/ProjectDir.h"

using namespace uimodel;

namespace {

int ModifyMenuItem(int menuBar, int item, const std::function<int(MenuItem&)>& change) {
  Store& store = TheStore();
  int status;
  {
    std::lock_guard lock(store.mutex);
    MenuBar* bar = nullptr;
    MenuItem* found = nullptr;
    if (const int missing = store.FindMenuItem(menuBar, item, bar, found); missing < 0) return missing;
    status = change(*found);
    if (status < 0) return status;
    store.changes.menuBars.insert(menuBar);
  }
  NotifyChanged(true);
  return status;
}

int ReadMenuItem(int menuBar, int item, const std::function<int(const MenuItem&)>& read) {
  Store& store = TheStore();
  std::lock_guard lock(store.mutex);
  MenuBar* bar = nullptr;
  MenuItem* found = nullptr;
  if (const int missing = store.FindMenuItem(menuBar, item, bar, found); missing < 0) return missing;
  return read(*found);
}

}  // namespace

int LoadMenuBar(int panel, const char* fileName, int resource) {
  if (fileName == nullptr) return UIE_NULL_POINTER;
  PanelFileContent content;
  const int status = ReadPanelFile(ResolveResourcePath(fileName), &content, nullptr);
  if (status < 0) return status;
  for (MenuBar& bar : content.menuBars) {
    if (bar.resource != resource) continue;
    Store& store = TheStore();
    int handle;
    {
      std::lock_guard lock(store.mutex);
      Panel* owner = store.FindPanel(panel);
      if (owner == nullptr) return UIE_INVALID_PANEL;
      if (owner->menuBar != 0) {
        store.menuBars.erase(owner->menuBar);
        store.changes.menuBars.insert(owner->menuBar);
      }
      handle = store.nextMenuBarHandle++;
      bar.handle = handle;
      bar.panel = panel;
      owner->menuBar = handle;
      store.menuBars.emplace(handle, std::move(bar));
      store.changes.menuBars.insert(handle);
      store.MarkPanel(panel);
    }
    NotifyChanged(true);
    return handle;
  }
  return UIE_RESOURCE_NOT_FOUND;
}

int DiscardMenuBar(int menuBar) {
  Store& store = TheStore();
  {
    std::lock_guard lock(store.mutex);
    MenuBar* bar = store.FindMenuBar(menuBar);
    if (bar == nullptr) return UIE_INVALID_MENU_BAR;
    if (Panel* owner = store.FindPanel(bar->panel)) {
      owner->menuBar = 0;
      store.MarkPanel(owner->handle);
    }
    store.menuBars.erase(menuBar);
    store.changes.menuBars.insert(menuBar);
  }
  NotifyChanged(true);
  return 0;
}

int GetPanelMenuBar(int panel) {
  return ReadPanel(panel, [](const Panel& target) { return target.menuBar; });
}

int SetMenuBarAttribute(int menuBar, int item, int attribute, int value) {
  return ModifyMenuItem(menuBar, item, [&](MenuItem& target) {
    switch (attribute) {
      case ATTR_CHECKED: target.checked = value != 0; return 0;
      case ATTR_DIMMED: target.dimmed = value != 0; return 0;
      default: return UIE_INVALID_ATTRIBUTE;
    }
  });
}

int SetMenuBarAttribute(int menuBar, int item, int attribute, const char* value) {
  if (value == nullptr) return UIE_NULL_POINTER;
  return SetMenuBarAttribute(menuBar, item, attribute, std::string(value));
}

int SetMenuBarAttribute(int menuBar, int item, int attribute, const std::string& value) {
  return ModifyMenuItem(menuBar, item, [&](MenuItem& target) {
    if (attribute == ATTR_ITEM_NAME || attribute == ATTR_MENU_NAME) {
      target.text = value;
      return 0;
    }
    if (attribute == ATTR_CALLBACK_NAME) {
      target.callbackName = value;
      return 0;
    }
    return UIE_INVALID_ATTRIBUTE;
  });
}

int GetMenuBarAttribute(int menuBar, int item, int attribute, int* value) {
  if (value == nullptr) return UIE_NULL_POINTER;
  return ReadMenuItem(menuBar, item, [&](const MenuItem& target) {
    switch (attribute) {
      case ATTR_CHECKED: *value = target.checked ? 1 : 0; return 0;
      case ATTR_DIMMED: *value = target.dimmed ? 1 : 0; return 0;
      default: return UIE_INVALID_ATTRIBUTE;
    }
  });
}

int GetMenuBarAttribute(int menuBar, int item, int attribute, std::string* value) {
  if (value == nullptr) return UIE_NULL_POINTER;
  return ReadMenuItem(menuBar, item, [&](const MenuItem& target) {
    if (attribute == ATTR_ITEM_NAME || attribute == ATTR_MENU_NAME) *value = target.text;
    else if (attribute == ATTR_CONSTANT_NAME) *value = target.name;
    else return UIE_INVALID_ATTRIBUTE;
    return 0;
  });
}

int InstallMenuCallback(int menuBar, int item, MenuCallback callback, void* callbackData) {
  return ModifyMenuItem(menuBar, item, [&](MenuItem& target) {
    target.callback = std::move(callback);
    target.callbackData = callbackData;
    return 0;
  });
}
