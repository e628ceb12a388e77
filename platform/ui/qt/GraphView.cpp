#include "platform/ui/qt/GraphView.h"

#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstring>

#include "platform/ui/Dispatch.h"
#include "platform/ui/qt/QtText.h"

namespace uiqt {

using uimodel::Cursor;
using uimodel::Graph;
using uimodel::Plot;

namespace {

constexpr int kPickDistance = 6;
constexpr int kShortCross = 12;
constexpr int kPointSize = 4;
// Columns per strip, both for restoring the background and for the region a
// repaint copies: narrower strips follow a steep trace more closely.
constexpr int kStrip = 16;
constexpr int kRepaintStrip = 16;
constexpr std::pair<int, int> kNothing{INT_MAX, INT_MIN};  // rows: top > bottom

void Widen(std::pair<int, int>& span, std::pair<int, int> by) {
  span.first = std::min(span.first, by.first);
  span.second = std::max(span.second, by.second);
}

// The rows spanned by columns [first, end).
std::pair<int, int> SpanOf(const std::vector<std::pair<int, int>>& rows, int first, int end) {
  std::pair<int, int> span = kNothing;
  for (int column = first; column < end; ++column) Widen(span, rows[static_cast<std::size_t>(column)]);
  return span;
}

double Scale(double value, double from, double to, int pixels) {
  return (value - from) * (pixels - 1) / (to - from);
}

}  // namespace

void PlotLayer::Update(const Graph& graph, QSize size) {
  const auto [xLow, xHigh] = uimodel::EffectiveRange(graph, true);
  const auto [yLow, yHigh] = uimodel::EffectiveRange(graph, false);
  const bool rangesMoved = xLow != xMin_ || xHigh != xMax_ || yLow != yMin_ || yHigh != yMax_;
  if (image_.size() != size || rangesMoved || graph.layerRevision != layerRevision_) {
    Rebuild(graph, size);
    return;
  }
  if (graph.plotRevision == plotRevision_) return;
  // Only plots added on top since the last drawing: paint just those.
  QPainter painter(&image_);
  for (const Plot& plot : graph.plots) {
    if (plot.handle > lastHandle_) DrawPlot(painter, plot);
    lastHandle_ = std::max(lastHandle_, plot.handle);
  }
  plotRevision_ = graph.plotRevision;
}

void PlotLayer::Rebuild(const Graph& graph, QSize size) {
  const auto [xLow, xHigh] = uimodel::EffectiveRange(graph, true);
  const auto [yLow, yHigh] = uimodel::EffectiveRange(graph, false);
  if (image_.size() != size || xLow != xMin_ || xHigh != xMax_ || yLow != yMin_ || yHigh != yMax_) pixels_.clear();
  xMin_ = xLow;
  xMax_ = xHigh;
  yMin_ = yLow;
  yMax_ = yHigh;
  RestoreBackground(graph, size.expandedTo(QSize(1, 1)));
  std::unordered_map<int, PixelPlot> kept;
  QPainter painter(&image_);
  lastHandle_ = 0;
  for (const Plot& plot : graph.plots) {
    DrawPlot(painter, plot);
    lastHandle_ = std::max(lastHandle_, plot.handle);
    const auto cached = pixels_.find(plot.handle);
    if (cached != pixels_.end()) kept.emplace(plot.handle, std::move(cached->second));
  }
  pixels_ = std::move(kept);  // forget deleted plots
  layerRevision_ = graph.layerRevision;
  plotRevision_ = graph.plotRevision;
}

PlotLayer::BackgroundKey PlotLayer::KeyOf(const Graph& graph) {
  const int back = graph.plotBackColor == VAL_TRANSPARENT ? VAL_BLACK : graph.plotBackColor;
  return {back, graph.gridColor, graph.x.grid, graph.y.grid,
          graph.x.divisions, graph.y.divisions};
}

void PlotLayer::RestoreBackground(const Graph& graph, QSize size) {
  const BackgroundKey key = KeyOf(graph);
  if (background_.size() != size || key != backgroundKey_) {
    backgroundKey_ = key;
    background_ = QImage(size, QImage::Format_RGB32);
    background_.fill(ToColour(std::get<0>(key)));
    QPainter painter(&background_);
    DrawGrid(painter, graph);
    coverExact_ = false;
  }
  if (image_.size() != size) {
    image_ = QImage(size, QImage::Format_RGB32);
    coverExact_ = false;
    ForgetChanges(size.width());
  }
  const qsizetype stride = image_.bytesPerLine();
  uchar* const bits = image_.bits();
  const uchar* const source = background_.constBits();
  if (!coverExact_) {
    std::memcpy(bits, source, static_cast<std::size_t>(image_.sizeInBytes()));
    touchedAll_ = true;
  } else {
    // Strips of columns, copied row by row: a column at a time would touch a
    // cache line per pixel. Copying a little more than was painted is harmless.
    const int width = size.width();
    for (int first = 0; first < width; first += kStrip) {
      const int end = std::min(width, first + kStrip);
      const auto [top, bottom] = SpanOf(cover_, first, end);
      const qsizetype offset = static_cast<qsizetype>(first) * static_cast<qsizetype>(sizeof(QRgb));
      const auto bytes = static_cast<std::size_t>(end - first) * sizeof(QRgb);
      for (int row = top; row <= bottom; ++row)
        std::memcpy(bits + row * stride + offset, source + row * stride + offset, bytes);
    }
    if (!touchedAll_)
      for (std::size_t column = 0; column < cover_.size(); ++column) Widen(touched_[column], cover_[column]);
  }
  cover_.assign(static_cast<std::size_t>(size.width()), kNothing);
  coverExact_ = true;
}

QRegion PlotLayer::TakeChanged(int strip) {
  const int width = image_.width();
  QRegion changed;
  if (touchedAll_ || touched_.size() != static_cast<std::size_t>(width)) {
    changed = image_.rect();
  } else {
    for (int first = 0; first < width; first += strip) {
      const int end = std::min(width, first + strip);
      const auto [top, bottom] = SpanOf(touched_, first, end);
      if (top <= bottom) changed += QRect(first, top, end - first, bottom - top + 1);
    }
  }
  ForgetChanges(width);
  return changed;
}

void PlotLayer::ForgetChanges(int width) {
  touched_.assign(static_cast<std::size_t>(width), kNothing);
  touchedAll_ = false;
}

void PlotLayer::DrawGrid(QPainter& painter, const Graph& graph) const {
  QPen pen(ToColour(graph.gridColor), 0, Qt::DotLine);
  painter.setPen(pen);
  const int width = painter.device()->width(), height = painter.device()->height();
  if (graph.x.grid)
    for (int i = 1; i < graph.x.divisions; ++i) {
      const int x = (width - 1) * i / graph.x.divisions;
      painter.drawLine(x, 0, x, height - 1);
    }
  if (graph.y.grid)
    for (int i = 1; i < graph.y.divisions; ++i) {
      const int y = (height - 1) * i / graph.y.divisions;
      painter.drawLine(0, y, width - 1, y);
    }
}

namespace {

// True when the polygon goes out along increasing x and comes back over the same x.
bool IsBand(const QPolygon& points) {
  const int count = static_cast<int>(points.size());
  if (count < 4 || count % 2 != 0) return false;
  for (int k = 0; k < count / 2; ++k) {
    if (points[k].x() != points[count - 1 - k].x()) return false;
    if (k > 0 && points[k].x() < points[k - 1].x()) return false;
  }
  return true;
}

void Extend(std::vector<int>& top, std::vector<int>& bottom, int column, double a, double b) {
  const auto index = static_cast<std::size_t>(column);
  top[index] = std::min(top[index], static_cast<int>(std::floor(std::min(a, b) + 0.5)));
  bottom[index] = std::max(bottom[index], static_cast<int>(std::floor(std::max(a, b) + 0.5)));
}

}  // namespace

const PlotLayer::PixelPlot& PlotLayer::Pixels(const Plot& plot) {
  auto found = pixels_.find(plot.handle);
  if (found != pixels_.end()) return found->second;
  const std::vector<double>& xs = plot.points->x;
  const std::vector<double>& ys = plot.points->y;
  PixelPlot pixels;
  pixels.points.resize(static_cast<int>(xs.size()));
  for (std::size_t i = 0; i < xs.size(); ++i)
    pixels.points[static_cast<int>(i)] =
        QPoint(static_cast<int>(std::lround(Scale(xs[i], xMin_, xMax_, image_.width()))),
               static_cast<int>(std::lround(Scale(ys[i], yMax_, yMin_, image_.height()))));
  pixels.band = plot.kind == uimodel::PlotKind::Polygon && IsBand(pixels.points);
  if (pixels.band) {
    const QPolygon& p = pixels.points;
    const int half = static_cast<int>(p.size()) / 2, last = static_cast<int>(p.size()) - 1;
    pixels.firstColumn = p[0].x();
    const auto columns = static_cast<std::size_t>(p[half - 1].x() - p[0].x() + 1);
    pixels.top.assign(columns, INT_MAX);
    pixels.bottom.assign(columns, INT_MIN);
    for (int k = 0; k < half; ++k) {
      const int c0 = p[k].x() - pixels.firstColumn;
      Extend(pixels.top, pixels.bottom, c0, p[k].y(), p[last - k].y());
      if (k + 1 == half) break;
      // The edges to the next position cover the columns in between, as the outline does.
      const int c1 = p[k + 1].x() - pixels.firstColumn;
      for (int c = c0; c <= c1 && c1 > c0; ++c) {
        for (double edge : {c - 0.5, c + 0.5}) {
          const double t = std::clamp((edge - c0) / (c1 - c0), 0.0, 1.0);
          Extend(pixels.top, pixels.bottom, c, p[k].y() + t * (p[k + 1].y() - p[k].y()),
                 p[last - k].y() + t * (p[last - k - 1].y() - p[last - k].y()));
        }
      }
    }
  }
  return pixels_.emplace(plot.handle, std::move(pixels)).first->second;
}

void PlotLayer::PaintBand(const PixelPlot& pixels, QRgb colour) {
  const int width = image_.width(), height = image_.height();
  // The raster painter draws into the same pixels, so writing them directly keeps the drawing order.
  uchar* const bits = image_.bits();
  const qsizetype stride = image_.bytesPerLine();
  for (std::size_t i = 0; i < pixels.top.size(); ++i) {
    const int column = pixels.firstColumn + static_cast<int>(i);
    if (column < 0 || column >= width || pixels.top[i] > pixels.bottom[i]) continue;
    const int from = std::max(0, pixels.top[i]), to = std::min(height - 1, pixels.bottom[i]);
    if (from > to) continue;
    Widen(cover_[static_cast<std::size_t>(column)], {from, to});
    Widen(touched_[static_cast<std::size_t>(column)], {from, to});
    uchar* pixel = bits + from * stride + column * static_cast<qsizetype>(sizeof(QRgb));
    for (int row = from; row <= to; ++row, pixel += stride) *reinterpret_cast<QRgb*>(pixel) = colour;
  }
}

void PlotLayer::DrawPlot(QPainter& painter, const Plot& plot) {
  if (!plot.visible) return;
  const PixelPlot& pixels = Pixels(plot);
  if (pixels.band && plot.thickness == 1 && plot.fillColor == plot.color && plot.color != VAL_TRANSPARENT) {
    PaintBand(pixels, 0xFF000000u | static_cast<QRgb>(plot.color & 0xFFFFFF));  // straight into the image
    return;
  }
  coverExact_ = false;  // the painter may draw anywhere
  touchedAll_ = true;
  if (plot.color == VAL_TRANSPARENT) painter.setPen(Qt::NoPen);
  else painter.setPen(QPen(ToColour(plot.color), plot.thickness > 1 ? plot.thickness : 0));
  if (plot.kind == uimodel::PlotKind::Polyline) {
    painter.drawPolyline(pixels.points);
    return;
  }
  painter.setBrush(plot.fillColor == VAL_TRANSPARENT ? QBrush(Qt::NoBrush) : QBrush(ToColour(plot.fillColor)));
  painter.drawPolygon(pixels.points);
}

GraphView::GraphView(int panel, int control, QWidget* parent)
    : QWidget(parent), panel_(panel), control_(control) {
  setAttribute(Qt::WA_OpaquePaintEvent);
  setFocusPolicy(Qt::ClickFocus);
}

QRect GraphView::PlotRect() const { return QRect(area_.left, area_.top, area_.width, area_.height); }

void GraphView::Show(const uimodel::Control& control) {
  const Graph& next = *control.graph;
  const uimodel::PlotArea area = uimodel::ComputePlotArea(control);
  // The axis labels sit outside the plot area: a new range repaints them.
  const bool layout = area.left != area_.left || area.top != area_.top || area.width != area_.width ||
                      area.height != area_.height || control.frameColor != frameColour_ ||
                      next.x.labels != graph_.x.labels || next.y.labels != graph_.y.labels ||
                      uimodel::EffectiveRange(next, true) != uimodel::EffectiveRange(graph_, true) ||
                      uimodel::EffectiveRange(next, false) != uimodel::EffectiveRange(graph_, false);
  const bool plots = next.plotRevision != graph_.plotRevision || next.layerRevision != graph_.layerRevision;
  QRegion dirty;
  if (next.cursorRevision != graph_.cursorRevision || plots) {
    for (const Cursor& cursor : graph_.cursors) dirty += CursorRegion(cursor);
  }
  graph_ = next;
  area_ = area;
  frameColour_ = control.frameColor;
  if (layout) {
    update();
    return;
  }
  if (plots) dirty += RefreshLayer();
  for (const Cursor& cursor : graph_.cursors) dirty += CursorRegion(cursor);
  if (!dirty.isEmpty()) update(dirty);
}

QRegion GraphView::RefreshLayer() {
  const QRect plot = PlotRect();
  if (plot.isEmpty() || !isVisible()) return plot;  // drawn whole when it shows
  layer_.Update(graph_, plot.size());
  return layer_.TakeChanged(kRepaintStrip).translated(plot.topLeft());
}

QPointF GraphView::ToPixels(double x, double y) const {
  const auto [xLow, xHigh] = uimodel::EffectiveRange(graph_, true);
  const auto [yLow, yHigh] = uimodel::EffectiveRange(graph_, false);
  return QPointF(area_.left + Scale(x, xLow, xHigh, area_.width), area_.top + Scale(y, yHigh, yLow, area_.height));
}

QRegion GraphView::CursorRegion(const Cursor& cursor) const {
  const QPoint at = ToPixels(cursor.x, cursor.y).toPoint();
  const QRect plot = PlotRect();
  QRegion region(QRect(at.x() - kShortCross - 2, at.y() - kShortCross - 2, 2 * kShortCross + 5, 2 * kShortCross + 5));
  if (cursor.crossHair == VAL_LONG_CROSS) {
    region += QRect(plot.left(), at.y() - 2, plot.width(), 5);
    region += QRect(at.x() - 2, plot.top(), 5, plot.height());
  }
  return region;
}

void GraphView::DrawCursor(QPainter& painter, const Cursor& cursor) const {
  const QPoint at = ToPixels(cursor.x, cursor.y).toPoint();
  const QRect plot = PlotRect();
  const bool clamped = cursor.mode == VAL_CURSOR_CLAMPED;
  painter.setPen(QPen(ToColour(cursor.color), 0, clamped ? Qt::DashLine : Qt::SolidLine));
  painter.setBrush(Qt::NoBrush);
  if (cursor.crossHair == VAL_LONG_CROSS) {
    painter.drawLine(plot.left(), at.y(), plot.right(), at.y());
    painter.drawLine(at.x(), plot.top(), at.x(), plot.bottom());
  } else if (cursor.crossHair == VAL_SHORT_CROSS) {
    painter.drawLine(at.x() - kShortCross, at.y(), at.x() + kShortCross, at.y());
    painter.drawLine(at.x(), at.y() - kShortCross, at.x(), at.y() + kShortCross);
  }
  const QRect box(at.x() - kPointSize, at.y() - kPointSize, 2 * kPointSize, 2 * kPointSize);
  const bool solid = !clamped && (cursor.pointStyle == VAL_SOLID_SQUARE || cursor.pointStyle == VAL_SOLID_CIRCLE ||
                                  cursor.pointStyle == VAL_SOLID_DIAMOND);
  if (solid) painter.setBrush(ToColour(cursor.color));
  switch (cursor.pointStyle) {
    case VAL_EMPTY_SQUARE:
    case VAL_SOLID_SQUARE: painter.drawRect(box); break;
    case VAL_EMPTY_CIRCLE:
    case VAL_SOLID_CIRCLE: painter.drawEllipse(box); break;
    case VAL_EMPTY_TRIANGLE:
      painter.drawPolygon(QPolygon({QPoint(at.x(), box.top()), box.bottomLeft(), box.bottomRight()}));
      break;
    case VAL_SOLID_DIAMOND:
      painter.drawPolygon(QPolygon({QPoint(at.x(), box.top()), QPoint(box.right(), at.y()),
                                    QPoint(at.x(), box.bottom()), QPoint(box.left(), at.y())}));
      break;
    default: break;
  }
}

void GraphView::paintEvent(QPaintEvent* event) {
  QPainter painter(this);
  const QRect plot = PlotRect();
  const QRegion margins = event->region().subtracted(plot);
  if (!margins.isEmpty()) PaintMargins(painter, margins, plot);
  const QRegion inPlot = event->region().intersected(plot);
  if (inPlot.isEmpty()) return;
  layer_.Update(graph_, plot.size());
  painter.setClipRegion(inPlot);
  painter.drawImage(plot.topLeft(), layer_.Image());
  for (const Cursor& cursor : graph_.cursors) DrawCursor(painter, cursor);
}

// Frame and axis labels; the plot layer covers the plot area itself.
void GraphView::PaintMargins(QPainter& painter, const QRegion& margins, QRect plot) const {
  painter.setClipRegion(margins);
  painter.fillRect(rect(), palette().window());
  painter.setPen(ToColour(frameColour_));
  painter.drawRect(rect().adjusted(0, 0, -1, -1));
  if (plot.isEmpty()) return;
  painter.setPen(palette().windowText().color());
  const auto [xLow, xHigh] = uimodel::EffectiveRange(graph_, true);
  const auto [yLow, yHigh] = uimodel::EffectiveRange(graph_, false);
  if (graph_.x.labels)
    for (int i = 0; i <= graph_.x.divisions; ++i)
      painter.drawText(QRect(plot.left() + (plot.width() - 1) * i / graph_.x.divisions - 30, plot.bottom() + 2, 60, 14),
                       Qt::AlignHCenter | Qt::AlignTop,
                       QString::number(xLow + (xHigh - xLow) * i / graph_.x.divisions, 'g', 4));
  if (graph_.y.labels)
    for (int i = 0; i <= graph_.y.divisions; ++i)
      painter.drawText(QRect(0, plot.bottom() - (plot.height() - 1) * i / graph_.y.divisions - 7, plot.left() - 3, 14),
                       Qt::AlignRight | Qt::AlignVCenter,
                       QString::number(yLow + (yHigh - yLow) * i / graph_.y.divisions, 'g', 4));
}

void GraphView::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return QWidget::mousePressEvent(event);
  const QPoint at = event->position().toPoint();
  double best = kPickDistance + 1;
  dragged_ = 0;
  for (std::size_t i = 0; i < graph_.cursors.size(); ++i) {
    const Cursor& cursor = graph_.cursors[i];
    if (!cursor.enabled) continue;
    const QPointF point = ToPixels(cursor.x, cursor.y);
    double distance = std::hypot(point.x() - at.x(), point.y() - at.y());
    if (cursor.crossHair == VAL_LONG_CROSS)
      distance = std::min({distance, std::abs(point.x() - at.x()), std::abs(point.y() - at.y())});
    if (distance < best) {
      best = distance;
      dragged_ = static_cast<int>(i) + 1;
    }
  }
  event->accept();
}

void GraphView::mouseMoveEvent(QMouseEvent* event) {
  if (dragged_ != 0) MoveCursorTo(event->position().toPoint(), false);
}

void GraphView::mouseReleaseEvent(QMouseEvent* event) {
  if (dragged_ == 0 || event->button() != Qt::LeftButton) return;
  MoveCursorTo(event->position().toPoint(), true);
  dragged_ = 0;
}

void GraphView::MoveCursorTo(QPoint position, bool released) {
  if (area_.width < 2 || area_.height < 2) return;
  const auto [xLow, xHigh] = uimodel::EffectiveRange(graph_, true);
  const auto [yLow, yHigh] = uimodel::EffectiveRange(graph_, false);
  const double x = xLow + (position.x() - area_.left) * (xHigh - xLow) / (area_.width - 1);
  const double y = yHigh - (position.y() - area_.top) * (yHigh - yLow) / (area_.height - 1);
  uimodel::UserMoveCursor(panel_, control_, dragged_, x, y, released);  // the model clamps to the axes
}

}  // namespace uiqt
