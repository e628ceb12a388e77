// The record overview: the zoom window's frame, dragging it with the overview
// cursor (on the user-interface thread) and redrawing it after the trigger
// marker moved (on the acquisition thread), and the four step buttons.
#include "display/ZoomOverview.h"

#include <algorithm>
#include <array>
#include <cstdint>

#include "display/Cursors.h"
#include "display/Markers.h"
#include "display/Zoom.h"
#include "layout/PanelIds.h"
#include "link/InstrumentSetup.h"
#include "platform/ui/UserInterface.h"

namespace {

constexpr int kWindowCursor = 1;
constexpr double kCursorLevel = 128.0;
constexpr double kFrameTop = 251.0;
constexpr double kFrameBottom = 5.0;
constexpr int kRecordPointsPerOverviewSample = kZoomRecordPoints / kZoomScreenPoints;
// Room the trigger mark's texts take at the plot area's right edge.
constexpr int kAfterMarkInset = 23;
constexpr int kInsideMarkInset = 26;
constexpr int kInsideMarkShift = 5;

// The four step buttons and how far each moves the cursor, in window widths.
struct MoveStep {
  int control;
  double windows;
};
constexpr std::array<MoveStep, 4> kMoveSteps = {{{MainPanel::ZoomLeftSmallButton, -0.1},
                                                 {MainPanel::ZoomLeftLargeButton, -0.8},
                                                 {MainPanel::ZoomRightSmallButton, 0.1},
                                                 {MainPanel::ZoomRightLargeButton, 0.8}}};

// The window's width in overview samples, 125 to 2500.
int WindowWidth() {
  const int factor = std::clamp(TheZoom.integerFactor.load(), static_cast<int>(kFinestFactor),
                                static_cast<int>(kUnzoomedFactor));
  return kZoomScreenPoints * factor / static_cast<int>(kUnzoomedFactor);
}

void SetWindowEdges(OverviewWindow& window, int left, int width) {
  window.left = left;
  window.centre = left + width / 2;
  window.right = left + width;
}

// Caller holds the window lock.
void ReplaceFrame(int panel, OverviewWindow& window) {
  if (window.rectangle > 0) DeleteGraphPlot(panel, MainPanel::OverviewGraph, window.rectangle, VAL_DELAYED_DRAW);
  window.rectangle = PlotRectangle(panel, MainPanel::OverviewGraph, window.left, kFrameTop, window.right,
                                   kFrameBottom, VAL_BLACK, VAL_TRANSPARENT);
}

// Texts of the trigger mark: the trigger before the window, after it, inside.
void PlaceTriggerMark(int panel, const OverviewWindow& window) {
  double graphLeft = 0, areaLeft = 0, areaWidth = 0;
  GetCtrlAttribute(panel, MainPanel::OverviewGraph, ATTR_LEFT, &graphLeft);
  GetCtrlAttribute(panel, MainPanel::OverviewGraph, ATTR_PLOT_AREA_LEFT, &areaLeft);
  GetCtrlAttribute(panel, MainPanel::OverviewGraph, ATTR_PLOT_AREA_WIDTH, &areaWidth);
  const long long left = static_cast<long long>(graphLeft + areaLeft);
  const long long width = static_cast<long long>(areaWidth);
  const long long trigger = -static_cast<long long>(TheZoom.horizontalOffset.load());
  const long long windowStart = static_cast<long long>(kRecordPointsPerOverviewSample) * window.left;
  const long long windowEnd = static_cast<long long>(kRecordPointsPerOverviewSample) * window.right;
  const char* text = "T";
  long long pixel = left;
  if (windowEnd < trigger) {
    text = "T>";
    pixel = left + width - kAfterMarkInset;
  } else if (trigger < windowStart) {
    text = "<T";
  } else {
    pixel = left + (width - kInsideMarkInset) * (trigger - windowStart) / (windowEnd - windowStart) + kInsideMarkShift;
  }
  SetCtrlVal(panel, MainPanel::TriggerMarkerText, text);
  SetCtrlAttribute(panel, MainPanel::TriggerMarkerText, ATTR_LEFT, static_cast<double>(pixel));
}

// Moves the window with the overview cursor, kept where the whole window
// stays on the record; returns the window as placed.
OverviewWindow FollowCursor(int panel) {
  TheZoom.horizontalOffset = LoadField(ProgramSetup.horizontalOffset);
  // The width is read under the lock: a redraw that read it before a zoom
  // step must not draw after that step's frame.
  std::lock_guard lock(TheZoom.windowMutex);
  const int width = WindowWidth();
  const int half = width / 2;
  double x = 0.0, y = 0.0;
  GetGraphCursor(panel, MainPanel::OverviewGraph, kWindowCursor, &x, &y);
  x = std::clamp(x, static_cast<double>(half), static_cast<double>(kZoomScreenPoints - half));
  SetGraphCursor(panel, MainPanel::OverviewGraph, kWindowCursor, x, kCursorLevel);
  const int xi = static_cast<int>(x);
  OverviewWindow& window = TheZoom.window;
  int left = 0;
  if (xi > window.centre) {
    left = std::min(xi + half, kZoomScreenPoints) - width;
  } else {
    left = xi - half < 1 ? 0 : xi - half;
  }
  // An odd width must not push the right edge past the record.
  SetWindowEdges(window, std::min(left, kZoomScreenPoints - width), width);
  ReplaceFrame(panel, window);
  PlaceTriggerMark(panel, window);
  return window;
}

// Applies the window: the instrument sends that part of the record from now on.
void ApplyWindow(int panel) {
  const OverviewWindow window = FollowCursor(panel);
  ZoomPlace zoom = RecordedZoom();
  zoom.position = ClampPosition(static_cast<double>(kRecordPointsPerOverviewSample) * window.left, zoom.factor);
  StoreZoom(zoom);
  SendOnLink(SendZoomCommand);
  PlaceTriggerMarker();
  UpdateCursorReadouts();
  SendOnLink(SendMeasurementGate);
}

}  // namespace

