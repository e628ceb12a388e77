// The trace graph's callback: the trigger marker dragged on the graph sets
// the instrument's trigger level and horizontal position.
#include "display/Reglage.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <limits>

#include "acquisition/DisplayMirror.h"
#include "display/Cursors.h"
#include "display/DisplayState.h"
#include "display/MainPanelLayout.h"
#include "display/Markers.h"
#include "display/Measurements.h"
#include "display/ZoomRecord.h"
#include "layout/PanelIds.h"
#include "link/CommandSet.h"
#include "link/InstrumentSession.h"
#include "link/InstrumentSetup.h"
#include "link/LinkBusy.h"
#include "platform/ui/UserInterface.h"

namespace {

template <typename Integer>
Integer TruncateInto(double value) {
  const double low = std::numeric_limits<Integer>::min();
  const double high = std::numeric_limits<Integer>::max();
  return static_cast<Integer>(std::clamp(std::trunc(value), low, high));
}

int ActiveCursor(int panel) {
  int cursor = 0;
  GetActiveGraphCursor(panel, MainPanel::TraceGraph, &cursor);
  return cursor;
}

// The tag follows the point where the user dropped the marker; the cursor
// stays there too.
void PlaceDroppedTriggerTags(int panel, double x, double codeFromTop) {
  const TriggerTagOffsets offsets = InRangeTagOffsets(x, codeFromTop);
  PlaceTriggerIndicator(panel, x, codeFromTop, offsets.dx, offsets.dy);
  const int tagLeft =
      static_cast<int>(x * Layout.GraphWidthPx.load() / kScreenPoints) + Layout.MarkerColumn.load() + 10;
  SetCtrlAttribute(panel, MainPanel::TriggerPosTag, ATTR_LEFT, tagLeft);
}

// The level the marker now shows, on the channel the trigger follows; the
// probe factor makes it the level at the probe tip.
void ApplyDroppedLevel(double y) {
  const int source = Mirror.TriggerSourceSeen.load();
  if (source != 0 && source != 1) return;
  const auto channel = static_cast<std::size_t>(source);
  const double level = 8.0 * 22.0 * (y - 128.0) / 256.0 - Mirror.VerticalPositionSeen[channel].load();
  Mirror.TriggerLevelSeen[channel] = level;
  StoreField(source == 0 ? ProgramSetup.ch1TriggerLevel : ProgramSetup.ch2TriggerLevel,
             TruncateInto<std::int16_t>(level));
  const double probe = LoadField(source == 0 ? ProgramSetup.ch1ProbeFactor : ProgramSetup.ch2ProbeFactor);
  const int index = LoadField(source == 0 ? ProgramSetup.ch1VoltsPerDivIndex : ProgramSetup.ch2VoltsPerDivIndex);
  if (index < 0 || index >= kSensitivityCount) return;
  const double voltsPerDiv = TheInstrument.VoltsPerDivTable[static_cast<std::size_t>(index)];
  SetTriggerLevel(TheInstrument.session, level * probe * voltsPerDiv / kUnitsPerDivision);
}

void ApplyDroppedPosition(double x) {
  const ZoomPlace zoom = RecordedZoom();
  const auto offset = TruncateInto<std::int32_t>(-zoom.position - x * zoom.factor);
  StoreField(ProgramSetup.horizontalOffset, offset);
  const double position = offset / kRecordPointsPerDivision;
  Mirror.TriggerPositionSeen = position;
  SetHorizontalOffset(TheInstrument.session,
                      position * SecondsPerDivTable[static_cast<std::size_t>(EffectiveTimebaseIndex())]);
  RefreshPanel();
}

void ApplyTriggerDrop(int panel, int cursor) {
  double x = 0.0, y = 0.0;
  if (GetGraphCursor(panel, MainPanel::TraceGraph, cursor, &x, &y) < 0) return;
  const double codeFromTop = 256.0 - y;
  if (x == TriggerPointX.load() && codeFromTop == TriggerPointY.load()) return;
  TriggerPointX = x;
  TriggerPointY = codeFromTop;
  PlaceDroppedTriggerTags(panel, x, codeFromTop);
  ApplyDroppedLevel(y);
  ApplyDroppedPosition(x);
}

void CursorReleased(int panel) {
  LinkOwnership link;
  const int cursor = ActiveCursor(panel);
  if (cursor <= 0) return;
  RestoreCursorLook(panel, cursor);
  if (cursor == TriggerCursor.load()) ApplyTriggerDrop(panel, cursor);
  if ((LoadField(ProgramSetup.measurementFlags) & kAutoMeasurementsFlag) != 0) {
    SendMeasurementGate();
    RefreshMeasurementTexts();
  }
  if (CursorT1.load() != 0) UpdateCursorReadouts();
}

}  // namespace

int Reglage(int panel, int /*control*/, int event, void* /*callbackData*/, int /*eventData1*/, int /*eventData2*/) {
  switch (event) {
    case EVENT_VAL_CHANGED:
      // No cross-hair across the traces while a cursor moves.
      SetCursorAttribute(panel, MainPanel::TraceGraph, ActiveCursor(panel), ATTR_CROSS_HAIR_STYLE, VAL_NO_CROSS);
      break;
    case EVENT_GOT_FOCUS:
      // The keys belong to the instrument controls, never to the graph.
      SetActiveCtrl(panel, MainPanel::TimebaseRing);
      break;
    case EVENT_COMMIT:
      CursorReleased(panel);
      break;
    default:
      break;
  }
  return 0;
}
