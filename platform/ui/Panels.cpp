#include "platform/ui/Panels.h"

#include <algorithm>

#include "platform/ui/Frontend.h"
#include "platform/ui/Model.h"
#include "platform/ui/PanelFile.h"
#include "platform/os/ProjectDir.h"

using namespace uimodel;

namespace {

int AddPanel(Panel panel, int parentPanel) {
  Store& store = TheStore();
  int handle;
  {
    std::lock_guard lock(store.mutex);
    if (parentPanel != 0 && store.FindPanel(parentPanel) == nullptr) return UIE_INVALID_PANEL;
    handle = store.nextPanelHandle++;
    panel.handle = handle;
    panel.parent = parentPanel;
    panel.visible = false;
    store.panels.emplace(handle, std::move(panel));
    store.MarkPanel(handle);
  }
  NotifyChanged(true);
  return handle;
}

int ChangeGlobals(const std::function<int(Store&)>& change) {
  Store& store = TheStore();
  int status;
  {
    std::lock_guard lock(store.mutex);
    status = change(store);
    if (status < 0) return status;
    store.MarkGlobals();
  }
  NotifyChanged(true);
  return status;
}

}  // namespace

int LoadPanel(int parentPanel, const char* fileName, int resource) {
  if (fileName == nullptr) return UIE_NULL_POINTER;
  PanelFileContent content;
  const int status = ReadPanelFile(ResolveResourcePath(fileName), &content, nullptr);
  if (status < 0) return status;
  for (Panel& panel : content.panels)
    if (panel.resource == resource) return AddPanel(std::move(panel), parentPanel);
  return UIE_RESOURCE_NOT_FOUND;
}

int NewPanel(int parentPanel, const char* title, int top, int left, int height, int width) {
  if (height < 0 || width < 0) return UIE_INVALID_VALUE;
  Panel panel;
  panel.title = title != nullptr ? title : "";
  panel.top = top;
  panel.left = left;
  panel.height = height;
  panel.width = width;
  return AddPanel(std::move(panel), parentPanel);
}

int DiscardPanel(int panel) {
  Store& store = TheStore();
  {
    std::lock_guard lock(store.mutex);
    if (store.FindPanel(panel) == nullptr) return UIE_INVALID_PANEL;
    store.ErasePanel(panel);
  }
  NotifyChanged(true);
  return 0;
}

int DisplayPanel(int panel) {
  return ModifyPanel(panel, [](Panel& target) {
    target.visible = true;
    return 0;
  });
}

int HidePanel(int panel) {
  const int status = ModifyPanel(panel, [](Panel& target) {
    target.visible = false;
    target.popup = false;
    return 0;
  });
  if (status < 0) return status;
  return ChangeGlobals([panel](Store& store) {
    std::erase(store.globals.popups, panel);
    store.ForgetUserEvents(panel);
    return 0;
  });
}

int SetPanelAttribute(int panel, int attribute, int value) {
  return ModifyPanel(panel, [&](Panel& target) {
    switch (attribute) {
      case ATTR_TOP: target.top = value; return 0;
      case ATTR_LEFT: target.left = value; return 0;
      case ATTR_HEIGHT: if (value < 0) return UIE_INVALID_VALUE; target.height = value; return 0;
      case ATTR_WIDTH: if (value < 0) return UIE_INVALID_VALUE; target.width = value; return 0;
      case ATTR_VISIBLE: target.visible = value != 0; return 0;
      case ATTR_BACKCOLOR: target.backColor = value; return 0;
      case ATTR_SIZABLE: target.sizable = value != 0; return 0;
      case ATTR_FLOATING: target.floating = value != 0; return 0;
      case ATTR_ACTIVE_CONTROL:
        if (value != 0 && target.controls.count(value) == 0) return UIE_INVALID_CONTROL;
        target.activeControl = value;
        return 0;
      default: return UIE_INVALID_ATTRIBUTE;
    }
  });
}

int SetPanelAttribute(int panel, int attribute, const char* value) {
  if (value == nullptr) return UIE_NULL_POINTER;
  return SetPanelAttribute(panel, attribute, std::string(value));
}

int SetPanelAttribute(int panel, int attribute, const std::string& value) {
  return ModifyPanel(panel, [&](Panel& target) {
    if (attribute == ATTR_TITLE) {
      target.title = value;
      return 0;
    }
    if (attribute == ATTR_CALLBACK_NAME) {
      target.callbackName = value;
      return 0;
    }
    return UIE_INVALID_ATTRIBUTE;
  });
}

int GetPanelAttribute(int panel, int attribute, int* value) {
  if (value == nullptr) return UIE_NULL_POINTER;
  return ReadPanel(panel, [&](const Panel& target) {
    switch (attribute) {
      case ATTR_TOP: *value = target.top; return 0;
      case ATTR_LEFT: *value = target.left; return 0;
      case ATTR_HEIGHT: *value = target.height; return 0;
      case ATTR_WIDTH: *value = target.width; return 0;
      case ATTR_VISIBLE: *value = target.visible ? 1 : 0; return 0;
      case ATTR_BACKCOLOR: *value = target.backColor; return 0;
      case ATTR_SIZABLE: *value = target.sizable ? 1 : 0; return 0;
      case ATTR_FLOATING: *value = target.floating ? 1 : 0; return 0;
      case ATTR_PANEL_PARENT: *value = target.parent; return 0;
      case ATTR_PANEL_RESOURCE: *value = target.resource; return 0;
      case ATTR_ACTIVE_CONTROL: *value = target.activeControl; return 0;
      case ATTR_PANEL_MENU_BAR: *value = target.menuBar; return 0;
      case ATTR_PANEL_POPUP: *value = target.popup ? 1 : 0; return 0;
      default: return UIE_INVALID_ATTRIBUTE;
    }
  });
}

