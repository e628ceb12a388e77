#include "platform/ui/qt/PlotLayer.h"

#include <QPainter>

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstring>

#include "platform/ui/qt/QtText.h"

namespace uiqt {

using uimodel::Graph;
using uimodel::Plot;

namespace {

// Columns per strip restoring the background: narrower strips follow a steep
// trace more closely, at more copies of shorter rows.
constexpr int kStrip = 16;
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

}  // namespace

double AxisToPixels(double value, double from, double to, int pixels) {
  return (value - from) * (pixels - 1) / (to - from);
}

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
  DrawPlots(painter, graph, lastHandle_, BandMode::OnTop);
  segmentsExact_ = false;
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
  size = size.expandedTo(QSize(1, 1));
  lastHandle_ = 0;
  if (segmentsExact_ && image_.size() == size && KeyOf(graph) == backgroundKey_ && OnlyBands(graph)) {
    QPainter painter(&image_);
    DrawPlots(painter, graph, 0, BandMode::Differences);  // only the rows whose colour changes
  } else {
    RestoreBackground(graph, size);
    QPainter painter(&image_);
    DrawPlots(painter, graph, 0, BandMode::Record);
    segmentsExact_ = coverExact_;  // no painter drew
  }
  std::unordered_map<int, PixelPlot> kept;
  for (const Plot& plot : graph.plots) {
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
    ForgetChanges();
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
    for (int column = 0; column < width; ++column) Touch(column, cover_[static_cast<std::size_t>(column)]);
  }
  cover_.assign(static_cast<std::size_t>(size.width()), kNothing);
  coverExact_ = true;
}

QRegion PlotLayer::TakeChanged() {
  QRegion changed;
  const int columns = (image_.width() + kCellWidth - 1) / kCellWidth;
  if (touchedAll_ || touchedCells_.size() != static_cast<std::size_t>(columns * CellRows())) {
    changed = image_.rect();
  } else {
    for (int row = 0; row < CellRows(); ++row) {
      const auto cells = touchedCells_.begin() + row * columns;
      for (int first = 0; first < columns;) {
        if (!cells[first]) {
          ++first;
          continue;
        }
        int end = first;
        while (end < columns && cells[end]) ++end;
        changed += QRect(first * kCellWidth, row * kCellHeight, (end - first) * kCellWidth, kCellHeight) & image_.rect();
        first = end;
      }
    }
  }
  ForgetChanges();
  return changed;
}

int PlotLayer::CellRows() const { return (image_.height() + kCellHeight - 1) / kCellHeight; }

void PlotLayer::ForgetChanges() {
  const int columns = (image_.width() + kCellWidth - 1) / kCellWidth;
  touchedCells_.assign(static_cast<std::size_t>(columns * CellRows()), 0);
  touchedAll_ = false;
}

