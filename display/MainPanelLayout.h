// The main panel's geometry: the trace graph and the status texts follow the
// panel's size, which never goes below 530 x 545 pixels.
#pragma once

#include <atomic>

// Written on the user-interface thread (resize, zoom) and read by the drawing
// on the acquisition thread: each value is an atomic of its own, and a reader
// may see a layout that is one resize old.
struct DisplayLayout {
  std::atomic<int> MarkerColumn{0};    // left edge of the trace graph (room for the position markers)
  std::atomic<int> GraphWidthPx{416};  // plot area of the trace graph
  std::atomic<int> GraphHeightPx{345};
};
extern DisplayLayout Layout;

inline constexpr int kMinimumPanelHeight = 545;
inline constexpr int kMinimumPanelWidth = 530;

// Lays the main panel out for its current size (the resize event).
void LayOutMainPanel(int panel);