int GetPanelAttribute(int panel, int attribute, std::string* value) {
  if (value == nullptr) return UIE_NULL_POINTER;
  return ReadPanel(panel, [&](const Panel& target) {
    if (attribute == ATTR_TITLE) *value = target.title;
    else if (attribute == ATTR_CONSTANT_NAME) *value = target.name;
    else if (attribute == ATTR_CALLBACK_NAME) *value = target.callbackName;
    else return UIE_INVALID_ATTRIBUTE;
    return 0;
  });
}

int SetPanelPos(int panel, int top, int left) {
  return ModifyPanel(panel, [&](Panel& target) {
    target.top = top;
    target.left = left;
    return 0;
  });
}

int SetPanelSize(int panel, int height, int width) {
  if (height < 0 || width < 0) return UIE_INVALID_VALUE;
  return ModifyPanel(panel, [&](Panel& target) {
    target.height = height;
    target.width = width;
    return 0;
  });
}

int SetActivePanel(int panel) {
  return ChangeGlobals([panel](Store& store) {
    if (store.FindPanel(panel) == nullptr) return UIE_INVALID_PANEL;
    store.globals.activePanel = panel;
    return 0;
  });
}

int GetActivePanel() {
  Store& store = TheStore();
  std::lock_guard lock(store.mutex);
  return store.globals.activePanel;
}

int InstallPopup(int panel) {
  return ChangeGlobals([panel](Store& store) {
    Panel* target = store.FindPanel(panel);
    if (target == nullptr) return UIE_INVALID_PANEL;
    target->visible = true;
    target->popup = true;
    store.MarkPanel(panel);
    std::erase(store.globals.popups, panel);
    store.globals.popups.push_back(panel);
    store.globals.activePanel = panel;
    return 0;
  });
}

int RemovePopup(int removeAll) {
  return ChangeGlobals([removeAll](Store& store) {
    auto& popups = store.globals.popups;
    while (!popups.empty()) {
      const int panel = popups.back();
      popups.pop_back();
      if (Panel* target = store.FindPanel(panel)) {
        target->visible = false;
        target->popup = false;
        store.MarkPanel(panel);
      }
      store.ForgetUserEvents(panel);
      if (store.globals.activePanel == panel) store.globals.activePanel = popups.empty() ? 0 : popups.back();
      if (removeAll == 0) break;
    }
    return 0;
  });
}

int SetWaitCursor(int on) {
  return ChangeGlobals([on](Store& store) {
    store.globals.waitCursor = on != 0;
    return 0;
  });
}

int GetWaitCursorState() {
  Store& store = TheStore();
  std::lock_guard lock(store.mutex);
  return store.globals.waitCursor ? 1 : 0;
}

int SetMouseCursor(int cursorShape) {
  if (cursorShape < VAL_DEFAULT_CURSOR || cursorShape > VAL_CROSS_HAIR_CURSOR) return UIE_INVALID_VALUE;
  return ChangeGlobals([cursorShape](Store& store) {
    store.globals.mouseCursor = cursorShape;
    return 0;
  });
}

int GetMouseCursor(int* cursorShape) {
  if (cursorShape == nullptr) return UIE_NULL_POINTER;
  Store& store = TheStore();
  std::lock_guard lock(store.mutex);
  *cursorShape = store.globals.mouseCursor;
  return 0;
}

int GetMonitorFromPanel(int panel, int* monitor) {
  if (monitor == nullptr) return UIE_NULL_POINTER;
  if (ReadPanel(panel, [](const Panel&) { return 0; }) < 0) return UIE_INVALID_PANEL;
  *monitor = CurrentFrontend().MonitorOf(panel);
  return 0;
}

int GetMonitorAttribute(int monitor, int attribute, int* value) {
  if (value == nullptr) return UIE_NULL_POINTER;
  const std::vector<MonitorInfo> monitors = CurrentFrontend().Monitors();
  if (monitor < 1 || monitor > static_cast<int>(monitors.size())) return UIE_INVALID_VALUE;
  const MonitorInfo& info = monitors[static_cast<std::size_t>(monitor - 1)];
  switch (attribute) {
    case ATTR_TOP: *value = info.top; return 0;
    case ATTR_LEFT: *value = info.left; return 0;
    case ATTR_HEIGHT: *value = info.height; return 0;
    case ATTR_WIDTH: *value = info.width; return 0;
    case ATTR_PRIMARY_MONITOR: *value = monitor == 1 ? 1 : 0; return 0;
    default: return UIE_INVALID_ATTRIBUTE;
  }
}