OverviewWindow CurrentOverviewWindow() {
  std::lock_guard lock(TheZoom.windowMutex);
  return TheZoom.window;
}

void DrawOverviewWindow(int panel) {
  const int left = RecordedZoom().position / kRecordPointsPerOverviewSample;
  TheZoom.horizontalOffset = LoadField(ProgramSetup.horizontalOffset);
  std::lock_guard lock(TheZoom.windowMutex);
  const int width = WindowWidth();
  OverviewWindow& window = TheZoom.window;
  DeleteGraphPlot(panel, MainPanel::OverviewGraph, VAL_ALL_PLOTS, VAL_DELAYED_DRAW);
  window.rectangle = 0;
  SetWindowEdges(window, std::min(left, kZoomScreenPoints - width), width);
  ReplaceFrame(panel, window);
  SetGraphCursor(panel, MainPanel::OverviewGraph, kWindowCursor, window.centre, kCursorLevel);
}

int ReglageMem(int panel, int control, int event, void* /*callbackData*/, int /*eventData1*/, int /*eventData2*/) {
  if (control != MainPanel::OverviewGraph) return 0;
  if (event == EVENT_VAL_CHANGED) FollowCursor(panel);
  if (event == EVENT_COMMIT) ApplyWindow(panel);
  return 0;
}

int ControlReglageMem(int panel, int control, int event, void* /*callbackData*/, int /*eventData1*/,
                      int /*eventData2*/) {
  if (event != EVENT_COMMIT) return 0;
  const auto step = std::find_if(kMoveSteps.begin(), kMoveSteps.end(),
                                 [control](const MoveStep& s) { return s.control == control; });
  if (step == kMoveSteps.end()) return 0;
  const OverviewWindow window = CurrentOverviewWindow();
  double x = 0.0, y = 0.0;
  GetGraphCursor(panel, MainPanel::OverviewGraph, kWindowCursor, &x, &y);
  x = std::clamp(x + step->windows * (window.right - window.left), 0.0, kZoomScreenPoints - 1.0);
  SetGraphCursor(panel, MainPanel::OverviewGraph, kWindowCursor, x, kCursorLevel);
  ReglageMem(panel, MainPanel::OverviewGraph, EVENT_COMMIT, nullptr, 0, 0);
  return 0;
}
