#include "platform/ui/Events.h"

#include <algorithm>
#include <map>
#include <mutex>
#include <string>

#include "platform/ui/Controls.h"
#include "platform/ui/Dispatch.h"
#include "platform/ui/Frontend.h"
#include "platform/ui/Model.h"
#include "platform/ui/Panels.h"

using namespace uimodel;

namespace {

struct Bindings {
  std::mutex mutex;
  std::map<std::string, CtrlCallback> controls;
  std::map<std::string, PanelCallback> panels;
  std::map<std::string, MenuCallback> menus;
  CtrlCallback main;
  void* mainData = nullptr;
};

Bindings& TheBindings() {
  static Bindings bindings;
  return bindings;
}

template <class Callback>
Callback Lookup(const std::map<std::string, Callback>& table, const std::string& name) {
  if (name.empty()) return {};
  std::lock_guard lock(TheBindings().mutex);
  const auto found = table.find(name);
  return found == table.end() ? Callback{} : found->second;
}

struct ControlBinding {
  CtrlCallback callback;
  void* data = nullptr;
  bool usable = false;  // visible, not dimmed
};

int FindControlBinding(int panel, int control, ControlBinding* binding) {
  std::string name;
  const int status = ReadControl(panel, control, [&](const Control& target) {
    binding->callback = target.callback;
    binding->data = target.callbackData;
    binding->usable = target.visible && !target.dimmed && target.mode != VAL_INDICATOR;
    name = target.callbackName;
    return 0;
  });
  if (status < 0) return status;
  if (!binding->callback) binding->callback = Lookup(TheBindings().controls, name);
  return 0;
}

int CheckUsable(int panel, int control) {
  ControlBinding binding;
  const int status = FindControlBinding(panel, control, &binding);
  if (status < 0) return status;
  return binding.usable ? 0 : UIE_NOT_AVAILABLE;
}

int ShortcutControl(int panel, int key) {
  return ReadPanel(panel, [key](const Panel& target) {
    for (const auto& [id, control] : target.controls)
      if (control.shortcutKey == key && control.visible && !control.dimmed) return id;
    return 0;
  });
}

}  // namespace

