// The retained user-interface model: every panel, control, graph and menu bar
// lives here, independent of any toolkit. One mutex guards it all; the public
// calls lock it, change or read a few fields, record what changed and wake the
// front-end, which mirrors the changes on its own thread.
// Internal to platform/ui (the public calls are in the other headers).
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "platform/ui/UiConstants.h"

namespace uimodel {

struct ListItem {
  std::string label;
  double value = 0.0;
};

enum class PlotKind { Polygon, Rectangle, Polyline };

// Plot points never change after plotting; front-ends share them without copying.
struct PlotPoints {
  std::vector<double> x, y;
  double minX = 0, maxX = 0, minY = 0, maxY = 0;
};

struct Plot {
  int handle = 0;
  PlotKind kind = PlotKind::Polygon;
  std::shared_ptr<const PlotPoints> points;
  int color = VAL_WHITE;
  int fillColor = VAL_TRANSPARENT;
  bool visible = true;
  int thickness = 1;
};

struct Axis {
  double min = 0.0, max = 10.0;
  int mode = VAL_MANUAL;
  int divisions = 10;
  bool grid = true;
  bool labels = false;
};

struct Cursor {
  double x = 0.0, y = 0.0;
  int color = VAL_YELLOW;
  int pointStyle = VAL_EMPTY_SQUARE;
  int crossHair = VAL_LONG_CROSS;
  int mode = VAL_CURSOR_NORMAL;
  bool enabled = true;
};

struct Graph {
  Axis x{0.0, 10.0, VAL_MANUAL, 10, true, false};
  Axis y{0.0, 10.0, VAL_MANUAL, 8, true, false};
  int plotBackColor = VAL_BLACK;
  int gridColor = VAL_GRAY;
  int marginTop = 1, marginLeft = 1, marginBottom = 1, marginRight = 1;  // around the plot area
  std::vector<Plot> plots;  // drawing order: later plots on top
  int nextPlotHandle = 1;
  std::vector<Cursor> cursors;
  int activeCursor = 0;  // 1-based, 0 = none
  // Revisions let a front-end redraw only what changed: `plotRevision` moves on
  // every plot change, `layerRevision` only on changes that are not plain
  // additions on top (deletions, recolouring, axes, colours).
  std::uint64_t plotRevision = 1;
  std::uint64_t layerRevision = 1;
  std::uint64_t cursorRevision = 1;
};

struct PlotArea {
  int top = 0, left = 0, width = 0, height = 0;
};

// How a front-end draws a control; the kind alone decides its behaviour.
enum class ControlStyle {
  Standard,
  Knob,         // a ring or numeric turned like a dial
  RisingEdge,   // a button showing a rising signal edge instead of text
  FallingEdge,  // a button showing a falling signal edge instead of text
  Frame,        // a decoration drawn as an outline, the controls inside it showing through
};

struct Control {
  int id = 0;
  int kind = CTRL_TEXT_MSG;
  ControlStyle style = ControlStyle::Standard;
  int tabPosition = 0;  // keyboard focus order within the panel: the panel file's order
  std::string name;
  int top = 0, left = 0, width = 80, height = 20;
  std::string label;
  bool labelVisible = true;
  bool visible = true;
  bool dimmed = false;
  int textColor = VAL_BLACK;
  int textBackColor = VAL_TRANSPARENT;
  int frameColor = VAL_GRAY;
  int onColor = VAL_GREEN;
  int offColor = 0x004000;
  int pointSize = 0;  // 0 = the toolkit's default
  bool bold = false;
  int justify = VAL_LEFT_JUSTIFIED;
  std::string onText = "On", offText = "Off";
  std::string tooltip;
  std::string imageFile;
  int shortcutKey = 0;
  int mode = VAL_HOT;
  int dragAxis = VAL_DRAG_VERTICAL;
  bool sizeToText = false;
  // value: numbers for numerics, switches and rings; text for texts
  double number = 0.0;
  std::string text;
  double min = -1e300, max = 1e300, increment = 1.0;
  int precision = 2;
  std::vector<ListItem> items;
  int index = -1;
  // binding
  std::string callbackName;
  CtrlCallback callback;
  void* callbackData = nullptr;
  std::optional<Graph> graph;
};

struct Panel {
  int handle = 0;
  int resource = 0;
  std::string name;
  int parent = 0;
  std::string title;
  int top = 30, left = 30, height = 300, width = 400;
  bool visible = false;
  int backColor = VAL_PANEL_GRAY;
  bool sizable = true;
  bool floating = false;  // a tool window that stays above the program's other windows
  std::map<int, Control> controls;  // by id; also the stacking order (later ids on top)
  int nextControlId = 1;
  int nextTabPosition = 1;
  std::string callbackName;
  PanelCallback callback;
  void* callbackData = nullptr;
  int menuBar = 0;
  int activeControl = 0;
  bool popup = false;
};

struct MenuItem {
  int id = 0;
  std::string name;
  std::string text;
  bool isMenu = false;      // a menu or submenu: has children
  bool separator = false;
  bool checked = false;
  bool dimmed = false;
  std::vector<int> children;
  std::string callbackName;
  MenuCallback callback;
  void* callbackData = nullptr;
};

struct MenuBar {
  int handle = 0;
  int resource = 0;
  std::string name;
  int panel = 0;
  std::map<int, MenuItem> items;
  std::vector<int> menus;  // top-level menus and items, in bar order
};

struct Bitmap {
  int width = 0, height = 0;
  std::vector<std::uint32_t> pixels;  // 0xRRGGBB, row-major from the top
};

struct UserEvent {
  int event = 0, panel = 0, control = 0;
};

// What changed since a front-end last looked. Control 0 stands for the panel itself.
struct ChangeSet {
  std::set<std::pair<int, int>> controls;
  std::set<int> menuBars;
  bool globals = false;
  bool Empty() const { return controls.empty() && menuBars.empty() && !globals; }
};

struct Globals {
  bool waitCursor = false;
  int mouseCursor = VAL_DEFAULT_CURSOR;
  int activePanel = 0;
  std::vector<int> popups;  // modal pop-ups, the last on top
};

class Store {
 public:
  std::mutex mutex;
  std::map<int, Panel> panels;
  std::map<int, MenuBar> menuBars;
  std::map<int, Bitmap> bitmaps;
  std::deque<UserEvent> userEvents;
  Globals globals;
  ChangeSet changes;
  int nextPanelHandle = 1;
  int nextMenuBarHandle = 1;
  int nextBitmapHandle = 1;

