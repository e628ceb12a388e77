#include "platform/ui/PanelFile.h"

#include <algorithm>
#include <fstream>
#include <map>
#include <set>
#include <sstream>

#include <nlohmann/json.hpp>

namespace uimodel {

using nlohmann::json;

namespace {

// Thrown inside this file only: a malformed file; caught by ParsePanelFile.
struct FormatError {
  std::string reason;
};

[[noreturn]] void Fail(const std::string& where, const std::string& what) { throw FormatError{where + ": " + what}; }

void CheckKeys(const json& object, const std::string& where, std::initializer_list<const char*> allowed) {
  if (!object.is_object()) Fail(where, "not an object");
  for (const auto& [key, value] : object.items()) {
    bool known = false;
    for (const char* name : allowed) known = known || key == name;
    if (!known) Fail(where, "unknown key \"" + key + "\"");
  }
}

std::string Text(const json& object, const char* key, const std::string& where, const std::string& fallback = "") {
  if (!object.contains(key)) return fallback;
  if (!object[key].is_string()) Fail(where, std::string(key) + " must be a text");
  return Utf8ToLatin1(object[key].get<std::string>());
}

std::string RequiredText(const json& object, const char* key, const std::string& where) {
  if (!object.contains(key)) Fail(where, std::string("missing ") + key);
  return Text(object, key, where);
}

int Integer(const json& object, const char* key, const std::string& where, int fallback) {
  if (!object.contains(key)) return fallback;
  if (!object[key].is_number_integer()) Fail(where, std::string(key) + " must be an integer");
  return object[key].get<int>();
}

int RequiredInteger(const json& object, const char* key, const std::string& where) {
  if (!object.contains(key)) Fail(where, std::string("missing ") + key);
  return Integer(object, key, where, 0);
}

double Number(const json& object, const char* key, const std::string& where, double fallback) {
  if (!object.contains(key)) return fallback;
  if (!object[key].is_number()) Fail(where, std::string(key) + " must be a number");
  return object[key].get<double>();
}

bool Flag(const json& object, const char* key, const std::string& where, bool fallback) {
  if (!object.contains(key)) return fallback;
  if (!object[key].is_boolean()) Fail(where, std::string(key) + " must be true or false");
  return object[key].get<bool>();
}

// Colours: 0xRRGGBB as a number or as a "0xRRGGBB" text, or "transparent".
int Colour(const json& object, const char* key, const std::string& where, int fallback) {
  if (!object.contains(key)) return fallback;
  const json& value = object[key];
  if (value.is_number_integer()) {
    const int colour = value.get<int>();
    if (colour < 0 || colour > 0xFFFFFF) Fail(where, std::string(key) + " out of range");
    return colour;
  }
  if (value.is_string()) {
    const std::string text = value.get<std::string>();
    if (text == "transparent") return VAL_TRANSPARENT;
    if (text.size() == 8 && text.rfind("0x", 0) == 0 &&
        text.find_first_not_of("0123456789abcdefABCDEF", 2) == std::string::npos)
      return std::stoi(text.substr(2), nullptr, 16);
  }
  Fail(where, std::string(key) + " must be a colour 0xRRGGBB");
}

int Choice(const json& object, const char* key, const std::string& where, const std::map<std::string, int>& choices,
           int fallback) {
  if (!object.contains(key)) return fallback;
  const std::string text = Text(object, key, where);
  const auto found = choices.find(text);
  if (found == choices.end()) Fail(where, std::string(key) + " has an unknown value \"" + text + "\"");
  return found->second;
}

int KeyCode(const json& object, const std::string& where) {
  if (!object.contains("shortcut")) return 0;
  const std::string text = Text(object, "shortcut", where);
  if (text.size() >= 2 && text[0] == 'F') {
    const int number = std::atoi(text.c_str() + 1);
    if (number >= 1 && number <= 12) return VAL_F1_VKEY + (number - 1) * 0x100;
  }
  if (text.size() == 1) return static_cast<unsigned char>(text[0]);
  Fail(where, "shortcut must be F1..F12 or one character");
}

const std::map<std::string, int>& KindNames() {
  static const std::map<std::string, int> kinds = {
      {"numeric", CTRL_NUMERIC},       {"ring", CTRL_RING},
      {"textMessage", CTRL_TEXT_MSG},  {"textBox", CTRL_TEXT_BOX},
      {"string", CTRL_STRING},         {"listBox", CTRL_LIST_BOX},
      {"binarySwitch", CTRL_BINARY_SWITCH}, {"toggleButton", CTRL_TOGGLE_BUTTON},
      {"checkBox", CTRL_CHECK_BOX},    {"commandButton", CTRL_COMMAND_BUTTON},
      {"led", CTRL_LED},               {"picture", CTRL_PICTURE},
      {"decoration", CTRL_DECORATION}, {"marker", CTRL_MARKER},
      {"graph", CTRL_GRAPH}};
  return kinds;
}

void ReadAxis(const json& object, const char* key, const std::string& where, Axis& axis) {
  if (!object.contains(key)) return;
  const std::string at = where + "." + key;
  CheckKeys(object[key], at, {"min", "max", "divisions", "grid", "labels", "autoscale"});
  const json& node = object[key];
  axis.min = Number(node, "min", at, axis.min);
  axis.max = Number(node, "max", at, axis.max);
  axis.divisions = Integer(node, "divisions", at, axis.divisions);
  axis.grid = Flag(node, "grid", at, axis.grid);
  axis.labels = Flag(node, "labels", at, axis.labels);
  axis.mode = Flag(node, "autoscale", at, false) ? VAL_AUTOSCALE : VAL_MANUAL;
  if (axis.min == axis.max) Fail(at, "empty range");
  if (axis.divisions < 1 || axis.divisions > 100) Fail(at, "divisions out of range");
}

void ReadCursors(const json& object, const std::string& where, Graph& graph) {
  if (!object.contains("cursors")) return;
  if (!object["cursors"].is_array()) Fail(where, "cursors must be a list");
  static const std::map<std::string, int> points = {
      {"none", VAL_NO_POINT},           {"emptySquare", VAL_EMPTY_SQUARE}, {"solidSquare", VAL_SOLID_SQUARE},
      {"emptyCircle", VAL_EMPTY_CIRCLE}, {"solidCircle", VAL_SOLID_CIRCLE}, {"emptyTriangle", VAL_EMPTY_TRIANGLE},
      {"solidDiamond", VAL_SOLID_DIAMOND}};
  static const std::map<std::string, int> crosses = {
      {"long", VAL_LONG_CROSS}, {"short", VAL_SHORT_CROSS}, {"none", VAL_NO_CROSS}};
  static const std::map<std::string, int> looks = {{"normal", VAL_CURSOR_NORMAL}, {"clamped", VAL_CURSOR_CLAMPED}};
  for (const json& node : object["cursors"]) {
    const std::string at = where + ".cursors[" + std::to_string(graph.cursors.size()) + "]";
    CheckKeys(node, at, {"color", "pointStyle", "crossHair", "mode", "enabled", "x", "y"});
    Cursor cursor;
    cursor.color = Colour(node, "color", at, cursor.color);
    cursor.pointStyle = Choice(node, "pointStyle", at, points, cursor.pointStyle);
    cursor.crossHair = Choice(node, "crossHair", at, crosses, cursor.crossHair);
    cursor.mode = Choice(node, "mode", at, looks, cursor.mode);
    cursor.enabled = Flag(node, "enabled", at, cursor.enabled);
    cursor.x = Number(node, "x", at, (graph.x.min + graph.x.max) / 2.0);
    cursor.y = Number(node, "y", at, (graph.y.min + graph.y.max) / 2.0);
    ClampCursor(graph, cursor);
    graph.cursors.push_back(cursor);
  }
  graph.activeCursor = graph.cursors.empty() ? 0 : 1;
}

void ReadGraph(const json& node, const std::string& where, Control& control) {
  Graph& graph = *control.graph;
  ReadAxis(node, "xAxis", where, graph.x);
  ReadAxis(node, "yAxis", where, graph.y);
  graph.plotBackColor = Colour(node, "plotBackColor", where, graph.plotBackColor);
  graph.gridColor = Colour(node, "gridColor", where, graph.gridColor);
  if (node.contains("plotMargins")) {
    const std::string at = where + ".plotMargins";
    CheckKeys(node["plotMargins"], at, {"top", "left", "bottom", "right"});
    const json& margins = node["plotMargins"];
    graph.marginTop = Integer(margins, "top", at, graph.marginTop);
    graph.marginLeft = Integer(margins, "left", at, graph.marginLeft);
    graph.marginBottom = Integer(margins, "bottom", at, graph.marginBottom);
    graph.marginRight = Integer(margins, "right", at, graph.marginRight);
    if (std::min({graph.marginTop, graph.marginLeft, graph.marginBottom, graph.marginRight}) < 0)
      Fail(at, "negative margin");
  }
  ReadCursors(node, where, graph);
}

void ReadItems(const json& node, const std::string& where, Control& control) {
  if (!node.contains("items")) return;
  if (!HoldsList(control)) Fail(where, "items on a control that is not a ring or list");
  if (!node["items"].is_array()) Fail(where, "items must be a list");
  for (const json& item : node["items"]) {
    const std::string at = where + ".items[" + std::to_string(control.items.size()) + "]";
    CheckKeys(item, at, {"label", "value"});
    control.items.push_back({Text(item, "label", at), Number(item, "value", at, 0.0)});
  }
  control.index = control.items.empty() ? -1 : 0;
}

void ReadValue(const json& node, const std::string& where, Control& control) {
  if (node.contains("index")) {
    const int index = Integer(node, "index", where, 0);
    if (!HoldsList(control) || index < 0 || index >= static_cast<int>(control.items.size()))
      Fail(where, "index out of range");
    control.index = index;
  }
  if (!node.contains("value")) return;
  const int status = node["value"].is_string() ? SetControlText(control, Text(node, "value", where))
                                               : SetControlNumber(control, Number(node, "value", where, 0.0));
  if (status < 0) Fail(where, "value does not suit the control");
}

// Knobs turn through a ring's items or a numeric's range; the edge pictures
// stand in for a button's text; a frame is a decoration's outline.
ControlStyle ReadStyle(const json& node, const std::string& where, int kind) {
  static const std::map<std::string, int> styles = {{"standard", static_cast<int>(ControlStyle::Standard)},
                                                    {"knob", static_cast<int>(ControlStyle::Knob)},
                                                    {"risingEdge", static_cast<int>(ControlStyle::RisingEdge)},
                                                    {"fallingEdge", static_cast<int>(ControlStyle::FallingEdge)},
                                                    {"frame", static_cast<int>(ControlStyle::Frame)}};
  const auto style = static_cast<ControlStyle>(Choice(node, "style", where, styles, 0));
  const bool button = kind == CTRL_COMMAND_BUTTON || kind == CTRL_TOGGLE_BUTTON;
  if (style == ControlStyle::Knob && kind != CTRL_RING && kind != CTRL_NUMERIC)
    Fail(where, "only rings and numerics can be knobs");
  if ((style == ControlStyle::RisingEdge || style == ControlStyle::FallingEdge) && !button)
    Fail(where, "only buttons can show an edge");
  if (style == ControlStyle::Frame && kind != CTRL_DECORATION) Fail(where, "only decorations can be frames");
  return style;
}

Control ReadControlNode(const json& node, const std::string& panelWhere, std::size_t position) {
  const std::string at = panelWhere + ".controls[" + std::to_string(position) + "]";
  CheckKeys(node, at,
            {"kind", "name", "id", "top", "left", "width", "height", "label", "labelVisible", "visible", "dimmed",
             "value", "items", "index", "min", "max", "increment", "precision", "textColor", "textBackColor",
             "frameColor", "onColor", "offColor", "onText", "offText", "pointSize", "bold", "justify", "tooltip",
             "callback", "mode", "image", "shortcut", "sizeToText", "dragAxis", "xAxis", "yAxis", "plotBackColor",
             "gridColor", "plotMargins", "cursors", "style"});
  if (!node.contains("kind")) Fail(at, "missing kind");
  Control control = MakeControl(Choice(node, "kind", at, KindNames(), 0));
  control.name = RequiredText(node, "name", at);
  const std::string where = panelWhere + "." + control.name;
  control.id = RequiredInteger(node, "id", where);
  if (control.id < 1) Fail(where, "id must be at least 1");
  control.top = Integer(node, "top", where, control.top);
  control.left = Integer(node, "left", where, control.left);
  control.width = Integer(node, "width", where, control.width);
  control.height = Integer(node, "height", where, control.height);
  if (control.width < 0 || control.height < 0) Fail(where, "negative size");
  control.label = Text(node, "label", where);
  control.labelVisible = Flag(node, "labelVisible", where, control.labelVisible && !control.label.empty());
  control.visible = Flag(node, "visible", where, true);
  control.dimmed = Flag(node, "dimmed", where, false);
  control.min = Number(node, "min", where, control.min);
  control.max = Number(node, "max", where, control.max);
  control.increment = Number(node, "increment", where, control.increment);
  control.precision = Integer(node, "precision", where, control.precision);
  control.textColor = Colour(node, "textColor", where, control.textColor);
  control.textBackColor = Colour(node, "textBackColor", where, control.textBackColor);
  control.frameColor = Colour(node, "frameColor", where, control.frameColor);
  control.onColor = Colour(node, "onColor", where, control.onColor);
  control.offColor = Colour(node, "offColor", where, control.offColor);
  control.onText = Text(node, "onText", where, control.onText);
  control.offText = Text(node, "offText", where, control.offText);
  control.pointSize = Integer(node, "pointSize", where, 0);
  control.bold = Flag(node, "bold", where, false);
  control.justify = Choice(node, "justify", where,
                           {{"left", VAL_LEFT_JUSTIFIED}, {"center", VAL_CENTER_JUSTIFIED}, {"right", VAL_RIGHT_JUSTIFIED}},
                           control.justify);
  control.tooltip = Text(node, "tooltip", where);
  control.callbackName = Text(node, "callback", where);
  control.mode = Choice(node, "mode", where, {{"normal", VAL_NORMAL}, {"indicator", VAL_INDICATOR}, {"hot", VAL_HOT}},
                        control.mode);
  control.imageFile = Text(node, "image", where);
  control.shortcutKey = KeyCode(node, where);
  control.sizeToText = Flag(node, "sizeToText", where, false);
  control.dragAxis = Choice(node, "dragAxis", where,
                            {{"vertical", VAL_DRAG_VERTICAL}, {"horizontal", VAL_DRAG_HORIZONTAL}, {"free", VAL_DRAG_FREE}},
                            control.dragAxis);
  control.style = ReadStyle(node, where, control.kind);
  ReadItems(node, where, control);
  ReadValue(node, where, control);
  if (control.sizeToText) control.width = TextWidthEstimate(control.text, control.pointSize);
  if (control.graph) ReadGraph(node, where, control);
  else if (node.contains("xAxis") || node.contains("yAxis") || node.contains("cursors") || node.contains("plotMargins"))
    Fail(where, "graph keys on a control that is not a graph");
  return control;
}

Panel ReadPanelNode(const json& node, std::size_t position) {
  const std::string at = "panels[" + std::to_string(position) + "]";
  CheckKeys(node, at,
            {"name", "resource", "title", "top", "left", "height", "width", "backColor", "sizable", "floating", "callback",
             "controls"});
  Panel panel;
  panel.name = RequiredText(node, "name", at);
  const std::string where = panel.name;
  panel.resource = RequiredInteger(node, "resource", where);
  if (panel.resource < 1) Fail(where, "resource must be at least 1");
  panel.title = Text(node, "title", where);
  panel.top = Integer(node, "top", where, panel.top);
  panel.left = Integer(node, "left", where, panel.left);
  panel.height = RequiredInteger(node, "height", where);
  panel.width = RequiredInteger(node, "width", where);
  if (panel.height < 1 || panel.width < 1) Fail(where, "size must be positive");
  panel.backColor = Colour(node, "backColor", where, panel.backColor);
  panel.sizable = Flag(node, "sizable", where, panel.sizable);
  panel.floating = Flag(node, "floating", where, panel.floating);
  panel.callbackName = Text(node, "callback", where);
  if (node.contains("controls") && !node["controls"].is_array()) Fail(where, "controls must be a list");
  std::set<std::string> names;
  for (const json& controlNode : node.value("controls", json::array())) {
    Control control = ReadControlNode(controlNode, where, panel.controls.size());
    if (!names.insert(control.name).second) Fail(where, "duplicate control name " + control.name);
    if (panel.controls.count(control.id) != 0) Fail(where, "duplicate control id " + std::to_string(control.id));
    panel.nextControlId = std::max(panel.nextControlId, control.id + 1);
    control.tabPosition = panel.nextTabPosition++;
    panel.controls.emplace(control.id, std::move(control));
  }
  return panel;
}

void ReadMenuItems(const json& list, const std::string& where, MenuBar& bar, std::vector<int>& into) {
  if (!list.is_array()) Fail(where, "items must be a list");
  for (const json& node : list) {
    const std::string at = where + "[" + std::to_string(into.size()) + "]";
    CheckKeys(node, at, {"name", "id", "text", "callback", "checked", "dimmed", "separator", "items"});
    MenuItem item;
    item.separator = Flag(node, "separator", at, false);
    item.id = RequiredInteger(node, "id", at);
    if (item.id < 1) Fail(at, "id must be at least 1");
    item.name = item.separator ? Text(node, "name", at) : RequiredText(node, "name", at);
    item.text = Text(node, "text", at);
    item.callbackName = Text(node, "callback", at);
    item.checked = Flag(node, "checked", at, false);
    item.dimmed = Flag(node, "dimmed", at, false);
    if (bar.items.count(item.id) != 0) Fail(at, "duplicate menu id " + std::to_string(item.id));
    for (const auto& [id, other] : bar.items)
      if (!item.name.empty() && other.name == item.name) Fail(at, "duplicate menu name " + item.name);
    into.push_back(item.id);
    const int id = item.id;
    item.isMenu = node.contains("items");
    bar.items.emplace(id, item);
    if (node.contains("items")) {
      std::vector<int> children;
      ReadMenuItems(node["items"], at + "." + bar.items[id].name, bar, children);
      bar.items[id].children = children;
    }
  }
}

MenuBar ReadMenuBarNode(const json& node, std::size_t position) {
  const std::string at = "menuBars[" + std::to_string(position) + "]";
  CheckKeys(node, at, {"name", "resource", "menus"});
  MenuBar bar;
  bar.name = RequiredText(node, "name", at);
  bar.resource = RequiredInteger(node, "resource", bar.name);
  if (bar.resource < 1) Fail(bar.name, "resource must be at least 1");
  if (!node.contains("menus")) Fail(bar.name, "missing menus");
  ReadMenuItems(node["menus"], bar.name, bar, bar.menus);
  return bar;
}

void ReadContent(const json& document, PanelFileContent& content) {
  CheckKeys(document, "file", {"panels", "menuBars"});
  std::set<std::string> names;
  std::set<int> resources;
  auto claim = [&](const std::string& name, int resource) {
    if (!names.insert(name).second) Fail(name, "duplicate name");
    if (!resources.insert(resource).second) Fail(name, "duplicate resource number " + std::to_string(resource));
  };
  if (document.contains("panels") && !document["panels"].is_array()) Fail("file", "panels must be a list");
  if (document.contains("menuBars") && !document["menuBars"].is_array()) Fail("file", "menuBars must be a list");
  for (const json& node : document.value("panels", json::array())) {
    content.panels.push_back(ReadPanelNode(node, content.panels.size()));
    claim(content.panels.back().name, content.panels.back().resource);
  }
  for (const json& node : document.value("menuBars", json::array())) {
    content.menuBars.push_back(ReadMenuBarNode(node, content.menuBars.size()));
    claim(content.menuBars.back().name, content.menuBars.back().resource);
  }
}

}  // namespace

std::string Utf8ToLatin1(const std::string& utf8) {
  std::string out;
  out.reserve(utf8.size());
  for (std::size_t i = 0; i < utf8.size();) {
    const auto lead = static_cast<unsigned char>(utf8[i]);
    std::size_t length = lead < 0x80 ? 1 : (lead >> 5) == 0x6 ? 2 : (lead >> 4) == 0xE ? 3 : 4;
    if (i + length > utf8.size()) length = utf8.size() - i;
    if (length == 1) {
      out.push_back(static_cast<char>(lead));
    } else if (length == 2) {
      const unsigned code = ((lead & 0x1Fu) << 6) | (static_cast<unsigned char>(utf8[i + 1]) & 0x3Fu);
      out.push_back(code <= 0xFF ? static_cast<char>(code) : '?');
    } else {
      out.push_back('?');
    }
    i += length;
  }
  return out;
}

namespace {

// Runs `work`; a malformed file (our check or the JSON reader's) gives
// UIE_BAD_FILE_FORMAT with the reason in `error`.
template <class Work>
int ReportingFormatErrors(Work work, std::string* error) {
  try {
    work();
  } catch (const FormatError& failure) {
    if (error != nullptr) *error = failure.reason;
    return UIE_BAD_FILE_FORMAT;
  } catch (const json::exception& failure) {
    if (error != nullptr) *error = failure.what();
    return UIE_BAD_FILE_FORMAT;
  }
  return 0;
}

}  // namespace

int ParsePanelFile(const std::string& text, PanelFileContent* content, std::string* error) {
  PanelFileContent parsed;
  const int status = ReportingFormatErrors([&] { ReadContent(json::parse(text), parsed); }, error);
  if (status < 0) return status;
  if (content != nullptr) *content = std::move(parsed);
  return 0;
}

int ReadPanelFile(const std::string& path, PanelFileContent* content, std::string* error) {
  std::ifstream file(path, std::ios::binary);
  if (!file) {
    if (error != nullptr) *error = path + ": cannot be read";
    return UIE_FILE_NOT_FOUND;
  }
  std::ostringstream text;
  text << file.rdbuf();
  return ParsePanelFile(text.str(), content, error);
}

int MergePanelSources(const std::vector<std::string>& sources, std::string* merged, std::string* error) {
  json all = {{"panels", json::array()}, {"menuBars", json::array()}};
  const int joined = ReportingFormatErrors(
      [&] {
        for (const std::string& source : sources) {
          const json part = json::parse(source);
          CheckKeys(part, "file", {"panels", "menuBars"});
          for (const char* key : {"panels", "menuBars"})
            for (const json& entry : part.value(key, json::array())) all[key].push_back(entry);
        }
      },
      error);
  if (joined < 0) return joined;
  const std::string text = all.dump(1);
  const int status = ParsePanelFile(text, nullptr, error);
  if (status < 0) return status;
  if (merged != nullptr) *merged = text;
  return 0;
}

}  // namespace uimodel