namespace uimodel {

int DispatchControlEvent(int panel, int control, int event, int data1, int data2) {
  ControlBinding binding;
  const int status = FindControlBinding(panel, control, &binding);
  if (status < 0) return status;
  if (binding.callback) return binding.callback(panel, control, event, binding.data, data1, data2);
  if (event == EVENT_COMMIT) {
    // Kept for GetUserEvent only while the panel is a pop-up that waits for
    // a press; a press elsewhere would otherwise answer a later question.
    Store& store = TheStore();
    std::lock_guard lock(store.mutex);
    const auto& popups = store.globals.popups;
    if (std::find(popups.begin(), popups.end(), panel) != popups.end())
      store.userEvents.push_back({EVENT_COMMIT, panel, control});
  }
  return 0;
}

int DispatchPanelEvent(int panel, int event, int data1, int data2) {
  PanelCallback callback;
  void* data = nullptr;
  std::string name;
  const int status = ReadPanel(panel, [&](const Panel& target) {
    callback = target.callback;
    data = target.callbackData;
    name = target.callbackName;
    return 0;
  });
  if (status < 0) return status;
  if (!callback) callback = Lookup(TheBindings().panels, name);
  return callback ? callback(panel, event, data, data1, data2) : 0;
}

int DispatchMainEvent(int event, int data1, int data2) {
  CtrlCallback callback;
  void* data = nullptr;
  {
    std::lock_guard lock(TheBindings().mutex);
    callback = TheBindings().main;
    data = TheBindings().mainData;
  }
  return callback ? callback(0, 0, event, data, data1, data2) : 0;
}

int DispatchMenuEvent(int menuBar, int item) {
  MenuCallback callback;
  void* data = nullptr;
  std::string name;
  int panel = 0;
  {
    Store& store = TheStore();
    std::lock_guard lock(store.mutex);
    MenuBar* bar = nullptr;
    MenuItem* found = nullptr;
    if (const int missing = store.FindMenuItem(menuBar, item, bar, found); missing < 0) return missing;
    callback = found->callback;
    data = found->callbackData;
    name = found->callbackName;
    panel = bar->panel;
  }
  if (!callback) callback = Lookup(TheBindings().menus, name);
  if (callback) callback(menuBar, item, data, panel);
  return 0;
}

int UserCommit(int panel, int control) {
  int kind = 0;
  int status = CheckUsable(panel, control);
  if (status < 0) return status;
  status = ModifyControl(panel, control, [&kind](Control& target) {
    kind = target.kind;
    if (kind == CTRL_TOGGLE_BUTTON || kind == CTRL_BINARY_SWITCH || kind == CTRL_CHECK_BOX)
      target.number = target.number != 0.0 ? 0.0 : 1.0;
    return 0;
  });
  if (status < 0) return status;
  if (kind == CTRL_TOGGLE_BUTTON || kind == CTRL_BINARY_SWITCH || kind == CTRL_CHECK_BOX)
    DispatchControlEvent(panel, control, EVENT_VAL_CHANGED, 0, 0);
  return DispatchControlEvent(panel, control, EVENT_COMMIT, 0, 0);
}

static int ChangeThenCommit(int panel, int control, const std::function<int(Control&)>& change) {
  int status = CheckUsable(panel, control);
  if (status < 0) return status;
  status = ModifyControl(panel, control, change);
  if (status < 0) return status;
  DispatchControlEvent(panel, control, EVENT_VAL_CHANGED, 0, 0);
  return DispatchControlEvent(panel, control, EVENT_COMMIT, 0, 0);
}

int UserSetNumber(int panel, int control, double value) {
  return ChangeThenCommit(panel, control, [value](Control& target) { return SetControlNumber(target, value); });
}

int UserSetText(int panel, int control, const std::string& text) {
  return ChangeThenCommit(panel, control, [&text](Control& target) { return SetControlText(target, text); });
}

int UserSelectIndex(int panel, int control, int index) {
  return ChangeThenCommit(panel, control, [index](Control& target) {
    if (!HoldsList(target)) return UIE_WRONG_CONTROL_KIND;
    if (index < 0 || index >= static_cast<int>(target.items.size())) return UIE_INDEX_OUT_OF_RANGE;
    target.index = index;
    return 0;
  });
}

int UserKeyPress(int panel, int key) {
  const int shortcut = ShortcutControl(panel, key);
  if (shortcut < 0) return shortcut;
  if (shortcut > 0) return UserCommit(panel, shortcut);
  const int active = GetActiveCtrl(panel);
  if (active > 0 && DispatchControlEvent(panel, active, EVENT_KEYPRESS, key, 0) != 0) return 1;
  if (const int handled = DispatchPanelEvent(panel, EVENT_KEYPRESS, key, 0); handled != 0) return handled;
  // A key nobody took on a child panel (a toolbar, say) belongs to the window it sits in.
  int parent = 0;
  if (GetPanelAttribute(panel, ATTR_PANEL_PARENT, &parent) < 0 || parent <= 0) return 0;
  return UserKeyPress(parent, key);
}

int UserLeftClick(int panel, int control, int x, int y) {
  const int status = CheckUsable(panel, control);
  if (status < 0) return status;
  return DispatchControlEvent(panel, control, EVENT_LEFT_CLICK, y, x);
}

int UserFocus(int panel, int control) {
  const int status = ModifyPanel(panel, [control](Panel& target) {
    if (target.controls.count(control) == 0) return UIE_INVALID_CONTROL;
    target.activeControl = control;
    return 0;
  });
  if (status < 0) return status;
  return DispatchControlEvent(panel, control, EVENT_GOT_FOCUS, 0, 0);
}

int UserClose(int panel) { return DispatchPanelEvent(panel, EVENT_CLOSE, 0, 0); }

int UserResize(int panel, int height, int width) {
  if (height < 0 || width < 0) return UIE_INVALID_VALUE;
  const int status = ModifyPanel(panel, [&](Panel& target) {
    target.height = height;
    target.width = width;
    return 0;
  });
  if (status < 0) return status;
  return DispatchPanelEvent(panel, EVENT_PANEL_SIZE, 0, 0);
}

int UserMoveMarker(int panel, int control, int top, int left, bool released) {
  int status = CheckUsable(panel, control);
  if (status < 0) return status;
  int newTop = 0, newLeft = 0;
  status = ModifyControl(panel, control, [&](Control& target) {
    if (target.kind != CTRL_MARKER) return UIE_WRONG_CONTROL_KIND;
    if (target.dragAxis != VAL_DRAG_HORIZONTAL) target.top = top;
    if (target.dragAxis != VAL_DRAG_VERTICAL) target.left = left;
    newTop = target.top;
    newLeft = target.left;
    return 0;
  });
  if (status < 0) return status;
  return DispatchControlEvent(panel, control, released ? EVENT_DROPPED : EVENT_DROP, newTop, newLeft);
}

int UserMoveCursor(int panel, int control, int cursor, double x, double y, bool released) {
  int status = CheckUsable(panel, control);
  if (status < 0) return status;
  status = ModifyGraph(panel, control, [&](Graph& graph) {
    if (cursor < 1 || cursor > static_cast<int>(graph.cursors.size())) return UIE_INVALID_CURSOR;
    Cursor& target = graph.cursors[static_cast<std::size_t>(cursor - 1)];
    if (!target.enabled) return UIE_NOT_AVAILABLE;
    target.x = x;
    target.y = y;
    ClampCursor(graph, target);
    graph.activeCursor = cursor;
    ++graph.cursorRevision;
    return 0;
  });
  if (status < 0) return status;
  return DispatchControlEvent(panel, control, released ? EVENT_COMMIT : EVENT_VAL_CHANGED, cursor, 0);
}

int UserChooseMenuItem(int menuBar, int item) {
  bool usable = false;
  {
    Store& store = TheStore();
    std::lock_guard lock(store.mutex);
    MenuBar* bar = nullptr;
    MenuItem* found = nullptr;
    if (const int missing = store.FindMenuItem(menuBar, item, bar, found); missing < 0) return missing;
    usable = !found->dimmed && !found->isMenu && !found->separator;
  }
  if (!usable) return UIE_NOT_AVAILABLE;
  return DispatchMenuEvent(menuBar, item);
}

void ResetBindings() {
  std::lock_guard lock(TheBindings().mutex);
  TheBindings().controls.clear();
  TheBindings().panels.clear();
  TheBindings().menus.clear();
  TheBindings().main = {};
  TheBindings().mainData = nullptr;
}

}  // namespace uimodel

