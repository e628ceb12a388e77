#include "platform/ui/Graphs.h"

#include <algorithm>
#include <cmath>

#include "platform/ui/Model.h"

using namespace uimodel;

namespace {

constexpr std::size_t kMaxPlotsPerGraph = 10000;  // a program that never deletes its plots stops here
constexpr int kMaxCursors = 10;

void PlotsChanged(Graph& graph, bool onTopOnly) {
  ++graph.plotRevision;
  if (!onTopOnly) graph.layerRevision = graph.plotRevision;
}

int AddPlot(int panel, int control, PlotKind kind, std::vector<double> x, std::vector<double> y, int color,
            int fillColor) {
  if (x.empty() || x.size() != y.size()) return UIE_INVALID_VALUE;
  auto points = std::make_shared<PlotPoints>();
  for (std::size_t i = 0; i < x.size(); ++i)
    if (!std::isfinite(x[i]) || !std::isfinite(y[i])) return UIE_INVALID_VALUE;
  const auto [minX, maxX] = std::minmax_element(x.begin(), x.end());
  const auto [minY, maxY] = std::minmax_element(y.begin(), y.end());
  points->minX = *minX;
  points->maxX = *maxX;
  points->minY = *minY;
  points->maxY = *maxY;
  points->x = std::move(x);
  points->y = std::move(y);
  return ModifyGraph(panel, control, [&](Graph& graph) {
    if (graph.plots.size() >= kMaxPlotsPerGraph) return UIE_OUT_OF_RESOURCES;
    Plot plot;
    plot.handle = graph.nextPlotHandle++;
    plot.kind = kind;
    plot.points = points;
    plot.color = color;
    plot.fillColor = fillColor;
    graph.plots.push_back(std::move(plot));
    PlotsChanged(graph, graph.x.mode == VAL_MANUAL && graph.y.mode == VAL_MANUAL);
    return graph.plots.back().handle;
  });
}

template <class G>
auto FindPlot(G& graph, int plot) -> decltype(&graph.plots.front()) {
  for (auto& candidate : graph.plots)
    if (candidate.handle == plot) return &candidate;
  return nullptr;
}

bool ValidCursor(const Graph& graph, int cursor) {
  return cursor >= 1 && cursor <= static_cast<int>(graph.cursors.size());
}

void SetCursorCount(Graph& graph, int count) {
  Cursor fresh;
  fresh.x = (graph.x.min + graph.x.max) / 2.0;
  fresh.y = (graph.y.min + graph.y.max) / 2.0;
  ClampCursor(graph, fresh);
  graph.cursors.resize(static_cast<std::size_t>(count), fresh);
  graph.activeCursor = std::min(graph.activeCursor, count);
  if (graph.activeCursor == 0 && count > 0) graph.activeCursor = 1;
  ++graph.cursorRevision;
}

void ReclampCursors(Graph& graph) {
  for (Cursor& cursor : graph.cursors) ClampCursor(graph, cursor);
  ++graph.cursorRevision;
}

}  // namespace

namespace uidetail {
int PlotPoints(int panel, int control, int kind, std::vector<double> x, std::vector<double> y, int color,
               int fillColor) {
  return AddPlot(panel, control, kind == kPolyline ? PlotKind::Polyline : PlotKind::Polygon, std::move(x),
                 std::move(y), color, fillColor);
}
}  // namespace uidetail

int PlotRectangle(int panel, int control, double x1, double y1, double x2, double y2, int color, int fillColor) {
  return AddPlot(panel, control, PlotKind::Rectangle, {x1, x2, x2, x1}, {y1, y1, y2, y2}, color, fillColor);
}

int PlotLine(int panel, int control, double x1, double y1, double x2, double y2, int color) {
  return AddPlot(panel, control, PlotKind::Polyline, {x1, x2}, {y1, y2}, color, VAL_TRANSPARENT);
}

