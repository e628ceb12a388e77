// The XY window: one channel against the other.
#pragma once

#include <array>
#include <atomic>

// Handle of the open XY panel; 0 while it is closed.
extern std::atomic<int> XYPanelOpen;

// The XY panel's controls that the drawing and the marker placement use;
// markers and labels per channel (0 CH1, 1 CH2). Whoever opens the XY panel
// sets them before it sets XYPanelOpen.
struct XYPanelControls {
  int graph = 0;
  std::array<int, 2> xMarker{};
  std::array<int, 2> xLabel{};
  std::array<int, 2> yMarker{};
  std::array<int, 2> yLabel{};
  int xReferenceCaption = 0;
  int yReferenceCaption = 0;
};
void SetXYPanelControls(const XYPanelControls& controls);
XYPanelControls CurrentXYPanelControls();

// Left offset of XYGraph on its panel, kept by the XY panel's layout.
extern std::atomic<int> XYGraphLeft;
