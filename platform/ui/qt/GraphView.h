// The graph control: draws the model's plots, grid and cursors with QPainter,
// and lets the user drag the cursors.
#pragma once

#include <QRegion>
#include <QWidget>

#include "platform/ui/Model.h"
#include "platform/ui/qt/PlotLayer.h"

namespace uiqt {

class GraphView : public QWidget {
 public:
  GraphView(int panel, int control, QWidget* parent);
  // Takes the model's state of the control (on the user-interface thread).
  void Show(const uimodel::Control& control);
  // Pixel position of an axis point, relative to the widget.
  QPointF ToPixels(double x, double y) const;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  QRect PlotRect() const;
  // Brings the plot layer up to date and returns what changed, in widget pixels.
  QRegion RefreshLayer();
  void PaintMargins(QPainter& painter, const QRegion& margins, QRect plot) const;
  QRegion CursorRegion(const uimodel::Cursor& cursor) const;
  void DrawCursor(QPainter& painter, const uimodel::Cursor& cursor) const;
  void MoveCursorTo(QPoint position, bool released);

  int panel_, control_;
  uimodel::Graph graph_;
  uimodel::PlotArea area_;
  int frameColour_ = VAL_GRAY;
  PlotLayer layer_;
  int dragged_ = 0;  // cursor being dragged, 1-based
};

}  // namespace uiqt