int DeleteGraphPlot(int panel, int control, int plot, int refresh) {
  if (refresh < VAL_IMMEDIATE_DRAW || refresh > VAL_NO_DRAW) return UIE_INVALID_VALUE;
  return ModifyGraph(
      panel, control,
      [plot](Graph& graph) {
        if (plot == VAL_ALL_PLOTS) {
          graph.plots.clear();
        } else {
          const auto gone = std::remove_if(graph.plots.begin(), graph.plots.end(),
                                           [plot](const Plot& candidate) { return candidate.handle == plot; });
          if (gone == graph.plots.end()) return UIE_INVALID_PLOT;
          graph.plots.erase(gone, graph.plots.end());
        }
        PlotsChanged(graph, false);
        return 0;
      },
      refresh == VAL_IMMEDIATE_DRAW);
}

int SetPlotAttribute(int panel, int control, int plot, int attribute, int value) {
  return ModifyGraph(panel, control, [&](Graph& graph) {
    Plot* target = FindPlot(graph, plot);
    if (target == nullptr) return UIE_INVALID_PLOT;
    switch (attribute) {
      case ATTR_TRACE_COLOR: target->color = value; break;
      case ATTR_PLOT_FILL_COLOR: target->fillColor = value; break;
      case ATTR_TRACE_VISIBLE: target->visible = value != 0; break;
      case ATTR_PLOT_THICKNESS:
        if (value < 1) return UIE_INVALID_VALUE;
        target->thickness = value;
        break;
      default: return UIE_INVALID_ATTRIBUTE;
    }
    PlotsChanged(graph, false);
    return 0;
  });
}

int GetPlotAttribute(int panel, int control, int plot, int attribute, int* value) {
  if (value == nullptr) return UIE_NULL_POINTER;
  return ReadGraph(panel, control, [&](const Graph& graph) {
    const Plot* target = FindPlot(graph, plot);
    if (target == nullptr) return UIE_INVALID_PLOT;
    switch (attribute) {
      case ATTR_TRACE_COLOR: *value = target->color; return 0;
      case ATTR_PLOT_FILL_COLOR: *value = target->fillColor; return 0;
      case ATTR_TRACE_VISIBLE: *value = target->visible ? 1 : 0; return 0;
      case ATTR_PLOT_THICKNESS: *value = target->thickness; return 0;
      default: return UIE_INVALID_ATTRIBUTE;
    }
  });
}

int RefreshGraph(int panel, int control) {
  return ModifyGraph(panel, control, [](Graph&) { return 0; });
}

int SetAxisScalingMode(int panel, int control, int axis, int mode, double min, double max) {
  if (axis != VAL_XAXIS && axis != VAL_LEFT_YAXIS) return UIE_INVALID_VALUE;
  if (mode != VAL_MANUAL && mode != VAL_AUTOSCALE) return UIE_INVALID_VALUE;
  if (mode == VAL_MANUAL && (!std::isfinite(min) || !std::isfinite(max) || min == max)) return UIE_INVALID_VALUE;
  return ModifyGraph(panel, control, [&](Graph& graph) {
    Axis& target = axis == VAL_XAXIS ? graph.x : graph.y;
    target.mode = mode;
    if (mode == VAL_MANUAL) {
      target.min = min;
      target.max = max;
    }
    PlotsChanged(graph, false);
    ReclampCursors(graph);
    return 0;
  });
}

int GetAxisScalingMode(int panel, int control, int axis, int* mode, double* min, double* max) {
  if (axis != VAL_XAXIS && axis != VAL_LEFT_YAXIS) return UIE_INVALID_VALUE;
  return ReadGraph(panel, control, [&](const Graph& graph) {
    const auto [low, high] = EffectiveRange(graph, axis == VAL_XAXIS);
    if (mode != nullptr) *mode = (axis == VAL_XAXIS ? graph.x : graph.y).mode;
    if (min != nullptr) *min = low;
    if (max != nullptr) *max = high;
    return 0;
  });
}

