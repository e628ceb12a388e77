// The main panel's geometry: the trace graph and the status texts follow the
// panel's size, which never goes below 530 x 545 pixels.
#pragma once

#include <atomic>

// Drawing size the tags are placed with until the first layout.
inline constexpr int kStartGraphWidth = 416;
inline constexpr int kStartGraphHeight = 345;

// Written on the user-interface thread (resize, zoom) and read by the drawing
// on the acquisition thread: each value is an atomic of its own, and a reader
// may see a layout that is one resize old.
struct DisplayLayout {
  std::atomic<int> MarkerColumn{0};    // left edge of the trace graph (room for the position markers)
  std::atomic<int> GraphWidthPx{kStartGraphWidth};  // drawing size used to place the tags
  std::atomic<int> GraphHeightPx{kStartGraphHeight};
  std::atomic<int> ToolbarRight{0};  // the toolbar's right edge: the top strip's texts start beyond it
};
extern DisplayLayout Layout;

// The trace graph's top, and how far zoom mode moves it down to make room
// for the record overview.
inline constexpr int kGraphTop = 46;
inline constexpr int kZoomGraphDrop = 80;
// Panel row of the plot area's top edge while not zoomed.
inline constexpr int kPlotAreaTop = 55;

inline constexpr int kMinimumPanelHeight = 545;
inline constexpr int kMinimumPanelWidth = 530;

// Lays the main panel out for its current size (the resize event).
void LayOutMainPanel(int panel);
