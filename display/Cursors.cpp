#include "display/Cursors.h"

#include <array>

#include "acquisition/MainPanelHandle.h"
#include "display/MainPanelLayout.h"
#include "display/Markers.h"
#include "display/ReadoutControls.h"
#include "layout/PanelIds.h"
#include "link/CommandSet.h"
#include "link/InstrumentSession.h"
#include "link/InstrumentSetup.h"
#include "link/LinkBusy.h"
#include "platform/ui/UserInterface.h"

std::atomic<int> CursorT1{0};
std::atomic<int> CursorT2{0};

namespace {

constexpr int kTriggerCursorNumber = 1;
constexpr int kFirstCursorNumber = 2;
constexpr int kSecondCursorNumber = 3;
constexpr int kMarkerColumnWithoutReadouts = 268;
constexpr int kMarkerColumnWithReadouts = 398;

constexpr std::uint16_t kCursorModeBits = kCursorsOnFlag | kFreeCursorsFlag | kCursorModeFlag;

// The instrument computes its measurements over the whole 50,000-point record.
constexpr int kGateStart = 0;
constexpr int kGateEnd = 49999;

// Where the measurement cursors were when they were last reconfigured; put
// back when they come on again. User-interface thread.
// Before the first reconfiguration they stand two divisions in from each
// side, one division above and below the centre, so that dt and dY read
// something from the start.
struct SavedPosition {
  std::atomic<double> x;
  std::atomic<double> y;
};
std::array<SavedPosition, 2> savedPositions = {{{500.0, 160.0}, {2000.0, 96.0}}};

void SaveCursorPositions(int panel) {
  const std::array<int, 2> cursors = {CursorT1.load(), CursorT2.load()};
  if (cursors[0] == 0) return;
  for (std::size_t i = 0; i < cursors.size(); ++i) {
    double x = 0.0, y = 0.0;
    if (GetGraphCursor(panel, MainPanel::TraceGraph, cursors[i], &x, &y) < 0) continue;
    savedPositions[i].x = x;
    savedPositions[i].y = y;
  }
}

void RestoreCursorPositions(int panel) {
  const std::array<int, 2> cursors = {CursorT1.load(), CursorT2.load()};
  for (std::size_t i = 0; i < cursors.size(); ++i)
    SetGraphCursor(panel, MainPanel::TraceGraph, cursors[i], savedPositions[i].x.load(), savedPositions[i].y.load());
}

void StyleCursor(int panel, int cursor, int colour, int pointStyle) {
  SetCursorAttribute(panel, MainPanel::TraceGraph, cursor, ATTR_CURSOR_COLOR, colour);
  SetCursorAttribute(panel, MainPanel::TraceGraph, cursor, ATTR_CURSOR_POINT_STYLE, pointStyle);
  RestoreCursorLook(panel, cursor);
  SetCursorAttribute(panel, MainPanel::TraceGraph, cursor, ATTR_CURSOR_ENABLED, 1);
}

void ShowReadoutGroups(int panel) {
  bool ch1 = true, ch2 = true;
  if (CursorsTrack()) {
    ch1 = CursorReferenceChannel() == 0;
    ch2 = !ch1;
  }
  ShowReadoutGroup(panel, kChannelReadouts[0], ch1);
  ShowReadoutGroup(panel, kChannelReadouts[1], ch2);
}

void SwitchMeasurementCursorsOn(int panel) {
  SetCtrlAttribute(panel, MainPanel::TraceGraph, ATTR_NUM_CURSORS, 3);
  CursorT1 = kFirstCursorNumber;
  CursorT2 = kSecondCursorNumber;
  ShowReadoutGroups(panel);
  StyleCursor(panel, kFirstCursorNumber, kFirstCursorColour, VAL_NO_POINT);
  StyleCursor(panel, kSecondCursorNumber, kSecondCursorColour, VAL_NO_POINT);
  ShowReadoutGroup(panel, kTimeReadouts, true);
  Layout.MarkerColumn = kMarkerColumnWithReadouts;
  RestoreCursorPositions(panel);
  UpdateCursorReadouts();
}

void SwitchMeasurementCursorsOff(int panel) {
  CursorT1 = 0;
  CursorT2 = 0;
  for (const ReadoutGroup& group : {kTimeReadouts, kChannelReadouts[0], kChannelReadouts[1]})
    ShowReadoutGroup(panel, group, false);
  Layout.MarkerColumn = kMarkerColumnWithoutReadouts;
}

}  // namespace

void ShowReadoutGroup(int panel, const ReadoutGroup& group, bool shown) {
  SetCtrlAttribute(panel, group.frame, ATTR_VISIBLE, shown ? 1 : 0);
  for (int line : group.lines) SetCtrlAttribute(panel, line, ATTR_VISIBLE, shown ? 1 : 0);
}

void ColourCursorReadouts(int panel) {
  SetCtrlAttribute(panel, kTimeReadouts.lines[kFirstTimeLine], ATTR_TEXT_COLOR, kFirstCursorColour);
  SetCtrlAttribute(panel, kTimeReadouts.lines[kSecondTimeLine], ATTR_TEXT_COLOR, kSecondCursorColour);
  for (const ReadoutGroup& group : kChannelReadouts) {
    SetCtrlAttribute(panel, group.lines[kFirstValueLine], ATTR_TEXT_COLOR, kFirstCursorColour);
    SetCtrlAttribute(panel, group.lines[kSecondValueLine], ATTR_TEXT_COLOR, kSecondCursorColour);
  }
}

void RestoreCursorLook(int panel, int cursor) {
  const bool trigger = cursor == TriggerCursor.load();
  SetCursorAttribute(panel, MainPanel::TraceGraph, cursor, ATTR_CROSS_HAIR_STYLE,
                     trigger ? VAL_SHORT_CROSS : VAL_LONG_CROSS);
  if (trigger) SetCursorAttribute(panel, MainPanel::TraceGraph, cursor, ATTR_CURSOR_MODE, VAL_CURSOR_NORMAL);
}

bool CursorsTrack() {
  return CursorsOn() && LoadField(ProgramSetup.autoMeasurementsOn) == 0 &&
         (LoadField(ProgramSetup.measurementFlags) & kFreeCursorsFlag) == 0;
}

int CursorReferenceChannel() { return LoadField(ProgramSetup.referenceChannel) == 1 ? 1 : 0; }

bool CursorsOn() { return (LoadField(ProgramSetup.measurementFlags) & kCursorModeBits) != 0; }

void ConfigureCursors() {
  const int panel = MainPanelHandle.load();
  if (panel <= 0) return;
  SaveCursorPositions(panel);
  SetCtrlAttribute(panel, MainPanel::TraceGraph, ATTR_NUM_CURSORS, 1);
  TriggerCursor = kTriggerCursorNumber;
  StyleCursor(panel, kTriggerCursorNumber, kTriggerCursorColour, VAL_EMPTY_SQUARE);
  if (CursorsOn())
    SwitchMeasurementCursorsOn(panel);
  else
    SwitchMeasurementCursorsOff(panel);
  PlaceTriggerMarker();
  PlacePositionMarkers();
  LinkOwnership link;
  SendMeasurementGate();
}

void SendMeasurementGate() { SetTimeCursors(TheInstrument.session, kGateStart, kGateEnd); }
