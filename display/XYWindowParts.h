// What the XY window's sources share: its geometry, the sources and the
// remembered cursor positions.
#pragma once

#include <cstdint>

// The plot area starts this many pixels inside XYGraph on every side.
inline constexpr int kXYPlotInset = 8;
// xyState bit set while XY mode is wanted.
inline constexpr std::int16_t kXYStateBit = 0x2;

// The X and Y source channels, 0 CH1 or 1 CH2 (anything else counts as CH1).
struct XYSources {
  int x = 0;
  int y = 1;
};
XYSources CurrentXYSources();
const char* XYChannelName(int channel);
int XYSourceColour(int source);

// The XY cursors' places, kept while they are off or the window is laid out.
void SaveXYCursorPositions(int panel);
void RestoreXYCursorPositions(int panel);
