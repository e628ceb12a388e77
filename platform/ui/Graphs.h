// Graphs: plots, axes, grid and graph cursors. Positions are in axis units.
#pragma once

#include <type_traits>
#include <vector>

#include "platform/ui/UiConstants.h"

namespace uidetail {
// Plots points already converted to doubles; returns the plot handle (> 0) or an error.
int PlotPoints(int panel, int control, int kind, std::vector<double> x, std::vector<double> y, int color,
               int fillColor);
inline constexpr int kPolygon = 0;
inline constexpr int kPolyline = 1;
template <class T>
std::vector<double> ToDoubles(const T* values, int count) {
  std::vector<double> out;
  if (values == nullptr || count <= 0) return out;
  out.reserve(static_cast<std::size_t>(count));
  for (int i = 0; i < count; ++i) out.push_back(static_cast<double>(values[i]));
  return out;
}
}  // namespace uidetail

// A closed polygon through `count` points, outlined in `color` and filled with
// `fillColor` (VAL_TRANSPARENT: not filled). Returns the plot handle (> 0).
template <class TX, class TY>
  requires std::is_arithmetic_v<TX> && std::is_arithmetic_v<TY>
int PlotPolygon(int panel, int control, const TX* x, const TY* y, int count, int color, int fillColor) {
  if (x == nullptr || y == nullptr) return UIE_NULL_POINTER;
  if (count < 1) return UIE_INVALID_VALUE;
  return uidetail::PlotPoints(panel, control, uidetail::kPolygon, uidetail::ToDoubles(x, count),
                              uidetail::ToDoubles(y, count), color, fillColor);
}
// An open line through `count` points.
template <class TX, class TY>
  requires std::is_arithmetic_v<TX> && std::is_arithmetic_v<TY>
int PlotXY(int panel, int control, const TX* x, const TY* y, int count, int color) {
  if (x == nullptr || y == nullptr) return UIE_NULL_POINTER;
  if (count < 1) return UIE_INVALID_VALUE;
  return uidetail::PlotPoints(panel, control, uidetail::kPolyline, uidetail::ToDoubles(x, count),
                              uidetail::ToDoubles(y, count), color, VAL_TRANSPARENT);
}
// The rectangle with corners (x1, y1) and (x2, y2).
int PlotRectangle(int panel, int control, double x1, double y1, double x2, double y2, int color, int fillColor);
int PlotLine(int panel, int control, double x1, double y1, double x2, double y2, int color);

// Deletes one plot, or every plot with VAL_ALL_PLOTS (-1). VAL_IMMEDIATE_DRAW
// redraws at once; VAL_DELAYED_DRAW leaves the redraw to the next drawing.
int DeleteGraphPlot(int panel, int control, int plot, int refresh);
// ATTR_TRACE_COLOR, ATTR_PLOT_FILL_COLOR, ATTR_TRACE_VISIBLE, ATTR_PLOT_THICKNESS.
int SetPlotAttribute(int panel, int control, int plot, int attribute, int value);
int GetPlotAttribute(int panel, int control, int plot, int attribute, int* value);
int RefreshGraph(int panel, int control);

// Axis range: VAL_MANUAL with min and max, or VAL_AUTOSCALE to fit the plots.
int SetAxisScalingMode(int panel, int control, int axis, int mode, double min, double max);
int GetAxisScalingMode(int panel, int control, int axis, int* mode, double* min, double* max);

// Graph cursors, numbered from 1 (ATTR_NUM_CURSORS sets how many exist).
// Positions are clamped to the axis ranges.
int SetGraphCursor(int panel, int control, int cursor, double x, double y);
int GetGraphCursor(int panel, int control, int cursor, double* x, double* y);
// ATTR_CURSOR_COLOR, ATTR_CURSOR_POINT_STYLE, ATTR_CROSS_HAIR_STYLE,
// ATTR_CURSOR_MODE (VAL_CURSOR_NORMAL / VAL_CURSOR_CLAMPED look), ATTR_CURSOR_ENABLED.
int SetCursorAttribute(int panel, int control, int cursor, int attribute, int value);
int GetCursorAttribute(int panel, int control, int cursor, int attribute, int* value);
// The cursor the user dragged last (0 when none).
int GetActiveGraphCursor(int panel, int control, int* cursor);
int SetActiveGraphCursor(int panel, int control, int cursor);
