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

// Rows [from, to] of a pixel column in one colour.
struct ColouredRows {
  int from, to;
  QRgb colour;
};

// Rows of a pixel column: sorted, disjoint, not touching.
using RowRuns = std::vector<std::pair<int, int>>;

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
  // The pixels that may have changed since the last call, in cells of
  // kCellWidth x kCellHeight: a repaint then copies only those to the screen.
  // (Measured: smaller cells cut the pixels copied but add rectangles, each
  // with its own cost in the paint and the flush.)
  QRegion TakeChanged();
  static constexpr int kCellWidth = 16, kCellHeight = 32;

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
  // OnTop paints bands over what is there; Record also keeps the rows each
  // column shows in which colour, over a background just restored; Differences
  // writes only the rows whose colour changed since the last record.
  enum class BandMode { OnTop, Record, Differences };
  static bool PaintsDirectly(const uimodel::Plot& plot, const PixelPlot& pixels);
  bool OnlyBands(const uimodel::Graph& graph);
  // Draws the visible plots after `afterHandle` in order, bands straight into the image.
  void DrawPlots(QPainter& painter, const uimodel::Graph& graph, int afterHandle, BandMode mode);
  void PaintBands(const std::vector<BandToPaint>& bands, BandMode mode);  // in drawing order
  // The rows of `column` each band shows through those above it, sorted into
  // `pieces`; `covered` ends as their union.
  void ShownRows(const std::vector<BandToPaint>& bands, int column, RowRuns& covered,
                 std::vector<ColouredRows>& pieces) const;
  void DrawWithPainter(QPainter& painter, const uimodel::Plot& plot, const PixelPlot& pixels);
  const PixelPlot& Pixels(const uimodel::Plot& plot);
  int CellRows() const;
  void ForgetChanges();
  void Touch(int column, std::pair<int, int> rows);

  QImage image_, background_;
  BackgroundKey backgroundKey_{};
  // Per column, the rows bands painted over the background; exact only while
  // nothing else (the painter's plots) drew into the image.
  std::vector<std::pair<int, int>> cover_;
  bool coverExact_ = false;
  // The cells written since TakeChanged, row by row; all of them when anything
  // but a band or a restore of what bands covered drew into the image.
  std::vector<std::uint8_t> touchedCells_;
  bool touchedAll_ = true;
  // Per column, the rows bands show and their colours, sorted; exact (the
  // image is the background plus these) only after a drawing of bands alone.
  std::vector<std::vector<ColouredRows>> segments_;
  bool segmentsExact_ = false;
  std::uint64_t layerRevision_ = 0, plotRevision_ = 0;
  int lastHandle_ = 0;
  double xMin_ = 0, xMax_ = 1, yMin_ = 0, yMax_ = 1;
  std::unordered_map<int, PixelPlot> pixels_;  // by plot handle
};

}  // namespace uiqt
