#include "platform/ui/qt/GraphView.h"

#include <QMouseEvent>
#include <QPaintEvent>
#include <QPaintEngine>
#include <QPainter>

#include <algorithm>
#include <cmath>
#include <cstring>

#include "platform/ui/Dispatch.h"
#include "platform/ui/qt/QtText.h"

namespace uiqt {

using uimodel::Cursor;
using uimodel::Graph;

namespace {

constexpr int kPickDistance = 6;
constexpr int kShortCross = 12;
constexpr int kPointSize = 4;

// Copies the `parts` of `image` placed at `at` straight into the image the
// painter draws on, row by row. The painter, clipped to many rectangles,
// would blend pixel by pixel; a rectangle clip each costs more than the copy.
// False, nothing done, unless the target is a 32-bit opaque-compatible image
// at one device pixel per pixel that holds every part.
bool CopyInto(QPainter& painter, const QImage& image, const QRegion& parts, QPoint at) {
  QPaintDevice* const device = painter.paintEngine() ? painter.paintEngine()->paintDevice() : nullptr;
  if (device == nullptr || device->devType() != QInternal::Image) return false;
  auto* const target = static_cast<QImage*>(device);
  const QTransform transform = painter.deviceTransform();
  const QPoint offset(static_cast<int>(transform.dx()), static_cast<int>(transform.dy()));
  const auto format = target->format();
  if (transform.type() > QTransform::TxTranslate || QPointF(offset) != QPointF(transform.dx(), transform.dy()) ||
      target->devicePixelRatio() != 1.0 || !target->isDetached() ||
      (format != QImage::Format_RGB32 && format != QImage::Format_ARGB32 &&
       format != QImage::Format_ARGB32_Premultiplied) ||
      !target->rect().contains(parts.boundingRect().translated(offset)) ||
      !image.rect().contains(parts.boundingRect().translated(-at)))
    return false;
  const qsizetype toStride = target->bytesPerLine(), fromStride = image.bytesPerLine();
  uchar* const to = target->bits();
  const uchar* const from = image.constBits();
  for (const QRect& part : parts) {
    const auto bytes = static_cast<std::size_t>(part.width()) * sizeof(QRgb);
    for (int y = part.top(); y <= part.bottom(); ++y)
      std::memcpy(to + (y + offset.y()) * toStride + (part.left() + offset.x()) * qsizetype{sizeof(QRgb)},
                  from + (y - at.y()) * fromStride + (part.left() - at.x()) * qsizetype{sizeof(QRgb)}, bytes);
  }
  return true;
}

}  // namespace

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
  return layer_.TakeChanged().translated(plot.topLeft());
}

QPointF GraphView::ToPixels(double x, double y) const {
  const auto [xLow, xHigh] = uimodel::EffectiveRange(graph_, true);
  const auto [yLow, yHigh] = uimodel::EffectiveRange(graph_, false);
  return QPointF(area_.left + AxisToPixels(x, xLow, xHigh, area_.width), area_.top + AxisToPixels(y, yHigh, yLow, area_.height));
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
  if (!CopyInto(painter, layer_.Image(), inPlot, plot.topLeft())) painter.drawImage(plot.topLeft(), layer_.Image());
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