int SetGraphCursor(int panel, int control, int cursor, double x, double y) {
  if (!std::isfinite(x) || !std::isfinite(y)) return UIE_INVALID_VALUE;
  return ModifyGraph(panel, control, [&](Graph& graph) {
    if (!ValidCursor(graph, cursor)) return UIE_INVALID_CURSOR;
    Cursor& target = graph.cursors[static_cast<std::size_t>(cursor - 1)];
    target.x = x;
    target.y = y;
    ClampCursor(graph, target);
    ++graph.cursorRevision;
    return 0;
  });
}

int GetGraphCursor(int panel, int control, int cursor, double* x, double* y) {
  if (x == nullptr || y == nullptr) return UIE_NULL_POINTER;
  return ReadGraph(panel, control, [&](const Graph& graph) {
    if (!ValidCursor(graph, cursor)) return UIE_INVALID_CURSOR;
    *x = graph.cursors[static_cast<std::size_t>(cursor - 1)].x;
    *y = graph.cursors[static_cast<std::size_t>(cursor - 1)].y;
    return 0;
  });
}

int SetCursorAttribute(int panel, int control, int cursor, int attribute, int value) {
  return ModifyGraph(panel, control, [&](Graph& graph) {
    if (!ValidCursor(graph, cursor)) return UIE_INVALID_CURSOR;
    Cursor& target = graph.cursors[static_cast<std::size_t>(cursor - 1)];
    switch (attribute) {
      case ATTR_CURSOR_COLOR: target.color = value; break;
      case ATTR_CURSOR_POINT_STYLE:
        if (value < VAL_NO_POINT || value > VAL_SOLID_DIAMOND) return UIE_INVALID_VALUE;
        target.pointStyle = value;
        break;
      case ATTR_CROSS_HAIR_STYLE:
        if (value < VAL_LONG_CROSS || value > VAL_NO_CROSS) return UIE_INVALID_VALUE;
        target.crossHair = value;
        break;
      case ATTR_CURSOR_MODE:
        if (value != VAL_CURSOR_NORMAL && value != VAL_CURSOR_CLAMPED) return UIE_INVALID_VALUE;
        target.mode = value;
        break;
      case ATTR_CURSOR_ENABLED: target.enabled = value != 0; break;
      default: return UIE_INVALID_ATTRIBUTE;
    }
    ++graph.cursorRevision;
    return 0;
  });
}

int GetCursorAttribute(int panel, int control, int cursor, int attribute, int* value) {
  if (value == nullptr) return UIE_NULL_POINTER;
  return ReadGraph(panel, control, [&](const Graph& graph) {
    if (!ValidCursor(graph, cursor)) return UIE_INVALID_CURSOR;
    const Cursor& target = graph.cursors[static_cast<std::size_t>(cursor - 1)];
    switch (attribute) {
      case ATTR_CURSOR_COLOR: *value = target.color; return 0;
      case ATTR_CURSOR_POINT_STYLE: *value = target.pointStyle; return 0;
      case ATTR_CROSS_HAIR_STYLE: *value = target.crossHair; return 0;
      case ATTR_CURSOR_MODE: *value = target.mode; return 0;
      case ATTR_CURSOR_ENABLED: *value = target.enabled ? 1 : 0; return 0;
      default: return UIE_INVALID_ATTRIBUTE;
    }
  });
}

int GetActiveGraphCursor(int panel, int control, int* cursor) {
  if (cursor == nullptr) return UIE_NULL_POINTER;
  return ReadGraph(panel, control, [cursor](const Graph& graph) {
    *cursor = graph.activeCursor;
    return 0;
  });
}

int SetActiveGraphCursor(int panel, int control, int cursor) {
  return ModifyGraph(panel, control, [cursor](Graph& graph) {
    if (!ValidCursor(graph, cursor)) return UIE_INVALID_CURSOR;
    graph.activeCursor = cursor;
    ++graph.cursorRevision;
    return 0;
  });
}