void PlotLayer::Touch(int column, std::pair<int, int> rows) {
  if (touchedAll_ || rows.first > rows.second) return;
  const int columns = (image_.width() + kCellWidth - 1) / kCellWidth;
  for (int row = rows.first / kCellHeight; row <= rows.second / kCellHeight; ++row)
    touchedCells_[static_cast<std::size_t>(row * columns + column / kCellWidth)] = 1;
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
        QPoint(static_cast<int>(std::lround(AxisToPixels(xs[i], xMin_, xMax_, image_.width()))),
               static_cast<int>(std::lround(AxisToPixels(ys[i], yMax_, yMin_, image_.height()))));
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

namespace {

void FillRows(uchar* column, qsizetype stride, int from, int to, QRgb colour) {
  uchar* pixel = column + from * stride;
  for (int row = from; row <= to; ++row, pixel += stride) *reinterpret_cast<QRgb*>(pixel) = colour;
}

void CopyRows(uchar* column, const uchar* source, qsizetype stride, int from, int to) {
  for (qsizetype at = from * stride; from <= to; ++from, at += stride)
    *reinterpret_cast<QRgb*>(column + at) = *reinterpret_cast<const QRgb*>(source + at);
}

// The rows of [from, to] no band above covers, appended to `pieces` in `colour`.
void CollectUncovered(int from, int to, QRgb colour, const RowRuns& covered, std::vector<ColouredRows>& pieces) {
  int row = from;
  for (const auto& [top, bottom] : covered) {
    if (bottom < row) continue;
    if (top > to) break;
    if (top > row) pieces.push_back({row, top - 1, colour});
    row = bottom + 1;
    if (row > to) return;
  }
  pieces.push_back({row, to, colour});
}

void Cover(RowRuns& covered, int from, int to) {
  auto first = std::lower_bound(covered.begin(), covered.end(), from,
                                [](const std::pair<int, int>& run, int row) { return run.second < row - 1; });
  auto last = first;
  for (; last != covered.end() && last->first <= to + 1; ++last) {
    from = std::min(from, last->first);
    to = std::max(to, last->second);
  }
  covered.insert(covered.erase(first, last), {from, to});
}

// Calls `change(from, to, now)` for each run of rows whose colour differs
// between two sorted piece lists; `now` is null where the background shows.
template <typename Change>
void ForEachDifference(const std::vector<ColouredRows>& before, const std::vector<ColouredRows>& after, Change change) {
  std::size_t i = 0, j = 0;
  int row = INT_MIN;
  for (;;) {
    while (i < before.size() && before[i].to < row) ++i;
    while (j < after.size() && after[j].to < row) ++j;
    if (i == before.size() && j == after.size()) return;
    const bool inBefore = i < before.size() && before[i].from <= row;
    const bool inAfter = j < after.size() && after[j].from <= row;
    if (!inBefore && !inAfter) {
      row = std::min(i < before.size() ? before[i].from : INT_MAX, j < after.size() ? after[j].from : INT_MAX);
      continue;
    }
    int end = INT_MAX;  // the next row where either list changes
    if (i < before.size()) end = std::min(end, inBefore ? before[i].to + 1 : before[i].from);
    if (j < after.size()) end = std::min(end, inAfter ? after[j].to + 1 : after[j].from);
    if (!inBefore || !inAfter || before[i].colour != after[j].colour) change(row, end - 1, inAfter ? &after[j] : nullptr);
    row = end;
  }
}

}  // namespace

bool PlotLayer::OnlyBands(const Graph& graph) {
  return std::all_of(graph.plots.begin(), graph.plots.end(),
                     [this](const Plot& plot) { return !plot.visible || PaintsDirectly(plot, Pixels(plot)); });
}

bool PlotLayer::PaintsDirectly(const Plot& plot, const PixelPlot& pixels) {
  return pixels.band && plot.thickness == 1 && plot.fillColor == plot.color && plot.color != VAL_TRANSPARENT;
}

void PlotLayer::DrawPlots(QPainter& painter, const Graph& graph, int afterHandle, BandMode mode) {
  std::vector<BandToPaint> bands;  // consecutive bands, painted together
  for (const Plot& plot : graph.plots) {
    lastHandle_ = std::max(lastHandle_, plot.handle);
    if (plot.handle <= afterHandle || !plot.visible) continue;
    const PixelPlot& pixels = Pixels(plot);
    if (PaintsDirectly(plot, pixels)) {
      bands.push_back({&pixels, 0xFF000000u | static_cast<QRgb>(plot.color & 0xFFFFFF)});
      continue;
    }
    PaintBands(bands, mode);
    bands.clear();
    DrawWithPainter(painter, plot, pixels);
  }
  PaintBands(bands, mode);
}

void PlotLayer::PaintBands(const std::vector<BandToPaint>& bands, BandMode mode) {
  if (bands.empty() && mode == BandMode::OnTop) return;
  const int width = image_.width();
  // The raster painter draws into the same pixels, so writing them directly keeps the drawing order.
  uchar* const bits = image_.bits();
  const uchar* const background = background_.constBits();
  const qsizetype stride = image_.bytesPerLine();
  if (mode == BandMode::Record) segments_.assign(static_cast<std::size_t>(width), {});
  RowRuns covered;
  std::vector<ColouredRows> pieces;
  for (int column = 0; column < width; ++column) {
    ShownRows(bands, column, covered, pieces);
    const auto offset = column * static_cast<qsizetype>(sizeof(QRgb));
    const std::pair<int, int> span =
        covered.empty() ? kNothing : std::pair<int, int>{covered.front().first, covered.back().second};
    auto& cover = cover_[static_cast<std::size_t>(column)];
    if (mode == BandMode::Differences) {
      ForEachDifference(segments_[static_cast<std::size_t>(column)], pieces,
                        [&](int from, int to, const ColouredRows* now) {
                          if (now != nullptr) FillRows(bits + offset, stride, from, to, now->colour);
                          else CopyRows(bits + offset, background + offset, stride, from, to);
                          Touch(column, {from, to});
                        });
      cover = span;
    } else {
      for (const ColouredRows& piece : pieces) FillRows(bits + offset, stride, piece.from, piece.to, piece.colour);
      Widen(cover, span);
      Touch(column, span);
    }
    if (mode != BandMode::OnTop) segments_[static_cast<std::size_t>(column)].assign(pieces.begin(), pieces.end());
  }
}

void PlotLayer::ShownRows(const std::vector<BandToPaint>& bands, int column, RowRuns& covered,
                          std::vector<ColouredRows>& pieces) const {
  covered.clear();
  pieces.clear();
  for (auto band = bands.rbegin(); band != bands.rend(); ++band) {  // topmost first
    const PixelPlot& pixels = *band->pixels;
    const int index = column - pixels.firstColumn;
    if (index < 0 || index >= static_cast<int>(pixels.top.size())) continue;
    const int from = std::max(0, pixels.top[static_cast<std::size_t>(index)]);
    const int to = std::min(image_.height() - 1, pixels.bottom[static_cast<std::size_t>(index)]);
    if (from > to) continue;
    CollectUncovered(from, to, band->colour, covered, pieces);
    Cover(covered, from, to);
  }
  std::sort(pieces.begin(), pieces.end(), [](const ColouredRows& a, const ColouredRows& b) { return a.from < b.from; });
}

void PlotLayer::DrawWithPainter(QPainter& painter, const Plot& plot, const PixelPlot& pixels) {
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

}  // namespace uiqt
