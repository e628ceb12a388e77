// The plot layer of the graph control: background, grid and plots drawn into
// an image the size of the plot area.
#pragma once

#include <QImage>
#include <QPolygon>
#include <QRegion>

#include <cstdint>
#include <tuple>
#include <unordered_map>
#include <utility>
#include <vector>

#include "platform/ui/Model.h"

class QPainter;

namespace uiqt {

// Position of an axis value along `pixels` pixels spanning [from, to].
double AxisToPixels(double value, double from, double to, int pixels);

// The plot layer: background, grid and plots, drawn into an image the size of
// the plot area; cursors are drawn over it on every paint.
class PlotLayer {
 public:
  // Brings the image up to date with `graph`; redraws everything only when
  // something other than new plots on top changed.
  void Update(const uimodel::Graph& graph, QSize size);
  const QImage& Image() const { return image_; }
  // Redraws everything (what a change of colours or a deletion costs).
  void Rebuild(const uimodel::Graph& graph, QSize size);
  // The pixels that may have changed since the last call, as one bounding box
  // per strip of `strip` columns, its edges on multiples of `rowStep` rows:
  // a repaint then copies only those to the screen.
  QRegion TakeChanged(int strip, int rowStep = 1);

 private:
  // A plot in pixels. A band (a polygon that runs left to right and back over
  // the same abscissae, as the traces are drawn) also keeps its vertical span
  // per pixel column: painting those spans gives the picture of the filled and
  // outlined polygon at a fraction of the cost.
  struct PixelPlot {
    QPolygon points;
    bool band = false;
    int firstColumn = 0;
    std::vector<int> top, bottom;  // per column from firstColumn; top > bottom: empty
  };

  // Fill and grid, kept per size and colours: a rebuild copies back only
  // what the bands painted over them since the last one.
  using BackgroundKey = std::tuple<int, int, bool, bool, int, int>;
  static BackgroundKey KeyOf(const uimodel::Graph& graph);
  void RestoreBackground(const uimodel::Graph& graph, QSize size);
  void DrawGrid(QPainter& painter, const uimodel::Graph& graph) const;
  struct BandToPaint {
    const PixelPlot* pixels;
    QRgb colour;
  };
  static bool PaintsDirectly(const uimodel::Plot& plot, const PixelPlot& pixels);
  // Draws the visible plots after `afterHandle` in order, bands straight into the image.
  void DrawPlots(QPainter& painter, const uimodel::Graph& graph, int afterHandle);
  void PaintBands(const std::vector<BandToPaint>& bands);  // in drawing order
  void DrawWithPainter(QPainter& painter, const uimodel::Plot& plot, const PixelPlot& pixels);
  const PixelPlot& Pixels(const uimodel::Plot& plot);
  void ForgetChanges(int width);

  QImage image_, background_;
  BackgroundKey backgroundKey_{};
  // Per column, the rows bands painted over the background; exact only while
  // nothing else (the painter's plots) drew into the image.
  std::vector<std::pair<int, int>> cover_;
  bool coverExact_ = false;
  // Per column, the rows written since TakeChanged; all of them when anything
  // but a band or a restore of what bands covered drew into the image.
  std::vector<std::pair<int, int>> touched_;
  bool touchedAll_ = true;
  std::uint64_t layerRevision_ = 0, plotRevision_ = 0;
  int lastHandle_ = 0;
  double xMin_ = 0, xMax_ = 1, yMin_ = 0, yMax_ = 1;
  std::unordered_map<int, PixelPlot> pixels_;  // by plot handle
};

}  // namespace uiqt