namespace uimodel {

int SetGraphControlAttribute(Control& control, int attribute, double value) {
  if (!control.graph) return UIE_INVALID_ATTRIBUTE;
  Graph& graph = *control.graph;
  const int number = static_cast<int>(value);
  switch (attribute) {
    case ATTR_PLOT_BGCOLOR: graph.plotBackColor = number; break;
    case ATTR_GRID_COLOR: graph.gridColor = number; break;
    case ATTR_XDIVISIONS:
    case ATTR_YDIVISIONS:
      if (number < 1 || number > 100) return UIE_INVALID_VALUE;
      (attribute == ATTR_XDIVISIONS ? graph.x : graph.y).divisions = number;
      break;
    case ATTR_XGRID_VISIBLE: graph.x.grid = number != 0; break;
    case ATTR_YGRID_VISIBLE: graph.y.grid = number != 0; break;
    case ATTR_PLOT_MARGIN_TOP:
    case ATTR_PLOT_MARGIN_LEFT:
    case ATTR_PLOT_MARGIN_BOTTOM:
    case ATTR_PLOT_MARGIN_RIGHT:
      if (number < 0) return UIE_INVALID_VALUE;
      (attribute == ATTR_PLOT_MARGIN_TOP      ? graph.marginTop
       : attribute == ATTR_PLOT_MARGIN_LEFT   ? graph.marginLeft
       : attribute == ATTR_PLOT_MARGIN_BOTTOM ? graph.marginBottom
                                              : graph.marginRight) = number;
      break;
    case ATTR_XLABEL_VISIBLE: graph.x.labels = number != 0; break;
    case ATTR_YLABEL_VISIBLE: graph.y.labels = number != 0; break;
    case ATTR_NUM_CURSORS:
      if (number < 0 || number > kMaxCursors) return UIE_INVALID_VALUE;
      SetCursorCount(graph, number);
      return 0;
    case ATTR_ACTIVE_CURSOR:
      if (!ValidCursor(graph, number)) return UIE_INVALID_CURSOR;
      graph.activeCursor = number;
      ++graph.cursorRevision;
      return 0;
    default: return UIE_INVALID_ATTRIBUTE;
  }
  PlotsChanged(graph, false);
  return 0;
}

int GetGraphControlAttribute(const Control& control, int attribute, double* value) {
  if (!control.graph) return UIE_INVALID_ATTRIBUTE;
  const Graph& graph = *control.graph;
  const PlotArea area = ComputePlotArea(control);
  switch (attribute) {
    case ATTR_PLOT_AREA_TOP: *value = area.top; return 0;
    case ATTR_PLOT_AREA_LEFT: *value = area.left; return 0;
    case ATTR_PLOT_AREA_WIDTH: *value = area.width; return 0;
    case ATTR_PLOT_AREA_HEIGHT: *value = area.height; return 0;
    case ATTR_PLOT_BGCOLOR: *value = graph.plotBackColor; return 0;
    case ATTR_GRID_COLOR: *value = graph.gridColor; return 0;
    case ATTR_XDIVISIONS: *value = graph.x.divisions; return 0;
    case ATTR_YDIVISIONS: *value = graph.y.divisions; return 0;
    case ATTR_XGRID_VISIBLE: *value = graph.x.grid; return 0;
    case ATTR_YGRID_VISIBLE: *value = graph.y.grid; return 0;
    case ATTR_XLABEL_VISIBLE: *value = graph.x.labels; return 0;
    case ATTR_YLABEL_VISIBLE: *value = graph.y.labels; return 0;
    case ATTR_NUM_CURSORS: *value = static_cast<double>(graph.cursors.size()); return 0;
    case ATTR_ACTIVE_CURSOR: *value = graph.activeCursor; return 0;
    case ATTR_NUM_PLOTS: *value = static_cast<double>(graph.plots.size()); return 0;
    case ATTR_PLOT_MARGIN_TOP: *value = graph.marginTop; return 0;
    case ATTR_PLOT_MARGIN_LEFT: *value = graph.marginLeft; return 0;
    case ATTR_PLOT_MARGIN_BOTTOM: *value = graph.marginBottom; return 0;
    case ATTR_PLOT_MARGIN_RIGHT: *value = graph.marginRight; return 0;
    default: return UIE_INVALID_ATTRIBUTE;
  }
}

}  // namespace uimodel
