#include "platform/ui/Model.h"

#include <algorithm>
#include <cmath>

#include "platform/ui/Frontend.h"

namespace uimodel {

Store& TheStore() {
  static Store store;
  return store;
}

Panel* Store::FindPanel(int panel) {
  const auto found = panels.find(panel);
  return found == panels.end() ? nullptr : &found->second;
}

Control* Store::FindControl(int panel, int control) {
  Panel* owner = FindPanel(panel);
  if (owner == nullptr) return nullptr;
  const auto found = owner->controls.find(control);
  return found == owner->controls.end() ? nullptr : &found->second;
}

MenuBar* Store::FindMenuBar(int menuBar) {
  const auto found = menuBars.find(menuBar);
  return found == menuBars.end() ? nullptr : &found->second;
}

int Store::FindMenuItem(int menuBar, int item, MenuBar*& bar, MenuItem*& found) {
  bar = FindMenuBar(menuBar);
  if (bar == nullptr) return UIE_INVALID_MENU_BAR;
  const auto entry = bar->items.find(item);
  if (entry == bar->items.end()) return UIE_INVALID_MENU_ITEM;
  found = &entry->second;
  return 0;
}

void Store::MarkAll() {
  for (const auto& [handle, panel] : panels) MarkPanel(handle);
  for (const auto& [handle, bar] : menuBars) changes.menuBars.insert(handle);
  MarkGlobals();
}

ChangeSet Store::TakeChanges() {
  ChangeSet taken;
  std::swap(taken, changes);
  return taken;
}

void Store::ErasePanel(int panel) {
  std::vector<int> children;
  for (const auto& [handle, candidate] : panels)
    if (candidate.parent == panel) children.push_back(handle);
  for (int child : children) ErasePanel(child);
  const Panel* gone = FindPanel(panel);
  if (gone == nullptr) return;
  if (gone->menuBar != 0) {
    menuBars.erase(gone->menuBar);
    changes.menuBars.insert(gone->menuBar);
  }
  panels.erase(panel);
  std::erase(globals.popups, panel);
  ForgetUserEvents(panel);
  if (globals.activePanel == panel) globals.activePanel = 0;
  MarkPanel(panel);
  MarkGlobals();
}

void Store::ForgetUserEvents(int panel) {
  std::erase_if(userEvents, [panel](const UserEvent& event) { return event.panel == panel; });
}

void Store::Clear() {
  for (const auto& [handle, panel] : panels) MarkPanel(handle);
  for (const auto& [handle, bar] : menuBars) changes.menuBars.insert(handle);
  panels.clear();
  menuBars.clear();
  bitmaps.clear();
  userEvents.clear();
  globals = Globals{};
  MarkGlobals();
}

void NotifyChanged(bool urgent) { CurrentFrontend().Wake(urgent); }

int ModifyControl(int panel, int control, const std::function<int(Control&)>& change, bool urgent) {
  Store& store = TheStore();
  int status;
  {
    std::lock_guard lock(store.mutex);
    Control* target = store.FindControl(panel, control);
    if (target == nullptr) return store.FindPanel(panel) == nullptr ? UIE_INVALID_PANEL : UIE_INVALID_CONTROL;
    status = change(*target);
    if (status < 0) return status;
    store.MarkControl(panel, control);
  }
  NotifyChanged(urgent);
  return status;
}

int ReadControl(int panel, int control, const std::function<int(const Control&)>& read) {
  Store& store = TheStore();
  std::lock_guard lock(store.mutex);
  const Control* target = store.FindControl(panel, control);
  if (target == nullptr) return store.FindPanel(panel) == nullptr ? UIE_INVALID_PANEL : UIE_INVALID_CONTROL;
  return read(*target);
}

int ModifyPanel(int panel, const std::function<int(Panel&)>& change) {
  Store& store = TheStore();
  int status;
  {
    std::lock_guard lock(store.mutex);
    Panel* target = store.FindPanel(panel);
    if (target == nullptr) return UIE_INVALID_PANEL;
    status = change(*target);
    if (status < 0) return status;
    store.MarkPanel(panel);
  }
  NotifyChanged(true);
  return status;
}

int ReadPanel(int panel, const std::function<int(const Panel&)>& read) {
  Store& store = TheStore();
  std::lock_guard lock(store.mutex);
  const Panel* target = store.FindPanel(panel);
  if (target == nullptr) return UIE_INVALID_PANEL;
  return read(*target);
}

int ModifyGraph(int panel, int control, const std::function<int(Graph&)>& change, bool urgent) {
  return ModifyControl(
      panel, control,
      [&](Control& target) { return target.graph ? change(*target.graph) : UIE_WRONG_CONTROL_KIND; }, urgent);
}

int ReadGraph(int panel, int control, const std::function<int(const Graph&)>& read) {
  return ReadControl(panel, control,
                     [&](const Control& target) { return target.graph ? read(*target.graph) : UIE_WRONG_CONTROL_KIND; });
}

PlotArea ComputePlotArea(const Control& graph) {
  constexpr int kYLabelWidth = 44, kXLabelHeight = 16;
  PlotArea area;
  if (!graph.graph) return area;
  const Graph& g = *graph.graph;
  area.left = g.marginLeft + (g.y.labels ? kYLabelWidth : 0);
  area.top = g.marginTop + (g.y.labels || g.x.labels ? kXLabelHeight / 2 : 0);
  const int right = g.marginRight + (g.x.labels ? kXLabelHeight : 0);
  const int bottom = g.marginBottom + (g.x.labels ? kXLabelHeight : 0);
  area.width = std::max(0, graph.width - area.left - right);
  area.height = std::max(0, graph.height - area.top - bottom);
  return area;
}

std::pair<double, double> EffectiveRange(const Graph& graph, bool xAxis) {
  const Axis& axis = xAxis ? graph.x : graph.y;
  if (axis.mode != VAL_AUTOSCALE) return {axis.min, axis.max};
  bool any = false;
  double low = 0, high = 0;
  for (const Plot& plot : graph.plots) {
    const double plotLow = xAxis ? plot.points->minX : plot.points->minY;
    const double plotHigh = xAxis ? plot.points->maxX : plot.points->maxY;
    low = any ? std::min(low, plotLow) : plotLow;
    high = any ? std::max(high, plotHigh) : plotHigh;
    any = true;
  }
  if (!any) return {axis.min, axis.max};
  if (high <= low) return {low - 1.0, high + 1.0};
  return {low, high};
}

void ClampCursor(const Graph& graph, Cursor& cursor) {
  const auto [xLow, xHigh] = EffectiveRange(graph, true);
  const auto [yLow, yHigh] = EffectiveRange(graph, false);
  cursor.x = std::clamp(cursor.x, std::min(xLow, xHigh), std::max(xLow, xHigh));
  cursor.y = std::clamp(cursor.y, std::min(yLow, yHigh), std::max(yLow, yHigh));
}

int TextWidthEstimate(const std::string& text, int pointSize) {
  std::size_t longest = 0, current = 0;
  for (char c : text) {
    if (c == '\n' || c == '\r') {
      longest = std::max(longest, current);
      current = 0;
    } else {
      ++current;
    }
  }
  longest = std::max(longest, current);
  const double perChar = 7.0 * (pointSize > 0 ? pointSize : 9) / 9.0;
  return static_cast<int>(std::ceil(perChar * static_cast<double>(longest))) + 4;
}

Control MakeControl(int kind) {
  Control control;
  control.kind = kind;
  switch (kind) {
    case CTRL_NUMERIC: control.width = 70; control.height = 20; break;
    case CTRL_RING: control.width = 90; control.height = 20; break;
    case CTRL_TEXT_MSG: control.width = 60; control.height = 16; control.labelVisible = false; break;
    case CTRL_TEXT_BOX: control.width = 200; control.height = 80; break;
    case CTRL_STRING: control.width = 150; control.height = 20; break;
    case CTRL_LIST_BOX: control.width = 150; control.height = 100; break;
    case CTRL_BINARY_SWITCH: control.width = 60; control.height = 24; break;
    case CTRL_TOGGLE_BUTTON:
    case CTRL_COMMAND_BUTTON: control.width = 80; control.height = 24; control.labelVisible = true; break;
    case CTRL_CHECK_BOX: control.width = 120; control.height = 18; break;
    case CTRL_LED: control.width = 16; control.height = 16; break;
    case CTRL_PICTURE: control.width = 32; control.height = 32; control.labelVisible = false; break;
    case CTRL_DECORATION: control.width = 100; control.height = 2; control.labelVisible = false; break;
    case CTRL_MARKER:
      control.width = 10; control.height = 7; control.labelVisible = false; control.frameColor = VAL_RED;
      break;
    case CTRL_GRAPH:
      control.width = 400; control.height = 300; control.labelVisible = false;
      control.graph.emplace();
      break;
    default: break;
  }
  return control;
}

bool HoldsText(const Control& control) {
  return control.kind == CTRL_TEXT_MSG || control.kind == CTRL_TEXT_BOX || control.kind == CTRL_STRING;
}

bool HoldsList(const Control& control) { return control.kind == CTRL_RING || control.kind == CTRL_LIST_BOX; }

static bool IsSwitch(int kind) {
  return kind == CTRL_BINARY_SWITCH || kind == CTRL_TOGGLE_BUTTON || kind == CTRL_CHECK_BOX || kind == CTRL_LED;
}

double NumericValue(const Control& control) {
  if (HoldsList(control)) {
    if (control.index < 0 || control.index >= static_cast<int>(control.items.size())) return 0.0;
    return control.items[static_cast<std::size_t>(control.index)].value;
  }
  return control.number;
}

int SetControlNumber(Control& control, double value) {
  if (!std::isfinite(value)) return UIE_INVALID_VALUE;
  if (HoldsList(control)) {
    for (std::size_t i = 0; i < control.items.size(); ++i) {
      if (control.items[i].value == value) {
        control.index = static_cast<int>(i);
        return 0;
      }
    }
    return UIE_INVALID_VALUE;
  }
  if (control.kind == CTRL_NUMERIC) {
    control.number = std::clamp(value, std::min(control.min, control.max), std::max(control.min, control.max));
    return 0;
  }
  if (IsSwitch(control.kind)) {
    control.number = value != 0.0 ? 1.0 : 0.0;
    return 0;
  }
  if (control.kind == CTRL_MARKER || control.kind == CTRL_PICTURE || control.kind == CTRL_DECORATION) {
    control.number = value;
    return 0;
  }
  return UIE_WRONG_CONTROL_KIND;
}

int SetControlText(Control& control, const std::string& text) {
  if (HoldsText(control)) {
    control.text = text;
    if (control.sizeToText) control.width = TextWidthEstimate(text, control.pointSize);
    return 0;
  }
  if (control.kind == CTRL_COMMAND_BUTTON || control.kind == CTRL_TOGGLE_BUTTON) {
    control.label = text;
    return 0;
  }
  if (control.kind == CTRL_PICTURE) {
    control.imageFile = text;
    return 0;
  }
  return UIE_WRONG_CONTROL_KIND;
}

}  // namespace uimodel