  Panel* FindPanel(int panel);
  Control* FindControl(int panel, int control);
  MenuBar* FindMenuBar(int menuBar);
  // An item of a menu bar; 0, or UIE_INVALID_MENU_BAR / UIE_INVALID_MENU_ITEM
  // with nothing found. Caller holds the mutex.
  int FindMenuItem(int menuBar, int item, MenuBar*& bar, MenuItem*& found);
  void MarkControl(int panel, int control) { changes.controls.insert({panel, control}); }
  void MarkPanel(int panel) { changes.controls.insert({panel, 0}); }
  void MarkGlobals() { changes.globals = true; }
  // Everything counts as changed: a new front-end shows what exists already.
  void MarkAll();
  // Takes what changed, leaving nothing pending. Caller holds the mutex.
  ChangeSet TakeChanges();
  // Removes a panel, its children and its pop-up entry. Caller holds the mutex.
  void ErasePanel(int panel);
  // Drops the presses a pop-up panel left for GetUserEvent. Caller holds the mutex.
  void ForgetUserEvents(int panel);
  void Clear();
};

Store& TheStore();

// Runs `change` on a control under the lock; marks it changed when the result is
// not negative, then wakes the front-end (after unlocking).
int ModifyControl(int panel, int control, const std::function<int(Control&)>& change, bool urgent = true);
int ReadControl(int panel, int control, const std::function<int(const Control&)>& read);
int ModifyPanel(int panel, const std::function<int(Panel&)>& change);
int ReadPanel(int panel, const std::function<int(const Panel&)>& read);
// Graph variants: fail with UIE_WRONG_CONTROL_KIND on other controls.
int ModifyGraph(int panel, int control, const std::function<int(Graph&)>& change, bool urgent = true);
int ReadGraph(int panel, int control, const std::function<int(const Graph&)>& read);
// Wakes the front-end so it mirrors the recorded changes.
void NotifyChanged(bool urgent);

// Geometry shared by every front-end, so plot-area sizes agree everywhere.
PlotArea ComputePlotArea(const Control& graph);
// Axis range actually used (autoscale resolved from the plots).
std::pair<double, double> EffectiveRange(const Graph& graph, bool xAxis);
void ClampCursor(const Graph& graph, Cursor& cursor);
// Width of a sized-to-text message, estimated from its length (front-ends draw within it).
int TextWidthEstimate(const std::string& text, int pointSize);

// Creates a control of `kind` with the defaults of that kind.
Control MakeControl(int kind);

// Graph attributes set through SetCtrlAttribute (in Graphs.cpp); UIE_INVALID_ATTRIBUTE
// when `attribute` is not one of them.
int SetGraphControlAttribute(Control& control, int attribute, double value);
int GetGraphControlAttribute(const Control& control, int attribute, double* value);

// Value helpers (the control's value as the program sees it).
double NumericValue(const Control& control);
int SetControlNumber(Control& control, double value);
int SetControlText(Control& control, const std::string& text);
bool HoldsText(const Control& control);
bool HoldsList(const Control& control);

}  // namespace uimodel