void RegisterCallback(const char* name, CtrlCallback callback) {
  std::lock_guard lock(TheBindings().mutex);
  TheBindings().controls[name != nullptr ? name : ""] = std::move(callback);
}

void RegisterCallback(const char* name, PanelCallback callback) {
  std::lock_guard lock(TheBindings().mutex);
  TheBindings().panels[name != nullptr ? name : ""] = std::move(callback);
}

void RegisterCallback(const char* name, MenuCallback callback) {
  std::lock_guard lock(TheBindings().mutex);
  TheBindings().menus[name != nullptr ? name : ""] = std::move(callback);
}

bool CallbackRegistered(CallbackKind kind, const std::string& name) {
  switch (kind) {
    case CallbackKind::Control: return static_cast<bool>(Lookup(TheBindings().controls, name));
    case CallbackKind::Panel: return static_cast<bool>(Lookup(TheBindings().panels, name));
    case CallbackKind::Menu: return static_cast<bool>(Lookup(TheBindings().menus, name));
  }
  return false;
}

int InstallCtrlCallback(int panel, int control, CtrlCallback callback, void* callbackData) {
  return ModifyControl(panel, control, [&](Control& target) {
    target.callback = std::move(callback);
    target.callbackData = callbackData;
    return 0;
  });
}

int InstallPanelCallback(int panel, PanelCallback callback, void* callbackData) {
  return ModifyPanel(panel, [&](Panel& target) {
    target.callback = std::move(callback);
    target.callbackData = callbackData;
    return 0;
  });
}

int InstallMainCallback(CtrlCallback callback, void* callbackData, int) {
  std::lock_guard lock(TheBindings().mutex);
  TheBindings().main = std::move(callback);
  TheBindings().mainData = callbackData;
  return 0;
}

int CallCtrlCallback(int panel, int control, int event, int eventData1, int eventData2, int* result) {
  ControlBinding binding;
  const int status = FindControlBinding(panel, control, &binding);
  if (status < 0) return status;
  int returned = 0;
  if (binding.callback) returned = binding.callback(panel, control, event, binding.data, eventData1, eventData2);
  if (result != nullptr) *result = returned;
  return 0;
}

int RunUserInterface() { return CurrentFrontend().RunUserInterface(); }

int QuitUserInterface(int returnCode) {
  CurrentFrontend().QuitUserInterface(returnCode);
  return 0;
}

int ProcessDrawEvents() {
  CurrentFrontend().ProcessDrawEvents();
  return 0;
}

int ProcessSystemEvents() {
  CurrentFrontend().PumpEvents(false);
  return 0;
}

int PostDeferredCall(DeferredCallback callback, void* callbackData) {
  if (!callback) return UIE_NULL_POINTER;
  CurrentFrontend().PostDeferredCall([callback = std::move(callback), callbackData] { callback(callbackData); });
  return 0;
}

int GetUserEvent(int wait, int* panel, int* control) {
  if (panel == nullptr || control == nullptr) return UIE_NULL_POINTER;
  auto take = [&]() {
    Store& store = TheStore();
    std::lock_guard lock(store.mutex);
    if (store.userEvents.empty()) return 0;
    const UserEvent next = store.userEvents.front();
    store.userEvents.pop_front();
    *panel = next.panel;
    *control = next.control;
    return next.event;
  };
  for (;;) {
    if (const int event = take(); event != 0) return event;
    const bool more = CurrentFrontend().PumpEvents(wait != 0);
    if (const int event = take(); event != 0) return event;
    if (wait == 0) return 0;
    if (!more) return UIE_NO_EVENT;
  }
}
