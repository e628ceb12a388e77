// The main panel's geometry: the trace graph and the status texts follow the
// panel's size, which never goes below 530 x 545 pixels.
#pragma once

struct DisplayLayout {
  int MarkerColumn = 0;    // left edge of the trace graph (room for the position markers)
  int GraphWidthPx = 416;  // plot area of the trace graph
  int GraphHeightPx = 345;
  int ZoomActive = 0;      // the zoom overview takes the top of the graph area
};
extern DisplayLayout Layout;

inline constexpr int kMinimumPanelHeight = 545;
inline constexpr int kMinimumPanelWidth = 530;

// Lays the main panel out for its current size (the resize event).
void LayOutMainPanel(int panel);
