// The XY window's two cursors: they follow the main cursor mode and keep
// their places while they are off.
#include <array>
#include <string>

#include "display/Cursors.h"
#include "display/XYPanel.h"
#include "display/XYWindow.h"
#include "display/XYWindowParts.h"
#include "layout/PanelIds.h"
#include "link/InstrumentSetup.h"
#include "platform/ui/UserInterface.h"

std::atomic<int> XYCursor1{0};
std::atomic<int> XYCursor2{0};

namespace {

constexpr int kColumnWithReadouts = 128;
constexpr int kColumnWithoutReadouts = -2;
constexpr std::array<int, 8> kReadoutControls = {
    XYPanel::XYSourceXCaption, XYPanel::XYReadoutX1, XYPanel::XYReadoutX2, XYPanel::XYReadoutDX,
    XYPanel::XYSourceYCaption, XYPanel::XYReadoutY1, XYPanel::XYReadoutY2, XYPanel::XYReadoutDY,
};

struct SavedPosition {
  std::atomic<double> x{128.0};
  std::atomic<double> y{128.0};
};
std::array<SavedPosition, 2> savedPositions;

bool LoadedTrace(int channel) {
  return LoadField(channel == 0 ? ProgramSetup.ch1LoadedTrace : ProgramSetup.ch2LoadedTrace) != 0;
}

// "X = CH1", or "X = MEM1" while CH1 shows a trace loaded from the instrument's memory.
std::string SourceCaption(const char* axis, int source) {
  return std::string(axis) + " = " + (LoadedTrace(source) ? (source == 0 ? "MEM1" : "MEM2") : XYChannelName(source));
}

void MoveGraph(int panel, int column) {
  XYGraphLeft = column;
  SetCtrlAttribute(panel, XYPanel::XYGraph, ATTR_LEFT, column);
}

void StyleCursor(int panel, int cursor, int colour) {
  SetCursorAttribute(panel, XYPanel::XYGraph, cursor, ATTR_CURSOR_COLOR, colour);
  SetCursorAttribute(panel, XYPanel::XYGraph, cursor, ATTR_CURSOR_POINT_STYLE, VAL_NO_POINT);
  SetCursorAttribute(panel, XYPanel::XYGraph, cursor, ATTR_CROSS_HAIR_STYLE, VAL_LONG_CROSS);
  SetCursorAttribute(panel, XYPanel::XYGraph, cursor, ATTR_CURSOR_ENABLED, 1);
}

void ShowReadouts(int panel, bool shown) {
  for (int control : kReadoutControls) SetCtrlAttribute(panel, control, ATTR_VISIBLE, shown ? 1 : 0);
}

void SwitchXYCursorsOn(int panel) {
  SetCtrlAttribute(panel, XYPanel::XYGraph, ATTR_NUM_CURSORS, 2);
  XYCursor1 = 1;
  XYCursor2 = 2;
  const XYSources sources = CurrentXYSources();
  SetCtrlVal(panel, XYPanel::XYSourceXCaption, SourceCaption("X", sources.x));
  SetCtrlVal(panel, XYPanel::XYSourceYCaption, SourceCaption("Y", sources.y));
  for (int control : {XYPanel::XYSourceXCaption, XYPanel::XYReadoutDX})
    SetCtrlAttribute(panel, control, ATTR_TEXT_COLOR, XYSourceColour(sources.x));
  for (int control : {XYPanel::XYSourceYCaption, XYPanel::XYReadoutDY})
    SetCtrlAttribute(panel, control, ATTR_TEXT_COLOR, XYSourceColour(sources.y));
  ShowReadouts(panel, true);
  StyleCursor(panel, 1, kFirstCursorColour);
  StyleCursor(panel, 2, kSecondCursorColour);
  MoveGraph(panel, kColumnWithReadouts);
  RestoreXYCursorPositions(panel);
  UpdateXYReadouts();
}

void SwitchXYCursorsOff(int panel) {
  XYCursor1 = 0;
  XYCursor2 = 0;
  SetCtrlAttribute(panel, XYPanel::XYGraph, ATTR_NUM_CURSORS, 0);
  MoveGraph(panel, kColumnWithoutReadouts);
  ShowReadouts(panel, false);
}

}  // namespace

void SaveXYCursorPositions(int panel) {
  const std::array<int, 2> cursors = {XYCursor1.load(), XYCursor2.load()};
  for (std::size_t i = 0; i < cursors.size(); ++i) {
    double x = 0.0, y = 0.0;
    if (cursors[i] == 0 || GetGraphCursor(panel, XYPanel::XYGraph, cursors[i], &x, &y) < 0) continue;
    savedPositions[i].x = x;
    savedPositions[i].y = y;
  }
}

void RestoreXYCursorPositions(int panel) {
  const std::array<int, 2> cursors = {XYCursor1.load(), XYCursor2.load()};
  for (std::size_t i = 0; i < cursors.size(); ++i)
    if (cursors[i] != 0)
      SetGraphCursor(panel, XYPanel::XYGraph, cursors[i], savedPositions[i].x.load(), savedPositions[i].y.load());
}

void ConfigureXYCursors() {
  const int panel = XYPanelOpen.load();
  if (panel <= 0) return;
  if (XYCursor1.load() != 0) SaveXYCursorPositions(panel);
  if (CursorsOn())
    SwitchXYCursorsOn(panel);
  else
    SwitchXYCursorsOff(panel);
  AjustTraceXY(panel, EVENT_PANEL_SIZE, nullptr, 0, 0);
}

int ReglageXY(int panel, int /*control*/, int event, void* /*callbackData*/, int /*eventData1*/,
              int /*eventData2*/) {
  if (event == EVENT_COMMIT) {
    UpdateXYReadouts();
  } else if (event == EVENT_VAL_CHANGED) {
    int cursor = 0;
    if (GetActiveGraphCursor(panel, XYPanel::XYGraph, &cursor) >= 0 && cursor > 0)
      SetCursorAttribute(panel, XYPanel::XYGraph, cursor, ATTR_CROSS_HAIR_STYLE, VAL_LONG_CROSS);
  }
  return 0;
}
